#include "Vexmira/RendererRun.h"

#include "Platform/core/Application.h"
#include "Platform/core/ChildProcess.h"
#include "Platform/core/Localization.h"
#include "Platform/core/UserDialogs.h"
#include "Vexmira/RenderCommand.h"

#include <memory>

namespace {

// How long one step waits for the renderer before the progress is shown again.
constexpr int stepMilliseconds = 20;

void showFailure(Platform::Application& application, const std::string& failure,
                 const std::string& reason) {
    application.dialogs().showError(failure + "\n" + reason);
}

} // namespace

bool RendererRun::start(Platform::Application& application, Request request) {
    const std::string program = RenderCommand::programPath();
    if (program.empty()) {
        showFailure(application, request.failure,
                    Platform::localized("vexmira-render, which draws exported images, is not "
                                        "installed beside Vexmira."));
        return false;
    }
    auto renderer = std::make_shared<Platform::ChildProcess>();
    std::string problem;
    if (!renderer->start(program, request.arguments, problem)) {
        showFailure(application, request.failure, problem);
        return false;
    }
    auto cancelled = std::make_shared<bool>(false);
    Platform::UserDialogs::BackgroundWork work;
    work.title = request.title;
    work.cancel = [renderer, cancelled] {
        *cancelled = true;
        renderer->terminate();
    };
    work.step = [renderer, cancelled, &application,
                 request = std::move(request)](std::string& status) -> std::optional<double> {
        if (!renderer->waitFor(stepMilliseconds))
            return request.progress ? request.progress(renderer->standardError(), status) : 0.0;
        if (!renderer->succeeded() && !*cancelled) {
            const std::string reason = reasonGiven(renderer->standardError());
            showFailure(application, request.failure,
                        reason.empty() ? request.stoppedWithoutReason : reason);
        }
        return std::nullopt;
    };
    application.dialogs().runInBackground(std::move(work));
    return true;
}

std::string RendererRun::reasonGiven(const std::string& standardError) {
    const std::string prefix = "vexmira-render: ";
    const auto start = standardError.rfind(prefix);
    std::string reason =
        start == std::string::npos ? std::string() : standardError.substr(start + prefix.size());
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r'))
        reason.pop_back();
    return reason;
}
