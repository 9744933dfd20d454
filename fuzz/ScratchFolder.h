#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace VexmiraFuzz {

// A private folder for the files a fuzz target hands to a loader that reads
// by path. It lives in memory (/dev/shm) where there is one, so the many
// small writes of a fuzzing run cost no disk traffic, and it is removed with
// everything in it when the process ends normally.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string base = std::filesystem::is_directory("/dev/shm")
                               ? "/dev/shm"
                               : std::filesystem::temp_directory_path().string();
        std::string pattern = base + "/vexmira-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Replaces the file at `name` below the folder with the bytes and
    // returns its full path.
    std::string write(const std::string& name, const std::uint8_t* data, std::size_t size) const {
        std::filesystem::path file = path_ / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out)
            std::abort();
        return file.string();
    }

private:
    std::filesystem::path path_;
};

} // namespace VexmiraFuzz
