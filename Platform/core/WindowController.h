#pragma once

#include <string>

namespace Platform {

class Document;

// Runs one window of a document. The window is built from a named layout
// when it is first needed; the GUI backend fills in the rest.
class WindowController {
public:
    explicit WindowController(std::string windowLayoutName);
    virtual ~WindowController();
    WindowController(const WindowController&) = delete;
    WindowController& operator=(const WindowController&) = delete;

    const std::string& windowLayoutName() const { return windowLayoutName_; }

    // The document this controller belongs to; set by Document::addWindowController.
    // Not owned: the document owns its controllers.
    Document* document() const { return document_; }
    void setDocument(Document* document) { document_ = document; }

    // Whether closing the window closes the document.
    bool shouldCloseDocument() const { return shouldCloseDocument_; }
    void setShouldCloseDocument(bool flag) { shouldCloseDocument_ = flag; }

    // Called once the window has been built from its layout.
    virtual void windowDidLoad() {}

private:
    std::string windowLayoutName_;
    Document* document_ = nullptr;
    bool shouldCloseDocument_ = false;
};

} // namespace Platform
