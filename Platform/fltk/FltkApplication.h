#pragma once

#include "Platform/core/Application.h"
#include "Platform/fltk/FltkDialogs.h"

#include <string>
#include <vector>

namespace Platform {

// The application on FLTK: document windows are FLTK windows, questions are
// FLTK dialogs, and the event loop runs until the last window has closed or
// Quit was chosen.
class FltkApplication {
public:
    // dialogs: the questions' answerer; the FLTK dialogs when null (tests
    // pass a scripted one).
    explicit FltkApplication(UserDialogs* dialogs = nullptr);
    ~FltkApplication();
    FltkApplication(const FltkApplication&) = delete;
    FltkApplication& operator=(const FltkApplication&) = delete;

    Application& application() { return application_; }
    // The program's name, the title of every message box.
    void setApplicationName(const std::string& name) { fltkDialogs_.setTitle(name); }

    // Opens the files named (a new document when there are none) and runs
    // the event loop. Answers 0, or 1 when nothing could be opened.
    int run(const std::vector<std::string>& paths);

    // "FLTK" and the version of the library in use.
    static std::string toolkitVersion();

    // Brings every window's title and menus up to date with its document.
    void refreshWindows();

private:
    static void beforeWaiting(void* application);

    FltkDialogs fltkDialogs_;
    Application application_;
};

} // namespace Platform
