#pragma once

#include "Platform/core/UserDialogs.h"

#include <string>

class Fl_Button;
class Fl_Box;
class Fl_Double_Window;
class Fl_Progress;
class Fl_Widget;

namespace Platform {

// A small window with a progress bar, a status line and a Cancel button,
// showing work that goes on while the other windows stay usable. It steps
// the work from FLTK's timer and goes away by itself once the work is over.
class FltkProgressWindow {
public:
    // Shows the window and starts stepping; the window owns itself.
    static void start(UserDialogs::BackgroundWork work);

private:
    explicit FltkProgressWindow(UserDialogs::BackgroundWork work);
    ~FltkProgressWindow();
    static void step(void* window);
    static void cancelPressed(Fl_Widget* widget, void* window);

    UserDialogs::BackgroundWork work_;
    Fl_Double_Window* window_;
    Fl_Progress* bar_;
    Fl_Box* status_;
    Fl_Button* cancel_;
    std::string statusText_;
};

} // namespace Platform
