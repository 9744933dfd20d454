// vexmira-render's whole picture, in this process: the document, its window
// off screen (an OSMesa context of its own), the view prepared, the picture
// drawn and read back; writing the PNG file is left out. At 360 x 360 with
// the sliders' maxima and five passes: without camera options; with all four
// given at the values a new window starts with, the same picture, which the
// options must not make dearer (by drawing it a second time, say); and seen
// from the side, a picture of its own.
// Parameter: no camera options (0), the starting camera given (1), the side (2).

#include "Vexmira/MyDocumentLayout.h"
#include "tools/vexmira-render/HeadlessRenderer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

void BM_Render(benchmark::State& state) {
    MyDocumentLayout::registerLayout();
    RenderOptions options;
    options.width = options.height = 360;
    options.meridians = options.resolution = 360;
    options.passes = 5;
    if (state.range(0) == 1) {
        options.azimuth = options.elevation = options.twist = 0.0f;
        options.targetZ = 1.0f;
    } else if (state.range(0) == 2) {
        options.azimuth = 300.0f;
        options.elevation = 60.0f;
        options.targetZ = 0.3f;
    }
    for (auto _ : state) {
        std::string error;
        const auto image = HeadlessRenderer::render(options, error);
        if (!image) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(image->rgba.data());
    }
}

} // namespace

BENCHMARK(BM_Render)
    ->ArgName("camera")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->ComputeStatistics("min", [](const std::vector<double>& times) {
        return *std::min_element(times.begin(), times.end());
    });
