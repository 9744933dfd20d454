#pragma once

#include <optional>
#include <string>
#include <vector>

namespace Platform {
class Application;
}
class MyDocument;

// File > Export Animation...: a small form asks what to animate, from and
// to which value, how many frames, how many a second and the size; a
// chooser asks for the file, whose extension picks the format (.mp4, .webm,
// .gif, or .png for numbered PNG frames). Then vexmira-render, the very
// program of the command line, writes the animation off screen with the
// window's values and camera, while a progress bar shows how far it is and
// Cancel stops it, leaving no file. The window stays usable meanwhile.
class AnimationExport {
public:
    static constexpr const char* extensions[] = {".mp4", ".webm", ".gif", ".png"};
    static constexpr int proposedFrames = 60;
    static constexpr int proposedFramesPerSecond = 25;

    static bool canExport(const MyDocument& document);
    // False when the user cancelled a question or the renderer could not be
    // started; the rest goes on in the background.
    static bool run(Platform::Application& application, MyDocument& document);

    // The name vexmira-render writes to: a chosen name ending in .png becomes
    // a numbered sequence beside it ("film.png": "film-0000.png", ...).
    static std::string outputPattern(const std::string& chosenPath);
    // How far a run is, from the progress lines vexmira-render wrote: the
    // latest "frame K of N, ..." as K / N, with that line to show.
    static std::optional<double> progressOf(const std::string& progressLines, std::string& status);
};
