#include "TolvaneKit/View/RVFeedback.h"

namespace RVFeedback {

namespace {

void loadIdentities(GLfloat extent) {
    for (GLenum matrix : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(matrix);
        glPushMatrix();
        glLoadIdentity();
    }
    glMatrixMode(GL_PROJECTION);
    glOrtho(-extent, extent, -extent, extent, -extent, extent);
    glMatrixMode(GL_MODELVIEW);
}

void restoreMatrices() {
    for (GLenum matrix : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(matrix);
        glPopMatrix();
    }
}

// s, t, r, q from eye x, y, z, w; the planes are given while the modelview
// is the identity, so they are taken as they stand.
GLuint generateEyeCoordinates() {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const GLubyte white[4] = {255, 255, 255, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST); // complete without mipmaps
    glEnable(GL_TEXTURE_2D);
    const GLenum coordinates[4] = {GL_S, GL_T, GL_R, GL_Q};
    const GLenum generators[4] = {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R,
                                  GL_TEXTURE_GEN_Q};
    for (int axis = 0; axis < 4; ++axis) {
        GLfloat plane[4] = {0.0f, 0.0f, 0.0f, 0.0f};
        plane[axis] = 1.0f;
        glTexGeni(coordinates[axis], GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
        glTexGenfv(coordinates[axis], GL_EYE_PLANE, plane);
        glEnable(generators[axis]);
    }
    return texture;
}

} // namespace

std::optional<std::vector<GLfloat>> capture(const std::function<void()>& draw, std::size_t floats,
                                            GLfloat extent) {
    std::vector<GLfloat> feedback(floats);
    GLint activeTexture = GL_TEXTURE0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeTexture);
    glPushAttrib(GL_VIEWPORT_BIT | GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_TRANSFORM_BIT);
    glActiveTexture(GL_TEXTURE0);
    const GLint side = static_cast<GLint>(extent);
    glViewport(-side, -side, 2 * side, 2 * side);
    loadIdentities(extent);
    const GLuint texture = generateEyeCoordinates();
    glFeedbackBuffer(static_cast<GLsizei>(floats), GL_3D_COLOR_TEXTURE, feedback.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint written = glRenderMode(GL_RENDER);
    // OpenGL keeps the buffer's address; it is ours only until we return.
    glFeedbackBuffer(0, GL_3D_COLOR_TEXTURE, nullptr);
    restoreMatrices();
    glDeleteTextures(1, &texture);
    glPopAttrib();
    glActiveTexture(static_cast<GLenum>(activeTexture));
    if (written < 0)
        return std::nullopt;
    feedback.resize(static_cast<std::size_t>(written));
    return feedback;
}

} // namespace RVFeedback
