#include "Platform/offscreen/OffscreenSurface.h"

#include "Platform/core/AddressSanitizer.h"

#include <GL/osmesa.h>

#include <cstring>
#include <new>

namespace Platform {

struct OffscreenSurface::Context {
    OSMesaContext handle = nullptr;
    ~Context() {
        if (handle)
            OSMesaDestroyContext(handle);
    }
};

namespace {

void setError(std::string* error, const std::string& text) {
    if (error)
        *error = text;
}

// OSMesa reports its limits only once a context is current; before that we
// fall back on a size any llvmpipe build accepts.
int currentLimit(GLint which) {
    GLint value = 0;
    if (OSMesaGetCurrentContext())
        OSMesaGetIntegerv(which, &value);
    return value > 0 ? value : 16384;
}

} // namespace

std::unique_ptr<OffscreenSurface> OffscreenSurface::create(int width, int height,
                                                           std::string* error) {
    std::unique_ptr<OffscreenSurface> surface(new OffscreenSurface);
    surface->context_ = std::make_unique<Context>();
    surface->context_->handle = OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 16, nullptr);
    if (!surface->context_->handle) {
        setError(error, "cannot create an OSMesa context (RGBA, depth 24, stencil 8, accum 16)");
        return nullptr;
    }
    if (!surface->allocate(width, height, error))
        return nullptr;
    return surface;
}

OffscreenSurface::~OffscreenSurface() {
    if (context_ && context_->handle && OSMesaGetCurrentContext() == context_->handle)
        OSMesaMakeCurrent(nullptr, nullptr, GL_UNSIGNED_BYTE, 0, 0);
}

bool OffscreenSurface::allocate(int width, int height, std::string* error) {
    if (width < 1 || height < 1 || width > maximumWidth() || height > maximumHeight()) {
        setError(error, "off-screen surface size " + std::to_string(width) + "x" +
                            std::to_string(height) + " is outside 1x1 to " +
                            std::to_string(maximumWidth()) + "x" + std::to_string(maximumHeight()));
        return false;
    }
    std::vector<std::uint8_t> pixels;
    try {
        pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    } catch (const std::bad_alloc&) {
        setError(error, "not enough memory for an off-screen surface of " + std::to_string(width) +
                            "x" + std::to_string(height));
        return false;
    }
    std::swap(pixels_, pixels);
    std::swap(width_, width);
    std::swap(height_, height);
    if (makeCurrent(error))
        return true;
    // Give the context back its old storage, if it had one.
    std::swap(pixels_, pixels);
    width_ = width;
    height_ = height;
    if (width_ > 0)
        makeCurrent();
    return false;
}

bool OffscreenSurface::makeCurrent(std::string* error) {
    if (!OSMesaMakeCurrent(context_->handle, pixels_.data(), GL_UNSIGNED_BYTE, width_, height_)) {
        setError(error, "cannot make the OSMesa context current on a " + std::to_string(width_) +
                            "x" + std::to_string(height_) + " buffer");
        return false;
    }
    return true;
}

bool OffscreenSurface::resize(int width, int height, std::string* error) {
    return allocate(width, height, error);
}

std::vector<std::uint8_t> OffscreenSurface::readPixels() const {
    glFinish();
    // OSMesa keeps the bottom row first in memory; callers want image order.
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * 4;
    std::vector<std::uint8_t> topDown(pixels_.size());
    for (int row = 0; row < height_; ++row)
        std::memcpy(topDown.data() + static_cast<std::size_t>(row) * rowBytes,
                    pixels_.data() + static_cast<std::size_t>(height_ - 1 - row) * rowBytes,
                    rowBytes);
    return topDown;
}

int OffscreenSurface::accumulationBits() const {
    GLint red = 0;
    glGetIntegerv(GL_ACCUM_RED_BITS, &red);
    return red;
}

int OffscreenSurface::auxiliaryBuffers() const {
    GLint count = 0;
    glGetIntegerv(GL_AUX_BUFFERS, &count);
    return count;
}

int OffscreenSurface::maximumWidth() {
    return currentLimit(OSMESA_MAX_WIDTH);
}

int OffscreenSurface::maximumHeight() {
    return currentLimit(OSMESA_MAX_HEIGHT);
}

} // namespace Platform

#ifdef VEXMIRA_ADDRESS_SANITIZER
// OSMesa keeps a framebuffer for every buffer size it was made current with
// until the process ends, and offers no call to free them; its selection and
// feedback modes also lose a vertex buffer per context. The leak checker of
// sanitizer builds is told not to count them against us (scripts/lsan.supp
// lists the same for the test suite).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libOSMesa.so\n";
}
#endif
