#include "tools/vexmira-render/HeadlessRenderer.h"

#include "Platform/core/Localization.h"
#include "Platform/core/OpenGLView.h"
#include "Platform/core/Window.h"
#include "Platform/core/WindowLayout.h"
#include "Platform/image/VectorFigure.h"
#include "Platform/offscreen/OffscreenViewHost.h"
#include "Platform/offscreen/OffscreenWindow.h"
#include "TolvaneKit/Camera/RVCamera.h"
#include "Vexmira/BlowupView.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyWindowController.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool readStandardInput(std::string& data, std::string& errorMessage) {
    char buffer[65536];
    while (true) {
        const std::size_t count = std::fread(buffer, 1, sizeof buffer, stdin);
        data.append(buffer, count);
        if (data.size() > Platform::Document::maximumFileSize) {
            errorMessage = "the document on standard input is larger than " +
                           Platform::localizedSize(Platform::Document::maximumFileSize);
            return false;
        }
        if (count < sizeof buffer)
            break;
    }
    if (std::ferror(stdin)) {
        errorMessage = std::string("cannot read standard input: ") + std::strerror(errno);
        return false;
    }
    return true;
}

bool loadDocument(const std::string& input, MyDocument& document, std::string& errorMessage) {
    if (input.empty())
        return true;
    if (input == "-") {
        std::string data, reason;
        if (!readStandardInput(data, errorMessage))
            return false;
        if (document.loadDataRepresentation(data, myDocumentType, reason))
            return true;
        errorMessage = "the document on standard input was refused: " + reason;
        return false;
    }
    if (document.readFromFile(input, errorMessage))
        return true;
    errorMessage = "cannot open " + input + ": " + errorMessage;
    return false;
}

// The picture values go through the model's setters, so they reach the
// camera and the view exactly as a slider would send them.
bool overrideModel(const RenderOptions& options, Blowup& model, std::string& errorMessage) {
    if (options.blowup)
        model.setBlowup(*options.blowup);
    if (options.immersion)
        model.setImmersion(*options.immersion);
    if (options.distance)
        model.setDistance(*options.distance);
    if (options.meridians)
        model.setMeridians(*options.meridians);
    if (options.resolution)
        model.setResolution(*options.resolution);
    if (options.passes)
        model.setAntialiasing(*options.passes);
    // Each count was checked alone; the pair is checked once the document's
    // values and the options have met, as the loader checks a file.
    const long long meridians = model.meridians(), resolution = model.resolution();
    if (!Blowup::countsFitTogether(meridians, resolution)) {
        errorMessage = "meridians times resolution must not exceed " +
                       std::to_string(Blowup::maximumMeridiansTimesResolution) + " (they are " +
                       std::to_string(meridians) + " and " + std::to_string(resolution) + ")";
        return false;
    }
    return true;
}

// The camera values given; the others stay as the view prepared them.
void overrideCamera(const RenderOptions& options, RVCamera& camera) {
    if (options.azimuth)
        camera.setAzimuth(*options.azimuth);
    if (options.elevation)
        camera.setElevation(*options.elevation);
    if (options.twist)
        camera.setTwist(*options.twist);
    if (options.targetZ) {
        GLfloat target[3];
        camera.getTarget(target);
        target[2] = *options.targetZ;
        camera.setTarget(target);
    }
}

// The background is cleared to transparent black, so each colour holds as
// much of the line's colour as its alpha says it covers; a PNG wants the
// colour itself beside its coverage.
void divideByCoverage(std::vector<std::uint8_t>& rgba) {
    for (std::size_t pixel = 0; pixel + 3 < rgba.size(); pixel += 4) {
        const unsigned alpha = rgba[pixel + 3];
        if (alpha == 0 || alpha == 255)
            continue;
        for (std::size_t c = pixel; c < pixel + 3; ++c)
            rgba[c] =
                static_cast<std::uint8_t>(std::min(255u, (rgba[c] * 255u + alpha / 2) / alpha));
    }
}

Platform::VectorFormat vectorFormat(RenderOptions::Format format) {
    switch (format) {
    case RenderOptions::Format::pdf:
        return Platform::VectorFormat::pdf;
    case RenderOptions::Format::eps:
        return Platform::VectorFormat::eps;
    default:
        return Platform::VectorFormat::svg;
    }
}

} // namespace

HeadlessRenderer::HeadlessRenderer() = default;

HeadlessRenderer::~HeadlessRenderer() {
    // The window goes with the document, before the builder that refers to
    // this renderer is taken away.
    document_.reset();
    Platform::Window::setBuilder(nullptr);
}

bool HeadlessRenderer::open(const RenderOptions& options, std::string& errorMessage) {
    width_ = options.width;
    height_ = options.height;
    // Windows of this run are built off screen at the requested size; the
    // reason a buffer could not be had is kept for the error message.
    Platform::Window::setBuilder([this](const Platform::WindowLayout& layout) {
        return std::unique_ptr<Platform::Window>(
            Platform::OffscreenWindow::create(layout, width_, height_, &builderError_));
    });

    document_ = std::make_unique<MyDocument>();
    if (!loadDocument(options.input, *document_, errorMessage))
        return false;
    // Frames change the model many times; none of it is an edit to undo.
    document_->undoManager().disableUndoRegistration();

    document_->makeWindowControllers();
    window_ = document_->windowControllers().empty()
                  ? nullptr
                  : dynamic_cast<Platform::OffscreenWindow*>(
                        document_->windowControllers().front()->window());
    view_ = window_ ? dynamic_cast<BlowupView*>(window_->openGLView()) : nullptr;
    if (!view_ || !window_->viewHost()) {
        errorMessage = "cannot make an off-screen picture of " + std::to_string(width_) + "x" +
                       std::to_string(height_) + " pixels" +
                       (builderError_.empty() ? std::string() : ": " + builderError_);
        return false;
    }
    return true;
}

bool HeadlessRenderer::prepareFrame(const RenderOptions& options, bool drawOnce,
                                    std::string& errorMessage) {
    if (!view_) {
        errorMessage = "no document was opened";
        return false;
    }
    if (!overrideModel(options, document_->model(), errorMessage))
        return false;
    if (drawOnce)
        document_->model().setAntialiasing(1);
    // Preparing the view makes its camera, fixed state and target, as a
    // window's first draw does; the camera options are laid over that, and
    // the picture is drawn once, as pixels or as a figure.
    if (!view_->isPrepared())
        view_->prepare();
    view_->makeCurrentContext();
    overrideCamera(options, *view_->camera());
    return true;
}

std::optional<RenderedImage> HeadlessRenderer::renderFrame(const RenderOptions& options,
                                                           std::string& errorMessage) {
    if (!prepareFrame(options, false, errorMessage))
        return std::nullopt;
    Platform::OffscreenViewHost& host = *window_->viewHost();
    host.display();
    RenderedImage image{host.surface().width(), host.surface().height(), host.readPixels()};
    if (options.transparent)
        divideByCoverage(image.rgba);
    else
        Platform::OpenGLView::makeOpaque(image.rgba);
    return image;
}

bool HeadlessRenderer::withPreparedView(
    const RenderOptions& options, bool drawOnce,
    const std::function<bool(BlowupView&, Platform::OffscreenViewHost&)>& use,
    std::string& errorMessage) {
    HeadlessRenderer renderer;
    return renderer.open(options, errorMessage) &&
           renderer.prepareFrame(options, drawOnce, errorMessage) &&
           use(*renderer.view_, *renderer.window_->viewHost());
}

std::optional<RenderedImage> HeadlessRenderer::render(const RenderOptions& options,
                                                      std::string& errorMessage) {
    HeadlessRenderer renderer;
    if (!renderer.open(options, errorMessage))
        return std::nullopt;
    return renderer.renderFrame(options, errorMessage);
}

std::optional<std::string> HeadlessRenderer::renderFigure(const RenderOptions& options,
                                                          std::string& errorMessage) {
    std::optional<std::string> figure;
    withPreparedView(
        options, true,
        [&](BlowupView& view, Platform::OffscreenViewHost& host) {
            Platform::VectorPage page;
            page.format = vectorFormat(options.format);
            page.width = host.surface().width();
            page.height = host.surface().height();
            page.background = !options.transparent;
            page.title = "Vexmira";
            view.makeCurrentContext();
            figure = Platform::captureVectorFigure(
                page, [&view] { view.drawScene(); }, errorMessage);
            return figure.has_value();
        },
        errorMessage);
    return figure;
}
