#include "TolvaneKit/Scene/RVTransformation.h"
#include "TolvaneKit/Camera/RVAngles.h"

#include "kit/GLMatrix.h"
#include "support/OffscreenGLTest.h"

#include <gmock/gmock.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

using namespace KitTest;

namespace {

RVTransformation& place(RVTransformation& t, float x, float y, float z, float azimuth,
                        float elevation, float twist) {
    const GLfloat location[3] = {x, y, z};
    return t.setLocation(location).setAzimuth(azimuth).setElevation(elevation).setTwist(twist);
}

// Rz(azimuth) * Ry(elevation) * Rz(twist).
Matrix rotationOf(double azimuth, double elevation, double twist) {
    return rotation(azimuth, 2) * rotation(elevation, 1) * rotation(twist, 2);
}

void expectState(const RVTransformation& t, std::array<float, 6> expected) {
    EXPECT_THAT((std::array{t.location(0), t.location(1), t.location(2), t.azimuth(), t.elevation(),
                            t.twist()}),
                testing::Pointwise(testing::FloatEq(), expected));
}

// The turn-by-turn loops the camera and the transformation have always reduced angles with.
std::uint32_t loopedBits(GLfloat value, bool intoSignedTurn) {
    while (intoSignedTurn ? value > 180.0f : value >= 360.0f)
        value = static_cast<GLfloat>(value - 360.0);
    while (intoSignedTurn ? value <= -180.0f : value < 0.0f)
        value = static_cast<GLfloat>(value + 360.0);
    return std::bit_cast<std::uint32_t>(value);
}

} // namespace

TEST(RVInterpolateAngles, BlendsTheShortWayBetweenReducedEndpointsOrNaively) {
    const struct {
        float a, b, fraction, expected;
    } cases[] = {
        {350, 10, 0.5f, 0},  {10, 350, 0.5f, 0},  {20, 80, 0.5f, 50}, {-90, 0, 0.5f, 315},
        {0, 180, 0.5f, 270}, {180, 0, 0.5f, 270}, {720, 30, 0, 0},    {10, 725, 1, 5},
        {10, -30, 1, 330},   {-1070, 0, 0, 10},
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(RVInterpolateAngles(c.a, c.b, c.fraction), c.expected)
            << c.a << " to " << c.b << " by " << c.fraction;
    RVTransformation target, shortWay, naive, still, beyond;
    place(target, 2, 4, -6, 10, 350, 200);
    expectState(place(shortWay, 0, 0, 0, 350, 10, 40).interpolateToward(target, 0.5f),
                {1, 2, -3, 0, 0, 120});
    expectState(place(naive, 0, 0, 0, 350, 10, 40).interpolateNaivelyToward(target, 0.5f),
                {1, 2, -3, 180, 180, 120});
    // Fraction 0 keeps the place, the naive way not even reducing the angles.
    expectState(place(still, 1, 1, 1, 370, -30, 720).interpolateNaivelyToward(target, 0),
                {1, 1, 1, 370, -30, 720});
    expectState(beyond.interpolateNaivelyToward(target, 2), {4, 8, -12, 20, 700, 400});
}

TEST(RVTransformation, CarriesPointsForwardAndBackLikeTheComposedMatrices) {
    RVTransformation t;
    std::mt19937 random(97);
    std::uniform_real_distribution<float> angle(-720.0f, 720.0f), coordinate(-10.0f, 10.0f);
    for (int k = 0; k < 500; ++k) {
        const float a = angle(random), e = angle(random), w = angle(random);
        place(t, coordinate(random), coordinate(random), coordinate(random), a, e, w);
        const GLfloat v[3] = {coordinate(random), coordinate(random), coordinate(random)};
        const Matrix expected = rotationOf(a, e, w) * translation(v[0], v[1], v[2]);
        GLfloat rotated[3], unrotated[3], moved[3], returned[3];
        t.applyRotationTo(v, rotated).applyInverseRotationTo(rotated, unrotated);
        t.applyTo(v, moved).applyInverseTo(moved, returned);
        for (int i = 0; i < 3; ++i) {
            ASSERT_NEAR(rotated[i], expected[12 + i], 2e-5) << "case " << k;
            ASSERT_NEAR(moved[i], expected[12 + i] + t.location(i), 4e-5) << "case " << k;
            ASSERT_NEAR(unrotated[i], v[i], 4e-5) << "case " << k;
            ASSERT_NEAR(returned[i], v[i], 6e-5) << "case " << k;
        }
    }
}

class RVTransformationGL : public VexmiraTest::OffscreenGLTest {};

TEST_F(RVTransformationGL, ApplyMultipliesTheModelviewMatrix) {
    glTranslatef(0, 0, -5); // on a fresh context's modelview
    RVTransformation t;
    place(t, 1, 2, 3, 30, 50, -70).apply();
    EXPECT_MATRIX_NEAR(glMatrix(GL_MODELVIEW_MATRIX),
                       translation(1, 2, -2) * rotationOf(30, 50, -70), 1e-6);
    EXPECT_EQ(glInteger(GL_MODELVIEW_STACK_DEPTH), 1);
    expectNoGLError();
}

TEST(RVAngles, AnglesWrapBitForBitLikeTheTurnLoopHowLargeSoever) {
    std::vector<GLfloat> angles = {-0.0f, 1e-10f, -1e-6f, -1e-30f, 359.99997f, 1080.25f, -1079.75f};
    for (GLfloat a : {0.0f, 180.0f, -180.0f, 360.0f, -360.0f, 720.0f, -720.0f})
        angles.insert(angles.end(), {a, std::nextafter(a, 1e9f), std::nextafter(a, -1e9f)});
    std::mt19937 random(4);
    std::uniform_real_distribution<float> near(-2000.0f, 2000.0f), far(-3.0e6f, 3.0e6f);
    for (int k = 0; k < 3000; ++k)
        angles.insert(angles.end(), {near(random), far(random)});
    for (GLfloat angle : angles) {
        SCOPED_TRACE(angle);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(RVWrapAngle(angle)), loopedBits(angle, false));
        EXPECT_EQ(std::bit_cast<std::uint32_t>(RVWrapSignedAngle(angle)), loopedBits(angle, true));
    }
    // Whole turns come off by the remainder, also where taking 360 off changes nothing.
    EXPECT_EQ(RVWrapAngle(std::exp2(40.0f) * 360.0f), 0.0f);
    const GLfloat inf = std::numeric_limits<GLfloat>::infinity();
    EXPECT_THAT(RVInterpolateAngles(inf, 3e38f, 0.5f),
                testing::AllOf(testing::Ge(0.0f), testing::Lt(360.0f)));
    for (GLfloat angle : {inf, -inf, std::numeric_limits<GLfloat>::quiet_NaN()}) {
        SCOPED_TRACE(angle);
        EXPECT_EQ((std::array{RVWrapAngle(angle), RVWrapSignedAngle(angle),
                              RVInterpolateAngles(10, 20, angle)}),
                  (std::array{0.0f, 0.0f, 0.0f}));
    }
}
