#include "TolvaneKit/RVTree.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class NamedNode : public RVTree {
public:
    explicit NamedNode(std::string name) : name_(std::move(name)) {}
    const std::string& name() const { return name_; }

private:
    std::string name_;
};

std::shared_ptr<NamedNode> node(const char* name) {
    return std::make_shared<NamedNode>(name);
}

std::vector<std::string> namesFrom(std::shared_ptr<NamedNode> first) {
    std::vector<std::string> names;
    for (auto child = std::move(first); child; child = child->nextSibling<NamedNode>())
        names.push_back(child->name());
    return names;
}

std::vector<std::string> childNames(const RVTree& parent) {
    return namesFrom(parent.firstChild<NamedNode>());
}

using Names = std::vector<std::string>;

} // namespace

TEST(RVTree, ChildrenAreAppendedInOrder) {
    auto parent = node("P");
    EXPECT_EQ(parent->firstChild(), nullptr);
    parent->attachChild(node("N1")).attachChild(node("N2")).attachChild(node("N3"));
    EXPECT_EQ(childNames(*parent), (Names{"N1", "N2", "N3"}));
    EXPECT_EQ(parent->nextSibling(), nullptr);
}

TEST(RVTree, DetachingTakesTheNodeOutOfTheRow) {
    auto parent = node("P");
    auto n1 = node("N1"), n2 = node("N2"), n3 = node("N3");
    parent->attachChild(n1).attachChild(n2).attachChild(n3);

    EXPECT_EQ(parent->detachChild(n2), n2);
    EXPECT_EQ(childNames(*parent), (Names{"N1", "N3"}));
    EXPECT_EQ(parent->detachChild(n1), n1);
    EXPECT_EQ(childNames(*parent), (Names{"N3"}));
    EXPECT_EQ(parent->detachChild(n3), n3);
    EXPECT_EQ(parent->firstChild(), nullptr);
}

TEST(RVTree, ADetachedNodeLeavesItsFormerSiblingsBehind) {
    auto parent = node("P");
    auto n1 = node("N1"), n2 = node("N2"), n3 = node("N3");
    parent->attachChild(n1).attachChild(n2).attachChild(n3);
    parent->detachChild(n1);
    EXPECT_EQ(n1->nextSibling(), nullptr);
    EXPECT_EQ(childNames(*parent), (Names{"N2", "N3"}));

    auto elsewhere = node("E");
    elsewhere->attachChild(n1);
    EXPECT_EQ(childNames(*elsewhere), (Names{"N1"}));
    EXPECT_EQ(childNames(*parent), (Names{"N2", "N3"}));
}

TEST(RVTree, OnlyTheReceiversOwnRowIsSearched) {
    auto parent = node("P");
    auto child = node("C");
    auto grandchild = node("G");
    child->attachChild(grandchild);
    parent->attachChild(child);

    EXPECT_EQ(parent->detachChild(grandchild), grandchild);
    EXPECT_EQ(childNames(*parent), (Names{"C"}));
    EXPECT_EQ(childNames(*child), (Names{"G"}));

    auto stranger = node("S");
    EXPECT_EQ(parent->detachChild(stranger), stranger);
    EXPECT_EQ(childNames(*parent), (Names{"C"}));
}

TEST(RVTree, SiblingRows) {
    auto first = node("A");
    auto b = node("B"), c = node("C");
    first->attachSibling(b).attachSibling(c);
    EXPECT_EQ(namesFrom(first), (Names{"A", "B", "C"}));
    EXPECT_EQ(first->detachSibling(first), first) << "the receiver is not in its following row";
    EXPECT_EQ(first->detachSibling(c), c);
    EXPECT_EQ(namesFrom(first), (Names{"A", "B"}));
}

TEST(RVTree, AppendingANodeBringsItsFollowingSiblingsAndChildren) {
    auto parent = node("P");
    parent->attachChild(node("N1")).attachChild(node("N2"));
    auto n4 = node("N4");
    n4->attachSibling(node("N5"));
    n4->attachChild(node("K"));
    parent->attachChild(n4);
    EXPECT_EQ(childNames(*parent), (Names{"N1", "N2", "N4", "N5"}));
    EXPECT_EQ(childNames(*n4), (Names{"K"}));
}

TEST(RVTree, ADetachedNodeKeepsItsChildrenAndCanBeAttachedElsewhere) {
    auto parent = node("P");
    auto limb = node("L");
    limb->attachChild(node("X")).attachChild(node("Y"));
    parent->attachChild(limb);
    std::weak_ptr<RVTree> watch = limb;

    auto held = parent->detachChild(std::move(limb));
    EXPECT_FALSE(watch.expired()) << "the caller holds the removed node";
    EXPECT_EQ(childNames(*held), (Names{"X", "Y"}));
    auto other = node("O");
    other->attachChild(held);
    EXPECT_EQ(childNames(*other->firstChild()), (Names{"X", "Y"}));

    held.reset();
    other->detachChild(other->firstChild());
    EXPECT_TRUE(watch.expired()) << "detaching gives up the tree's reference";
}

TEST(RVTree, AttachingThatWouldCloseALoopIsRefused) {
    auto root = node("R");
    auto child = node("C");
    auto grandchild = node("G");
    root->attachChild(child);
    child->attachChild(grandchild);

    root->attachChild(root);
    grandchild->attachChild(root);
    child->attachSibling(child);
    root->attachChild(child);
    EXPECT_EQ(childNames(*root), (Names{"C"}));
    EXPECT_EQ(childNames(*child), (Names{"G"}));
    EXPECT_EQ(grandchild->firstChild(), nullptr);
    EXPECT_EQ(child->nextSibling(), nullptr);

    std::weak_ptr<RVTree> watch = grandchild;
    root.reset();
    child.reset();
    grandchild.reset();
    EXPECT_TRUE(watch.expired()) << "no loop keeps the nodes alive";
}
