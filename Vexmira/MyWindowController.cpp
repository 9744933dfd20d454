#include "Vexmira/MyWindowController.h"

#include "Platform/core/Application.h"
#include "Platform/core/Localization.h"
#include "Platform/core/NotificationCenter.h"
#include "Platform/core/Slider.h"
#include "Platform/core/UndoManager.h"
#include "Platform/core/Window.h"
#include "TolvaneKit/Camera/RVCamera.h"
#include "Vexmira/Blowup.h"
#include "Vexmira/BlowupView.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyDocumentLayout.h"
#include "Vexmira/RenderCommand.h"
#include "Vexmira/SmoothWhileMoving.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Each line of the wheel moves the camera by a tenth of its distance, so a
// turn feels the same close up and far away.
constexpr float wheelZoomFactor = 1.1f;
// Wheel turns closer together than this belong to one gesture.
constexpr std::chrono::milliseconds wheelGesturePause{500};

} // namespace

MyWindowController::MyWindowController() : Platform::WindowController(MyDocumentLayout::name) {
    setShouldCloseDocument(true);
}

MyWindowController::~MyWindowController() {
    Platform::NotificationCenter::defaultCenter().removeObserver(this);
    // The view goes with the window; nothing may reach it afterwards.
    view_ = nullptr;
    releaseWindow();
}

Blowup& MyWindowController::model() const {
    return static_cast<MyDocument*>(document())->model();
}

void MyWindowController::windowDidLoad() {
    Platform::WindowController::windowDidLoad();
    connectSliders();
    registerNotificationObservers();
    updateWindow();
}

void MyWindowController::connectSliders() {
    Platform::Window* window = this->window();
    auto connect = [this, window](const char* name,
                                  void (MyWindowController::*action)(Platform::Slider&)) {
        Platform::Slider* slider = window->slider(name);
        if (!slider)
            return slider;
        slider->setAction([this, action](Platform::Slider& sender) { (this->*action)(sender); });
        // A continuous slider sends an action for every step of a drag; the
        // whole drag is one undo step, as the user sees it, and one
        // interaction of the view's.
        slider->setTrackingHandler([this](bool began) {
            groupUndoSteps(began);
            followSliderDrag(began);
        });
        return slider;
    };
    antialiasingSlider_ = connect("antialiasing", &MyWindowController::antialiasingAction);
    blowupSlider_ = connect("blowup", &MyWindowController::blowupAction);
    immersionSlider_ = connect("immersion", &MyWindowController::immersionAction);
    meridiansSlider_ = connect("meridians", &MyWindowController::meridiansAction);
    resolutionSlider_ = connect("resolution", &MyWindowController::resolutionAction);
    zoomSlider_ = connect("zoom", &MyWindowController::zoomAction);
}

void MyWindowController::registerNotificationObservers() {
    auto& center = Platform::NotificationCenter::defaultCenter();
    const Blowup* object = &model();
    auto observe = [this, &center, object](const char* name,
                                           void (MyWindowController::*handler)()) {
        center.addObserver(this, name, object,
                           [this, handler](const Platform::NotificationCenter::Notification&) {
                               (this->*handler)();
                           });
    };
    observe(VexmiraBlowupNotification, &MyWindowController::updateBlowupSlider);
    observe(VexmiraImmersionNotification, &MyWindowController::updateImmersionSlider);
    observe(VexmiraDistanceNotification, &MyWindowController::updateZoomSlider);
    observe(VexmiraMeridiansNotification, &MyWindowController::updateMeridiansSlider);
    observe(VexmiraResolutionNotification, &MyWindowController::updateResolutionSlider);
    observe(VexmiraAntialiasingNotification, &MyWindowController::updateAntialiasingSlider);
}

void MyWindowController::updateWindow() {
    updateAntialiasingSlider();
    updateBlowupSlider();
    updateImmersionSlider();
    updateMeridiansSlider();
    updateResolutionSlider();
    updateZoomSlider();
}

void MyWindowController::updateSlider(Platform::Slider* slider, float value) {
    if (slider && slider->floatValue() != value)
        slider->setFloatValue(value);
}

void MyWindowController::set3DView(BlowupView* view) {
    view_ = view;
    // No redraw is requested: the view calls this while it prepares for the
    // draw that is about to happen.
    pushDistanceToCamera();
    pushAntialiasingToCamera();
    if (view_)
        SmoothWhileMoving::applyTo(*view_, Platform::Application::shared());
}

void MyWindowController::toggleAnimation(PictureAnimation::Kind kind) {
    if (!view_ || !view_->camera())
        return;
    if (animation_.kind() == kind) {
        stopAnimation();
        return;
    }
    view_->makeCurrentContext();
    const bool wasRunning = animation_.isRunning();
    // An animation moves the picture like a drag: slow smoothed frames are
    // previewed in one pass while it plays.
    if (animation_.start(kind, model(), *view_->camera()) && !wasRunning)
        view_->beginInteraction();
    else if (!animation_.isRunning() && wasRunning)
        view_->endInteraction();
    requestRedraw();
}

void MyWindowController::stopAnimation() {
    if (!animation_.isRunning() || !view_ || !view_->camera())
        return;
    view_->makeCurrentContext();
    animation_.stop(*view_->camera());
    view_->endInteraction();
    requestRedraw();
}

Blowup& MyWindowController::modelForNextFrame() {
    if (!animation_.isRunning() || !view_ || !view_->camera())
        return model();
    Blowup& frame = animation_.advance(model(), *view_->camera());
    view_->requestNextFrame();
    return frame;
}

void MyWindowController::updateBlowupSlider() {
    updateSlider(blowupSlider_, model().blowup());
    requestRedraw();
}

void MyWindowController::updateImmersionSlider() {
    updateSlider(immersionSlider_, model().immersion());
    requestRedraw();
}

void MyWindowController::updateMeridiansSlider() {
    updateSlider(meridiansSlider_, static_cast<float>(model().meridians()));
    requestRedraw();
}

void MyWindowController::updateResolutionSlider() {
    updateSlider(resolutionSlider_, static_cast<float>(model().resolution()));
    requestRedraw();
}

void MyWindowController::updateAntialiasingSlider() {
    updateSlider(antialiasingSlider_, static_cast<float>(model().antialiasing()));
    pushAntialiasingToCamera();
    requestRedraw();
}

void MyWindowController::updateZoomSlider() {
    updateSlider(zoomSlider_, model().distance());
    pushDistanceToCamera();
    requestRedraw();
}

void MyWindowController::pushAntialiasingToCamera() {
    if (view_ && view_->camera())
        view_->camera()->setSmoothingPasses(model().antialiasing(), 1.0f);
}

void MyWindowController::pushDistanceToCamera() {
    if (!view_ || !view_->camera())
        return;
    // The camera re-issues its matrices on the current context; with several
    // windows open that is not necessarily this view's.
    view_->makeCurrentContext();
    view_->camera()->setDistance(model().distance());
}

BlowupView* MyWindowController::preparedViewOf(const Platform::Document* document) {
    if (!document)
        return nullptr;
    for (const auto& controller : document->windowControllers())
        if (auto* windowController = dynamic_cast<MyWindowController*>(controller.get()))
            if (BlowupView* view = windowController->view(); view && view->camera())
                return view;
    return nullptr;
}

void MyWindowController::setShowsCamera(bool shows) {
    showsCamera_ = shows;
    if (!shows && isWindowLoaded())
        window()->setStatusLine({});
    viewDidDraw();
    // The line takes its height from the picture, or gives it back.
    if (view_)
        view_->setNeedsDisplay(true);
}

void MyWindowController::viewDidDraw() {
    if (!showsCamera_ || !view_ || !view_->camera() || !isWindowLoaded())
        return;
    window()->setStatusLine(
        RenderCommand(model(), *view_->camera(), view_->frameWidth(), view_->frameHeight())
            .cameraDescription());
}

void MyWindowController::requestRedraw() {
    if (view_)
        view_->setNeedsDisplay(true);
}

void MyWindowController::followSliderDrag(bool began) {
    if (!view_)
        return;
    if (began)
        view_->beginInteraction();
    else
        view_->endInteraction();
}

void MyWindowController::zoomByWheel(float lines) {
    const auto now = std::chrono::steady_clock::now();
    const bool sameGesture = now - lastWheelTurn_ < wheelGesturePause;
    lastWheelTurn_ = now;
    const float minimum = zoomSlider_ ? zoomSlider_->minValue() : MyDocumentLayout::minimumZoom;
    const float maximum = zoomSlider_ ? zoomSlider_->maxValue() : MyDocumentLayout::maximumZoom;
    Blowup& blowup = model();
    const float distance =
        std::clamp(blowup.distance() * std::pow(wheelZoomFactor, lines), minimum, maximum);
    if (distance == blowup.distance())
        return;
    Platform::UndoManager* undoManager = windowWillReturnUndoManager();
    // The gesture's first turn registered the distance it started from;
    // later turns only move on, unless another step came in between.
    if (undoManager && sameGesture && wheelUndoStep_ != 0 &&
        undoManager->latestUndoStepId() == wheelUndoStep_) {
        undoManager->disableUndoRegistration();
        blowup.setDistance(distance);
        undoManager->enableUndoRegistration();
        return;
    }
    blowup.setDistance(distance);
    nameUndoStep("Set Distance");
    wheelUndoStep_ = undoManager ? undoManager->latestUndoStepId() : 0;
}

void MyWindowController::groupUndoSteps(bool began) {
    Platform::UndoManager* undoManager = windowWillReturnUndoManager();
    if (!undoManager)
        return;
    if (began)
        undoManager->beginUndoGrouping();
    else
        undoManager->endUndoGrouping();
}

void MyWindowController::nameUndoStep(const char* englishName) {
    if (Platform::UndoManager* undoManager = windowWillReturnUndoManager())
        undoManager->setActionName(Platform::localized(englishName));
}

void MyWindowController::blowupAction(Platform::Slider& sender) {
    model().setBlowup(sender.floatValue());
    nameUndoStep("Set Blowup");
}

void MyWindowController::immersionAction(Platform::Slider& sender) {
    model().setImmersion(sender.floatValue());
    nameUndoStep("Set Immersion");
}

void MyWindowController::zoomAction(Platform::Slider& sender) {
    model().setDistance(sender.floatValue());
    nameUndoStep("Set Distance");
}

void MyWindowController::meridiansAction(Platform::Slider& sender) {
    model().setMeridians(sender.intValue());
    nameUndoStep("Set Meridians");
}

void MyWindowController::resolutionAction(Platform::Slider& sender) {
    model().setResolution(sender.intValue());
    nameUndoStep("Set Resolution");
}

void MyWindowController::antialiasingAction(Platform::Slider& sender) {
    model().setAntialiasing(sender.intValue());
    nameUndoStep("Set Antialiasing");
}
