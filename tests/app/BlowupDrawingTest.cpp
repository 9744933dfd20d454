#include "Vexmira/Blowup.h"
#include "support/OffscreenGLTest.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

using namespace VexmiraTest;

namespace {

// The half and quarter turn the picture is defined with (ten decimals of pi).
constexpr double P = 3.1415926535;
constexpr double H = 1.57079632675;

// The saturated colour of a hue from its distance to the primaries on the colour circle.
std::vector<float> hueColor(double hue) {
    const double h = std::fmod(std::fmod(hue, 360.0) + 360.0, 360.0) / 60.0;
    auto clamp = [](double v) { return float(std::clamp(v, 0.0, 1.0)); };
    return {clamp(std::fabs(h - 3) - 1), clamp(2 - std::fabs(h - 2)), clamp(2 - std::fabs(h - 4))};
}

void expectColor(const std::vector<float>& rgb, const std::vector<float>& expected, double error) {
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(rgb[k], expected[k], error) << "component " << k;
}

bool isWhite(const FeedbackVertex& v) {
    return v.red == 1 && v.green == 1 && v.blue == 1;
}
bool samePlace(const FeedbackVertex& a, const FeedbackVertex& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
double length(double x, double y, double z) {
    return std::sqrt(x * x + y * y + z * z);
}

// True when p lies on the white circle of this radius around the upper pole, in the vertical
// plane at azimuth `immersion`.
::testing::AssertionResult onWhiteCircle(const FeedbackVertex& p, double radius, double immersion) {
    const double fromPole = length(p.x, p.y, p.z - 1.0);
    const double offPlane = p.x * std::sin(immersion) - p.y * std::cos(immersion);
    if (std::fabs(fromPole - radius) <= 2e-6 && std::fabs(offPlane) <= 2e-6)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << p.x << ", " << p.y << ", " << p.z << ") is "
                                         << fromPole << " from the pole, " << offPlane << " off";
}

// One draw(): the coloured line strip, then the white loop (one vertex per segment).
struct Drawing {
    std::vector<FeedbackVertex> strip, loop;

    // The vertex of the meridian drawn `order`th (meridian M - 1 first) at step j: each
    // meridian takes 2R places, its lower pole first, then j = 2R - 1 down to 1.
    const FeedbackVertex& at(int order, int j, int resolution) const {
        return strip.at(static_cast<std::size_t>(order) * 2 * resolution + 2 * resolution - j);
    }
};

class BlowupDrawing : public OffscreenGLTest {
protected:
    Blowup model;

    Drawing capture(float blowup, float immersion, int meridians, int resolution) {
        model.setBlowup(blowup);
        model.setImmersion(immersion);
        model.setMeridians(meridians);
        model.setResolution(resolution);
        glColor3f(0.25f, 0.5f, 0.75f);
        Drawing drawing;
        for (const auto& primitive : captureFeedback([&] { model.draw(); })) {
            EXPECT_EQ(primitive.kind, FeedbackPrimitive::Line);
            const FeedbackVertex& from = primitive.vertices.at(0);
            const FeedbackVertex& to = primitive.vertices.at(1);
            if (isWhite(from) && isWhite(to)) {
                drawing.loop.push_back(from);
                continue;
            }
            EXPECT_TRUE(drawing.loop.empty()) << "the strip comes before the loop";
            if (drawing.strip.empty())
                drawing.strip.push_back(from);
            EXPECT_TRUE(samePlace(drawing.strip.back(), from)) << "the strip is broken";
            drawing.strip.push_back(to);
        }
        expectNoGLError();
        EXPECT_EQ(currentColor(), (std::vector<float>{1, 1, 1, 1}));
        return drawing;
    }
};

} // namespace

TEST_F(BlowupDrawing, DefaultPictureIsGreatCirclesInTheHuesOfTheirMeridians) {
    GLfloat modelviewBefore[16], modelviewAfter[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelviewBefore);
    const Drawing drawing = capture(0, 0, 72, 34);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelviewAfter);
    EXPECT_TRUE(std::equal(modelviewAfter, modelviewAfter + 16, modelviewBefore));

    ASSERT_EQ(drawing.strip.size(), 4897u); // 2 x 72 x 34 + 1
    for (std::size_t k = 0; k < drawing.strip.size(); ++k) {
        const auto& v = drawing.strip[k];
        ASSERT_NEAR(length(v.x, v.y, v.z), 1.0, 3e-7) << "vertex " << k;
        ASSERT_TRUE(k % 68 != 0 || (v.x == 0 && v.y == 0 && v.z == -1)) << "lower pole " << k;
        if (k + 1 < drawing.strip.size()) // meridian 0, drawn last, is red
            expectColor({v.red, v.green, v.blue}, hueColor((71 - int(k / 68)) * 5.0), 1e-6);
    }
    for (int order = 0; order < 72; ++order) { // meridian i is the great circle at i P / M
        const double theta = (71 - order) * P / 72;
        for (int j = 1; j < 68; j += 11) {
            const double t = j * P / 34 - H;
            const auto& v = drawing.at(order, j, 34);
            EXPECT_NEAR(v.x, std::cos(t) * std::cos(theta), 3e-7);
            EXPECT_NEAR(v.y, std::cos(t) * std::sin(theta), 3e-7);
            EXPECT_NEAR(v.z, std::sin(t), 3e-7);
        }
    }
    ASSERT_EQ(drawing.loop.size(), 68u);
    for (const auto& v : drawing.loop)
        EXPECT_TRUE(v.x == 0 && v.y == 0 && v.z == 1);
}

TEST_F(BlowupDrawing, UnblownMeridiansRoundExactlyWhereTheyShould) {
    // (cos t, 0, sin t) rounded to float, turned by theta in double, rounded again. At the top
    // (j = 7) cos(P - H) is about 4.5e-11, where the library's pi would give 6e-17.
    const Drawing drawing = capture(0, 0, 5, 7);
    ASSERT_EQ(drawing.strip.size(), 71u);
    for (int order = 0; order < 5; ++order) {
        const double theta = static_cast<double>(4 - order) / 5 * P;
        for (int j = 1; j < 14; ++j) {
            SCOPED_TRACE(::testing::Message() << order << ", " << j);
            const double t = j * P / 7 - H;
            const float x = static_cast<float>(std::cos(t));
            const auto& v = drawing.at(order, j, 7);
            EXPECT_EQ(v.x, static_cast<float>(x * std::cos(theta)));
            EXPECT_EQ(v.y, static_cast<float>(x * std::sin(theta)));
            EXPECT_EQ(v.z, static_cast<float>(std::sin(t)));
        }
    }
}

TEST_F(BlowupDrawing, BlownUpMeridiansEndOnTheWhiteCircle) {
    const Drawing drawing = capture(0.5f, 0.3f, 4, 4);
    ASSERT_EQ(drawing.strip.size(), 33u);
    ASSERT_EQ(drawing.loop.size(), 8u);
    // The worked values at j = 4 for meridian 3 (drawn first) and meridian 0 (last).
    const double worked[2][3] = {{-0.26971, -0.08343, 0.58733}, {0.39424, 0.12195, 0.71768}};
    for (int k = 0; k < 2; ++k) {
        const auto& v = drawing.at(3 * k, 4, 4);
        EXPECT_NEAR(v.x, worked[k][0], 1e-5);
        EXPECT_NEAR(v.y, worked[k][1], 1e-5);
        EXPECT_NEAR(v.z, worked[k][2], 1e-5);
    }
    for (int order = 0; order < 4; ++order) {
        EXPECT_TRUE(onWhiteCircle(drawing.at(order, 4, 4), 0.5, 0.3));
        EXPECT_TRUE(samePlace(drawing.strip[order * 8], drawing.strip.back()));
        // Near the lower pole the meridian keeps close to the unit sphere.
        const auto& low = drawing.at(order, 7, 4);
        EXPECT_NEAR(length(low.x, low.y, low.z), 1.0, 0.25 * (1 + std::sin(7 * P / 4 - H)) + 1e-6);
    }
    for (int k = 0; k < 8; ++k) { // the loop runs from j = 7 down to 0 around the circle
        EXPECT_TRUE(onWhiteCircle(drawing.loop[k], 0.5, 0.3)) << "loop vertex " << k;
        EXPECT_NEAR(drawing.loop[k].z, 1.0 + 0.5 * std::sin((7 - k) * P / 4 - H), 1e-6);
    }
}

TEST_F(BlowupDrawing, FewOrNoMeridiansOrStepsDrawWhatIsLeft) {
    for (int meridians : {0, -3, INT_MIN}) { // only the white loop
        SCOPED_TRACE(meridians);
        const Drawing drawing = capture(0.25f, 0, meridians, 5);
        EXPECT_TRUE(drawing.strip.empty());
        ASSERT_EQ(drawing.loop.size(), 10u);
        for (const auto& v : drawing.loop)
            EXPECT_TRUE(onWhiteCircle(v, 0.25, 0.0));
    }
    model.setMeridians(3);
    model.setBlowup(0.5f);
    for (int resolution : {0, -2, INT_MIN}) { // only lower poles, no loop
        SCOPED_TRACE(resolution);
        model.setResolution(resolution);
        for (const auto& primitive : captureFeedback([&] { model.draw(); }))
            for (const auto& v : primitive.vertices)
                EXPECT_TRUE(v.x == 0 && v.y == 0 && v.z == -1 && !isWhite(v));
        expectNoGLError();
        EXPECT_EQ(currentColor(), (std::vector<float>{1, 1, 1, 1}));
    }
    const Drawing one = capture(0.6f, 0, 1, 7);
    ASSERT_EQ(one.strip.size(), 15u);
    for (const auto& v : one.strip)
        EXPECT_TRUE(v.y == 0 && v.red == 1 && v.green == 0 && v.blue == 0);
    EXPECT_TRUE(onWhiteCircle(one.at(0, 7, 7), 0.6, 0.0));
}

TEST_F(BlowupDrawing, HuesGoAroundTheColourCircleWhateverTheirSize) {
    const struct {
        float hue;
        std::vector<float> color;
        double error;
    } cases[] = {
        {0, {1, 0, 0}, 1e-6},
        {360, {1, 0, 0}, 1e-6},
        {-60, {1, 0, 1}, 1e-6},
        {90, {0.5, 1, 0}, 1e-6},
        {120, {0, 1, 0}, 1e-6},
        {240, {0, 0, 1}, 1e-6},
        {30, {1, 0.5, 0}, 1e-6},
        {210, {0, 0.5, 1}, 1e-6},
        {270, {0.5, 0, 1}, 1e-6},
        {720.5f, hueColor(0.5), 1e-6},
        {-1000, hueColor(80), 1e-6},
        {-1e-10f, {1, 0, 0}, 1e-6}, // rounds up to a whole turn in float: red, not magenta
        {1e30f, hueColor(std::fmod(double(1e30f), 360.0)), 1e-5}, // whole turns at once
        {-3e9f, hueColor(std::fmod(-3e9, 360.0)), 1e-5},
        {INFINITY, {1, 0, 0}, 0},
        {-INFINITY, {1, 0, 0}, 0},
        {NAN, {1, 0, 0}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hue);
        model.setHue(c.hue);
        expectColor(currentColor(), c.color, c.error);
    }
}

TEST_F(BlowupDrawing, SeenFromTheSideEveryHueShowsAndTheWhiteCircleIsOnTop) {
    constexpr int size = 200, upperPoleRow = size / 10, lowerPoleRow = size - size / 10;
    recreateSurface(size, size);
    for (float blowup : {0.0f, 0.05f}) { // 0.05 opens the white point into a 4-pixel circle
        SCOPED_TRACE(blowup);
        model.setBlowup(blowup);
        glClear(GL_COLOR_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1.25, 1.25, -1.25, 1.25, 1, 10); // the unit sphere fills 0.8 of the height
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(4, 3, 0, 0, 0, 0, 0, 0, 1);
        model.draw();
        expectNoGLError();
        const auto pixels = surface().readPixels();
        int red = 0, green = 0, blue = 0, white = 0, topRow = -1, bottomRow = -1;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const std::uint32_t p = pixel(pixels, x, y);
                const int r = p >> 24, g = (p >> 16) & 0xff, b = (p >> 8) & 0xff;
                red += r > 200 && g < 60 && b < 60;
                green += g > 200 && r < 60 && b < 60;
                blue += b > 200 && r < 60 && g < 60;
                if (r + g + b > 0) {
                    topRow = topRow < 0 ? y : topRow;
                    bottomRow = y;
                }
                if (r + g + b == 3 * 255) { // Mesa may draw the zero-length loop as nothing
                    ++white;
                    EXPECT_NEAR(x, size / 2, blowup > 0 ? 5 : 1);
                    EXPECT_NEAR(y, upperPoleRow, blowup > 0 ? 5 : 1);
                }
            }
        EXPECT_TRUE(red > 20 && green > 20 && blue > 20);
        EXPECT_NEAR(topRow, upperPoleRow, blowup > 0 ? 5 : 1);
        EXPECT_NEAR(bottomRow, lowerPoleRow, 1);
        EXPECT_TRUE(blowup == 0 || white > 3) << "the white circle is missing";
    }
}
