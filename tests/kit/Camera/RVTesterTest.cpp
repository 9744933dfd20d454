#include "TolvaneKit/Camera/RVTester.h"

#include "TolvaneKit/Camera/RVCamera.h"
#include "kit/GLMatrix.h"
#include "support/OffscreenGLTest.h"

#include <vector>

using namespace KitTest;
using Names = std::vector<GLuint>;

namespace {

class RVTesterTest : public VexmiraTest::OffscreenGLTest {
protected:
    void SetUp() override {
        OffscreenGLTest::SetUp();
        camera.prepareOpenGL().setWidth(64, 64);   // looking down at the origin from (0, 0, 10)
        ASSERT_TRUE(tester.setHitBufferSize(512)); // each case sets the names it keeps
    }

    static void triangleAt(double x, double y, double height) {
        glBegin(GL_TRIANGLES);
        for (auto [dx, dy] : {std::pair{-1, -1}, {1, -1}, {0, 1}})
            glVertex3d(x + dx, y + dy, height);
        glEnd();
    }

    // Picks at the centre a triangle per (depth as a fraction of the range, names); ended well?
    bool pickAtTheCentre(const std::vector<std::pair<double, Names>>& triangles,
                         bool computeCoordinates = false) {
        tester.beginPickingWithRadius(1.0f, 32.0f, 32.0f);
        for (const auto& [depth, names] : triangles) {
            glDepthRange(depth, depth);
            glInitNames();
            for (GLuint name : names)
                glPushName(name);
            triangleAt(0, 0, 0);
        }
        glDepthRange(0, 1);
        return tester.endTest(computeCoordinates);
    }

    Names firstNames() const {
        Names names;
        for (GLint i = 0; i < tester.numberOfResults(); ++i)
            names.push_back(tester.namesForResult(i)[0]);
        return names;
    }

    RVCamera camera;
    RVTester tester;
};

} // namespace

TEST_F(RVTesterTest, PicksNearestFirstCollidesAlongASegmentKeepsTheStateAndReportsMisuse) {
    const Matrix projection = glMatrix(GL_PROJECTION_MATRIX);
    const Matrix modelview = glMatrix(GL_MODELVIEW_MATRIX);
    ASSERT_TRUE(tester.setNameDepth(1, 4));
    tester.beginPickingWithRadius(1.0f, 32.0f, 32.0f);
    glLoadName(7);
    triangleAt(0, 0, 0);
    glLoadName(8);
    triangleAt(3, 3, 0); // well away from the centre
    EXPECT_TRUE(tester.endTest(true));
    EXPECT_EQ(firstNames(), Names{7});
    const double origin[3] = {0, 0, 0}; // the centre unprojects onto the triangle at the target
    EXPECT_ENTRIES_NEAR(3, tester.coordinatesForResult(0), origin, 1e-3);
    EXPECT_EQ(glInteger(GL_MATRIX_MODE), GL_PROJECTION);
    EXPECT_MATRIX_NEAR(glMatrix(GL_PROJECTION_MATRIX), projection, 0);
    EXPECT_MATRIX_NEAR(glMatrix(GL_MODELVIEW_MATRIX), modelview, 0);
    // Minimum depths 100, 50, 50, 200 selection units under names 1 to 4: the nearest first.
    const double unit = 1 / 4294967296.0;
    for (auto [kept, names] : {std::pair{1, Names{2}}, {3, {2, 3, 1}}, {8, {2, 3, 1, 4}}}) {
        ASSERT_TRUE(tester.setNameDepth(1, kept));
        EXPECT_EQ(tester.numberOfResults(), 0); // new sizes empty the results
        EXPECT_TRUE(pickAtTheCentre(
            {{100 * unit, {1}}, {50 * unit, {2}}, {50 * unit, {3}}, {200 * unit, {4}}}));
        EXPECT_EQ(firstNames(), names) << kept;
    }

    // Only the names kept are stored; overflow and misuse are reported.
    const std::vector<std::pair<double, Names>> named = {{0.5, {5, 6, 7}}, {0.6, {9}}};
    ASSERT_TRUE(tester.setNameDepth(1, 2));
    EXPECT_TRUE(pickAtTheCentre(named, true));
    EXPECT_EQ(firstNames(), (Names{5, 9})); // one name later, not three
    EXPECT_EQ(std::pair(tester.numberOfNamesForResult(0), tester.numberOfNamesForResult(1)),
              std::pair(3, 1));
    ASSERT_TRUE(tester.setHitBufferSize(4)); // a record of three names needs 6 words
    EXPECT_TRUE(pickAtTheCentre(named, true));
    EXPECT_EQ(tester.numberOfResults(), -1);

    EXPECT_FALSE(tester.setHitBufferSize(-1));
    EXPECT_FALSE(tester.setNameDepth(-1, 4));
    EXPECT_EQ((std::array{tester.hitBufferSize(), tester.nameDepth(), tester.maxNumberOfResults()}),
              (std::array{0, 0, 0}));
    EXPECT_TRUE(pickAtTheCentre({{0.5, {1}}}));
    EXPECT_EQ(tester.numberOfResults(), -1);
    EXPECT_FALSE(RVTester().endTest(true)) << "ending a test that never began pops nothing";

    ASSERT_TRUE(tester.setHitBufferSize(512));
    ASSERT_TRUE(tester.setNameDepth(1, 3));
    const GLfloat start[3] = {0, 0, 0}, end[3] = {0, 0, 10};
    tester.beginCollisionWithRadius(0.5f, start, end);
    glLoadName(1);
    triangleAt(0, 0, 4); // a wall across the segment
    glLoadName(2);
    triangleAt(5, 0, 6); // beside it
    glLoadName(3);
    // Depths 0 to 0.9 (Mesa gives a hit reaching the far end a maximum depth of 0).
    glBegin(GL_TRIANGLES);
    glVertex3d(-0.3, -0.3, -1);
    glVertex3d(0.3, -0.3, -1);
    glVertex3d(0, 0.3, 9);
    glEnd();
    EXPECT_TRUE(tester.endTest(true));
    ASSERT_EQ(firstNames(), (Names{3, 1}));
    const double expected[2][3] = {{0, 0, 4.5}, {0, 0, 4}}; // the middle of its depth range
    for (int result = 0; result < 2; ++result)
        EXPECT_ENTRIES_NEAR(3, tester.coordinatesForResult(result), expected[result], 1e-5);
    EXPECT_MATRIX_NEAR(glMatrix(GL_MODELVIEW_MATRIX), modelview, 0);
    tester.beginCollisionWithRadius(1.0f, start, start); // a segment of length 0: nothing
    triangleAt(0, 0, 0);
    EXPECT_TRUE(tester.endTest(true));
    EXPECT_EQ(tester.numberOfResults(), 0);
    expectNoGLError();
}
