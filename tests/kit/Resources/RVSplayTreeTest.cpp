#include "TolvaneKit/Resources/RVSplayTree.h"
#include "TolvaneKit/Resources/RVResource.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <pthread.h>
#include <random>
#include <set>

namespace {

using Ptr = RVSplayTree::Ptr;
using Keys = std::vector<int>;

Ptr nodeWithKey(int key) {
    auto node = std::make_shared<RVSplayTree>();
    node->setData(std::make_shared<RVResource>(key, nullptr));
    return node;
}

Ptr plainTree(const Keys& keys) {
    Ptr root = nodeWithKey(keys.front());
    for (std::size_t i = 1; i < keys.size(); ++i)
        root->quicklyInsertNode(nodeWithKey(keys[i]));
    return root;
}

// "key(left,right)", "-" for a missing child, a bare key for a leaf.
std::string shape(const Ptr& node) {
    if (!node)
        return "-";
    std::string text = std::to_string(node->key());
    if (node->left() || node->right())
        text += "(" + shape(node->left()) + "," + shape(node->right()) + ")";
    return text;
}

Keys inOrderKeys(const Ptr& node, Keys keys = {}) {
    if (!node)
        return keys;
    keys = inOrderKeys(node->left(), std::move(keys));
    keys.push_back(node->key());
    return inOrderKeys(node->right(), std::move(keys));
}

std::string listing(const RVBinaryTree& root, int level, int spaces) {
    testing::internal::CaptureStdout();
    root.printTreeWithLevel(level, spaces);
    return testing::internal::GetCapturedStdout();
}

// Runs the work with the default 8 MB stack, whatever the test runner was started with.
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
}

// The chain plain insertion builds, each node added below the end instead of from the root.
Ptr chain(int first, int step, int count) {
    Ptr root = nodeWithKey(first);
    RVSplayTree* end = root.get();
    for (int i = 1; i < count; ++i, end = end->quicklyFindKey(first + (i - 1) * step))
        end->quicklyInsertNode(nodeWithKey(first + i * step));
    return root;
}

} // namespace

TEST(RVSplayTree, SplayingPlainRemovalSearchAndListingGiveTheDocumentedShapes) {
    Ptr root = nodeWithKey(1);
    root = RVSplayTree::insertNode(root, nodeWithKey(2));
    root = RVSplayTree::insertNode(root, nodeWithKey(3));
    EXPECT_EQ(shape(root), "3(2(1,-),-)");
    EXPECT_EQ(shape(RVSplayTree::findKey(root, 1)), "1(-,2(-,3))");
    EXPECT_EQ(shape(RVSplayTree::findKey(plainTree({1, 2, 3, 4, 5, 6, 7}), 7)),
              "7(2(1,4(3,6(5,-))),-)");
    // Splay steps whose grandchild is missing move nothing.
    Ptr pair = plainTree({5, 3}), left, right;
    EXPECT_EQ(RVSplayTree::zigzagWithLeftTreePtr(pair, left, right), pair);
    EXPECT_EQ(RVSplayTree::zagWithLeftTreePtr(pair, left, right), pair);
    EXPECT_EQ(shape(pair), "5(3,-)");
    EXPECT_EQ(std::pair(left, right), std::pair(Ptr(), Ptr()));
    EXPECT_EQ(shape(RVSplayTree::zigWithLeftTreePtr(pair, left, right)), "3");
    EXPECT_EQ(shape(right), "5");

    // The left child wins if it lacks a right child, the right if it lacks a left, else successor.
    const std::pair<Keys, const char*> cases[] = {
        {{5, 3, 8, 1, 9}, "3(1,8(-,9))"},
        {{5, 3, 8, 4, 9}, "8(3(-,4),9)"},
        {{5, 3, 10, 4, 8, 6, 7}, "6(3(-,4),10(8(7,-),-))"},
        {{5, 7}, "7"},
        {{5}, "-"}};
    for (const auto& [keys, after] : cases)
        EXPECT_EQ(shape(RVSplayTree::quicklyRemoveRoot(plainTree(keys))), after);
    root = RVSplayTree::quicklyRemoveKey(plainTree({5, 3, 8, 1, 9}), 8);
    EXPECT_EQ(shape(RVSplayTree::quicklyRemoveKey(root, 77)), "5(3(1,-),9)");
    EXPECT_EQ(root->quicklyFindParentOfKey(1)->key(), 3);
    EXPECT_EQ(root->quicklyFindParentOfKey(7)->key(), 9) << "where 7 would be added";
    EXPECT_EQ(root->quicklyFindParentOfKey(5)->key(), 9) << "the root's own key is sought right";

    const int lowest = -2147483647 - 1;
    root = plainTree({0, 5, -3, 2, lowest, 2147483647, -1});
    EXPECT_EQ(inOrderKeys(root), (Keys{lowest, -3, -1, 0, 2, 5, 2147483647}));
    root = RVSplayTree::insertNode(RVSplayTree::findKey(root, -3), nodeWithKey(-7));
    root = RVSplayTree::quicklyRemoveKey(RVSplayTree::removeKey(root, lowest), -1);
    EXPECT_EQ(inOrderKeys(root), (Keys{-7, -3, 0, 2, 5, 2147483647}));

    // Listings: right above, left below is the database's test; here levels and a bare node.
    EXPECT_EQ(listing(*nodeWithKey(4), 2, 3) + listing(*nodeWithKey(4), -2, 3), "      4,1\n4,1\n");
    EXPECT_EQ(listing(RVSplayTree(), 1, 2), "  ") << "a node without data prints its indentation";
}

// Against std::set; also checks that a node given back or refused is released with its data.
TEST(RVSplayTree, RandomOperationsKeepOrderKeysAndData) {
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> keyOf(-700, 700), operationOf(0, 5);
    std::set<int> keys;
    std::map<int, RVResource*> dataOf; // the first data inserted for a key stays
    std::vector<std::weak_ptr<RVResource>> made;
    Ptr root;
    for (int batch = 0; batch < 100; ++batch) {
        for (int i = 0; i < 1000; ++i) {
            const int key = keyOf(random), operation = operationOf(random);
            const bool present = keys.count(key) != 0;
            if (operation <= 1) { // insertion, splaying or plain
                Ptr node = nodeWithKey(key);
                made.push_back(node->data());
                if (keys.insert(key).second)
                    dataOf[key] = node->data().get();
                if (!root)
                    root = node;
                else if (operation == 1)
                    root->quicklyInsertNode(node);
                else
                    root = RVSplayTree::insertNode(root, node);
                if (operation == 0 && !present) {
                    EXPECT_EQ(root->key(), key) << "a new key becomes the root";
                }
            } else if (operation == 2) {
                root = RVSplayTree::findKey(root, key);
                EXPECT_EQ(root && root->key() == key, present) << key;
            } else if (operation == 3 || operation == 4) { // the quick way removes roots too
                root = operation == 3 ? RVSplayTree::removeKey(root, key)
                                      : RVSplayTree::quicklyRemoveKey(root, key);
                keys.erase(key);
            } else {
                EXPECT_EQ(root && root->quicklyFindKey(key), present) << key;
            }
        }
        ASSERT_EQ(inOrderKeys(root), Keys(keys.begin(), keys.end())) << "after batch " << batch;
        for (int key : keys)
            ASSERT_EQ(root->quicklyFindKey(key)->data().get(), dataOf[key]);
        std::erase_if(made, [](const auto& data) { return data.expired(); });
        ASSERT_EQ(made.size(), keys.size()) << "only the data the tree holds is alive";
    }
}

// A million nodes in a chain: recursing once per level would overflow the stack.
TEST(RVContainerSturdiness, AMillionNodeChainIsSearchedSplayedPrintedAndReleased) {
    runOnDefaultStack([] {
        const int n = 1000000;
        Ptr root = chain(1, 1, n - 1);
        root->quicklyInsertNode(nodeWithKey(n));
        EXPECT_EQ(root->quicklyFindKey(n + 1), nullptr);
        EXPECT_EQ(root->quicklyFindParentOfKey(n)->key(), n - 1);
        root = RVSplayTree::findKey(root, n);
        // Splaying halves the depth, which still leaves half a million levels to print.
        const std::string text = listing(*root, 0, 0);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), n);
        root = RVSplayTree::removeKey(root, n);
        EXPECT_EQ(root->key(), 2);
        root = RVSplayTree::quicklyRemoveKey(root, n - 1);
        EXPECT_EQ(root->quicklyFindKey(n - 1), nullptr);
        root = RVSplayTree::insertNode(root, nodeWithKey(n + 5));
        EXPECT_EQ(root->key(), n + 5);
        std::weak_ptr<RVSplayTree> watch = root;
        root = RVSplayTree::quicklyRemoveKey(chain(0, -1, n), 1 - n); // now a left chain
        EXPECT_TRUE(watch.expired());
        watch = root;
        root.reset();
        EXPECT_TRUE(watch.expired());
    });
}
