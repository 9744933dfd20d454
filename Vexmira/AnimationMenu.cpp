#include "Vexmira/AnimationMenu.h"

#include "Platform/core/Application.h"
#include "Vexmira/AnimationExport.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyWindowController.h"

namespace AnimationMenu {

namespace {

MyWindowController* controllerOf(const Platform::Document* document) {
    if (!document || document->windowControllers().empty())
        return nullptr;
    return dynamic_cast<MyWindowController*>(document->windowControllers().front().get());
}

Platform::MenuCommand animationItem(const char* title, PictureAnimation::Kind kind,
                                    bool separatorAfter) {
    Platform::MenuCommand item{"View", title};
    item.separatorAfter = separatorAfter;
    item.action = [kind](Platform::Document* document) {
        if (MyWindowController* controller = controllerOf(document))
            controller->toggleAnimation(kind);
    };
    item.isEnabled = [](const Platform::Document* document) {
        const MyWindowController* controller = controllerOf(document);
        return controller && controller->view();
    };
    item.isChecked = [kind](const Platform::Document* document) {
        MyWindowController* controller = controllerOf(document);
        return controller && controller->animation().kind() == kind;
    };
    return item;
}

Platform::MenuCommand exportItem(Platform::Application& application) {
    Platform::MenuCommand item{"File", "Export Animation..."};
    item.action = [&application](Platform::Document* document) {
        if (auto* myDocument = dynamic_cast<MyDocument*>(document))
            AnimationExport::run(application, *myDocument);
    };
    item.isEnabled = [](const Platform::Document* document) {
        const auto* myDocument = dynamic_cast<const MyDocument*>(document);
        return myDocument && AnimationExport::canExport(*myDocument);
    };
    return item;
}

} // namespace

void install(Platform::Application& application) {
    application.addMenuCommand(exportItem(application), "Export Image...");
    application.addMenuCommand(
        animationItem("Animate Blow-up", PictureAnimation::Kind::blowup, false));
    application.addMenuCommand(
        animationItem("Animate Immersion", PictureAnimation::Kind::immersion, false));
    application.addMenuCommand(animationItem("Turntable", PictureAnimation::Kind::turntable, true));
}

} // namespace AnimationMenu
