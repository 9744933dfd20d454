#pragma once

#include "support/AllocationPeak.h"

#include <cstddef>
#include <optional>

namespace VexmiraTest {

// The most memory this process has held at any one time so far: every
// allocation in sanitizer builds, every block too large for the ordinary
// heap otherwise (see AllocationPeak). A loader that set aside gigabytes for
// a size a small file merely declares shows up here even though it released
// the memory again.
inline std::optional<std::size_t> peakMappedBytes() {
    return AllocationPeak::processPeak();
}

} // namespace VexmiraTest
