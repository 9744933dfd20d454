#pragma once

#include <optional>
#include <string>
#include <vector>

// What vexmira-render was asked to do, read from its command line. Every
// picture value is optional: an absent one keeps the document's value (or the
// default picture's), or the camera's own where the document holds none.
struct RenderOptions {
    // Larger pictures would need gigabytes for the colour, depth and
    // accumulation buffers; this is already poster size.
    static constexpr int maximumSide = 8192;
    static constexpr int defaultWidth = 800;
    static constexpr int defaultHeight = 600;

    std::string input;  // empty: the default picture; "-": standard input
    std::string output; // "-": standard output
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

    bool showHelp = false;
    bool showVersion = false;

    // Reads the arguments after the program name. Values are checked against
    // the bounds a stored document must keep (Blowup's constants); the first
    // problem is described in errorMessage, in one line.
    static std::optional<RenderOptions> parse(const std::vector<std::string>& arguments,
                                              std::string& errorMessage);

    // The text --help prints.
    static std::string helpText(const std::string& resourceDirectory);
};
