#include "Platform/core/WindowController.h"

#include "Platform/core/Document.h"
#include "Platform/core/Window.h"
#include "Platform/core/WindowLayout.h"

#include <utility>

namespace Platform {

WindowController::WindowController(std::string windowLayoutName)
    : windowLayoutName_(std::move(windowLayoutName)) {}

WindowController::~WindowController() {
    releaseWindow();
}

Window* WindowController::window() {
    if (window_ || loadAttempted_)
        return window_.get();
    loadAttempted_ = true;
    const WindowLayout* layout = WindowLayout::named(windowLayoutName_);
    if (!layout)
        return nullptr;
    window_ = Window::create(*layout);
    if (!window_)
        return nullptr;
    window_->setWindowController(this);
    windowDidLoad();
    return window_.get();
}

void WindowController::showWindow() {
    if (!window())
        return;
    synchronizeWindowTitleWithDocumentName();
    window_->show();
}

UndoManager* WindowController::windowWillReturnUndoManager() {
    return document_ ? &document_->undoManager() : nullptr;
}

std::string WindowController::windowTitleForDocument() const {
    if (!document_)
        return {};
    return (document_->isDocumentEdited() ? "*" : "") + document_->displayName();
}

void WindowController::synchronizeWindowTitleWithDocumentName() {
    if (window_)
        window_->setTitle(windowTitleForDocument());
}

void WindowController::releaseWindow() {
    if (!window_)
        return;
    window_->hide();
    window_.reset();
}

} // namespace Platform
