// Tolvane Kit, resources and containers: a cache of objects loaded by key
// from the resource folder (textures read from TIFF files), the binary,
// splay and child/sibling trees behind it and the figures, and a clock for
// timed transitions. Builds on Platform/core's resource directory, libtiff
// and OpenGL.

#pragma once

#include "TolvaneKit/Resources/RVBinaryTree.h"

#include <memory>

// An ordered tree with any number of children per node, kept in the two
// links of a binary node: left is the first child, right the next sibling.
// A parent keeps its row of children alive through the first one, and each
// child keeps the siblings after it alive.
//
// Walking a row is iterative, so rows of any length are safe. A detached
// node keeps its children but loses its next-sibling link: it leaves its row
// alone and can be attached elsewhere without dragging its former siblings
// along. Attaching refuses a node whose subtree already reaches the place it
// would hang from (the receiver itself, an ancestor, or a node of the same
// row), because that would close a loop that is never released.
class RVTree : public RVBinaryTree {
public:
    RVTree() = default;
    ~RVTree() override;

    // The first child and the next sibling, seen as Node (RVTree by default,
    // or a derived class such as a figure part); null when there is none or
    // it is not a Node.
    template <class Node = RVTree> std::shared_ptr<Node> firstChild() const {
        return std::dynamic_pointer_cast<Node>(left());
    }
    template <class Node = RVTree> std::shared_ptr<Node> nextSibling() const {
        return std::dynamic_pointer_cast<Node>(right());
    }

    // Appends the node, with its children and the siblings that follow it,
    // as the last child of the receiver.
    RVTree& attachChild(std::shared_ptr<RVTree> node);
    // Appends the node, as above, at the end of the row that follows the
    // receiver.
    RVTree& attachSibling(std::shared_ptr<RVTree> node);

    // Takes the node out of the receiver's children (or of the row that
    // follows the receiver) if it is there, matching by identity, and hands it
    // back, whether found or not.
    template <class Node> std::shared_ptr<Node> detachChild(std::shared_ptr<Node> node) {
        unlinkFromChildren(node.get());
        return node;
    }
    template <class Node> std::shared_ptr<Node> detachSibling(std::shared_ptr<Node> node) {
        unlinkFromSiblings(node.get());
        return node;
    }

private:
    void unlinkFromChildren(const RVBinaryTree* node);
    void unlinkFromSiblings(const RVBinaryTree* node);
};
