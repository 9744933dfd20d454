#include "Platform/fltk/FltkWindow.h"

#include "Platform/core/Application.h"
#include "Platform/core/OpenGLView.h"
#include "Platform/core/WindowController.h"
#include "Platform/core/WindowLayout.h"
#include "Platform/fltk/FltkGLView.h"
#include "Platform/fltk/FltkMenuBar.h"
#include "Platform/fltk/FltkSlider.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Slider.H>

#include <algorithm>

namespace Platform {

namespace {

constexpr int menuBarHeight = 25;
constexpr int sliderColumnWidth = 300;
constexpr int margin = 12;
constexpr int sliderHeight = 22;
// Label above, slider, gap below.
constexpr int sliderPitch = 58;
constexpr int statusLineHeight = 22;

} // namespace

FltkWindow::FltkWindow(const WindowLayout& layout)
    : window_(new Fl_Double_Window(layout.width, layout.height)) {
    window_->callback(closeRequested, this);
    menuBar_ = new FltkMenuBar(0, 0, layout.width, menuBarHeight);

    auto* column = new Fl_Group(0, menuBarHeight, sliderColumnWidth, layout.height - menuBarHeight);
    int y = menuBarHeight + margin + 14;
    for (const auto& item : layout.sliders) {
        sliders_[item.name] = std::make_unique<FltkSlider>(
            item, margin, y, sliderColumnWidth - 2 * margin, sliderHeight);
        y += sliderPitch;
    }
    // Takes the column's spare height, so the sliders keep their places.
    auto* filler = new Fl_Box(0, std::min(y, layout.height - 1), sliderColumnWidth, 1);
    column->resizable(filler);
    column->end();

    if (layout.makeOpenGLView)
        view_ = layout.makeOpenGLView();
    if (view_) {
        view_->setWindow(this);
        glView_ = new FltkGLView(*view_, sliderColumnWidth, menuBarHeight,
                                 layout.width - sliderColumnWidth, layout.height - menuBarHeight);
        window_->resizable(glView_);
        statusLine_ = new Fl_Box(sliderColumnWidth, layout.height - statusLineHeight,
                                 layout.width - sliderColumnWidth, statusLineHeight);
        statusLine_->box(FL_FLAT_BOX);
        statusLine_->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
        statusLine_->labelsize(12);
        statusLine_->hide();
    }
    window_->end();
    window_->size_range(sliderColumnWidth + 160, std::max(y, 240));
}

FltkWindow::~FltkWindow() {
    // The controller may be going away inside a callback of one of these
    // widgets (a menu item, the close box), so FLTK deletes them later; until
    // then they must not reach the view, the sliders or the controller.
    window_->callback(static_cast<Fl_Callback*>(nullptr), nullptr);
    menuBar_->setDocument(nullptr);
    if (glView_)
        glView_->detachView();
    for (auto& entry : sliders_)
        entry.second->detachWidget();
    window_->hide();
    Fl::delete_widget(window_);
}

void FltkWindow::installBuilder() {
    Window::setBuilder(
        [](const WindowLayout& layout) { return std::unique_ptr<Window>(new FltkWindow(layout)); });
}

Slider* FltkWindow::slider(const std::string& name) const {
    auto found = sliders_.find(name);
    return found == sliders_.end() ? nullptr : found->second.get();
}

Fl_Valuator* FltkWindow::sliderWidget(const std::string& name) const {
    auto found = sliders_.find(name);
    return found == sliders_.end() ? nullptr : found->second->widget();
}

Fl_Input* FltkWindow::numberBox(const std::string& name) const {
    auto found = sliders_.find(name);
    return found == sliders_.end() ? nullptr : found->second->numberBox();
}

void FltkWindow::setTitle(const std::string& title) {
    if (title == title_)
        return;
    title_ = title;
    window_->copy_label(title_.c_str());
}

void FltkWindow::show() {
    refresh();
    window_->show();
}

void FltkWindow::hide() {
    window_->hide();
}

void FltkWindow::setFullScreen(bool fullScreen) {
    if (fullScreen == isFullScreen())
        return;
    if (fullScreen)
        window_->fullscreen();
    else
        window_->fullscreen_off();
}

bool FltkWindow::isFullScreen() const {
    return window_->fullscreen_active() != 0;
}

void FltkWindow::setStatusLine(const std::string& text) {
    if (!statusLine_ || text == statusText_)
        return;
    const bool wasShown = !statusText_.empty();
    statusText_ = text;
    statusLine_->copy_label(statusText_.c_str());
    statusLine_->redraw();
    if (wasShown == !text.empty())
        return;
    // The line takes its height from the view's bottom, or gives it back;
    // both are placed anew, since a hidden line is resized with the window.
    const int lineHeight = text.empty() ? 0 : statusLineHeight;
    const int x = glView_->x(), y = glView_->y(), width = glView_->w();
    const int bottom = window_->h();
    glView_->resize(x, y, width, bottom - lineHeight - y);
    statusLine_->resize(x, bottom - statusLineHeight, width, statusLineHeight);
    if (text.empty())
        statusLine_->hide();
    else
        statusLine_->show();
    window_->redraw();
}

void FltkWindow::refresh() {
    WindowController* controller = windowController();
    menuBar_->setDocument(controller ? controller->document() : nullptr);
    if (controller)
        controller->synchronizeWindowTitleWithDocumentName();
    menuBar_->validate();
}

void FltkWindow::closeRequested(Fl_Widget*, void* data) {
    // Escape reaches a window as a close request too; it closes nothing here.
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape)
        return;
    auto* window = static_cast<FltkWindow*>(data);
    WindowController* controller = window->windowController();
    Application* application = Application::shared();
    if (controller && application && controller->document() && controller->shouldCloseDocument()) {
        application->closeDocument(controller->document());
        return;
    }
    window->hide();
}

} // namespace Platform
