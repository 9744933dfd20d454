#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace VexmiraTest {

// A fresh folder below `base` (the system's temporary folder unless given), removed with its
// contents afterwards.
class TemporaryFolder {
public:
    explicit TemporaryFolder(
        const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
        std::string pattern = (base / "vexmira-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort(); // nothing can run without its folder
        path_ = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::size_t entryCount() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(path_), {}));
    }
    static std::string read(const std::string& path) {
        std::ifstream stream(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(stream), {}};
    }
    // Whether every byte was written.
    static bool write(const std::string& path, const std::string& bytes) {
        std::ofstream stream(path, std::ios::binary);
        return static_cast<bool>(stream << bytes);
    }

private:
    std::filesystem::path path_;
};

} // namespace VexmiraTest
