#pragma once

#include "Platform/offscreen/OffscreenSurface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace VexmiraTest {

// One vertex of OpenGL's feedback buffer; under captureFeedback, object coordinates.
struct FeedbackVertex {
    float x, y, z, red, green, blue, alpha;
};

struct FeedbackPrimitive {
    enum Kind { Point, Line, LineReset, Polygon, Bitmap, Pixels, PassThrough };
    Kind kind;
    std::vector<FeedbackVertex> vertices;
};

// Joins Mesa's separate line segments into polylines; a loop of n vertices gives n + 1.
std::vector<std::vector<FeedbackVertex>>
polylines(const std::vector<FeedbackPrimitive>& primitives);

// A GoogleTest fixture owning a current off-screen GL surface.
class OffscreenGLTest : public ::testing::Test {
protected:
    void SetUp() override { recreateSurface(64, 64); }
    // The surface goes with the base, after the derived fixtures' members, so that the GL objects
    // they hold are deleted while their context is still current.

    Platform::OffscreenSurface& surface() { return *surface_; }
    void recreateSurface(int width, int height);

    // Runs draw once in feedback mode from an identity modelview and returns the floats OpenGL
    // received (a few ulps off if draw disables texturing); GL state is restored afterwards.
    std::vector<FeedbackPrimitive> captureFeedback(const std::function<void()>& draw);

    static std::vector<float> currentColor();
    // The RGBA bytes at (x, y) of a top-down read-back, as 0xRRGGBBAA.
    std::uint32_t pixel(const std::vector<std::uint8_t>& pixels, int x, int y) const {
        const std::uint8_t* p = &pixels.at((std::size_t(y) * surface_->width() + x) * 4);
        return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
    }
    static void expectNoGLError();

private:
    std::unique_ptr<Platform::OffscreenSurface> surface_;
};

} // namespace VexmiraTest
