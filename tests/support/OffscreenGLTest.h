#pragma once

#include "Platform/offscreen/OffscreenSurface.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace VexmiraTest {

// One vertex as OpenGL's feedback mode reports it: with the matrices of
// OffscreenGLTest::captureFeedback these are object coordinates.
struct FeedbackVertex {
    float x, y, z;
    float red, green, blue, alpha;
};

// One primitive of the feedback buffer, in the order it was rasterised.
struct FeedbackPrimitive {
    enum Kind { Point, Line, LineReset, Polygon, Bitmap, Pixels, PassThrough };
    Kind kind;
    std::vector<FeedbackVertex> vertices;
    float passThroughValue = 0; // for PassThrough
};

// Rebuilds connected polylines from line segments. Mesa reports every segment
// as a plain Line, so a segment continues the current polyline when it starts
// exactly where the previous one ended, and a LineReset or a jump starts a new
// one. A line strip of n vertices comes back as n vertices; a line loop of n
// vertices as n + 1 (it closes). Two strips that meet end to start merge.
std::vector<std::vector<FeedbackVertex>>
polylines(const std::vector<FeedbackPrimitive>& primitives);

// A GoogleTest fixture owning a current off-screen GL surface.
class OffscreenGLTest : public ::testing::Test {
public:
    // Half the size of the cube in which captureFeedback reports object coordinates.
    static constexpr double captureExtent = 64.0;

protected:
    // The surface size for the fixture; override by calling recreateSurface().
    static constexpr int defaultWidth = 64;
    static constexpr int defaultHeight = 64;

    void SetUp() override;
    void TearDown() override;

    Platform::OffscreenSurface& surface() { return *surface_; }
    void recreateSurface(int width, int height);

    // Runs draw once in feedback mode with a viewport and an orthographic
    // projection under which window coordinates equal object coordinates for
    // |x|, |y|, |z| < captureExtent; the modelview starts as the identity, so
    // a draw that multiplies it gets its transformed coordinates back.
    // Positions are exactly the floats OpenGL received, as long as draw
    // leaves texture unit 0 and the projection alone; otherwise they come
    // from the window coordinates, a few units in the last place off.
    // Matrices, viewport, texture and enable state are restored afterwards.
    std::vector<FeedbackPrimitive> captureFeedback(const std::function<void()>& draw);

    // The current colour as glGetFloatv reports it.
    static std::vector<float> currentColor();

    // The RGBA bytes at (x, y) of a top-down read-back, as 0xRRGGBBAA.
    std::uint32_t pixel(const std::vector<std::uint8_t>& pixels, int x, int y) const {
        return surface_->pixelAt(pixels, x, y);
    }

    // Fails the test on any pending GL error.
    static void expectNoGLError();

private:
    std::unique_ptr<Platform::OffscreenSurface> surface_;
};

} // namespace VexmiraTest
