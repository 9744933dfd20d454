#pragma once

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstddef>
#include <optional>
#include <sstream>
#include <string>

namespace VexmiraTest {

// The most memory the C library's allocator has held in mapped blocks at
// any one time so far. Every very large allocation is mapped, so a loader
// that set aside gigabytes for a size a small file merely declares shows up
// here even though it released the memory again. Empty when another
// allocator (a sanitizer's) stands in for the C library's.
inline std::optional<std::size_t> peakMappedBytes() {
    ::testing::internal::CaptureStderr();
    malloc_stats();
    std::istringstream report(::testing::internal::GetCapturedStderr());
    for (std::string line; std::getline(report, line);) {
        const auto equals = line.find('=');
        if (line.rfind("max mmap bytes", 0) == 0 && equals != std::string::npos)
            return std::stoull(line.substr(equals + 1));
    }
    return std::nullopt;
}

} // namespace VexmiraTest
