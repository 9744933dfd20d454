#include "Platform/offscreen/OffscreenWindow.h"

#include "Platform/core/OpenGLView.h"
#include "Platform/core/Slider.h"
#include "Platform/core/WindowLayout.h"
#include "Platform/offscreen/OffscreenViewHost.h"

namespace Platform {

std::unique_ptr<OffscreenWindow> OffscreenWindow::create(const WindowLayout& layout, int viewWidth,
                                                         int viewHeight, std::string* error) {
    std::unique_ptr<OffscreenWindow> window(new OffscreenWindow);
    for (const auto& item : layout.sliders)
        window->sliders_[item.name] = std::make_unique<Slider>(
            item.name, item.minValue, item.maxValue, item.integer, item.continuous);
    if (layout.makeOpenGLView) {
        window->view_ = layout.makeOpenGLView();
        if (window->view_) {
            window->view_->setWindow(window.get());
            window->host_ = OffscreenViewHost::create(*window->view_, viewWidth, viewHeight, error);
            if (!window->host_)
                return nullptr;
        }
    }
    return window;
}

void OffscreenWindow::installBuilder(int viewWidth, int viewHeight) {
    Window::setBuilder([viewWidth, viewHeight](const WindowLayout& layout) {
        return std::unique_ptr<Window>(create(layout, viewWidth, viewHeight));
    });
}

OffscreenWindow::~OffscreenWindow() {
    // The host detaches from the view, so it goes first.
    host_.reset();
    view_.reset();
}

Slider* OffscreenWindow::slider(const std::string& name) const {
    auto found = sliders_.find(name);
    return found == sliders_.end() ? nullptr : found->second.get();
}

} // namespace Platform
