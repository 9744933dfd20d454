#include "Vexmira/ImageExport.h"

#include "Platform/core/Application.h"
#include "Platform/core/Localization.h"
#include "Platform/core/UserDialogs.h"
#include "Vexmira/BlowupView.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyWindowController.h"
#include "Vexmira/RenderCommand.h"
#include "Vexmira/RendererRun.h"

#include <filesystem>
#include <vector>

bool ImageExport::canExport(const MyDocument& document) {
    return MyWindowController::preparedViewOf(&document) != nullptr;
}

bool ImageExport::run(Platform::Application& application, MyDocument& document) {
    const BlowupView* view = MyWindowController::preparedViewOf(&document);
    if (!view)
        return false;
    const std::string title = Platform::localized("Export Image");
    auto path = application.chooseSavePath(
        title, document, std::vector<std::string>(std::begin(extensions), std::end(extensions)));
    if (!path)
        return false;
    auto size = application.dialogs().askForPixelSize(
        title, {view->frameWidth(), view->frameHeight()}, RenderCommand::largestSide);
    if (!size)
        return false;
    RendererRun::Request request;
    request.arguments =
        RenderCommand(document.model(), *view->camera(), size->width, size->height).arguments();
    request.arguments.insert(request.arguments.end(), {"-o", *path});
    request.title = title;
    request.failure = Platform::fillIn(Platform::localized("The image “%1” could not be exported."),
                                       std::filesystem::path(*path).filename().string());
    request.stoppedWithoutReason =
        Platform::localized("vexmira-render stopped before the image was written.");
    return RendererRun::start(application, std::move(request));
}
