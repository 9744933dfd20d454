// Tolvane Kit, resources and containers: a cache of objects loaded by key
// from the resource folder (textures read from TIFF files), the binary,
// splay and child/sibling trees behind it and the figures, and a clock for
// timed transitions. Builds on Platform/core's resource directory, libtiff
// and OpenGL.

#pragma once

#include <memory>

// A bare binary tree node: two owned links and a sideways debug listing.
// Splay trees read the links as smaller/larger keys, child/sibling trees as
// first child/next sibling. A node keeps each child alive through its link.
//
// Releasing a node never recurses once per level: a chain of a million nodes
// is given back without touching the stack depth.
class RVBinaryTree {
public:
    RVBinaryTree() = default;
    virtual ~RVBinaryTree();
    RVBinaryTree(const RVBinaryTree&) = delete;
    RVBinaryTree& operator=(const RVBinaryTree&) = delete;

    // Takes the new child before letting go of the old one, so setting the
    // child already held keeps it alive.
    RVBinaryTree& setLeft(std::shared_ptr<RVBinaryTree> node);
    const std::shared_ptr<RVBinaryTree>& left() const { return left_; }
    RVBinaryTree& setRight(std::shared_ptr<RVBinaryTree> node);
    const std::shared_ptr<RVBinaryTree>& right() const { return right_; }

    // Prints the subtree turned a quarter turn on standard output: the right
    // subtree above, the left below, each level indented by spacesPerLevel
    // more spaces than the one before.
    const RVBinaryTree& printTreeWithLevel(int level, int spacesPerLevel) const;

    // The line of one node in the listing.
    virtual const RVBinaryTree& printNode() const;

private:
    std::shared_ptr<RVBinaryTree> left_;
    std::shared_ptr<RVBinaryTree> right_;
};
