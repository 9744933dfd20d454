// Blowup::draw against its limit. draw() recomputes every point of every
// meridian each frame in immediate mode; the limit draws the same vertices
// and colours (equal up to float rounding, covering the same pixels),
// computed once beforehand, from vertex arrays in the same context. The gap
// is what caching the geometry could ever win. Times are wall-clock:
// llvmpipe rasterises on threads of its own.
// Parameters: meridians, resolution (72/34 are a new document's defaults,
// 360/360 the sliders' maxima).

#include "Vexmira/Blowup.h"
#include "bench/BenchSurface.h"
#include "bench/PrecomputedPicture.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// The surface made current and the view set up, or false with the benchmark
// skipped and the reason given.
bool prepare(benchmark::State& state) {
    std::string error;
    if (!BenchSurface::shared(&error)) {
        state.SkipWithError(error.c_str());
        return false;
    }
    BenchSurface::lookFromTheSide();
    return true;
}

void configure(Blowup& model, const benchmark::State& state) {
    model.setMeridians(static_cast<int>(state.range(0)));
    model.setResolution(static_cast<int>(state.range(1)));
}

void reportVertices(benchmark::State& state, const Blowup& model) {
    state.SetItemsProcessed(state.iterations() * model.verticesDrawn());
    if (glGetError() != GL_NO_ERROR)
        state.SkipWithError("OpenGL reported an error");
}

void BM_BlowupDraw(benchmark::State& state) {
    if (!prepare(state))
        return;
    Blowup model;
    configure(model, state);
    for (auto _ : state) {
        BenchSurface::clear();
        model.draw();
        glFinish();
    }
    reportVertices(state, model);
}

void BM_BlowupDrawLimit(benchmark::State& state) {
    if (!prepare(state))
        return;
    Blowup model;
    configure(model, state);
    const PrecomputedPicture picture = PrecomputedPicture::of(model);
    for (auto _ : state) {
        BenchSurface::clear();
        picture.draw();
        glFinish();
    }
    reportVertices(state, model);
}

} // namespace

BENCHMARK(BM_BlowupDraw)
    ->Args({72, 34})
    ->Args({360, 360})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_BlowupDrawLimit)
    ->Args({72, 34})
    ->Args({360, 360})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
