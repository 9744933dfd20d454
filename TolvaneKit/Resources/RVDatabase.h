// Tolvane Kit, resources and containers: a cache of objects loaded by key
// from the resource folder (textures read from TIFF files), the binary,
// splay and child/sibling trees behind it and the figures, and a clock for
// timed transitions. Builds on Platform/core's resource directory, libtiff
// and OpenGL.

#pragma once

#include "TolvaneKit/Resources/RVResource.h"
#include "TolvaneKit/Resources/RVSplayTree.h"

#include <memory>
#include <type_traits>

// A cache of loaded resources, keyed by integer and shared by count.
//
// The first request for a key creates the resource, which loads itself from
// the file the key names; further requests hand out the same object and
// count the users; the last user to give it back removes it from the cache
// and destroys it. The index is a splay tree that alone owns the resources:
// hits look keys up without reshaping it, creation, removal and counting
// splay. Destroying the database destroys every resource still cached, so
// users give their resources back first.
//
// Keys are unique across resource classes. Asking for a cached key under a
// class it was not created as answers null and counts nothing, rather than
// handing out an object of the wrong type.
class RVDatabase {
public:
    RVDatabase();
    ~RVDatabase();
    // Resources point back at their database, so it stays where it is.
    RVDatabase(const RVDatabase&) = delete;
    RVDatabase& operator=(const RVDatabase&) = delete;

    // The resource for the key, created on first use (one user) and counted
    // once more on every further use: database.retainKey<RVTexture>(12).
    // The pointer is the caller's until it gives the use back.
    template <class Resource> Resource* retainKey(int key);

    // One user less; at the last one the resource is removed and destroyed.
    // A key that is not cached is ignored.
    RVDatabase& releaseKey(int key);

    // The count of users of the key, 0 when it is not cached. Splays the key
    // to the root.
    int referenceCountForKey(int key);

    // Lists the index sideways (3 spaces per level, "key,count" per node),
    // then an empty line.
    const RVDatabase& print() const;

    // The root of the index; null while the database is empty.
    const std::shared_ptr<RVSplayTree>& tree() const { return tree_; }

private:
    RVResource* cachedResource(int key) const;
    void cache(std::shared_ptr<RVResource> resource);

    std::shared_ptr<RVSplayTree> tree_;
};

template <class Resource> Resource* RVDatabase::retainKey(int key) {
    static_assert(std::is_base_of_v<RVResource, Resource>,
                  "a database holds classes derived from RVResource");
    static_assert(std::is_constructible_v<Resource, int, RVDatabase*>,
                  "a resource class is constructed from (int key, RVDatabase* database)");
    if (RVResource* cached = cachedResource(key)) {
        auto* resource = dynamic_cast<Resource*>(cached);
        if (resource)
            resource->retainFromDatabase();
        return resource;
    }
    auto resource = std::make_shared<Resource>(key, this);
    Resource* handedOut = resource.get();
    cache(std::move(resource));
    return handedOut;
}
