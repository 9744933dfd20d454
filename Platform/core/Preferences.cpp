#include "Platform/core/Preferences.h"

#include <cstdlib>
#include <filesystem>

namespace Platform {

std::string Preferences::userFolder(const std::string& program) {
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the desktop's
    // base directory rules say.
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && std::filesystem::path(configHome).is_absolute())
        return (std::filesystem::path(configHome) / program).string();
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        return {};
    return (std::filesystem::path(home) / ".config" / program).string();
}

} // namespace Platform
