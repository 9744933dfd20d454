#include "Platform/image/PngWriter.h"

#include <png.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

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

std::string systemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
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
    // The temporary file sits in the destination's folder so the rename
    // stays within one file system and is atomic.
    std::string temporary = path + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) {
        setError(error, systemError("cannot create a temporary file for", path));
        return false;
    }
    std::FILE* stream = fdopen(descriptor, "wb");
    if (!stream) {
        setError(error, systemError("cannot open a temporary file for", path));
        close(descriptor);
        unlink(temporary.c_str());
        return false;
    }
    bool written = writePngStream(stream, width, height, rgbaTopDown, error);
    if (std::fclose(stream) != 0 && written) {
        setError(error, systemError("cannot finish writing", path));
        written = false;
    }
    // mkstemp creates the file readable by its owner alone; an image is an
    // ordinary document, so give it the usual permissions.
    if (written) {
        const mode_t mask = umask(0);
        umask(mask);
        chmod(temporary.c_str(), 0666 & ~mask);
    }
    if (written && std::rename(temporary.c_str(), path.c_str()) != 0) {
        setError(error, systemError("cannot write", path));
        written = false;
    }
    if (!written)
        unlink(temporary.c_str());
    return written;
}

} // namespace Platform
