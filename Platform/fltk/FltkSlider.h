#pragma once

#include "Platform/core/Slider.h"

class Fl_Input;
class Fl_Slider;
class Fl_Widget;

namespace Platform {

struct SliderLayout;

// A slider with a number box on its right, both FLTK widgets. The user's
// moves send the action (while dragging for a continuous slider, at release
// otherwise); the arrow and page keys step it; a value typed into the box is
// taken on Enter or when the box loses the focus, and anything the slider
// cannot take is put back with a beep.
class FltkSlider : public Slider {
public:
    // Creates the widgets in the current FLTK group, which owns them; the
    // box takes numberBoxWidth of the width.
    FltkSlider(const SliderLayout& layout, int x, int y, int width, int height);
    ~FltkSlider() override;

    // Room for six digits and a point in the toolkit's default font.
    static constexpr int numberBoxWidth = 72;

    Fl_Slider* widget() const { return widget_; }
    Fl_Input* numberBox() const { return numberBox_; }
    // Cuts the widgets' callbacks: they may outlive the slider.
    void detachWidget();

    // The box's text committed by the user.
    void numberBoxCommitted();
    // The widget's value changed, whoever changed it.
    void widgetValueChanged();

protected:
    float storedValue() const override;
    void storeValue(float value) override;

private:
    static void widgetMoved(Fl_Widget* widget, void* slider);
    static void numberBoxChanged(Fl_Widget* widget, void* slider);

    Fl_Slider* widget_;
    Fl_Input* numberBox_;
};

} // namespace Platform
