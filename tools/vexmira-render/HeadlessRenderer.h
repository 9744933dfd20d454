#pragma once

#include "tools/vexmira-render/RenderOptions.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BlowupView;
class MyDocument;

namespace Platform {
class OffscreenViewHost;
class OffscreenWindow;
} // namespace Platform

// A finished picture: 8-bit RGBA pixels, the top row first; opaque unless
// the options asked for a transparent background.
struct RenderedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Draws one document without a display, the way its window would: a
// MyDocument with its MyWindowController, whose window is built off screen,
// so the picture comes from the same BlowupView, EasyView and RVCamera code.
// The window is built from the layout registered as "MyDocument"
// (MyDocumentLayout::registerLayout()). Once opened, the document can be
// drawn any number of times with other values laid over it, the frames of an
// animation; each picture is drawn once, with the camera options in place.
class HeadlessRenderer {
public:
    HeadlessRenderer();
    ~HeadlessRenderer();
    HeadlessRenderer(const HeadlessRenderer&) = delete;
    HeadlessRenderer& operator=(const HeadlessRenderer&) = delete;

    // Reads the document named in the options (or makes a new one) and
    // builds its window at the options' size. False with the reason in
    // errorMessage.
    bool open(const RenderOptions& options, std::string& errorMessage);

    // The opened document with the picture and camera values of `options`
    // laid over it. None of it enters the document's undo history.
    std::optional<RenderedImage> renderFrame(const RenderOptions& options,
                                             std::string& errorMessage);

    // The document named in the options (or a new one), with the options'
    // values laid over it. Nothing on failure, with the reason in errorMessage.
    static std::optional<RenderedImage> render(const RenderOptions& options,
                                               std::string& errorMessage);
    // The same picture as the bytes of an SVG, PDF or EPS file (the options'
    // format): the view's drawScene captured in one pass, whatever the
    // document's smoothing.
    static std::optional<std::string> renderFigure(const RenderOptions& options,
                                                   std::string& errorMessage);

private:
    // Lays the options over the opened document and its camera, the view
    // prepared; drawOnce draws without smoothing passes.
    bool prepareFrame(const RenderOptions& options, bool drawOnce, std::string& errorMessage);
    // Builds the document's window off screen, prepares its view with the
    // options laid over it, and hands the view and its host to `use`.
    static bool
    withPreparedView(const RenderOptions& options, bool drawOnce,
                     const std::function<bool(BlowupView&, Platform::OffscreenViewHost&)>& use,
                     std::string& errorMessage);

    std::string builderError_;
    int width_ = 0;
    int height_ = 0;
    std::unique_ptr<MyDocument> document_;
    Platform::OffscreenWindow* window_ = nullptr;
    BlowupView* view_ = nullptr;
};
