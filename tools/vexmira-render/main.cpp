// vexmira-render: draws a Vexmira document (or the default picture) as a PNG
// image, an SVG, PDF or EPS figure, or an animation without a display. See
// --help, or man vexmira-render.

#include "Platform/core/ResourceDirectory.h"
#include "Platform/core/SafeFileWriter.h"
#include "Platform/image/PngWriter.h"
#include "Vexmira/MyDocumentLayout.h"
#include "tools/vexmira-render/AnimationRun.h"
#include "tools/vexmira-render/HeadlessRenderer.h"
#include "tools/vexmira-render/RenderOptions.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int refusedStatus = 2;

// Every refusal is one line on standard error, whatever the underlying
// message looked like, so scripts can log it as it is.
int refuse(std::string message) {
    for (char& c : message)
        if (c == '\n' || c == '\r')
            c = ' ';
    std::fprintf(stderr, "vexmira-render: %s\n", message.c_str());
    return refusedStatus;
}

bool writeImage(const std::string& output, const RenderedImage& image, std::string& error) {
    if (output == "-")
        return Platform::writePngStream(stdout, image.width, image.height, image.rgba, &error);
    if (Platform::writePngFile(output, image.width, image.height, image.rgba, &error))
        return true;
    error = "cannot write " + output + ": " + error;
    return false;
}

bool writeBytes(const std::string& output, const std::string& bytes, std::string& error) {
    if (output != "-")
        return Platform::SafeFileWriter::writeFile(output, bytes, error);
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
        std::fflush(stdout) != 0) {
        error = std::string("cannot write to standard output: ") + std::strerror(errno);
        return false;
    }
    return true;
}

bool interruptedBeforeWriting(std::string& error) {
    if (!AnimationRun::interrupted())
        return false;
    error = "interrupted; no file was written";
    return true;
}

// A PNG from the rendered pixels, or a vector figure of the same drawing. A
// signal to stop (the window's Cancel sends one) is caught, so the drawing
// is not written once it came; a file is never left half written.
bool renderAndWrite(const RenderOptions& options, std::string& error) {
    AnimationRun::catchInterruptions();
    if (options.format == RenderOptions::Format::png) {
        const auto image = HeadlessRenderer::render(options, error);
        return image && !interruptedBeforeWriting(error) &&
               writeImage(options.output, *image, error);
    }
    const auto figure = HeadlessRenderer::renderFigure(options, error);
    return figure && !interruptedBeforeWriting(error) && writeBytes(options.output, *figure, error);
}

} // namespace

int main(int argc, char** argv) {
    // A reader that goes away early is reported as a failed write, not a
    // silent death by signal.
    std::signal(SIGPIPE, SIG_IGN);

    std::string error;
    const auto options =
        RenderOptions::parse(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options)
        return refuse(error);
    if (options->showHelp) {
        std::fputs(RenderOptions::helpText(Platform::resourceDirectory()).c_str(), stdout);
        return 0;
    }
    if (options->showVersion) {
        std::printf("vexmira-render %s\n", VEXMIRA_VERSION);
        return 0;
    }
    if (options->output == "-" && isatty(STDOUT_FILENO))
        return refuse("will not write an image to a terminal; redirect standard output");

    MyDocumentLayout::registerLayout();
    if (options->isAnimation()) {
        AnimationRun::catchInterruptions();
        AnimationRun run(*options, stderr, isatty(STDERR_FILENO));
        return run.run(error) ? 0 : refuse(error);
    }
    if (!renderAndWrite(*options, error))
        return refuse(error);
    return 0;
}
