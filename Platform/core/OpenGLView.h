#pragma once

#include "Platform/core/MouseEvent.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Platform {

class OpenGLSurface;
class Window;

// A view that draws with OpenGL. It knows no toolkit: a backend attaches a
// surface (an on-screen GL window or an off-screen buffer), forwards mouse
// events and calls display() when the view should draw. Subclasses override
// the virtual hooks below.
//
// The draw cycle run by display(): make the context current; the first time,
// prepareOpenGL(); reshape() whenever the size differs from the last one the
// view was told about (the first time included); drawRect(). The backend then
// shows the picture (a buffer swap where it is double-buffered).
class OpenGLView {
public:
    OpenGLView();
    virtual ~OpenGLView();
    OpenGLView(const OpenGLView&) = delete;
    OpenGLView& operator=(const OpenGLView&) = delete;

    // Called once, with the context current, before the first reshape and draw.
    virtual void prepareOpenGL() {}
    // Called with the context current whenever the frame's size changed.
    virtual void reshape() {}
    // Draws the picture; the context is current.
    virtual void drawRect() {}

    // One press-drag-release gesture of the left button arrives as one
    // mouseDown, any number of mouseDragged and one mouseUp, in that order.
    virtual void mouseDown(const MouseEvent& event);
    virtual void mouseDragged(const MouseEvent& event);
    virtual void mouseUp(const MouseEvent& event);
    // The wheel turned over the view, by event.deltaY; ignored by default.
    virtual void scrollWheel(const MouseEvent&) {}

    // The timer set by scheduleTimer went off.
    virtual void timerFired() {}

    virtual bool isOpaque() const { return true; }

    // The size of the view in pixels (0 x 0 while no surface is attached).
    int frameWidth() const;
    int frameHeight() const;

    // Makes the view's GL context current; does nothing without a surface.
    void makeCurrentContext();

    // Requests a redraw. Requests are coalesced: however many arrive before
    // the backend gets to it, the view is drawn once.
    void setNeedsDisplay(bool flag);
    bool needsDisplay() const { return needsDisplay_; }
    // Requests the next frame of an animation: a redraw at the display's
    // next frame, so an animation runs at the display's pace and a slow frame
    // delays the next one instead of piling requests up.
    void requestNextFrame();

    // A key pressed in the view's window that no other widget took, named as
    // in menu shortcuts ("Space", "Escape"). True when the view used it.
    virtual bool keyDown(const std::string& keyName);

    // Draws the view now and reads back what it shows: opaque RGBA bytes, the
    // top row first, frameWidth() x frameHeight() pixels. Empty without a
    // surface or when the surface cannot be read.
    std::vector<std::uint8_t> capturePicture();
    // Sets every alpha byte of RGBA pixels to 255. The window shows the
    // picture on an opaque background; alpha left behind by blending or
    // averaged passes is no part of it.
    static void makeOpaque(std::vector<std::uint8_t>& rgba);

    // The colour buffer the view draws into and that the window shows:
    // GL_BACK on a double-buffered surface, GL_FRONT otherwise.
    unsigned int drawingBuffer() const;

    // Has timerFired() called once, `seconds` from now, in place of a timer
    // not yet fired; nothing without a surface.
    void scheduleTimer(double seconds);

    // Shows the busy cursor over the view's window (true) or the usual one
    // again (false), at once: a slow frame keeps the event loop from
    // changing it while the frame is drawn.
    void setBusyCursor(bool busy);
    bool showsBusyCursor() const { return busyCursor_; }

    // The window holding the view (not owned); null while the view stands alone.
    Window* window() const { return window_; }
    void setWindow(Window* window) { window_ = window; }

    // --- Backend side ---

    // The surface the view draws on (not owned); null detaches it.
    void attachSurface(OpenGLSurface* surface);
    OpenGLSurface* surface() const { return surface_; }
    // The draw cycle up to the drawing: the context made current, the view
    // prepared the first time and reshaped when its size changed. Lets an
    // owner set a view up (its camera, say) before the first picture, so
    // that the first picture is the one wanted.
    void prepare();
    // Runs the draw cycle described above and clears the redraw request.
    void display();
    // display() only when a redraw was requested.
    void displayIfNeeded();
    // Whether prepareOpenGL has run.
    bool isPrepared() const { return prepared_; }

private:
    OpenGLSurface* surface_ = nullptr;
    Window* window_ = nullptr;
    bool needsDisplay_ = false;
    bool prepared_ = false;
    bool busyCursor_ = false;
    int reshapedWidth_ = -1;
    int reshapedHeight_ = -1;
};

} // namespace Platform
