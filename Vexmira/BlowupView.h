#pragma once

#include "TolvaneKit/View/EasyView.h"
#include "TolvaneKit/View/RVLineRecording.h"

#include <cstdint>

class Blowup;
class MyWindowController;

// The application's view of a document's blow-up model. It sets the fixed
// OpenGL state once, looks at a target one unit above the origin, hands
// itself to its window controller, and draws the model once or smoothed by
// the camera, as the model's antialiasing says. A drag with the control key
// held raises or lowers the target instead of turning the camera.
//
// The view keeps no reference to the model: it finds it on every use through
// its window's controller. What the model draws is recorded once a frame
// shows it unchanged again, and replayed for every later frame and every
// smoothing pass, until one of the parameters that shape the surface
// changes; the camera may move freely.
// While the picture moves and smoothing is slow, frames are drawn in one
// pass, and smoothed again when the movement ends.
class BlowupView : public EasyView {
public:
    BlowupView();
    ~BlowupView() override;

    void prepareOpenGL() override;
    EasyView& drawScene() override;
    EasyView& drawSceneForSelection() override;
    EasyView& handleDragTo(Point location, Point oldLocation, GLuint modifiers) override;
    // The wheel zooms: the window controller changes the document's distance.
    EasyView& handleScrollBy(GLfloat lines, GLuint modifiers) override;
    // A smoothed picture can be previewed in one pass.
    bool canDrawPreview() const override;
    // Space and Escape stop a running animation.
    bool keyDown(const std::string& keyName) override;

    // The camera a new window starts with: straight above the picture,
    // looking at a point one unit above the origin. The distance stays: it
    // is the document's.
    void resetView();
    // Views along the axes and one between them. Each sets the camera's
    // angles only, so the point looked at and the distance stay.
    enum class StandardView { top, side, front, oblique };
    void showStandardView(StandardView view);

    // The controller of the view's window, or null while the view stands alone.
    MyWindowController* windowController() const;
    // The model shown, or null while the view has no controller.
    Blowup* model() const;

protected:
    // The surface as the model draws it: what the frames record and replay.
    virtual void drawSurface(Blowup& blowup);

private:
    // The parameters the recorded surface was drawn with, floats by their bits.
    struct SurfaceKey {
        const Blowup* model = nullptr;
        std::uint32_t blowupBits = 0, immersionBits = 0;
        int meridians = 0, resolution = 0;
        bool operator==(const SurfaceKey&) const = default;
    };
    static SurfaceKey keyOf(const Blowup& blowup);
    // Whether the surface is the one of the last frame, which it then replays.
    bool surfaceIsSettled(const Blowup& blowup);

    RVLineRecording surface_;
    SurfaceKey lastKey_;
};
