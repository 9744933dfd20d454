// Tolvane Kit, camera and hit testing: viewing and projection set from
// spherical coordinates around a target, jittered smoothing passes, picking
// and collision tests, and the vector and angle helpers they share. Builds on
// legacy OpenGL, GLU and Platform/core alone.

#pragma once

#include "Platform/core/MallocArray.h"

#include <GL/gl.h>

// Finds the named objects of a scene under a point of the view (picking) or
// along a segment in the world (collision) through OpenGL's selection mode:
// begin a test, draw the scene with names on the name stack (it starts with
// one name, 0), end the test, then read the nearest hits, sorted by depth.
//
// All storage comes from the two size setters; a test allocates nothing.
class RVTester {
public:
    RVTester() = default;
    RVTester(const RVTester&) = delete;
    RVTester& operator=(const RVTester&) = delete;

    // The selection buffer's capacity in words. A new size drops the old
    // buffer; false (and size 0) when it cannot be allocated.
    bool setHitBufferSize(GLint words);
    GLint hitBufferSize() const { return hitBufferSize_; }

    // Names kept per result and results kept. New values empty the results;
    // false (and both 0) when the storage cannot be allocated.
    bool setNameDepth(GLint nameDepth, GLint maxNumberOfResults);
    GLint nameDepth() const { return nameDepth_; }
    GLint maxNumberOfResults() const { return maxNumberOfResults_; }

    // Picking around window point (x, y) in a square of `radius` pixels a
    // side. Leaves the modelview matrix as it was, in GL_MODELVIEW mode.
    RVTester& beginPickingWithRadius(GLfloat radius, GLfloat x, GLfloat y);

    // Collision along the segment from startPoint to endPoint: a square prism
    // of half-width `radius` around it, depth 0 at the start and 1 at the end.
    // The scene must be drawn in world coordinates (the modelview is replaced).
    // A segment of no length or a prism of no width selects nothing.
    RVTester& beginCollisionWithRadius(GLfloat radius, const GLfloat* startPoint,
                                       const GLfloat* endPoint);

    // Ends the test begun last: back to render mode, matrices restored (the
    // matrix mode is left at GL_PROJECTION), results rebuilt and, when asked,
    // a world position computed for each. False when a position cannot be
    // computed, or when no test was begun (then nothing changes).
    bool endTest(bool computeCoordinates);

    // Results of the last test, the nearest first; -1 when the selection
    // buffer overflowed. Indices are not checked: stay within
    // 0 .. numberOfResults() - 1 and read at most min(count, nameDepth()) names.
    GLint numberOfResults() const { return numberOfResults_; }
    GLint numberOfNamesForResult(GLint index) const;
    const GLuint* namesForResult(GLint index) const;
    const GLdouble* coordinatesForResult(GLint index) const;

private:
    template <typename T> using Block = Platform::MallocArray<T>;

    // Result record: name count as reported, minimum depth, maximum depth,
    // then nameDepth names.
    GLint resultWords() const { return nameDepth_ + 3; }
    GLuint* result(GLint index) const { return resultBuffer_.get() + index * resultWords(); }

    void enterSelectionMode();
    void processHits();
    void insertResult(GLint hitBufferIndex, GLint resultIndex);
    bool computeCoordinates();
    bool computePickedCoordinates();
    void computeCollisionCoordinates();

    Block<GLuint> hitBuffer_;
    GLint hitBufferSize_ = 0;
    GLint hitCount_ = 0;
    Block<GLuint> resultBuffer_;
    GLint nameDepth_ = 0;
    GLint maxNumberOfResults_ = 0;
    GLint numberOfResults_ = 0;
    GLint mode_ = 0; // 0 picking, 1 collision
    bool testBegun_ = false;
    GLdouble pickingX_ = 0.0;
    GLdouble pickingY_ = 0.0;
    GLfloat collisionStart_[3] = {0.0f, 0.0f, 0.0f};
    GLfloat collisionEnd_[3] = {0.0f, 0.0f, 0.0f};
    GLint viewport_[4] = {0, 0, 0, 0};
    Block<GLdouble> coordinateBuffer_;
    // Stands in for a hit buffer of no size: OpenGL refuses selection mode
    // without a buffer, and with one word every hit overflows as it should.
    GLuint scratchWord_ = 0;
};
