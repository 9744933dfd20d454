#include "Platform/fltk/FltkSlider.h"

#include "Platform/core/Localization.h"
#include "Platform/core/WindowLayout.h"

#include <FL/Fl.H>

namespace Platform {

namespace {

// An FLTK value slider that reports when the user takes hold of it and lets
// go, so that a whole drag can count as one change.
class TrackingValueSlider : public Fl_Value_Slider {
public:
    TrackingValueSlider(int x, int y, int width, int height)
        : Fl_Value_Slider(x, y, width, height) {}

    Slider* owner = nullptr;

    int handle(int event) override {
        if (event == FL_PUSH && owner)
            owner->trackingBegan();
        // The release may send the action; the gesture ends after it.
        int handled = Fl_Value_Slider::handle(event);
        if (event == FL_RELEASE && owner)
            owner->trackingEnded();
        return handled;
    }
};

} // namespace

FltkSlider::FltkSlider(const SliderLayout& layout, int x, int y, int width, int height)
    : Slider(layout.name, layout.minValue, layout.maxValue, layout.integer, layout.continuous),
      widget_(new TrackingValueSlider(x, y, width, height)) {
    static_cast<TrackingValueSlider*>(widget_)->owner = this;
    widget_->type(FL_HOR_NICE_SLIDER);
    widget_->copy_label(localized(layout.label).c_str());
    widget_->align(FL_ALIGN_TOP_LEFT);
    widget_->bounds(minValue(), maxValue());
    // Integer sliders stop on whole numbers; the others move freely and show
    // three decimals.
    widget_->step(isInteger() ? 1.0 : 0.0);
    widget_->precision(isInteger() ? 0 : 3);
    widget_->when(isContinuous() ? FL_WHEN_CHANGED : FL_WHEN_RELEASE);
    widget_->value(minValue());
    widget_->callback(widgetMoved, this);
}

FltkSlider::~FltkSlider() {
    detachWidget();
}

void FltkSlider::detachWidget() {
    if (!widget_)
        return;
    // A gesture cut short by the window going away still ends.
    trackingEnded();
    static_cast<TrackingValueSlider*>(widget_)->owner = nullptr;
    widget_->callback(static_cast<Fl_Callback*>(nullptr), nullptr);
    widget_ = nullptr;
}

float FltkSlider::storedValue() const {
    return widget_ ? static_cast<float>(widget_->value()) : minValue();
}

void FltkSlider::storeValue(float value) {
    if (widget_)
        widget_->value(value);
}

void FltkSlider::widgetMoved(Fl_Widget*, void* slider) {
    static_cast<FltkSlider*>(slider)->sendAction();
}

} // namespace Platform
