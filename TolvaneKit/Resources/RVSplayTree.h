// Tolvane Kit, resources and containers: a cache of objects loaded by key
// from the resource folder (textures read from TIFF files), the binary,
// splay and child/sibling trees behind it and the figures, and a clock for
// timed transitions. Builds on Platform/core's resource directory, libtiff
// and OpenGL.

#pragma once

#include "TolvaneKit/Resources/RVBinaryTree.h"

#include <memory>

class RVResource;

// A node of a binary search tree that indexes one resource by its key.
//
// Two families of operations, both addressed to the root:
// - the plain family (quickly...) searches, inserts and removes without
//   reshaping the tree beyond the node added or taken out;
// - the splaying family (insertNode, findKey, removeKey) splays top-down with
//   a left and a right accumulator and brings the node for the key, or the
//   last node on its search path, to the root.
//
// Operations that may change the root are static: they take over the
// caller's reference to the old root and hand back the new root, which the
// caller stores in place of the old one. An empty tree is a null root; every
// operation accepts it.
//
// Every algorithm here is iterative and the accumulators remember where
// their open end is, so a degenerate tree of a million nodes is searched,
// splayed, printed and released in linear time and constant stack depth.
// Children of a splay node are always splay nodes.
class RVSplayTree : public RVBinaryTree {
public:
    using Ptr = std::shared_ptr<RVSplayTree>;

    RVSplayTree() = default;
    ~RVSplayTree() override;

    RVSplayTree& setLeft(Ptr node);
    Ptr left() const;
    RVSplayTree& setRight(Ptr node);
    Ptr right() const;

    RVSplayTree& setData(std::shared_ptr<RVResource> data);
    const std::shared_ptr<RVResource>& data() const { return data_; }
    // The data's key, read anew on every call; 0 without data.
    int key() const;

    // Plain family. The node returned is not owned by the caller.
    // The node at which a plain search for the key stops: the parent of the
    // node holding the key, or the node below which the key would be added.
    RVSplayTree* quicklyFindParentOfKey(int key);
    RVSplayTree* quicklyFindKey(int key);
    // Adds the node unless its key is present already; the root never changes.
    RVSplayTree& quicklyInsertNode(Ptr node);
    static Ptr quicklyRemoveKey(Ptr root, int key);
    // Drops the root and joins its two subtrees.
    static Ptr quicklyRemoveRoot(Ptr root);

    // Splaying family.
    // A node joins a tree on its own, without children; one whose key is
    // present already is not taken in (the same holds for quicklyInsertNode).
    static Ptr insertNode(Ptr root, Ptr node);
    static Ptr findKey(Ptr root, int key);
    static Ptr removeKey(Ptr root, int key);

    // The parts of a splay, for callers that assemble their own. The
    // accumulators are in/out: nodes smaller than the rest go to leftTree,
    // larger ones to rightTree. Each returns the next current node; a step
    // whose child or grandchild is missing leaves everything as it was and
    // returns the current node.
    static Ptr splayToKey(Ptr current, int key, Ptr& leftTree, Ptr& rightTree);
    static Ptr zigWithLeftTreePtr(Ptr current, Ptr& leftTree, Ptr& rightTree);
    static Ptr zigzigWithLeftTreePtr(Ptr current, Ptr& leftTree, Ptr& rightTree);
    static Ptr zigzagWithLeftTreePtr(Ptr current, Ptr& leftTree, Ptr& rightTree);
    static Ptr zagWithLeftTreePtr(Ptr current, Ptr& leftTree, Ptr& rightTree);
    static Ptr zagzagWithLeftTreePtr(Ptr current, Ptr& leftTree, Ptr& rightTree);
    static Ptr zagzigWithLeftTreePtr(Ptr current, Ptr& leftTree, Ptr& rightTree);
    // Makes current the root over the two accumulators.
    static Ptr recombineWithLeftTree(Ptr current, Ptr leftTree, Ptr rightTree);

    // Hangs the subtree at the far left (right) end of the receiver's subtree.
    RVSplayTree& attachLeftmost(Ptr subtree);
    RVSplayTree& attachRightmost(Ptr subtree);

    // Prints the data; a node without data prints nothing.
    const RVSplayTree& printNode() const override;

private:
    struct Accumulators;
    using Step = Ptr (*)(Ptr, Accumulators&);

    RVSplayTree* leftNode() const { return static_cast<RVSplayTree*>(RVBinaryTree::left().get()); }
    RVSplayTree* rightNode() const {
        return static_cast<RVSplayTree*>(RVBinaryTree::right().get());
    }

    static Ptr runStep(Step step, bool applies, Ptr current, Ptr& leftTree, Ptr& rightTree);
    static Ptr splay(Ptr current, int key, Accumulators& trees);
    static Ptr zig(Ptr current, Accumulators& trees);
    static Ptr zigzig(Ptr current, Accumulators& trees);
    static Ptr zigzag(Ptr current, Accumulators& trees);
    static Ptr zag(Ptr current, Accumulators& trees);
    static Ptr zagzag(Ptr current, Accumulators& trees);
    static Ptr zagzig(Ptr current, Accumulators& trees);
    static Ptr recombine(Ptr current, Accumulators& trees);

    std::shared_ptr<RVResource> data_;
};
