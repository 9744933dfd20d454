#include "Vexmira/AnimationExport.h"

#include "Platform/core/Application.h"
#include "Platform/core/Localization.h"
#include "Platform/core/UserDialogs.h"
#include "Vexmira/AnimationTrack.h"
#include "Vexmira/BlowupView.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyDocumentLayout.h"
#include "Vexmira/MyWindowController.h"
#include "Vexmira/RenderCommand.h"
#include "Vexmira/RendererRun.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

// The form's names of the animated values, in AnimationTrack's order.
const char* const quantityTitles[] = {"Blowup",    "Immersion", "Zoom",         "Azimuth",
                                      "Elevation", "Twist",     "Target height"};

// Videos are stored in pairs of rows and columns.
int evenSize(int side) {
    return std::max(2, side - side % 2);
}

enum Field { what, from, to, frames, rate, width, height };

std::vector<Platform::UserDialogs::FormField> proposedFields(const BlowupView& view) {
    std::vector<std::string> choices;
    for (const char* title : quantityTitles)
        choices.push_back(Platform::localized(title));
    return {
        {Platform::localized("Animate"), choices.front(), choices},
        {Platform::localized("From"), "0", {}},
        {Platform::localized("To"), RenderCommand::number(MyDocumentLayout::maximumBlowup), {}},
        {Platform::localized("Frames"), std::to_string(AnimationExport::proposedFrames), {}},
        {Platform::localized("Frames a second"),
         std::to_string(AnimationExport::proposedFramesPerSecond),
         {}},
        {Platform::localized("Width"), std::to_string(evenSize(view.frameWidth())), {}},
        {Platform::localized("Height"), std::to_string(evenSize(view.frameHeight())), {}},
    };
}

} // namespace

bool AnimationExport::canExport(const MyDocument& document) {
    return MyWindowController::preparedViewOf(&document) != nullptr;
}

std::string AnimationExport::outputPattern(const std::string& chosenPath) {
    const std::filesystem::path chosen(chosenPath);
    if (chosen.extension() != ".png")
        return chosenPath;
    // The folder is used as it is; in the name, a percent sign stands for itself.
    std::string stem;
    for (char c : chosen.stem().string())
        stem += c == '%' ? std::string("%%") : std::string(1, c);
    return (chosen.parent_path() / (stem + "-%04d.png")).string();
}

std::optional<double> AnimationExport::progressOf(const std::string& progressLines,
                                                  std::string& status) {
    // The latest complete line; a line still being written is left for later.
    const auto end = progressLines.rfind('\n');
    if (end == std::string::npos)
        return 0.0;
    const auto before = end == 0 ? std::string::npos : progressLines.rfind('\n', end - 1);
    const std::size_t start = before == std::string::npos ? 0 : before + 1;
    const std::string line = progressLines.substr(start, end - start);
    int frame = 0, frames = 0;
    char left[16] = "";
    if (std::sscanf(line.c_str(), "frame %d of %d, %15s left", &frame, &frames, left) < 2 ||
        frames <= 0)
        return 0.0;
    status =
        Platform::localized("Frame") + " " + std::to_string(frame) + " / " + std::to_string(frames);
    if (*left)
        status += "   " + Platform::fillIn(Platform::localized("%1 left"), left);
    return static_cast<double>(frame) / frames;
}

bool AnimationExport::run(Platform::Application& application, MyDocument& document) {
    const BlowupView* view = MyWindowController::preparedViewOf(&document);
    if (!view)
        return false;
    const std::string title = Platform::localized("Export Animation");
    std::vector<Platform::UserDialogs::FormField> fields = proposedFields(*view);
    if (!application.dialogs().fillInForm(title, fields))
        return false;
    auto path = application.chooseSavePath(
        title, document, std::vector<std::string>(std::begin(extensions), std::end(extensions)));
    if (!path)
        return false;
    std::size_t quantity = 0;
    while (quantity + 1 < std::size(quantityTitles) &&
           fields[what].value != fields[what].choices[quantity])
        ++quantity;
    // The window's values and camera; the size and the animation go in as
    // typed, the later --size taking the place of the window's, and the
    // renderer checks them as it checks the command line's.
    std::vector<std::string> arguments =
        RenderCommand(document.model(), *view->camera(), view->frameWidth(), view->frameHeight())
            .arguments();
    arguments.insert(
        arguments.end(),
        {"--size", fields[width].value + "x" + fields[height].value, "--animate",
         AnimationTrack::names().at(quantity) + "=" + fields[from].value + ":" + fields[to].value,
         "--frames", fields[frames].value, "--fps", fields[rate].value, "--progress", "-o",
         outputPattern(*path)});

    RendererRun::Request request;
    request.arguments = std::move(arguments);
    request.title = title;
    request.failure =
        Platform::fillIn(Platform::localized("The animation “%1” could not be exported."),
                         std::filesystem::path(*path).filename().string());
    request.stoppedWithoutReason =
        Platform::localized("vexmira-render stopped before the animation was written.");
    request.progress = [](const std::string& progressLines, std::string& status) {
        return progressOf(progressLines, status).value_or(0.0);
    };
    return RendererRun::start(application, std::move(request));
}
