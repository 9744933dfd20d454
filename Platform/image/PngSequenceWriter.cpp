#include "Platform/image/PngSequenceWriter.h"

#include "Platform/image/PngWriter.h"

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

PngSequenceWriter::~PngSequenceWriter() {
    removeTemporaryFiles();
}

bool PngSequenceWriter::addFrame(const std::vector<std::uint8_t>& rgbaTopDown,
                                 std::string& errorMessage) {
    const std::string name = pattern_.nameOf(static_cast<int>(written_.size()));
    std::string temporary = name + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) {
        errorMessage = systemError("cannot create a temporary file for", name);
        return false;
    }
    written_.emplace_back(temporary, name);
    std::FILE* stream = fdopen(descriptor, "wb");
    if (!stream) {
        errorMessage = systemError("cannot open a temporary file for", name);
        close(descriptor);
        return false;
    }
    bool written =
        writePngStream(stream, settings_.width, settings_.height, rgbaTopDown, &errorMessage);
    if (std::fclose(stream) != 0 && written) {
        errorMessage = systemError("cannot finish writing", name);
        written = false;
    }
    if (written) {
        // mkstemp makes files only the owner can read; a frame is an
        // ordinary picture.
        const mode_t mask = umask(0);
        umask(mask);
        chmod(temporary.c_str(), 0666 & ~mask);
    }
    return written;
}

bool PngSequenceWriter::finish(std::string& errorMessage) {
    for (auto& [temporary, name] : written_) {
        if (std::rename(temporary.c_str(), name.c_str()) != 0) {
            errorMessage = systemError("cannot write", name);
            return false;
        }
        temporary.clear();
    }
    written_.clear();
    return true;
}

void PngSequenceWriter::removeTemporaryFiles() {
    for (const auto& entry : written_)
        if (!entry.first.empty())
            unlink(entry.first.c_str());
    written_.clear();
}

} // namespace Platform
