#pragma once

#include <functional>
#include <optional>
#include <string>

namespace Platform {

enum class VectorFormat { svg, pdf, eps };

// How the captured primitives are put in order before they are written, so
// that nearer ones cover farther ones. bspTree is exact but splits
// primitives; simple sorts whole primitives by their mean depth; none keeps
// the order they were drawn in.
enum class VectorDepthSort { none, simple, bspTree };

// One page of a vector figure: the size of the picture in pixels becomes the
// page's size in points, so the figure has the proportions of the picture.
struct VectorPage {
    VectorFormat format = VectorFormat::svg;
    int width = 0;
    int height = 0;
    // Paint the OpenGL clear colour behind the drawing; without it the
    // figure has no background and shows through to the page it is set on.
    bool background = true;
    VectorDepthSort depthSort = VectorDepthSort::simple;
    std::string title;
};

// The file name extension of a format, with its dot (".svg").
std::string vectorExtension(VectorFormat format);

// Runs `draw` with OpenGL in feedback mode, the current context's viewport
// being the page, and returns the points, lines and polygons it sent as the
// bytes of an SVG, PDF or EPS file. Text is never written. `draw` may be run
// more than once when the figure needs a larger feedback buffer. Needs a
// current OpenGL context; nothing on failure, with the reason in error.
std::optional<std::string>
captureVectorFigure(const VectorPage& page, const std::function<void()>& draw, std::string& error);

} // namespace Platform
