#include "Vexmira/Blowup.h"
#include "support/OffscreenGLTest.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

using namespace VexmiraTest;

namespace {

// The half and quarter turn the picture is defined with (ten decimals of pi).
constexpr double P = 3.1415926535;
constexpr double H = 1.57079632675;

struct Color {
    double red, green, blue;
};

// The fully saturated, full-value colour of a hue, from the distance of the
// hue to the primaries on the colour circle (independent of the sector table).
Color hueColor(double hue) {
    const double h = std::fmod(std::fmod(hue, 360.0) + 360.0, 360.0) / 60.0;
    auto clamp = [](double v) { return std::clamp(v, 0.0, 1.0); };
    return {clamp(std::fabs(h - 3.0) - 1.0), clamp(2.0 - std::fabs(h - 2.0)),
            clamp(2.0 - std::fabs(h - 4.0))};
}

bool isWhite(const FeedbackVertex& v) {
    return v.red == 1.0f && v.green == 1.0f && v.blue == 1.0f;
}

// What one draw() sent, split into the line strip and the line loop. Every
// strip vertex has a hue with a zero component, every loop vertex is white,
// so the segments sort themselves by colour.
struct Drawing {
    std::vector<FeedbackVertex> strip;
    std::vector<FeedbackVertex> loop;
    std::size_t loopSegments = 0;
    bool stripBeforeLoop = true;
};

class BlowupDrawing : public OffscreenGLTest {
protected:
    Blowup model;

    void setParameters(float blowup, float immersion, int meridians, int resolution) {
        model.setBlowup(blowup);
        model.setImmersion(immersion);
        model.setMeridians(meridians);
        model.setResolution(resolution);
    }

    Drawing capture() {
        Drawing drawing;
        bool loopStarted = false;
        for (const auto& primitive : captureFeedback([&] { model.draw(); })) {
            EXPECT_EQ(primitive.kind, FeedbackPrimitive::Line);
            if (primitive.vertices.size() != 2)
                continue;
            const auto& from = primitive.vertices[0];
            const auto& to = primitive.vertices[1];
            if (isWhite(from) && isWhite(to)) {
                loopStarted = true;
                ++drawing.loopSegments;
                drawing.loop.push_back(from);
                continue;
            }
            if (loopStarted)
                drawing.stripBeforeLoop = false;
            if (drawing.strip.empty())
                drawing.strip.push_back(from);
            else
                EXPECT_TRUE(samePlace(drawing.strip.back(), from)) << "the strip is broken";
            drawing.strip.push_back(to);
        }
        expectNoGLError();
        return drawing;
    }

    static bool samePlace(const FeedbackVertex& a, const FeedbackVertex& b) {
        return a.x == b.x && a.y == b.y && a.z == b.z;
    }

    // The strip vertex of the meridian drawn in position `order` (0 is
    // meridian M - 1) at step j: each meridian takes 2R places, its lower
    // pole first, then j = 2R - 1 down to 1.
    static const FeedbackVertex& stripVertex(const Drawing& drawing, int order, int j,
                                             int resolution) {
        return drawing.strip.at(static_cast<std::size_t>(order) * 2 * resolution +
                                (2 * resolution - j));
    }

    static void expectAt(const FeedbackVertex& v, double x, double y, double z, double tolerance) {
        EXPECT_NEAR(v.x, x, tolerance);
        EXPECT_NEAR(v.y, y, tolerance);
        EXPECT_NEAR(v.z, z, tolerance);
    }

    static void expectColor(const std::vector<float>& rgb, Color expected, double tolerance) {
        EXPECT_NEAR(rgb[0], expected.red, tolerance);
        EXPECT_NEAR(rgb[1], expected.green, tolerance);
        EXPECT_NEAR(rgb[2], expected.blue, tolerance);
    }
};

// True when p lies on the white circle of the given radius around the upper
// pole, in the vertical plane at azimuth `immersion`.
::testing::AssertionResult onExceptionalCircle(const FeedbackVertex& p, double radius,
                                               double immersion) {
    const double fromCentre =
        std::sqrt(double(p.x) * p.x + double(p.y) * p.y + (double(p.z) - 1.0) * (p.z - 1.0));
    const double offPlane = double(p.x) * std::sin(immersion) - double(p.y) * std::cos(immersion);
    if (std::fabs(fromCentre - radius) > 2e-6 || std::fabs(offPlane) > 2e-6)
        return ::testing::AssertionFailure()
               << "(" << p.x << ", " << p.y << ", " << p.z << ") is " << fromCentre
               << " from the upper pole and " << offPlane << " off the circle's plane";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST_F(BlowupDrawing, DefaultPictureIsGreatCirclesOnTheUnitSphere) {
    GLfloat modelviewBefore[16], modelviewAfter[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelviewBefore);
    glColor3f(0.25f, 0.5f, 0.75f);

    const Drawing drawing = capture();

    ASSERT_EQ(drawing.strip.size(), 4897u); // 2 x 72 x 34 + 1
    EXPECT_TRUE(drawing.stripBeforeLoop);
    for (std::size_t k = 0; k < drawing.strip.size(); ++k) {
        const auto& v = drawing.strip[k];
        const double radius = std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
        ASSERT_NEAR(radius, 1.0, 3e-7) << "vertex " << k;
        if (k % 68 == 0) {
            ASSERT_TRUE(v.x == 0 && v.y == 0 && v.z == -1) << "lower pole expected at " << k;
        }
    }
    // Every meridian i is the great circle at azimuth i x P / M.
    for (int order = 0; order < 72; ++order) {
        const double theta = (71 - order) * P / 72;
        for (int j = 1; j < 68; j += 11) {
            const double t = j * P / 34 - H;
            expectAt(stripVertex(drawing, order, j, 34), std::cos(t) * std::cos(theta),
                     std::cos(t) * std::sin(theta), std::sin(t), 3e-7);
        }
    }
    ASSERT_EQ(drawing.loop.size(), 68u);
    for (const auto& v : drawing.loop)
        EXPECT_TRUE(v.x == 0 && v.y == 0 && v.z == 1);

    EXPECT_EQ(currentColor(), (std::vector<float>{1, 1, 1, 1}));
    glGetFloatv(GL_MODELVIEW_MATRIX, modelviewAfter);
    EXPECT_TRUE(std::equal(modelviewAfter, modelviewAfter + 16, modelviewBefore));
}

TEST_F(BlowupDrawing, UnblownMeridiansAreRoundedGreatCirclesBitForBit) {
    // Without blow-up a point is (cos t, 0, sin t) rounded to float, then
    // turned by theta in double and rounded again: nothing else may round.
    setParameters(0.0f, 0.0f, 5, 7);
    const Drawing drawing = capture();
    ASSERT_EQ(drawing.strip.size(), 71u);
    for (int order = 0; order < 5; ++order) {
        const double theta = static_cast<double>(4 - order) / 5 * P;
        for (int j = 1; j < 14; ++j) {
            const double t = j * P / 7 - H;
            const float x = static_cast<float>(std::cos(t));
            const auto& v = stripVertex(drawing, order, j, 7);
            EXPECT_EQ(v.x, static_cast<float>(x * std::cos(theta))) << order << ", " << j;
            EXPECT_EQ(v.y, static_cast<float>(x * std::sin(theta))) << order << ", " << j;
            EXPECT_EQ(v.z, static_cast<float>(std::sin(t))) << order << ", " << j;
        }
    }
}

TEST_F(BlowupDrawing, EachMeridianHasItsHueAndMeridianZeroIsRed) {
    const Drawing drawing = capture();
    ASSERT_EQ(drawing.strip.size(), 4897u);
    for (std::size_t k = 0; k + 1 < drawing.strip.size(); ++k) {
        const int meridian = 71 - static_cast<int>(k / 68);
        const auto& v = drawing.strip[k];
        expectColor({v.red, v.green, v.blue}, hueColor(meridian * 5.0), 1e-6);
    }
    for (std::size_t k = drawing.strip.size() - 68; k < drawing.strip.size(); ++k) {
        const auto& v = drawing.strip[k];
        EXPECT_TRUE(v.red == 1 && v.green == 0 && v.blue == 0) << "vertex " << k;
    }
}

TEST_F(BlowupDrawing, UsesTheTenDecimalHalfTurnNotTheLibrarysPi) {
    // At the top of a meridian cos t is the cosine of P - H, about 4.5e-11;
    // with full-precision pi it would be about 6e-17.
    setParameters(0.0f, 0.0f, 1, 34);
    const Drawing top = capture();
    const float expectedTop = static_cast<float>(std::cos(P - H));
    EXPECT_NEAR(stripVertex(top, 0, 34, 34).x, expectedTop, 1e-4 * expectedTop);

    // Meridian 1 of 2 sits at azimuth P / 2: its equator point has x = cos(P / 2).
    setParameters(0.0f, 0.0f, 2, 2);
    const Drawing half = capture();
    const float expectedAzimuth = static_cast<float>(std::cos(P / 2));
    EXPECT_NEAR(stripVertex(half, 0, 1, 2).x, expectedAzimuth, 1e-4 * expectedAzimuth);
}

TEST_F(BlowupDrawing, BlownUpMeridiansEndOnTheWhiteCircle) {
    setParameters(0.5f, 0.3f, 4, 4);
    const Drawing drawing = capture();
    ASSERT_EQ(drawing.strip.size(), 33u);
    ASSERT_EQ(drawing.loop.size(), 8u);
    EXPECT_EQ(drawing.loopSegments, 8u);

    // The worked values at j = 4 for meridian 3 (drawn first) and meridian 0 (last).
    expectAt(stripVertex(drawing, 0, 4, 4), -0.26971, -0.08343, 0.58733, 1e-5);
    expectAt(stripVertex(drawing, 3, 4, 4), 0.39424, 0.12195, 0.71768, 1e-5);

    for (int order = 0; order < 4; ++order) {
        EXPECT_TRUE(onExceptionalCircle(stripVertex(drawing, order, 4, 4), 0.5, 0.3));
        EXPECT_TRUE(samePlace(drawing.strip[order * 8], drawing.strip.back()));
        // The displacement grows with height: near the lower pole the meridian
        // keeps to the unit sphere's great circle.
        const auto& low = stripVertex(drawing, order, 7, 4);
        const double radius =
            std::sqrt(double(low.x) * low.x + double(low.y) * low.y + double(low.z) * low.z);
        EXPECT_NEAR(radius, 1.0, 0.5 * 0.5 * (1 + std::sin(7 * P / 4 - H)) + 1e-6);
    }
    // The loop runs from j = 7 down to 0 around the circle.
    for (int k = 0; k < 8; ++k) {
        const auto& v = drawing.loop[k];
        EXPECT_TRUE(onExceptionalCircle(v, 0.5, 0.3)) << "loop vertex " << k;
        const double t = (7 - k) * P / 4 - H;
        EXPECT_NEAR(v.z, 1.0 + 0.5 * std::sin(t), 1e-6);
    }
    EXPECT_EQ(currentColor(), (std::vector<float>{1, 1, 1, 1}));
}

TEST_F(BlowupDrawing, MeridianTopsGoOnceAroundTheCircle) {
    // With many meridians the tops, turned by twice (immersion - theta), visit
    // every quarter of the white circle.
    setParameters(0.8f, -1.1f, 16, 6);
    const Drawing drawing = capture();
    ASSERT_EQ(drawing.strip.size(), 2u * 16 * 6 + 1);
    std::array<int, 4> quarters{};
    for (int order = 0; order < 16; ++order) {
        const auto& top = stripVertex(drawing, order, 6, 6);
        EXPECT_TRUE(onExceptionalCircle(top, 0.8, -1.1));
        const double along = top.x * std::cos(-1.1) + top.y * std::sin(-1.1);
        const double angle = std::atan2(double(top.z) - 1.0, along);
        ++quarters[static_cast<int>(std::floor((angle + M_PI) / (M_PI / 2))) % 4];
    }
    for (int count : quarters)
        EXPECT_EQ(count, 4);
}

TEST_F(BlowupDrawing, NoMeridiansLeaveOnlyTheWhiteLoop) {
    for (int meridians : {0, -3, INT_MIN}) {
        SCOPED_TRACE(meridians);
        setParameters(0.25f, 0.0f, meridians, 5);
        glColor3f(0, 0, 0);
        const Drawing drawing = capture();
        EXPECT_TRUE(drawing.strip.empty()); // one lone vertex draws no segment
        ASSERT_EQ(drawing.loop.size(), 10u);
        for (const auto& v : drawing.loop)
            EXPECT_TRUE(onExceptionalCircle(v, 0.25, 0.0));
        EXPECT_EQ(currentColor(), (std::vector<float>{1, 1, 1, 1}));
    }
}

TEST_F(BlowupDrawing, NoResolutionLeavesOnlyLowerPoles) {
    for (int resolution : {0, -2, INT_MIN}) {
        SCOPED_TRACE(resolution);
        setParameters(0.5f, 0.3f, 3, resolution);
        const auto primitives = captureFeedback([&] { model.draw(); });
        expectNoGLError();
        for (const auto& primitive : primitives)
            for (const auto& v : primitive.vertices) {
                EXPECT_TRUE(v.x == 0 && v.y == 0 && v.z == -1);
                EXPECT_FALSE(isWhite(v)) << "the loop has no vertices";
            }
        EXPECT_EQ(currentColor(), (std::vector<float>{1, 1, 1, 1}));
    }
}

TEST_F(BlowupDrawing, OneMeridianIsRedInThePlaneYZero) {
    setParameters(0.6f, 0.0f, 1, 7);
    const Drawing drawing = capture();
    ASSERT_EQ(drawing.strip.size(), 15u);
    for (const auto& v : drawing.strip) {
        EXPECT_EQ(v.y, 0.0f);
        EXPECT_TRUE(v.red == 1 && v.green == 0 && v.blue == 0);
    }
    EXPECT_TRUE(onExceptionalCircle(stripVertex(drawing, 0, 7, 7), 0.6, 0.0));
}

TEST_F(BlowupDrawing, HuesGoAroundTheColourCircle) {
    struct Case {
        float hue;
        Color color;
    };
    const Case cases[] = {
        {0.0f, {1, 0, 0}},     {360.0f, {1, 0, 0}},     {-60.0f, {1, 0, 1}},
        {300.0f, {1, 0, 1}},   {90.0f, {0.5, 1, 0}},    {120.0f, {0, 1, 0}},
        {240.0f, {0, 0, 1}},   {30.0f, {1, 0.5, 0}},    {210.0f, {0, 0.5, 1}},
        {270.0f, {0.5, 0, 1}}, {720.5f, hueColor(0.5)}, {-1000.0f, hueColor(80)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hue);
        model.setHue(c.hue);
        expectColor(currentColor(), c.color, 1e-6);
    }
}

TEST_F(BlowupDrawing, OddHuesStillGiveAColourAtOnce) {
    // Just below zero the turn rounds up to 360 in float: still red, not magenta.
    model.setHue(-1e-10f);
    expectColor(currentColor(), {1, 0, 0}, 1e-6);
    // Huge hues are reduced by whole turns instead of one turn at a time.
    model.setHue(1e30f);
    expectColor(currentColor(), hueColor(std::fmod(double(1e30f), 360.0)), 1e-5);
    model.setHue(-3e9f);
    expectColor(currentColor(), hueColor(std::fmod(-3e9, 360.0)), 1e-5);
    for (float notFinite : {INFINITY, -INFINITY, NAN}) {
        model.setHue(notFinite);
        expectColor(currentColor(), {1, 0, 0}, 0);
    }
}

namespace {

struct SidePicture {
    int red = 0, green = 0, blue = 0;
    int topRow = -1, bottomRow = -1;        // rows with any lit pixel, counted from the top
    std::vector<std::pair<int, int>> white; // (x, y from the top)
};

} // namespace

class BlowupPicture : public BlowupDrawing {
protected:
    static constexpr int size = 200;

    // Draws the model seen from the side, the z axis pointing up, the unit
    // sphere filling 0.8 of the picture, and classifies the pixels.
    SidePicture drawFromTheSide() {
        recreateSurface(size, size);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1.25, 1.25, -1.25, 1.25, 1, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(4, 3, 0, 0, 0, 0, 0, 0, 1);
        model.draw();
        expectNoGLError();

        SidePicture picture;
        const auto pixels = surface().readPixels();
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const std::uint32_t p = pixel(pixels, x, y);
                const int r = p >> 24, g = (p >> 16) & 0xff, b = (p >> 8) & 0xff;
                picture.red += r > 200 && g < 60 && b < 60;
                picture.green += g > 200 && r < 60 && b < 60;
                picture.blue += b > 200 && r < 60 && g < 60;
                if (r == 255 && g == 255 && b == 255)
                    picture.white.emplace_back(x, y);
                if (r + g + b > 0) {
                    if (picture.topRow < 0)
                        picture.topRow = y;
                    picture.bottomRow = y;
                }
            }
        return picture;
    }

    // The upper pole lies 1 / 1.25 of the half height above the centre.
    static constexpr int upperPoleRow = size / 10;
    static constexpr int lowerPoleRow = size - size / 10;
};

TEST_F(BlowupPicture, DefaultsSeenFromTheSideShowEveryHueFromPoleToPole) {
    const SidePicture picture = drawFromTheSide();
    EXPECT_GT(picture.red, 20);
    EXPECT_GT(picture.green, 20);
    EXPECT_GT(picture.blue, 20);
    EXPECT_NEAR(picture.topRow, upperPoleRow, 1);
    EXPECT_NEAR(picture.bottomRow, lowerPoleRow, 1);
    // With no blow-up the white loop is a single point at the upper pole.
    // Mesa rasterises zero-length lines to nothing, so it may not show;
    // where it does, it is at the top.
    for (const auto& [x, y] : picture.white) {
        EXPECT_NEAR(x, size / 2, 1);
        EXPECT_NEAR(y, upperPoleRow, 1);
    }
}

TEST_F(BlowupPicture, TheWhiteCircleSitsOnTopOfTheRows) {
    // A small blow-up opens the point into a circle of radius 0.05, 4 pixels.
    model.setBlowup(0.05f);
    const SidePicture picture = drawFromTheSide();
    ASSERT_GT(picture.white.size(), 3u) << "the white circle is missing";
    for (const auto& [x, y] : picture.white) {
        EXPECT_NEAR(x, size / 2, 5);
        EXPECT_NEAR(y, upperPoleRow, 5);
    }
}
