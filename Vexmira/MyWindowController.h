#pragma once

#include "Platform/core/WindowController.h"
#include "Vexmira/PictureAnimation.h"

#include <chrono>
#include <cstdint>

class Blowup;
class BlowupView;

namespace Platform {
class Document;
class Slider;
} // namespace Platform

// Runs a document's window: six sliders and the blow-up view. Slider moves
// become calls of the model's setters with a named undo step; the model's
// notifications come back as slider positions, camera settings and redraw
// requests. The model never talks to the window directly.
class MyWindowController : public Platform::WindowController {
public:
    // The window is built from the layout named "MyDocument"; closing it
    // closes the document.
    MyWindowController();
    ~MyWindowController() override;

    // The model of the controller's document.
    Blowup& model() const;

    void windowDidLoad() override;
    void registerNotificationObservers();
    // Brings all six sliders to the model's values.
    void updateWindow();
    // Moves the slider only when it shows another value.
    void updateSlider(Platform::Slider* slider, float value);

    Platform::Slider* antialiasingSlider() const { return antialiasingSlider_; }
    Platform::Slider* blowupSlider() const { return blowupSlider_; }
    Platform::Slider* immersionSlider() const { return immersionSlider_; }
    Platform::Slider* meridiansSlider() const { return meridiansSlider_; }
    Platform::Slider* resolutionSlider() const { return resolutionSlider_; }
    Platform::Slider* zoomSlider() const { return zoomSlider_; }

    // The view hands itself over when it prepares its OpenGL state (not
    // owned). The camera is then given the model's distance and smoothing,
    // so a reopened document shows its saved zoom and antialiasing at once.
    void set3DView(BlowupView* view);
    BlowupView* view() const { return view_; }
    // The view of a document's window once it has its camera; null before,
    // and for a document without a window.
    static BlowupView* preparedViewOf(const Platform::Document* document);

    // The window's animation (View > Animate Blow-up and its neighbours).
    PictureAnimation& animation() { return animation_; }
    // Starts an animation of `kind`, or stops it when it is the one running.
    void toggleAnimation(PictureAnimation::Kind kind);
    // Stops the animation; the picture is the document's again.
    void stopAnimation();
    // The model the view draws now: the document's, or while an animation
    // runs, its next frame (and the frame after that is asked for).
    Blowup& modelForNextFrame();

    // View > Show Camera: a line under the picture with the camera's angles,
    // its target height and the picture's size, kept up to date while shown.
    void setShowsCamera(bool shows);
    bool showsCamera() const { return showsCamera_; }
    // The view tells after each frame, so the line follows the camera.
    void viewDidDraw();

    // Notification handlers: each reads its value back from the model.
    void updateBlowupSlider();
    void updateImmersionSlider();
    void updateMeridiansSlider();
    void updateResolutionSlider();
    void updateAntialiasingSlider();
    void updateZoomSlider();

    // Slider actions: set the model from the sender, then name the undo step.
    void blowupAction(Platform::Slider& sender);
    void immersionAction(Platform::Slider& sender);
    void zoomAction(Platform::Slider& sender);
    void meridiansAction(Platform::Slider& sender);
    void resolutionAction(Platform::Slider& sender);
    void antialiasingAction(Platform::Slider& sender);

    // The mouse wheel turned over the view by `lines` (positive toward the
    // user): the distance grows or shrinks by a fixed factor per line,
    // within the zoom slider's range, through the model's setter. Turns less
    // than half a second apart are one gesture and one undo step.
    void zoomByWheel(float lines);

private:
    void connectSliders();
    void nameUndoStep(const char* englishName);
    void groupUndoSteps(bool began);
    void followSliderDrag(bool began);
    void requestRedraw();
    void pushDistanceToCamera();
    void pushAntialiasingToCamera();

    Platform::Slider* antialiasingSlider_ = nullptr;
    Platform::Slider* blowupSlider_ = nullptr;
    Platform::Slider* immersionSlider_ = nullptr;
    Platform::Slider* meridiansSlider_ = nullptr;
    Platform::Slider* resolutionSlider_ = nullptr;
    Platform::Slider* zoomSlider_ = nullptr;
    BlowupView* view_ = nullptr;
    // The wheel gesture in progress: when its last turn came, and its undo step.
    std::chrono::steady_clock::time_point lastWheelTurn_;
    std::uint64_t wheelUndoStep_ = 0;
    PictureAnimation animation_;
    bool showsCamera_ = false;
};
