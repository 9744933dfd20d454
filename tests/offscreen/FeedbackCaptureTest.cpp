#include "support/OffscreenGLTest.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace VexmiraTest;

class FeedbackCapture : public OffscreenGLTest {};

TEST_F(FeedbackCapture, ReportsObjectCoordinatesAndColours) {
    const float points[][3] = {
        {0.25f, -0.5f, 0.75f}, {-1.0f, 1.0f, -1.0f}, {10.5f, -20.25f, 30.0f}};
    auto primitives = captureFeedback([&] {
        glBegin(GL_LINE_STRIP);
        glColor3f(1, 0.5f, 0);
        for (const auto& p : points)
            glVertex3f(p[0], p[1], p[2]);
        glEnd();
    });
    auto lines = polylines(primitives);
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0].size(), 3u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(lines[0][k].x, points[k][0], 1e-4);
        EXPECT_NEAR(lines[0][k].y, points[k][1], 1e-4);
        EXPECT_NEAR(lines[0][k].z, points[k][2], 1e-4);
        EXPECT_FLOAT_EQ(lines[0][k].green, 0.5f);
    }
    expectNoGLError();
}

TEST_F(FeedbackCapture, SeparatesStripsAndClosesLoops) {
    auto primitives = captureFeedback([] {
        glBegin(GL_LINE_STRIP);
        glVertex3f(0, 0, 0);
        glVertex3f(1, 0, 0);
        glEnd();
        glBegin(GL_LINE_LOOP);
        glVertex3f(0, 1, 0);
        glVertex3f(1, 1, 0);
        glVertex3f(1, 2, 0);
        glEnd();
    });
    auto lines = polylines(primitives);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 2u);
    ASSERT_EQ(lines[1].size(), 4u);
    EXPECT_FLOAT_EQ(lines[1][3].y, 1.0f);
}

TEST_F(FeedbackCapture, GrowsItsBufferForLargeDrawings) {
    const int count = 50000;
    auto primitives = captureFeedback([] {
        glBegin(GL_POINTS);
        for (int k = 0; k < count; ++k)
            glVertex3f(static_cast<float>(k % 100) * 0.1f, 0, 0);
        glEnd();
    });
    EXPECT_EQ(primitives.size(), static_cast<std::size_t>(count));
}

namespace {

// Floats with all bits of the mantissa in use, over several binades.
std::vector<float> awkwardFloats() {
    std::vector<float> values;
    float value = 1.0f / 3.0f;
    for (int k = 0; k < 300; ++k) {
        values.push_back(k % 2 ? -value : value);
        value = std::fmod(value * 7.77f + 0.123456789f, 5.0f);
        if (k % 50 == 0)
            value *= 1e-7f;
    }
    return values;
}

} // namespace

TEST_F(FeedbackCapture, ReturnsExactlyTheFloatsThatWereSent) {
    const auto values = awkwardFloats();
    auto primitives = captureFeedback([&] {
        glBegin(GL_POINTS);
        for (std::size_t k = 0; k + 2 < values.size(); k += 3)
            glVertex3f(values[k], values[k + 1], values[k + 2]);
        glEnd();
    });
    ASSERT_EQ(primitives.size(), values.size() / 3);
    for (std::size_t n = 0; n < primitives.size(); ++n) {
        const auto& v = primitives[n].vertices.at(0);
        EXPECT_EQ(v.x, values[3 * n]);
        EXPECT_EQ(v.y, values[3 * n + 1]);
        EXPECT_EQ(v.z, values[3 * n + 2]);
    }
}

TEST_F(FeedbackCapture, FollowsTheDrawingsOwnModelviewAndTexturing) {
    auto moved = captureFeedback([] {
        glPushMatrix();
        glTranslatef(0.5f, -2.0f, 0.25f);
        glBegin(GL_POINTS);
        glVertex3f(1.0f, 1.0f, 1.0f);
        glEnd();
        glPopMatrix();
    });
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].vertices[0].x, 1.5f);
    EXPECT_EQ(moved[0].vertices[0].y, -1.0f);
    EXPECT_EQ(moved[0].vertices[0].z, 1.25f);

    // A drawing that turns texturing off still gets its positions, from the
    // window coordinates.
    auto untextured = captureFeedback([] {
        glDisable(GL_TEXTURE_2D);
        glBegin(GL_POINTS);
        glVertex3f(0.3f, -0.7f, 0.9f);
        glEnd();
    });
    ASSERT_EQ(untextured.size(), 1u);
    EXPECT_NEAR(untextured[0].vertices[0].x, 0.3f, 1e-5);
    EXPECT_NEAR(untextured[0].vertices[0].y, -0.7f, 1e-5);
    EXPECT_NEAR(untextured[0].vertices[0].z, 0.9f, 1e-5);
}

TEST_F(FeedbackCapture, LeavesTheCallersStateAsItWas) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, -2, 2);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.125f, 0, 0);
    GLfloat projection[16], modelview[16], after[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);

    captureFeedback([] {
        glBegin(GL_POINTS);
        glVertex3f(0, 0, 0);
        glEnd();
    });

    glGetFloatv(GL_PROJECTION_MATRIX, after);
    EXPECT_TRUE(std::equal(after, after + 16, projection));
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_TRUE(std::equal(after, after + 16, modelview));
    GLint mode = 0, viewport[4] = {}, texture = -1;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(viewport[2], defaultWidth);
    EXPECT_EQ(viewport[3], defaultHeight);
    EXPECT_EQ(texture, 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    expectNoGLError();
}
