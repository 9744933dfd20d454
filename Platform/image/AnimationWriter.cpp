#include "Platform/image/AnimationWriter.h"

#include "Platform/image/GifWriter.h"
#include "Platform/image/PngSequenceWriter.h"
#include "Platform/image/VideoWriter.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace Platform {

namespace {

std::string lowerCaseExtension(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

} // namespace

AnimationWriter::~AnimationWriter() = default;

bool AnimationWriter::isReady(std::string& errorMessage) const {
    if (preparationError_.empty())
        return true;
    errorMessage = preparationError_;
    return false;
}

std::optional<AnimationWriter::Format> AnimationWriter::formatOf(const std::string& path,
                                                                 std::string& errorMessage) {
    const std::string extension = lowerCaseExtension(path);
    if (PngSequenceWriter::hasFrameNumber(path)) {
        if (extension == ".png" && PngSequenceWriter::parsePattern(path, errorMessage))
            return Format::pngSequence;
        if (extension != ".png")
            errorMessage = "a numbered frame name must end in .png: " + path;
        return std::nullopt;
    }
    if (extension == ".gif")
        return Format::gif;
    if (extension == ".mp4")
        return Format::mp4;
    if (extension == ".webm")
        return Format::webm;
    errorMessage = "cannot tell the animation's format from \"" + path +
                   "\": give a frame number (frames/%04d.png), .gif, .mp4 or .webm";
    return std::nullopt;
}

bool AnimationWriter::check(const Settings& settings, std::string& errorMessage) {
    const std::optional<Format> format = formatOf(settings.path, errorMessage);
    if (!format)
        return false;
    if (settings.width <= 0 || settings.height <= 0) {
        errorMessage = "an animation needs a positive width and height";
        return false;
    }
    if (!(settings.framesPerSecond >= minimumFramesPerSecond &&
          settings.framesPerSecond <= maximumFramesPerSecond)) {
        errorMessage = "the frame rate must lie within [1/60, 100] frames a second";
        return false;
    }
    // Video frames are stored as colour at half resolution, in pairs of rows
    // and columns.
    if ((*format == Format::mp4 || *format == Format::webm) &&
        (settings.width % 2 != 0 || settings.height % 2 != 0)) {
        errorMessage = "a video needs an even width and height, not " +
                       std::to_string(settings.width) + "x" + std::to_string(settings.height);
        return false;
    }
    if (*format == Format::gif && (settings.width > 65535 || settings.height > 65535)) {
        errorMessage = "a GIF image is at most 65535 pixels wide and high";
        return false;
    }
    return true;
}

std::unique_ptr<AnimationWriter> AnimationWriter::create(const Settings& settings,
                                                         std::string& errorMessage) {
    if (!check(settings, errorMessage))
        return nullptr;
    std::unique_ptr<AnimationWriter> writer;
    switch (*formatOf(settings.path, errorMessage)) {
    case Format::pngSequence:
        writer = std::make_unique<PngSequenceWriter>(settings);
        break;
    case Format::gif:
        writer = std::make_unique<GifWriter>(settings);
        break;
    case Format::mp4:
        writer = std::make_unique<VideoWriter>(settings, VideoWriter::Codec::h264);
        break;
    case Format::webm:
        writer = std::make_unique<VideoWriter>(settings, VideoWriter::Codec::vp9);
        break;
    }
    if (!writer->isReady(errorMessage))
        return nullptr;
    return writer;
}

} // namespace Platform
