#include "TolvaneKit/RVCamera.h"

#include "GLMatrix.h"
#include "support/OffscreenGLTest.h"

using namespace KitTest;

namespace {

class RVCameraSmoothingTest : public VexmiraTest::OffscreenGLTest {
protected:
    void SetUp() override {
        OffscreenGLTest::SetUp();
        camera.prepareOpenGL();
        camera.setWidth(64.0f, 64.0f).setSmoothedBuffer(GL_FRONT, GL_FRONT); // no back buffer
        glClearColor(0, 0, 0, 1);
    }

    // A white quad two units ahead filling the view left of window column `edge` (fractional).
    void drawLeftOf(double edge) const {
        const double size = 8 * camera.horizontal() / camera.hither();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glTranslated(0, 0, -2);
        glColor3f(1, 1, 1);
        glRectd(-size, -size, (edge / 32.0 - 1.0) * size / 4, size);
        glPopMatrix();
    }

    // Red channel of pixel column x on the middle row.
    int redAt(int x) { return static_cast<int>(pixel(surface().readPixels(), x, 32) >> 24); }

    RVCamera camera;
};

} // namespace

TEST_F(RVCameraSmoothingTest, PassesAreClampedAndShiftTheViewByTheSampleTable) {
    // Samples (x, y) of passes 1, 2, ... for totals 1 to 5.
    const std::vector<GLfloat> samples[] = {
        {0, 0},
        {-0.25f, 0.25f, 0.25f, -0.25f},
        {0.0033922635f, 0.33179674f, 0.28060162f, -0.2495619f, -0.2738171f, -0.08684464f},
        {-0.125f, -0.25f, -0.375f, 0.25f, 0.375f, -0.25f, 0.125f, 0.25f},
        {0, 0, -0.2f, -0.4f, 0.2f, 0.4f, 0.4f, -0.2f, -0.4f, 0.2f}};
    // Pass and total asked, then the sample expected: beyond the table, the last pass of five.
    std::vector<std::array<GLint, 4>> cases = {{3, 1, 1, 1}, {7, 4, 4, 4}, {2, 9, 2, 5}};
    for (GLint total = 1; total <= 5; ++total)
        for (GLint current = 1; current <= total; ++current)
            cases.push_back({current, total, current, total});
    for (const auto& [current, total, row, column] : cases) {
        GLfloat x = 9, y = 9;
        RVGetJitter(current, total, &x, &y);
        EXPECT_EQ(x, samples[column - 1][2 * row - 2]) << current << " of " << total;
        EXPECT_EQ(y, samples[column - 1][2 * row - 1]) << current << " of " << total;
    }

    for (auto [asked, kept] : {std::pair{0, 1}, {-3, 1}, {7, 5}, {3, 3}})
        EXPECT_EQ(camera.setSmoothingPasses(asked, 0.5f).smoothingPasses(), kept) << asked;
    camera.setWidth(400, 300).setSmoothingPasses(4, 1.0f);
    const Matrix unjittered = glMatrix(GL_PROJECTION_MATRIX);
    std::vector<Matrix> seen;
    camera.smooth([&] { seen.push_back(glMatrix(GL_PROJECTION_MATRIX)); });
    ASSERT_EQ(seen.size(), 4u);
    // 300 pixels high: the first sample (-0.125, -0.25) pixels shifts the window by (dx, dy).
    const double h = 0.35726559, v = 0.26794919, dx = 0.00022329099, dy = 0.00044658198;
    EXPECT_MATRIX_NEAR(seen[0], frustum(-h + dx, h + dx, -v + dy, v + dy, 1, 100), 1e-6);
    EXPECT_MATRIX_NEAR(glMatrix(GL_PROJECTION_MATRIX), unjittered, 0);
}

TEST_F(RVCameraSmoothingTest, PassesAverageAnEdgeStopEarlyAtFullBrightnessAndSkipZeroHeight) {
    // The edge runs through the centre of column 32: two of four samples fall on either side.
    camera.setSmoothingPasses(1, 1.0f).smooth([&] { drawLeftOf(32.5); });
    EXPECT_TRUE(redAt(32) == 0 || redAt(32) == 255) << redAt(32);
    // Neither the camera's auxiliary buffer nor a back buffer exists here.
    const GLenum buffers[][2] = {{GL_FRONT, GL_FRONT}, {GL_FRONT, GL_AUX0}, {GL_BACK, GL_AUX1}};
    for (const auto& [smoothed, auxiliary] : buffers) {
        SCOPED_TRACE(auxiliary);
        int draws = 0;
        camera.setSmoothedBuffer(smoothed, auxiliary).setSmoothingPasses(4, 1.0f).smooth([&] {
            ++draws;
            drawLeftOf(32.5);
        });
        EXPECT_EQ(draws, 4);
        EXPECT_NEAR(redAt(32), 127.5, 1.5);
        EXPECT_EQ(redAt(28), 255);
        EXPECT_EQ(redAt(36), 0);
        EXPECT_EQ(glInteger(GL_DRAW_BUFFER), GL_FRONT);
    }

    int draws = 0, stops = 0;
    camera.setSmoothedBuffer(GL_FRONT, GL_FRONT).setSmoothingPasses(5, 1.0f);
    camera.smooth([&] { ++draws, drawLeftOf(64); }, [&] { return ++stops == 2; });
    EXPECT_EQ(draws, 2);
    EXPECT_GE(redAt(20), 254); // 2 passes x 0.2, returned with 2.5

    camera.setWidth(64, 0);
    glDrawBuffer(GL_NONE);
    camera.smooth([&] { ++draws; });
    EXPECT_EQ(draws, 2);
    EXPECT_EQ(glInteger(GL_DRAW_BUFFER), GL_NONE);
    expectNoGLError();
}
