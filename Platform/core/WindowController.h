#pragma once

#include <memory>
#include <string>

namespace Platform {

class Document;
class UndoManager;
class Window;

// Runs one window of a document. The window is built from a named layout
// (WindowLayout) by the installed window backend when it is first needed;
// windowDidLoad() then lets the subclass connect to it.
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

    // The window, built on first use; null when the layout is unknown or no
    // window backend is installed.
    Window* window();
    bool isWindowLoaded() const { return window_ != nullptr; }
    // Builds the window (if needed), brings its title up to date and shows it.
    void showWindow();

    // Called once the window has been built from its layout.
    virtual void windowDidLoad() {}

    // The undo manager the window's Undo and Redo act on: the document's.
    virtual UndoManager* windowWillReturnUndoManager();

    // The window title for the document: its display name, marked with a
    // leading "*" while it has unsaved changes.
    std::string windowTitleForDocument() const;
    void synchronizeWindowTitleWithDocumentName();

protected:
    // Gives up the window before the subclass's parts go away, so widgets
    // and views that call back into the controller are gone first.
    void releaseWindow();

private:
    std::string windowLayoutName_;
    Document* document_ = nullptr;
    bool shouldCloseDocument_ = false;
    std::unique_ptr<Window> window_;
    bool loadAttempted_ = false;
};

} // namespace Platform
