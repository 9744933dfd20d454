#include "Vexmira/AnimationExport.h"

#include "Platform/core/Application.h"
#include "Platform/core/ChildProcess.h"
#include "Platform/core/Localization.h"
#include "Platform/core/UserDialogs.h"
#include "Vexmira/AnimationTrack.h"
#include "Vexmira/BlowupView.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyDocumentLayout.h"
#include "Vexmira/MyWindowController.h"
#include "Vexmira/RenderCommand.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

BlowupView* viewOf(const MyDocument& document) {
    for (const auto& controller : document.windowControllers())
        if (auto* windowController = dynamic_cast<MyWindowController*>(controller.get()))
            if (BlowupView* view = windowController->view(); view && view->camera())
                return view;
    return nullptr;
}

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

// The renderer's refusal is one line, "vexmira-render: why".
std::string reasonGiven(const std::string& standardError) {
    const std::string prefix = "vexmira-render: ";
    const auto start = standardError.rfind(prefix);
    std::string reason =
        start == std::string::npos ? std::string() : standardError.substr(start + prefix.size());
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r'))
        reason.pop_back();
    return reason;
}

void showFailure(Platform::Application& application, const std::string& path,
                 const std::string& problem) {
    application.dialogs().showError(
        Platform::fillIn(Platform::localized("The animation “%1” could not be exported."),
                         std::filesystem::path(path).filename().string()) +
        "\n" + problem);
}

} // namespace

bool AnimationExport::canExport(const MyDocument& document) {
    return viewOf(document) != nullptr;
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
    const BlowupView* view = viewOf(document);
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
    const std::string program = RenderCommand::programPath();
    if (program.empty()) {
        showFailure(application, *path,
                    Platform::localized("vexmira-render, which draws exported images, is not "
                                        "installed beside Vexmira."));
        return false;
    }

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

    auto renderer = std::make_shared<Platform::ChildProcess>();
    std::string problem;
    if (!renderer->start(program, arguments, problem)) {
        showFailure(application, *path, problem);
        return false;
    }
    auto cancelled = std::make_shared<bool>(false);
    Platform::UserDialogs::BackgroundWork work;
    work.title = title;
    work.cancel = [renderer, cancelled] {
        *cancelled = true;
        renderer->terminate();
    };
    work.step = [renderer, cancelled, &application,
                 chosen = *path](std::string& status) -> std::optional<double> {
        if (!renderer->waitFor(20))
            return progressOf(renderer->standardError(), status);
        if (!renderer->succeeded() && !*cancelled) {
            const std::string reason = reasonGiven(renderer->standardError());
            showFailure(application, chosen,
                        reason.empty()
                            ? Platform::localized("vexmira-render stopped before the animation was "
                                                  "written.")
                            : reason);
        }
        return std::nullopt;
    };
    application.dialogs().runInBackground(std::move(work));
    return true;
}
