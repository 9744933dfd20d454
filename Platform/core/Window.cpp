#include "Platform/core/Window.h"

#include "Platform/core/WindowLayout.h"

namespace Platform {

Window::Window() = default;

Window::~Window() = default;

namespace {

Window::Builder& installedBuilder() {
    static Window::Builder builder;
    return builder;
}

} // namespace

void Window::setBuilder(Builder builder) {
    installedBuilder() = std::move(builder);
}

std::unique_ptr<Window> Window::create(const WindowLayout& layout) {
    if (!installedBuilder())
        return nullptr;
    return installedBuilder()(layout);
}

} // namespace Platform
