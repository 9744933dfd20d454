// Tolvane Kit, interactive view: an OpenGL view that keeps the camera in step
// with its size, draws through it and turns mouse gestures into clicks,
// picks and camera turns, and recordings (vertex buffers, display lists)
// that replay a drawing.
// Builds on the camera subsystem and Platform's toolkit-free OpenGLView.

#pragma once

#include "TolvaneKit/View/RVDisplayList.h"

#include <GL/gl.h>

#include <cstddef>
#include <functional>
#include <vector>

// A drawing of lines recorded once as the vertices and colours it sends, kept
// in a vertex buffer and replayed from it with one draw of all its strips,
// until what it depends on changes. Mesa replays a display list as indexed
// draws, a few hundredths slower than plain arrays for a large drawing; the
// buffer is as fast as the arrays and needs no copy per draw.
//
// The drawing is seen through OpenGL's feedback mode (RVFeedback): each
// vertex comes back with its colour and its position exactly as sent. Segments that continue one
// another become one strip again. Whatever the feedback cannot keep exactly (anything but opaque
// lines, lighting, texturing, stippled or flat-shaded lines, a vertex beyond the capture's box,
// more vertices than expected) is recorded into a display list instead; so is any drawing while the
// context is not rendering (selection, another feedback).
//
// The recording belongs to the context that was current when it was made and
// is freed with that context at the latest; every call needs that context
// current.
class RVLineRecording {
public:
    RVLineRecording() = default;
    RVLineRecording(const RVLineRecording&) = delete;
    RVLineRecording& operator=(const RVLineRecording&) = delete;

    // Replays the recording; without one, first records `record`, which
    // sends at most `maximumVertices` vertices (a bound, for the feedback's
    // memory). Where nothing can be recorded, `record` is simply drawn.
    void draw(const std::function<void()>& record, std::size_t maximumVertices);

    // Frees the recording now; the next draw records again.
    void clear();
    bool isRecorded() const { return buffer_ != 0 || displayList_.isRecorded(); }
    // Whether the recording is kept in a vertex buffer (rather than a list).
    bool isInVertexBuffer() const { return buffer_ != 0; }

    // The feedback is held only while recording, at most this many floats;
    // larger drawings go to a display list.
    static constexpr std::size_t maximumFeedbackFloats = std::size_t(16) << 20;

private:
    struct Vertex {
        GLfloat position[3];
        GLfloat color[3]; // opaque: the vertex's alpha is 1
        bool operator==(const Vertex&) const = default;
    };
    static bool feedbackCanKeepTheDrawing();
    bool capture(const std::function<void()>& record, std::size_t maximumVertices);
    bool readSegments(const std::vector<GLfloat>& feedback, std::vector<Vertex>& vertices);
    void upload(const std::vector<Vertex>& vertices);
    void replay() const;

    GLuint buffer_ = 0;
    std::vector<GLint> firsts_;
    std::vector<GLsizei> counts_;
    GLfloat lastColor_[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    RVDisplayList displayList_;
};
