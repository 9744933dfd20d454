#include "Platform/image/PngWriter.h"

#include "Platform/core/SafeFileWriter.h"
#include "Platform/core/SystemErrorText.h"

#include <png.h>

#include <cerrno>
#include <cstring>

namespace Platform {

namespace {

void setError(std::string* error, const std::string& text) {
    if (error)
        *error = text;
}

bool validImage(int width, int height, const std::vector<std::uint8_t>& pixels,
                std::string* error) {
    if (width <= 0 || height <= 0) {
        setError(error, "an image needs a positive width and height");
        return false;
    }
    const auto expected = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    if (pixels.size() != expected) {
        setError(error, "the pixel buffer does not hold width x height RGBA pixels");
        return false;
    }
    return true;
}

} // namespace

bool writePngStream(std::FILE* stream, int width, int height,
                    const std::vector<std::uint8_t>& rgbaTopDown, std::string* error) {
    if (!validImage(width, height, rgbaTopDown, error))
        return false;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    const bool written =
        png_image_write_to_stdio(&image, stream, 0, rgbaTopDown.data(), width * 4, nullptr) != 0;
    if (!written) {
        setError(error, std::string("cannot encode the PNG image: ") + image.message);
        png_image_free(&image);
        return false;
    }
    if (std::fflush(stream) != 0 || std::ferror(stream)) {
        setError(error, std::string("cannot write the PNG image: ") + std::strerror(errno));
        return false;
    }
    return true;
}

bool writePngFile(const std::string& path, int width, int height,
                  const std::vector<std::uint8_t>& rgbaTopDown, std::string* error) {
    if (!validImage(width, height, rgbaTopDown, error))
        return false;
    SafeFileWriter file(path);
    std::FILE* stream = file.stream();
    if (!stream) {
        setError(error, file.error());
        return false;
    }
    std::string encodingError;
    if (!writePngStream(stream, width, height, rgbaTopDown, &encodingError)) {
        // A full disk shows as a failed write of the stream; say so rather
        // than libpng's "Write Error".
        const int writeError = errno;
        setError(error, std::ferror(stream) ? systemErrorText(writeError) : encodingError);
        return false;
    }
    if (!file.commit()) {
        setError(error, file.error());
        return false;
    }
    return true;
}

std::string pngLibraryVersion() {
    return std::string("libpng ") + png_get_libpng_ver(nullptr);
}

} // namespace Platform
