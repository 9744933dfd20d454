#include "TolvaneKit/View/EasyView.h"

#include <chrono>

namespace {

constexpr GLint hitBufferWords = 512;
constexpr GLint namesKeptPerHit = 1;
constexpr GLint hitsKept = 1;           // only the nearest
constexpr GLfloat pickingRadius = 1.0f; // pixels
constexpr double degreesPerPixel = 0.5;

EasyView::Point pointOf(const Platform::MouseEvent& event) {
    return EasyView::Point{event.x, event.y};
}

} // namespace

EasyView::EasyView() = default;

// The camera is released first, then the tester (members would go the other way).
EasyView::~EasyView() {
    camera_.reset();
    tester_.reset();
}

void EasyView::prepareOpenGL() {
    const auto width = static_cast<GLfloat>(frameWidth());
    const auto height = static_cast<GLfloat>(frameHeight());
    camera_ = std::make_unique<RVCamera>();
    camera_->prepareOpenGL();
    camera_->setWidth(width, height);
    tester_ = std::make_unique<RVTester>();
    tester_->setHitBufferSize(hitBufferWords);
    tester_->setNameDepth(namesKeptPerHit, hitsKept);
}

void EasyView::reshape() {
    makeCurrentContext();
    if (camera_)
        camera_->setWidth(static_cast<GLfloat>(frameWidth()), static_cast<GLfloat>(frameHeight()));
}

void EasyView::drawRect() {
    makeCurrentContext();
    if (!camera_)
        prepareOpenGL();
    drawingPreview_ = shouldDrawPreview();
    double& lastOfItsKind = drawingPreview_ ? lastPreviewSeconds_ : lastFullFrameSeconds_;
    const bool slow = lastOfItsKind > frameBudget_.busyCursorAbove;
    if (slow)
        setBusyCursor(true);

    const auto start = std::chrono::steady_clock::now();
    drawScene();
    glFinish();
    lastOfItsKind = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    previewOnShow_ = drawingPreview_;
    drawingPreview_ = false;
    if (slow)
        setBusyCursor(false);
}

bool EasyView::shouldDrawPreview() const {
    return isInteracting() && !fullFramesWhileMoving_ &&
           lastFullFrameSeconds_ > frameBudget_.previewAbove && canDrawPreview();
}

void EasyView::beginInteraction() {
    ++interactions_;
}

void EasyView::continueBriefInteraction() {
    if (!briefInteraction_) {
        briefInteraction_ = true;
        beginInteraction();
    }
    scheduleTimer(briefInteractionPause);
}

void EasyView::timerFired() {
    if (!briefInteraction_)
        return;
    briefInteraction_ = false;
    endInteraction();
}

void EasyView::endInteraction() {
    if (interactions_ == 0)
        return;
    if (--interactions_ == 0 && previewOnShow_)
        setNeedsDisplay(true);
}

void EasyView::mouseDown(const Platform::MouseEvent& event) {
    stillDown_ = true;
    didDrag_ = false;
    gestureModifiers_ = event.modifiers;
    location_ = pointOf(event);
}

void EasyView::mouseDragged(const Platform::MouseEvent& event) {
    if (!stillDown_)
        return;
    const Point oldLocation = location_;
    location_ = pointOf(event);
    if (!didDrag_)
        beginInteraction();
    didDrag_ = true;
    handleDragTo(location_, oldLocation, gestureModifiers_);
}

void EasyView::mouseUp(const Platform::MouseEvent& event) {
    if (!stillDown_)
        return;
    location_ = pointOf(event);
    stillDown_ = false;
    if (!didDrag_) {
        handleClickAt(location_, gestureModifiers_);
        return;
    }
    handleDragEndAt(location_, gestureModifiers_);
    endInteraction();
}

void EasyView::scrollWheel(const Platform::MouseEvent& event) {
    continueBriefInteraction();
    handleScrollBy(event.deltaY, event.modifiers);
}

EasyView& EasyView::handleScrollBy(GLfloat, GLuint) {
    return *this;
}

EasyView& EasyView::handleClickAt(Point point, GLuint modifiers) {
    // Picking uses the context of the last draw; before one there is nothing
    // on screen to pick.
    if (!tester_)
        return *this;
    tester_->beginPickingWithRadius(pickingRadius, point.x, point.y);
    drawSceneForSelection();
    // A hit drawn with an empty name stack has no name to report.
    if (tester_->endTest(false) && tester_->numberOfResults() > 0 &&
        tester_->numberOfNamesForResult(0) > 0)
        handleClickOn(tester_->namesForResult(0)[0], modifiers);
    return *this;
}

EasyView& EasyView::handleClickOn(GLuint, GLuint) {
    return *this;
}

EasyView& EasyView::handleDragTo(Point location, Point oldLocation, GLuint) {
    if (!camera_)
        return *this;
    makeCurrentContext();
    const GLfloat upward = location.y - oldLocation.y;
    const GLfloat leftward = oldLocation.x - location.x;
    camera_->setElevation(static_cast<GLfloat>(camera_->elevation() + upward * degreesPerPixel),
                          0.0f, 180.0f);
    camera_->setAzimuth(static_cast<GLfloat>(camera_->azimuth() + leftward * degreesPerPixel));
    setNeedsDisplay(true);
    return *this;
}

EasyView& EasyView::handleDragEndAt(Point, GLuint) {
    return *this;
}
