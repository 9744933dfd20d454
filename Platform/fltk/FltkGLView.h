#pragma once

#include "Platform/core/OpenGLSurface.h"

#include <FL/Fl_Gl_Window.H>

#include <cstdint>
#include <vector>

namespace Platform {

class OpenGLView;

// The on-screen surface of an OpenGLView: an FLTK GL window with a depth
// buffer, an accumulation buffer and a back buffer. The view draws into the
// back buffer and the picture appears once, by the swap after the draw, so a
// multi-pass draw is never seen half done.
class FltkGLView : public Fl_Gl_Window, public OpenGLSurface {
public:
    FltkGLView(OpenGLView& view, int x, int y, int width, int height);
    ~FltkGLView() override;

    // Called when the view goes away before this widget (which FLTK deletes
    // later); from then on the widget draws black and ignores the mouse.
    void detachView();

    void makeCurrent() override;
    int width() const override { return w(); }
    int height() const override { return h(); }
    bool isDoubleBuffered() const override;
    void scheduleDisplay() override { redraw(); }
    void scheduleTimer(double seconds) override;
    void showBusyCursor(bool busy) override;
    void scheduleNextFrame() override;
    std::vector<std::uint8_t> readPixels() override;

    // The FLTK modifier state as the view's modifier bits.
    static std::uint32_t modifiersFromFltk(int state);

    // Left-button presses, drags and releases become the view's mouse
    // events; the vertical wheel its scrollWheel.
    int handle(int event) override;

protected:
    void draw() override;

private:
    void sendMouse(int event);
    bool sendKey();
    static void frameDue(void* view);
    static void timerWentOff(void* glView);

    OpenGLView* view_;
    bool tracking_ = false;
};

} // namespace Platform
