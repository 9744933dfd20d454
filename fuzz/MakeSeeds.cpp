// Writes the binary seed files of the model-file and texture fuzz targets:
//   fuzz-make-seeds <fuzz/corpus>
// Valid files come from the kit's own model writer and from libtiff in the
// layouts the texture loader handles differently; broken ones are those
// files damaged in the ways a fuzzer takes long to find by itself.

#include "TolvaneKit/Scene/RVModelVNT.h"

#include <tiffio.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Bytes header(std::uint32_t triangles, std::uint32_t vertices) {
    Bytes bytes;
    for (std::uint32_t count : {triangles, vertices})
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(std::uint8_t(count >> shift));
    return bytes;
}

void writeModelSeeds(const fs::path& folder) {
    fs::create_directories(folder);
    RVModelVNT model;
    model.storeToFile((folder / "empty.rvmvnt").string());
    model.setNumberOfVertices(3);
    model.setNumberOfTriangles(1);
    const float corners[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    for (int k = 0; k < 9; ++k)
        model.vertices()[k] = model.normals()[k] = corners[k];
    for (int k = 0; k < 6; ++k)
        model.textureCoordinates()[k] = float(k) / 6;
    for (int k = 0; k < 3; ++k)
        model.triangles()[k] = std::uint16_t(k);
    model.storeToFile((folder / "triangle.rvmvnt").string());
    model.constructSphereOfRadius(1, 3, 2);
    model.storeToFile((folder / "sphere.rvmvnt").string());

    Bytes sphere = readFile(folder / "sphere.rvmvnt");
    Bytes shortByOne(sphere.begin(), sphere.end() - 1);
    writeFile(folder / "short-by-one.rvmvnt", shortByOne);
    Bytes badIndex = sphere;
    badIndex[9] = 10; // the first index names vertex 10 of 10
    writeFile(folder / "index-out-of-range.rvmvnt", badIndex);
    Bytes huge = header(0x80000000u, 0);
    huge.resize(20, 0);
    writeFile(folder / "2-to-the-31-triangles.rvmvnt", huge);
    Bytes manyVertices = header(0, 0x7FFFFFFFu);
    manyVertices.resize(20, 0);
    writeFile(folder / "2-to-the-31-vertices.rvmvnt", manyVertices);
    writeFile(folder / "seven-bytes.rvmvnt", Bytes(7, 0));
}

struct TiffLayout {
    const char* name;
    std::uint32_t width = 4, height = 3;
    std::uint16_t samples = 4, bits = 8, photometric = PHOTOMETRIC_RGB;
    std::uint16_t planar = PLANARCONFIG_CONTIG, compression = COMPRESSION_NONE;
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    bool tiled = false;
    std::uint32_t rowsWritten = 3;
};

std::uint16_t extraSamples(const TiffLayout& layout) {
    const bool rgbWithAlpha = layout.photometric == PHOTOMETRIC_RGB && layout.samples == 4;
    const bool greyWithAlpha = layout.photometric == PHOTOMETRIC_MINISBLACK && layout.samples == 2;
    const bool paletteWithAlpha = layout.photometric == PHOTOMETRIC_PALETTE && layout.samples == 2;
    return rgbWithAlpha || greyWithAlpha || paletteWithAlpha ? 1 : 0;
}

void setFields(TIFF* tiff, const TiffLayout& layout) {
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, layout.width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, layout.height);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, layout.samples);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, layout.bits);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, layout.photometric);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, layout.planar);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, layout.compression);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, layout.orientation);
    if (std::uint16_t extra = extraSamples(layout)) {
        const std::uint16_t kind[1] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, extra, kind);
    }
    if (layout.photometric == PHOTOMETRIC_PALETTE) {
        static std::uint16_t red[256], green[256], blue[256];
        for (int k = 0; k < 256; ++k) {
            red[k] = std::uint16_t(k * 257);
            green[k] = std::uint16_t((255 - k) * 257);
            blue[k] = std::uint16_t((k * 7 % 256) * 257);
        }
        TIFFSetField(tiff, TIFFTAG_COLORMAP, red, green, blue);
    }
    if (layout.tiled) {
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, 16u);
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, 16u);
    } else {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 1u);
    }
}

// Pixels whose bytes count up, so every sample differs from its neighbours.
Bytes patternOf(std::size_t length) {
    Bytes bytes(length);
    for (std::size_t k = 0; k < length; ++k)
        bytes[k] = std::uint8_t(k * 37 + 11);
    return bytes;
}

void writeImage(TIFF* tiff, const TiffLayout& layout) {
    const std::size_t tileBytes = std::size_t(TIFFTileSize(tiff));
    if (layout.tiled) {
        const int planes = layout.planar == PLANARCONFIG_SEPARATE ? layout.samples : 1;
        for (int plane = 0; plane < planes; ++plane) {
            Bytes tile = patternOf(tileBytes);
            TIFFWriteTile(tiff, tile.data(), 0, 0, 0, std::uint16_t(plane));
        }
        return;
    }
    const std::size_t rowBytes = std::size_t(TIFFScanlineSize(tiff));
    const int planes = layout.planar == PLANARCONFIG_SEPARATE ? layout.samples : 1;
    for (int plane = 0; plane < planes; ++plane)
        for (std::uint32_t row = 0; row < layout.rowsWritten; ++row) {
            Bytes line = patternOf(rowBytes);
            line[0] = std::uint8_t(row);
            TIFFWriteScanline(tiff, line.data(), row, std::uint16_t(plane));
        }
}

void writeTiff(const fs::path& path, const TiffLayout& layout) {
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (tiff == nullptr) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return;
    }
    setFields(tiff, layout);
    writeImage(tiff, layout);
    TIFFClose(tiff);
}

// A little-endian grey TIFF of one uncompressed strip that declares
// width x height pixels but holds only `stored` bytes of them.
Bytes greyTiffDeclaring(std::uint32_t width, std::uint32_t height, std::uint32_t stored) {
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t value;
    };
    constexpr std::uint16_t shortType = 3, longType = 4;
    const Entry entries[] = {
        {TIFFTAG_IMAGEWIDTH, longType, width},
        {TIFFTAG_IMAGELENGTH, longType, height},
        {TIFFTAG_BITSPERSAMPLE, shortType, 8},
        {TIFFTAG_COMPRESSION, shortType, COMPRESSION_NONE},
        {TIFFTAG_PHOTOMETRIC, shortType, PHOTOMETRIC_MINISBLACK},
        {TIFFTAG_STRIPOFFSETS, longType, 0},
        {TIFFTAG_SAMPLESPERPIXEL, shortType, 1},
        {TIFFTAG_ROWSPERSTRIP, longType, height},
        {TIFFTAG_STRIPBYTECOUNTS, longType, stored},
    };
    const std::uint32_t count = sizeof entries / sizeof entries[0];
    const std::uint32_t pixelsAt = 8 + 2 + 12 * count + 4;
    Bytes bytes = {'I', 'I', 42, 0};
    auto put = [&bytes](std::uint32_t value, int length) {
        for (int k = 0; k < length; ++k)
            bytes.push_back(std::uint8_t(value >> (8 * k)));
    };
    put(8, 4);
    put(count, 2);
    for (const Entry& entry : entries) {
        put(entry.tag, 2);
        put(entry.type, 2);
        put(1, 4);
        put(entry.tag == TIFFTAG_STRIPOFFSETS ? pixelsAt : entry.value, 4);
    }
    put(0, 4); // no further image
    Bytes pixels = patternOf(stored);
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
}

void writeTextureSeeds(const fs::path& folder) {
    fs::create_directories(folder);
    std::vector<TiffLayout> layouts = {
        {.name = "rgba8"},
        {.name = "rgb8", .samples = 3},
        {.name = "grey8", .samples = 1, .photometric = PHOTOMETRIC_MINISBLACK},
        {.name = "grey-alpha8", .samples = 2, .photometric = PHOTOMETRIC_MINISBLACK},
        {.name = "bilevel", .samples = 1, .bits = 1, .photometric = PHOTOMETRIC_MINISWHITE},
        {.name = "palette8", .samples = 1, .photometric = PHOTOMETRIC_PALETTE},
        {.name = "rgb16", .samples = 3, .bits = 16},
        {.name = "planar-rgb8", .samples = 3, .planar = PLANARCONFIG_SEPARATE},
        {.name = "tiled-rgba8", .tiled = true},
        {.name = "lzw-rgba8", .compression = COMPRESSION_LZW},
        {.name = "deflate-rgb8", .samples = 3, .compression = COMPRESSION_ADOBE_DEFLATE},
        {.name = "packbits-grey8",
         .samples = 1,
         .photometric = PHOTOMETRIC_MINISBLACK,
         .compression = COMPRESSION_PACKBITS},
        {.name = "bottom-left-rgba8", .orientation = ORIENTATION_BOTLEFT},
        {.name = "right-top-rgba8",
         .width = 3,
         .height = 4,
         .orientation = ORIENTATION_RIGHTTOP,
         .rowsWritten = 4},
        {.name = "palette-alpha8", .samples = 2, .photometric = PHOTOMETRIC_PALETTE},
        {.name = "tiled-rgb8", .samples = 3, .tiled = true},
        {.name = "tiled-rgba16", .bits = 16, .tiled = true},
        {.name = "cmyk8", .photometric = PHOTOMETRIC_SEPARATED},
    };
    for (const TiffLayout& layout : layouts)
        writeTiff(folder / (std::string(layout.name) + ".tiff"), layout);
    Bytes whole = readFile(folder / "rgba8.tiff");
    writeFile(folder / "rgba8-cut-in-half.tiff",
              Bytes(whole.begin(), whole.begin() + whole.size() / 2));
    writeFile(folder / "header-only.tiff", Bytes(whole.begin(), whole.begin() + 8));
    writeFile(folder / "declares-100000-squared.tiff", greyTiffDeclaring(100000, 100000, 16));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <fuzz/corpus folder>\n", argv[0]);
        return 2;
    }
    const fs::path corpus = argv[1];
    writeModelSeeds(corpus / "model-file");
    writeTextureSeeds(corpus / "texture");
    return 0;
}
