#include "TolvaneKit/Resources/RVTree.h"

#include <utility>
#include <vector>

namespace {

// Whether `target` can be reached from `start` along child and sibling links.
bool reaches(const RVBinaryTree* start, const RVBinaryTree* target) {
    std::vector<const RVBinaryTree*> pending{start};
    while (!pending.empty()) {
        const RVBinaryTree* node = pending.back();
        pending.pop_back();
        if (node == target)
            return true;
        if (node->left())
            pending.push_back(node->left().get());
        if (node->right())
            pending.push_back(node->right().get());
    }
    return false;
}

RVBinaryTree* lastOfRow(RVBinaryTree* node) {
    while (node->right())
        node = node->right().get();
    return node;
}

// Unlinks `node` from the row that follows `before`.
void unlinkAfter(RVBinaryTree* before, const RVBinaryTree* node) {
    while (before->right()) {
        if (before->right().get() == node) {
            std::shared_ptr<RVBinaryTree> removed = before->right();
            before->setRight(removed->right());
            removed->setRight(nullptr);
            return;
        }
        before = before->right().get();
    }
}

} // namespace

RVTree::~RVTree() = default;

RVTree& RVTree::attachChild(std::shared_ptr<RVTree> node) {
    if (!node)
        return *this;
    if (!left()) {
        if (!reaches(node.get(), this))
            setLeft(std::move(node));
        return *this;
    }
    RVBinaryTree* last = lastOfRow(left().get());
    // `last` is reachable from the receiver, so this also refuses ancestors.
    if (!reaches(node.get(), last))
        last->setRight(std::move(node));
    return *this;
}

RVTree& RVTree::attachSibling(std::shared_ptr<RVTree> node) {
    if (!node)
        return *this;
    RVBinaryTree* last = lastOfRow(this);
    if (!reaches(node.get(), last))
        last->setRight(std::move(node));
    return *this;
}

void RVTree::unlinkFromChildren(const RVBinaryTree* node) {
    if (!node || !left())
        return;
    if (left().get() == node) {
        std::shared_ptr<RVBinaryTree> removed = left();
        setLeft(removed->right());
        removed->setRight(nullptr);
        return;
    }
    unlinkAfter(left().get(), node);
}

void RVTree::unlinkFromSiblings(const RVBinaryTree* node) {
    if (node)
        unlinkAfter(this, node);
}
