#include "Platform/core/Slider.h"

#include <algorithm>
#include <charconv>
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
    // NaN would otherwise pass both comparisons of the clamp.
    if (std::isnan(value))
        value = minValue_;
    storeValue(std::clamp(value, minValue_, maxValue_));
}

std::string Slider::valueText() const {
    // to_chars keeps the decimal point whatever the user's locale.
    char text[64];
    const auto result = isInteger() ? std::to_chars(text, text + sizeof text, intValue())
                                    : std::to_chars(text, text + sizeof text, floatValue(),
                                                    std::chars_format::fixed, 3);
    return std::string(text, result.ptr);
}

bool Slider::takeTypedValue(const std::string& typed) {
    std::string text = typed;
    std::replace(text.begin(), text.end(), ',', '.');
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    if (first == std::string::npos)
        return false;
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    // People type "+2" too; from_chars takes only "-".
    if (*begin == '+')
        ++begin;
    double value = 0.0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return false;
    // Compared as the slider holds it, so that its own ends typed in full are in range.
    const float typedValue = static_cast<float>(value);
    if (typedValue < minValue_ || typedValue > maxValue_ ||
        (isInteger() && value != std::floor(value)))
        return false;
    if (typedValue != floatValue()) {
        setFloatValue(typedValue);
        sendAction();
    }
    return true;
}

bool Slider::stepByKey(KeyStep step) {
    const float range = maxValue_ - minValue_;
    const bool page = step == KeyStep::pageDown || step == KeyStep::pageUp;
    float distance = page ? range / 10.0f : range / 100.0f;
    if (isInteger())
        distance = page ? std::max(1.0f, std::round(distance)) : 1.0f;
    const bool down = step == KeyStep::lineDown || step == KeyStep::pageDown;
    // An integer slider steps from the whole number it stands for.
    const float from = isInteger() ? static_cast<float>(intValue()) : floatValue();
    const float target = std::clamp(down ? from - distance : from + distance, minValue_, maxValue_);
    if (target == floatValue())
        return false;
    setFloatValue(target);
    sendAction();
    return true;
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
