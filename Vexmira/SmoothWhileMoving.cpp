#include "Vexmira/SmoothWhileMoving.h"

#include "Platform/core/Application.h"
#include "Platform/core/Document.h"
#include "Platform/core/Preferences.h"
#include "Vexmira/BlowupView.h"
#include "Vexmira/MyWindowController.h"

void SmoothWhileMoving::addMenuCommand(Platform::Application& application) {
    Platform::MenuCommand item{menuTitle, itemTitle};
    // A preference of the program's, not of a document.
    item.needsDocument = false;
    item.isChecked = [&application](const Platform::Document*) { return isChosen(&application); };
    item.action = [&application](Platform::Document*) {
        choose(application, !isChosen(&application));
    };
    application.addMenuCommand(std::move(item));
}

bool SmoothWhileMoving::isChosen(const Platform::Application* application) {
    const Platform::Preferences* preferences = application ? application->preferences() : nullptr;
    return preferences && preferences->boolValue(preferenceKey, false);
}

void SmoothWhileMoving::applyTo(BlowupView& view, const Platform::Application* application) {
    view.setFullFramesWhileMoving(isChosen(application));
}

void SmoothWhileMoving::choose(Platform::Application& application, bool smooth) {
    // A choice that cannot be written still holds for this run.
    if (Platform::Preferences* preferences = application.preferences())
        preferences->setBoolValue(preferenceKey, smooth);
    for (const auto& document : application.documents())
        for (const auto& controller : document->windowControllers())
            if (auto* windowController = dynamic_cast<MyWindowController*>(controller.get()))
                if (BlowupView* view = windowController->view())
                    applyTo(*view, &application);
}
