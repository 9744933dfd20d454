#include "Vexmira/ImageExport.h"

#include "Platform/core/Application.h"
#include "Platform/core/Localization.h"
#include "Platform/core/UserDialogs.h"
#include "Platform/image/PngWriter.h"
#include "Vexmira/BlowupView.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyWindowController.h"

#include <filesystem>

namespace {

BlowupView* viewOf(const MyDocument& document) {
    for (const auto& controller : document.windowControllers())
        if (auto* windowController = dynamic_cast<MyWindowController*>(controller.get()))
            if (windowController->view())
                return windowController->view();
    return nullptr;
}

} // namespace

bool ImageExport::canExport(const MyDocument& document) {
    return viewOf(document) != nullptr;
}

bool ImageExport::run(Platform::Application& application, MyDocument& document) {
    BlowupView* view = viewOf(document);
    if (!view)
        return false;
    auto path = application.chooseSavePath(Platform::localized("Export Image"), document, {".png"});
    if (!path)
        return false;
    const std::string& target = *path;
    std::string problem;
    const std::vector<std::uint8_t> picture = view->capturePicture();
    bool exported = false;
    if (picture.empty())
        problem = Platform::localized("The picture could not be read back from the window.");
    else
        exported = Platform::writePngFile(target, view->frameWidth(), view->frameHeight(), picture,
                                          &problem);
    if (!exported)
        application.dialogs().showError(
            Platform::fillIn(Platform::localized("The image “%1” could not be exported."),
                             std::filesystem::path(target).filename().string()) +
            "\n" + problem);
    return exported;
}
