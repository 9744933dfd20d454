#include "Platform/core/Window.h"

namespace Platform {

Window::Window() = default;

Window::~Window() = default;

} // namespace Platform
