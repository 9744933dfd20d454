#pragma once

#include "Platform/core/ResourceDirectory.h"
#include "support/TemporaryFolder.h"

#include <filesystem>
#include <initializer_list>

namespace VexmiraTest {

// A temporary folder that is the resource directory while it lives, with a folder for each
// resource class named ("RVTexture", ...), where the database looks for "<class>/<key>.<ext>".
class ResourceFolder : public TemporaryFolder {
public:
    explicit ResourceFolder(std::initializer_list<const char*> classes = {}) {
        for (const char* name : classes)
            std::filesystem::create_directory(file(name));
        Platform::setResourceDirectory(file(""));
    }
    ~ResourceFolder() { Platform::setResourceDirectory(""); }
};

} // namespace VexmiraTest
