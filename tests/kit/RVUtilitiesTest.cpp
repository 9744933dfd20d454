#include "TolvaneKit/RVUtilities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<GLfloat> vec(const GLfloat v[3]) {
    return {v[0], v[1], v[2]};
}

} // namespace

TEST(RVUtilities, NormalizesAndCrossesVectorsAndClampsArcFunctions) {
    const GLfloat v[3] = {3.0f, 0.0f, 4.0f}, zero[3] = {0, 0, 0}, x[3] = {1, 0, 0};
    GLfloat out[3] = {9.0f, 9.0f, 9.0f}, inPlace[3] = {0.0f, -2.0f, 0.0f}, y[3] = {0, 1, 0};
    EXPECT_EQ(RVNormalizeVector(v, out), 5.0f);
    // Times the inverse length, all in single precision.
    const std::vector<GLfloat> normalized = {3.0f * (1 / 5.0f), 0.0f, 4.0f * (1 / 5.0f)};
    EXPECT_EQ(vec(out), normalized);
    EXPECT_EQ(RVNormalizeVector(zero, out), 0.0f);
    EXPECT_EQ(vec(out), normalized) << "a zero vector leaves the result alone";
    EXPECT_EQ(RVNormalizeVector(inPlace, inPlace), 2.0f);
    EXPECT_EQ(vec(inPlace), (std::vector<GLfloat>{0.0f, -1.0f, 0.0f}));
    RVCrossVectors(x, y, out);
    EXPECT_EQ(vec(out), (std::vector<GLfloat>{0, 0, 1})) << "the right-hand rule";
    EXPECT_EQ(RVArcCos(1.0000001), 0.0);
    EXPECT_EQ(RVArcCos(-1.5), 3.141592653589793);
    EXPECT_EQ(RVArcSin(2.0), 1.5707963267948966);
    EXPECT_EQ(RVArcSin(-1.0), -1.5707963267948966);
}

TEST(RVUtilities, SphericalCoordinatesOfTheAxesQuadrantsAndNearAxisPoints) {
    // The last two lie on the axis: their sums of squares round to that of the axis point.
    const struct {
        GLfloat x, y, z, distance, azimuth, elevation;
    } cases[] = {{1, 0, 0, 1, 0, 90},
                 {0, 1, 0, 1, 90, 90},
                 {0, -1, 0, 1, 270, 90},
                 {-1, 0, 0, 1, 180, 90},
                 {0, 0, 2, 2, 0, 0},
                 {0, 0, -2, 2, 0, 180},
                 {0, 0, 0, 0, 0, 0},
                 {1, 1, 0, std::sqrt(2.0f), 45, 90},
                 {1, -1, 0, std::sqrt(2.0f), 315, 90},
                 {0, 3, 3, std::sqrt(18.0f), 90, 45},
                 {0, 0.000001f, 1, 1, 0, 0},
                 {0, 0.000001f, -1, 1, 0, 180}};
    for (const auto& c : cases) {
        GLfloat distance = -1, azimuth = -1, elevation = -1;
        RVGetSphericalCoordinates(c.x, c.y, c.z, &distance, &azimuth, &elevation);
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y << ", " << c.z);
        EXPECT_FLOAT_EQ(distance, c.distance);
        EXPECT_FLOAT_EQ(azimuth, c.azimuth);
        EXPECT_FLOAT_EQ(elevation, c.elevation);
    }
}
