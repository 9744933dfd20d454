#include "TolvaneKit/Resources/RVSplayTree.h"

#include "TolvaneKit/Resources/RVResource.h"

#include <utility>

// The two accumulators of a top-down splay. Besides each tree's root they
// keep a node on the spine that leads to the open end (the right spine of
// the left tree, the left spine of the right tree). Linking walks on from
// that node instead of from the root: the node reached is the same, so the
// shapes are those of a walk from the root, but a splay of a long path no
// longer costs a walk along the whole accumulator per step.
struct RVSplayTree::Accumulators {
    Ptr left;
    Ptr right;
    RVSplayTree* leftEnd = nullptr;
    RVSplayTree* rightEnd = nullptr;

    Accumulators() = default;
    Accumulators(Ptr leftTree, Ptr rightTree)
        : left(std::move(leftTree)), right(std::move(rightTree)), leftEnd(left.get()),
          rightEnd(right.get()) {}

    // Hangs the node at the rightmost position of the left tree.
    void linkIntoLeft(Ptr node) {
        RVSplayTree* linked = node.get();
        if (!left) {
            left = std::move(node);
        } else {
            while (leftEnd->rightNode())
                leftEnd = leftEnd->rightNode();
            leftEnd->setRight(std::move(node));
        }
        leftEnd = linked;
    }

    // Hangs the node at the leftmost position of the right tree.
    void linkIntoRight(Ptr node) {
        RVSplayTree* linked = node.get();
        if (!right) {
            right = std::move(node);
        } else {
            while (rightEnd->leftNode())
                rightEnd = rightEnd->leftNode();
            rightEnd->setLeft(std::move(node));
        }
        rightEnd = linked;
    }
};

RVSplayTree::~RVSplayTree() = default;

RVSplayTree& RVSplayTree::setLeft(Ptr node) {
    RVBinaryTree::setLeft(std::move(node));
    return *this;
}

RVSplayTree::Ptr RVSplayTree::left() const {
    return std::static_pointer_cast<RVSplayTree>(RVBinaryTree::left());
}

RVSplayTree& RVSplayTree::setRight(Ptr node) {
    RVBinaryTree::setRight(std::move(node));
    return *this;
}

RVSplayTree::Ptr RVSplayTree::right() const {
    return std::static_pointer_cast<RVSplayTree>(RVBinaryTree::right());
}

RVSplayTree& RVSplayTree::setData(std::shared_ptr<RVResource> data) {
    data_.swap(data);
    return *this;
}

int RVSplayTree::key() const {
    return data_ ? data_->key() : 0;
}

// ---- plain family ----

RVSplayTree* RVSplayTree::quicklyFindParentOfKey(int key) {
    RVSplayTree* node = this;
    for (;;) {
        // A key equal to the node's own is looked for on the right.
        RVSplayTree* next = key < node->key() ? node->leftNode() : node->rightNode();
        if (!next || next->key() == key)
            return node;
        node = next;
    }
}

RVSplayTree* RVSplayTree::quicklyFindKey(int key) {
    RVSplayTree* node = this;
    while (node && node->key() != key)
        node = key < node->key() ? node->leftNode() : node->rightNode();
    return node;
}

RVSplayTree& RVSplayTree::quicklyInsertNode(Ptr node) {
    if (!node)
        return *this;
    const int newKey = node->key();
    if (newKey == key())
        return *this;
    RVSplayTree* parent = quicklyFindParentOfKey(newKey);
    if (newKey < parent->key() && !parent->leftNode())
        parent->setLeft(std::move(node));
    else if (newKey > parent->key() && !parent->rightNode())
        parent->setRight(std::move(node));
    return *this;
}

RVSplayTree::Ptr RVSplayTree::quicklyRemoveKey(Ptr root, int key) {
    if (!root)
        return root;
    if (root->key() == key)
        return quicklyRemoveRoot(std::move(root));
    RVSplayTree* parent = root.get();
    for (;;) {
        const bool goLeft = parent->key() > key;
        Ptr child = goLeft ? parent->left() : parent->right();
        if (!child)
            return root;
        if (child->key() == key) {
            Ptr replacement = quicklyRemoveRoot(child);
            if (goLeft)
                parent->setLeft(std::move(replacement));
            else
                parent->setRight(std::move(replacement));
            return root;
        }
        parent = child.get();
    }
}

RVSplayTree::Ptr RVSplayTree::quicklyRemoveRoot(Ptr root) {
    if (!root)
        return root;
    Ptr smaller = root->left();
    Ptr larger = root->right();
    Ptr newRoot;
    if (!smaller) {
        newRoot = larger;
    } else if (!larger) {
        newRoot = smaller;
    } else if (!smaller->rightNode()) {
        smaller->setRight(larger);
        newRoot = smaller;
    } else if (!larger->leftNode()) {
        larger->setLeft(smaller);
        newRoot = larger;
    } else {
        // The successor: the leftmost node of the larger subtree.
        RVSplayTree* parent = larger.get();
        Ptr successor = larger->left();
        while (successor->leftNode()) {
            parent = successor.get();
            successor = successor->left();
        }
        parent->setLeft(successor->right());
        successor->setLeft(smaller);
        successor->setRight(larger);
        newRoot = successor;
    }
    root->setLeft(nullptr);
    root->setRight(nullptr);
    return newRoot;
}

// ---- splaying family ----

RVSplayTree::Ptr RVSplayTree::insertNode(Ptr root, Ptr node) {
    if (!node)
        return root;
    if (!root)
        return node;
    const int newKey = node->key();
    Accumulators trees;
    Ptr current = splay(std::move(root), newKey, trees);
    if (current->key() > newKey) {
        current->setLeft(std::move(node));
        current = zig(std::move(current), trees);
    } else if (current->key() < newKey) {
        current->setRight(std::move(node));
        current = zag(std::move(current), trees);
    }
    return recombine(std::move(current), trees);
}

RVSplayTree::Ptr RVSplayTree::findKey(Ptr root, int key) {
    if (!root)
        return root;
    Accumulators trees;
    Ptr current = splay(std::move(root), key, trees);
    return recombine(std::move(current), trees);
}

RVSplayTree::Ptr RVSplayTree::removeKey(Ptr root, int key) {
    if (!root)
        return root;
    Accumulators trees;
    Ptr found = splay(std::move(root), key, trees);
    if (found->key() != key)
        return recombine(std::move(found), trees);

    // The found node leaves the tree, and with it the tree's hold on its data,
    // when `found` goes out of scope.
    Ptr smaller = found->left();
    Ptr larger = found->right();
    found->setLeft(nullptr);
    found->setRight(nullptr);
    if (!larger) {
        if (smaller)
            return recombine(std::move(smaller), trees);
        if (trees.left) {
            Accumulators onlyRight(nullptr, std::move(trees.right));
            onlyRight.rightEnd = trees.rightEnd;
            return recombine(std::move(trees.left), onlyRight);
        }
        return std::move(trees.right);
    }
    if (smaller)
        trees.linkIntoLeft(std::move(smaller));
    return recombine(std::move(larger), trees);
}

RVSplayTree::Ptr RVSplayTree::splay(Ptr current, int key, Accumulators& trees) {
    for (;;) {
        const int currentKey = current->key();
        if (currentKey == key)
            return current;
        Step step = nullptr;
        if (currentKey > key) {
            const RVSplayTree* child = current->leftNode();
            if (!child)
                return current;
            if (child->key() > key && child->leftNode())
                step = zigzig;
            else if (child->key() < key && child->rightNode())
                step = zigzag;
            else
                step = zig;
        } else {
            const RVSplayTree* child = current->rightNode();
            if (!child)
                return current;
            if (child->key() < key && child->rightNode())
                step = zagzag;
            else if (child->key() > key && child->leftNode())
                step = zagzig;
            else
                step = zag;
        }
        current = step(std::move(current), trees);
    }
}

RVSplayTree::Ptr RVSplayTree::zig(Ptr current, Accumulators& trees) {
    Ptr child = current->left();
    current->setLeft(nullptr);
    trees.linkIntoRight(std::move(current));
    return child;
}

RVSplayTree::Ptr RVSplayTree::zigzig(Ptr current, Accumulators& trees) {
    Ptr child = current->left();
    Ptr grandchild = child->left();
    current->setLeft(child->right());
    child->setRight(std::move(current));
    trees.linkIntoRight(child);
    child->setLeft(nullptr);
    return grandchild;
}

RVSplayTree::Ptr RVSplayTree::zigzag(Ptr current, Accumulators& trees) {
    Ptr child = current->left();
    Ptr grandchild = child->right();
    child->setRight(nullptr);
    trees.linkIntoLeft(std::move(child));
    current->setLeft(nullptr);
    trees.linkIntoRight(std::move(current));
    return grandchild;
}

RVSplayTree::Ptr RVSplayTree::zag(Ptr current, Accumulators& trees) {
    Ptr child = current->right();
    current->setRight(nullptr);
    trees.linkIntoLeft(std::move(current));
    return child;
}

RVSplayTree::Ptr RVSplayTree::zagzag(Ptr current, Accumulators& trees) {
    Ptr child = current->right();
    Ptr grandchild = child->right();
    current->setRight(child->left());
    child->setLeft(std::move(current));
    trees.linkIntoLeft(child);
    child->setRight(nullptr);
    return grandchild;
}

RVSplayTree::Ptr RVSplayTree::zagzig(Ptr current, Accumulators& trees) {
    Ptr child = current->right();
    Ptr grandchild = child->left();
    child->setLeft(nullptr);
    trees.linkIntoRight(std::move(child));
    current->setRight(nullptr);
    trees.linkIntoLeft(std::move(current));
    return grandchild;
}

RVSplayTree::Ptr RVSplayTree::recombine(Ptr current, Accumulators& trees) {
    if (trees.left) {
        if (Ptr smaller = current->left())
            trees.linkIntoLeft(std::move(smaller));
        current->setLeft(std::move(trees.left));
    }
    if (trees.right) {
        if (Ptr larger = current->right())
            trees.linkIntoRight(std::move(larger));
        current->setRight(std::move(trees.right));
    }
    trees = Accumulators();
    return current;
}

// ---- the parts of a splay, on caller-held accumulators ----

RVSplayTree::Ptr RVSplayTree::runStep(Step step, bool applies, Ptr current, Ptr& leftTree,
                                      Ptr& rightTree) {
    // A step needs the child and grandchild it rearranges; without them the
    // current node stays current and nothing moves.
    if (!applies)
        return current;
    Accumulators trees(std::move(leftTree), std::move(rightTree));
    Ptr next = step(std::move(current), trees);
    leftTree = std::move(trees.left);
    rightTree = std::move(trees.right);
    return next;
}

RVSplayTree::Ptr RVSplayTree::splayToKey(Ptr current, int key, Ptr& leftTree, Ptr& rightTree) {
    if (!current)
        return current;
    Accumulators trees(std::move(leftTree), std::move(rightTree));
    Ptr last = splay(std::move(current), key, trees);
    leftTree = std::move(trees.left);
    rightTree = std::move(trees.right);
    return last;
}

RVSplayTree::Ptr RVSplayTree::zigWithLeftTreePtr(Ptr current, Ptr& leftTree, Ptr& rightTree) {
    const bool applies = current && current->leftNode();
    return runStep(zig, applies, std::move(current), leftTree, rightTree);
}

RVSplayTree::Ptr RVSplayTree::zigzigWithLeftTreePtr(Ptr current, Ptr& leftTree, Ptr& rightTree) {
    const bool applies = current && current->leftNode() && current->leftNode()->leftNode();
    return runStep(zigzig, applies, std::move(current), leftTree, rightTree);
}

RVSplayTree::Ptr RVSplayTree::zigzagWithLeftTreePtr(Ptr current, Ptr& leftTree, Ptr& rightTree) {
    const bool applies = current && current->leftNode() && current->leftNode()->rightNode();
    return runStep(zigzag, applies, std::move(current), leftTree, rightTree);
}

RVSplayTree::Ptr RVSplayTree::zagWithLeftTreePtr(Ptr current, Ptr& leftTree, Ptr& rightTree) {
    const bool applies = current && current->rightNode();
    return runStep(zag, applies, std::move(current), leftTree, rightTree);
}

RVSplayTree::Ptr RVSplayTree::zagzagWithLeftTreePtr(Ptr current, Ptr& leftTree, Ptr& rightTree) {
    const bool applies = current && current->rightNode() && current->rightNode()->rightNode();
    return runStep(zagzag, applies, std::move(current), leftTree, rightTree);
}

RVSplayTree::Ptr RVSplayTree::zagzigWithLeftTreePtr(Ptr current, Ptr& leftTree, Ptr& rightTree) {
    const bool applies = current && current->rightNode() && current->rightNode()->leftNode();
    return runStep(zagzig, applies, std::move(current), leftTree, rightTree);
}

RVSplayTree::Ptr RVSplayTree::recombineWithLeftTree(Ptr current, Ptr leftTree, Ptr rightTree) {
    if (!current)
        return current;
    Accumulators trees(std::move(leftTree), std::move(rightTree));
    return recombine(std::move(current), trees);
}

// ---- ends and listing ----

RVSplayTree& RVSplayTree::attachLeftmost(Ptr subtree) {
    RVSplayTree* end = this;
    while (end->leftNode())
        end = end->leftNode();
    end->setLeft(std::move(subtree));
    return *this;
}

RVSplayTree& RVSplayTree::attachRightmost(Ptr subtree) {
    RVSplayTree* end = this;
    while (end->rightNode())
        end = end->rightNode();
    end->setRight(std::move(subtree));
    return *this;
}

const RVSplayTree& RVSplayTree::printNode() const {
    if (data_)
        data_->print();
    return *this;
}
