#include "Platform/image/PngSequenceWriter.h"

#include "Platform/image/PngWriter.h"

#include "Platform/core/SystemErrorText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

// The widest frame number 10000 frames need is 4 digits; wider padding is
// allowed, up to what any file system's names can hold.
constexpr int maximumNumberWidth = 32;

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string systemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

// Appends text up to (not including) the conversion, turning "%%" into "%".
std::string literalText(const std::string& text) {
    std::string literal;
    for (std::size_t i = 0; i < text.size(); ++i) {
        literal += text[i];
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%')
            ++i;
    }
    return literal;
}

} // namespace

std::string PngSequenceWriter::Pattern::nameOf(int frame) const {
    std::string digits = std::to_string(frame);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), zeroPadded ? '0' : ' ');
    return prefix + digits + suffix;
}

bool PngSequenceWriter::hasFrameNumber(const std::string& path) {
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '%')
            continue;
        if (i + 1 < path.size() && path[i + 1] == '%')
            ++i;
        else
            return true;
    }
    return false;
}

std::optional<PngSequenceWriter::Pattern>
PngSequenceWriter::parsePattern(const std::string& path, std::string& errorMessage) {
    const std::string refusal = "the frame number in \"" + path +
                                "\" must be one %d, %4d or %04d (write %% for a percent sign)";
    std::optional<std::size_t> conversionStart, conversionEnd;
    Pattern pattern;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '%')
            continue;
        if (i + 1 < path.size() && path[i + 1] == '%') {
            ++i;
            continue;
        }
        if (conversionStart) {
            errorMessage = refusal;
            return std::nullopt;
        }
        std::size_t j = i + 1;
        pattern.zeroPadded = j < path.size() && path[j] == '0';
        if (pattern.zeroPadded)
            ++j;
        int width = 0;
        while (j < path.size() && path[j] >= '0' && path[j] <= '9' && width <= maximumNumberWidth)
            width = width * 10 + (path[j++] - '0');
        if (j >= path.size() || path[j] != 'd' || width > maximumNumberWidth) {
            errorMessage = refusal;
            return std::nullopt;
        }
        pattern.width = width;
        conversionStart = i;
        conversionEnd = j + 1;
        i = j;
    }
    if (!conversionStart) {
        errorMessage = refusal;
        return std::nullopt;
    }
    pattern.prefix = literalText(path.substr(0, *conversionStart));
    pattern.suffix = literalText(path.substr(*conversionEnd));
    if (path.find('/', *conversionEnd) != std::string::npos) {
        errorMessage = "the frame number must stand in the file's name, not in a folder's: " + path;
        return std::nullopt;
    }
    return pattern;
}

PngSequenceWriter::PngSequenceWriter(const Settings& settings) : settings_(settings) {
    std::string error;
    if (const auto pattern = parsePattern(settings.path, error))
        pattern_ = *pattern;
    else
        setPreparationError(error);
    // Refused now rather than after the first frame was drawn.
    const std::string folder = folderOf(pattern_.nameOf(0));
    struct stat status {};
    if (error.empty() && (stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
                          access(folder.c_str(), W_OK) != 0))
        setPreparationError(systemError("cannot write frames into", folder));
}

PngSequenceWriter::~PngSequenceWriter() = default;

bool PngSequenceWriter::addFrame(const std::vector<std::uint8_t>& rgbaTopDown,
                                 std::string& errorMessage) {
    const std::string name = pattern_.nameOf(static_cast<int>(written_.size()));
    auto file = std::make_unique<SafeFileWriter>(name);
    std::FILE* stream = file->stream();
    std::string problem;
    if (!stream)
        problem = file->error();
    else if (!writePngStream(stream, settings_.width, settings_.height, rgbaTopDown, &problem))
        problem = std::ferror(stream) ? systemErrorText(errno) : problem;
    else if (!file->finishWriting())
        problem = file->error();
    if (!problem.empty()) {
        errorMessage = "cannot write " + name + ": " + problem;
        return false;
    }
    written_.push_back(std::move(file));
    return true;
}

bool PngSequenceWriter::finish(std::string& errorMessage) {
    for (const auto& file : written_) {
        if (!file->commit(errorMessage))
            return false;
    }
    written_.clear();
    return true;
}

} // namespace Platform
