#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

// A decoded image: 8-bit RGBA pixels, rows from the top down.
struct PngImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Reads a PNG file of any colour type, converted to 8-bit RGBA; nothing on
// failure, with the reason in *error.
std::optional<PngImage> readPngFile(const std::string& path, std::string* error = nullptr);

} // namespace Platform
