#pragma once

#include "Vexmira/AnimationTrack.h"
#include "Vexmira/RenderCommand.h"

#include <optional>
#include <string>
#include <vector>

// What vexmira-render was asked to do, read from its command line. Every
// picture value is optional: an absent one keeps the document's value (or the
// default picture's), or the camera's own where the document holds none.
struct RenderOptions {
    // Larger pictures would need gigabytes for the colour, depth and
    // accumulation buffers; this is already poster size. The window's
    // export asks for sizes within the same bound.
    static constexpr int maximumSide = RenderCommand::largestSide;
    static constexpr int defaultWidth = 800;
    static constexpr int defaultHeight = 600;

    // The kinds of file written: a raster image, or a vector figure of the
    // same drawing.
    enum class Format { png, svg, pdf, eps };

    std::string input;  // empty: the default picture; "-": standard input
    std::string output; // "-": standard output
    // Named by --format (requestedFormat), otherwise by the output's
    // extension; PNG on standard output.
    Format format = Format::png;
    std::optional<Format> requestedFormat;
    // No background: alpha 0 where nothing is drawn in a PNG, no background
    // rectangle in a vector figure.
    bool transparent = false;
    int width = defaultWidth;
    int height = defaultHeight;

    std::optional<float> azimuth;
    std::optional<float> elevation;
    std::optional<float> twist;
    std::optional<float> targetZ;

    std::optional<float> blowup;
    std::optional<float> immersion;
    std::optional<float> distance;
    std::optional<int> meridians;
    std::optional<int> resolution;
    std::optional<int> passes;

    // An animation: the tracks carried over `frames` frames, written at
    // framesPerSecond (GIF and video) to the output the name asks for.
    std::vector<AnimationTrack> animations;
    std::optional<int> frames;
    std::optional<float> framesPerSecond;
    static constexpr float defaultFramesPerSecond = 25.0f;
    // Progress on standard error: off with quiet; on a terminal a line that
    // rewrites itself, with progressLines one line per frame anywhere (for
    // programs that watch the run).
    bool quiet = false;
    bool progressLines = false;

    bool showHelp = false;
    bool showVersion = false;

    // Reads the arguments after the program name. Values are checked against
    // the bounds a stored document must keep (Blowup's constants); the first
    // problem is described in errorMessage, in one line.
    static std::optional<RenderOptions> parse(const std::vector<std::string>& arguments,
                                              std::string& errorMessage);

    // The format's name as --format takes it ("svg") and its extension (".svg").
    static std::string formatName(Format format);
    static std::string formatExtension(Format format) { return "." + formatName(format); }
    // The format a name or an extension (with or without its dot) stands
    // for, in any case; nothing for another.
    static std::optional<Format> formatNamed(const std::string& name);

    bool isAnimation() const { return !animations.empty(); }
    // These options with every track's value of frame `frame` laid over them.
    RenderOptions frame(int frame) const;

    // The text --help prints.
    static std::string helpText(const std::string& resourceDirectory);
};
