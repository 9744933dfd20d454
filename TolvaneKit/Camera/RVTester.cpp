#include "TolvaneKit/Camera/RVTester.h"

#include "TolvaneKit/Camera/RVUtilities.h"

#include <GL/glu.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr GLint pickingMode = 0;
constexpr GLint collisionMode = 1;
constexpr GLint hitHeaderWords = 3; // name count, minimum depth, maximum depth
constexpr double depthScale = 4294967295.0;

// calloc checks count * size for overflow; no count means no block.
template <typename T> T* allocate(std::size_t count, bool& ok) {
    ok = true;
    if (count == 0)
        return nullptr;
    T* block = static_cast<T*>(std::calloc(count, sizeof(T)));
    ok = block != nullptr;
    return block;
}

// The middle of a result's depth range, in [0, 1].
double middleDepth(const GLuint* result) {
    return (result[1] / depthScale) / 2.0 + (result[2] / depthScale) / 2.0;
}

// A selection volume that holds no point: every vertex gets w = -1 and lands
// outside all clip planes, so nothing drawn is hit.
void loadEmptySelectionVolume() {
    GLdouble matrix[16] = {};
    matrix[15] = -1.0;
    glLoadMatrixd(matrix);
}

} // namespace

bool RVTester::setHitBufferSize(GLint words) {
    if (words == hitBufferSize_)
        return true;
    hitBuffer_.reset();
    bool ok = words >= 0;
    if (ok)
        hitBuffer_.reset(allocate<GLuint>(static_cast<std::size_t>(words), ok));
    hitBufferSize_ = ok ? words : 0;
    hitCount_ = 0;
    return ok;
}

bool RVTester::setNameDepth(GLint nameDepth, GLint maxNumberOfResults) {
    if (nameDepth == nameDepth_ && maxNumberOfResults == maxNumberOfResults_)
        return true;
    resultBuffer_.reset();
    coordinateBuffer_.reset();
    bool ok = nameDepth >= 0 && maxNumberOfResults >= 0;
    if (ok) {
        const auto words = (static_cast<std::size_t>(nameDepth) + hitHeaderWords) *
                           static_cast<std::size_t>(maxNumberOfResults);
        resultBuffer_.reset(allocate<GLuint>(words, ok));
    }
    if (ok)
        coordinateBuffer_.reset(
            allocate<GLdouble>(3 * static_cast<std::size_t>(maxNumberOfResults), ok));
    if (!ok) {
        resultBuffer_.reset();
        coordinateBuffer_.reset();
    }
    nameDepth_ = ok ? nameDepth : 0;
    maxNumberOfResults_ = ok ? maxNumberOfResults : 0;
    numberOfResults_ = 0;
    return ok;
}

void RVTester::enterSelectionMode() {
    testBegun_ = true;
    if (hitBufferSize_ > 0)
        glSelectBuffer(hitBufferSize_, hitBuffer_.get());
    else
        glSelectBuffer(1, &scratchWord_);
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);
}

RVTester& RVTester::beginPickingWithRadius(GLfloat radius, GLfloat x, GLfloat y) {
    mode_ = pickingMode;
    pickingX_ = x;
    pickingY_ = y;
    glGetIntegerv(GL_VIEWPORT, viewport_);
    enterSelectionMode();

    GLdouble projection[16];
    glMatrixMode(GL_PROJECTION);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glPushMatrix();
    glLoadIdentity();
    gluPickMatrix(x, y, radius, radius, viewport_);
    glMultMatrixd(projection);
    glMatrixMode(GL_MODELVIEW);
    return *this;
}

RVTester& RVTester::beginCollisionWithRadius(GLfloat radius, const GLfloat* startPoint,
                                             const GLfloat* endPoint) {
    mode_ = collisionMode;
    for (int k = 0; k < 3; ++k) {
        collisionStart_[k] = startPoint[k];
        collisionEnd_[k] = endPoint[k];
    }
    GLfloat dist = 0.0f;
    GLfloat azim = 0.0f;
    GLfloat elev = 0.0f;
    RVGetSphericalCoordinates(startPoint[0] - endPoint[0], startPoint[1] - endPoint[1],
                              startPoint[2] - endPoint[2], &dist, &azim, &elev);
    enterSelectionMode();

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    // glOrtho rejects a box of no width or depth with GL_INVALID_VALUE.
    const bool volumeExists =
        std::isfinite(radius) && radius != 0.0f && std::isfinite(dist) && dist > 0.0f;
    if (volumeExists)
        glOrtho(-radius, radius, -radius, radius, 0.0, dist);
    else
        loadEmptySelectionVolume();

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -dist);
    glRotatef(-elev, 1.0f, 0.0f, 0.0f);
    glRotatef(static_cast<GLfloat>(-static_cast<double>(azim) - 90.0), 0.0f, 0.0f, 1.0f);
    glTranslatef(-endPoint[0], -endPoint[1], -endPoint[2]);
    return *this;
}

bool RVTester::endTest(bool computeCoordinates) {
    // Without a begun test there are no pushed matrices to pop.
    if (!testBegun_)
        return false;
    testBegun_ = false;
    bool noError = true;
    glFlush();
    hitCount_ = glRenderMode(GL_RENDER);

    // Picking unprojects with the pick matrix still on the projection stack.
    const bool pickedAndComputed = computeCoordinates && mode_ == pickingMode && hitCount_ >= 0;
    if (pickedAndComputed) {
        processHits();
        noError = this->computeCoordinates();
    }
    if (mode_ == collisionMode) {
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
    }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();

    if (!pickedAndComputed) {
        if (hitCount_ < 0) {
            numberOfResults_ = -1;
        } else {
            processHits();
            if (computeCoordinates)
                noError = this->computeCoordinates();
        }
    }
    return noError;
}

void RVTester::processHits() {
    numberOfResults_ = 0;
    GLint hitBufferIndex = 0;
    for (GLint hit = 0; hit < hitCount_; ++hit) {
        // OpenGL only reports whole records, but a record reaching past the
        // buffer would make the copy read beyond it.
        if (hitBufferIndex + hitHeaderWords > hitBufferSize_)
            break;
        const GLuint* record = hitBuffer_.get() + hitBufferIndex;
        const auto nameCount = static_cast<std::int64_t>(record[0]);
        if (hitBufferIndex + hitHeaderWords + nameCount > hitBufferSize_)
            break;
        GLint resultIndex = 0;
        while (resultIndex < numberOfResults_ && result(resultIndex)[1] <= record[1])
            ++resultIndex;
        if (numberOfResults_ < maxNumberOfResults_)
            ++numberOfResults_;
        // Otherwise the list was full: a hit beyond every kept result is dropped.
        if (resultIndex < numberOfResults_)
            insertResult(hitBufferIndex, resultIndex);
        hitBufferIndex += hitHeaderWords + static_cast<GLint>(nameCount);
    }
}

void RVTester::insertResult(GLint hitBufferIndex, GLint resultIndex) {
    const auto wordsPerResult = static_cast<std::size_t>(resultWords());
    for (GLint i = numberOfResults_ - 1; i > resultIndex; --i)
        std::memcpy(result(i), result(i - 1), wordsPerResult * sizeof(GLuint));
    const GLuint* record = hitBuffer_.get() + hitBufferIndex;
    const GLuint storedNames =
        record[0] < static_cast<GLuint>(nameDepth_) ? record[0] : static_cast<GLuint>(nameDepth_);
    std::memcpy(result(resultIndex), record, (hitHeaderWords + storedNames) * sizeof(GLuint));
}

bool RVTester::computeCoordinates() {
    if (mode_ == pickingMode)
        return computePickedCoordinates();
    computeCollisionCoordinates();
    return true;
}

bool RVTester::computePickedCoordinates() {
    GLdouble modelview[16];
    GLdouble projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    for (GLint i = 0; i < numberOfResults_; ++i) {
        GLdouble* triple = coordinateBuffer_.get() + 3 * i;
        if (gluUnProject(pickingX_, pickingY_, middleDepth(result(i)), modelview, projection,
                         viewport_, &triple[0], &triple[1], &triple[2]) != GL_TRUE)
            return false;
    }
    return true;
}

void RVTester::computeCollisionCoordinates() {
    for (GLint i = 0; i < numberOfResults_; ++i) {
        const double z = middleDepth(result(i));
        GLdouble* triple = coordinateBuffer_.get() + 3 * i;
        for (int k = 0; k < 3; ++k) {
            const GLfloat along = collisionEnd_[k] - collisionStart_[k];
            triple[k] = collisionStart_[k] + along * z;
        }
    }
}

GLint RVTester::numberOfNamesForResult(GLint index) const {
    return static_cast<GLint>(result(index)[0]);
}

const GLuint* RVTester::namesForResult(GLint index) const {
    return result(index) + hitHeaderWords;
}

const GLdouble* RVTester::coordinatesForResult(GLint index) const {
    return coordinateBuffer_.get() + 3 * index;
}
