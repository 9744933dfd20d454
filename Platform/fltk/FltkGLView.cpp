#include "Platform/fltk/FltkGLView.h"

#include "Platform/core/MouseEvent.h"
#include "Platform/core/OpenGLView.h"

#include <FL/Fl.H>
#include <FL/gl.h>
#include <FL/x.H>

#include <algorithm>

namespace Platform {

namespace {

constexpr int fullMode = FL_RGB | FL_DEPTH | FL_ACCUM | FL_DOUBLE;

} // namespace

FltkGLView::FltkGLView(OpenGLView& view, int x, int y, int width, int height)
    : Fl_Gl_Window(x, y, width, height), view_(&view) {
    // Without an accumulation buffer the camera still draws, unsmoothed.
    mode(can_do(fullMode) ? fullMode : (fullMode & ~FL_ACCUM));
    view_->attachSurface(this);
}

FltkGLView::~FltkGLView() {
    Fl::remove_timeout(frameDue, this);
    detachView();
}

void FltkGLView::scheduleNextFrame() {
    // One frame is pending at a time; a frame that took longer than the
    // interval is followed by the next one at once.
    if (!Fl::has_timeout(frameDue, this))
        Fl::add_timeout(1.0 / 60.0, frameDue, this);
}

void FltkGLView::frameDue(void* view) {
    static_cast<FltkGLView*>(view)->redraw();
}

void FltkGLView::detachView() {
    Fl::remove_timeout(timerWentOff, this);
    if (view_ && view_->surface() == this)
        view_->attachSurface(nullptr);
    view_ = nullptr;
}

void FltkGLView::makeCurrent() {
    // FLTK can only make a context for a window on the screen.
    if (shown())
        make_current();
}

bool FltkGLView::isDoubleBuffered() const {
    return (mode() & FL_DOUBLE) != 0;
}

void FltkGLView::scheduleTimer(double seconds) {
    Fl::remove_timeout(timerWentOff, this);
    Fl::add_timeout(seconds, timerWentOff, this);
}

void FltkGLView::timerWentOff(void* glView) {
    if (OpenGLView* view = static_cast<FltkGLView*>(glView)->view_)
        view->timerFired();
}

void FltkGLView::showBusyCursor(bool busy) {
    if (!shown())
        return;
    const Fl_Cursor shape = busy ? FL_CURSOR_WAIT : FL_CURSOR_DEFAULT;
    // Over the picture and over the rest of its window: the pointer may be
    // on a slider that is being dragged.
    cursor(shape);
    if (Fl_Window* top = top_window(); top && top != this)
        top->cursor(shape);
    // The slow frame follows at once, before the event loop would send the
    // request to the X server.
    XFlush(fl_display);
}

void FltkGLView::draw() {
    if (!view_) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    // FLTK swaps the buffers when draw() returns.
    view_->display();
}

std::vector<std::uint8_t> FltkGLView::readPixels() {
    if (!shown())
        return {};
    make_current();
    const int width = w(), height = h();
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    std::vector<std::uint8_t> bottomUp(rowBytes * static_cast<std::size_t>(height));
    glReadBuffer(isDoubleBuffered() ? GL_BACK : GL_FRONT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<std::uint8_t> topDown(bottomUp.size());
    for (int row = 0; row < height; ++row)
        std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>(rowBytes * row), rowBytes,
                    topDown.begin() + static_cast<std::ptrdiff_t>(rowBytes * (height - 1 - row)));
    // The view drew outside FLTK's drawing, which swaps; the screen catches
    // up with the usual redraw.
    redraw();
    return topDown;
}

std::uint32_t FltkGLView::modifiersFromFltk(int state) {
    std::uint32_t modifiers = 0;
    if (state & FL_SHIFT)
        modifiers |= ShiftKeyMask;
    if (state & FL_CTRL)
        modifiers |= ControlKeyMask;
    if (state & FL_ALT)
        modifiers |= AlternateKeyMask;
    if (state & FL_META)
        modifiers |= CommandKeyMask;
    return modifiers;
}

void FltkGLView::sendMouse(int event) {
    // Pixel centres, with y measured upward from the bottom row.
    MouseEvent mouse{static_cast<float>(Fl::event_x()) + 0.5f,
                     static_cast<float>(h() - Fl::event_y()) - 0.5f,
                     modifiersFromFltk(Fl::event_state())};
    if (event == FL_PUSH)
        view_->mouseDown(mouse);
    else if (event == FL_DRAG)
        view_->mouseDragged(mouse);
    else
        view_->mouseUp(mouse);
}

// The keys a view may want while its window is in front, whichever widget
// has the focus: FLTK offers them to every widget as a shortcut once the
// focused one has declined them.
bool FltkGLView::sendKey() {
    if (!view_)
        return false;
    switch (Fl::event_key()) {
    case ' ':
        return view_->keyDown("Space");
    case FL_Escape:
        return view_->keyDown("Escape");
    default:
        return false;
    }
}

int FltkGLView::handle(int event) {
    switch (event) {
    case FL_KEYBOARD:
    case FL_SHORTCUT:
        return sendKey() ? 1 : Fl_Gl_Window::handle(event);
    case FL_PUSH:
        if (!view_)
            return 1;
        // A click in the picture leaves a number box being typed in, which
        // takes its value first.
        if (Fl::focus() != this)
            take_focus();
        if (Fl::event_button() != FL_LEFT_MOUSE)
            return 1;
        tracking_ = true;
        sendMouse(event);
        return 1;
    case FL_DRAG:
        if (view_ && tracking_)
            sendMouse(event);
        return 1;
    case FL_FOCUS:
    case FL_UNFOCUS:
        // The picture takes the focus in its turn: Tab then goes round the
        // sliders, their boxes and the picture instead of stopping at the
        // last box (FLTK does not wrap around inside the sliders' group).
        return view_ ? 1 : 0;
    case FL_MOUSEWHEEL:
        if (!view_ || Fl::event_dy() == 0)
            return 0;
        view_->scrollWheel({static_cast<float>(Fl::event_x()) + 0.5f,
                            static_cast<float>(h() - Fl::event_y()) - 0.5f,
                            modifiersFromFltk(Fl::event_state()),
                            static_cast<float>(Fl::event_dy())});
        return 1;
    case FL_RELEASE:
        if (Fl::event_button() != FL_LEFT_MOUSE || !tracking_)
            return 1;
        tracking_ = false;
        if (view_)
            sendMouse(event);
        return 1;
    default:
        return Fl_Gl_Window::handle(event);
    }
}

} // namespace Platform
