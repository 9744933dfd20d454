#include "TolvaneKit/RVCamera.h"

#include "GLMatrix.h"
#include "support/OffscreenGLTest.h"

#include <cmath>
#include <numbers>

using namespace KitTest;

namespace {

class RVCameraSmoothingTest : public VexmiraTest::OffscreenGLTest {
protected:
    void SetUp() override {
        OffscreenGLTest::SetUp();
        camera.prepareOpenGL();
        camera.setWidth(64.0f, 64.0f);
        // The surface has a single front buffer and no auxiliary buffer.
        camera.setSmoothedBuffer(GL_FRONT, GL_FRONT);
        glClearColor(0, 0, 0, 1);
    }

    // A white quad in eye space, two units ahead, filling the view left of
    // window column `edgeColumn` (in pixels, may be fractional).
    void drawLeftOf(double edgeColumn) const {
        const double depth = 2.0;
        const double halfWidth = camera.horizontal() * depth / camera.hither();
        const double edge = (edgeColumn / 32.0 - 1.0) * halfWidth;
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glColor3f(1, 1, 1);
        glBegin(GL_QUADS);
        glVertex3d(-4 * halfWidth, -4 * halfWidth, -depth);
        glVertex3d(edge, -4 * halfWidth, -depth);
        glVertex3d(edge, 4 * halfWidth, -depth);
        glVertex3d(-4 * halfWidth, 4 * halfWidth, -depth);
        glEnd();
        glPopMatrix();
    }

    // Red channel of pixel column x on the middle row.
    int redAt(int x) { return static_cast<int>(pixel(surface().readPixels(), x, 32) >> 24); }

    RVCamera camera;
};

} // namespace

TEST(RVGetJitter, GivesTheSampleTable) {
    const struct {
        GLint current, total;
        GLfloat x, y;
    } cases[] = {
        {1, 1, 0, 0},
        {3, 1, 0, 0},
        {1, 2, -0.25f, 0.25f},
        {2, 2, 0.25f, -0.25f},
        {1, 3, 0.0033922635f, 0.33179674f},
        {2, 3, 0.28060162f, -0.2495619f},
        {3, 3, -0.2738171f, -0.08684464f},
        {1, 4, -0.125f, -0.25f},
        {2, 4, -0.375f, 0.25f},
        {3, 4, 0.375f, -0.25f},
        {7, 4, 0.125f, 0.25f},
        {1, 5, 0, 0},
        {2, 9, -0.2f, -0.4f},
        {3, 5, 0.2f, 0.4f},
        {4, 5, 0.4f, -0.2f},
        {5, 5, -0.4f, 0.2f},
    };
    for (const auto& c : cases) {
        GLfloat x = 9, y = 9;
        RVGetJitter(c.current, c.total, &x, &y);
        EXPECT_EQ(x, c.x) << c.current << " of " << c.total;
        EXPECT_EQ(y, c.y) << c.current << " of " << c.total;
    }
}

TEST_F(RVCameraSmoothingTest, PassCountIsClamped) {
    EXPECT_EQ(camera.setSmoothingPasses(0, 1).smoothingPasses(), 1);
    EXPECT_EQ(camera.setSmoothingPasses(-3, 1).smoothingPasses(), 1);
    EXPECT_EQ(camera.setSmoothingPasses(7, 1).smoothingPasses(), 5);
    EXPECT_EQ(camera.setSmoothingPasses(3, 0.5f).smoothingPasses(), 3);
    EXPECT_EQ(camera.smoothingJitter(), 0.5f);
}

TEST_F(RVCameraSmoothingTest, FourJitteredPassesAverageAnEdge) {
    // The edge runs through the centres of column 32: two of the four
    // samples fall left of it, two right, whichever way the view shifts.
    camera.setSmoothingPasses(1, 1.0f).smooth([&] { drawLeftOf(32.5); });
    const int unsmoothed = redAt(32);
    EXPECT_TRUE(unsmoothed == 0 || unsmoothed == 255) << unsmoothed;

    int draws = 0;
    camera.setSmoothingPasses(4, 1.0f).smooth([&] {
        ++draws;
        drawLeftOf(32.5);
    });
    EXPECT_EQ(draws, 4);
    EXPECT_NEAR(redAt(32), 127.5, 1.5);
    EXPECT_EQ(redAt(28), 255);
    EXPECT_EQ(redAt(36), 0);
    expectNoGLError();
}

TEST_F(RVCameraSmoothingTest, TwoPassesOfRedAndBlueGivePurple) {
    int pass = 0;
    camera.setSmoothingPasses(2, 1.0f).smooth([&] {
        glClearColor(pass == 0 ? 1.0f : 0.0f, 0.0f, pass == 0 ? 0.0f : 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        ++pass;
    });
    const std::uint32_t colour = pixel(surface().readPixels(), 10, 10);
    EXPECT_NEAR(static_cast<int>(colour >> 24), 127.5, 1);
    EXPECT_EQ((colour >> 16) & 0xff, 0u);
    EXPECT_NEAR(static_cast<int>((colour >> 8) & 0xff), 127.5, 1);
}

TEST_F(RVCameraSmoothingTest, EarlyStopReturnsFullBrightness) {
    int draws = 0, stops = 0;
    camera.setSmoothingPasses(5, 1.0f).smooth([&] { ++draws, drawLeftOf(64); },
                                              [&] { return ++stops == 2; });
    EXPECT_EQ(draws, 2);
    EXPECT_EQ(stops, 2);
    EXPECT_GE(redAt(20), 254); // 2 passes x 0.2, returned with 2.5
    // A full run of five reaches the same brightness.
    camera.smooth([&] { drawLeftOf(64); });
    EXPECT_GE(redAt(20), 254);
}

TEST_F(RVCameraSmoothingTest, PerspectivePassesShiftTheFrustum) {
    camera.setWidth(400, 300).setSmoothingPasses(4, 1.0f);
    const Matrix unjittered = glMatrix(GL_PROJECTION_MATRIX);
    std::vector<Matrix> seen;
    camera.smooth([&] { seen.push_back(glMatrix(GL_PROJECTION_MATRIX)); });
    ASSERT_EQ(seen.size(), 4u);
    // 4 passes, 300 pixels high: the first sample (-0.125, -0.25) pixels
    // shifts the window by (0.00022329099, 0.00044658198).
    const double h = 0.35726559, v = 0.26794919;
    const double dx = 0.00022329099, dy = 0.00044658198;
    EXPECT_MATRIX_NEAR(seen[0], frustum(-h + dx, h + dx, -v + dy, v + dy, 1, 100), 1e-6);
    EXPECT_MATRIX_NEAR(glMatrix(GL_PROJECTION_MATRIX), unjittered, 0);
}

TEST_F(RVCameraSmoothingTest, OrthographicPassesShiftTheViewInEyeSpace) {
    const GLfloat target[3] = {1, 1, 0};
    camera.setTarget(target);
    camera.setProjection(0).setSmoothingPasses(2, 1.0f);
    const Matrix view = glMatrix(GL_MODELVIEW_MATRIX);
    std::vector<std::array<double, 3>> targetSeen;
    camera.smooth([&] { targetSeen.push_back(apply(glMatrix(GL_MODELVIEW_MATRIX), 1, 1, 0)); });
    ASSERT_EQ(targetSeen.size(), 2u);
    // One pixel is 2 * vertical / height; the sample (-0.25, 0.25) moves the
    // view the opposite way.
    const double pixelSize = 2.0 * camera.vertical() / 64.0;
    EXPECT_NEAR(targetSeen[0][0], 0.25 * pixelSize, 1e-6);
    EXPECT_NEAR(targetSeen[0][1], -0.25 * pixelSize, 1e-6);
    EXPECT_NEAR(targetSeen[0][2], -10.0, 1e-5);
    EXPECT_MATRIX_NEAR(glMatrix(GL_MODELVIEW_MATRIX), view, 0);
}

TEST_F(RVCameraSmoothingTest, ZeroHeightChangesNoBufferSelection) {
    camera.setWidth(64, 0);
    glDrawBuffer(GL_NONE);
    int draws = 0;
    camera.setSmoothingPasses(3, 1.0f).smooth([&] { ++draws; });
    EXPECT_EQ(draws, 0);
    GLint drawBuffer = -1;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    EXPECT_EQ(drawBuffer, GL_NONE);
    expectNoGLError();
}

TEST_F(RVCameraSmoothingTest, MissingBuffersFallBackWithoutGLErrors) {
    // The camera's own choice, an auxiliary buffer, does not exist here.
    camera.setSmoothedBuffer(GL_FRONT, GL_AUX0).setSmoothingPasses(4, 1.0f);
    camera.smooth([&] { drawLeftOf(32.5); });
    expectNoGLError();
    EXPECT_NEAR(redAt(32), 127.5, 1.5);

    // No back buffer either: the result goes where drawing went before.
    camera.setSmoothedBuffer(GL_BACK, GL_AUX1).smooth([&] { drawLeftOf(32.5); });
    expectNoGLError();
    GLint drawBuffer = -1;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    EXPECT_EQ(drawBuffer, GL_FRONT);
    EXPECT_NEAR(redAt(32), 127.5, 1.5);
}
