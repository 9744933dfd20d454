#pragma once

#include "Platform/core/Window.h"

#include <map>
#include <memory>
#include <string>

class Fl_Box;
class Fl_Double_Window;
class Fl_Input;
class Fl_Valuator;
class Fl_Widget;

namespace Platform {

class FltkGLView;
class FltkMenuBar;
class FltkSlider;
struct WindowLayout;

// A document window on the screen: the menu bar at the top, the layout's
// sliders in a column on the left and its OpenGL view filling the rest.
// Closing it from the window manager asks the application to close the
// document (which may ask to save first).
class FltkWindow : public Window {
public:
    explicit FltkWindow(const WindowLayout& layout);
    ~FltkWindow() override;

    // Makes Window::create build FLTK windows.
    static void installBuilder();

    Slider* slider(const std::string& name) const override;
    OpenGLView* openGLView() const override { return view_.get(); }
    void setTitle(const std::string& title) override;
    std::string title() const override { return title_; }
    void show() override;
    void hide() override;
    void setFullScreen(bool fullScreen) override;
    bool isFullScreen() const override;
    void setStatusLine(const std::string& text) override;
    std::string statusLine() const override { return statusText_; }
    // Title and menus brought up to date with the document.
    void refresh() override;

    // The widgets, for the application's checks and for tests.
    Fl_Double_Window* flWindow() const { return window_; }
    FltkMenuBar* menuBar() const { return menuBar_; }
    FltkGLView* glView() const { return glView_; }
    Fl_Valuator* sliderWidget(const std::string& name) const;
    // The box beside the slider, where its value can be typed.
    Fl_Input* numberBox(const std::string& name) const;

private:
    static void closeRequested(Fl_Widget* widget, void* window);

    Fl_Double_Window* window_;
    FltkMenuBar* menuBar_ = nullptr;
    FltkGLView* glView_ = nullptr;
    Fl_Box* statusLine_ = nullptr;
    std::string statusText_;
    std::map<std::string, std::unique_ptr<FltkSlider>> sliders_;
    std::unique_ptr<OpenGLView> view_;
    std::string title_;
};

} // namespace Platform
