#include "TolvaneKit/Resources/RVTree.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct NamedNode : RVTree {
    explicit NamedNode(std::string name) : name(std::move(name)) {}
    const std::string name;
};

std::shared_ptr<NamedNode> node(const char* name) {
    return std::make_shared<NamedNode>(name);
}

// The names of a row, each followed by a space.
std::string namesFrom(std::shared_ptr<NamedNode> first) {
    std::string names;
    for (auto child = std::move(first); child; child = child->nextSibling<NamedNode>())
        names += child->name + " ";
    return names;
}

std::string childNames(const RVTree& parent) {
    return namesFrom(parent.firstChild<NamedNode>());
}

} // namespace

TEST(RVTree, AttachingAppendsRefusesLoopsAndDetachingMatchesByIdentityInTheOwnRow) {
    auto parent = node("P"), n1 = node("N1"), n2 = node("N2"), n4 = node("N4"), kid = node("K");
    parent->attachChild(n1).attachChild(n2);
    n4->attachSibling(node("N5")).attachChild(kid);
    parent->attachChild(n4);
    EXPECT_EQ(childNames(*parent) + "/ " + childNames(*n4), "N1 N2 N4 N5 / K ") << "N5 comes along";
    auto stranger = node("S");
    EXPECT_EQ(parent->detachChild(kid), kid);
    EXPECT_EQ(parent->detachChild(n2), n2);
    EXPECT_EQ(childNames(*parent), "N1 N4 N5 ") << "the grandchild stays";
    // A detached node keeps its children, leaves its siblings behind and is no longer held.
    std::weak_ptr<RVTree> watch = n4;
    auto held = parent->detachChild(parent->firstChild()->nextSibling());
    EXPECT_EQ(held->nextSibling(), nullptr);
    EXPECT_EQ(childNames(*parent) + "/ " + childNames(*held), "N1 N5 / K ");
    held = n4 = nullptr;
    EXPECT_TRUE(watch.expired());
    // The same for the row that follows a node, which does not include the node.
    parent->detachChild(n1);
    n1->attachSibling(n2).attachSibling(stranger);
    EXPECT_EQ(n1->detachSibling(n1), n1);
    EXPECT_EQ(n1->detachSibling(stranger), stranger);
    EXPECT_EQ(namesFrom(n1), "N1 N2 ");

    auto root = node("R"), child = node("C"), grandchild = node("G");
    root->attachChild(child);
    child->attachChild(grandchild);
    root->attachChild(root);
    grandchild->attachChild(root);
    child->attachSibling(child);
    root->attachChild(child);
    EXPECT_EQ(childNames(*root) + "/ " + childNames(*child) + "/ " + childNames(*grandchild),
              "C / G / ");
    watch = grandchild;
    root = child = grandchild = nullptr;
    EXPECT_TRUE(watch.expired()) << "no loop keeps the nodes alive";
}
