// Tolvane Kit, resources and containers: a cache of objects loaded by key
// from the resource folder (textures read from TIFF files), the binary,
// splay and child/sibling trees behind it and the figures, and a clock for
// timed transitions. Builds on Platform/core's resource directory, libtiff
// and OpenGL.

#pragma once

#include <cstdint>
#include <functional>
#include <optional>

// A clock for timed transitions: started once, then sampled any number of
// times, it answers how far through a fixed duration the transition is, from
// 0 to 1. It counts its samples and answers exactly 1 as soon as the time
// still to go is shorter than `tolerance` average sample intervals, so the
// last frame of an animation lands on the end instead of just short of it.
//
// The clock is the wall clock unless the owner supplies another one (tests
// supply their own time).
class RVInterpolator {
public:
    struct WallTime {
        std::int64_t seconds = 0;
        std::int64_t microseconds = 0;
    };
    // Answers the current time, or nothing when the clock cannot be read.
    using Clock = std::function<std::optional<WallTime>()>;

    // Duration 0, tolerance 0, never started.
    RVInterpolator();
    explicit RVInterpolator(Clock clock);

    // The system's wall clock (gettimeofday).
    static std::optional<WallTime> wallClock();

    // The length of the transition in microseconds.
    RVInterpolator& setDuration(int microseconds);
    int duration() const { return duration_; }
    RVInterpolator& setTolerance(float tolerance);
    float tolerance() const { return static_cast<float>(tolerance_); }
    int numberOfSamples() const { return numberOfSamples_; }

    // Forgets the samples and records now as the start. False when the clock
    // cannot be read; the previous start then stays.
    bool start();

    // Counts a sample and answers the fraction of the duration elapsed since
    // the start, or exactly 1 near and past the end (0 when the clock cannot
    // be read). A clock that went back since the start gives a negative
    // fraction.
    float progress();

private:
    Clock clock_;
    int numberOfSamples_ = 0;
    std::int64_t startSeconds_ = 0;
    std::int64_t startMicroseconds_ = 0;
    int duration_ = 0;
    double tolerance_ = 0.0;
};
