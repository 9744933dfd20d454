// Tolvane Kit, interactive view: an OpenGL view that keeps the camera in step
// with its size, draws through it and turns mouse gestures into clicks,
// picks and camera turns, and recordings (vertex buffers, display lists)
// that replay a drawing.
// Builds on the camera subsystem and Platform's toolkit-free OpenGLView.

#pragma once

#include "Platform/core/OpenGLView.h"
#include "TolvaneKit/Camera/RVCamera.h"
#include "TolvaneKit/Camera/RVTester.h"

#include <GL/gl.h>

#include <memory>

// The kit's interactive OpenGL view. It owns a camera and a hit tester, keeps
// the camera's viewport in step with the view's size, runs the draw cycle and
// turns mouse gestures into four hooks: a click, a click on a named object
// (found by picking), a drag step and the end of a drag. By default a drag
// turns the camera about its target, half a degree per pixel.
//
// Subclasses override drawScene, drawSceneForSelection and whichever hooks
// they need; every hook returns the view.
class EasyView : public Platform::OpenGLView {
public:
    // A point in the view's own coordinates: origin at the lower-left corner,
    // y upward, one unit per pixel, which are also OpenGL window coordinates.
    struct Point {
        GLfloat x = 0.0f;
        GLfloat y = 0.0f;
    };

    EasyView();
    ~EasyView() override;

    // Creates camera and tester for the current context; once per view.
    void prepareOpenGL() override;
    // Gives the camera the view's new size (nothing before prepareOpenGL).
    void reshape() override;
    // Prepares on first use, draws the scene and finishes the frame.
    void drawRect() override;

    // A gesture: the press fixes the modifiers for every hook of the gesture;
    // a release without a drag before it is a click; any drag makes it a drag,
    // which always ends with handleDragEndAt.
    void mouseDown(const Platform::MouseEvent& event) override;
    void mouseDragged(const Platform::MouseEvent& event) override;
    void mouseUp(const Platform::MouseEvent& event) override;
    // Hands the wheel's turn to handleScrollBy; the turns are a brief interaction.
    void scrollWheel(const Platform::MouseEvent& event) override;
    // Ends a brief interaction that saw no further step.
    void timerFired() override;
    bool isOpaque() const override { return true; }

    virtual EasyView& drawScene() { return *this; }
    virtual EasyView& drawSceneForSelection() { return *this; }
    // Default: picks at the point and reports the nearest named hit.
    virtual EasyView& handleClickAt(Point point, GLuint modifiers);
    virtual EasyView& handleClickOn(GLuint result, GLuint modifiers);
    // Default: turns the camera; up raises the elevation (kept within 0 to
    // 180), right lowers the azimuth.
    virtual EasyView& handleDragTo(Point location, Point oldLocation, GLuint modifiers);
    virtual EasyView& handleDragEndAt(Point point, GLuint modifiers);
    // The wheel turned by `lines`, positive toward the user. Default: nothing.
    virtual EasyView& handleScrollBy(GLfloat lines, GLuint modifiers);

    // Null until prepareOpenGL has run.
    RVCamera* camera() const { return camera_.get(); }
    RVTester* tester() const { return tester_.get(); }

    // An interaction is whatever moves the picture frame after frame: a drag
    // in the view (which begins and ends its own), a slider held by the
    // user, an animation. Interactions nest; each begin needs its end, and
    // an end without a begin is ignored. While one goes on, and the last
    // frame drawn in full took longer than the budget, frames are previews
    // (see drawsPreview) unless full frames were asked for while moving.
    // When the last interaction ends with a preview on show, the view asks
    // to be drawn in full.
    void beginInteraction();
    void endInteraction();
    bool isInteracting() const { return interactions_ > 0; }
    // A step of a movement that has no end of its own (the wheel's turns):
    // the first step begins an interaction, which ends once no further
    // step came for briefInteractionPause seconds.
    void continueBriefInteraction();
    static constexpr double briefInteractionPause = 0.3;

    // Whether every frame is drawn in full while moving, whatever it costs.
    void setFullFramesWhileMoving(bool flag) { fullFramesWhileMoving_ = flag; }
    bool fullFramesWhileMoving() const { return fullFramesWhileMoving_; }

    // In seconds, each for the whole frame (drawScene and glFinish). A full
    // frame slower than previewAbove makes the frames of an interaction
    // previews, about 25 frames a second being what keeps up with the
    // hand. A frame expected to be slower than busyCursorAbove (as slow as
    // the last one of its kind) shows the busy cursor while it is drawn.
    struct FrameBudget {
        double previewAbove = 0.040;
        double busyCursorAbove = 0.25;
    };
    void setFrameBudget(FrameBudget budget) { frameBudget_ = budget; }
    FrameBudget frameBudget() const { return frameBudget_; }
    // How long the last frame drawn in full took; 0 before the first.
    double lastFullFrameSeconds() const { return lastFullFrameSeconds_; }

    // For drawScene: whether the frame being drawn is a preview, to be
    // drawn cheaply (one pass instead of a smoothed picture, say).
    bool drawsPreview() const { return drawingPreview_; }
    // Whether drawScene draws anything cheaper when asked for a preview.
    virtual bool canDrawPreview() const { return false; }

private:
    bool shouldDrawPreview() const;

    std::unique_ptr<RVCamera> camera_;
    std::unique_ptr<RVTester> tester_;

    // The gesture in progress.
    bool stillDown_ = false;
    bool didDrag_ = false;
    GLuint gestureModifiers_ = 0;
    Point location_;

    int interactions_ = 0;
    bool briefInteraction_ = false;
    bool fullFramesWhileMoving_ = false;
    FrameBudget frameBudget_;
    double lastFullFrameSeconds_ = 0.0;
    double lastPreviewSeconds_ = 0.0;
    bool drawingPreview_ = false;
    bool previewOnShow_ = false;
};
