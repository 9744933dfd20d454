#include "TolvaneKit/Camera/RVUtilities.h"

#include <cmath>

namespace {

constexpr double pi = 3.141592653589793;
constexpr double twoPi = 6.283185307179586;
constexpr double halfPi = 1.5707963267948966;

// The sum of squares in single precision, in x, y, z order, so every caller
// sees the same rounding (it decides what counts as "on the z axis").
GLfloat sumOfSquares(GLfloat x, GLfloat y, GLfloat z) {
    GLfloat sum = x * x;
    sum += y * y;
    sum += z * z;
    return sum;
}

} // namespace

GLfloat RVNormalizeVector(const GLfloat* vin, GLfloat* vout) {
    const auto length =
        static_cast<GLfloat>(std::sqrt(static_cast<double>(sumOfSquares(vin[0], vin[1], vin[2]))));
    if (length == 0.0f)
        return 0.0f;
    const auto inverse = static_cast<GLfloat>(1.0 / static_cast<double>(length));
    // Each component reads only its own input, so vin and vout may coincide.
    for (int k = 0; k < 3; ++k)
        vout[k] = vin[k] * inverse;
    return length;
}

void RVCrossVectors(const GLfloat* v, const GLfloat* w, GLfloat* vout) {
    vout[0] = v[1] * w[2] - v[2] * w[1];
    vout[1] = v[2] * w[0] - v[0] * w[2];
    vout[2] = v[0] * w[1] - v[1] * w[0];
}

void RVGetSphericalCoordinates(GLfloat x, GLfloat y, GLfloat z, GLfloat* dist, GLfloat* azim,
                               GLfloat* elev) {
    const double rho = std::sqrt(static_cast<double>(sumOfSquares(x, y, z)));
    if (rho == 0.0) {
        *dist = 0.0f;
        *azim = 0.0f;
        *elev = 0.0f;
        return;
    }
    const double zOverRho = z / rho;
    const double phi = RVArcCos(zOverRho);
    const double rhoSinPhi = rho * std::sin(phi);
    // Only the clamped ends of RVArcCos count as the axis: there x / rhoSinPhi
    // would divide by (almost) nothing.
    if (phi == 0.0 || phi == pi) {
        *azim = 0.0f;
        if (z > 0.0f) {
            *dist = z;
            *elev = 0.0f;
        } else {
            *dist = -z;
            *elev = 180.0f;
        }
        return;
    }
    const double xOverRhoSinPhi = x / rhoSinPhi;
    double theta = RVArcCos(xOverRhoSinPhi);
    if (y < 0.0f)
        theta = twoPi - theta;
    *dist = static_cast<GLfloat>(rho);
    *azim = static_cast<GLfloat>(theta * 180.0 / pi);
    *elev = static_cast<GLfloat>(phi * 180.0 / pi);
}

GLdouble RVArcCos(GLdouble x) {
    if (x >= 1.0)
        return 0.0;
    if (x <= -1.0)
        return pi;
    return std::acos(x);
}

GLdouble RVArcSin(GLdouble x) {
    if (x >= 1.0)
        return halfPi;
    if (x <= -1.0)
        return -halfPi;
    return std::asin(x);
}
