#pragma once

#include <string>
#include <vector>

class Blowup;
class RVCamera;

// The vexmira-render command line that draws the picture a window shows: the
// document's six values, the camera's azimuth, elevation, twist and target
// height, and the view's size. Numbers are written so that they read back
// as the very same floats, so the picture comes out pixel for pixel alike.
// File > Export Image... runs it, Edit > Copy Render Command hands it to the
// user, and View > Show Camera shows its camera part under the picture.
class RenderCommand {
public:
    // The largest width or height vexmira-render draws (its --size bound).
    static constexpr int largestSide = 8192;

    RenderCommand(const Blowup& model, const RVCamera& camera, int width, int height);

    // The picture's options, each followed by its value.
    std::vector<std::string> arguments() const;
    // The whole line for a shell: the program, the options and -o output,
    // each word quoted where the shell would split or expand it.
    std::string commandLine(const std::string& program, const std::string& output) const;
    // The camera's values and the picture's size, as a line to read.
    std::string cameraDescription() const;

    // The vexmira-render to run: the one installed beside this program, or
    // else the one built with it; empty when there is neither.
    static std::string programPath();
    // How a terminal names that program: plainly when the shell's search
    // path finds this very program, by its path otherwise.
    static std::string programNameForShell();

    // The shortest decimal text that reads back as the same float.
    static std::string number(float value);
    // One word as a POSIX shell reads it.
    static std::string shellWord(const std::string& word);

private:
    float blowup_, immersion_, distance_;
    int meridians_, resolution_, antialiasing_;
    float azimuth_, elevation_, twist_, targetHeight_;
    int width_, height_;
};
