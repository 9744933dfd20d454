// vexmira-render's whole picture, in this process: the document, its window
// off screen (an OSMesa context of its own), the view prepared, the picture
// drawn and read back; writing the PNG file is left out. At 360 x 360 with
// the sliders' maxima and five passes, without camera options and with
// them, which must not draw the picture a second time.
// Parameter: whether the camera options are given.

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
    if (state.range(0)) {
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
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->ComputeStatistics("min", [](const std::vector<double>& times) {
        return *std::min_element(times.begin(), times.end());
    });
