#pragma once

#include "FuzzCheck.h"
#include "tests/support/TemporaryFolder.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace VexmiraFuzz {

// A private folder for the files a fuzz target hands to a loader that reads by path. It lives in
// memory (/dev/shm) where there is one, so the many small writes of a fuzzing run cost no disk
// traffic, and it is removed when the process ends normally.
inline const VexmiraTest::TemporaryFolder& scratchFolder() {
    static const VexmiraTest::TemporaryFolder folder(std::filesystem::is_directory("/dev/shm")
                                                         ? "/dev/shm"
                                                         : std::filesystem::temp_directory_path());
    return folder;
}

// Replaces the file at `name` below the scratch folder with the bytes and returns its path.
inline std::string writeScratchFile(const std::string& name, const std::uint8_t* data,
                                    std::size_t size) {
    const std::string path = scratchFolder().file(name);
    check(VexmiraTest::TemporaryFolder::write(
              path, std::string(reinterpret_cast<const char*>(data), size)),
          "the input can be written to the scratch folder");
    return path;
}

} // namespace VexmiraFuzz
