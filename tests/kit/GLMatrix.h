#pragma once

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <numbers>

// Small column-major 4x4 matrices, computed in double precision from the
// textbook formulas, to check the matrices the kit leaves in OpenGL.
namespace KitTest {

using Matrix = std::array<double, 16>;

inline Matrix identity() {
    Matrix m{};
    m[0] = m[5] = m[10] = m[15] = 1.0;
    return m;
}

inline Matrix operator*(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k)
                m[column * 4 + row] += a[k * 4 + row] * b[column * 4 + k];
    return m;
}

inline Matrix translation(double x, double y, double z) {
    Matrix m = identity();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

// A right-handed rotation by `degrees` about the x (axis 0) or z (axis 2) axis.
inline Matrix rotation(double degrees, int axis) {
    const double r = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(r), s = std::sin(r);
    Matrix m = identity();
    const int a = axis == 0 ? 1 : 0, b = axis == 0 ? 2 : 1;
    m[a * 4 + a] = c;
    m[b * 4 + b] = c;
    m[a * 4 + b] = s;
    m[b * 4 + a] = -s;
    return m;
}

inline Matrix frustum(double l, double r, double b, double t, double n, double f) {
    Matrix m{};
    m[0] = 2 * n / (r - l);
    m[5] = 2 * n / (t - b);
    m[8] = (r + l) / (r - l);
    m[9] = (t + b) / (t - b);
    m[10] = -(f + n) / (f - n);
    m[11] = -1.0;
    m[14] = -2 * f * n / (f - n);
    return m;
}

inline Matrix ortho(double l, double r, double b, double t, double n, double f) {
    Matrix m = identity();
    m[0] = 2 / (r - l);
    m[5] = 2 / (t - b);
    m[10] = -2 / (f - n);
    m[12] = -(r + l) / (r - l);
    m[13] = -(t + b) / (t - b);
    m[14] = -(f + n) / (f - n);
    return m;
}

// The image of point (x, y, z) (w = 1), after the division by w.
inline std::array<double, 3> apply(const Matrix& m, double x, double y, double z) {
    const double w = m[3] * x + m[7] * y + m[11] * z + m[15];
    return {(m[0] * x + m[4] * y + m[8] * z + m[12]) / w,
            (m[1] * x + m[5] * y + m[9] * z + m[13]) / w,
            (m[2] * x + m[6] * y + m[10] * z + m[14]) / w};
}

inline Matrix glMatrix(GLenum which) {
    GLfloat values[16];
    glGetFloatv(which, values);
    Matrix m{};
    for (int k = 0; k < 16; ++k)
        m[k] = values[k];
    return m;
}

} // namespace KitTest

// Every entry within `tolerance` of the expected matrix.
#define EXPECT_MATRIX_NEAR(actual, expected, tolerance)                                            \
    do {                                                                                           \
        const KitTest::Matrix actualMatrix = (actual), expectedMatrix = (expected);                \
        for (int entry = 0; entry < 16; ++entry)                                                   \
            EXPECT_NEAR(actualMatrix[entry], expectedMatrix[entry], (tolerance))                   \
                << "entry " << entry;                                                              \
    } while (0)
