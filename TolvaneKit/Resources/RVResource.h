// Tolvane Kit, resources and containers: a cache of objects loaded by key
// from the resource folder (textures read from TIFF files), the binary,
// splay and child/sibling trees behind it and the figures, and a clock for
// timed transitions. Builds on Platform/core's resource directory, libtiff
// and OpenGL.

#pragma once

#include <string>
#include <string_view>

class RVDatabase;

// The base of everything a resource database caches: an object built from a
// file, shared by several users and identified by an integer key.
//
// A resource class derives from RVResource and offers a constructor
// (int key, RVDatabase* database) that first initialises this base and then
// loads its content from filePath(<its class name>, <its extension>), e.g.
// "<resources>/RVTexture/12.tiff". Creating a resource never fails: a missing
// or unreadable file leaves it in an empty state its class defines. Its
// destructor frees what it loaded.
//
// Only the database creates and destroys resources. Users hold plain
// pointers and give each use back exactly once, here or through the database.
class RVResource {
public:
    // The count of users starts at 1. The database is not owned: it outlives
    // its resources. A resource made outside any database has none.
    RVResource(int key, RVDatabase* database);
    virtual ~RVResource();
    RVResource(const RVResource&) = delete;
    RVResource& operator=(const RVResource&) = delete;

    int key() const { return key_; }
    int referenceCount() const { return referenceCount_; }
    RVDatabase* database() const { return database_; }

    // One more user.
    RVResource& retainFromDatabase();
    // One user less. At the last user the database removes and destroys the
    // resource, so the caller must not touch it after this call.
    void releaseFromDatabase();

    // Prints "key,referenceCount\n" on standard output.
    const RVResource& print() const;

    // "<resource directory>/<className>/<key>.<extension>".
    static std::string filePathForKey(int key, std::string_view className,
                                      std::string_view extension);

protected:
    // The file this resource loads from.
    std::string filePath(std::string_view className, std::string_view extension) const;

private:
    int key_;
    int referenceCount_ = 1;
    RVDatabase* database_;
};
