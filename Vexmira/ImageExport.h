#pragma once

namespace Platform {
class Application;
}
class MyDocument;

// File > Export Image...: asks for a file, whose extension or the chooser's
// filter picks PNG, SVG, PDF or EPS, and for the size (the view's, unless
// changed); then vexmira-render draws the document's picture into it off
// screen, with the window's values and camera (RendererRun). So a 4000 x
// 3000 image does not depend on the window's size, and the window's export
// and the command line give the very same file. A failure is shown in an
// error dialog and leaves any existing file as it was.
class ImageExport {
public:
    // The formats offered, the first proposed.
    static constexpr const char* extensions[] = {".png", ".svg", ".pdf", ".eps"};

    // Whether the document has a view whose picture can be exported.
    static bool canExport(const MyDocument& document);
    // False when the user cancelled or the renderer could not be started;
    // the drawing goes on in the background.
    static bool run(Platform::Application& application, MyDocument& document);
};
