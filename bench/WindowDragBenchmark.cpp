// Dragging in a real document window: each iteration is one step of a drag
// in the picture, as FLTK delivers it, and the frame it causes, drawn and
// shown (swapped, and the X server done with it). Run under a display, for
// instance: xvfb-run -s '-screen 0 1280x1024x24' build/bench/vexmira_window_bench
// Parameters: meridians, resolution, antialiasing passes, and whether every
// frame is smoothed while moving (View > Smooth While Moving).

#include "Platform/fltk/FltkApplication.h"
#include "Platform/fltk/FltkGLView.h"
#include "Platform/fltk/FltkWindow.h"
#include "Vexmira/BlowupView.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyDocumentLayout.h"
#include "Vexmira/MyWindowController.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/x.H>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

void flushToScreen() {
    Fl::flush();
    XSync(fl_display, False);
}

// A mouse event in the GL view's own coordinates, as FLTK delivers it.
void sendMouse(Fl_Widget* view, int event, int x, int y) {
    Fl::e_x = x;
    Fl::e_y = y;
    Fl::e_state = event == FL_RELEASE ? 0 : FL_BUTTON1;
    Fl::e_keysym = FL_Button + FL_LEFT_MOUSE;
    view->handle(event);
}

void BM_WindowDragFrame(benchmark::State& state) {
    if (!getenv("DISPLAY")) {
        state.SkipWithError("no display: run under xvfb-run");
        return;
    }
    MyDocumentLayout::registerLayout();
    Platform::FltkApplication fltk;
    fltk.application().setDocumentType(
        {myDocumentType, myDocumentExtension, [] { return std::make_unique<MyDocument>(); }});
    auto* document = dynamic_cast<MyDocument*>(fltk.application().newDocument());
    auto& window =
        static_cast<Platform::FltkWindow&>(*document->windowControllers().front()->window());
    auto& view = static_cast<BlowupView&>(*window.openGLView());
    Platform::FltkGLView* glView = window.glView();
    while (!view.isPrepared() || !window.flWindow()->visible())
        Fl::wait(0.01);
    Blowup& model = document->model();
    model.setMeridians(static_cast<int>(state.range(0)));
    model.setResolution(static_cast<int>(state.range(1)));
    model.setAntialiasing(static_cast<int>(state.range(2)));
    view.setFullFramesWhileMoving(state.range(3) != 0);
    // Full frames first: the surface is recorded and the budget learnt.
    for (int i = 0; i < 3; ++i) {
        glView->redraw();
        flushToScreen();
    }
    const int centreX = glView->w() / 2, centreY = glView->h() / 2;
    sendMouse(glView, FL_PUSH, centreX, centreY);
    int step = 0;
    for (auto _ : state) {
        // Back and forth across the centre, so the picture stays in view.
        const int x = centreX + (step++ % 40 < 20 ? step % 20 : 20 - step % 20);
        sendMouse(glView, FL_DRAG, x, centreY);
        flushToScreen();
    }
    sendMouse(glView, FL_RELEASE, centreX, centreY);
    state.counters["passes"] = static_cast<double>(model.antialiasing());
    state.counters["view w"] = glView->w();
    state.counters["view h"] = glView->h();
    state.counters["last full frame ms"] = view.lastFullFrameSeconds() * 1000.0;
}

} // namespace

BENCHMARK(BM_WindowDragFrame)
    ->ArgNames({"meridians", "resolution", "passes", "smooth"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Args({72, 34, 5, 0})
    ->Args({360, 360, 5, 0})
    ->Args({360, 360, 5, 1});
