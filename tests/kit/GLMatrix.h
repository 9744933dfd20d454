#pragma once

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <numbers>

// Column-major 4x4 matrices from the textbook formulas, to check the kit's OpenGL matrices.
namespace KitTest {

using Matrix = std::array<double, 16>;

inline Matrix operator*(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int entry = 0; entry < 16; ++entry)
        for (int k = 0; k < 4; ++k)
            m[entry] += a[k * 4 + entry % 4] * b[entry / 4 * 4 + k];
    return m;
}

inline Matrix translation(double x, double y, double z) {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
}

// A right-handed rotation by `degrees` about the x, y or z axis (0, 1 or 2).
inline Matrix rotation(double degrees, int axis) {
    const double r = degrees * std::numbers::pi / 180.0;
    const int a = (axis + 1) % 3, b = (axis + 2) % 3;
    Matrix m = translation(0, 0, 0);
    m[a * 4 + a] = m[b * 4 + b] = std::cos(r);
    m[a * 4 + b] = std::sin(r);
    m[b * 4 + a] = -std::sin(r);
    return m;
}

inline Matrix frustum(double l, double r, double b, double t, double n, double f) {
    Matrix m{};
    m[0] = 2 * n / (r - l), m[5] = 2 * n / (t - b), m[8] = (r + l) / (r - l);
    m[9] = (t + b) / (t - b), m[10] = -(f + n) / (f - n), m[11] = -1, m[14] = -2 * f * n / (f - n);
    return m;
}

inline Matrix ortho(double l, double r, double b, double t, double n, double f) {
    Matrix m = translation(-(r + l) / (r - l), -(t + b) / (t - b), -(f + n) / (f - n));
    m[0] = 2 / (r - l), m[5] = 2 / (t - b), m[10] = -2 / (f - n);
    return m;
}

inline Matrix glMatrix(GLenum which) {
    Matrix m;
    glGetDoublev(which, m.data());
    return m;
}

inline GLint glInteger(GLenum which) {
    GLint value = -1;
    glGetIntegerv(which, &value);
    return value;
}

} // namespace KitTest

// Entry by entry; `actual` and `expected` are indexable and evaluated once per entry.
#define EXPECT_ENTRIES_NEAR(count, actual, expected, tolerance)                                    \
    for (int entry = 0; entry < (count); ++entry)                                                  \
    EXPECT_NEAR((actual)[entry], (expected)[entry], (tolerance)) << "entry " << entry
#define EXPECT_MATRIX_NEAR(actual, expected, tolerance)                                            \
    EXPECT_ENTRIES_NEAR(16, KitTest::Matrix(actual), KitTest::Matrix(expected), tolerance)
