#pragma once

#include <optional>
#include <string>
#include <vector>

// One value carried from FROM to TO over the frames of an animation, written
// on the command line as NAME=FROM:TO ("blowup=0:1.5"). Frame k of N takes
// FROM + (TO - FROM) * k / (N - 1), so the first and the last frame show the
// ends exactly.
struct AnimationTrack {
    // The values an animation can carry: the model's continuous ones and the
    // camera's placement.
    enum class Quantity { blowup, immersion, distance, azimuth, elevation, twist, targetZ };

    // An animation needs two frames to have ends; more than this is hours of
    // video and would fill the disk with frames.
    static constexpr int minimumFrames = 2;
    static constexpr int maximumFrames = 10000;

    Quantity quantity = Quantity::blowup;
    double from = 0.0;
    double to = 0.0;

    // The names as the command line spells them, in Quantity's order.
    static const std::vector<std::string>& names();
    static std::string nameOf(Quantity quantity);

    // Reads NAME=FROM:TO. The numbers are whole texts within the bounds a
    // document keeps; on failure errorMessage says what was wrong in one line.
    static std::optional<AnimationTrack> parse(const std::string& text, std::string& errorMessage);

    // The value of frame `frame` (0 to frames - 1) of `frames`.
    float valueAt(int frame, int frames) const;
};
