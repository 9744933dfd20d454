#pragma once

#include <functional>
#include <memory>
#include <string>

namespace Platform {

class OpenGLView;
class Slider;
class WindowController;
struct WindowLayout;

// One top-level window built from a named layout: sliders found by name and
// at most one OpenGL view. Toolkit-free; the FLTK and off-screen backends
// derive from it and build the widgets.
class Window {
public:
    Window();
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The controller running the window (not owned: the controller owns its window).
    WindowController* windowController() const { return windowController_; }
    void setWindowController(WindowController* controller) { windowController_ = controller; }

    // The slider the layout names `name`, or null.
    virtual Slider* slider(const std::string& name) const = 0;
    // The window's OpenGL view, or null.
    virtual OpenGLView* openGLView() const = 0;

    virtual void setTitle(const std::string& title) = 0;
    virtual std::string title() const = 0;
    virtual void show() = 0;
    // Takes the window off the screen; the owner destroys it.
    virtual void hide() = 0;

    // Whether the window covers the whole screen, without its frame.
    virtual void setFullScreen(bool) {}
    virtual bool isFullScreen() const { return false; }

    // A line of text under the OpenGL view, such as the camera's values; the
    // view gives up the line's height. An empty text removes the line.
    virtual void setStatusLine(const std::string&) {}
    virtual std::string statusLine() const { return {}; }

    // Asks for the window's menus, title and similar to be brought up to date.
    virtual void refresh() {}

    // How windows are built: the backend in use installs its builder (FLTK
    // windows in the application, off-screen windows in the renderer and in
    // tests). create() answers null when no builder is installed.
    using Builder = std::function<std::unique_ptr<Window>(const WindowLayout& layout)>;
    static void setBuilder(Builder builder);
    static std::unique_ptr<Window> create(const WindowLayout& layout);

private:
    WindowController* windowController_ = nullptr;
};

} // namespace Platform
