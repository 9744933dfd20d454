#include "TolvaneKit/Resources/RVInterpolator.h"

#include <sys/time.h>
#include <utility>

RVInterpolator::RVInterpolator() : RVInterpolator(wallClock) {}

RVInterpolator::RVInterpolator(Clock clock) : clock_(std::move(clock)) {}

std::optional<RVInterpolator::WallTime> RVInterpolator::wallClock() {
    timeval now{};
    if (gettimeofday(&now, nullptr) != 0)
        return std::nullopt;
    return WallTime{now.tv_sec, now.tv_usec};
}

RVInterpolator& RVInterpolator::setDuration(int microseconds) {
    duration_ = microseconds;
    return *this;
}

RVInterpolator& RVInterpolator::setTolerance(float tolerance) {
    tolerance_ = tolerance;
    return *this;
}

bool RVInterpolator::start() {
    numberOfSamples_ = 0;
    std::optional<WallTime> now = clock_ ? clock_() : std::nullopt;
    if (!now)
        return false;
    startSeconds_ = now->seconds;
    startMicroseconds_ = now->microseconds;
    return true;
}

float RVInterpolator::progress() {
    if (numberOfSamples_ < INT32_MAX)
        ++numberOfSamples_;
    std::optional<WallTime> now = clock_ ? clock_() : std::nullopt;
    if (!now)
        return 0.0f;
    // Elapsed time in 64 bits: a sample taken long after a run (more than
    // about 35 minutes) must still read as finished, not wrap to a negative
    // fraction.
    const std::int64_t elapsed =
        (now->seconds - startSeconds_) * 1000000 + (now->microseconds - startMicroseconds_);
    const double elapsedMicroseconds = static_cast<double>(elapsed);
    const double durationDouble = duration_;
    // Tolerance times the average interval between samples, against the time
    // still to go.
    if (tolerance_ * elapsedMicroseconds / numberOfSamples_ > durationDouble - elapsedMicroseconds)
        return 1.0f;
    // A transition of no length is over, even when sampled in the very
    // microsecond it started (where the fraction would be 0 / 0).
    if (duration_ == 0)
        return 1.0f;
    return static_cast<float>(elapsedMicroseconds / durationDouble);
}
