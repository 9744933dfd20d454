#include "tools/vexmira-render/RenderOptions.h"

#include "Platform/image/AnimationWriter.h"
#include "Vexmira/Blowup.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>

namespace {

bool startsWithSpace(const std::string& text) {
    return !text.empty() && std::isspace(static_cast<unsigned char>(text.front()));
}

// Whole-text numbers only: "12abc", "" and " 3" are refused, unlike the
// document loader's lenient reading, because a typing mistake on the command
// line should not silently become 0.
bool readFloat(const std::string& option, const std::string& text, float& value,
               std::string& errorMessage) {
    char* end = nullptr;
    const double number = text.empty() ? 0.0 : std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || startsWithSpace(text)) {
        errorMessage = option + " needs a number, not \"" + text + "\"";
        return false;
    }
    // Overflow gives an infinity, refused here; underflow gives a number
    // too small to matter, which is accepted.
    if (!std::isfinite(number) || std::fabs(number) > Blowup::maximumMagnitude) {
        errorMessage = option + " must lie within [-" +
                       std::to_string(static_cast<long long>(Blowup::maximumMagnitude)) + ", " +
                       std::to_string(static_cast<long long>(Blowup::maximumMagnitude)) +
                       "], not " + text;
        return false;
    }
    // Rounded once, straight to a float: through a double, a text that
    // names a float exactly (as the window's copied command does) could
    // round to its neighbour.
    value = std::strtof(text.c_str(), nullptr);
    return true;
}

bool readInteger(const std::string& option, const std::string& text, long long minimum,
                 long long maximum, int& value, std::string& errorMessage) {
    errno = 0;
    char* end = nullptr;
    const long long number = text.empty() ? 0 : std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || end != text.c_str() + text.size() || startsWithSpace(text)) {
        errorMessage = option + " needs a whole number, not \"" + text + "\"";
        return false;
    }
    if (errno == ERANGE || number < minimum || number > maximum) {
        errorMessage = option + " must lie within [" + std::to_string(minimum) + ", " +
                       std::to_string(maximum) + "], not " + text;
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

bool readSize(const std::string& text, int& width, int& height, std::string& errorMessage) {
    const auto cross = text.find('x');
    if (cross == std::string::npos) {
        errorMessage = "--size needs WIDTHxHEIGHT in pixels, such as 800x600, not \"" + text + "\"";
        return false;
    }
    return readInteger("--size width", text.substr(0, cross), 1, RenderOptions::maximumSide, width,
                       errorMessage) &&
           readInteger("--size height", text.substr(cross + 1), 1, RenderOptions::maximumSide,
                       height, errorMessage);
}

// Every format in the order --help lists them.
constexpr RenderOptions::Format allFormats[] = {
    RenderOptions::Format::png, RenderOptions::Format::svg, RenderOptions::Format::pdf,
    RenderOptions::Format::eps};

// The output's own extension decides unless --format was given; both given
// must agree, so that "pic.svg" never holds a PDF.
bool resolveFormat(RenderOptions& options, std::string& errorMessage) {
    const std::optional<RenderOptions::Format>& named = options.requestedFormat;
    if (options.output == "-") {
        options.format = named.value_or(RenderOptions::Format::png);
        return true;
    }
    const std::string extension = std::filesystem::path(options.output).extension().string();
    const auto fromExtension =
        extension.empty() ? std::nullopt : RenderOptions::formatNamed(extension);
    if (named && fromExtension && *named != *fromExtension) {
        errorMessage = "--format " + RenderOptions::formatName(*named) +
                       " does not match the extension of \"" + options.output + "\"";
        return false;
    }
    if (!named && !fromExtension) {
        errorMessage = "cannot tell the format of \"" + options.output +
                       "\" from its extension: end it in .png, .svg, .pdf or .eps, or give "
                       "--format";
        return false;
    }
    options.format = named ? *named : *fromExtension;
    return true;
}

using ValueReader = std::function<bool(RenderOptions&, const std::string& option,
                                       const std::string& value, std::string& errorMessage)>;

ValueReader floatInto(std::optional<float> RenderOptions::*field) {
    return [field](RenderOptions& options, const std::string& option, const std::string& text,
                   std::string& errorMessage) {
        float value = 0.0f;
        if (!readFloat(option, text, value, errorMessage))
            return false;
        options.*field = value;
        return true;
    };
}

ValueReader integerInto(std::optional<int> RenderOptions::*field, long long minimum,
                        long long maximum) {
    return [=](RenderOptions& options, const std::string& option, const std::string& text,
               std::string& errorMessage) {
        int value = 0;
        if (!readInteger(option, text, minimum, maximum, value, errorMessage))
            return false;
        options.*field = value;
        return true;
    };
}

const std::map<std::string, ValueReader>& valueOptions() {
    static const std::map<std::string, ValueReader> options = {
        {"--output",
         [](RenderOptions& options, const std::string& option, const std::string& text,
            std::string& errorMessage) {
             if (text.empty()) {
                 errorMessage = option + " needs a file name";
                 return false;
             }
             options.output = text;
             return true;
         }},
        {"--format",
         [](RenderOptions& options, const std::string& option, const std::string& text,
            std::string& errorMessage) {
             const auto format = RenderOptions::formatNamed(text);
             if (!format || text.starts_with(".")) {
                 errorMessage = option + " needs png, svg, pdf or eps, not \"" + text + "\"";
                 return false;
             }
             options.requestedFormat = format;
             return true;
         }},
        {"--size",
         [](RenderOptions& options, const std::string&, const std::string& text,
            std::string& errorMessage) {
             return readSize(text, options.width, options.height, errorMessage);
         }},
        {"--azimuth", floatInto(&RenderOptions::azimuth)},
        {"--elevation", floatInto(&RenderOptions::elevation)},
        {"--twist", floatInto(&RenderOptions::twist)},
        {"--target-z", floatInto(&RenderOptions::targetZ)},
        {"--blowup", floatInto(&RenderOptions::blowup)},
        {"--immersion", floatInto(&RenderOptions::immersion)},
        {"--distance", floatInto(&RenderOptions::distance)},
        {"--meridians",
         integerInto(&RenderOptions::meridians, Blowup::minimumCount, Blowup::maximumCount)},
        {"--resolution",
         integerInto(&RenderOptions::resolution, Blowup::minimumCount, Blowup::maximumCount)},
        {"--passes", integerInto(&RenderOptions::passes, Blowup::minimumAntialiasing,
                                 Blowup::maximumAntialiasing)},
        {"--animate",
         [](RenderOptions& options, const std::string&, const std::string& text,
            std::string& errorMessage) {
             const auto track = AnimationTrack::parse(text, errorMessage);
             if (!track)
                 return false;
             for (const AnimationTrack& other : options.animations)
                 if (other.quantity == track->quantity) {
                     errorMessage = "--animate " + AnimationTrack::nameOf(track->quantity) +
                                    " was given twice";
                     return false;
                 }
             options.animations.push_back(*track);
             return true;
         }},
        {"--frames", integerInto(&RenderOptions::frames, AnimationTrack::minimumFrames,
                                 AnimationTrack::maximumFrames)},
        {"--fps", floatInto(&RenderOptions::framesPerSecond)},
    };
    return options;
}

std::string boundsText() {
    const auto magnitude = std::to_string(static_cast<long long>(Blowup::maximumMagnitude));
    return "Meridians and resolution lie within [" + std::to_string(Blowup::minimumCount) + ", " +
           std::to_string(Blowup::maximumCount) + "] and, both positive,\nmultiply to at most " +
           std::to_string(Blowup::maximumMeridiansTimesResolution) + "; passes within [" +
           std::to_string(Blowup::minimumAntialiasing) + ", " +
           std::to_string(Blowup::maximumAntialiasing) + "]; every other number\nwithin [-" +
           magnitude + ", " + magnitude + "]: the bounds a document file must keep.\n";
}

bool isOption(const std::string& argument) {
    return argument.size() > 1 && argument.front() == '-';
}

std::optional<float> RenderOptions::*fieldOf(AnimationTrack::Quantity quantity) {
    using Quantity = AnimationTrack::Quantity;
    switch (quantity) {
    case Quantity::blowup:
        return &RenderOptions::blowup;
    case Quantity::immersion:
        return &RenderOptions::immersion;
    case Quantity::distance:
        return &RenderOptions::distance;
    case Quantity::azimuth:
        return &RenderOptions::azimuth;
    case Quantity::elevation:
        return &RenderOptions::elevation;
    case Quantity::twist:
        return &RenderOptions::twist;
    case Quantity::targetZ:
        return &RenderOptions::targetZ;
    }
    return &RenderOptions::blowup;
}

// The options that only make sense together, and the output an animation
// writes, checked before anything is drawn.
bool checkAnimation(const RenderOptions& options, std::string& errorMessage) {
    if (!options.isAnimation()) {
        if (options.frames || options.framesPerSecond) {
            errorMessage = std::string(options.frames ? "--frames" : "--fps") +
                           " needs at least one --animate NAME=FROM:TO";
            return false;
        }
        return true;
    }
    if (!options.frames) {
        errorMessage = "--animate needs --frames N, the number of frames (2 to " +
                       std::to_string(AnimationTrack::maximumFrames) + ")";
        return false;
    }
    if (options.output == "-") {
        errorMessage = "an animation cannot go to standard output; name a file with -o";
        return false;
    }
    if (options.requestedFormat || options.transparent) {
        errorMessage = std::string(options.transparent ? "--transparent" : "--format") +
                       " applies to a single picture; an animation's name says its format";
        return false;
    }
    const Platform::AnimationWriter::Settings settings{
        options.output, options.width, options.height,
        options.framesPerSecond.value_or(RenderOptions::defaultFramesPerSecond)};
    return Platform::AnimationWriter::check(settings, errorMessage);
}

} // namespace

std::optional<RenderOptions> RenderOptions::parse(const std::vector<std::string>& arguments,
                                                  std::string& errorMessage) {
    RenderOptions options;
    bool haveInput = false;
    bool optionsEnded = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        std::string argument = arguments[index];
        if (optionsEnded || !isOption(argument)) {
            if (haveInput) {
                errorMessage = "only one document can be rendered at a time (\"" + options.input +
                               "\" and \"" + argument + "\" were given)";
                return std::nullopt;
            }
            options.input = argument;
            haveInput = true;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            options.showHelp = true;
            return options;
        }
        if (argument == "--version") {
            options.showVersion = true;
            return options;
        }
        if (argument == "--quiet" || argument == "-q") {
            options.quiet = true;
            continue;
        }
        if (argument == "--progress") {
            options.progressLines = true;
            continue;
        }
        if (argument == "--transparent") {
            options.transparent = true;
            continue;
        }
        std::optional<std::string> attachedValue;
        if (const auto equals = argument.find('=');
            argument.starts_with("--") && equals != std::string::npos) {
            attachedValue = argument.substr(equals + 1);
            argument.erase(equals);
        }
        if (argument == "-o")
            argument = "--output";
        const auto reader = valueOptions().find(argument);
        if (reader == valueOptions().end()) {
            errorMessage = "unknown option " + argument + " (see --help)";
            return std::nullopt;
        }
        if (!attachedValue && index + 1 == arguments.size()) {
            errorMessage = argument + " needs a value (see --help)";
            return std::nullopt;
        }
        const std::string value = attachedValue ? *attachedValue : arguments[++index];
        if (!reader->second(options, argument, value, errorMessage))
            return std::nullopt;
    }
    if (options.output.empty()) {
        errorMessage = "no output given: use -o OUT.png, or -o - for standard output";
        return std::nullopt;
    }
    // An animation's output name says its own format; a picture's names
    // one of the picture formats.
    if (!checkAnimation(options, errorMessage) ||
        (!options.isAnimation() && !resolveFormat(options, errorMessage)))
        return std::nullopt;
    return options;
}

RenderOptions RenderOptions::frame(int frame) const {
    RenderOptions options = *this;
    for (const AnimationTrack& track : animations)
        options.*fieldOf(track.quantity) = track.valueAt(frame, frames.value_or(0));
    return options;
}

std::string RenderOptions::formatName(Format format) {
    switch (format) {
    case Format::svg:
        return "svg";
    case Format::pdf:
        return "pdf";
    case Format::eps:
        return "eps";
    case Format::png:
        break;
    }
    return "png";
}

std::optional<RenderOptions::Format> RenderOptions::formatNamed(const std::string& name) {
    std::string key = name.starts_with(".") ? name.substr(1) : name;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (Format format : allFormats)
        if (formatName(format) == key)
            return format;
    return std::nullopt;
}

std::string RenderOptions::helpText(const std::string& resourceDirectory) {
    return R"(Usage: vexmira-render [FILE] -o OUT.png|OUT.svg|OUT.pdf|OUT.eps [OPTION...]
       vexmira-render [FILE] --animate NAME=FROM:TO [--animate ...] --frames N
                      [--fps F] [--quiet] -o OUT [OPTION...]

Draws a Vexmira document as a PNG image, as an SVG, PDF or EPS vector
figure, or as an animation, without a display: the same view, camera and
smoothing as the window, on an off-screen OpenGL buffer.

  FILE                 the .vexmira document to draw; "-" reads it from
                       standard input; without FILE the default picture
  -o, --output OUT     the file to write; its extension (.png, .svg, .pdf or
                       .eps) names the format; "-" writes to standard output.
                       OUT is replaced only once the image is complete.
  --format F           png, svg, pdf or eps, for an OUT whose extension
                       cannot say (standard output is PNG unless F is given)
  --size WxH           the image size in pixels, 1 to 8192 each (800x600); a
                       vector figure's page measures as many points
  --transparent        no background: a PNG is transparent where nothing is
                       drawn, a vector figure has no background rectangle

The camera (as a new window shows it unless given):
  --azimuth A          degrees about the vertical axis (0)
  --elevation E        degrees from straight above: 0 looks down onto the
                       picture, 90 from the side, 180 from below (0)
  --twist T            degrees of roll about the line of sight (0)
  --target-z Z         height of the point looked at (1)

The picture (each replaces the document's value):
  --blowup B           how far the meridians are pulled apart; the radius of
                       the white circle (0)
  --immersion I        radians turning the white circle's plane about the
                       vertical axis (0)
  --meridians M        number of coloured curves (72)
  --resolution R       points per half meridian (34)
  --distance D         the camera's distance from the point looked at (8)
  --passes N           smoothing passes, up to 5; 0 and 1 draw once (1);
                       vector figures are always drawn once, unsmoothed

)" + boundsText() +
           R"(
Animations:
  --animate NAME=FROM:TO
                       carry NAME from FROM to TO over the frames: frame k of
                       N shows FROM + (TO - FROM) * k / (N - 1). NAME is one
                       of blowup, immersion, distance, azimuth, elevation,
                       twist, target-z; give --animate once for each name.
                       Every other option holds for every frame.
  --frames N           the number of frames, 2 to 10000
  --fps F              frames a second of a GIF or video (25)
  -q, --quiet          no progress line (one is shown on a terminal)
  --progress           one progress line per frame, also when standard error
                       is not a terminal
  OUT decides what is written:
    a name with a frame number, frames/%04d.png
                       one PNG image per frame, numbered from 0
    NAME.gif           an animated GIF that loops for ever
    NAME.mp4           an H.264 video
    NAME.webm          a VP9 video
  Videos need an even width and height. A run that fails or is interrupted
  leaves no file behind. Example, the blow-up growing over 60 frames:
    vexmira-render --animate blowup=0:1.5 --frames 60 -o blowup.mp4

  -h, --help           this text
  --version            the program's version

Exit status: 0 when the image or animation was written; 2 when an argument,
the document or the output was refused, or the run was interrupted, with one
line on standard error and no file.

Resources are read from: )" +
           resourceDirectory + "\n";
}
