#pragma once

#include "TolvaneKit/View/EasyView.h"

class Blowup;
class MyWindowController;

// The application's view of a document's blow-up model. It sets the fixed
// OpenGL state once, looks at a target one unit above the origin, hands
// itself to its window controller, and draws the model once or smoothed by
// the camera, as the model's antialiasing says. A drag with the control key
// held raises or lowers the target instead of turning the camera.
//
// The view keeps no reference to the model: it finds it on every use through
// its window's controller.
class BlowupView : public EasyView {
public:
    BlowupView();
    ~BlowupView() override;

    void prepareOpenGL() override;
    EasyView& drawScene() override;
    EasyView& drawSceneForSelection() override;
    EasyView& handleDragTo(Point location, Point oldLocation, GLuint modifiers) override;

    // The controller of the view's window, or null while the view stands alone.
    MyWindowController* windowController() const;
    // The model shown, or null while the view has no controller.
    Blowup* model() const;
};
