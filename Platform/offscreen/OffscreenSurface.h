#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Platform {

// An OpenGL context that draws into memory (OSMesa): RGBA, 24-bit depth,
// 8-bit stencil, 16-bit accumulation, one single-buffered front buffer.
// Needs no display, so tests, the renderer and the benchmarks share it.
class OffscreenSurface {
public:
    // A surface of width x height pixels whose context is made current, or
    // null with the reason in *error.
    static std::unique_ptr<OffscreenSurface> create(int width, int height,
                                                    std::string* error = nullptr);
    ~OffscreenSurface();
    OffscreenSurface(const OffscreenSurface&) = delete;
    OffscreenSurface& operator=(const OffscreenSurface&) = delete;

    // Binds the context to this surface's pixels on the calling thread.
    bool makeCurrent(std::string* error = nullptr);

    // New pixel storage of the given size (contents undefined); the context
    // stays and is made current. On failure the old size is kept.
    bool resize(int width, int height, std::string* error = nullptr);

    int width() const { return width_; }
    int height() const { return height_; }

    // The colour buffer as RGBA bytes, the top row first. Finishes the
    // current context's drawing first, so this surface should be current.
    std::vector<std::uint8_t> readPixels() const;

    // What the current context (normally this surface's) offers.
    int accumulationBits() const;
    int auxiliaryBuffers() const;
    static int maximumWidth();
    static int maximumHeight();

private:
    OffscreenSurface() = default;
    bool allocate(int width, int height, std::string* error);

    struct Context;
    std::unique_ptr<Context> context_;
    std::vector<std::uint8_t> pixels_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace Platform
