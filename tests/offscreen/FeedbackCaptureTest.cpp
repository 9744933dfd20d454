#include "support/OffscreenGLTest.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace VexmiraTest;

class FeedbackCapture : public OffscreenGLTest {};

TEST_F(FeedbackCapture, ReturnsExactlyTheFloatsAndColoursSentHoweverMany) {
    std::vector<float> values; // all mantissa bits in use, over several binades
    float value = 1.0f / 3.0f;
    for (int k = 0; k < 150000; ++k) { // far beyond the first feedback buffer
        values.push_back(k % 2 ? -value : value);
        value = std::fmod(value * 7.77f + 0.123456789f, 5.0f) * (k % 50 == 0 ? 1e-7f : 1.0f);
    }
    auto points = captureFeedback([&] {
        glColor3f(1, 0.5f, 0);
        glBegin(GL_POINTS);
        for (std::size_t k = 0; k + 2 < values.size(); k += 3)
            glVertex3f(values[k], values[k + 1], values[k + 2]);
        glEnd();
    });
    ASSERT_EQ(points.size(), values.size() / 3);
    for (std::size_t n = 0; n < points.size(); ++n) {
        const auto& v = points[n].vertices.at(0);
        ASSERT_TRUE(v.x == values[3 * n] && v.y == values[3 * n + 1] && v.z == values[3 * n + 2])
            << "point " << n;
        ASSERT_TRUE(v.red == 1 && v.green == 0.5f && v.blue == 0 && v.alpha == 1) << n;
    }

    auto lines = polylines(captureFeedback([] {
        const GLenum modes[] = {GL_LINE_STRIP, GL_LINE_LOOP};
        for (int k = 0; k < 2; ++k) {
            glBegin(modes[k]);
            glVertex3f(0, float(k), 0);
            glVertex3f(1, float(k), 0);
            glVertex3f(1, float(k + 3), 0);
            glEnd();
        }
    }));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 3u);
    ASSERT_EQ(lines[1].size(), 4u) << "a loop closes";
    EXPECT_TRUE(lines[1][3].x == 0 && lines[1][3].y == 1);
    expectNoGLError();
}

TEST_F(FeedbackCapture, FollowsTheDrawingsStateAndRestoresTheCallers) {
    glMatrixMode(GL_PROJECTION);
    glOrtho(-2, 2, -2, 2, -2, 2);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(0.125f, 0, 0);
    GLfloat projection[16], modelview[16], after[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    auto moved = captureFeedback([] {
        glTranslatef(0.5f, -2.0f, 0.25f);
        glBegin(GL_POINTS);
        glVertex3f(1.0f, 1.0f, 1.0f);
        glEnd();
        glDisable(GL_TEXTURE_2D); // then positions come from window coordinates
        glBegin(GL_POINTS);
        glVertex3f(0.3f, -0.7f, 0.9f);
        glEnd();
    });
    ASSERT_EQ(moved.size(), 2u);
    const auto& exact = moved[0].vertices.at(0);
    EXPECT_TRUE(exact.x == 1.5f && exact.y == -1.0f && exact.z == 1.25f);
    const auto& near = moved[1].vertices.at(0);
    EXPECT_NEAR(near.x, 0.8f, 1e-5);
    EXPECT_NEAR(near.y, -2.7f, 1e-5);
    EXPECT_NEAR(near.z, 1.15f, 1e-5);

    glGetFloatv(GL_PROJECTION_MATRIX, after);
    EXPECT_TRUE(std::equal(after, after + 16, projection));
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_TRUE(std::equal(after, after + 16, modelview));
    GLint mode = 0, viewport[4] = {}, texture = -1;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_TRUE(viewport[2] == defaultWidth && viewport[3] == defaultHeight);
    EXPECT_EQ(texture, 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_TEXTURE_GEN_S));
    expectNoGLError();
}
