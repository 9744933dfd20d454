#pragma once

#include "Platform/core/OpenGLSurface.h"
#include "Platform/offscreen/OffscreenSurface.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Platform {

class OpenGLView;

// Runs an OpenGLView on an off-screen OSMesa buffer: the view draws exactly
// as in a window, and its owner displays it, feeds it mouse gestures and
// reads the pixels back. Used by the command-line renderer, by headless
// document windows and by tests. The buffer is single-buffered, so the view
// draws into GL_FRONT.
class OffscreenViewHost : public OpenGLSurface {
public:
    // A host of width x height pixels attached to view (not owned, must
    // outlive the host), or null with the reason in *error.
    static std::unique_ptr<OffscreenViewHost> create(OpenGLView& view, int width, int height,
                                                     std::string* error = nullptr);
    ~OffscreenViewHost() override;

    void makeCurrent() override;
    int width() const override { return surface_->width(); }
    int height() const override { return surface_->height(); }
    bool isDoubleBuffered() const override { return false; }
    // Redraw requests are kept by the view until displayIfNeeded().
    void scheduleDisplay() override {}

    // The timer the view asked for is kept until its owner fires it.
    void scheduleTimer(double) override { timerPending_ = true; }
    // Runs the view's timer when one is pending; false when none was.
    bool fireTimer();

    // Changes the buffer size; the view is reshaped at its next display.
    bool resize(int width, int height, std::string* error = nullptr);

    // Draws the view now, or only when it asked for a redraw.
    void display();
    bool displayIfNeeded();

    // A whole gesture with the left button: press, drags, release. Points are
    // in view coordinates (origin lower left); the modifiers are the keys held.
    void mouseDown(float x, float y, std::uint32_t modifiers = 0);
    void mouseDragged(float x, float y, std::uint32_t modifiers = 0);
    void mouseUp(float x, float y, std::uint32_t modifiers = 0);

    // The picture as RGBA bytes, the top row first.
    std::vector<std::uint8_t> readPixels() override;
    OffscreenSurface& surface() { return *surface_; }

private:
    OffscreenViewHost(OpenGLView& view, std::unique_ptr<OffscreenSurface> surface);

    OpenGLView& view_;
    std::unique_ptr<OffscreenSurface> surface_;
    bool timerPending_ = false;
};

} // namespace Platform
