#include "TolvaneKit/Resources/RVBinaryTree.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

void printSpaces(long long count) {
    static const char blanks[] = "                                                                ";
    constexpr long long chunk = sizeof(blanks) - 1;
    while (count > 0) {
        long long now = std::min(count, chunk);
        std::fwrite(blanks, 1, static_cast<size_t>(now), stdout);
        count -= now;
    }
}

} // namespace

RVBinaryTree::~RVBinaryTree() {
    // Letting the links go one by one would destroy a chain recursively, one
    // stack frame per node. Instead the subtrees that only we keep alive are
    // emptied here, so each node dies with no links of its own.
    std::vector<std::shared_ptr<RVBinaryTree>> orphans;
    auto adopt = [&orphans](std::shared_ptr<RVBinaryTree>& link) {
        if (link)
            orphans.push_back(std::move(link));
    };
    adopt(left_);
    adopt(right_);
    while (!orphans.empty()) {
        std::shared_ptr<RVBinaryTree> node = std::move(orphans.back());
        orphans.pop_back();
        // A node someone else still holds keeps its subtree.
        if (node.use_count() == 1) {
            adopt(node->left_);
            adopt(node->right_);
        }
    }
}

RVBinaryTree& RVBinaryTree::setLeft(std::shared_ptr<RVBinaryTree> node) {
    left_.swap(node);
    return *this;
}

RVBinaryTree& RVBinaryTree::setRight(std::shared_ptr<RVBinaryTree> node) {
    right_.swap(node);
    return *this;
}

const RVBinaryTree& RVBinaryTree::printTreeWithLevel(int level, int spacesPerLevel) const {
    // Reverse in-order walk (right, node, left) with an explicit stack, so a
    // degenerate tree prints as well as a balanced one.
    struct Pending {
        const RVBinaryTree* node;
        long long level;
    };
    std::vector<Pending> stack;
    const RVBinaryTree* node = this;
    long long nodeLevel = level;
    while (node || !stack.empty()) {
        while (node) {
            stack.push_back({node, nodeLevel});
            node = node->right_.get();
            ++nodeLevel;
        }
        Pending next = stack.back();
        stack.pop_back();
        printSpaces(next.level * spacesPerLevel);
        next.node->printNode();
        node = next.node->left_.get();
        nodeLevel = next.level + 1;
    }
    return *this;
}

const RVBinaryTree& RVBinaryTree::printNode() const {
    std::printf("0\n");
    return *this;
}
