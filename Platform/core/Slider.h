#pragma once

#include <functional>
#include <string>

namespace Platform {

// A slider of a window: a value within a range, and an action sent when the
// user moves it. The value lives here for the off-screen backend; the FLTK
// backend keeps it in its widget by overriding storedValue/storeValue.
class Slider {
public:
    using Action = std::function<void(Slider& sender)>;
    // Told when the user takes hold of the slider (true) and lets go (false).
    using TrackingHandler = std::function<void(bool began)>;

    Slider(std::string name, float minValue, float maxValue, bool integer, bool continuous);
    virtual ~Slider();
    Slider(const Slider&) = delete;
    Slider& operator=(const Slider&) = delete;

    const std::string& name() const { return name_; }
    float minValue() const { return minValue_; }
    float maxValue() const { return maxValue_; }
    // Whether the slider stops on whole numbers only.
    bool isInteger() const { return integer_; }
    // Whether the action is sent while dragging, or only when the drag ends.
    bool isContinuous() const { return continuous_; }

    float floatValue() const { return storedValue(); }
    // The value nearest to the slider's position that is a whole number.
    int intValue() const;
    // Moves the slider, kept within its range; sends no action.
    void setFloatValue(float value);

    // The value as the box beside the slider shows it: a whole number for an
    // integer slider, three decimals otherwise, always with a decimal point.
    std::string valueText() const;
    // A value the user typed: when it is a number the slider can take (within
    // its range, and whole for an integer slider; "," may stand for the
    // decimal point), the slider moves there and sends its action, once,
    // unless it was there already. False for anything else, which leaves
    // the slider as it was.
    bool takeTypedValue(const std::string& text);

    // One press of an arrow key (a line) or of Page Up / Page Down (a page).
    // A line is 1 on an integer slider and a hundredth of the range on a
    // continuous one; a page is a tenth of the range (at least 1). The slider
    // stops at its ends and sends its action when it moved; false when it
    // was at the end already.
    enum class KeyStep { lineDown, lineUp, pageDown, pageUp };
    bool stepByKey(KeyStep step);

    void setAction(Action action) { action_ = std::move(action); }
    // What the backend calls when the user moved the slider.
    void sendAction();

    // One gesture of the user's, however many actions it sends: the backend
    // calls trackingBegan when the button goes down on the slider and
    // trackingEnded after the last action of the gesture. An end without a
    // beginning is ignored.
    void setTrackingHandler(TrackingHandler handler) { trackingHandler_ = std::move(handler); }
    void trackingBegan();
    void trackingEnded();
    bool isTracking() const { return tracking_; }

protected:
    virtual float storedValue() const { return value_; }
    virtual void storeValue(float value) { value_ = value; }

private:
    std::string name_;
    float minValue_;
    float maxValue_;
    bool integer_;
    bool continuous_;
    float value_;
    Action action_;
    TrackingHandler trackingHandler_;
    bool tracking_ = false;
};

} // namespace Platform
