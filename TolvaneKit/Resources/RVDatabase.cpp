#include "TolvaneKit/Resources/RVDatabase.h"

#include <cstdio>

RVDatabase::RVDatabase() = default;

RVDatabase::~RVDatabase() {
    // Empty the index before its nodes die, so a resource that gives back
    // other keys from its teardown finds an empty database, not one half torn
    // down.
    std::shared_ptr<RVSplayTree> index = std::move(tree_);
    index.reset();
}

RVResource* RVDatabase::cachedResource(int key) const {
    if (!tree_)
        return nullptr;
    // The plain search: a hit does not reshape the index.
    RVSplayTree* node = tree_->quicklyFindKey(key);
    return node ? node->data().get() : nullptr;
}

void RVDatabase::cache(std::shared_ptr<RVResource> resource) {
    auto node = std::make_shared<RVSplayTree>();
    node->setData(std::move(resource));
    tree_ = RVSplayTree::insertNode(std::move(tree_), std::move(node));
}

RVDatabase& RVDatabase::releaseKey(int key) {
    RVSplayTree* node = tree_ ? tree_->quicklyFindKey(key) : nullptr;
    if (!node || !node->data())
        return *this;
    if (node->data()->referenceCount() > 1) {
        node->data()->releaseFromDatabase();
        return *this;
    }
    // The resource dies only once the index is whole again, so a resource
    // whose teardown gives back other keys of this database finds them.
    std::shared_ptr<RVResource> leaving = node->data();
    tree_ = RVSplayTree::removeKey(std::move(tree_), key);
    return *this;
}

int RVDatabase::referenceCountForKey(int key) {
    if (!tree_)
        return 0;
    tree_ = RVSplayTree::findKey(std::move(tree_), key);
    if (tree_->key() != key || !tree_->data())
        return 0;
    return tree_->data()->referenceCount();
}

const RVDatabase& RVDatabase::print() const {
    if (tree_)
        tree_->printTreeWithLevel(0, 3);
    std::printf("\n");
    return *this;
}
