#pragma once

#include <cstddef>
#include <optional>

namespace VexmiraTest {

// How much heap memory a piece of code holds at its worst, so tests can check that a loader
// refuses a file declaring huge sizes before setting memory aside for them, whether it releases
// the memory again or not.
//
// Sanitizer builds count every allocation and release exactly, through the sanitizer's
// allocator hooks. Other builds read the C library's statistics, which see blocks too large for
// the ordinary heap (it maps every block of 32 MB or more on its own): small growth goes unseen
// there, any large allocation does not. One measurement at a time.
class AllocationPeak {
public:
    // Starts measuring from the memory held now.
    AllocationPeak();
    AllocationPeak(const AllocationPeak&) = delete;
    AllocationPeak& operator=(const AllocationPeak&) = delete;

    // The most bytes held at once since construction beyond those held at construction; empty
    // if this build cannot tell.
    std::optional<std::size_t> growth() const;

    // Why growth() may be empty, for the message of a skipped check.
    static constexpr const char* unavailable =
        "this build cannot measure the heap's peak (no sanitizer hooks, no malloc_stats)";

private:
    std::optional<long long> start_; // live bytes, or the C library's peak of mapped bytes
};

} // namespace VexmiraTest
