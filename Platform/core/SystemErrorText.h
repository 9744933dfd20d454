#pragma once

#include <string>

namespace Platform {

// One localised sentence for a failed system call's errno, worded for a user
// ("The disk is full."), where strerror would say "No space left on device".
std::string systemErrorText(int error);

} // namespace Platform
