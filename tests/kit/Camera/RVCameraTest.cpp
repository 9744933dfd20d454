#include "TolvaneKit/Camera/RVCamera.h"
#include "TolvaneKit/Camera/RVUtilities.h"

#include "kit/GLMatrix.h"
#include "support/OffscreenGLTest.h"

#include <gmock/gmock.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace KitTest;

namespace {

const GLfloat inf = std::numeric_limits<GLfloat>::infinity();

class RVCameraTest : public VexmiraTest::OffscreenGLTest {
protected:
    void SetUp() override {
        OffscreenGLTest::SetUp();
        camera.prepareOpenGL();
        camera.setWidth(400.0f, 300.0f).setSmoothedBuffer(GL_FRONT, GL_FRONT); // no back buffer
    }

    void expectPosition(std::array<double, 3> expected) const {
        GLfloat p[3];
        camera.getPosition(p);
        EXPECT_ENTRIES_NEAR(3, p, expected, 1e-5);
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

    int redAt(int x) { return static_cast<int>(pixel(surface().readPixels(), x, 32) >> 24); }

    RVCamera camera;
};

} // namespace

// Zero vectors, normalizing in place and the cross product's hand are met by the mesh's normals.
TEST(RVUtilities, NormalizesClampsArcFunctionsAndGivesSphericalCoordinates) {
    const GLfloat v[3] = {3.0f, 0.0f, 4.0f};
    GLfloat out[3] = {9.0f, 9.0f, 9.0f};
    EXPECT_EQ(RVNormalizeVector(v, out), 5.0f);
    EXPECT_THAT(out, testing::ElementsAre(3.0f * (1 / 5.0f), 0.0f, 4.0f * (1 / 5.0f)));
    EXPECT_EQ(RVArcCos(1.0000001), 0.0);
    EXPECT_EQ(RVArcSin(-2.0), -1.5707963267948966);

    // The last lies on the axis: its sum of squares rounds to that of the axis point.
    const GLfloat r2 = std::sqrt(2.0f), r18 = std::sqrt(18.0f), tiny = 0.000001f;
    const struct {
        GLfloat x, y, z, distance, azimuth, elevation;
    } cases[] = {
        {1, 0, 0, 1, 0, 90},      {0, -1, 0, 1, 270, 90},  {0, 0, -2, 2, 0, 180},
        {0, 0, 0, 0, 0, 0},       {1, -1, 0, r2, 315, 90}, {0, 3, 3, r18, 90, 45},
        {0, tiny, -1, 1, 0, 180},
    };
    for (const auto& c : cases) {
        GLfloat distance = -1, azimuth = -1, elevation = -1;
        RVGetSphericalCoordinates(c.x, c.y, c.z, &distance, &azimuth, &elevation);
        EXPECT_THAT((std::array{distance, azimuth, elevation}),
                    testing::Pointwise(testing::FloatEq(), {c.distance, c.azimuth, c.elevation}))
            << c.x << ", " << c.y << ", " << c.z;
    }
}

// How angles wrap is RVAngles' own test; here each setter reaches it once.
TEST_F(RVCameraTest, AnglesWrapAndClampAndNonFiniteOnesAreIgnored) {
    EXPECT_EQ(camera.setAzimuth(-30).azimuth(), 330.0f);
    EXPECT_EQ(camera.setTwist(725).twist(), 5.0f);
    EXPECT_EQ(camera.setElevation(190).elevation(), -170.0f);
    for (auto [in, out] : {std::pair{200.0f, 180.0f}, {-5, 0}})
        EXPECT_EQ(camera.setAngle(in).angle(), out) << in;
    EXPECT_EQ(camera.tanHalfAngle(), 0.0f);
    expectNoGLError(); // a field of view of 0 has no frustum to load
    EXPECT_EQ(camera.setElevation(200, 0, 180).elevation(), 180.0f);
    EXPECT_EQ(camera.setAzimuth(400, 0, 360).azimuth(), 0.0f);
    EXPECT_EQ(camera.setDistance(0.5f, 2, 50).distance(), 2.0f);
    camera.setAzimuth(40).setElevation(50).setTwist(60);
    camera.setAzimuth(inf).setElevation(-inf).setTwist(std::numeric_limits<GLfloat>::quiet_NaN());
    EXPECT_EQ((std::array{camera.azimuth(), camera.elevation(), camera.twist()}),
              (std::array{40.0f, 50.0f, 60.0f}));
}

TEST_F(RVCameraTest, ProjectionMatchesTheViewWindowAndDegenerateViewsLeaveNoError) {
    const double v = std::tan(std::numbers::pi / 12), h = v * 400.0 / 300.0;
    camera.setProjection(1);
    camera.setDistance(20); // the distance does not change a perspective
    EXPECT_MATRIX_NEAR(glMatrix(GL_PROJECTION_MATRIX), frustum(-h, h, -v, v, 1, 100), 1e-5);
    const double d = 5;
    camera.setProjection(0).setDistance(d);
    EXPECT_MATRIX_NEAR(glMatrix(GL_PROJECTION_MATRIX), ortho(-d * h, d * h, -d * v, d * v, 1, 100),
                       1e-5);
    EXPECT_EQ(glInteger(GL_MATRIX_MODE), GL_PROJECTION); // the viewport: the view's test
    EXPECT_EQ(camera.switchProjection().projection(), 1);
    // Views without a frustum or a box.
    camera.setWidth(0, 300).setWidth(-4, 300).setWidth(400, 300).setHither(0);
    camera.setYon(0).setHither(100).setProjection(0).setDistance(0);
    expectNoGLError();
}

TEST_F(RVCameraTest, BothModelviewLevelsPlaceTheEyeAndTheTargetMovesOnlyTheTop) {
    const GLfloat target[3] = {1.5f, -2.0f, 0.25f}, newTarget[3] = {0, 0, 1};
    camera.setTarget(target).setDistance(7).setAzimuth(30).setElevation(60).setTwist(20);
    const Matrix lower =
        translation(0, 0, -7) * rotation(-20, 2) * rotation(-60, 0) * rotation(-120, 2);
    EXPECT_MATRIX_NEAR(glMatrix(GL_MODELVIEW_MATRIX), lower * translation(-1.5, 2.0, -0.25), 1e-5);
    camera.setTarget(newTarget);
    EXPECT_MATRIX_NEAR(glMatrix(GL_MODELVIEW_MATRIX), lower * translation(0, 0, -1), 1e-5);
    EXPECT_EQ(glInteger(GL_MODELVIEW_STACK_DEPTH), 2);
    glPopMatrix();
    EXPECT_MATRIX_NEAR(glMatrix(GL_MODELVIEW_MATRIX), lower, 1e-5);
    // A fresh context: the camera must not pop what was never pushed.
    recreateSurface(32, 32);
    RVCamera().setTarget(newTarget).setAzimuth(15);
    expectNoGLError();
    EXPECT_EQ(glInteger(GL_MODELVIEW_STACK_DEPTH), 2);
}

TEST_F(RVCameraTest, PositionFollowsTheSphericalConventionOrientKeepsItAndLookAtMovesIt) {
    const GLfloat target[3] = {0, 0, 1};
    camera.setTarget(target).setAzimuth(90).setElevation(90); // from the pole, a quarter turn
    expectPosition({0, 10, 1});
    // The same eye from angles of the usual ranges, untwisted.
    camera.setAzimuth(200).setElevation(-30).setTwist(45).orient();
    EXPECT_EQ((std::array{camera.azimuth(), camera.elevation(), camera.twist()}),
              (std::array{20.0f, 30.0f, 0.0f}));
    camera.setAzimuth(10).setElevation(30).setTwist(45).orient();
    EXPECT_EQ((std::array{camera.azimuth(), camera.elevation(), camera.twist()}),
              (std::array{10.0f, 30.0f, 0.0f}));
    // Looking at a point from another moves the target and the eye.
    const GLfloat point[3] = {1, 2, 3}, eye[3] = {1, 5, 7}, far[3] = {inf, 0, 0};
    camera.setTwist(0).lookAt(point, eye);
    expectPosition({1, 5, 7});
    camera.lookAt(far, eye); // points at infinity give no view: nothing moves
    expectPosition({1, 5, 7});
    expectNoGLError();
}

TEST_F(RVCameraTest, PassesShiftTheViewAverageAnEdgeStopEarlyAndSkipZeroHeight) {
    // A pass beyond the total is its last, a total beyond five is five; each shifts elsewhere.
    const auto jitter = [](GLint current, GLint total) {
        std::array<GLfloat, 2> xy{9, 9};
        RVGetJitter(current, total, &xy[0], &xy[1]);
        return xy;
    };
    EXPECT_EQ(jitter(3, 1), (std::array<GLfloat, 2>{0, 0})) << "one pass is not shifted";
    EXPECT_EQ(jitter(7, 4), jitter(4, 4));
    EXPECT_EQ(jitter(2, 9), jitter(2, 5));
    for (GLint total = 2; total <= 5; ++total)
        for (GLint current = 2; current <= total; ++current)
            EXPECT_NE(jitter(current, total), jitter(current - 1, total)) << current << total;
    for (auto [asked, kept] : {std::pair{0, 1}, {-3, 1}, {7, 5}, {3, 3}})
        EXPECT_EQ(camera.setSmoothingPasses(asked, 0.5f).smoothingPasses(), kept) << asked;
    camera.setSmoothingPasses(4, 1.0f);
    const Matrix unjittered = glMatrix(GL_PROJECTION_MATRIX);
    std::vector<Matrix> seen;
    camera.smooth([&] { seen.push_back(glMatrix(GL_PROJECTION_MATRIX)); });
    ASSERT_EQ(seen.size(), 4u);
    // 300 pixels high: the first sample (-0.125, -0.25) pixels shifts the window by (dx, dy).
    const double h = 0.35726559, v = 0.26794919, dx = 0.00022329099, dy = 0.00044658198;
    EXPECT_MATRIX_NEAR(seen[0], frustum(-h + dx, h + dx, -v + dy, v + dy, 1, 100), 1e-6);
    EXPECT_MATRIX_NEAR(glMatrix(GL_PROJECTION_MATRIX), unjittered, 0);

    // The edge runs through the centre of column 32: two of four samples fall on either side.
    camera.setWidth(64, 64);
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
        EXPECT_EQ(std::pair(redAt(28), redAt(36)), std::pair(255, 0));
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
