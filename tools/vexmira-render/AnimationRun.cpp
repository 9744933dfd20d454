#include "tools/vexmira-render/AnimationRun.h"

#include "Platform/image/AnimationWriter.h"
#include "tools/vexmira-render/HeadlessRenderer.h"

#include <chrono>
#include <cmath>
#include <csignal>

namespace {

volatile std::sig_atomic_t interruption = 0;

extern "C" void noteInterruption(int signal) {
    interruption = signal;
}

std::string clockText(double seconds) {
    const long total = std::lround(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

} // namespace

AnimationRun::AnimationRun(const RenderOptions& options, std::FILE* progressStream, bool terminal)
    : options_(options), progressStream_(progressStream), terminal_(terminal) {}

void AnimationRun::catchInterruptions() {
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, noteInterruption);
}

bool AnimationRun::interrupted() {
    return interruption != 0;
}

bool AnimationRun::run(std::string& errorMessage) {
    HeadlessRenderer renderer;
    if (!renderer.open(options_, errorMessage))
        return false;
    const Platform::AnimationWriter::Settings settings{
        options_.output, options_.width, options_.height,
        options_.framesPerSecond.value_or(RenderOptions::defaultFramesPerSecond)};
    const std::unique_ptr<Platform::AnimationWriter> writer =
        Platform::AnimationWriter::create(settings, errorMessage);
    if (!writer)
        return false;

    const int frames = options_.frames.value_or(0);
    const auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < frames; ++frame) {
        if (interrupted()) {
            endProgress();
            errorMessage = "interrupted; no file was written";
            return false;
        }
        const auto image = renderer.renderFrame(options_.frame(frame), errorMessage);
        if (!image || !writer->addFrame(image->rgba, errorMessage)) {
            endProgress();
            return false;
        }
        showProgress(
            frame + 1,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    endProgress();
    if (interrupted()) {
        errorMessage = "interrupted; no file was written";
        return false;
    }
    return writer->finish(errorMessage);
}

void AnimationRun::showProgress(int framesDone, double secondsSoFar) {
    if (options_.quiet || (!terminal_ && !options_.progressLines))
        return;
    const int frames = options_.frames.value_or(0);
    const double left = secondsSoFar / framesDone * (frames - framesDone);
    // On a terminal the line is written over; elsewhere each frame gets a
    // line of its own that a watching program can read as it comes.
    std::fprintf(progressStream_, "%sframe %d of %d, %s left%s",
                 terminal_ && !options_.progressLines ? "\r\033[K" : "", framesDone, frames,
                 clockText(left).c_str(), terminal_ && !options_.progressLines ? "" : "\n");
    std::fflush(progressStream_);
    progressShown_ = true;
}

void AnimationRun::endProgress() {
    if (progressShown_ && terminal_ && !options_.progressLines)
        std::fputc('\n', progressStream_);
    progressShown_ = false;
}
