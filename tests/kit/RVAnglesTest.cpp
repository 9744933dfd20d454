#include "TolvaneKit/RVAngles.h"
#include "TolvaneKit/RVTransformation.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace {

// The turn-by-turn loops the camera and the transformation have always reduced angles with.
std::uint32_t loopedBits(GLfloat value, bool intoSignedTurn) {
    while (intoSignedTurn ? value > 180.0f : value >= 360.0f)
        value = static_cast<GLfloat>(value - 360.0);
    while (intoSignedTurn ? value <= -180.0f : value < 0.0f)
        value = static_cast<GLfloat>(value + 360.0);
    return std::bit_cast<std::uint32_t>(value);
}

} // namespace

TEST(RVAngles, OrdinaryAnglesWrapBitForBitLikeTheTurnLoop) {
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
        EXPECT_EQ(std::bit_cast<std::uint32_t>(RVReduceAngle(angle)), loopedBits(angle, false));
    }
}

TEST(RVAngles, HugeAnglesWrapByTheirRemainderAndNonFiniteOnesEnd) {
    // Taking 360 off these changes nothing in single precision.
    for (GLfloat angle : {1e20f, -1e20f, 3.0e38f, 8.6e9f, -123456789012.0f}) {
        const double remainder = std::fmod(static_cast<double>(angle), 360.0);
        const double signedTurn = remainder > 180.0     ? remainder - 360.0
                                  : remainder <= -180.0 ? remainder + 360.0
                                                        : remainder;
        EXPECT_FLOAT_EQ(RVWrapAngle(angle), GLfloat(remainder < 0 ? remainder + 360 : remainder));
        EXPECT_FLOAT_EQ(RVWrapSignedAngle(angle), static_cast<GLfloat>(signedTurn)) << angle;
        EXPECT_TRUE(RVReduceAngle(angle) >= 0.0f && RVReduceAngle(angle) <= 360.0f) << angle;
    }
    EXPECT_EQ(RVReduceAngle(std::exp2(40.0f) * 360.0f), 0.0f); // whole turns however large
    const GLfloat inf = std::numeric_limits<GLfloat>::infinity();
    const float blended = RVInterpolateAngles(inf, 3e38f, 0.5f);
    EXPECT_TRUE(blended >= 0.0f && blended < 360.0f) << blended;
    for (GLfloat angle : {inf, -inf, std::numeric_limits<GLfloat>::quiet_NaN()}) {
        EXPECT_TRUE(std::isnan(RVWrapAngle(angle)) && std::isnan(RVWrapSignedAngle(angle)));
        EXPECT_EQ(RVReduceAngle(angle), 0.0f);
        EXPECT_EQ(RVInterpolateAngles(10, 20, angle), 0.0f);
    }
}
