#pragma once

#include <cstdlib>
#include <memory>

namespace Platform {

// Gives a block from malloc, calloc or realloc back with free.
struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};

// An array in a block of the C allocator: running out of memory is a null
// pointer to check rather than an exception, and the block can grow in place
// with realloc.
template <class T> using MallocArray = std::unique_ptr<T[], FreeDeleter>;

} // namespace Platform
