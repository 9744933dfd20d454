#include "Platform/image/VectorFigure.h"

#include <GL/gl.h>
#include <gl2ps.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace Platform {

namespace {

// The feedback buffer starts at 4 Mi floats (a line costs 15 with its two
// coloured vertices) and doubles while the figure overflows it, up to 2 GiB.
constexpr GLint initialFeedbackFloats = 1 << 22;
constexpr GLint largestFeedbackFloats = 1 << 29;

GLint gl2psFormat(VectorFormat format) {
    switch (format) {
    case VectorFormat::pdf:
        return GL2PS_PDF;
    case VectorFormat::eps:
        return GL2PS_EPS;
    case VectorFormat::svg:
        break;
    }
    return GL2PS_SVG;
}

GLint gl2psSort(VectorDepthSort sort) {
    switch (sort) {
    case VectorDepthSort::none:
        return GL2PS_NO_SORT;
    case VectorDepthSort::bspTree:
        return GL2PS_BSP_SORT;
    case VectorDepthSort::simple:
        break;
    }
    return GL2PS_SIMPLE_SORT;
}

// A memory stream gl2ps writes into; its bytes become a std::string.
class MemoryStream {
public:
    MemoryStream() : stream_(open_memstream(&data_, &size_)) {}
    ~MemoryStream() {
        if (stream_)
            std::fclose(stream_);
        std::free(data_);
    }
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    std::FILE* stream() const { return stream_; }
    std::optional<std::string> finish() {
        const bool closed = stream_ && std::fclose(stream_) == 0;
        stream_ = nullptr;
        if (!closed)
            return std::nullopt;
        return std::string(data_, size_);
    }

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* stream_;
};

} // namespace

std::string vectorExtension(VectorFormat format) {
    return std::string(".") + gl2psGetFileExtension(gl2psFormat(format));
}

std::optional<std::string>
captureVectorFigure(const VectorPage& page, const std::function<void()>& draw, std::string& error) {
    if (page.width <= 0 || page.height <= 0) {
        error = "a figure needs a positive width and height";
        return std::nullopt;
    }
    GLint viewport[4] = {0, 0, page.width, page.height};
    const GLint options = GL2PS_SILENT | GL2PS_NO_TEXT | GL2PS_BEST_ROOT |
                          (page.background ? GL2PS_DRAW_BACKGROUND : GL2PS_NONE);
    for (GLint floats = initialFeedbackFloats; floats <= largestFeedbackFloats; floats *= 2) {
        MemoryStream memory;
        if (!memory.stream()) {
            error = "cannot make room for the figure in memory";
            return std::nullopt;
        }
        GLint state = gl2psBeginPage(page.title.c_str(), "Vexmira", viewport,
                                     gl2psFormat(page.format), gl2psSort(page.depthSort), options,
                                     GL_RGBA, 0, nullptr, 0, 0, 0, floats, memory.stream(), "");
        if (state != GL2PS_SUCCESS) {
            error = "cannot begin the vector figure";
            return std::nullopt;
        }
        draw();
        state = gl2psEndPage();
        if (state == GL2PS_OVERFLOW)
            continue;
        if (state != GL2PS_SUCCESS && state != GL2PS_NO_FEEDBACK) {
            error = "cannot capture the drawing for the vector figure";
            return std::nullopt;
        }
        auto bytes = memory.finish();
        if (!bytes)
            error = "cannot write the vector figure into memory";
        return bytes;
    }
    error = "the drawing is too large for a vector figure";
    return std::nullopt;
}

} // namespace Platform
