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
// is freed with that context; every call needs the same context current.
class RVDisplayList {
public:
    RVDisplayList() = default;
    RVDisplayList(const RVDisplayList&) = delete;
    RVDisplayList& operator=(const RVDisplayList&) = delete;

    // Replays the recording; without one, first records `record` (which
    // must be the drawing's only source of GL calls). Where no list can be
    // had, `record` is simply drawn.
    void draw(const std::function<void()>& record);

    // Forgets the recording: the next draw records again. The old list is
    // freed then, when its context is current again.
    void invalidate() { recorded_ = false; }
    bool isRecorded() const { return recorded_; }

private:
    GLuint list_ = 0;
    bool recorded_ = false;
};
