// A whole frame of the document window's view against its limit, at
// 1024 x 768 off screen. BlowupView::drawScene clears and replays the
// surface it recorded, once or once per smoothing pass through the camera's
// accumulation; the limit runs the very same frame in the same context,
// camera and passes, with the picture's vertices and colours computed once
// beforehand and drawn from vertex arrays.
// Beside them: the preview frame drawn while the picture moves, when
// smoothing is slower than the frame budget (one pass, its limit is the
// one-pass limit); a frame whose surface changes each time, as while the
// blow-up slider is dragged (recording and replaying, against the model
// drawing itself); and the recording of the largest document accepted, with
// the memory it holds.
// The view is set up by a real document, window controller and off-screen
// window, as in vexmira-render, with the camera a new window starts with.
// Parameters: meridians, resolution, antialiasing passes (72/34 are a new
// document's defaults, 360/360 the sliders' maxima).

#include "Platform/core/Window.h"
#include "Platform/offscreen/OffscreenViewHost.h"
#include "Platform/offscreen/OffscreenWindow.h"
#include "Vexmira/BlowupView.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyDocumentLayout.h"
#include "Vexmira/MyWindowController.h"
#include "bench/BenchSurface.h"
#include "bench/PrecomputedPicture.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

// One document whose window is built off screen at the benchmark size, its
// view prepared by a first display.
class OffscreenDocumentWindow {
public:
    // Null, with the benchmark skipped, when no off-screen window can be had.
    static std::unique_ptr<OffscreenDocumentWindow> open(benchmark::State& state) {
        MyDocumentLayout::registerLayout();
        Platform::OffscreenWindow::installBuilder(BenchSurface::width, BenchSurface::height);
        std::unique_ptr<OffscreenDocumentWindow> opened(new OffscreenDocumentWindow);
        Blowup& model = opened->document_.model();
        model.setMeridians(static_cast<int>(state.range(0)));
        model.setResolution(static_cast<int>(state.range(1)));
        model.setAntialiasing(static_cast<int>(state.range(2)));
        opened->document_.makeWindowControllers();
        auto* window = dynamic_cast<Platform::OffscreenWindow*>(
            opened->document_.windowControllers().front()->window());
        opened->view_ = window ? dynamic_cast<BlowupView*>(window->openGLView()) : nullptr;
        if (!opened->view_ || !window->viewHost()) {
            state.SkipWithError("no off-screen window of the benchmark size");
            return nullptr;
        }
        window->viewHost()->display();
        opened->view_->makeCurrentContext();
        return opened;
    }

    Blowup& model() { return document_.model(); }
    BlowupView& view() { return *view_; }

    void report(benchmark::State& state) {
        const long long M = model().meridians(), R = model().resolution();
        const long long passes = view_->camera()->smoothingPasses();
        state.SetItemsProcessed(state.iterations() * passes * (2 * M * R + 1 + 2 * R));
        state.counters["passes"] = static_cast<double>(passes);
        if (glGetError() != GL_NO_ERROR)
            state.SkipWithError("OpenGL reported an error");
    }

private:
    OffscreenDocumentWindow() = default;

    MyDocument document_;
    BlowupView* view_ = nullptr;
};

// Each run has a fresh context, whose first frames compile llvmpipe's
// shaders for the vertex layout in use; they are not timed.
template <typename Frame> void warmUp(const Frame& frame) {
    for (int i = 0; i < 3; ++i)
        frame();
}

void BM_BlowupViewDrawScene(benchmark::State& state) {
    auto window = OffscreenDocumentWindow::open(state);
    if (!window)
        return;
    const auto frame = [&window] {
        window->view().drawScene();
        glFinish();
    };
    warmUp(frame);
    for (auto _ : state)
        frame();
    window->report(state);
}

// drawScene's own steps, with the model's draw replaced by the arrays.
void BM_BlowupViewDrawSceneLimit(benchmark::State& state) {
    auto window = OffscreenDocumentWindow::open(state);
    if (!window)
        return;
    const PrecomputedPicture picture = PrecomputedPicture::of(window->model());
    RVCamera& camera = *window->view().camera();
    const bool smoothed = static_cast<unsigned>(window->model().antialiasing()) > 1;
    const auto frame = [&] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (smoothed)
            camera.smooth([&picture] { picture.draw(); });
        else
            picture.draw();
        glFinish();
    };
    warmUp(frame);
    for (auto _ : state)
        frame();
    window->report(state);
}

// Frames drawn while the picture moves, as the view draws them (drawRect):
// the full frame drawn before has shown that smoothing is over the budget.
void BM_BlowupViewPreviewFrame(benchmark::State& state) {
    auto window = OffscreenDocumentWindow::open(state);
    if (!window)
        return;
    BlowupView& view = window->view();
    warmUp([&view] { view.drawRect(); });
    view.beginInteraction();
    warmUp([&view] { view.drawRect(); });
    for (auto _ : state)
        view.drawRect();
    state.counters["over budget"] =
        view.lastFullFrameSeconds() > view.frameBudget().previewAbove ? 1 : 0;
    view.endInteraction();
    window->report(state);
}

// The surface changes before every frame, as while the blow-up slider is
// dragged: it is recorded again, then replayed for every pass.
void BM_BlowupViewChangingFrame(benchmark::State& state) {
    auto window = OffscreenDocumentWindow::open(state);
    if (!window)
        return;
    Blowup& model = window->model();
    float blowup = 0.0f;
    const auto frame = [&] {
        blowup = blowup > 1.0f ? 0.0f : blowup + 0.01f;
        model.setBlowup(blowup);
        window->view().drawScene();
        glFinish();
    };
    warmUp(frame);
    for (auto _ : state)
        frame();
    window->report(state);
}

// The model drawing itself in immediate mode for every pass, as the view did
// before it recorded the surface: what the frame above is measured against.
void BM_BlowupViewChangingFrameLimit(benchmark::State& state) {
    auto window = OffscreenDocumentWindow::open(state);
    if (!window)
        return;
    Blowup& model = window->model();
    RVCamera& camera = *window->view().camera();
    const bool smoothed = static_cast<unsigned>(model.antialiasing()) > 1;
    float blowup = 0.0f;
    const auto frame = [&] {
        blowup = blowup > 1.0f ? 0.0f : blowup + 0.01f;
        model.setBlowup(blowup);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (smoothed)
            camera.smooth([&model] { model.draw(); });
        else
            model.draw();
        glFinish();
    };
    warmUp(frame);
    for (auto _ : state)
        frame();
    window->report(state);
}

// The bytes the process holds allocated, mapped blocks included.
double allocatedBytes() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

// Recording the surface of the largest document accepted (meridians times
// resolution at its limit, with the most vertices) and replaying it once,
// in place of a tiny one: the memory allocated afterwards beyond what was
// before is what the view holds for it.
void BM_BlowupViewRecordLargest(benchmark::State& state) {
    auto window = OffscreenDocumentWindow::open(state);
    if (!window)
        return;
    Blowup& model = window->model();
    const auto draw = [&window] {
        window->view().drawScene();
        glFinish();
    };
    double held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        model.setMeridians(1);
        model.setResolution(1);
        draw();
        model.setMeridians(static_cast<int>(state.range(0)));
        model.setResolution(static_cast<int>(state.range(1)));
        const double before = allocatedBytes();
        state.ResumeTiming();
        draw(); // drawn by the model
        draw(); // recorded and replayed
        held = std::max(held, allocatedBytes() - before);
    }
    state.counters["MB held"] = held / 1e6;
    window->report(state);
}

// Wall-clock time, since llvmpipe rasterises on threads of its own, and the
// CPU time of the whole process beside it. The machine is shared: the
// fastest of several repetitions is the least disturbed one.
void measured(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgNames({"meridians", "resolution", "passes"});
    benchmark->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
    benchmark->ComputeStatistics("min", [](const std::vector<double>& times) {
        return *std::min_element(times.begin(), times.end());
    });
}

void frames(benchmark::internal::Benchmark* benchmark) {
    measured(benchmark);
    for (int passes : {1, 5}) {
        benchmark->Args({72, 34, passes});
        benchmark->Args({360, 360, passes});
    }
}

void sliderMaxima(benchmark::internal::Benchmark* benchmark) {
    measured(benchmark);
    benchmark->Args({360, 360, 1})->Args({360, 360, 5});
}

} // namespace

BENCHMARK(BM_BlowupViewDrawScene)->Apply(frames);
BENCHMARK(BM_BlowupViewDrawSceneLimit)->Apply(frames);
BENCHMARK(BM_BlowupViewPreviewFrame)->Apply(measured)->Args({360, 360, 5});
BENCHMARK(BM_BlowupViewChangingFrame)->Apply(sliderMaxima);
BENCHMARK(BM_BlowupViewChangingFrameLimit)->Apply(sliderMaxima);
// Memory is the measure here: one recording per iteration is enough.
BENCHMARK(BM_BlowupViewRecordLargest)->Apply(measured)->Args({10, 100000, 1})->Iterations(3);
