#pragma once

#include "tools/vexmira-render/RenderOptions.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class BlowupView;
namespace Platform {
class OffscreenViewHost;
}

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
// (MyDocumentLayout::registerLayout()). The picture is drawn once, with the
// camera options already in place.
class HeadlessRenderer {
public:
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
    // Builds the document's window off screen, prepares its view with the
    // options laid over it, and hands the view and its host to `use`.
    static bool
    withPreparedView(const RenderOptions& options, bool drawOnce,
                     const std::function<bool(BlowupView&, Platform::OffscreenViewHost&)>& use,
                     std::string& errorMessage);
};
