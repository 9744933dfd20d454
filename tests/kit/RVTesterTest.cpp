#include "TolvaneKit/RVTester.h"

#include "GLMatrix.h"
#include "TolvaneKit/RVCamera.h"
#include "support/OffscreenGLTest.h"

#include <cmath>
#include <vector>

using namespace KitTest;

namespace {

constexpr double depthUnit = 1.0 / 4294967296.0; // one step of a selection depth

class RVTesterTest : public VexmiraTest::OffscreenGLTest {
protected:
    void SetUp() override {
        OffscreenGLTest::SetUp();
        // Looking straight down at the origin from (0, 0, 10).
        camera.prepareOpenGL();
        camera.setWidth(64.0f, 64.0f);
        ASSERT_TRUE(tester.setHitBufferSize(512));
        ASSERT_TRUE(tester.setNameDepth(1, 1));
    }

    // A triangle in the plane z = height around (x, y).
    static void triangleAt(double x, double y, double height, double size = 1.0) {
        glBegin(GL_TRIANGLES);
        glVertex3d(x - size, y - size, height);
        glVertex3d(x + size, y - size, height);
        glVertex3d(x, y + size, height);
        glEnd();
    }

    // One triangle at the centre of the view per depth, each under its own
    // name (1, 2, ...), the depth forced through the depth range.
    static void trianglesAtDepths(const std::vector<GLuint>& depths) {
        GLuint name = 1;
        for (GLuint depth : depths) {
            glDepthRange(depth * depthUnit, depth * depthUnit);
            glLoadName(name++);
            triangleAt(0, 0, 0);
        }
        glDepthRange(0, 1);
    }

    std::vector<GLuint> firstNames() const {
        std::vector<GLuint> names;
        for (GLint i = 0; i < tester.numberOfResults(); ++i)
            names.push_back(tester.namesForResult(i)[0]);
        return names;
    }

    RVCamera camera;
    RVTester tester;
};

} // namespace

TEST_F(RVTesterTest, PicksTheTriangleUnderTheClick) {
    const Matrix projection = glMatrix(GL_PROJECTION_MATRIX);
    const Matrix modelview = glMatrix(GL_MODELVIEW_MATRIX);
    ASSERT_TRUE(tester.setNameDepth(1, 4));
    tester.beginPickingWithRadius(1.0f, 32.0f, 32.0f);
    glLoadName(7);
    triangleAt(0, 0, 0);
    glLoadName(8);
    triangleAt(3, 3, 0); // well away from the centre
    EXPECT_TRUE(tester.endTest(true));
    ASSERT_EQ(tester.numberOfResults(), 1);
    EXPECT_EQ(tester.numberOfNamesForResult(0), 1);
    EXPECT_EQ(tester.namesForResult(0)[0], 7u);
    // The centre of the view unprojects onto the triangle at the target.
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(tester.coordinatesForResult(0)[k], 0.0, 1e-3);

    // The test leaves render mode, both matrices and the projection mode.
    GLint renderMode = 0, matrixMode = 0;
    glGetIntegerv(GL_RENDER_MODE, &renderMode);
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(renderMode, GL_RENDER);
    EXPECT_EQ(matrixMode, GL_PROJECTION);
    EXPECT_MATRIX_NEAR(glMatrix(GL_PROJECTION_MATRIX), projection, 0);
    EXPECT_MATRIX_NEAR(glMatrix(GL_MODELVIEW_MATRIX), modelview, 0);
    expectNoGLError();
}

TEST_F(RVTesterTest, ClickOnEmptySpaceFindsNothing) {
    tester.beginPickingWithRadius(1.0f, 2.0f, 60.0f);
    glLoadName(7);
    triangleAt(0, 0, 0);
    EXPECT_TRUE(tester.endTest(true));
    EXPECT_EQ(tester.numberOfResults(), 0);
}

TEST_F(RVTesterTest, KeepsTheNearestHitsInDepthOrder) {
    // Minimum depths 100, 50, 50, 200 under names 1 to 4.
    tester.beginPickingWithRadius(1.0f, 32.0f, 32.0f);
    trianglesAtDepths({100, 50, 50, 200});
    EXPECT_TRUE(tester.endTest(false));
    EXPECT_EQ(firstNames(), (std::vector<GLuint>{2}));

    ASSERT_TRUE(tester.setNameDepth(1, 3));
    tester.beginPickingWithRadius(1.0f, 32.0f, 32.0f);
    trianglesAtDepths({100, 50, 50, 200});
    EXPECT_TRUE(tester.endTest(false));
    EXPECT_EQ(firstNames(), (std::vector<GLuint>{2, 3, 1}));

    ASSERT_TRUE(tester.setNameDepth(1, 8));
    EXPECT_EQ(tester.numberOfResults(), 0); // new sizes empty the results
    tester.beginPickingWithRadius(1.0f, 32.0f, 32.0f);
    trianglesAtDepths({100, 50, 50, 200});
    EXPECT_TRUE(tester.endTest(false));
    EXPECT_EQ(firstNames(), (std::vector<GLuint>{2, 3, 1, 4}));
}

TEST_F(RVTesterTest, StoresOnlyTheNamesItKeeps) {
    ASSERT_TRUE(tester.setNameDepth(1, 2));
    tester.beginPickingWithRadius(1.0f, 32.0f, 32.0f);
    glDepthRange(0.5, 0.5);
    glLoadName(5);
    glPushName(6);
    glPushName(7);
    triangleAt(0, 0, 0);
    glPopName();
    glPopName();
    glDepthRange(0.6, 0.6);
    glLoadName(9);
    triangleAt(0, 0, 0);
    glDepthRange(0, 1);
    EXPECT_TRUE(tester.endTest(false));
    ASSERT_EQ(tester.numberOfResults(), 2);
    EXPECT_EQ(tester.numberOfNamesForResult(0), 3);
    EXPECT_EQ(tester.namesForResult(0)[0], 5u);
    // The second result follows one name later, not three.
    EXPECT_EQ(tester.numberOfNamesForResult(1), 1);
    EXPECT_EQ(tester.namesForResult(1)[0], 9u);
}

TEST_F(RVTesterTest, OverflowingSelectionBufferReportsMinusOne) {
    ASSERT_TRUE(tester.setHitBufferSize(4)); // a record of three names needs 6 words
    tester.beginPickingWithRadius(1.0f, 32.0f, 32.0f);
    glLoadName(5);
    glPushName(6);
    glPushName(7);
    triangleAt(0, 0, 0);
    EXPECT_TRUE(tester.endTest(true));
    EXPECT_EQ(tester.numberOfResults(), -1);
    expectNoGLError();

    ASSERT_TRUE(tester.setHitBufferSize(64));
    tester.beginPickingWithRadius(1.0f, 32.0f, 32.0f);
    triangleAt(0, 0, 0);
    EXPECT_TRUE(tester.endTest(false));
    EXPECT_EQ(tester.numberOfResults(), 1);
    EXPECT_EQ(tester.namesForResult(0)[0], 0u); // the name stack starts with 0
}

TEST_F(RVTesterTest, CollisionFindsWhatLiesAlongTheSegment) {
    ASSERT_TRUE(tester.setNameDepth(1, 3));
    const Matrix modelview = glMatrix(GL_MODELVIEW_MATRIX);
    const GLfloat start[3] = {0, 0, 0}, end[3] = {0, 0, 10};
    tester.beginCollisionWithRadius(0.5f, start, end);
    glLoadName(1);
    triangleAt(0, 0, 4); // a wall across the segment
    glLoadName(2);
    triangleAt(5, 0, 6); // beside it
    glLoadName(3);
    // Along the segment from before its start to 90% of the way: depths 0 to
    // 0.9. (Mesa reports a hit reaching the far end with a maximum depth of 0.)
    glBegin(GL_TRIANGLES);
    glVertex3d(-0.3, -0.3, -1);
    glVertex3d(0.3, -0.3, -1);
    glVertex3d(0, 0.3, 9);
    glEnd();
    EXPECT_TRUE(tester.endTest(true));
    ASSERT_EQ(tester.numberOfResults(), 2);
    EXPECT_EQ(firstNames(), (std::vector<GLuint>{3, 1}));
    const double* line = tester.coordinatesForResult(0);
    const double* wall = tester.coordinatesForResult(1);
    for (int k = 0; k < 2; ++k) {
        EXPECT_NEAR(line[k], 0.0, 1e-6);
        EXPECT_NEAR(wall[k], 0.0, 1e-6);
    }
    EXPECT_NEAR(line[2], 4.5, 1e-5); // the middle of its depth range
    EXPECT_NEAR(wall[2], 4.0, 1e-5);
    EXPECT_MATRIX_NEAR(glMatrix(GL_MODELVIEW_MATRIX), modelview, 0);
    expectNoGLError();
}

TEST_F(RVTesterTest, CollisionAlongASlantedSegment) {
    // From (1, 2, 3) toward (4, 6, 3); a wall across it 60% of the way.
    const GLfloat start[3] = {1, 2, 3}, end[3] = {4, 6, 3};
    const double at[3] = {1 + 0.6 * 3, 2 + 0.6 * 4, 3};
    const double across[3] = {-0.8, 0.6, 0}; // perpendicular, in the x-y plane
    tester.beginCollisionWithRadius(0.25f, start, end);
    glBegin(GL_TRIANGLES);
    glVertex3d(at[0] - across[0], at[1] - across[1], at[2] - 1);
    glVertex3d(at[0] + across[0], at[1] + across[1], at[2] - 1);
    glVertex3d(at[0], at[1], at[2] + 1);
    glEnd();
    EXPECT_TRUE(tester.endTest(true));
    ASSERT_EQ(tester.numberOfResults(), 1);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(tester.coordinatesForResult(0)[k], at[k], 1e-4);
}

TEST_F(RVTesterTest, DegenerateSegmentSelectsNothing) {
    const GLfloat point[3] = {0, 0, 0};
    tester.beginCollisionWithRadius(1.0f, point, point);
    triangleAt(0, 0, 0);
    EXPECT_TRUE(tester.endTest(true));
    EXPECT_EQ(tester.numberOfResults(), 0);
    expectNoGLError();
}

TEST_F(RVTesterTest, SizesAndMisuse) {
    EXPECT_TRUE(tester.setHitBufferSize(512)); // unchanged
    EXPECT_FALSE(tester.setHitBufferSize(-1));
    EXPECT_EQ(tester.hitBufferSize(), 0);
    EXPECT_FALSE(tester.setNameDepth(-1, 4));
    EXPECT_EQ(tester.nameDepth(), 0);
    EXPECT_EQ(tester.maxNumberOfResults(), 0);

    // Ending a test that never began pops nothing.
    RVTester fresh;
    EXPECT_FALSE(fresh.endTest(true));
    expectNoGLError();

    // Without any storage a hit is an overflow, not a crash.
    fresh.beginPickingWithRadius(1.0f, 32.0f, 32.0f);
    triangleAt(0, 0, 0);
    EXPECT_TRUE(fresh.endTest(false));
    EXPECT_EQ(fresh.numberOfResults(), -1);
    expectNoGLError();
}
