#pragma once

namespace Platform {
class Application;
}
class MyDocument;

// File > Export Image...: asks for a file and writes the document's picture
// into it. A failure is shown in an error dialog and leaves any existing
// file as it was.
class ImageExport {
public:
    // Whether the document has a view whose picture can be exported.
    static bool canExport(const MyDocument& document);
    // False when the user cancelled or the image could not be written.
    static bool run(Platform::Application& application, MyDocument& document);
};
