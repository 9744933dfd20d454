#include "support/AllocationPeak.h"

#include "Platform/core/AddressSanitizer.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace VexmiraTest {

#ifdef VEXMIRA_ADDRESS_SANITIZER

extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, std::size_t),
                                              void (*)(const volatile void*));
std::size_t __sanitizer_get_allocated_size(const volatile void* pointer);
int __sanitizer_get_ownership(const volatile void* pointer);
}

namespace {

// Live bytes since the hooks went in, and their peak (OpenGL's worker threads allocate too).
std::atomic<long long> liveBytes{0}, peakBytes{0};

void countAllocation(const volatile void*, std::size_t size) {
    const auto bytes = static_cast<long long>(size);
    const long long live = liveBytes.fetch_add(bytes) + bytes;
    for (long long peak = peakBytes.load(); live > peak;)
        if (peakBytes.compare_exchange_weak(peak, live))
            break;
}

void countRelease(const volatile void* pointer) {
    if (pointer != nullptr && __sanitizer_get_ownership(pointer))
        liveBytes.fetch_sub(static_cast<long long>(__sanitizer_get_allocated_size(pointer)));
}

// Installed while the test program starts, before any test runs.
const bool hooksInstalled =
    __sanitizer_install_malloc_and_free_hooks(countAllocation, countRelease) != 0;

} // namespace

AllocationPeak::AllocationPeak() : start_(liveBytes.load()) {
    peakBytes.store(*start_);
}

std::optional<std::size_t> AllocationPeak::growth() const {
    if (!hooksInstalled)
        return std::nullopt;
    return static_cast<std::size_t>(std::max(0LL, peakBytes.load() - *start_));
}

#else

namespace {

// "max mmap bytes" of malloc_stats(), which prints to stderr: swapped for memory meanwhile.
std::optional<long long> mappedPeakFromMallocStats() {
    char* text = nullptr;
    std::size_t length = 0;
    FILE* const saved = stderr;
    if (!(stderr = open_memstream(&text, &length))) {
        stderr = saved;
        return std::nullopt;
    }
    malloc_stats();
    std::fclose(stderr);
    stderr = saved;
    const char* line = std::strstr(text, "max mmap bytes");
    const char* equals = line ? std::strchr(line, '=') : nullptr;
    const std::optional<long long> peak =
        equals ? std::optional(std::strtoll(equals + 1, nullptr, 10)) : std::nullopt;
    std::free(text);
    return peak;
}

} // namespace

AllocationPeak::AllocationPeak() : start_(mappedPeakFromMallocStats()) {}

// The C library keeps one peak per process: only a new high shows.
std::optional<std::size_t> AllocationPeak::growth() const {
    const std::optional<long long> now = mappedPeakFromMallocStats();
    if (!start_ || !now)
        return std::nullopt;
    return static_cast<std::size_t>(std::max(0LL, *now - *start_));
}

#endif

} // namespace VexmiraTest
