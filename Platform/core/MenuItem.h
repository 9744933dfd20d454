#pragma once

#include <string>

namespace Platform {

// What menu validation needs to know of a menu item: its (localised) title.
struct MenuItem {
    std::string title;
};

} // namespace Platform
