#include "Platform/fltk/FltkSlider.h"

#include "Platform/core/Localization.h"
#include "Platform/core/WindowLayout.h"

#include <FL/Fl.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Slider.H>
#include <FL/fl_ask.H>

namespace Platform {

namespace {

constexpr int numberBoxGap = 6;

// An FLTK slider that reports when the user takes hold of it and lets go, so
// that a whole drag can count as one change; that steps by key as the
// platform slider says; and that keeps its number box showing its value.
class TrackingSlider : public Fl_Slider {
public:
    TrackingSlider(int x, int y, int width, int height) : Fl_Slider(x, y, width, height) {}

    FltkSlider* owner = nullptr;

    int handle(int event) override {
        if (event == FL_KEYBOARD)
            return handleKey();
        if (event == FL_PUSH && owner) {
            // A number box losing the focus to this press commits its text
            // first, as a change of its own, not as part of this drag.
            if (Fl::visible_focus())
                take_focus();
            owner->trackingBegan();
        }
        // The release may send the action; the gesture ends after it.
        int handled = Fl_Slider::handle(event);
        if (event == FL_RELEASE && owner)
            owner->trackingEnded();
        return handled;
    }

protected:
    void value_damage() override {
        Fl_Slider::value_damage();
        if (owner)
            owner->widgetValueChanged();
    }

private:
    int handleKey() {
        Slider::KeyStep step;
        switch (Fl::event_key()) {
        case FL_Left:
        case FL_Down:
            step = Slider::KeyStep::lineDown;
            break;
        case FL_Right:
        case FL_Up:
            step = Slider::KeyStep::lineUp;
            break;
        case FL_Page_Down:
            step = Slider::KeyStep::pageDown;
            break;
        case FL_Page_Up:
            step = Slider::KeyStep::pageUp;
            break;
        default:
            return 0; // Home, Tab and the rest go on to the menus and the focus
        }
        if (owner && (Fl::event_state() & (FL_CTRL | FL_ALT | FL_META)) == 0)
            owner->stepByKey(step);
        return 1;
    }
};

} // namespace

FltkSlider::FltkSlider(const SliderLayout& layout, int x, int y, int width, int height)
    : Slider(layout.name, layout.minValue, layout.maxValue, layout.integer, layout.continuous),
      widget_(new TrackingSlider(x, y, width - numberBoxWidth - numberBoxGap, height)),
      numberBox_(new Fl_Input(x + width - numberBoxWidth, y, numberBoxWidth, height)) {
    auto* slider = static_cast<TrackingSlider*>(widget_);
    widget_->type(FL_HOR_NICE_SLIDER);
    widget_->copy_label(localized(layout.label).c_str());
    widget_->align(FL_ALIGN_TOP_LEFT);
    widget_->bounds(minValue(), maxValue());
    // Integer sliders stop on whole numbers; the others move freely.
    widget_->step(isInteger() ? 1.0 : 0.0);
    widget_->when(isContinuous() ? FL_WHEN_CHANGED : FL_WHEN_RELEASE);
    widget_->value(minValue());
    widget_->callback(widgetMoved, this);

    numberBox_->when(FL_WHEN_ENTER_KEY | FL_WHEN_RELEASE);
    numberBox_->callback(numberBoxChanged, this);
    if (!layout.tooltip.empty()) {
        const std::string tooltip = localized(layout.tooltip);
        widget_->copy_tooltip(tooltip.c_str());
        numberBox_->copy_tooltip(tooltip.c_str());
    }
    slider->owner = this;
    widgetValueChanged();
}

FltkSlider::~FltkSlider() {
    detachWidget();
}

void FltkSlider::detachWidget() {
    if (!widget_)
        return;
    // A gesture cut short by the window going away still ends.
    trackingEnded();
    static_cast<TrackingSlider*>(widget_)->owner = nullptr;
    widget_->callback(static_cast<Fl_Callback*>(nullptr), nullptr);
    numberBox_->callback(static_cast<Fl_Callback*>(nullptr), nullptr);
    widget_ = nullptr;
    numberBox_ = nullptr;
}

float FltkSlider::storedValue() const {
    return widget_ ? static_cast<float>(widget_->value()) : minValue();
}

void FltkSlider::storeValue(float value) {
    if (widget_)
        widget_->value(value);
}

void FltkSlider::widgetValueChanged() {
    if (numberBox_)
        numberBox_->value(valueText().c_str());
}

void FltkSlider::numberBoxCommitted() {
    if (!numberBox_)
        return;
    const bool taken = takeTypedValue(numberBox_->value());
    // Refused or not, the box shows what the slider holds now, in its own
    // form ("40" typed on the Zoom slider shows as "40.000").
    numberBox_->value(valueText().c_str());
    if (!taken)
        fl_beep();
}

void FltkSlider::widgetMoved(Fl_Widget*, void* slider) {
    static_cast<FltkSlider*>(slider)->sendAction();
}

void FltkSlider::numberBoxChanged(Fl_Widget*, void* slider) {
    static_cast<FltkSlider*>(slider)->numberBoxCommitted();
}

} // namespace Platform
