#include "TolvaneKit/RVSplayTree.h"
#include "CapturedStdout.h"
#include "TolvaneKit/RVResource.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using Ptr = RVSplayTree::Ptr;

Ptr nodeWithKey(int key) {
    auto node = std::make_shared<RVSplayTree>();
    node->setData(std::make_shared<RVResource>(key, nullptr));
    return node;
}

// "key(left,right)", "-" for a missing child, a bare key for a leaf.
std::string shape(const RVSplayTree* node) {
    if (!node)
        return "-";
    std::string text = std::to_string(node->key());
    if (node->left() || node->right())
        text += "(" + shape(node->left().get()) + "," + shape(node->right().get()) + ")";
    return text;
}

std::string shape(const Ptr& root) {
    return shape(root.get());
}

// A chain first, first + 1, ..., last, each the right child of the one before,
// as plain insertion in ascending order builds it.
Ptr ascendingChain(int first, int last) {
    Ptr root = nodeWithKey(first);
    for (int key = first + 1; key <= last; ++key)
        root->quicklyInsertNode(nodeWithKey(key));
    return root;
}

void inOrderKeys(const RVSplayTree* node, std::vector<int>& keys) {
    if (!node)
        return;
    inOrderKeys(node->left().get(), keys);
    keys.push_back(node->key());
    inOrderKeys(node->right().get(), keys);
}

std::vector<int> inOrderKeys(const Ptr& root) {
    std::vector<int> keys;
    inOrderKeys(root.get(), keys);
    return keys;
}

// The listing written independently of the kit: right subtree, indentation,
// "key,count", left subtree.
void expectedListing(const RVSplayTree* node, int level, int spaces, std::string& text) {
    if (!node)
        return;
    expectedListing(node->right().get(), level + 1, spaces, text);
    text += std::string(static_cast<size_t>(level * spaces), ' ');
    text +=
        std::to_string(node->key()) + "," + std::to_string(node->data()->referenceCount()) + "\n";
    expectedListing(node->left().get(), level + 1, spaces, text);
}

std::string listing(const Ptr& root, int level, int spaces) {
    CapturedStdout captured;
    root->printTreeWithLevel(level, spaces);
    return captured.text();
}

} // namespace

TEST(RVSplayTree, SplayingInsertionBringsEachNewNodeToTheRoot) {
    Ptr root = nodeWithKey(1);
    root = RVSplayTree::insertNode(root, nodeWithKey(2));
    root = RVSplayTree::insertNode(root, nodeWithKey(3));
    EXPECT_EQ(shape(root), "3(2(1,-),-)");
    root = RVSplayTree::findKey(root, 1);
    EXPECT_EQ(shape(root), "1(-,2(-,3))");
}

TEST(RVSplayTree, FindingTheDeepestKeyOfAChainHalvesItsDepth) {
    Ptr root = ascendingChain(1, 7);
    EXPECT_EQ(shape(root), "1(-,2(-,3(-,4(-,5(-,6(-,7))))))");
    root = RVSplayTree::findKey(root, 7);
    EXPECT_EQ(shape(root), "7(2(1,4(3,6(5,-))),-)");
}

TEST(RVSplayTree, SplayingForAnAbsentKeyKeepsTheKeys) {
    Ptr root = ascendingChain(1, 7);
    root = RVSplayTree::findKey(root, 10);
    EXPECT_NE(root->key(), 10);
    root = RVSplayTree::findKey(root, 0);
    EXPECT_EQ(root->key(), 1);
    EXPECT_EQ(inOrderKeys(root), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
}

TEST(RVSplayTree, SplayingRemoval) {
    Ptr root = ascendingChain(1, 7);
    root = RVSplayTree::removeKey(root, 42);
    EXPECT_EQ(inOrderKeys(root), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    root = RVSplayTree::removeKey(root, 4);
    EXPECT_EQ(inOrderKeys(root), (std::vector<int>{1, 2, 3, 5, 6, 7}));
    EXPECT_EQ(root->quicklyFindKey(4), nullptr);

    Ptr single = nodeWithKey(9);
    EXPECT_EQ(RVSplayTree::removeKey(single, 9), nullptr);
}

TEST(RVSplayTree, RemovedNodeAndItsDataAreReleased) {
    Ptr root = ascendingChain(1, 5);
    std::weak_ptr<RVResource> threeData = root->quicklyFindKey(3)->data();
    std::weak_ptr<RVResource> fourData = root->quicklyFindKey(4)->data();
    root = RVSplayTree::removeKey(root, 3);
    EXPECT_TRUE(threeData.expired());
    root = RVSplayTree::quicklyRemoveKey(root, 4);
    EXPECT_TRUE(fourData.expired());
    EXPECT_EQ(inOrderKeys(root), (std::vector<int>{1, 2, 5}));
}

TEST(RVSplayTree, AKeyAlreadyPresentKeepsItsOldNode) {
    Ptr root = ascendingChain(1, 3);
    RVResource* oldData = root->quicklyFindKey(2)->data().get();
    Ptr duplicate = nodeWithKey(2);

    root = RVSplayTree::insertNode(root, duplicate);
    EXPECT_EQ(root->quicklyFindKey(2)->data().get(), oldData);
    EXPECT_EQ(duplicate.use_count(), 1) << "the rejected node is not referenced by the tree";

    root->quicklyInsertNode(duplicate);
    root->quicklyInsertNode(nodeWithKey(root->key()));
    EXPECT_EQ(root->quicklyFindKey(2)->data().get(), oldData);
    EXPECT_EQ(duplicate.use_count(), 1);
    EXPECT_EQ(inOrderKeys(root), (std::vector<int>{1, 2, 3}));
}

TEST(RVSplayTree, PlainSearchAndParentSearch) {
    Ptr root = nodeWithKey(50);
    for (int key : {30, 70, 20, 40, 60, 80})
        root->quicklyInsertNode(nodeWithKey(key));
    EXPECT_EQ(shape(root), "50(30(20,40),70(60,80))");
    EXPECT_EQ(root->quicklyFindKey(60)->key(), 60);
    EXPECT_EQ(root->quicklyFindKey(65), nullptr);
    EXPECT_EQ(root->quicklyFindParentOfKey(40)->key(), 30);
    EXPECT_EQ(root->quicklyFindParentOfKey(65)->key(), 60) << "where 65 would be added";
    EXPECT_EQ(root->quicklyFindParentOfKey(50)->key(), 60) << "the root's own key is sought right";
}

TEST(RVSplayTree, RemovingTheRootOfASubtree) {
    // A has no right child and B no left child: the left child wins.
    Ptr root = nodeWithKey(5);
    for (int key : {3, 8, 1, 9})
        root->quicklyInsertNode(nodeWithKey(key));
    EXPECT_EQ(shape(RVSplayTree::quicklyRemoveRoot(root)), "3(1,8(-,9))");

    root = nodeWithKey(5);
    for (int key : {3, 8, 4, 9})
        root->quicklyInsertNode(nodeWithKey(key));
    EXPECT_EQ(shape(RVSplayTree::quicklyRemoveRoot(root)), "8(3(-,4),9)");

    // Both children busy: the successor, the leftmost of the right subtree.
    root = nodeWithKey(5);
    for (int key : {3, 10, 4, 8, 6, 7})
        root->quicklyInsertNode(nodeWithKey(key));
    EXPECT_EQ(shape(RVSplayTree::quicklyRemoveRoot(root)), "6(3(-,4),10(8(7,-),-))");

    root = nodeWithKey(5);
    root->quicklyInsertNode(nodeWithKey(7));
    EXPECT_EQ(shape(RVSplayTree::quicklyRemoveRoot(root)), "7");
    EXPECT_EQ(RVSplayTree::quicklyRemoveRoot(nodeWithKey(5)), nullptr);

    root = nodeWithKey(5);
    for (int key : {3, 8, 1, 9})
        root->quicklyInsertNode(nodeWithKey(key));
    root = RVSplayTree::quicklyRemoveKey(root, 8);
    EXPECT_EQ(shape(root), "5(3(1,-),9)");
    root = RVSplayTree::quicklyRemoveKey(root, 77);
    EXPECT_EQ(shape(root), "5(3(1,-),9)");
}

TEST(RVSplayTree, NegativeKeysSortBelowZeroAndPositiveKeys) {
    Ptr root = nodeWithKey(0);
    for (int key : {5, -3, 2, -2147483647 - 1, 2147483647, -1})
        root->quicklyInsertNode(nodeWithKey(key));
    const std::vector<int> sorted{-2147483647 - 1, -3, -1, 0, 2, 5, 2147483647};
    EXPECT_EQ(inOrderKeys(root), sorted);
    root = RVSplayTree::findKey(root, -3);
    EXPECT_EQ(root->key(), -3);
    root = RVSplayTree::insertNode(root, nodeWithKey(-7));
    EXPECT_EQ(root->key(), -7);
    EXPECT_EQ(shape(root->left()), "-2147483648") << "-7 is below every key but the smallest";
    root = RVSplayTree::removeKey(root, -2147483647 - 1);
    root = RVSplayTree::quicklyRemoveKey(root, -1);
    EXPECT_EQ(inOrderKeys(root), (std::vector<int>{-7, -3, 0, 2, 5, 2147483647}));
}

TEST(RVSplayTree, StepsLinkIntoTheAccumulators) {
    // zig-zig on 3(2(1,-),-) toward 1: 2 goes to the right tree holding 3.
    Ptr root = nodeWithKey(3);
    root->quicklyInsertNode(nodeWithKey(2)).quicklyInsertNode(nodeWithKey(1));
    Ptr left, right;
    Ptr next = RVSplayTree::zigzigWithLeftTreePtr(root, left, right);
    EXPECT_EQ(shape(next), "1");
    EXPECT_EQ(left, nullptr);
    EXPECT_EQ(shape(right), "2(-,3)");

    // zag-zig on 1(-,3(2,-)) toward 2 links both without rotating.
    root = nodeWithKey(1);
    root->quicklyInsertNode(nodeWithKey(3)).quicklyInsertNode(nodeWithKey(2));
    left = nodeWithKey(0);
    right = nodeWithKey(9);
    next = RVSplayTree::zagzigWithLeftTreePtr(root, left, right);
    EXPECT_EQ(shape(next), "2");
    EXPECT_EQ(shape(left), "0(-,1)");
    EXPECT_EQ(shape(right), "9(3,-)");

    Ptr whole = RVSplayTree::recombineWithLeftTree(next, left, right);
    EXPECT_EQ(shape(whole), "2(0(-,1),9(3,-))");

    // A step without the grandchild it needs moves nothing.
    Ptr pair = nodeWithKey(5);
    pair->quicklyInsertNode(nodeWithKey(3));
    left = nullptr;
    right = nullptr;
    EXPECT_EQ(RVSplayTree::zigzagWithLeftTreePtr(pair, left, right), pair);
    EXPECT_EQ(RVSplayTree::zagWithLeftTreePtr(pair, left, right), pair);
    EXPECT_EQ(shape(pair), "5(3,-)");
    EXPECT_EQ(left, nullptr);
    EXPECT_EQ(right, nullptr);
    EXPECT_EQ(shape(RVSplayTree::zigWithLeftTreePtr(pair, left, right)), "3");
    EXPECT_EQ(shape(right), "5");
}

TEST(RVSplayTree, SetLeftWithTheHeldChildKeepsIt) {
    Ptr root = nodeWithKey(5);
    std::weak_ptr<RVSplayTree> watch;
    {
        Ptr child = nodeWithKey(3);
        watch = child;
        root->setLeft(child);
    }
    root->setLeft(root->left());
    ASSERT_FALSE(watch.expired());
    EXPECT_EQ(root->left()->key(), 3);
    root->setLeft(nullptr);
    EXPECT_TRUE(watch.expired());
}

TEST(RVSplayTree, ListingsTurnTheTreeAQuarterTurn) {
    Ptr single = nodeWithKey(4);
    EXPECT_EQ(listing(single, 0, 3), "4,1\n");
    EXPECT_EQ(listing(single, 2, 3), "      4,1\n");
    EXPECT_EQ(listing(single, -2, 3), "4,1\n");

    auto empty = std::make_shared<RVSplayTree>();
    EXPECT_EQ(listing(empty, 1, 2), "  ") << "a node without data prints only its indentation";

    auto bare = std::make_shared<RVBinaryTree>();
    bare->setLeft(std::make_shared<RVBinaryTree>()).setRight(std::make_shared<RVBinaryTree>());
    CapturedStdout captured;
    bare->printTreeWithLevel(1, 2);
    EXPECT_EQ(captured.text(), "    0\n  0\n    0\n");
}

TEST(RVSplayTree, ListingMatchesAnIndependentWalk) {
    std::mt19937 random(7);
    Ptr root = nodeWithKey(0);
    for (int i = 0; i < 300; ++i)
        root = RVSplayTree::insertNode(root, nodeWithKey(static_cast<int>(random() % 1000) - 500));
    root = RVSplayTree::findKey(root, 17);
    std::string expected;
    expectedListing(root.get(), 1, 3, expected);
    EXPECT_EQ(listing(root, 1, 3), expected);
}

TEST(RVSplayTree, RandomOperationsKeepOrderAndKeys) {
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> keyOf(-700, 700);
    std::uniform_int_distribution<int> operationOf(0, 6);
    std::set<int> keys;
    std::map<int, RVResource*> dataOf;
    Ptr root;

    auto insert = [&](int key, bool splaying) {
        Ptr node = nodeWithKey(key);
        const bool fresh = keys.insert(key).second;
        if (fresh)
            dataOf[key] = node->data().get();
        if (!root) {
            root = node;
        } else if (splaying) {
            root = RVSplayTree::insertNode(root, node);
            if (fresh) {
                EXPECT_EQ(root->key(), key);
            }
        } else {
            root->quicklyInsertNode(node);
        }
    };

    for (int batch = 0; batch < 100; ++batch) {
        for (int i = 0; i < 1000; ++i) {
            const int key = keyOf(random);
            const bool present = keys.count(key) != 0;
            switch (operationOf(random)) {
            case 0:
                insert(key, true);
                break;
            case 1:
                insert(key, false);
                break;
            case 2:
                root = RVSplayTree::findKey(root, key);
                if (root) {
                    EXPECT_EQ(root->key() == key, present);
                }
                break;
            case 3:
                root = RVSplayTree::removeKey(root, key);
                keys.erase(key);
                break;
            case 4:
                root = RVSplayTree::quicklyRemoveKey(root, key);
                keys.erase(key);
                break;
            case 5:
                if (root) {
                    EXPECT_EQ(root->quicklyFindKey(key) != nullptr, present);
                }
                break;
            default:
                if (root && random() % 4 == 0) {
                    keys.erase(root->key());
                    root = RVSplayTree::quicklyRemoveRoot(root);
                }
                break;
            }
        }
        const std::vector<int> expected(keys.begin(), keys.end());
        ASSERT_EQ(inOrderKeys(root), expected) << "after batch " << batch;
        for (int key : keys)
            ASSERT_EQ(root->quicklyFindKey(key)->data().get(), dataOf[key]);
    }
}
