#include "Platform/fltk/FltkProgressWindow.h"

#include "Platform/core/Localization.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Progress.H>

#include <utility>

namespace Platform {

namespace {

// Often enough for a smooth bar, seldom enough to leave the windows alone.
constexpr double stepInterval = 0.05;

} // namespace

void FltkProgressWindow::start(UserDialogs::BackgroundWork work) {
    auto* window = new FltkProgressWindow(std::move(work));
    Fl::add_timeout(stepInterval, step, window);
}

FltkProgressWindow::FltkProgressWindow(UserDialogs::BackgroundWork work)
    : work_(std::move(work)), window_(new Fl_Double_Window(380, 120, nullptr)) {
    window_->copy_label(work_.title.c_str());
    bar_ = new Fl_Progress(12, 14, 356, 22);
    bar_->minimum(0.0f);
    bar_->maximum(1.0f);
    status_ = new Fl_Box(12, 42, 356, 24);
    status_->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    const std::string cancelText = localized("Cancel");
    cancel_ = new Fl_Button(268, 78, 100, 30);
    cancel_->copy_label(cancelText.c_str());
    cancel_->callback(cancelPressed, this);
    window_->end();
    // Closing the window asks to cancel as the button does.
    window_->callback(cancelPressed, this);
    window_->show();
}

FltkProgressWindow::~FltkProgressWindow() {
    Fl::remove_timeout(step, this);
    window_->hide();
    Fl::delete_widget(window_);
}

void FltkProgressWindow::cancelPressed(Fl_Widget*, void* data) {
    auto* self = static_cast<FltkProgressWindow*>(data);
    self->cancel_->deactivate();
    if (self->work_.cancel)
        self->work_.cancel();
}

void FltkProgressWindow::step(void* data) {
    auto* self = static_cast<FltkProgressWindow*>(data);
    std::string status;
    const std::optional<double> done = self->work_.step(status);
    if (!done) {
        delete self;
        return;
    }
    self->bar_->value(static_cast<float>(*done));
    if (status != self->statusText_) {
        self->statusText_ = status;
        self->status_->copy_label(status.c_str());
    }
    Fl::repeat_timeout(stepInterval, step, self);
}

} // namespace Platform
