#pragma once

#include <tiffio.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Pictures with known texels and the TIFF files, as other programs lay them out, that hold them.
namespace KitTest {

using Texel = std::array<std::uint8_t, 4>; // red, green, blue, alpha

// Texels row by row from the top; ink k of the picture's palette is inks[k].
struct TiffPicture {
    std::uint32_t width = 0, height = 0;
    std::vector<Texel> texels;
    std::vector<std::uint8_t> inks;
    const Texel& at(std::uint32_t x, std::uint32_t y) const { return texels[y * width + x]; }
};

constexpr int noAlpha = -1;

// Strips of 4 rows, or 16-pixel tiles (of 8 or 16 bits only). The samples are
// the Photometric tag's (CMYK with no black) and an alpha of the kind given.
struct TiffLayout {
    const char* name = "";
    std::uint16_t photometric = PHOTOMETRIC_RGB;
    int alpha = EXTRASAMPLE_UNASSALPHA;
    std::uint16_t bits = 8;
    bool tiled = false;
    std::uint16_t compression = COMPRESSION_NONE;
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    std::uint16_t sampleFormat = SAMPLEFORMAT_UINT;
};

// 37 x 19 pixels (odd sizes, several tiles) of 16 inks; alphas 0, 1, 128, 254, 255 among them.
TiffPicture knownPicture();

// The texels of a file storing the picture in this layout: what the layout
// cannot hold left out, associated alpha's colours as stored.
TiffPicture shownAs(const TiffLayout& layout, const TiffPicture& picture);

// Writes the picture so that, shown as its Orientation tag says, it is the picture, or false.
bool writeTiffPicture(const std::string& path, const TiffLayout& layout,
                      const TiffPicture& picture);

std::vector<std::uint8_t> bottomUpBytes(const TiffPicture& picture);

} // namespace KitTest
