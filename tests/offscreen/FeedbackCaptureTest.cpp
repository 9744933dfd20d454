#include "support/OffscreenGLTest.h"

#include <GL/gl.h>

using namespace VexmiraTest;

class FeedbackCapture : public OffscreenGLTest {};

TEST_F(FeedbackCapture, ReportsObjectCoordinatesAndColours) {
    const float points[][3] = {{0.25f, -0.5f, 0.75f}, {-1.0f, 1.0f, -1.0f}, {10.5f, -20.25f, 30.0f}};
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
