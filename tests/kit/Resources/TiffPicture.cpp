#include "kit/Resources/TiffPicture.h"

#include <cstring>
#include <utility>

namespace KitTest {

namespace {

using Samples = std::vector<std::uint32_t>;

// The Photometric tag and the kind of alpha (none: -1) of each TiffColours, in its order.
constexpr std::uint16_t photometricOf[] = {
    PHOTOMETRIC_RGB,        PHOTOMETRIC_RGB,        PHOTOMETRIC_RGB,        PHOTOMETRIC_MINISBLACK,
    PHOTOMETRIC_MINISWHITE, PHOTOMETRIC_MINISBLACK, PHOTOMETRIC_MINISWHITE, PHOTOMETRIC_PALETTE,
    PHOTOMETRIC_PALETTE,    PHOTOMETRIC_SEPARATED,  PHOTOMETRIC_SEPARATED};
constexpr int none = -1, plain = EXTRASAMPLE_UNASSALPHA, premultiplied = EXTRASAMPLE_ASSOCALPHA;
constexpr int alphaOf[] = {plain, premultiplied, none,  none, none, plain,
                           none,  none,          plain, none, plain};

std::uint8_t times(std::uint8_t colour, std::uint8_t alpha) {
    return std::uint8_t((colour * alpha + 127) / 255);
}

Texel shownTexel(TiffColours colours, const Texel& t) {
    const auto [r, g, b, a] = t;
    const std::uint8_t white = r >= 128 ? 255 : 0;
    switch (colours) {
    case TiffColours::premultiplied:
        return {times(r, a), times(g, a), times(b, a), a};
    case TiffColours::rgb:
    case TiffColours::palette:
    case TiffColours::cmyk:
        return {r, g, b, 255};
    case TiffColours::grey:
    case TiffColours::greyWhite:
        return {r, r, r, 255};
    case TiffColours::greyAlpha:
        return {r, r, r, a};
    case TiffColours::bilevel:
        return {white, white, white, 255};
    default:
        return t;
    }
}

// An 8-bit value at another depth, with 0 and 255 at the ends of its range.
std::uint32_t atDepth(std::uint32_t value, std::uint16_t bits) {
    return bits >= 8 ? std::uint32_t(value * ((std::uint64_t{1} << bits) - 1) / 255)
                     : value >> (8 - bits);
}

// A pixel's samples as the layout stores them.
Samples samplesOf(const TiffLayout& layout, const Texel& texel, std::uint8_t ink) {
    const auto [r, g, b, a] = shownTexel(layout.colours, texel);
    const auto d = [&layout](std::uint32_t value) { return atDepth(value, layout.bits); };
    switch (layout.colours) {
    case TiffColours::rgb:
        return {d(r), d(g), d(b)};
    case TiffColours::grey:
        return {d(r)};
    case TiffColours::greyWhite:
        return {d(255 - r)};
    case TiffColours::greyAlpha:
        return {d(r), d(a)};
    case TiffColours::bilevel:
        return {r == 0 ? 1u : 0u};
    case TiffColours::palette:
        return {ink};
    case TiffColours::paletteAlpha:
        return {ink, d(a)};
    case TiffColours::cmyk:
        return {d(255 - r), d(255 - g), d(255 - b), 0};
    case TiffColours::cmykAlpha:
        return {d(255 - r), d(255 - g), d(255 - b), 0, d(a)};
    default:
        return {d(r), d(g), d(b), d(a)};
    }
}

// Samples of 16 and 32 bits in the host's byte order, which libtiff turns
// into the file's; narrower ones packed from the most significant bit on.
std::vector<std::uint8_t> packed(const Samples& samples, std::uint16_t bits) {
    std::vector<std::uint8_t> bytes((samples.size() * bits + 7) / 8);
    if (bits == 16 || bits == 32) {
        for (std::size_t k = 0; k < samples.size(); ++k) {
            const std::uint16_t narrow = std::uint16_t(samples[k]);
            std::memcpy(bytes.data() + k * bits / 8,
                        bits == 16 ? static_cast<const void*>(&narrow) : &samples[k], bits / 8);
        }
        return bytes;
    }
    std::size_t at = 0;
    for (std::uint32_t sample : samples)
        for (int bit = bits - 1; bit >= 0; --bit, ++at)
            if ((sample >> bit) & 1)
                bytes[at / 8] |= std::uint8_t(0x80 >> (at % 8));
    return bytes;
}

// Where the stored row and column are shown, from the Orientation tag's
// meaning: the sides of the shown picture that the stored first row and
// first column lie on (Top, Bottom, Left, Right).
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

std::uint16_t samplesPerPixel(const TiffLayout& layout) {
    return std::uint16_t(samplesOf(layout, Texel{}, 0).size());
}

void setFields(TIFF* tiff, const TiffLayout& layout, std::uint32_t width, std::uint32_t height,
               const TiffPicture& picture) {
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samplesPerPixel(layout));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, layout.bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, layout.sampleFormat);
    const std::uint16_t photometric = photometricOf[int(layout.colours)];
    const int alpha = alphaOf[int(layout.colours)];
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG,
                 layout.planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, layout.orientation);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, layout.compression);
    const bool predicts =
        layout.compression == COMPRESSION_LZW || layout.compression == COMPRESSION_ADOBE_DEFLATE;
    if (predicts && layout.bits >= 8)
        TIFFSetField(tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    if (layout.tileSize != 0) {
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, layout.tileSize);
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, layout.tileSize);
    } else {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, layout.rowsPerStrip);
    }
    if (alpha >= 0) {
        const std::uint16_t kind[1] = {std::uint16_t(alpha)};
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, kind);
    }
    if (photometric == PHOTOMETRIC_SEPARATED)
        TIFFSetField(tiff, TIFFTAG_INKSET, INKSET_CMYK);
    if (photometric == PHOTOMETRIC_PALETTE) {
        std::vector<std::uint16_t> map(3 * (std::size_t{1} << layout.bits), 0);
        const std::size_t entries = map.size() / 3;
        for (std::size_t k = 0; k < picture.texels.size(); ++k)
            for (std::size_t channel = 0; channel < 3; ++channel)
                map[channel * entries + picture.inks[k]] =
                    std::uint16_t(picture.texels[k][channel] * 257);
        TIFFSetField(tiff, TIFFTAG_COLORMAP, map.data(), map.data() + entries,
                     map.data() + 2 * entries);
    }
}

// Separate planes hold every samples-th sample of a row, one plane after the other.
bool writeStrips(TIFF* tiff, const TiffLayout& layout, const std::vector<Samples>& rows) {
    const std::uint16_t planes = layout.planar ? samplesPerPixel(layout) : 1;
    for (std::uint16_t plane = 0; plane < planes; ++plane)
        for (std::uint32_t row = 0; row < rows.size(); ++row) {
            Samples stored;
            for (std::size_t k = plane; k < rows[row].size(); k += planes)
                stored.push_back(rows[row][k]);
            if (TIFFWriteScanline(tiff, packed(stored, layout.bits).data(), row, plane) < 0)
                return false;
        }
    return true;
}

// Tiles reaching past the picture are filled with zeros.
bool writeTiles(TIFF* tiff, const TiffLayout& layout, const std::vector<Samples>& rows,
                std::uint32_t width) {
    const std::uint32_t size = layout.tileSize, samples = samplesPerPixel(layout);
    for (std::uint32_t y = 0; y < rows.size(); y += size) {
        for (std::uint32_t x = 0; x < width; x += size) {
            std::vector<std::uint8_t> tile;
            for (std::uint32_t row = y; row < y + size; ++row) {
                Samples tileRow(std::size_t{size} * samples, 0);
                for (std::uint32_t column = x; column < std::min(x + size, width); ++column)
                    for (std::uint32_t k = 0; k < samples; ++k)
                        if (row < rows.size())
                            tileRow[(column - x) * samples + k] = rows[row][column * samples + k];
                const auto bytes = packed(tileRow, layout.bits);
                tile.insert(tile.end(), bytes.begin(), bytes.end());
            }
            if (TIFFWriteTile(tiff, tile.data(), x, y, 0, 0) < 0)
                return false;
        }
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
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            const auto ink = std::uint8_t((x + 7 * y + x * y) % 16);
            picture.inks.push_back(ink);
            picture.texels.push_back(inks[ink]);
        }
    }
    return picture;
}

TiffPicture shownAs(TiffColours colours, const TiffPicture& picture) {
    TiffPicture shown = picture;
    for (Texel& texel : shown.texels)
        texel = shownTexel(colours, texel);
    return shown;
}

bool writeTiffPicture(const std::string& path, const TiffLayout& layout,
                      const TiffPicture& picture) {
    const bool turned = layout.orientation >= ORIENTATION_LEFTTOP;
    const std::uint32_t width = turned ? picture.height : picture.width;
    const std::uint32_t height = turned ? picture.width : picture.height;
    std::vector<Samples> rows(height);
    for (std::uint32_t row = 0; row < height; ++row) {
        for (std::uint32_t column = 0; column < width; ++column) {
            const auto [x, y] =
                shownAt(layout.orientation, row, column, picture.width, picture.height);
            const std::size_t at = std::size_t{y} * picture.width + x;
            const Samples samples =
                samplesOf(layout, picture.texels[at], picture.inks.empty() ? 0 : picture.inks[at]);
            rows[row].insert(rows[row].end(), samples.begin(), samples.end());
        }
    }
    TIFF* tiff = TIFFOpen(path.c_str(), layout.bigEndian ? "wb" : "wl");
    if (tiff == nullptr)
        return false;
    setFields(tiff, layout, width, height, picture);
    const bool written = layout.tileSize != 0 ? writeTiles(tiff, layout, rows, width)
                                              : writeStrips(tiff, layout, rows);
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
