#include "Platform/core/ResourceDirectory.h"

#include <filesystem>
#include <system_error>

namespace Platform {

namespace {

std::string& overriddenResourceDirectory() {
    static std::string directory;
    return directory;
}

bool isDirectory(const std::filesystem::path& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

// Prefers the copy installed beside the executable, so an installed program
// never reads the source tree it was built from.
std::string firstExisting(const std::filesystem::path& besideExecutable, const char* buildTree,
                          const char* installed) {
    if (isDirectory(besideExecutable))
        return besideExecutable.string();
    if (isDirectory(buildTree))
        return buildTree;
    return installed;
}

} // namespace

std::string executableDirectory() {
    std::error_code error;
    auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.parent_path().string();
}

std::string resourceDirectory() {
    if (!overriddenResourceDirectory().empty())
        return overriddenResourceDirectory();
    return firstExisting(std::filesystem::path(executableDirectory()) /
                             "../share/vexmira/resources",
                         VEXMIRA_SOURCE_RESOURCES, VEXMIRA_INSTALL_DATADIR "/resources");
}

void setResourceDirectory(const std::string& directory) {
    overriddenResourceDirectory() = directory;
}

std::string localeDirectory() {
    // The system's locale folder exists anyway, so look for our own catalogue in it.
    auto installedBeside = std::filesystem::path(executableDirectory()) / "../share/locale";
    std::error_code error;
    if (std::filesystem::exists(installedBeside / "de/LC_MESSAGES/vexmira.mo", error))
        return installedBeside.string();
    return firstExisting({}, VEXMIRA_BUILD_LOCALEDIR, VEXMIRA_INSTALL_LOCALEDIR);
}

} // namespace Platform
