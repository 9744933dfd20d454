#include "Platform/core/OpenGLView.h"

#include "Platform/core/OpenGLSurface.h"

#include <GL/gl.h>

namespace Platform {

OpenGLView::OpenGLView() = default;

OpenGLView::~OpenGLView() = default;

void OpenGLView::mouseDown(const MouseEvent&) {}

void OpenGLView::mouseDragged(const MouseEvent&) {}

void OpenGLView::mouseUp(const MouseEvent&) {}

int OpenGLView::frameWidth() const {
    return surface_ ? surface_->width() : 0;
}

int OpenGLView::frameHeight() const {
    return surface_ ? surface_->height() : 0;
}

void OpenGLView::makeCurrentContext() {
    if (surface_)
        surface_->makeCurrent();
}

void OpenGLView::setNeedsDisplay(bool flag) {
    if (!flag) {
        needsDisplay_ = false;
        return;
    }
    if (needsDisplay_)
        return;
    needsDisplay_ = true;
    if (surface_)
        surface_->scheduleDisplay();
}

void OpenGLView::requestNextFrame() {
    if (surface_)
        surface_->scheduleNextFrame();
}

bool OpenGLView::keyDown(const std::string&) {
    return false;
}

unsigned int OpenGLView::drawingBuffer() const {
    return surface_ && surface_->isDoubleBuffered() ? GL_BACK : GL_FRONT;
}

void OpenGLView::scheduleTimer(double seconds) {
    if (surface_)
        surface_->scheduleTimer(seconds);
}

void OpenGLView::setBusyCursor(bool busy) {
    busyCursor_ = busy;
    if (surface_)
        surface_->showBusyCursor(busy);
}

void OpenGLView::attachSurface(OpenGLSurface* surface) {
    surface_ = surface;
    reshapedWidth_ = -1;
    reshapedHeight_ = -1;
    if (surface_ && needsDisplay_)
        surface_->scheduleDisplay();
}

void OpenGLView::prepare() {
    if (!surface_)
        return;
    surface_->makeCurrent();
    if (!prepared_) {
        prepared_ = true;
        prepareOpenGL();
    }
    if (surface_->width() != reshapedWidth_ || surface_->height() != reshapedHeight_) {
        reshapedWidth_ = surface_->width();
        reshapedHeight_ = surface_->height();
        reshape();
    }
}

void OpenGLView::display() {
    if (!surface_)
        return;
    // Cleared first: a hook that asks for another redraw gets one.
    needsDisplay_ = false;
    prepare();
    drawRect();
}

std::vector<std::uint8_t> OpenGLView::capturePicture() {
    if (!surface_)
        return {};
    display();
    std::vector<std::uint8_t> rgba = surface_->readPixels();
    const auto expected = static_cast<std::size_t>(surface_->width()) *
                          static_cast<std::size_t>(surface_->height()) * 4;
    if (rgba.size() != expected)
        return {};
    makeOpaque(rgba);
    return rgba;
}

void OpenGLView::makeOpaque(std::vector<std::uint8_t>& rgba) {
    for (std::size_t alpha = 3; alpha < rgba.size(); alpha += 4)
        rgba[alpha] = 255;
}

void OpenGLView::displayIfNeeded() {
    if (needsDisplay_)
        display();
}

} // namespace Platform
