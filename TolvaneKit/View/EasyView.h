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

    // Null until prepareOpenGL has run.
    RVCamera* camera() const { return camera_.get(); }
    RVTester* tester() const { return tester_.get(); }

private:
    std::unique_ptr<RVCamera> camera_;
    std::unique_ptr<RVTester> tester_;

    // The gesture in progress.
    bool stillDown_ = false;
    bool didDrag_ = false;
    GLuint gestureModifiers_ = 0;
    Point location_;
};
