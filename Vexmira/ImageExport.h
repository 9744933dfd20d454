#pragma once

#include <string>

namespace Platform {
class Application;
}
class MyDocument;
class RenderCommand;

// File > Export Image...: asks for a file, whose extension or the chooser's
// filter picks PNG, SVG, PDF or EPS, and for the size (the view's, unless
// changed); then vexmira-render draws the document's picture into it, off
// screen, with the window's values and camera. The renderer runs as a
// program of its own because it draws through OSMesa, which a program on
// libGL must not load; so a 4000 x 3000 image does not depend on the
// window's size, and the window's export and the command line give the very
// same file. A failure is shown in an error dialog and leaves any existing
// file as it was.
class ImageExport {
public:
    // The formats offered, the first proposed.
    static constexpr const char* extensions[] = {".png", ".svg", ".pdf", ".eps"};

    // Whether the document has a view whose picture can be exported.
    static bool canExport(const MyDocument& document);
    // False when the user cancelled or the image could not be written.
    static bool run(Platform::Application& application, MyDocument& document);

private:
    // Runs vexmira-render with the command's values into path; false with
    // the reason in problem.
    static bool render(const RenderCommand& command, const std::string& path, std::string& problem);
};
