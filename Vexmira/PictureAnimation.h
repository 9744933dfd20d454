#pragma once

#include "TolvaneKit/Resources/RVInterpolator.h"
#include "Vexmira/Blowup.h"

#include <optional>

class RVCamera;

// Plays a window's picture without changing its document: the blow-up
// growing to the slider's maximum and shrinking back, the circle's plane
// turning once, or the camera going once around the picture. Each frame is
// drawn from a model of the animation's own, holding the document's values
// with the animated one replaced, so the document gets no undo step and no
// edited mark, and its sliders stay where they are. The animation loops
// until stopped; stopping gives the camera back its azimuth.
//
// Time comes from an RVInterpolator sampled once a frame: a slow frame skips
// ahead instead of slowing the animation down.
class PictureAnimation {
public:
    enum class Kind { blowup, immersion, turntable };

    // How long one round of each kind lasts, in microseconds.
    static constexpr int blowupDuration = 4000000;
    static constexpr int immersionDuration = 6000000;
    static constexpr int turntableDuration = 8000000;

    explicit PictureAnimation(RVInterpolator::Clock clock = RVInterpolator::wallClock);
    PictureAnimation(const PictureAnimation&) = delete;
    PictureAnimation& operator=(const PictureAnimation&) = delete;

    // Where the animation's time comes from (the wall clock unless replaced).
    void setClock(RVInterpolator::Clock clock);

    bool isRunning() const { return kind_.has_value(); }
    std::optional<Kind> kind() const { return kind_; }

    // Starts a round of `kind` from the picture as it is now, stopping any
    // other first. False when the clock cannot be read.
    bool start(Kind kind, const Blowup& document, RVCamera& camera);
    // Stops and turns the camera back to where it was at the start.
    void stop(RVCamera& camera);

    // Samples the time and sets up the next frame: the camera turned for a
    // turntable, and the model to draw. A round that has ended starts again.
    Blowup& advance(const Blowup& document, RVCamera& camera);
    // The model of the latest frame.
    Blowup& frameModel() { return frame_; }

    // The animated value at `progress` (0 to 1) through a round.
    static float blowupAt(float progress);
    float immersionAt(float progress) const;
    float azimuthAt(float progress) const;

private:
    static int durationOf(Kind kind);
    void copyDocument(const Blowup& document);

    RVInterpolator interpolator_;
    std::optional<Kind> kind_;
    float startImmersion_ = 0.0f;
    float startAzimuth_ = 0.0f;
    Blowup frame_;
};
