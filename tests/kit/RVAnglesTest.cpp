#include "TolvaneKit/RVAngles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

// The turn-by-turn loops as the camera has always wrapped its angles.
GLfloat loopIntoTurn(GLfloat value) {
    while (value >= 360.0f)
        value = static_cast<GLfloat>(value - 360.0);
    while (value < 0.0f)
        value = static_cast<GLfloat>(value + 360.0);
    return value;
}

GLfloat loopIntoSignedTurn(GLfloat value) {
    while (value > 180.0f)
        value = static_cast<GLfloat>(value - 360.0);
    while (value <= -180.0f)
        value = static_cast<GLfloat>(value + 360.0);
    return value;
}

bool sameBits(GLfloat a, GLfloat b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Angles a user or a drag could produce: fractions, whole and negative
// turns, values next to the range ends, and long spins.
std::vector<GLfloat> ordinaryAngles() {
    std::vector<GLfloat> angles = {0.0f,    -0.0f,   360.0f, -360.0f, 720.0f,   -720.0f,
                                   180.0f,  -180.0f, 540.0f, -540.0f, 1e-10f,   -1e-10f,
                                   -1e-30f, 359.99f, 725.0f, -30.0f,  1080.25f, -1079.75f};
    for (GLfloat a : {360.0f, 180.0f, -180.0f, 0.0f, 720.0f}) {
        angles.push_back(std::nextafter(a, 1e9f));
        angles.push_back(std::nextafter(a, -1e9f));
    }
    std::mt19937 random(4);
    std::uniform_real_distribution<float> near(-2000.0f, 2000.0f);
    std::uniform_real_distribution<float> far(-3.0e6f, 3.0e6f);
    for (int k = 0; k < 3000; ++k)
        angles.push_back(near(random));
    for (int k = 0; k < 300; ++k)
        angles.push_back(far(random));
    for (int turns = -50; turns <= 50; ++turns)
        angles.push_back(static_cast<GLfloat>(turns * 360));
    return angles;
}

} // namespace

TEST(RVAngles, OrdinaryAnglesWrapBitForBitLikeTheTurnLoop) {
    for (GLfloat angle : ordinaryAngles()) {
        EXPECT_TRUE(sameBits(RVWrapAngle(angle), loopIntoTurn(angle))) << angle;
        EXPECT_TRUE(sameBits(RVWrapSignedAngle(angle), loopIntoSignedTurn(angle))) << angle;
    }
}

TEST(RVAngles, HugeAnglesWrapByTheirRemainder) {
    // Taking 360 off these changes nothing in single precision.
    for (GLfloat angle : {1e20f, -1e20f, 3.0e38f, 8.6e9f, -123456789012.0f}) {
        const double remainder = std::fmod(static_cast<double>(angle), 360.0);
        const double intoTurn = remainder < 0 ? remainder + 360.0 : remainder;
        EXPECT_FLOAT_EQ(RVWrapAngle(angle), static_cast<GLfloat>(intoTurn)) << angle;
        const double signedTurn = remainder > 180.0
                                      ? remainder - 360.0
                                      : (remainder <= -180.0 ? remainder + 360.0 : remainder);
        EXPECT_FLOAT_EQ(RVWrapSignedAngle(angle), static_cast<GLfloat>(signedTurn)) << angle;
    }
}

TEST(RVAngles, NonFiniteAnglesComeBackAsNaN) {
    const GLfloat inf = std::numeric_limits<GLfloat>::infinity();
    for (GLfloat angle : {inf, -inf, std::numeric_limits<GLfloat>::quiet_NaN()}) {
        EXPECT_TRUE(std::isnan(RVWrapAngle(angle)));
        EXPECT_TRUE(std::isnan(RVWrapSignedAngle(angle)));
    }
}
