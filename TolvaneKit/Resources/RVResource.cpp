#include "TolvaneKit/Resources/RVResource.h"

#include "Platform/core/ResourceDirectory.h"
#include "TolvaneKit/Resources/RVDatabase.h"

#include <cstdio>

RVResource::RVResource(int key, RVDatabase* database) : key_(key), database_(database) {}

RVResource::~RVResource() = default;

RVResource& RVResource::retainFromDatabase() {
    ++referenceCount_;
    return *this;
}

void RVResource::releaseFromDatabase() {
    if (referenceCount_ > 1) {
        --referenceCount_;
        return;
    }
    // The last user: the database destroys this object before returning, so
    // nothing of it may be touched afterwards. Without a database there is
    // nobody to remove it, and the count stays at its floor of 1.
    if (database_)
        database_->releaseKey(key_);
}

const RVResource& RVResource::print() const {
    std::printf("%d,%d\n", key_, referenceCount_);
    return *this;
}

std::string RVResource::filePathForKey(int key, std::string_view className,
                                       std::string_view extension) {
    std::string path = Platform::resourceDirectory();
    path += '/';
    path += className;
    path += '/';
    path += std::to_string(key);
    path += '.';
    path += extension;
    return path;
}

std::string RVResource::filePath(std::string_view className, std::string_view extension) const {
    return filePathForKey(key_, className, extension);
}
