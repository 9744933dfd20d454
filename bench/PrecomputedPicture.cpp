#include "bench/PrecomputedPicture.h"

#include "Vexmira/Blowup.h"

#include <GL/gl.h>

#include <cmath>

namespace {

// The fully saturated colour of a hue in [0, 360).
void appendHue(std::vector<float>& colors, double hue) {
    const double h = hue / 60.0;
    const int sector = static_cast<int>(std::floor(h));
    const float f = static_cast<float>(h - sector), q = 1.0f - f;
    const float table[6][3] = {{1, f, 0}, {q, 1, 0}, {0, 1, f}, {0, q, 1}, {f, 0, 1}, {1, 0, q}};
    colors.insert(colors.end(), table[sector % 6], table[sector % 6] + 3);
}

void append(std::vector<float>& to, double x, double y, double z) {
    to.insert(to.end(), {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)});
}

} // namespace

PrecomputedPicture PrecomputedPicture::of(const Blowup& model) {
    constexpr double P = 3.1415926535, H = 1.57079632675;
    const double beta = model.blowup(), iota = model.immersion();
    const int M = model.meridians(), R = model.resolution();
    PrecomputedPicture picture;
    for (int i = M - 1; i >= 0; --i) {
        const double s = double(i) / M, theta = s * P, delta = iota - theta;
        const double a = beta * std::cos(delta) * std::cos(2 * delta);
        const double b = beta * std::sin(delta) * std::cos(2 * delta);
        const double c = -beta * std::sin(2 * delta);
        for (int j = 2 * R; j >= 1; --j) {
            const double t = j * P / R - H, w = (std::sin(t) + 1) / 2;
            const double x = a * w + std::cos(t), y = b * w, z = c * w + std::sin(t);
            if (j == 2 * R)
                append(picture.stripPositions_, 0, 0, -1);
            else
                append(picture.stripPositions_, x * std::cos(theta) - y * std::sin(theta),
                       x * std::sin(theta) + y * std::cos(theta), z);
            appendHue(picture.stripColors_, s * 360.0);
        }
    }
    append(picture.stripPositions_, 0, 0, -1);
    appendHue(picture.stripColors_, 0.0);
    for (int j = 2 * R - 1; j >= 0; --j) {
        const double t = j * P / R - H;
        append(picture.loopPositions_, beta * std::cos(t) * std::cos(iota),
               beta * std::cos(t) * std::sin(iota), beta * std::sin(t) + 1);
    }
    return picture;
}

void PrecomputedPicture::draw() const {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, stripPositions_.data());
    glColorPointer(3, GL_FLOAT, 0, stripColors_.data());
    glDrawArrays(GL_LINE_STRIP, 0, stripVertices());
    glDisableClientState(GL_COLOR_ARRAY);
    glColor3f(1.0f, 1.0f, 1.0f);
    glVertexPointer(3, GL_FLOAT, 0, loopPositions_.data());
    glDrawArrays(GL_LINE_LOOP, 0, loopVertices());
    glDisableClientState(GL_VERTEX_ARRAY);
}
