#include "Platform/offscreen/OffscreenViewHost.h"

#include "Platform/core/OpenGLView.h"

#include <GL/gl.h>

namespace Platform {

std::unique_ptr<OffscreenViewHost> OffscreenViewHost::create(OpenGLView& view, int width,
                                                             int height, std::string* error) {
    auto surface = OffscreenSurface::create(width, height, error);
    if (!surface)
        return nullptr;
    return std::unique_ptr<OffscreenViewHost>(new OffscreenViewHost(view, std::move(surface)));
}

OffscreenViewHost::OffscreenViewHost(OpenGLView& view, std::unique_ptr<OffscreenSurface> surface)
    : view_(view), surface_(std::move(surface)) {
    view_.attachSurface(this);
}

OffscreenViewHost::~OffscreenViewHost() {
    if (view_.surface() == this)
        view_.attachSurface(nullptr);
}

void OffscreenViewHost::makeCurrent() {
    surface_->makeCurrent();
}

bool OffscreenViewHost::resize(int width, int height, std::string* error) {
    return surface_->resize(width, height, error);
}

void OffscreenViewHost::display() {
    view_.display();
    glFinish();
}

bool OffscreenViewHost::fireTimer() {
    if (!timerPending_)
        return false;
    timerPending_ = false;
    view_.timerFired();
    return true;
}

bool OffscreenViewHost::displayIfNeeded() {
    if (!view_.needsDisplay())
        return false;
    display();
    return true;
}

void OffscreenViewHost::mouseDown(float x, float y, std::uint32_t modifiers) {
    view_.mouseDown(MouseEvent{x, y, modifiers});
}

void OffscreenViewHost::mouseDragged(float x, float y, std::uint32_t modifiers) {
    view_.mouseDragged(MouseEvent{x, y, modifiers});
}

void OffscreenViewHost::mouseUp(float x, float y, std::uint32_t modifiers) {
    view_.mouseUp(MouseEvent{x, y, modifiers});
}

std::vector<std::uint8_t> OffscreenViewHost::readPixels() {
    surface_->makeCurrent();
    return surface_->readPixels();
}

} // namespace Platform
