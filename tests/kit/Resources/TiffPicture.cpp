#include "kit/Resources/TiffPicture.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <utility>

namespace KitTest {

namespace {

using Samples = std::vector<std::uint32_t>;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t tileSize = 16, rowsPerStrip = 4;

// An 8-bit value at the layout's depth, with 0 and 255 at the ends of its range. A 16-bit
// sample lies 128 above the multiple of 257, so from 128 on its high byte is one too many.
std::uint32_t atDepth(std::uint32_t value, std::uint16_t bits) {
    if (bits == 16)
        return std::min(value * 257 + 128, 65535u);
    return bits >= 8 ? value * ((1u << bits) - 1) / 255 : value >> (8 - bits);
}

Texel shownTexel(const TiffLayout& layout, Texel t) {
    auto& [r, g, b, a] = t;
    const bool grey = layout.photometric == PHOTOMETRIC_MINISBLACK ||
                      layout.photometric == PHOTOMETRIC_MINISWHITE;
    if (grey) // the red channel; only palettes hold less than 8 bits of colour
        r = g = b = std::uint8_t(
            layout.bits >= 8 ? r : atDepth(r, layout.bits) * 255 / ((1u << layout.bits) - 1));
    if (layout.alpha == noAlpha)
        a = 255;
    if (layout.alpha == EXTRASAMPLE_ASSOCALPHA)
        for (std::uint8_t* colour : {&r, &g, &b})
            *colour = std::uint8_t((*colour * a + 127) / 255);
    if (layout.bits == 16) // what is read back: the 8-bit value nearest the stored sample
        for (std::uint8_t& channel : t)
            channel = std::uint8_t(std::lround(atDepth(channel, 16) * 255.0 / 65535));
    return t;
}

Samples samplesOf(const TiffLayout& layout, const Texel& texel, std::uint8_t ink) {
    const auto [r, g, b, a] = shownTexel(layout, texel);
    const auto d = [&layout](std::uint32_t value) { return atDepth(value, layout.bits); };
    const std::uint16_t photometric = layout.photometric;
    Samples samples = photometric == PHOTOMETRIC_RGB          ? Samples{d(r), d(g), d(b)}
                      : photometric == PHOTOMETRIC_MINISBLACK ? Samples{d(r)}
                      : photometric == PHOTOMETRIC_MINISWHITE ? Samples{d(255 - r)}
                      : photometric == PHOTOMETRIC_PALETTE
                          ? Samples{ink}
                          : Samples{d(255 - r), d(255 - g), d(255 - b), 0};
    if (layout.alpha != noAlpha)
        samples.push_back(d(a));
    return samples;
}

// From the top bit; 16-bit samples in the host's byte order, as libtiff takes them.
void appendPacked(Bytes& row, std::size_t& bit, std::uint32_t sample, std::uint16_t bits) {
    row.resize((bit + bits + 7) / 8);
    if (bits == 16 && std::endian::native == std::endian::little)
        sample = (sample >> 8 | sample << 8) & 0xFFFF;
    for (int k = bits - 1; k >= 0; --k, ++bit)
        if ((sample >> k) & 1)
            row[bit / 8] |= std::uint8_t(0x80 >> (bit % 8));
}

// Where the stored row and column are shown, from the Orientation tag's meaning: the sides of the
// shown picture that the stored first row and first column lie on (Top, Bottom, Left, Right).
std::pair<std::uint32_t, std::uint32_t> shownAt(std::uint16_t orientation, std::uint32_t row,
                                                std::uint32_t column, std::uint32_t width,
                                                std::uint32_t height) {
    static const char* const sides[] = {"", "TL", "TR", "BR", "BL", "LT", "RT", "RB", "LB"};
    const char firstRow = sides[orientation][0], firstColumn = sides[orientation][1];
    if (firstRow == 'T' || firstRow == 'B')
        return {firstColumn == 'L' ? column : width - 1 - column,
                firstRow == 'T' ? row : height - 1 - row};
    return {firstRow == 'L' ? row : width - 1 - row,
            firstColumn == 'T' ? column : height - 1 - column};
}

void setFields(TIFF* tiff, const TiffLayout& layout, std::uint32_t width, std::uint32_t height,
               const TiffPicture& picture) {
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL,
                 std::uint16_t(samplesOf(layout, Texel{}, 0).size()));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, layout.bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, layout.sampleFormat);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, layout.photometric);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, layout.orientation);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, layout.compression);
    TIFFSetField(tiff, layout.tiled ? TIFFTAG_TILEWIDTH : TIFFTAG_ROWSPERSTRIP,
                 layout.tiled ? tileSize : rowsPerStrip);
    if (layout.tiled)
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, tileSize);
    if (layout.alpha != noAlpha) {
        const std::uint16_t kind[1] = {std::uint16_t(layout.alpha)};
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, kind);
    }
    if (layout.photometric == PHOTOMETRIC_PALETTE) {
        const std::size_t entries = std::size_t{1} << layout.bits;
        std::vector<std::uint16_t> map(3 * entries, 0);
        for (std::size_t k = 0; k < picture.texels.size(); ++k)
            for (std::size_t channel = 0; channel < 3; ++channel)
                map[channel * entries + picture.inks[k]] =
                    std::uint16_t(picture.texels[k][channel] * 257);
        TIFFSetField(tiff, TIFFTAG_COLORMAP, map.data(), map.data() + entries,
                     map.data() + 2 * entries);
    }
}

// Tiles reaching past the picture are filled with zeros.
bool writeTiles(TIFF* tiff, const std::vector<Bytes>& rows, std::uint32_t width) {
    const std::size_t pixelBytes = rows[0].size() / width, tileRowBytes = tileSize * pixelBytes;
    for (std::uint32_t y = 0; y < rows.size(); y += tileSize)
        for (std::uint32_t x = 0; x < width; x += tileSize) {
            Bytes tile(tileSize * tileRowBytes, 0);
            const std::size_t from = x * pixelBytes;
            const std::size_t length = std::min<std::size_t>(tileRowBytes, rows[0].size() - from);
            for (std::uint32_t row = y; row < std::min<std::size_t>(y + tileSize, rows.size());
                 ++row)
                std::memcpy(&tile[(row - y) * tileRowBytes], &rows[row][from], length);
            if (TIFFWriteTile(tiff, tile.data(), x, y, 0, 0) < 0)
                return false;
        }
    return true;
}

} // namespace

TiffPicture knownPicture() {
    const Texel inks[16] = {
        {255, 0, 0, 255},   {0, 255, 0, 128},    {0, 0, 255, 0},     {255, 255, 255, 255},
        {0, 0, 0, 255},     {200, 100, 50, 1},   {17, 34, 51, 254},  {128, 128, 128, 128},
        {250, 5, 130, 200}, {1, 2, 3, 4},        {90, 180, 45, 255}, {255, 255, 0, 0},
        {60, 0, 200, 77},   {140, 220, 10, 255}, {33, 66, 99, 128},  {254, 1, 127, 30}};
    TiffPicture picture{37, 19, {}, {}};
    for (std::uint32_t k = 0; k < picture.width * picture.height; ++k) {
        const std::uint32_t x = k % picture.width, y = k / picture.width;
        picture.inks.push_back(std::uint8_t((x + 7 * y + x * y) % 16));
        picture.texels.push_back(inks[picture.inks.back()]);
    }
    return picture;
}

TiffPicture shownAs(const TiffLayout& layout, const TiffPicture& picture) {
    TiffPicture shown = picture;
    for (Texel& texel : shown.texels)
        texel = shownTexel(layout, texel);
    return shown;
}

bool writeTiffPicture(const std::string& path, const TiffLayout& layout,
                      const TiffPicture& picture) {
    const bool turned = layout.orientation >= ORIENTATION_LEFTTOP;
    const std::uint32_t width = turned ? picture.height : picture.width;
    const std::uint32_t height = turned ? picture.width : picture.height;
    std::vector<Bytes> rows(height);
    for (std::uint32_t row = 0; row < height; ++row) {
        std::size_t bit = 0;
        for (std::uint32_t column = 0; column < width; ++column) {
            const auto [x, y] =
                shownAt(layout.orientation, row, column, picture.width, picture.height);
            const std::size_t at = std::size_t{y} * picture.width + x;
            for (std::uint32_t sample : samplesOf(layout, picture.texels[at], picture.inks[at]))
                appendPacked(rows[row], bit, sample, layout.bits);
        }
    }
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (tiff == nullptr)
        return false;
    setFields(tiff, layout, width, height, picture);
    bool written = !layout.tiled || writeTiles(tiff, rows, width);
    for (std::uint32_t row = 0; !layout.tiled && written && row < height; ++row)
        written = TIFFWriteScanline(tiff, rows[row].data(), row, 0) >= 0;
    const bool flushed = written && TIFFFlush(tiff);
    TIFFClose(tiff);
    return flushed;
}

std::vector<std::uint8_t> bottomUpBytes(const TiffPicture& picture) {
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t y = picture.height; y-- > 0;)
        for (std::uint32_t x = 0; x < picture.width; ++x)
            bytes.insert(bytes.end(), picture.at(x, y).begin(), picture.at(x, y).end());
    return bytes;
}

} // namespace KitTest
