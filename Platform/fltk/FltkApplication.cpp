#include "Platform/fltk/FltkApplication.h"

#include "Platform/core/Document.h"
#include "Platform/core/Window.h"
#include "Platform/core/WindowController.h"
#include "Platform/fltk/FltkWindow.h"

#include <FL/Fl.H>

namespace Platform {

FltkApplication::FltkApplication(UserDialogs* dialogs)
    : application_(dialogs ? *dialogs : fltkDialogs_) {
    FltkWindow::installBuilder();
    // The toolkit's plain look is dated beside the GTK file chooser it opens.
    Fl::scheme("gtk+");
    application_.addLibraryVersion(toolkitVersion());
    application_.setDocumentsChangedHandler([this] { refreshWindows(); });
    // Both the clipboard (Ctrl+V) and the selection (the middle button), as
    // terminals paste either.
    application_.setClipboardHandler([](const std::string& text) {
        const int length = static_cast<int>(text.size());
        Fl::copy(text.data(), length, 1);
        Fl::copy(text.data(), length, 0);
    });
    // Titles and menus follow every change, whatever caused it (a slider, a
    // key, an undo), just before FLTK waits for the next event.
    Fl::add_check(beforeWaiting, this);
}

FltkApplication::~FltkApplication() {
    Fl::remove_check(beforeWaiting, this);
}

int FltkApplication::run(const std::vector<std::string>& paths) {
    application_.openFiles(paths);
    if (application_.documents().empty())
        return 1;
    Fl::run();
    return 0;
}

std::string FltkApplication::toolkitVersion() {
    // The library the program runs with, which may be newer than the headers.
    const int version = Fl::api_version();
    return "FLTK " + std::to_string(version / 10000) + "." + std::to_string(version / 100 % 100) +
           "." + std::to_string(version % 100);
}

void FltkApplication::refreshWindows() {
    for (const auto& document : application_.documents())
        for (const auto& controller : document->windowControllers())
            if (controller->isWindowLoaded())
                controller->window()->refresh();
}

void FltkApplication::beforeWaiting(void* application) {
    static_cast<FltkApplication*>(application)->refreshWindows();
}

} // namespace Platform
