#include "Platform/core/WindowController.h"

#include <utility>

namespace Platform {

WindowController::WindowController(std::string windowLayoutName)
    : windowLayoutName_(std::move(windowLayoutName)) {}

WindowController::~WindowController() = default;

} // namespace Platform
