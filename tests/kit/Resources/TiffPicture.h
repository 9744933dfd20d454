#pragma once

#include <tiffio.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Pictures with known texels and the TIFF files that hold them, written
// with libtiff in the layouts other programs write.
namespace KitTest {

using Texel = std::array<std::uint8_t, 4>; // red, green, blue, alpha

// Texels row by row from the top; ink k of the picture's palette is
// inks[k], used by the palette layouts.
struct TiffPicture {
    std::uint32_t width = 0, height = 0;
    std::vector<Texel> texels;
    std::vector<std::uint8_t> inks;
    const Texel& at(std::uint32_t x, std::uint32_t y) const { return texels[y * width + x]; }
};

// How a file stores each pixel's colour and alpha.
enum class TiffColours {
    rgba,          // unassociated alpha
    premultiplied, // associated alpha: the colours already multiplied by it
    rgb,
    grey,      // the red channel, black is 0
    greyWhite, // the red channel, white is 0
    greyAlpha,
    bilevel, // 1-bit samples, white is 0: red of 128 and more is white
    palette,
    paletteAlpha,
    cmyk, // inks of no black: cyan is 255 less the red, and so on
    cmykAlpha,
};

struct TiffLayout {
    const char* name = "";
    TiffColours colours = TiffColours::rgba;
    std::uint16_t bits = 8;
    std::uint32_t rowsPerStrip = 1;
    std::uint32_t tileSize = 0; // square tiles of this many pixels a side instead of strips
    std::uint16_t compression = COMPRESSION_NONE;
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    bool bigEndian = false;
    bool planar = false;
    std::uint16_t sampleFormat = SAMPLEFORMAT_UINT;
};

// 37 x 19 pixels (odd sizes spanning several 16-pixel tiles) of 16 inks with
// alphas 0, 1, 128, 254 and 255 among them.
TiffPicture knownPicture();

// What the texels of a file storing the picture in these colours are: the
// picture with what the colours cannot hold left out, and associated
// alpha's colours as stored.
TiffPicture shownAs(TiffColours colours, const TiffPicture& picture);

// Writes the picture so that, shown as the layout's Orientation tag says,
// it is the picture; false if libtiff could not write it.
bool writeTiffPicture(const std::string& path, const TiffLayout& layout,
                      const TiffPicture& picture);

// The texels bottom row first, as OpenGL holds a texture.
std::vector<std::uint8_t> bottomUpBytes(const TiffPicture& picture);

} // namespace KitTest
