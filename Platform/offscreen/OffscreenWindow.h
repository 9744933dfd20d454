#pragma once

#include "Platform/core/Window.h"

#include <map>
#include <memory>
#include <string>

namespace Platform {

class OffscreenViewHost;
struct WindowLayout;

// A document window without a display: the layout's sliders as plain value
// sliders and its OpenGL view on an off-screen buffer. A document, its
// controller and its view run in it unchanged, so the renderer and tests need
// no X server.
class OffscreenWindow : public Window {
public:
    // Builds the window; the view gets viewWidth x viewHeight pixels. Null when
    // the off-screen buffer cannot be made (the reason in *error).
    static std::unique_ptr<OffscreenWindow> create(const WindowLayout& layout, int viewWidth,
                                                   int viewHeight, std::string* error = nullptr);
    // Makes Window::create build off-screen windows with views of the given size.
    static void installBuilder(int viewWidth = 640, int viewHeight = 480);
    ~OffscreenWindow() override;

    Slider* slider(const std::string& name) const override;
    OpenGLView* openGLView() const override { return view_.get(); }
    void setTitle(const std::string& title) override { title_ = title; }
    std::string title() const override { return title_; }
    void show() override { visible_ = true; }
    void hide() override { visible_ = false; }
    bool isVisible() const { return visible_; }

    // The view's off-screen host: display, gestures, read-back; null when the
    // layout has no view.
    OffscreenViewHost* viewHost() const { return host_.get(); }

private:
    OffscreenWindow() = default;

    std::map<std::string, std::unique_ptr<Slider>> sliders_;
    std::unique_ptr<OpenGLView> view_;
    std::unique_ptr<OffscreenViewHost> host_;
    std::string title_;
    bool visible_ = false;
};

} // namespace Platform
