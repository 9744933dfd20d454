// Tolvane Kit, interactive view: an OpenGL view that keeps the camera in step
// with its size, draws through it and turns mouse gestures into clicks,
// picks and camera turns, and recordings (vertex buffers, display lists)
// that replay a drawing.
// Builds on the camera subsystem and Platform's toolkit-free OpenGLView.

#pragma once

#include <GL/gl.h>

#include <functional>

// A drawing recorded once into an OpenGL display list and replayed from it
// until what it depends on changes. Replaying sends exactly the vertices and
// colours the drawing sent, without computing them again; the camera's
// matrices are not part of the recording, so the list stays valid while the
// camera moves.
//
// The list belongs to the context that was current when it was recorded and
// is freed with that context at the latest; every call needs that context
// current.
class RVDisplayList {
public:
    RVDisplayList() = default;
    RVDisplayList(const RVDisplayList&) = delete;
    RVDisplayList& operator=(const RVDisplayList&) = delete;

    // Replays the recording; without one, first records `record` (whose GL
    // calls must all be ones a display list keeps). Where no list can be
    // had, `record` is simply drawn.
    void draw(const std::function<void()>& record);

    // Frees the recording now; the next draw records again.
    void clear();
    bool isRecorded() const { return list_ != 0; }

private:
    GLuint list_ = 0;
};
