#pragma once

#include <vector>

class Blowup;

// The vertices and colours Blowup::draw sends (equal up to float rounding,
// covering the same pixels), computed once and drawn from vertex arrays: the
// limit that a frame of the picture is measured against.
class PrecomputedPicture {
public:
    // The picture of `model`: meridian i is the circle at azimuth i x P / M,
    // its upper half pulled towards the white circle of radius blowup around
    // the upper pole, in the order and colours draw() sends them.
    static PrecomputedPicture of(const Blowup& model);

    // Draws the strip and the white loop with the current context, leaving
    // the colour white and client arrays off, as draw() leaves its state.
    void draw() const;

    int stripVertices() const { return static_cast<int>(stripPositions_.size() / 3); }
    int loopVertices() const { return static_cast<int>(loopPositions_.size() / 3); }

private:
    std::vector<float> stripPositions_, stripColors_; // 3 floats per vertex each
    std::vector<float> loopPositions_;                // the loop is all white
};
