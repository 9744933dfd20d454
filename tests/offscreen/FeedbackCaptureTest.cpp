#include "support/OffscreenGLTest.h"
#include <GL/gl.h>

#include <algorithm>

using namespace VexmiraTest;

class FeedbackCapture : public OffscreenGLTest {};

// Exactness, joined lines, colours and buffer growth are exercised by the blow-up drawing's tests.
TEST_F(FeedbackCapture, FollowsTheDrawingsTransformsAndRestoresTheCallersState) {
    glMatrixMode(GL_PROJECTION);
    glOrtho(-2, 2, -2, 2, -2, 2);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(0.125f, 0, 0);
    GLfloat before[2][16], after[2][16];
    glGetFloatv(GL_PROJECTION_MATRIX, before[0]);
    glGetFloatv(GL_MODELVIEW_MATRIX, before[1]);
    const auto primitives = captureFeedback([] {
        glTranslatef(0.5f, -2.0f, 0.25f);
        glBegin(GL_POINTS);
        glVertex3f(1.0f, 1.0f, 1.0f);
        glEnd();
        glDisable(GL_TEXTURE_2D); // then positions come from window coordinates
        glBegin(GL_POINTS);
        glVertex3f(0.3f, -0.7f, 0.9f);
        glEnd();
    });
    ASSERT_EQ(primitives.size(), 2u);
    const auto& exact = primitives[0].vertices.at(0);
    EXPECT_TRUE(exact.x == 1.5f && exact.y == -1.0f && exact.z == 1.25f);
    const auto& near = primitives[1].vertices.at(0);
    EXPECT_NEAR(near.x, 0.8f, 1e-5);
    EXPECT_NEAR(near.y, -2.7f, 1e-5);
    EXPECT_NEAR(near.z, 1.15f, 1e-5);

    glGetFloatv(GL_PROJECTION_MATRIX, after[0]);
    glGetFloatv(GL_MODELVIEW_MATRIX, after[1]);
    EXPECT_TRUE(std::equal(after[0], after[0] + 32, before[0]));
    GLint mode = 0, viewport[4] = {}, texture = -1;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    EXPECT_TRUE(mode == GL_MODELVIEW && texture == 0);
    EXPECT_TRUE(viewport[2] == defaultWidth && viewport[3] == defaultHeight);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_TEXTURE_GEN_S));
    expectNoGLError();
}
