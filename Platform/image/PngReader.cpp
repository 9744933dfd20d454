#include "Platform/image/PngReader.h"

#include <png.h>

#include <cstring>

namespace Platform {

std::optional<PngImage> readPngFile(const std::string& path, std::string* error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    auto fail = [&](const std::string& what) -> std::optional<PngImage> {
        if (error)
            *error = what + " " + path + ": " + image.message;
        png_image_free(&image);
        return std::nullopt;
    };
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return fail("cannot read");
    image.format = PNG_FORMAT_RGBA;
    PngImage result;
    result.width = static_cast<int>(image.width);
    result.height = static_cast<int>(image.height);
    result.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, result.rgba.data(), 0, nullptr))
        return fail("cannot decode");
    return result;
}

} // namespace Platform
