#include "Platform/core/Slider.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace Platform {

Slider::Slider(std::string name, float minValue, float maxValue, bool integer, bool continuous)
    : name_(std::move(name)), minValue_(minValue), maxValue_(std::max(minValue, maxValue)),
      integer_(integer), continuous_(continuous), value_(minValue) {}

Slider::~Slider() = default;

int Slider::intValue() const {
    return static_cast<int>(std::lround(floatValue()));
}

void Slider::setFloatValue(float value) {
    ++setCount_;
    // NaN would otherwise pass both comparisons of the clamp.
    if (std::isnan(value))
        value = minValue_;
    storeValue(std::clamp(value, minValue_, maxValue_));
}

void Slider::sendAction() {
    if (action_)
        action_(*this);
}

void Slider::trackingBegan() {
    if (tracking_)
        trackingEnded();
    tracking_ = true;
    if (trackingHandler_)
        trackingHandler_(true);
}

void Slider::trackingEnded() {
    if (!tracking_)
        return;
    tracking_ = false;
    if (trackingHandler_)
        trackingHandler_(false);
}

} // namespace Platform
