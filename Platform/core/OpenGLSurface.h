#pragma once

#include <cstdint>
#include <vector>

namespace Platform {

// What a backend supplies to an OpenGLView: a GL context with a size, and a
// way to have the view displayed later. An FLTK GL window and an off-screen
// OSMesa buffer are the two backends.
class OpenGLSurface {
public:
    virtual ~OpenGLSurface() = default;

    // Makes the surface's context current on the calling thread.
    virtual void makeCurrent() = 0;
    // The drawable size in pixels.
    virtual int width() const = 0;
    virtual int height() const = 0;
    // Whether the context draws into a back buffer that is shown by a swap.
    virtual bool isDoubleBuffered() const = 0;
    // Arranges for OpenGLView::display() to run later, from the event loop;
    // the off-screen backend displays when its owner asks.
    virtual void scheduleDisplay() = 0;
    // Arranges for OpenGLView::timerFired() to run once, `seconds` from now,
    // from the event loop (the off-screen backend runs it when its owner
    // asks), replacing a timer that has not fired yet.
    virtual void scheduleTimer(double seconds) = 0;
    // Shows the busy cursor over the surface's window, or the usual one;
    // nothing where there is no pointer.
    virtual void showBusyCursor(bool) {}
    // Arranges for OpenGLView::display() to run at the display's next frame,
    // about a sixtieth of a second from now: the pace of an animation. The
    // off-screen backend has no display to keep pace with.
    virtual void scheduleNextFrame() { scheduleDisplay(); }
    // The buffer the view has just drawn into, as RGBA bytes with the top
    // row first, width() x height() pixels; empty when it cannot be read.
    // Called right after a draw, before the picture is shown, so a
    // double-buffered surface still holds it in its back buffer.
    virtual std::vector<std::uint8_t> readPixels() { return {}; }
};

} // namespace Platform
