#pragma once

#include <cstddef>
#include <optional>

namespace VexmiraTest {

// The most heap memory a piece of code holds at once, so tests can check that a loader refuses
// a file declaring huge sizes before setting memory aside for them. Sanitizer builds count every
// allocation exactly; other builds see only blocks the C library maps on their own (32 MB and
// more), which is what a huge declared size would take. One measurement at a time.
class AllocationPeak {
public:
    // Starts measuring from the memory held now.
    AllocationPeak();

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
