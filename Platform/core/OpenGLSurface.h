#pragma once

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
};

} // namespace Platform
