#include "Platform/fltk/FltkSlider.h"

#include "Platform/core/Localization.h"
#include "Platform/core/WindowLayout.h"

namespace Platform {

FltkSlider::FltkSlider(const SliderLayout& layout, int x, int y, int width, int height)
    : Slider(layout.name, layout.minValue, layout.maxValue, layout.integer, layout.continuous),
      widget_(new Fl_Value_Slider(x, y, width, height)) {
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
