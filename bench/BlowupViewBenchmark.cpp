// A whole frame of the document window's view against its limit, at
// 1024 x 768 off screen, both drawn in turn in the same context (see
// pairWithLimit). BlowupView::drawScene clears and replays the surface it
// recorded, once or once per smoothing pass through the camera's
// accumulation; the limit runs the very same frame with the picture's
// vertices and colours computed once beforehand and drawn from vertex arrays.
// Beside them: the preview frame drawn while the picture moves, when
// smoothing is slower than the frame budget (one pass, against the one-pass
// limit); a frame whose surface changes each time, as while the blow-up
// slider is dragged (against the model drawing itself); and the recordings at
// the maxima and of the largest document accepted, with the memory they hold.
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
#include <chrono>
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
        const long long passes = view_->camera()->smoothingPasses();
        state.SetItemsProcessed(state.iterations() * passes * model().verticesDrawn());
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

template <typename Frame> double secondsOf(const Frame& frame) {
    const auto start = std::chrono::steady_clock::now();
    frame();
    glFinish();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// Each iteration draws the frame and its limit once each, in turn, the order
// alternating, in the same context; the medians of both and their ratio are
// reported. Pairing them so cancels most of what a busy machine does to
// either, which separate runs minutes apart do not. The iteration's time is
// that of the pair.
template <typename Frame, typename Limit>
void pairWithLimit(benchmark::State& state, const Frame& frame, const Limit& limit) {
    warmUp(frame);
    warmUp(limit);
    std::vector<double> frameSeconds, limitSeconds;
    bool frameFirst = true;
    for (auto _ : state) {
        if (frameFirst)
            frameSeconds.push_back(secondsOf(frame));
        limitSeconds.push_back(secondsOf(limit));
        if (!frameFirst)
            frameSeconds.push_back(secondsOf(frame));
        frameFirst = !frameFirst;
    }
    if (frameSeconds.empty())
        return;
    const double frameMedian = median(frameSeconds), limitMedian = median(limitSeconds);
    state.counters["frame ms"] = frameMedian * 1e3;
    state.counters["limit ms"] = limitMedian * 1e3;
    state.counters["ratio"] = frameMedian / limitMedian;
}

// The model's picture computed once beforehand and drawn from vertex arrays,
// once or smoothed by the view's camera: the least any frame of it can cost.
class LimitFrame {
public:
    LimitFrame(OffscreenDocumentWindow& window, bool smoothed)
        : picture_(PrecomputedPicture::of(window.model())), camera_(*window.view().camera()),
          smoothed_(smoothed) {}
    void operator()() const {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (smoothed_)
            camera_.smooth([this] { picture_.draw(); });
        else
            picture_.draw();
    }

private:
    PrecomputedPicture picture_;
    RVCamera& camera_;
    bool smoothed_;
};

bool isSmoothed(const Blowup& model) {
    return static_cast<unsigned>(model.antialiasing()) > 1;
}

// The view's frame (drawScene, replaying its recording) against the limit.
void BM_BlowupViewFrameAgainstLimit(benchmark::State& state) {
    auto window = OffscreenDocumentWindow::open(state);
    if (!window)
        return;
    BlowupView& view = window->view();
    pairWithLimit(
        state, [&view] { view.drawScene(); }, LimitFrame(*window, isSmoothed(window->model())));
    window->report(state);
}

// Frames drawn while the picture moves, as the view draws them (drawRect):
// the full frame drawn before has shown that smoothing is over the budget,
// so each is one pass; the limit is the one-pass limit.
void BM_BlowupViewPreviewAgainstLimit(benchmark::State& state) {
    auto window = OffscreenDocumentWindow::open(state);
    if (!window)
        return;
    BlowupView& view = window->view();
    warmUp([&view] { view.drawRect(); });
    view.beginInteraction();
    pairWithLimit(
        state, [&view] { view.drawRect(); }, LimitFrame(*window, false));
    state.counters["over budget"] =
        view.lastFullFrameSeconds() > view.frameBudget().previewAbove ? 1 : 0;
    view.endInteraction();
    window->report(state);
}

// The surface changes before every frame, as while the blow-up slider is
// dragged: the view draws it through the model, against the model drawing
// itself in immediate mode for every pass, as the view did before it
// recorded anything.
void BM_BlowupViewChangingAgainstModel(benchmark::State& state) {
    auto window = OffscreenDocumentWindow::open(state);
    if (!window)
        return;
    Blowup& model = window->model();
    RVCamera& camera = *window->view().camera();
    float blowup = 0.0f;
    const auto changeSurface = [&model, &blowup] {
        blowup = blowup > 1.0f ? 0.0f : blowup + 0.01f;
        model.setBlowup(blowup);
    };
    BlowupView& view = window->view();
    const auto frame = [&] {
        changeSurface();
        view.drawScene();
    };
    const auto modelDrawingItself = [&] {
        changeSurface();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (isSmoothed(model))
            camera.smooth([&model] { model.draw(); });
        else
            model.draw();
    };
    pairWithLimit(state, frame, modelDrawingItself);
    window->report(state);
}

// The bytes the process holds allocated, mapped blocks included.
double allocatedBytes() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

// Recording a surface and replaying it once, in place of a tiny one: the
// memory allocated afterwards beyond what was before is what the view holds
// for it. At the sliders' maxima the recording is a vertex buffer; the
// largest document accepted (meridians times resolution at its limit, with
// the most vertices) is beyond what feedback may hold, and is a display list.
void BM_BlowupViewRecord(benchmark::State& state) {
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

// Wall-clock time, since llvmpipe rasterises on threads of its own.
void measured(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgNames({"meridians", "resolution", "passes"});
    benchmark->Unit(benchmark::kMillisecond)->UseRealTime();
}

void frames(benchmark::internal::Benchmark* benchmark) {
    measured(benchmark);
    for (int passes : {1, 5}) {
        benchmark->Args({72, 34, passes});
        benchmark->Args({360, 360, passes});
    }
}

} // namespace

BENCHMARK(BM_BlowupViewFrameAgainstLimit)->Apply(frames);
BENCHMARK(BM_BlowupViewPreviewAgainstLimit)->Apply(measured)->Args({360, 360, 5});
BENCHMARK(BM_BlowupViewChangingAgainstModel)
    ->Apply(measured)
    ->Args({360, 360, 1})
    ->Args({360, 360, 5});
// Memory is the measure here: one recording per iteration is enough.
BENCHMARK(BM_BlowupViewRecord)
    ->Apply(measured)
    ->Args({360, 360, 1})
    ->Args({10, 100000, 1})
    ->Iterations(3);
