#include "support/OffscreenGLTest.h"

#include <GL/gl.h>

namespace VexmiraTest {

namespace {

constexpr int valuesPerVertex = 7; // x, y, z, r, g, b, a for GL_3D_COLOR

// Converts the window coordinates of the capture set-up back to object space.
FeedbackVertex toObjectSpace(const GLfloat* values) {
    const double e = OffscreenGLTest::captureExtent;
    FeedbackVertex v{};
    v.x = static_cast<float>(values[0]);
    v.y = static_cast<float>(values[1]);
    v.z = static_cast<float>(-(2.0 * values[2] - 1.0) * e);
    v.red = values[3];
    v.green = values[4];
    v.blue = values[5];
    v.alpha = values[6];
    return v;
}

std::vector<FeedbackPrimitive> parse(const std::vector<GLfloat>& buffer, int used) {
    std::vector<FeedbackPrimitive> primitives;
    int at = 0;
    auto takeVertices = [&](FeedbackPrimitive& primitive, int count) {
        for (int k = 0; k < count && at + valuesPerVertex <= used; ++k, at += valuesPerVertex)
            primitive.vertices.push_back(toObjectSpace(&buffer[at]));
    };
    while (at < used) {
        const int token = static_cast<int>(buffer[at++]);
        FeedbackPrimitive primitive{FeedbackPrimitive::Point, {}};
        switch (token) {
        case GL_POINT_TOKEN:
            takeVertices(primitive, 1);
            break;
        case GL_LINE_TOKEN:
            primitive.kind = FeedbackPrimitive::Line;
            takeVertices(primitive, 2);
            break;
        case GL_LINE_RESET_TOKEN:
            primitive.kind = FeedbackPrimitive::LineReset;
            takeVertices(primitive, 2);
            break;
        case GL_POLYGON_TOKEN:
            primitive.kind = FeedbackPrimitive::Polygon;
            takeVertices(primitive, static_cast<int>(buffer[at++]));
            break;
        case GL_BITMAP_TOKEN:
            primitive.kind = FeedbackPrimitive::Bitmap;
            takeVertices(primitive, 1);
            break;
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            primitive.kind = FeedbackPrimitive::Pixels;
            takeVertices(primitive, 1);
            break;
        case GL_PASS_THROUGH_TOKEN:
            primitive.kind = FeedbackPrimitive::PassThrough;
            primitive.passThroughValue = buffer[at++];
            break;
        default:
            ADD_FAILURE() << "unknown feedback token " << token;
            return primitives;
        }
        primitives.push_back(std::move(primitive));
    }
    return primitives;
}

} // namespace

std::vector<std::vector<FeedbackVertex>> polylines(const std::vector<FeedbackPrimitive>& primitives) {
    auto samePosition = [](const FeedbackVertex& a, const FeedbackVertex& b) {
        return a.x == b.x && a.y == b.y && a.z == b.z;
    };
    std::vector<std::vector<FeedbackVertex>> lines;
    for (const auto& primitive : primitives) {
        const bool isLine = primitive.kind == FeedbackPrimitive::Line ||
                            primitive.kind == FeedbackPrimitive::LineReset;
        if (!isLine || primitive.vertices.size() != 2)
            continue;
        const bool continues = !lines.empty() && primitive.kind == FeedbackPrimitive::Line &&
                               samePosition(lines.back().back(), primitive.vertices.front());
        if (!continues)
            lines.push_back({primitive.vertices.front()});
        lines.back().push_back(primitive.vertices.back());
    }
    return lines;
}

void OffscreenGLTest::SetUp() {
    recreateSurface(defaultWidth, defaultHeight);
}

void OffscreenGLTest::TearDown() {
    surface_.reset();
}

void OffscreenGLTest::recreateSurface(int width, int height) {
    surface_.reset();
    std::string error;
    surface_ = Platform::OffscreenSurface::create(width, height, &error);
    ASSERT_TRUE(surface_) << error;
    glViewport(0, 0, width, height);
}

std::vector<FeedbackPrimitive> OffscreenGLTest::captureFeedback(const std::function<void()>& draw) {
    const int e = static_cast<int>(captureExtent);
    glPushAttrib(GL_VIEWPORT_BIT | GL_TRANSFORM_BIT);
    glViewport(-e, -e, 2 * e, 2 * e);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-e, e, -e, e, -e, e);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    std::vector<GLfloat> buffer(1 << 16);
    int used = -1;
    while (used < 0) {
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
        used = glRenderMode(GL_RENDER);
        if (used < 0)
            buffer.resize(buffer.size() * 4);
    }

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
    return parse(buffer, used);
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
