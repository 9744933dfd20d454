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

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// Positions and colours of one picture, ready for glDrawArrays.
struct PrecomputedPicture {
    std::vector<float> stripPositions, stripColors; // 3 floats per vertex each
    std::vector<float> loopPositions;               // the loop is all white

    int stripVertices() const { return static_cast<int>(stripPositions.size() / 3); }
    int loopVertices() const { return static_cast<int>(loopPositions.size() / 3); }
};

// The fully saturated colour of a hue in [0, 360).
void appendHue(std::vector<float>& colors, double hue) {
    const double h = hue / 60.0;
    const int sector = static_cast<int>(std::floor(h));
    const float f = static_cast<float>(h - sector), q = 1.0f - f;
    const float table[6][3] = {{1, f, 0}, {q, 1, 0}, {0, 1, f}, {0, q, 1}, {f, 0, 1}, {1, 0, q}};
    colors.insert(colors.end(), table[sector % 6], table[sector % 6] + 3);
}

void append(std::vector<float>& to, double x, double y, double z) {
    to.insert(to.end(), {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)});
}

// The picture of `model`: meridian i is the circle at azimuth i x P / M,
// its upper half pulled towards the white circle of radius blowup around
// the upper pole, in the order and colours draw() sends them.
PrecomputedPicture precompute(const Blowup& model) {
    constexpr double P = 3.1415926535, H = 1.57079632675;
    const double beta = model.blowup(), iota = model.immersion();
    const int M = model.meridians(), R = model.resolution();
    PrecomputedPicture picture;
    for (int i = M - 1; i >= 0; --i) {
        const double s = double(i) / M, theta = s * P, delta = iota - theta;
        const double a = beta * std::cos(delta) * std::cos(2 * delta);
        const double b = beta * std::sin(delta) * std::cos(2 * delta);
        const double c = -beta * std::sin(2 * delta);
        for (int j = 2 * R; j >= 1; --j) {
            const double t = j * P / R - H, w = (std::sin(t) + 1) / 2;
            const double x = a * w + std::cos(t), y = b * w, z = c * w + std::sin(t);
            if (j == 2 * R)
                append(picture.stripPositions, 0, 0, -1);
            else
                append(picture.stripPositions, x * std::cos(theta) - y * std::sin(theta),
                       x * std::sin(theta) + y * std::cos(theta), z);
            appendHue(picture.stripColors, s * 360.0);
        }
    }
    append(picture.stripPositions, 0, 0, -1);
    appendHue(picture.stripColors, 0.0);
    for (int j = 2 * R - 1; j >= 0; --j) {
        const double t = j * P / R - H;
        append(picture.loopPositions, beta * std::cos(t) * std::cos(iota),
               beta * std::cos(t) * std::sin(iota), beta * std::sin(t) + 1);
    }
    return picture;
}

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
    const long long M = model.meridians(), R = model.resolution();
    state.SetItemsProcessed(state.iterations() * (2 * M * R + 1 + 2 * R));
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
    const PrecomputedPicture picture = precompute(model);
    glEnableClientState(GL_VERTEX_ARRAY);
    for (auto _ : state) {
        BenchSurface::clear();
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, picture.stripPositions.data());
        glColorPointer(3, GL_FLOAT, 0, picture.stripColors.data());
        glDrawArrays(GL_LINE_STRIP, 0, picture.stripVertices());
        glDisableClientState(GL_COLOR_ARRAY);
        glColor3f(1.0f, 1.0f, 1.0f);
        glVertexPointer(3, GL_FLOAT, 0, picture.loopPositions.data());
        glDrawArrays(GL_LINE_LOOP, 0, picture.loopVertices());
        glFinish();
    }
    glDisableClientState(GL_VERTEX_ARRAY);
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
