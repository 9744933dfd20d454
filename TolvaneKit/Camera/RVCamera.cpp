#include "TolvaneKit/Camera/RVCamera.h"

#include "TolvaneKit/Camera/RVAngles.h"
#include "TolvaneKit/Camera/RVUtilities.h"

#include <cmath>
#include <initializer_list>
#include <limits>

namespace {

constexpr double pi = 3.141592653589793;

struct Jitter {
    GLfloat x, y;
};

// Sample offsets in pixels for each pass count, pass 1 first. Counts other
// than 1 to 4 use the five-sample pattern; passes beyond a pattern's length
// reuse its last entry.
constexpr Jitter jitterTwo[] = {{-0.25f, 0.25f}, {0.25f, -0.25f}};
constexpr Jitter jitterThree[] = {
    {0.0033922635f, 0.33179674f}, {0.28060162f, -0.2495619f}, {-0.2738171f, -0.08684464f}};
constexpr Jitter jitterFour[] = {
    {-0.125f, -0.25f}, {-0.375f, 0.25f}, {0.375f, -0.25f}, {0.125f, 0.25f}};
constexpr Jitter jitterFive[] = {
    {0.0f, 0.0f}, {-0.2f, -0.4f}, {0.2f, 0.4f}, {0.4f, -0.2f}, {-0.4f, 0.2f}};

template <int size> Jitter sample(const Jitter (&pattern)[size], GLint current) {
    for (int k = 1; k < size; ++k) {
        if (current == k)
            return pattern[k - 1];
    }
    return pattern[size - 1];
}

GLfloat clamped(GLfloat value, GLfloat min, GLfloat max) {
    if (value < min)
        return min;
    if (value > max)
        return max;
    return value;
}

bool allFinite(std::initializer_list<GLfloat> values) {
    for (GLfloat value : values) {
        if (!std::isfinite(value))
            return false;
    }
    return true;
}

// glOrtho and glFrustum reject a window or depth range of no extent (and a
// frustum needs positive clipping distances) with GL_INVALID_VALUE, and a
// non-finite bound would fill the matrix with NaN. Such a view shows nothing
// either way, so the camera leaves the identity in place instead.
bool boxIsValid(GLfloat left, GLfloat right, GLfloat bottom, GLfloat top, GLfloat hither,
                GLfloat yon) {
    return allFinite({left, right, bottom, top, hither, yon}) && left != right && bottom != top &&
           hither != yon;
}

bool frustumIsValid(GLfloat left, GLfloat right, GLfloat bottom, GLfloat top, GLfloat hither,
                    GLfloat yon) {
    return boxIsValid(left, right, bottom, top, hither, yon) && hither > 0.0f && yon > 0.0f;
}

// A viewport extent: truncated toward zero; negative or non-finite sizes,
// which glViewport would reject or which do not convert, give 0.
GLsizei viewportExtent(GLfloat size) {
    if (!(size > 0.0f))
        return 0;
    if (size >= static_cast<GLfloat>(std::numeric_limits<GLsizei>::max()))
        return std::numeric_limits<GLsizei>::max();
    return static_cast<GLsizei>(size);
}

GLint modelviewStackDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

// Whether the current context has the colour buffer. Reading excludes
// GL_FRONT_AND_BACK, which only names a drawing destination.
bool colourBufferExists(GLenum buffer, bool forReading) {
    GLboolean doubleBuffered = GL_FALSE;
    GLboolean stereo = GL_FALSE;
    GLint auxiliaryBuffers = 0;
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    glGetBooleanv(GL_STEREO, &stereo);
    glGetIntegerv(GL_AUX_BUFFERS, &auxiliaryBuffers);
    switch (buffer) {
    case GL_FRONT_LEFT:
    case GL_FRONT:
    case GL_LEFT:
        return true;
    case GL_FRONT_AND_BACK:
        return !forReading;
    case GL_BACK_LEFT:
    case GL_BACK:
        return doubleBuffered == GL_TRUE;
    case GL_FRONT_RIGHT:
    case GL_RIGHT:
        return stereo == GL_TRUE;
    case GL_BACK_RIGHT:
        return stereo == GL_TRUE && doubleBuffered == GL_TRUE;
    default:
        return buffer >= GL_AUX0 && buffer - GL_AUX0 < static_cast<GLenum>(auxiliaryBuffers);
    }
}

GLenum currentDrawBuffer() {
    GLint buffer = GL_NONE;
    glGetIntegerv(GL_DRAW_BUFFER, &buffer);
    return static_cast<GLenum>(buffer);
}

// The first of the candidates the context has, or GL_NONE.
GLenum firstExistingBuffer(std::initializer_list<GLenum> candidates, bool forReading) {
    for (GLenum candidate : candidates) {
        if (colourBufferExists(candidate, forReading))
            return candidate;
    }
    return GL_NONE;
}

bool hasAccumulationBuffer() {
    GLint bits = 0;
    glGetIntegerv(GL_ACCUM_RED_BITS, &bits);
    return bits > 0;
}

} // namespace

void RVGetJitter(GLint current, GLint total, GLfloat* x, GLfloat* y) {
    Jitter jitter{0.0f, 0.0f};
    switch (total) {
    case 1:
        break;
    case 2:
        jitter = sample(jitterTwo, current);
        break;
    case 3:
        jitter = sample(jitterThree, current);
        break;
    case 4:
        jitter = sample(jitterFour, current);
        break;
    default:
        jitter = sample(jitterFive, current);
        break;
    }
    *x = jitter.x;
    *y = jitter.y;
}

RVCamera::RVCamera() : tanHalfAngle_(static_cast<GLfloat>(std::tan(30.0 * pi / 360.0))) {}

RVCamera& RVCamera::prepareOpenGL() {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    return rotateAndTranslateScene();
}

RVCamera& RVCamera::setWidth(GLfloat width, GLfloat height) {
    width_ = width;
    height_ = height;
    setProjection(projection_);
    glViewport(0, 0, viewportExtent(width_), viewportExtent(height_));
    return *this;
}

RVCamera& RVCamera::setProjection(GLint projection) {
    projection_ = projection;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // Orthographic: the box has the cross-section of the perspective view at
    // the target, so switching keeps the target's apparent size.
    vertical_ = tanHalfAngle_ * (projection_ == 0 ? distance_ : hither_);
    horizontal_ = vertical_ * width_ / height_;
    loadProjection(-horizontal_, horizontal_, -vertical_, vertical_);
    return *this;
}

RVCamera& RVCamera::switchProjection() {
    return setProjection(1 - projection_);
}

void RVCamera::loadProjection(GLfloat left, GLfloat right, GLfloat bottom, GLfloat top) const {
    if (projection_ == 0) {
        if (boxIsValid(left, right, bottom, top, hither_, yon_))
            glOrtho(left, right, bottom, top, hither_, yon_);
    } else if (frustumIsValid(left, right, bottom, top, hither_, yon_)) {
        glFrustum(left, right, bottom, top, hither_, yon_);
    }
}

RVCamera& RVCamera::setHither(GLfloat hither) {
    hither_ = hither;
    return setProjection(projection_);
}

RVCamera& RVCamera::setYon(GLfloat yon) {
    yon_ = yon;
    return setProjection(projection_);
}

RVCamera& RVCamera::setAngle(GLfloat angle) {
    angle_ = clamped(angle, 0.0f, 180.0f);
    tanHalfAngle_ = static_cast<GLfloat>(std::tan(static_cast<double>(angle_) * pi / 360.0));
    return setProjection(projection_);
}

RVCamera& RVCamera::setDistance(GLfloat distance) {
    distance_ = distance;
    rotateAndTranslateScene();
    // The orthographic box is sized by the distance; a frustum is not.
    if (projection_ == 0)
        setProjection(0);
    return *this;
}

RVCamera& RVCamera::setDistance(GLfloat distance, GLfloat min, GLfloat max) {
    return setDistance(clamped(distance, min, max));
}

RVCamera& RVCamera::setAzimuth(GLfloat azimuth) {
    if (std::isfinite(azimuth))
        azimuth_ = RVWrapAngle(azimuth);
    return rotateAndTranslateScene();
}

RVCamera& RVCamera::setAzimuth(GLfloat azimuth, GLfloat min, GLfloat max) {
    return setAzimuth(clamped(azimuth, min, max));
}

RVCamera& RVCamera::setElevation(GLfloat elevation) {
    if (std::isfinite(elevation))
        elevation_ = RVWrapSignedAngle(elevation);
    return rotateAndTranslateScene();
}

RVCamera& RVCamera::setElevation(GLfloat elevation, GLfloat min, GLfloat max) {
    return setElevation(clamped(elevation, min, max));
}

RVCamera& RVCamera::setTwist(GLfloat twist) {
    if (std::isfinite(twist))
        twist_ = RVWrapAngle(twist);
    return rotateAndTranslateScene();
}

RVCamera& RVCamera::setTarget(const GLfloat* target) {
    for (int k = 0; k < 3; ++k)
        target_[k] = target[k];
    return translateScene();
}

void RVCamera::getTarget(GLfloat* target) const {
    for (int k = 0; k < 3; ++k)
        target[k] = target_[k];
}

RVCamera& RVCamera::orient() {
    if (elevation_ < 0.0f) {
        elevation_ = -elevation_;
        const double turned = azimuth_ >= 180.0f ? azimuth_ - 180.0 : azimuth_ + 180.0;
        azimuth_ = static_cast<GLfloat>(turned);
    }
    return setTwist(0.0f);
}

RVCamera& RVCamera::lookAt(const GLfloat* newTarget, const GLfloat* newPosition) {
    GLfloat newDistance = 0.0f;
    GLfloat newAzimuth = 0.0f;
    GLfloat newElevation = 0.0f;
    RVGetSphericalCoordinates(newPosition[0] - newTarget[0], newPosition[1] - newTarget[1],
                              newPosition[2] - newTarget[2], &newDistance, &newAzimuth,
                              &newElevation);
    // A finite distance implies finite points and angles; anything else
    // would leave the camera with no usable view.
    if (!std::isfinite(newDistance))
        return *this;
    for (int k = 0; k < 3; ++k)
        target_[k] = newTarget[k];
    azimuth_ = RVWrapAngle(newAzimuth);
    elevation_ = RVWrapSignedAngle(newElevation);
    return setDistance(newDistance);
}

void RVCamera::getPosition(GLfloat* position) const {
    const double a = static_cast<double>(azimuth_) * pi / 180.0;
    const double e = static_cast<double>(elevation_) * pi / 180.0;
    const double d = distance_;
    position[0] = static_cast<GLfloat>(target_[0] + d * (std::sin(e) * std::cos(a)));
    position[1] = static_cast<GLfloat>(target_[1] + d * (std::sin(e) * std::sin(a)));
    position[2] = static_cast<GLfloat>(target_[2] + d * std::cos(e));
}

void RVCamera::loadOrientation(GLfloat shiftX, GLfloat shiftY) const {
    glLoadIdentity();
    glTranslatef(shiftX, shiftY, -distance_);
    glRotatef(-twist_, 0.0f, 0.0f, 1.0f);
    glRotatef(-elevation_, 1.0f, 0.0f, 0.0f);
    glRotatef(static_cast<GLfloat>(-static_cast<double>(azimuth_) - 90.0), 0.0f, 0.0f, 1.0f);
}

void RVCamera::translateToTarget() const {
    glTranslatef(-target_[0], -target_[1], -target_[2]);
}

RVCamera& RVCamera::translateScene() {
    glMatrixMode(GL_MODELVIEW);
    // Without the orientation level below (no prepareOpenGL on this context
    // yet) popping would underflow the stack: build both levels instead.
    if (modelviewStackDepth() < 2)
        return rotateAndTranslateScene();
    glPopMatrix();
    glPushMatrix();
    translateToTarget();
    return *this;
}

RVCamera& RVCamera::rotateAndTranslateScene() {
    glMatrixMode(GL_MODELVIEW);
    if (modelviewStackDepth() >= 2)
        glPopMatrix();
    loadOrientation(0.0f, 0.0f);
    glPushMatrix();
    translateToTarget();
    return *this;
}

RVCamera& RVCamera::setSmoothingPasses(GLint numPasses, GLfloat jitter) {
    smoothingPasses_ = numPasses < 1 ? 1 : (numPasses > 5 ? 5 : numPasses);
    smoothingJitter_ = jitter;
    return *this;
}

RVCamera& RVCamera::setSmoothedBuffer(GLenum mainBuffer, GLenum auxBuffer) {
    smoothedBuffer_ = mainBuffer;
    auxiliaryBuffer_ = auxBuffer;
    return *this;
}

GLenum RVCamera::smoothingMatrixMode() const {
    // Orthographic passes shift the view in eye space; perspective passes
    // shift the view window of the frustum.
    return projection_ == 0 ? GL_MODELVIEW : GL_PROJECTION;
}

void RVCamera::drawJitteredPass(GLint pass, GLfloat smoothingCoefficient) const {
    GLfloat smoothingDX = 0.0f;
    GLfloat smoothingDY = 0.0f;
    RVGetJitter(pass, smoothingPasses_, &smoothingDX, &smoothingDY);
    const GLfloat dX = smoothingDX * smoothingCoefficient;
    const GLfloat dY = smoothingDY * smoothingCoefficient;
    if (projection_ == 0) {
        glMatrixMode(GL_MODELVIEW);
        loadOrientation(dX, dY);
        translateToTarget();
    } else {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        loadProjection(-horizontal_ + dX, horizontal_ + dX, -vertical_ + dY, vertical_ + dY);
    }
}

void RVCamera::drawOnce(const std::function<void()>& drawCallback, GLenum buffer) const {
    glDrawBuffer(buffer);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (drawCallback)
        drawCallback();
}

RVCamera& RVCamera::smooth(const std::function<void()>& drawCallback,
                           const std::function<bool()>& stopCallback) {
    if (width_ == 0.0f || height_ == 0.0f)
        return *this;
    // Selecting a buffer the context lacks (here, typically an auxiliary
    // buffer) fails with GL_INVALID_OPERATION and the passes would land
    // wherever drawing went before, so fall back to buffers that exist.
    const GLenum drawBuffer = currentDrawBuffer();
    const GLenum resultBuffer = firstExistingBuffer({smoothedBuffer_, drawBuffer}, false);
    const GLenum passBuffer =
        firstExistingBuffer({auxiliaryBuffer_, smoothedBuffer_, drawBuffer}, true);
    if (resultBuffer == GL_NONE || passBuffer == GL_NONE)
        return *this;
    if (!hasAccumulationBuffer()) {
        drawOnce(drawCallback, resultBuffer);
        return *this;
    }

    // One pixel spans 2 * vertical / height units of the view window; the
    // sign turns a shift of the picture into a shift of the window.
    const auto smoothingCoefficient = static_cast<GLfloat>(
        static_cast<double>(smoothingJitter_) * (-2.0) * vertical_ / static_cast<double>(height_));
    glReadBuffer(passBuffer);
    glDrawBuffer(passBuffer);
    const GLenum jitteredMatrix = smoothingMatrixMode();
    glMatrixMode(jitteredMatrix);
    glPushMatrix();

    const auto accumulationFactor =
        static_cast<GLfloat>(1.0 / static_cast<double>(static_cast<GLfloat>(smoothingPasses_)));
    GLint pass = 0;
    bool stopEarly = false;
    while (pass < smoothingPasses_ && !stopEarly) {
        ++pass;
        drawJitteredPass(pass, smoothingCoefficient);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (drawCallback)
            drawCallback();
        glAccum(pass == 1 ? GL_LOAD : GL_ACCUM, accumulationFactor);
        if (stopCallback)
            stopEarly = stopCallback();
    }

    glMatrixMode(jitteredMatrix);
    glPopMatrix();
    glDrawBuffer(resultBuffer);
    // Each pass carried 1 / smoothingPasses of the picture: after an early
    // stop this brings the passes drawn back to full brightness.
    glAccum(GL_RETURN, static_cast<GLfloat>(smoothingPasses_) / static_cast<GLfloat>(pass));
    return *this;
}
