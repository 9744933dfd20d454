#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Platform {

class OpenGLView;

// One slider of a window layout.
struct SliderLayout {
    std::string name;  // how the controller finds it
    std::string label; // English text shown beside it, localised when shown
    float minValue = 0.0f;
    float maxValue = 1.0f;
    bool integer = false;
    bool continuous = true;
    // English text saying what the slider changes, localised when shown.
    std::string tooltip;
};

// A toolkit-free description of a window: what a named layout resource is on
// other desktops. The program registers its layouts at start-up; a window
// backend builds widgets from them. The sliders sit in a column beside the
// OpenGL view, which the layout's factory creates.
struct WindowLayout {
    std::string name;
    int width = 800;
    int height = 600;
    std::vector<SliderLayout> sliders;
    std::function<std::unique_ptr<OpenGLView>()> makeOpenGLView;

    // Registers a layout under its name, replacing an earlier one.
    static void registerLayout(WindowLayout layout);
    // The layout registered under name, or null.
    static const WindowLayout* named(const std::string& name);
};

} // namespace Platform
