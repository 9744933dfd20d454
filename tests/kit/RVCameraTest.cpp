#include "TolvaneKit/RVCamera.h"

#include "GLMatrix.h"
#include "support/OffscreenGLTest.h"

#include <cmath>
#include <limits>
#include <numbers>

using namespace KitTest;

namespace {

constexpr double degrees = std::numbers::pi / 180.0;

class RVCameraTest : public VexmiraTest::OffscreenGLTest {
protected:
    void SetUp() override {
        OffscreenGLTest::SetUp();
        camera.prepareOpenGL();
        camera.setWidth(400.0f, 300.0f);
    }

    // The eye position from the spherical convention, in double precision.
    std::array<double, 3> eye() const {
        GLfloat target[3];
        camera.getTarget(target);
        const double a = camera.azimuth() * degrees, e = camera.elevation() * degrees;
        const double d = camera.distance();
        return {target[0] + d * std::sin(e) * std::cos(a),
                target[1] + d * std::sin(e) * std::sin(a), target[2] + d * std::cos(e)};
    }

    static GLint modelviewDepth() {
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        return depth;
    }

    // Reads the lower level of the modelview stack and puts the top back.
    static Matrix lowerModelview() {
        const Matrix top = glMatrix(GL_MODELVIEW_MATRIX);
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        const Matrix lower = glMatrix(GL_MODELVIEW_MATRIX);
        glPushMatrix();
        GLfloat values[16];
        for (int k = 0; k < 16; ++k)
            values[k] = static_cast<GLfloat>(top[k]);
        glLoadMatrixf(values);
        return lower;
    }

    RVCamera camera;
};

} // namespace

TEST_F(RVCameraTest, StartsWithItsInitialValues) {
    RVCamera fresh;
    EXPECT_EQ(fresh.angle(), 30.0f);
    EXPECT_EQ(fresh.tanHalfAngle(), 0.26794919f);
    EXPECT_EQ(fresh.hither(), 1.0f);
    EXPECT_EQ(fresh.yon(), 100.0f);
    EXPECT_EQ(fresh.distance(), 10.0f);
    EXPECT_EQ(fresh.projection(), 1);
    EXPECT_EQ(fresh.smoothedBuffer(), static_cast<GLenum>(GL_FRONT));
    EXPECT_EQ(fresh.auxiliaryBuffer(), static_cast<GLenum>(GL_AUX0));
    EXPECT_EQ(fresh.smoothingPasses(), 1);
    EXPECT_EQ(fresh.smoothingJitter(), 1.0f);
    EXPECT_EQ(fresh.width(), 0.0f);
    EXPECT_EQ(fresh.azimuth(), 0.0f);
    EXPECT_EQ(fresh.elevation(), 0.0f);
    EXPECT_EQ(fresh.twist(), 0.0f);
}

TEST_F(RVCameraTest, AnglesWrapAndClamp) {
    const struct {
        GLfloat in, out;
    } azimuths[] = {{-30, 330}, {360, 0}, {725, 5}},
      elevations[] = {{180, 180}, {-180, 180}, {190, -170}, {-190, 170}};
    for (auto c : azimuths)
        EXPECT_EQ(camera.setAzimuth(c.in).azimuth(), c.out) << c.in;
    for (auto c : elevations)
        EXPECT_EQ(camera.setElevation(c.in).elevation(), c.out) << c.in;
    EXPECT_EQ(camera.setTwist(-90).twist(), 270.0f);
    EXPECT_EQ(camera.setElevation(200, 0, 180).elevation(), 180.0f);
    EXPECT_EQ(camera.setElevation(-10, 0, 180).elevation(), 0.0f);
    EXPECT_EQ(camera.setAzimuth(400, 0, 360).azimuth(), 0.0f);
    EXPECT_EQ(camera.setDistance(0.5f, 2, 50).distance(), 2.0f);

    EXPECT_EQ(camera.setAngle(200).angle(), 180.0f);
    EXPECT_EQ(camera.setAngle(0.5f).angle(), 0.5f);
    camera.setAngle(-5);
    EXPECT_EQ(camera.angle(), 0.0f);
    EXPECT_EQ(camera.tanHalfAngle(), 0.0f);
    expectNoGLError(); // a field of view of 0 has no frustum to load
}

TEST_F(RVCameraTest, NonFiniteOrHugeAnglesNeitherHangNorCorrupt) {
    const GLfloat inf = std::numeric_limits<GLfloat>::infinity();
    camera.setAzimuth(40).setElevation(50).setTwist(60);
    camera.setAzimuth(inf).setElevation(-inf).setTwist(std::numeric_limits<GLfloat>::quiet_NaN());
    EXPECT_EQ(camera.azimuth(), 40.0f);
    EXPECT_EQ(camera.elevation(), 50.0f);
    EXPECT_EQ(camera.twist(), 60.0f);
    camera.setAzimuth(1e20f).setElevation(-1e20f);
    const double remainder = std::fmod(-1e20f, 360.0);
    EXPECT_EQ(camera.azimuth(), static_cast<GLfloat>(-remainder));
    EXPECT_EQ(camera.elevation(),
              static_cast<GLfloat>(remainder <= -180.0 ? remainder + 360.0 : remainder));
    expectNoGLError();
}

TEST_F(RVCameraTest, ProjectionMatchesTheViewWindow) {
    camera.setProjection(1);
    EXPECT_FLOAT_EQ(camera.vertical(), 0.26794919f);
    EXPECT_FLOAT_EQ(camera.horizontal(), 0.35726559f);
    const double v = std::tan(15.0 * degrees), h = v * 400.0 / 300.0;
    EXPECT_MATRIX_NEAR(glMatrix(GL_PROJECTION_MATRIX), frustum(-h, h, -v, v, 1, 100), 1e-5);

    camera.setProjection(0);
    EXPECT_FLOAT_EQ(camera.vertical(), 2.679492f);
    EXPECT_FLOAT_EQ(camera.horizontal(), 3.5726559f);
    EXPECT_MATRIX_NEAR(glMatrix(GL_PROJECTION_MATRIX),
                       ortho(-10 * h, 10 * h, -10 * v, 10 * v, 1, 100), 1e-5);
    GLint mode = 0, viewport[4];
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(mode, GL_PROJECTION);
    EXPECT_EQ(viewport[2], 400);
    EXPECT_EQ(viewport[3], 300);

    camera.switchProjection().switchProjection();
    EXPECT_EQ(camera.projection(), 0);
    camera.setWidth(99.9f, 50.7f);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 99);
    EXPECT_EQ(viewport[3], 50);
}

TEST_F(RVCameraTest, DistanceResizesOnlyTheOrthographicBox) {
    const Matrix perspective = glMatrix(GL_PROJECTION_MATRIX);
    camera.setDistance(20);
    EXPECT_MATRIX_NEAR(glMatrix(GL_PROJECTION_MATRIX), perspective, 0);

    camera.setProjection(0);
    const Matrix before = glMatrix(GL_PROJECTION_MATRIX);
    camera.setDistance(5);
    const Matrix after = glMatrix(GL_PROJECTION_MATRIX);
    EXPECT_NEAR(after[5], before[5] * 4, 1e-5); // a box a quarter of the height
    EXPECT_FLOAT_EQ(camera.vertical(), 0.26794919f * 5);
}

TEST_F(RVCameraTest, BothModelviewLevelsPlaceTheEye) {
    const GLfloat target[3] = {1.5f, -2.0f, 0.25f};
    camera.setTarget(target);
    camera.setDistance(7).setAzimuth(30).setElevation(60).setTwist(20);
    EXPECT_EQ(modelviewDepth(), 2);

    const Matrix lower =
        translation(0, 0, -7) * rotation(-20, 2) * rotation(-60, 0) * rotation(-120, 2);
    const Matrix top = lower * translation(-1.5, 2.0, -0.25);
    EXPECT_MATRIX_NEAR(glMatrix(GL_MODELVIEW_MATRIX), top, 1e-5);
    EXPECT_MATRIX_NEAR(lowerModelview(), lower, 1e-5);

    // The eye of the spherical convention lands at the origin, the target
    // straight ahead at the distance.
    const auto e = eye();
    const auto eyeSeen = apply(glMatrix(GL_MODELVIEW_MATRIX), e[0], e[1], e[2]);
    const auto targetSeen = apply(glMatrix(GL_MODELVIEW_MATRIX), 1.5, -2.0, 0.25);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(eyeSeen[k], 0.0, 1e-5);
    EXPECT_NEAR(targetSeen[0], 0.0, 1e-5);
    EXPECT_NEAR(targetSeen[1], 0.0, 1e-5);
    EXPECT_NEAR(targetSeen[2], -7.0, 1e-5);
}

TEST_F(RVCameraTest, MovingTheTargetRebuildsOnlyTheTopLevel) {
    camera.setAzimuth(10).setElevation(80);
    const Matrix lower = lowerModelview();
    const GLfloat target[3] = {0.0f, 0.0f, 1.0f};
    camera.setTarget(target);
    EXPECT_EQ(modelviewDepth(), 2);
    EXPECT_MATRIX_NEAR(lowerModelview(), lower, 0);
    EXPECT_MATRIX_NEAR(glMatrix(GL_MODELVIEW_MATRIX), lower * translation(0, 0, -1), 1e-6);
}

TEST_F(RVCameraTest, WorksWithoutAPreparedStack) {
    // A fresh context: the camera must not pop what was never pushed.
    recreateSurface(32, 32);
    RVCamera unprepared;
    const GLfloat target[3] = {0, 0, 2};
    unprepared.setTarget(target);
    unprepared.setAzimuth(15);
    expectNoGLError();
    EXPECT_EQ(modelviewDepth(), 2);
}

TEST_F(RVCameraTest, DegenerateViewsLeaveNoGLError) {
    camera.setWidth(0, 300);
    camera.setWidth(-4, 300);
    camera.setWidth(400, 300).setHither(0);
    camera.setYon(0).setHither(100);
    camera.setProjection(0).setDistance(0);
    expectNoGLError();
}

TEST_F(RVCameraTest, PositionFollowsTheSphericalConvention) {
    const GLfloat target[3] = {0, 0, 1};
    camera.setTarget(target);
    GLfloat position[3];
    camera.getPosition(position);
    EXPECT_EQ(position[0], 0.0f);
    EXPECT_EQ(position[1], 0.0f);
    EXPECT_EQ(position[2], 11.0f);

    camera.setAzimuth(90).setElevation(90);
    camera.getPosition(position);
    EXPECT_NEAR(position[0], 0.0, 1e-5);
    EXPECT_NEAR(position[1], 10.0, 1e-5);
    EXPECT_NEAR(position[2], 1.0, 1e-5);
}

TEST_F(RVCameraTest, OrientKeepsTheEyeAndDropsTheTwist) {
    camera.setAzimuth(200).setElevation(-30).setTwist(45);
    GLfloat before[3], after[3];
    camera.getPosition(before);
    camera.orient();
    camera.getPosition(after);
    EXPECT_EQ(camera.elevation(), 30.0f);
    EXPECT_EQ(camera.azimuth(), 20.0f);
    EXPECT_EQ(camera.twist(), 0.0f);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(after[k], before[k], 1e-5);

    camera.setAzimuth(10).setElevation(30).setTwist(45).orient();
    EXPECT_EQ(camera.azimuth(), 10.0f);
    EXPECT_EQ(camera.elevation(), 30.0f);
    EXPECT_EQ(camera.twist(), 0.0f);
}

TEST_F(RVCameraTest, LookAtMovesTheTargetAndTheEye) {
    const GLfloat target[3] = {1, 2, 3}, position[3] = {1, 5, 7};
    camera.setTwist(0).lookAt(target, position);
    EXPECT_FLOAT_EQ(camera.distance(), 5.0f);
    EXPECT_NEAR(camera.azimuth(), 90.0, 1e-4);
    EXPECT_NEAR(camera.elevation(), std::acos(4.0 / 5.0) / degrees, 1e-4);
    GLfloat newTarget[3], eyeAt[3];
    camera.getTarget(newTarget);
    camera.getPosition(eyeAt);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(newTarget[k], target[k]);
        EXPECT_NEAR(eyeAt[k], position[k], 1e-5);
    }
    const auto seen = apply(glMatrix(GL_MODELVIEW_MATRIX), 1, 5, 7);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(seen[k], 0.0, 1e-5);

    // Points at infinity give no view: the camera stays where it was.
    const GLfloat far[3] = {std::numeric_limits<GLfloat>::infinity(), 0, 0};
    camera.lookAt(far, position);
    EXPECT_FLOAT_EQ(camera.distance(), 5.0f);
    camera.getTarget(newTarget);
    EXPECT_EQ(newTarget[0], 1.0f);
    expectNoGLError();
}
