#include "Vexmira/RenderCommand.h"

#include "Platform/core/Localization.h"
#include "Platform/core/ResourceDirectory.h"
#include "TolvaneKit/Camera/RVCamera.h"
#include "Vexmira/Blowup.h"

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string_view>
#include <unistd.h>

namespace {

constexpr char programName[] = "vexmira-render";

bool isExecutable(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

bool sameFile(const std::filesystem::path& one, const std::filesystem::path& other) {
    std::error_code error;
    return std::filesystem::equivalent(one, other, error);
}

// The first vexmira-render on the search path, as the shell would find it.
std::filesystem::path foundOnSearchPath() {
    const char* searchPath = std::getenv("PATH");
    std::istringstream folders(searchPath ? searchPath : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const auto candidate = std::filesystem::path(folder.empty() ? "." : folder) / programName;
        if (isExecutable(candidate))
            return candidate;
    }
    return {};
}

bool isPlainShellCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) ||
           std::string_view("_-+=/.,:@%").find(c) != std::string_view::npos;
}

} // namespace

RenderCommand::RenderCommand(const Blowup& model, const RVCamera& camera, int width, int height)
    : blowup_(model.blowup()), immersion_(model.immersion()), distance_(model.distance()),
      meridians_(model.meridians()), resolution_(model.resolution()),
      antialiasing_(model.antialiasing()), azimuth_(camera.azimuth()),
      elevation_(camera.elevation()), twist_(camera.twist()), width_(width), height_(height) {
    GLfloat target[3];
    camera.getTarget(target);
    targetHeight_ = target[2];
}

std::vector<std::string> RenderCommand::arguments() const {
    return {"--size",       std::to_string(width_) + "x" + std::to_string(height_),
            "--blowup",     number(blowup_),
            "--immersion",  number(immersion_),
            "--meridians",  std::to_string(meridians_),
            "--resolution", std::to_string(resolution_),
            "--distance",   number(distance_),
            "--passes",     std::to_string(antialiasing_),
            "--azimuth",    number(azimuth_),
            "--elevation",  number(elevation_),
            "--twist",      number(twist_),
            "--target-z",   number(targetHeight_)};
}

std::string RenderCommand::commandLine(const std::string& program,
                                       const std::string& output) const {
    std::string line = shellWord(program);
    for (const auto& argument : arguments())
        line += " " + shellWord(argument);
    return line + " -o " + shellWord(output);
}

std::string RenderCommand::cameraDescription() const {
    using Platform::localized;
    return localized("Azimuth") + " " + number(azimuth_) + "°   " + localized("Elevation") + " " +
           number(elevation_) + "°   " + localized("Twist") + " " + number(twist_) + "°   " +
           localized("Target height") + " " + number(targetHeight_) + "   " + localized("Picture") +
           " " + std::to_string(width_) + " × " + std::to_string(height_);
}

std::string RenderCommand::programPath() {
    const auto beside = std::filesystem::path(Platform::executableDirectory()) / programName;
    if (isExecutable(beside))
        return beside.string();
    if (isExecutable(VEXMIRA_BUILT_RENDER_PROGRAM))
        return VEXMIRA_BUILT_RENDER_PROGRAM;
    return {};
}

std::string RenderCommand::programNameForShell() {
    const std::string path = programPath();
    if (path.empty())
        return programName;
    return sameFile(foundOnSearchPath(), path) ? programName : path;
}

std::string RenderCommand::number(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string RenderCommand::shellWord(const std::string& word) {
    bool plain = !word.empty();
    for (char c : word)
        plain = plain && isPlainShellCharacter(c);
    if (plain)
        return word;
    // Inside single quotes nothing is special; a quote itself ends them,
    // is escaped, and they begin again.
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
