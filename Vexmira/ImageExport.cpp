#include "Vexmira/ImageExport.h"

#include "Platform/core/Application.h"
#include "Platform/core/ChildProcess.h"
#include "Platform/core/Localization.h"
#include "Platform/core/UserDialogs.h"
#include "Vexmira/BlowupView.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyWindowController.h"
#include "Vexmira/RenderCommand.h"

#include <filesystem>
#include <vector>

namespace {

BlowupView* viewOf(const MyDocument& document) {
    for (const auto& controller : document.windowControllers())
        if (auto* windowController = dynamic_cast<MyWindowController*>(controller.get()))
            if (BlowupView* view = windowController->view(); view && view->camera())
                return view;
    return nullptr;
}

// The renderer's refusal is one line, "vexmira-render: why".
std::string reasonGiven(std::string message) {
    const std::string prefix = "vexmira-render: ";
    if (message.starts_with(prefix))
        message.erase(0, prefix.size());
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message;
}

} // namespace

bool ImageExport::canExport(const MyDocument& document) {
    return viewOf(document) != nullptr;
}

bool ImageExport::run(Platform::Application& application, MyDocument& document) {
    const BlowupView* view = viewOf(document);
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
    std::string problem;
    if (render(RenderCommand(document.model(), *view->camera(), size->width, size->height), *path,
               problem))
        return true;
    application.dialogs().showError(
        Platform::fillIn(Platform::localized("The image “%1” could not be exported."),
                         std::filesystem::path(*path).filename().string()) +
        "\n" + problem);
    return false;
}

bool ImageExport::render(const RenderCommand& command, const std::string& path,
                         std::string& problem) {
    const std::string program = RenderCommand::programPath();
    if (program.empty()) {
        problem = Platform::localized(
            "vexmira-render, which draws exported images, is not installed beside Vexmira.");
        return false;
    }
    std::vector<std::string> arguments = command.arguments();
    arguments.insert(arguments.end(), {"-o", path});
    Platform::ChildProcess renderer;
    if (!renderer.start(program, arguments, problem))
        return false;
    renderer.wait();
    if (renderer.succeeded())
        return true;
    problem = reasonGiven(renderer.standardError());
    if (problem.empty())
        problem = Platform::localized("vexmira-render stopped before the image was written.");
    return false;
}
