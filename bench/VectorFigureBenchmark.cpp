// Vector figures of the blow-up through OpenGL feedback and gl2ps, by depth
// sort: the whole capture (the drawing in feedback mode, the sort and the
// writing of the file into memory) at the benchmark surface's size, seen from
// the side with the white circle open. Parameters: meridians, resolution
// (360/360 are the sliders' maxima), the depth sort (0 none, 1 simple,
// 2 BSP tree) and the format (0 SVG, 1 PDF, 2 EPS).

#include "Platform/image/VectorFigure.h"
#include "Vexmira/Blowup.h"
#include "bench/BenchSurface.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_VectorFigure(benchmark::State& state) {
    std::string error;
    if (!BenchSurface::shared(&error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    BenchSurface::lookFromTheSide();
    Blowup model;
    model.setMeridians(static_cast<int>(state.range(0)));
    model.setResolution(static_cast<int>(state.range(1)));
    model.setBlowup(0.7f);
    model.setImmersion(0.5f);
    Platform::VectorPage page;
    page.width = BenchSurface::width;
    page.height = BenchSurface::height;
    page.depthSort = static_cast<Platform::VectorDepthSort>(state.range(2));
    page.format = static_cast<Platform::VectorFormat>(state.range(3));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const auto figure = Platform::captureVectorFigure(
            page,
            [&model] {
                BenchSurface::clear();
                model.draw();
            },
            error);
        if (!figure) {
            state.SkipWithError(error.c_str());
            return;
        }
        bytes = figure->size();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void figures(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgNames({"meridians", "resolution", "sort", "format"});
    for (int format : {0, 1, 2})
        for (int sort : {0, 1, 2}) {
            benchmark->Args({72, 34, sort, format});
            benchmark->Args({360, 360, sort, format});
        }
    benchmark->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
}

} // namespace

BENCHMARK(BM_VectorFigure)->Apply(figures);
