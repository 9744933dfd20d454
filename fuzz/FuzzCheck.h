#pragma once

#include <cstdio>
#include <cstdlib>

namespace VexmiraFuzz {

// A broken promise of the code under test: libFuzzer treats the abort as a
// crash and keeps the input that caused it.
inline void check(bool holds, const char* promise) {
    if (holds)
        return;
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

} // namespace VexmiraFuzz
