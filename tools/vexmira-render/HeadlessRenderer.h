#pragma once

#include "tools/vexmira-render/RenderOptions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A finished picture: opaque 8-bit RGBA pixels, the top row first.
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
};
