#pragma once

#include <cstddef>
#include <optional>

namespace VexmiraTest {

// The most heap memory held at once, to show that a loader refuses huge declared sizes before
// reserving them. Sanitizer builds count every allocation; others see only the blocks the C
// library maps on their own (32 MB and more). One measurement at a time.
class AllocationPeak {
public:
    AllocationPeak();
    // The peak since construction beyond what was held then; empty if this build cannot tell.
    std::optional<std::size_t> growth() const;
    // Why growth() may be empty.
    static constexpr const char* unavailable =
        "this build cannot measure the heap's peak (no sanitizer hooks, no malloc_stats)";

private:
    std::optional<long long> start_; // live bytes, or the C library's peak of mapped bytes
};

} // namespace VexmiraTest
