#include "TolvaneKit/RVTransformation.h"
#include "support/OffscreenGLTest.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

using namespace VexmiraTest;

namespace {

// Whole-turn reduction written the plain way, the reference for ordinary angles.
float reduceByWholeTurns(float angle) {
    while (angle >= 360.0f)
        angle -= 360.0f;
    while (angle < 0.0f)
        angle += 360.0f;
    return angle;
}

using Matrix3 = double[3][3];

// R = Rz(azimuth) * Ry(elevation) * Rz(twist), built in double precision.
void rotationMatrix(double azimuth, double elevation, double twist, Matrix3 r) {
    const double k = M_PI / 180.0;
    const double ca = std::cos(azimuth * k), sa = std::sin(azimuth * k);
    const double ce = std::cos(elevation * k), se = std::sin(elevation * k);
    const double ct = std::cos(twist * k), st = std::sin(twist * k);
    const Matrix3 z1 = {{ca, -sa, 0}, {sa, ca, 0}, {0, 0, 1}};
    const Matrix3 y = {{ce, 0, se}, {0, 1, 0}, {-se, 0, ce}};
    const Matrix3 z2 = {{ct, -st, 0}, {st, ct, 0}, {0, 0, 1}};
    Matrix3 zy{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int m = 0; m < 3; ++m)
                zy[i][j] += z1[i][m] * y[m][j];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            r[i][j] = 0;
            for (int m = 0; m < 3; ++m)
                r[i][j] += zy[i][m] * z2[m][j];
        }
}

RVTransformation transformation(float x, float y, float z, float azimuth, float elevation,
                                float twist) {
    RVTransformation t;
    const GLfloat location[3] = {x, y, z};
    t.setLocation(location).setAzimuth(azimuth).setElevation(elevation).setTwist(twist);
    return t;
}

} // namespace

TEST(RVInterpolateAngles, BlendsAlongTheShorterArc) {
    EXPECT_FLOAT_EQ(RVInterpolateAngles(350, 10, 0.5f), 0.0f);
    EXPECT_FLOAT_EQ(RVInterpolateAngles(10, 350, 0.5f), 0.0f);
    EXPECT_FLOAT_EQ(RVInterpolateAngles(20, 80, 0.5f), 50.0f);
    EXPECT_FLOAT_EQ(RVInterpolateAngles(-90, 0, 0.5f), 315.0f);
    // Exactly half a turn apart: down from a when b > a, up from a when a > b.
    EXPECT_FLOAT_EQ(RVInterpolateAngles(0, 180, 0.5f), 270.0f);
    EXPECT_FLOAT_EQ(RVInterpolateAngles(180, 0, 0.5f), 270.0f);
}

TEST(RVInterpolateAngles, EndpointsAreReducedIntoOneTurn) {
    EXPECT_EQ(RVInterpolateAngles(720, 30, 0), 0.0f);
    EXPECT_FLOAT_EQ(RVInterpolateAngles(10, 725, 1), 5.0f);
    EXPECT_FLOAT_EQ(RVInterpolateAngles(10, -30, 1), 330.0f);
    EXPECT_FLOAT_EQ(RVInterpolateAngles(-1070, 0, 0), 10.0f);
}

TEST(RVReduceAngle, MatchesWholeTurnSubtractionBitForBit) {
    std::mt19937 random(20261206);
    std::uniform_real_distribution<float> exponent(-20.0f, 20.0f); // magnitudes up to ~1e6
    std::uniform_real_distribution<float> turns(-50.0f, 50.0f);
    std::bernoulli_distribution negative(0.5);
    std::vector<float> angles = {0.0f,   -0.0f,   360.0f, -360.0f, 720.0f,  -720.0f, 359.99997f,
                                 -1e-6f, -1e-30f, 1e-30f, 180.0f,  -180.0f, 1e6f,    -1e6f};
    for (int k = 0; k < 20000; ++k) {
        const float magnitude = std::exp2(exponent(random));
        angles.push_back(negative(random) ? -magnitude : magnitude);
        angles.push_back(std::round(turns(random)) * 360.0f + turns(random));
    }
    for (float angle : angles) {
        const float expected = reduceByWholeTurns(angle);
        const float reduced = RVReduceAngle(angle);
        ASSERT_EQ(std::bit_cast<std::uint32_t>(reduced), std::bit_cast<std::uint32_t>(expected))
            << "angle " << angle << " gave " << reduced << " instead of " << expected;
    }
}

TEST(RVReduceAngle, HandlesAnglesWholeTurnsCannotReduce) {
    const float infinity = std::numeric_limits<float>::infinity();
    EXPECT_EQ(RVReduceAngle(infinity), 0.0f);
    EXPECT_EQ(RVReduceAngle(-infinity), 0.0f);
    EXPECT_EQ(RVReduceAngle(std::numeric_limits<float>::quiet_NaN()), 0.0f);
    // Subtracting 360 no longer changes these.
    for (float huge : {1e12f, -1e12f, 3e38f, -3e38f, std::exp2(40.0f) + 4096.0f}) {
        const float reduced = RVReduceAngle(huge);
        EXPECT_GE(reduced, 0.0f) << huge;
        EXPECT_LE(reduced, 360.0f) << huge;
    }
    // An exact whole number of turns reduces to 0 however large.
    EXPECT_EQ(RVReduceAngle(std::exp2(40.0f) * 360.0f), 0.0f);
    const float blended = RVInterpolateAngles(infinity, 3e38f, 0.5f);
    EXPECT_TRUE(blended >= 0.0f && blended < 360.0f) << blended;
    EXPECT_EQ(RVInterpolateAngles(10, 20, infinity), 0.0f);
}

TEST(RVTransformation, StartsAsTheIdentityAndStoresAnglesUnchanged) {
    RVTransformation t;
    const GLfloat p[3] = {1.5f, -2.0f, 3.25f};
    GLfloat q[3];
    t.applyTo(p, q);
    EXPECT_EQ(q[0], p[0]);
    EXPECT_EQ(q[1], p[1]);
    EXPECT_EQ(q[2], p[2]);
    t.setAzimuth(725).setElevation(-190).setTwist(1e7f).setLocation(2, 9.0f);
    EXPECT_EQ(t.azimuth(), 725.0f);
    EXPECT_EQ(t.elevation(), -190.0f);
    EXPECT_EQ(t.twist(), 1e7f);
    EXPECT_EQ(t.location(2), 9.0f);
    EXPECT_EQ(t.location(0), 0.0f);
}

TEST(RVTransformation, CarriesPointsForwardAndBack) {
    const RVTransformation t = transformation(1, 2, 3, 90, 0, 0);
    const GLfloat p[3] = {1, 0, 0};
    GLfloat forward[3], back[3];
    t.applyTo(p, forward);
    EXPECT_NEAR(forward[0], 1.0f, 1e-6);
    EXPECT_NEAR(forward[1], 3.0f, 1e-6);
    EXPECT_NEAR(forward[2], 3.0f, 1e-6);
    t.applyInverseTo(forward, back);
    EXPECT_NEAR(back[0], 1.0f, 1e-6);
    EXPECT_NEAR(back[1], 0.0f, 1e-6);
    EXPECT_NEAR(back[2], 0.0f, 1e-6);

    // Elevation tilts +z toward +x.
    const GLfloat up[3] = {0, 0, 1};
    GLfloat tilted[3];
    transformation(0, 0, 0, 0, 90, 0).applyRotationTo(up, tilted);
    EXPECT_NEAR(tilted[0], 1.0f, 1e-6);
    EXPECT_NEAR(tilted[1], 0.0f, 1e-6);
    EXPECT_NEAR(tilted[2], 0.0f, 1e-6);
}

TEST(RVTransformation, RotatesLikeTheComposedMatricesAndInvertsForAnyAngles) {
    std::mt19937 random(97);
    std::uniform_real_distribution<float> angle(-720.0f, 720.0f);
    std::uniform_real_distribution<float> coordinate(-10.0f, 10.0f);
    for (int k = 0; k < 500; ++k) {
        const float a = angle(random), e = angle(random), w = angle(random);
        const RVTransformation t =
            transformation(coordinate(random), coordinate(random), coordinate(random), a, e, w);
        const GLfloat v[3] = {coordinate(random), coordinate(random), coordinate(random)};
        Matrix3 r;
        rotationMatrix(a, e, w, r);
        GLfloat rotated[3], back[3], moved[3], returned[3];
        t.applyRotationTo(v, rotated);
        t.applyInverseRotationTo(rotated, back);
        t.applyTo(v, moved);
        t.applyInverseTo(moved, returned);
        for (int i = 0; i < 3; ++i) {
            const double expected = r[i][0] * v[0] + r[i][1] * v[1] + r[i][2] * v[2];
            ASSERT_NEAR(rotated[i], expected, 2e-5) << "case " << k;
            ASSERT_NEAR(moved[i], expected + t.location(i), 4e-5) << "case " << k;
            ASSERT_NEAR(back[i], v[i], 4e-5) << "case " << k;
            ASSERT_NEAR(returned[i], v[i], 6e-5) << "case " << k;
        }
    }
}

TEST(RVTransformation, AcceptsOneArrayForInputAndResult) {
    const RVTransformation t = transformation(1, -2, 0.5f, 33, 71, -12);
    using Operation = const RVTransformation& (RVTransformation::*)(const GLfloat*, GLfloat*) const;
    for (Operation operation :
         {&RVTransformation::applyTo, &RVTransformation::applyInverseTo,
          &RVTransformation::applyRotationTo, &RVTransformation::applyInverseRotationTo}) {
        const GLfloat v[3] = {0.3f, -4.0f, 2.5f};
        GLfloat separate[3], shared[3] = {v[0], v[1], v[2]};
        (t.*operation)(v, separate);
        (t.*operation)(shared, shared);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(shared[i], separate[i]);
    }
}

TEST(RVTransformation, InterpolatesTheShortWayOrNaively) {
    const RVTransformation target = transformation(2, 4, -6, 10, 350, 200);
    RVTransformation shortWay = transformation(0, 0, 0, 350, 10, 40);
    RVTransformation naive = shortWay;
    shortWay.interpolateToward(target, 0.5f);
    naive.interpolateNaivelyToward(target, 0.5f);
    EXPECT_FLOAT_EQ(shortWay.location(0), 1.0f);
    EXPECT_FLOAT_EQ(shortWay.location(1), 2.0f);
    EXPECT_FLOAT_EQ(shortWay.location(2), -3.0f);
    EXPECT_FLOAT_EQ(naive.location(1), 2.0f);
    EXPECT_FLOAT_EQ(shortWay.azimuth(), 0.0f);
    EXPECT_FLOAT_EQ(naive.azimuth(), 180.0f);
    EXPECT_FLOAT_EQ(shortWay.elevation(), 0.0f);
    EXPECT_FLOAT_EQ(naive.elevation(), 180.0f);
    EXPECT_FLOAT_EQ(shortWay.twist(), 120.0f);
    EXPECT_FLOAT_EQ(naive.twist(), 120.0f);

    // Fraction 0 keeps the place; only the short way reduces the angles.
    RVTransformation still = transformation(1, 1, 1, 370, -30, 720);
    RVTransformation naiveStill = still;
    still.interpolateToward(target, 0);
    naiveStill.interpolateNaivelyToward(target, 0);
    EXPECT_FLOAT_EQ(still.azimuth(), 10.0f);
    EXPECT_FLOAT_EQ(still.elevation(), 330.0f);
    EXPECT_EQ(still.twist(), 0.0f);
    EXPECT_EQ(naiveStill.azimuth(), 370.0f);
    EXPECT_EQ(still.location(2), 1.0f);

    // Fractions beyond 1 extrapolate.
    RVTransformation beyond = transformation(0, 0, 0, 0, 0, 0);
    beyond.interpolateNaivelyToward(target, 2);
    EXPECT_FLOAT_EQ(beyond.location(0), 4.0f);
    EXPECT_FLOAT_EQ(beyond.azimuth(), 20.0f);
}

class RVTransformationGL : public OffscreenGLTest {};

TEST_F(RVTransformationGL, ApplyMultipliesTheModelviewMatrix) {
    const RVTransformation t = transformation(1, 2, 3, 30, 50, -70);
    Matrix3 r;
    rotationMatrix(30, 50, -70, r);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -5);
    RVTransformation(t).apply();
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column)
            EXPECT_NEAR(m[column * 4 + row], r[row][column], 1e-6);
    }
    EXPECT_NEAR(m[12], 1.0f, 1e-6);
    EXPECT_NEAR(m[13], 2.0f, 1e-6);
    EXPECT_NEAR(m[14], -2.0f, 1e-6);
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    expectNoGLError();
}

TEST_F(RVTransformationGL, DrawsAColouredAxisMarker) {
    RVTransformation t;
    auto lines = polylines(captureFeedback([&] { t.draw(); }));
    ASSERT_EQ(lines.size(), 3u);
    const float tips[3][3] = {{0.1f, 0, 0}, {0, 0.1f, 0}, {0, 0, 0.1f}};
    for (int axis = 0; axis < 3; ++axis) {
        ASSERT_EQ(lines[axis].size(), 2u);
        const FeedbackVertex& tip = lines[axis][0];
        const FeedbackVertex& origin = lines[axis][1];
        EXPECT_NEAR(tip.x, tips[axis][0], 1e-4);
        EXPECT_NEAR(tip.y, tips[axis][1], 1e-4);
        EXPECT_NEAR(tip.z, tips[axis][2], 1e-4);
        EXPECT_NEAR(origin.x * origin.x + origin.y * origin.y + origin.z * origin.z, 0, 1e-8);
        const float colour[3] = {tip.red, tip.green, tip.blue};
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(colour[c], c == axis ? 1.0f : 0.0f);
    }
    expectNoGLError();
}
