#include "TolvaneKit/RVUtilities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

struct Spherical {
    GLfloat distance, azimuth, elevation;
};

Spherical spherical(GLfloat x, GLfloat y, GLfloat z) {
    Spherical s{-1.0f, -1.0f, -1.0f};
    RVGetSphericalCoordinates(x, y, z, &s.distance, &s.azimuth, &s.elevation);
    return s;
}

} // namespace

TEST(RVUtilities, NormalizesIntoAnotherVectorOrInPlace) {
    const GLfloat v[3] = {3.0f, 0.0f, 4.0f};
    GLfloat out[3] = {9.0f, 9.0f, 9.0f};
    EXPECT_EQ(RVNormalizeVector(v, out), 5.0f);
    EXPECT_FLOAT_EQ(out[0], 0.6f);
    EXPECT_EQ(out[1], 0.0f);
    EXPECT_FLOAT_EQ(out[2], 0.8f);

    GLfloat inPlace[3] = {0.0f, -2.0f, 0.0f};
    EXPECT_EQ(RVNormalizeVector(inPlace, inPlace), 2.0f);
    EXPECT_EQ(inPlace[1], -1.0f);
}

TEST(RVUtilities, ZeroVectorReturnsZeroAndLeavesTheOutputAlone) {
    const GLfloat zero[3] = {0.0f, 0.0f, 0.0f};
    GLfloat out[3] = {7.0f, 8.0f, 9.0f};
    EXPECT_EQ(RVNormalizeVector(zero, out), 0.0f);
    EXPECT_EQ(out[0], 7.0f);
    EXPECT_EQ(out[1], 8.0f);
    EXPECT_EQ(out[2], 9.0f);
}

TEST(RVUtilities, CrossProductFollowsTheRightHandRule) {
    const GLfloat x[3] = {1, 0, 0}, y[3] = {0, 1, 0}, z[3] = {0, 0, 1};
    GLfloat out[3];
    RVCrossVectors(x, y, out);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_EQ(out[1], 0.0f);
    EXPECT_EQ(out[2], 1.0f);
    RVCrossVectors(z, y, out);
    EXPECT_EQ(out[0], -1.0f);
    const GLfloat a[3] = {2, 3, 4}, b[3] = {5, 6, 7};
    RVCrossVectors(a, b, out);
    EXPECT_EQ(out[0], 3 * 7 - 4 * 6);
    EXPECT_EQ(out[1], 4 * 5 - 2 * 7);
    EXPECT_EQ(out[2], 2 * 6 - 3 * 5);
}

TEST(RVUtilities, SphericalCoordinatesOfTheAxesAndQuadrants) {
    const struct {
        GLfloat x, y, z;
        Spherical expected;
    } cases[] = {
        {1, 0, 0, {1, 0, 90}},    {0, 1, 0, {1, 90, 90}},
        {0, -1, 0, {1, 270, 90}}, {-1, 0, 0, {1, 180, 90}},
        {0, 0, 2, {2, 0, 0}},     {0, 0, -2, {2, 0, 180}},
        {0, 0, 0, {0, 0, 0}},     {1, 1, 0, {std::sqrt(2.0f), 45, 90}},
    };
    for (const auto& c : cases) {
        const Spherical s = spherical(c.x, c.y, c.z);
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y << ", " << c.z);
        EXPECT_FLOAT_EQ(s.distance, c.expected.distance);
        EXPECT_NEAR(s.azimuth, c.expected.azimuth, 1e-4);
        EXPECT_NEAR(s.elevation, c.expected.elevation, 1e-4);
    }
}

TEST(RVUtilities, PointsThatRoundOntoTheAxisCountAsOnIt) {
    // 1e-6 squared vanishes beside 1 in single precision.
    Spherical above = spherical(0.0f, 0.000001f, 1.0f);
    EXPECT_EQ(above.azimuth, 0.0f);
    EXPECT_EQ(above.elevation, 0.0f);
    EXPECT_EQ(above.distance, 1.0f);
    Spherical below = spherical(0.0f, 0.000001f, -1.0f);
    EXPECT_EQ(below.azimuth, 0.0f);
    EXPECT_EQ(below.elevation, 180.0f);
    EXPECT_EQ(below.distance, 1.0f);
}

TEST(RVUtilities, SphericalCoordinatesRoundTrip) {
    for (GLfloat azimuth = 5.0f; azimuth < 360.0f; azimuth += 37.0f) {
        for (GLfloat elevation = 3.0f; elevation < 180.0f; elevation += 29.0f) {
            const double a = azimuth * std::numbers::pi / 180.0;
            const double e = elevation * std::numbers::pi / 180.0;
            const Spherical s = spherical(static_cast<GLfloat>(2.5 * std::sin(e) * std::cos(a)),
                                          static_cast<GLfloat>(2.5 * std::sin(e) * std::sin(a)),
                                          static_cast<GLfloat>(2.5 * std::cos(e)));
            EXPECT_NEAR(s.distance, 2.5, 1e-5);
            EXPECT_NEAR(s.azimuth, azimuth, 1e-3);
            EXPECT_NEAR(s.elevation, elevation, 1e-3);
        }
    }
}

TEST(RVUtilities, ArcFunctionsClampOutsideTheirDomain) {
    EXPECT_EQ(RVArcCos(1.0000001), 0.0);
    EXPECT_EQ(RVArcCos(-1.5), 3.141592653589793);
    EXPECT_EQ(RVArcSin(2.0), 1.5707963267948966);
    EXPECT_EQ(RVArcSin(-1.0), -1.5707963267948966);
    EXPECT_EQ(RVArcCos(0.5), std::acos(0.5));
    EXPECT_EQ(RVArcSin(-0.25), std::asin(-0.25));
}
