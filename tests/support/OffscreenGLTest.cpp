#include "support/OffscreenGLTest.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace VexmiraTest {

namespace {

// x, y, z, r, g, b, a, s, t, r, q for GL_3D_COLOR_TEXTURE
constexpr int valuesPerVertex = 11;

// Window coordinates are only nearly exact: the viewport's depth mapping
// adds 0.5 and Mesa flips y against the buffer height, which costs a few
// units in the last place. Texture coordinates generated in eye space carry
// the eye coordinates through feedback untouched, so they are preferred
// whenever the drawing left texturing alone and they agree with the window
// coordinates.
FeedbackVertex toObjectSpace(const GLfloat* values) {
    const double e = OffscreenGLTest::captureExtent;
    const float fromWindow[3] = {values[0], values[1],
                                 static_cast<float>(-(2.0 * values[2] - 1.0) * e)};
    const GLfloat* generated = values + 7;
    bool generatedAgrees = generated[3] == 1.0f;
    for (int k = 0; k < 3 && generatedAgrees; ++k)
        generatedAgrees = std::fabs(generated[k] - fromWindow[k]) <=
                          1e-3 * std::max(1.0f, std::fabs(fromWindow[k]));
    const float* position = generatedAgrees ? generated : fromWindow;
    FeedbackVertex v{};
    v.x = position[0];
    v.y = position[1];
    v.z = position[2];
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

// Generates texture coordinates (s, t, r, q) = eye (x, y, z, w) on unit 0.
// Mesa generates them only while texturing is on, hence the 1x1 texture.
GLuint beginEyeCoordinateTexturing() {
    glActiveTexture(GL_TEXTURE0);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const GLubyte white[4] = {255, 255, 255, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glEnable(GL_TEXTURE_2D);
    const GLenum coordinates[4] = {GL_S, GL_T, GL_R, GL_Q};
    const GLenum generators[4] = {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R,
                                  GL_TEXTURE_GEN_Q};
    for (int k = 0; k < 4; ++k) {
        GLfloat plane[4] = {0, 0, 0, 0};
        plane[k] = 1;
        glTexGeni(coordinates[k], GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
        glTexGenfv(coordinates[k], GL_EYE_PLANE, plane); // the modelview is the identity here
        glEnable(generators[k]);
    }
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    return texture;
}

void endEyeCoordinateTexturing(GLuint texture) {
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glDeleteTextures(1, &texture);
}

} // namespace

std::vector<std::vector<FeedbackVertex>>
polylines(const std::vector<FeedbackPrimitive>& primitives) {
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
    GLint activeTexture = GL_TEXTURE0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeTexture);
    glPushAttrib(GL_VIEWPORT_BIT | GL_TRANSFORM_BIT | GL_TEXTURE_BIT | GL_ENABLE_BIT);
    glViewport(-e, -e, 2 * e, 2 * e);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-e, e, -e, e, -e, e);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const GLuint texture = beginEyeCoordinateTexturing();

    std::vector<GLfloat> buffer(1 << 16);
    int used = -1;
    while (used < 0) {
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
        used = glRenderMode(GL_RENDER);
        if (used < 0)
            buffer.resize(buffer.size() * 4);
    }

    endEyeCoordinateTexturing(texture);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
    glActiveTexture(static_cast<GLenum>(activeTexture));
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
