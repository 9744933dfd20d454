#include "Platform/fltk/FltkApplication.h"
#include "Platform/fltk/FltkPreferences.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyDocumentLayout.h"
#include "Vexmira/VexmiraMenus.h"

#include <clocale>
#include <memory>
#include <string>
#include <vector>

// vexmira [FILE...]: opens the named documents, or a new one.
int main(int argc, char** argv) {
    // Translations follow the user's locale.
    std::setlocale(LC_ALL, "");
    MyDocumentLayout::registerLayout();
    Platform::FltkPreferences preferences(Platform::Preferences::userFolder("vexmira"), "vexmira");
    Platform::FltkApplication application;
    application.setApplicationName("Vexmira");
    application.application().setDocumentType(
        {myDocumentType, myDocumentExtension, [] { return std::make_unique<MyDocument>(); }});
    application.application().setPreferences(&preferences);
    addVexmiraMenuCommands(application.application());
    return application.run(std::vector<std::string>(argv + 1, argv + argc));
}
