// The GL 1.5 buffer and multi-draw entry points are declared only on request.
#define GL_GLEXT_PROTOTYPES 1
#include "TolvaneKit/View/RVLineRecording.h"

#include "TolvaneKit/View/RVFeedback.h"

#include <cmath>
#include <cstddef>

namespace {

// The capture's box, in eye coordinates: the projection maps it onto the
// clip volume, so nothing inside it is clipped. A vertex found at half of it
// or beyond may have been clipped, and the capture is given up.
constexpr GLfloat captureBox = 1.0e6f;

using RVFeedback::colorOffset, RVFeedback::textureOffset, RVFeedback::floatsPerVertex;
// A line's token and its two vertices.
constexpr std::size_t floatsPerSegment = 1 + 2 * floatsPerVertex;

} // namespace

void RVLineRecording::draw(const std::function<void()>& record, std::size_t maximumVertices) {
    if (!isRecorded() && !capture(record, maximumVertices)) {
        displayList_.draw(record);
        return;
    }
    if (buffer_ != 0)
        replay();
    else
        displayList_.draw(record);
}

void RVLineRecording::clear() {
    if (buffer_ != 0)
        glDeleteBuffers(1, &buffer_);
    buffer_ = 0;
    firsts_.clear();
    counts_.clear();
    displayList_.clear();
}

bool RVLineRecording::feedbackCanKeepTheDrawing() {
    GLint renderMode = 0, shadeModel = 0;
    glGetIntegerv(GL_RENDER_MODE, &renderMode);
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    if (renderMode != GL_RENDER || shadeModel != GL_SMOOTH)
        return false;
    for (GLenum capability : {GL_LIGHTING, GL_TEXTURE_1D, GL_TEXTURE_2D, GL_LINE_STIPPLE})
        if (glIsEnabled(capability))
            return false;
    return true;
}

bool RVLineRecording::capture(const std::function<void()>& record, std::size_t maximumVertices) {
    // A segment per vertex at the most (a loop's closing one included).
    const std::size_t floats = (maximumVertices + 1) * floatsPerSegment;
    if (maximumVertices == 0 || floats > maximumFeedbackFloats || !feedbackCanKeepTheDrawing())
        return false;
    const std::optional<std::vector<GLfloat>> feedback =
        RVFeedback::capture(record, floats, captureBox);
    std::vector<Vertex> vertices;
    if (!feedback || !readSegments(*feedback, vertices)) {
        firsts_.clear();
        counts_.clear();
        return false;
    }
    // Replaying leaves the colour the drawing left, as drawing it would.
    glGetFloatv(GL_CURRENT_COLOR, lastColor_);
    upload(vertices);
    return buffer_ != 0;
}

// Segments come as a token and two vertices each; a segment that starts
// where the one before ended, in the same colour, continues its strip.
bool RVLineRecording::readSegments(const std::vector<GLfloat>& feedback,
                                   std::vector<Vertex>& vertices) {
    const auto vertexAt = [](const GLfloat* values, Vertex& vertex) {
        for (int axis = 0; axis < 3; ++axis) {
            vertex.position[axis] = values[textureOffset + axis];
            if (!(std::fabs(vertex.position[axis]) < captureBox / 2))
                return false;
        }
        for (int channel = 0; channel < 3; ++channel)
            vertex.color[channel] = values[colorOffset + channel];
        return values[colorOffset + 3] == 1.0f;
    };
    std::size_t at = 0;
    while (at < feedback.size()) {
        const GLint token = static_cast<GLint>(feedback[at]);
        if (token == GL_PASS_THROUGH_TOKEN) {
            at += 2;
            continue;
        }
        if ((token != GL_LINE_TOKEN && token != GL_LINE_RESET_TOKEN) ||
            feedback.size() - at < floatsPerSegment)
            return false;
        Vertex start, end;
        if (!vertexAt(&feedback[at + 1], start) ||
            !vertexAt(&feedback[at + 1 + floatsPerVertex], end))
            return false;
        at += floatsPerSegment;
        if (vertices.empty() || !(vertices.back() == start)) {
            firsts_.push_back(static_cast<GLint>(vertices.size()));
            counts_.push_back(1);
            vertices.push_back(start);
        }
        vertices.push_back(end);
        ++counts_.back();
    }
    return true;
}

void RVLineRecording::upload(const std::vector<Vertex>& vertices) {
    GLint previous = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &previous);
    const auto bytes = static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex));
    glGenBuffers(1, &buffer_);
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    glBufferData(GL_ARRAY_BUFFER, bytes, vertices.data(), GL_STATIC_DRAW);
    // Out of memory leaves the buffer without its store (read by size, so
    // that errors of others stay for them to see): the display list takes over.
    GLint stored = -1;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &stored);
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(previous));
    if (stored != bytes)
        clear();
}

void RVLineRecording::replay() const {
    GLint previous = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &previous);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex),
                    reinterpret_cast<const void*>(offsetof(Vertex, position)));
    glColorPointer(3, GL_FLOAT, sizeof(Vertex),
                   reinterpret_cast<const void*>(offsetof(Vertex, color)));
    glMultiDrawArrays(GL_LINE_STRIP, firsts_.data(), counts_.data(),
                      static_cast<GLsizei>(counts_.size()));
    glPopClientAttrib();
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(previous));
    glColor4fv(lastColor_);
}
