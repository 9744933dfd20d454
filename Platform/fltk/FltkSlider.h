#pragma once

#include "Platform/core/Slider.h"

#include <FL/Fl_Value_Slider.H>

namespace Platform {

struct SliderLayout;

// A slider whose value lives in an FLTK value slider. The user's moves send
// the action (while dragging for a continuous slider, at release otherwise).
class FltkSlider : public Slider {
public:
    // Creates the widget in the current FLTK group; the group owns it.
    FltkSlider(const SliderLayout& layout, int x, int y, int width, int height);
    ~FltkSlider() override;

    Fl_Value_Slider* widget() const { return widget_; }
    // Cuts the widget's callback: the widget may outlive the slider.
    void detachWidget();

protected:
    float storedValue() const override;
    void storeValue(float value) override;

private:
    static void widgetMoved(Fl_Widget* widget, void* slider);

    Fl_Value_Slider* widget_;
};

} // namespace Platform
