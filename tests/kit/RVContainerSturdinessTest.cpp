// A million nodes in a degenerate shape: every operation must work within
// the default 8 MB stack, which a recursion per level would overflow.

#include "CapturedStdout.h"
#include "TolvaneKit/RVResource.h"
#include "TolvaneKit/RVSplayTree.h"
#include "TolvaneKit/RVTree.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <pthread.h>
#include <string>

namespace {

using Ptr = RVSplayTree::Ptr;

constexpr int millionNodes = 1000000;

// Runs the work on a thread whose stack has the default size of a program's
// main thread, whatever limit the test runner itself was started with.
void runOnDefaultStack(std::function<void()> work) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 8u << 20);
    pthread_t thread;
    auto body = [](void* task) -> void* {
        (*static_cast<std::function<void()>*>(task))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, body, &work), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

Ptr nodeWithKey(int key) {
    auto node = std::make_shared<RVSplayTree>();
    node->setData(std::make_shared<RVResource>(key, nullptr));
    return node;
}

// The chain first, first + step, ... of `count` nodes built by plain
// insertion. Every key lies beyond all keys before it, so inserting below the
// current end places each node exactly where an insertion from the root would,
// without walking the chain a million times.
Ptr chain(int first, int step, int count) {
    Ptr root = nodeWithKey(first);
    RVSplayTree* end = root.get();
    for (int i = 1; i < count; ++i) {
        Ptr node = nodeWithKey(first + i * step);
        end->quicklyInsertNode(node);
        end = node.get();
    }
    return root;
}

// After splaying the deepest key n (even) of the chain 1..n: root n without
// right child; its left child 2; each even e < n - 2 has left leaf e - 1 and
// right child e + 2; n - 2 has left leaf n - 3 and right leaf n - 1.
bool hasShapeAfterFindingTheEnd(const Ptr& root, int n) {
    if (root->key() != n || root->right() || !root->left())
        return false;
    auto isLeaf = [](const Ptr& node, int key) {
        return node && node->key() == key && !node->left() && !node->right();
    };
    Ptr node = root->left();
    for (int even = 2; even <= n - 2; even += 2) {
        if (!node || node->key() != even || !isLeaf(node->left(), even - 1))
            return false;
        if (even == n - 2)
            return isLeaf(node->right(), n - 1);
        node = node->right();
    }
    return false;
}

long long listedLines(const Ptr& root, std::string& text) {
    CapturedStdout captured;
    root->printTreeWithLevel(0, 0);
    text = captured.text();
    return captured.lineCount();
}

} // namespace

TEST(RVContainerSturdiness, AMillionNodeChainIsSearchedSplayedPrintedAndReleased) {
    runOnDefaultStack([] {
        const int n = millionNodes;
        Ptr root = chain(1, 1, n - 1);
        root->quicklyInsertNode(nodeWithKey(n));

        ASSERT_NE(root->quicklyFindKey(n), nullptr);
        EXPECT_EQ(root->quicklyFindKey(n + 1), nullptr);
        EXPECT_EQ(root->quicklyFindParentOfKey(n)->key(), n - 1);

        std::string text;
        EXPECT_EQ(listedLines(root, text), n);
        EXPECT_EQ(text.substr(0, 10), std::to_string(n) + ",1\n");
        EXPECT_EQ(text.substr(text.size() - 5), "\n1,1\n");

        root = RVSplayTree::findKey(root, n);
        EXPECT_TRUE(hasShapeAfterFindingTheEnd(root, n));
        EXPECT_EQ(listedLines(root, text), n);

        root = RVSplayTree::removeKey(root, n);
        EXPECT_EQ(root->key(), 2);
        root = RVSplayTree::quicklyRemoveKey(root, n - 1);
        EXPECT_EQ(root->quicklyFindKey(n - 1), nullptr);
        EXPECT_NE(root->quicklyFindKey(n - 2), nullptr);
        root = RVSplayTree::insertNode(root, nodeWithKey(n + 5));
        EXPECT_EQ(root->key(), n + 5);

        std::weak_ptr<RVSplayTree> watch = root;
        root.reset();
        EXPECT_TRUE(watch.expired());
    });
}

TEST(RVContainerSturdiness, UnsplayedChainsAreReleasedWithoutRecursion) {
    runOnDefaultStack([] {
        Ptr ascending = chain(1, 1, millionNodes);
        std::weak_ptr<RVSplayTree> watch = ascending;
        ascending.reset();
        EXPECT_TRUE(watch.expired());

        Ptr descending = chain(0, -1, millionNodes);
        EXPECT_EQ(descending->right(), nullptr);
        EXPECT_EQ(descending->left()->key(), -1);
        watch = descending;
        descending = RVSplayTree::quicklyRemoveKey(descending, -(millionNodes - 1));
        descending.reset();
        EXPECT_TRUE(watch.expired());
    });
}

TEST(RVContainerSturdiness, AMillionChildrenAreWalkedAndReleasedWithoutRecursion) {
    runOnDefaultStack([] {
        auto parent = std::make_shared<RVTree>();
        auto last = std::make_shared<RVTree>();
        parent->attachChild(last);
        for (int i = 1; i < millionNodes; ++i) {
            auto next = std::make_shared<RVTree>();
            last->attachSibling(next);
            last = next;
        }
        auto extra = std::make_shared<RVTree>();
        parent->attachChild(extra);
        EXPECT_EQ(last->nextSibling(), extra);
        EXPECT_EQ(parent->detachChild(extra), extra);
        EXPECT_EQ(last->nextSibling(), nullptr);

        std::weak_ptr<RVTree> watch = last;
        last.reset();
        parent.reset();
        EXPECT_TRUE(watch.expired());
    });
}
