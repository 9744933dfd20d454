#include "support/AllocationPeak.h"

#include "Platform/core/AddressSanitizer.h"

#include <malloc.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

namespace VexmiraTest {

#ifdef VEXMIRA_ADDRESS_SANITIZER

extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*,
                                                                  std::size_t),
                                              void (*free_hook)(const volatile void*));
std::size_t __sanitizer_get_allocated_size(const volatile void* pointer);
int __sanitizer_get_ownership(const volatile void* pointer);
}

namespace {

// Live bytes since the hooks went in (OpenGL's worker threads allocate too).
std::atomic<long long> liveBytes{0};
std::atomic<long long> peakBytes{0};

void raisePeakTo(long long live) {
    long long peak = peakBytes.load(std::memory_order_relaxed);
    while (live > peak && !peakBytes.compare_exchange_weak(peak, live, std::memory_order_relaxed)) {
    }
}

void countAllocation(const volatile void*, std::size_t size) {
    raisePeakTo(liveBytes.fetch_add(static_cast<long long>(size), std::memory_order_relaxed) +
                static_cast<long long>(size));
}

void countRelease(const volatile void* pointer) {
    if (pointer != nullptr && __sanitizer_get_ownership(pointer))
        liveBytes.fetch_sub(static_cast<long long>(__sanitizer_get_allocated_size(pointer)),
                            std::memory_order_relaxed);
}

// Installed while the test program starts, before any test runs.
const bool hooksInstalled =
    __sanitizer_install_malloc_and_free_hooks(countAllocation, countRelease) != 0;

} // namespace

AllocationPeak::AllocationPeak() {
    startLive_ = liveBytes.load();
    // The peak restarts at what is held now; the one before comes back when
    // this measurement ends, so measurements nest.
    outerPeak_ = peakBytes.exchange(startLive_);
}

AllocationPeak::~AllocationPeak() {
    raisePeakTo(outerPeak_);
}

std::optional<std::size_t> AllocationPeak::growth() const {
    if (!hooksInstalled)
        return std::nullopt;
    return static_cast<std::size_t>(std::max(0LL, peakBytes.load() - startLive_));
}

#else

namespace {

// "max mmap bytes" of malloc_stats(), which the C library prints to
// standard error; it is read through a temporary redirection.
std::optional<std::size_t> mappedPeakFromMallocStats() {
    std::fflush(stderr);
    FILE* capture = std::tmpfile();
    if (capture == nullptr)
        return std::nullopt;
    const int savedStderr = dup(fileno(stderr));
    dup2(fileno(capture), fileno(stderr));
    malloc_stats();
    std::fflush(stderr);
    dup2(savedStderr, fileno(stderr));
    close(savedStderr);
    std::rewind(capture);
    std::optional<std::size_t> peak;
    char line[256];
    while (std::fgets(line, sizeof line, capture) != nullptr) {
        const char* equals = std::strchr(line, '=');
        if (std::strncmp(line, "max mmap bytes", 14) == 0 && equals != nullptr)
            peak = std::stoull(equals + 1);
    }
    std::fclose(capture);
    return peak;
}

} // namespace

AllocationPeak::AllocationPeak() : startPeak_(mappedPeakFromMallocStats()) {}

AllocationPeak::~AllocationPeak() = default;

// The C library keeps one peak for the whole process, so only a new high
// shows; a test program running a single test starts low.
std::optional<std::size_t> AllocationPeak::growth() const {
    std::optional<std::size_t> now = mappedPeakFromMallocStats();
    if (!startPeak_ || !now)
        return std::nullopt;
    return *now > *startPeak_ ? *now - *startPeak_ : 0;
}

#endif

} // namespace VexmiraTest
