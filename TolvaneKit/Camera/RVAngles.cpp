#include "TolvaneKit/Camera/RVAngles.h"

#include <cmath>

namespace {

constexpr double turn = 360.0;

// Up to two turns the loops below finish in a few steps on their own.
constexpr double loopOnlyLimit = 2.0 * turn;

// Takes whole turns off a finite angle beyond two turns. The remainder is
// exact and is one of the values the turn-by-turn loop passes through, so the
// loop can finish the job from there. A remainder of -0 becomes +0, which is
// where the loop lands for negative multiples of a turn.
GLfloat takeOffWholeTurns(GLfloat degrees) {
    if (std::fabs(static_cast<double>(degrees)) < loopOnlyLimit)
        return degrees;
    const double remainder = std::fmod(static_cast<double>(degrees), turn);
    return static_cast<GLfloat>(remainder == 0.0 ? 0.0 : remainder);
}

GLfloat minusTurn(GLfloat degrees) {
    return static_cast<GLfloat>(static_cast<double>(degrees) - turn);
}

GLfloat plusTurn(GLfloat degrees) {
    return static_cast<GLfloat>(static_cast<double>(degrees) + turn);
}

} // namespace

GLfloat RVWrapAngle(GLfloat degrees) {
    if (!std::isfinite(degrees))
        return 0.0f;
    GLfloat value = takeOffWholeTurns(degrees);
    while (value >= 360.0f)
        value = minusTurn(value);
    while (value < 0.0f)
        value = plusTurn(value);
    return value;
}

GLfloat RVWrapSignedAngle(GLfloat degrees) {
    if (!std::isfinite(degrees))
        return 0.0f;
    GLfloat value = takeOffWholeTurns(degrees);
    while (value > 180.0f)
        value = minusTurn(value);
    while (value <= -180.0f)
        value = plusTurn(value);
    return value;
}
