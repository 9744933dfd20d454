#include "Platform/fltk/FltkApplication.h"
#include "Platform/fltk/FltkPreferences.h"
#include "Vexmira/CommandLine.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyDocumentLayout.h"
#include "Vexmira/VexmiraHelp.h"
#include "Vexmira/VexmiraMenus.h"

#include <clocale>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int refusedStatus = 2;

int runApplication(const std::vector<std::string>& files) {
    MyDocumentLayout::registerLayout();
    Platform::FltkPreferences preferences(Platform::Preferences::userFolder("vexmira"), "vexmira");
    Platform::FltkApplication application;
    application.setApplicationName("Vexmira");
    application.application().setDocumentType(
        {myDocumentType, myDocumentExtension, [] { return std::make_unique<MyDocument>(); }});
    application.application().setPreferences(&preferences);
    addVexmiraMenuCommands(application.application());
    return application.run(files);
}

} // namespace

// vexmira [FILE...]: opens the named documents, or a new one. --help and
// --version answer without a display.
int main(int argc, char** argv) {
    // Translations follow the user's locale.
    std::setlocale(LC_ALL, "");
    const CommandLine commandLine =
        CommandLine::parse(std::vector<std::string>(argv + 1, argv + argc));
    switch (commandLine.request()) {
    case CommandLine::Request::showHelp:
        std::fputs(VexmiraHelp::commandLineHelp().c_str(), stdout);
        return 0;
    case CommandLine::Request::showVersion:
        std::printf("vexmira %s\n", VexmiraHelp::version().c_str());
        return 0;
    case CommandLine::Request::refuse:
        std::fprintf(stderr, "vexmira: %s\n", commandLine.problem().c_str());
        return refusedStatus;
    case CommandLine::Request::openDocuments:
        break;
    }
    return runApplication(commandLine.files());
}
