#include "support/OffscreenGLTest.h"

#include "TolvaneKit/View/RVFeedback.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace VexmiraTest {

namespace {

constexpr int valuesPerVertex = RVFeedback::floatsPerVertex;
constexpr double captureExtent = 64.0; // half the cube in which object coordinates are reported

// Texture coordinates generated in eye space are exact, window coordinates a few ulps off.
FeedbackVertex toObjectSpace(const GLfloat* values) {
    const float fromWindow[3] = {values[0], values[1],
                                 static_cast<float>(-(2.0 * values[2] - 1.0) * captureExtent)};
    const GLfloat* generated = values + RVFeedback::textureOffset;
    bool agrees = generated[3] == 1.0f;
    for (int k = 0; k < 3; ++k)
        agrees = agrees && std::fabs(generated[k] - fromWindow[k]) <=
                               1e-3 * std::max(1.0f, std::fabs(fromWindow[k]));
    const float* p = agrees ? generated : fromWindow;
    return {p[0], p[1], p[2], values[3], values[4], values[5], values[6]};
}

std::vector<FeedbackPrimitive> parse(const std::vector<GLfloat>& buffer, int used) {
    // Indexed by token - GL_PASS_THROUGH_TOKEN; the tokens run up to GL_LINE_RESET_TOKEN.
    using F = FeedbackPrimitive;
    constexpr F::Kind kinds[] = {F::PassThrough, F::Point,  F::Line,   F::Polygon,
                                 F::Bitmap,      F::Pixels, F::Pixels, F::LineReset};
    constexpr int vertexCounts[] = {0, 1, 2, -1 /* follows the token */, 1, 1, 1, 2};
    std::vector<FeedbackPrimitive> primitives;
    for (int at = 0; at < used;) {
        const int index = static_cast<int>(buffer[at++]) - GL_PASS_THROUGH_TOKEN;
        if (index < 0 || index > GL_LINE_RESET_TOKEN - GL_PASS_THROUGH_TOKEN) {
            ADD_FAILURE() << "unknown feedback token " << buffer[at - 1];
            break;
        }
        FeedbackPrimitive primitive{kinds[index], {}};
        at += primitive.kind == F::PassThrough; // skips the value passed through
        const int count =
            vertexCounts[index] < 0 ? static_cast<int>(buffer[at++]) : vertexCounts[index];
        for (int k = 0; k < count && at + valuesPerVertex <= used; ++k, at += valuesPerVertex)
            primitive.vertices.push_back(toObjectSpace(&buffer[at]));
        primitives.push_back(std::move(primitive));
    }
    return primitives;
}

} // namespace

std::vector<std::vector<FeedbackVertex>>
polylines(const std::vector<FeedbackPrimitive>& primitives) {
    std::vector<std::vector<FeedbackVertex>> lines;
    for (const auto& primitive : primitives) {
        const bool reset = primitive.kind == FeedbackPrimitive::LineReset;
        if ((!reset && primitive.kind != FeedbackPrimitive::Line) || primitive.vertices.size() != 2)
            continue;
        const auto& from = primitive.vertices[0];
        if (reset || lines.empty() || lines.back().back().x != from.x ||
            lines.back().back().y != from.y || lines.back().back().z != from.z)
            lines.push_back({from});
        lines.back().push_back(primitive.vertices[1]);
    }
    return lines;
}

void OffscreenGLTest::recreateSurface(int width, int height) {
    surface_.reset();
    std::string error;
    surface_ = Platform::OffscreenSurface::create(width, height, &error);
    ASSERT_TRUE(surface_) << error;
    glViewport(0, 0, width, height);
}

std::vector<FeedbackPrimitive> OffscreenGLTest::captureFeedback(const std::function<void()>& draw) {
    // Too small a buffer: run it again with more room.
    for (std::size_t floats = 1 << 16;; floats *= 4)
        if (const auto feedback =
                RVFeedback::capture(draw, floats, static_cast<GLfloat>(captureExtent)))
            return parse(*feedback, static_cast<int>(feedback->size()));
}

std::vector<float> OffscreenGLTest::currentColor() {
    std::vector<float> color(4);
    glGetFloatv(GL_CURRENT_COLOR, color.data());
    return color;
}

void OffscreenGLTest::expectNoGLError() {
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError())
        ADD_FAILURE() << "OpenGL error 0x" << std::hex << error;
}

} // namespace VexmiraTest
