#include "Vexmira/BlowupView.h"

#include "Platform/core/MouseEvent.h"
#include "Platform/core/Window.h"
#include "Vexmira/Blowup.h"
#include "Vexmira/MyWindowController.h"

#include <bit>
#include <cstddef>

namespace {

// Target units per pixel of a control-drag.
constexpr double targetStepPerPixel = 0.1;

// Where a new window's camera looks: one unit above the origin.
constexpr GLfloat startingTargetHeight = 1.0f;

struct CameraAngles {
    GLfloat azimuth, elevation;
};

// Azimuth 0 puts the eye on the +x axis, elevation 0 straight above. The
// front looks along +y; the oblique view looks down between front and side.
CameraAngles anglesOf(BlowupView::StandardView view) {
    switch (view) {
    case BlowupView::StandardView::top:
        break;
    case BlowupView::StandardView::side:
        return {0.0f, 90.0f};
    case BlowupView::StandardView::front:
        return {270.0f, 90.0f};
    case BlowupView::StandardView::oblique:
        return {315.0f, 60.0f};
    }
    return {0.0f, 0.0f};
}

} // namespace

BlowupView::BlowupView() = default;

BlowupView::~BlowupView() = default;

MyWindowController* BlowupView::windowController() const {
    Platform::Window* window = this->window();
    return window ? dynamic_cast<MyWindowController*>(window->windowController()) : nullptr;
}

Blowup* BlowupView::model() const {
    MyWindowController* controller = windowController();
    return controller && controller->document() ? &controller->model() : nullptr;
}

void BlowupView::prepareOpenGL() {
    EasyView::prepareOpenGL();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_COLOR_MATERIAL);

    GLfloat target[3];
    camera()->getTarget(target);
    target[2] = startingTargetHeight;
    camera()->setTarget(target);

    // There is no auxiliary colour buffer: the passes are drawn into, and
    // averaged back into, the buffer the view draws in. In a window that is
    // the back buffer, which only the swap after the frame shows, so no
    // jittered pass is ever seen.
    camera()->setSmoothedBuffer(drawingBuffer(), drawingBuffer());

    if (MyWindowController* controller = windowController())
        controller->set3DView(this);
}

EasyView& BlowupView::handleScrollBy(GLfloat lines, GLuint) {
    if (MyWindowController* controller = windowController(); controller && controller->document())
        controller->zoomByWheel(lines);
    return *this;
}

void BlowupView::resetView() {
    if (!camera())
        return;
    showStandardView(StandardView::top);
    camera()->setTwist(0.0f);
    const GLfloat target[3] = {0.0f, 0.0f, startingTargetHeight};
    camera()->setTarget(target);
}

void BlowupView::showStandardView(StandardView view) {
    if (!camera())
        return;
    // The camera re-issues its matrices on the current context.
    makeCurrentContext();
    const CameraAngles angles = anglesOf(view);
    camera()->setAzimuth(angles.azimuth);
    camera()->setElevation(angles.elevation);
    setNeedsDisplay(true);
}

EasyView& BlowupView::drawScene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    MyWindowController* controller = windowController();
    Blowup* blowup =
        controller && controller->document() ? &controller->modelForNextFrame() : nullptr;
    if (!blowup)
        return *this;
    const bool replay = surfaceIsSettled(*blowup);
    const auto drawOnce = [this, blowup, replay] {
        if (replay)
            surface_.draw([this, blowup] { drawSurface(*blowup); },
                          static_cast<std::size_t>(blowup->verticesDrawn()));
        else
            drawSurface(*blowup);
    };
    // A preview is the picture drawn once, unsmoothed, as with one pass.
    if (static_cast<unsigned>(blowup->antialiasing()) <= 1 || drawsPreview())
        drawOnce();
    else
        camera()->smooth(drawOnce);
    if (controller)
        controller->viewDidDraw();
    return *this;
}

bool BlowupView::canDrawPreview() const {
    const Blowup* blowup = model();
    return blowup && static_cast<unsigned>(blowup->antialiasing()) > 1 && camera() &&
           camera()->smoothingPasses() > 1;
}

void BlowupView::drawSurface(Blowup& blowup) {
    blowup.draw();
}

BlowupView::SurfaceKey BlowupView::keyOf(const Blowup& blowup) {
    return {&blowup, std::bit_cast<std::uint32_t>(blowup.blowup()),
            std::bit_cast<std::uint32_t>(blowup.immersion()), blowup.meridians(),
            blowup.resolution()};
}

// Recording a surface costs about as much as drawing it twice, which a
// surface that changes from frame to frame (a blow-up slider being dragged)
// would pay every frame. So a surface is recorded only when a frame shows it
// a second time unchanged; until then the model draws it each time, as the
// picture was always drawn.
bool BlowupView::surfaceIsSettled(const Blowup& blowup) {
    const SurfaceKey key = keyOf(blowup);
    if (key == lastKey_)
        return true;
    lastKey_ = key;
    surface_.clear();
    return false;
}

EasyView& BlowupView::drawSceneForSelection() {
    if (Blowup* blowup = model())
        blowup->draw();
    return *this;
}

bool BlowupView::keyDown(const std::string& keyName) {
    MyWindowController* controller = windowController();
    if (!controller || !controller->animation().isRunning() ||
        (keyName != "Space" && keyName != "Escape"))
        return false;
    controller->stopAnimation();
    return true;
}

EasyView& BlowupView::handleDragTo(Point location, Point oldLocation, GLuint modifiers) {
    if (!(modifiers & Platform::ControlKeyMask))
        return EasyView::handleDragTo(location, oldLocation, modifiers);
    if (!camera())
        return *this;
    // The camera re-issues its matrices on the current context, which after
    // another window's draw need not be this view's.
    makeCurrentContext();
    GLfloat target[3];
    camera()->getTarget(target);
    const GLfloat downward = oldLocation.y - location.y;
    target[2] = static_cast<GLfloat>(target[2] + downward * targetStepPerPixel);
    camera()->setTarget(target);
    setNeedsDisplay(true);
    return *this;
}
