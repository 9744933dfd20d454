#include "Vexmira/PictureAnimation.h"

#include "TolvaneKit/Camera/RVCamera.h"
#include "Vexmira/MyDocumentLayout.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace {

// One tolerance interval before the end a round is over, so its last frame
// shows the end exactly and the next round starts from there.
constexpr float roundTolerance = 1.0f;

} // namespace

PictureAnimation::PictureAnimation(RVInterpolator::Clock clock) : interpolator_(std::move(clock)) {}

void PictureAnimation::setClock(RVInterpolator::Clock clock) {
    const int duration = interpolator_.duration();
    interpolator_ = RVInterpolator(std::move(clock));
    interpolator_.setDuration(duration).setTolerance(roundTolerance);
}

int PictureAnimation::durationOf(Kind kind) {
    switch (kind) {
    case Kind::blowup:
        return blowupDuration;
    case Kind::immersion:
        return immersionDuration;
    case Kind::turntable:
        return turntableDuration;
    }
    return blowupDuration;
}

bool PictureAnimation::start(Kind kind, const Blowup& document, RVCamera& camera) {
    if (isRunning())
        stop(camera);
    interpolator_.setDuration(durationOf(kind)).setTolerance(roundTolerance);
    if (!interpolator_.start())
        return false;
    kind_ = kind;
    startImmersion_ = document.immersion();
    startAzimuth_ = camera.azimuth();
    copyDocument(document);
    return true;
}

void PictureAnimation::stop(RVCamera& camera) {
    if (kind_ == Kind::turntable)
        camera.setAzimuth(startAzimuth_);
    kind_.reset();
}

// The blow-up rises from 0 to the slider's maximum and falls back, slowing
// at both turns as a pendulum does, so a loop has no visible seam.
float PictureAnimation::blowupAt(float progress) {
    const double swing = (1.0 - std::cos(2.0 * std::numbers::pi * progress)) / 2.0;
    return static_cast<float>(MyDocumentLayout::maximumBlowup * swing);
}

float PictureAnimation::immersionAt(float progress) const {
    return static_cast<float>(startImmersion_ + 2.0 * std::numbers::pi * progress);
}

float PictureAnimation::azimuthAt(float progress) const {
    return static_cast<float>(startAzimuth_ + 360.0 * progress);
}

void PictureAnimation::copyDocument(const Blowup& document) {
    frame_.setBlowup(document.blowup());
    frame_.setImmersion(document.immersion());
    frame_.setDistance(document.distance());
    frame_.setResolution(document.resolution());
    frame_.setMeridians(document.meridians());
    frame_.setAntialiasing(document.antialiasing());
}

Blowup& PictureAnimation::advance(const Blowup& document, RVCamera& camera) {
    // The document's other values are followed while the animation runs:
    // a slider moved meanwhile shows at once.
    copyDocument(document);
    if (!kind_)
        return frame_;
    const float progress = interpolator_.progress();
    switch (*kind_) {
    case Kind::blowup:
        frame_.setBlowup(blowupAt(progress));
        break;
    case Kind::immersion:
        frame_.setImmersion(immersionAt(progress));
        break;
    case Kind::turntable:
        camera.setAzimuth(azimuthAt(progress));
        break;
    }
    // The end of a round is the start of the next; a failed clock read
    // keeps the round going and tries again next frame.
    if (progress >= 1.0f)
        interpolator_.start();
    return frame_;
}
