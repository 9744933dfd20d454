#include "bench/BenchSurface.h"

#include <GL/gl.h>
#include <GL/glu.h>

Platform::OffscreenSurface* BenchSurface::shared(std::string* error) {
    static std::string failure;
    static std::unique_ptr<Platform::OffscreenSurface> surface =
        Platform::OffscreenSurface::create(width, height, &failure);
    if (!surface) {
        if (error)
            *error = failure;
        return nullptr;
    }
    surface->makeCurrent();
    return surface.get();
}

void BenchSurface::lookFromTheSide() {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(30.0, double(width) / height, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(8.0, 0.0, 1.0, 0.0, 0.0, 1.0, 0.0, 0.0, 1.0);
    glEnable(GL_DEPTH_TEST);
}

void BenchSurface::clear() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
