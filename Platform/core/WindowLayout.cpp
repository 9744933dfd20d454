#include "Platform/core/WindowLayout.h"

#include "Platform/core/OpenGLView.h"

#include <map>

namespace Platform {

namespace {

std::map<std::string, WindowLayout>& registeredLayouts() {
    static std::map<std::string, WindowLayout> layouts;
    return layouts;
}

} // namespace

void WindowLayout::registerLayout(WindowLayout layout) {
    auto name = layout.name;
    registeredLayouts()[name] = std::move(layout);
}

const WindowLayout* WindowLayout::named(const std::string& name) {
    auto found = registeredLayouts().find(name);
    return found == registeredLayouts().end() ? nullptr : &found->second;
}

} // namespace Platform
