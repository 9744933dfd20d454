// Tolvane Kit, camera and hit testing: viewing and projection set from
// spherical coordinates around a target, jittered smoothing passes, picking
// and collision tests, and the vector and angle helpers they share. Builds on
// legacy OpenGL, GLU and Platform/core alone.

#pragma once

#include <GL/gl.h>

#include <functional>

// The sub-pixel offset (x, y), in pixels, of pass `current` (counted from 1)
// out of `total` jittered passes.
void RVGetJitter(GLint current, GLint total, GLfloat* x, GLfloat* y);

// The kit's viewer. It owns the viewport, the projection (orthographic or
// perspective) and the viewing part of the modelview matrix, all derived from
// spherical parameters around a target: distance, azimuth, elevation (from the
// +z axis) and twist, in degrees. Every setter re-issues the OpenGL calls that
// depend on what it changed, on the context current at the time, so OpenGL
// always matches the parameters. The constructor, the accessors, getTarget,
// getPosition and the two smoothing setters need no context.
//
// After prepareOpenGL the camera keeps two levels on the modelview stack: the
// lower one holds the orientation (distance and rotations); the top one holds
// the orientation followed by the translation by -target. Scene drawing starts
// from the top level and must leave the stack balanced.
//
// The eye sits at target + distance * (sin e cos a, sin e sin a, cos e).
class RVCamera {
public:
    RVCamera();

    // Sets up the two-level modelview stack; once per context, before
    // anything else that touches the stack.
    RVCamera& prepareOpenGL();

    // The viewport size in pixels; also rebuilds the projection.
    RVCamera& setWidth(GLfloat width, GLfloat height);
    GLfloat width() const { return width_; }
    GLfloat height() const { return height_; }

    // 0 is orthographic, anything else perspective. Leaves the matrix mode
    // at GL_PROJECTION.
    RVCamera& setProjection(GLint projection);
    RVCamera& switchProjection();
    GLint projection() const { return projection_; }

    // Half-height and half-width of the view window: at the near plane in
    // perspective, of the box (the cross-section at the target) when orthographic.
    GLfloat vertical() const { return vertical_; }
    GLfloat horizontal() const { return horizontal_; }

    RVCamera& setHither(GLfloat hither);
    GLfloat hither() const { return hither_; }
    RVCamera& setYon(GLfloat yon);
    GLfloat yon() const { return yon_; }

    // The full vertical field of view in degrees, clamped into [0, 180].
    RVCamera& setAngle(GLfloat angle);
    GLfloat angle() const { return angle_; }
    GLfloat tanHalfAngle() const { return tanHalfAngle_; }

    RVCamera& setDistance(GLfloat distance);
    RVCamera& setDistance(GLfloat distance, GLfloat min, GLfloat max);
    GLfloat distance() const { return distance_; }

    // Angles are wrapped into [0, 360) (azimuth, twist) or (-180, 180]
    // (elevation). A non-finite angle is refused and the old one kept.
    RVCamera& setAzimuth(GLfloat azimuth);
    RVCamera& setAzimuth(GLfloat azimuth, GLfloat min, GLfloat max);
    GLfloat azimuth() const { return azimuth_; }
    RVCamera& setElevation(GLfloat elevation);
    RVCamera& setElevation(GLfloat elevation, GLfloat min, GLfloat max);
    GLfloat elevation() const { return elevation_; }
    RVCamera& setTwist(GLfloat twist);
    GLfloat twist() const { return twist_; }

    RVCamera& setTarget(const GLfloat* target);
    void getTarget(GLfloat* target) const;

    // Brings a negative elevation to the positive side without moving the
    // eye, and takes the twist off.
    RVCamera& orient();

    // Looks at newTarget from newPosition: the target moves to newTarget and
    // distance, azimuth and elevation follow from the offset between the two
    // points; the twist stays. Points that give no finite distance are refused.
    RVCamera& lookAt(const GLfloat* newTarget, const GLfloat* newPosition);

    // The eye position.
    void getPosition(GLfloat* position) const;

    // Rebuild the top level of the modelview stack, or both levels.
    RVCamera& translateScene();
    RVCamera& rotateAndTranslateScene();

    // Antialiasing by jittered accumulation. The pass count is clamped into
    // 1 to 5; the jitter scales the sample offsets (1.0 uses them as they are).
    RVCamera& setSmoothingPasses(GLint numPasses, GLfloat jitter);
    GLint smoothingPasses() const { return smoothingPasses_; }
    GLfloat smoothingJitter() const { return smoothingJitter_; }

    // mainBuffer receives the averaged picture; each pass is drawn into and
    // accumulated from auxBuffer, which should be one nobody sees.
    RVCamera& setSmoothedBuffer(GLenum mainBuffer, GLenum auxBuffer);
    GLenum smoothedBuffer() const { return smoothedBuffer_; }
    GLenum auxiliaryBuffer() const { return auxiliaryBuffer_; }

    // Draws the scene once per pass with the view shifted by a fraction of a
    // pixel, averages the passes in the accumulation buffer and returns the
    // average to the smoothed buffer. A stop test answering true after a pass
    // ends the run early; the result is rescaled to full brightness. A camera
    // of zero width or height does nothing. A buffer the context lacks is
    // replaced by one it has (the auxiliary by the smoothed buffer, either by
    // the current draw buffer); without an accumulation buffer the scene is
    // drawn once, unjittered, into the smoothed buffer.
    RVCamera& smooth(const std::function<void()>& drawCallback,
                     const std::function<bool()>& stopCallback = {});

private:
    void loadProjection(GLfloat left, GLfloat right, GLfloat bottom, GLfloat top) const;
    void loadOrientation(GLfloat shiftX, GLfloat shiftY) const;
    void translateToTarget() const;
    GLenum smoothingMatrixMode() const;
    void drawJitteredPass(GLint pass, GLfloat smoothingCoefficient) const;
    void drawOnce(const std::function<void()>& drawCallback, GLenum buffer) const;

    GLfloat width_ = 0.0f;
    GLfloat height_ = 0.0f;
    GLint projection_ = 1;
    GLfloat vertical_ = 0.0f;
    GLfloat horizontal_ = 0.0f;
    GLfloat distance_ = 10.0f;
    GLfloat azimuth_ = 0.0f;
    GLfloat elevation_ = 0.0f;
    GLfloat twist_ = 0.0f;
    GLfloat target_[3] = {0.0f, 0.0f, 0.0f};
    GLfloat angle_ = 30.0f;
    GLfloat tanHalfAngle_;
    GLfloat hither_ = 1.0f;
    GLfloat yon_ = 100.0f;
    GLenum smoothedBuffer_ = GL_FRONT;
    GLenum auxiliaryBuffer_ = GL_AUX0;
    GLint smoothingPasses_ = 1;
    GLfloat smoothingJitter_ = 1.0f;
};
