#include "Vexmira/VexmiraMenus.h"

#include "Platform/core/Application.h"
#include "Vexmira/ImageExport.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/SmoothWhileMoving.h"

namespace {

// Menu actions receive the platform's document; every document of this
// program is a MyDocument.
MyDocument& myDocument(Platform::Document* document) {
    return static_cast<MyDocument&>(*document);
}

const MyDocument& myDocument(const Platform::Document* document) {
    return static_cast<const MyDocument&>(*document);
}

void addExportImage(Platform::Application& application) {
    Platform::MenuCommand item{"File", "Export Image...", Platform::Command::custom, "Ctrl+E",
                               true};
    item.action = [&application](Platform::Document* document) {
        ImageExport::run(application, myDocument(document));
    };
    item.isEnabled = [](const Platform::Document* document) {
        return ImageExport::canExport(myDocument(document));
    };
    application.addMenuCommand(std::move(item), "Revert To Saved");
}

} // namespace

void addVexmiraMenuCommands(Platform::Application& application) {
    addExportImage(application);
    SmoothWhileMoving::addMenuCommand(application);
}
