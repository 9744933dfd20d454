#pragma once

#include <cstddef>
#include <optional>

namespace VexmiraTest {

// Measures how much heap memory a piece of code holds at its worst, so tests
// can check that a loader refuses a file declaring huge sizes before setting
// memory aside for them, whether the memory is released again or not.
//
// Sanitizer builds count every allocation and release through the
// sanitizer's allocator hooks, exactly. Other builds read the C library's
// statistics, which see blocks too large for the ordinary heap (the C
// library maps every block of 32 MB or more on its own): small growth goes
// unseen there, any large allocation does not.
class AllocationPeak {
public:
    // Starts measuring from the memory held now.
    AllocationPeak();
    ~AllocationPeak();
    AllocationPeak(const AllocationPeak&) = delete;
    AllocationPeak& operator=(const AllocationPeak&) = delete;

    // The most bytes held at once since construction beyond those held at
    // construction; empty if this build cannot tell.
    std::optional<std::size_t> growth() const;

    // Why growth() may be empty, for the message of a skipped check.
    static constexpr const char* unavailable =
        "this build cannot measure the heap's peak (no sanitizer hooks, no malloc_stats)";

private:
    std::optional<std::size_t> startPeak_;
    long long startLive_ = 0;
    long long outerPeak_ = 0;
};

} // namespace VexmiraTest
