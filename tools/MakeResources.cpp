// vexmira-make-resources FOLDER
//
// Writes the sample resources that ship in resources/: the sphere model
// RVModelVNT/1.rvmvnt and the texture RVTexture/1.tiff meant to wrap it.
// The output depends on nothing but this program, so running it again
// reproduces the shipped files byte for byte.

#include "TolvaneKit/Scene/RVModelVNT.h"

#include <tiffio.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr int sampleKey = 1;
constexpr int textureWidth = 64;
constexpr int textureHeight = 32;

bool writeSphere(const std::filesystem::path& folder) {
    RVModelVNT sphere;
    return sphere.constructSphereOfRadius(1, 24, 12) &&
           sphere.storeToFile((folder / (std::to_string(sampleKey) + ".rvmvnt")).string());
}

// Eight by four cells in two colours, so every cell spans 45 degrees of
// longitude and latitude on the sphere; the first column of cells is red
// to show where the seam lies.
std::vector<std::uint8_t> checkerPixels() {
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < textureHeight; ++y) {
        for (int x = 0; x < textureWidth; ++x) {
            const int column = x / 8, row = y / 8;
            const bool light = (column + row) % 2 == 0;
            std::uint8_t rgba[4] = {light ? std::uint8_t(230) : std::uint8_t(60),
                                    light ? std::uint8_t(220) : std::uint8_t(100),
                                    light ? std::uint8_t(190) : std::uint8_t(160), 255};
            if (column == 0)
                rgba[0] = 220, rgba[1] = 40, rgba[2] = 40;
            pixels.insert(pixels.end(), rgba, rgba + 4);
        }
    }
    return pixels;
}

bool writeTexture(const std::filesystem::path& folder) {
    const auto path = (folder / (std::to_string(sampleKey) + ".tiff")).string();
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (tiff == nullptr)
        return false;
    const std::uint16_t extraSamples[1] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, std::uint32_t{textureWidth});
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, std::uint32_t{textureHeight});
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 4);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extraSamples);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    // Uncompressed, so the bytes do not depend on the compressor's version.
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, std::uint32_t{textureHeight});
    auto pixels = checkerPixels();
    const bool written =
        TIFFWriteEncodedStrip(tiff, 0, pixels.data(), tmsize_t(pixels.size())) >= 0;
    TIFFClose(tiff);
    return written;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder / "RVModelVNT", error);
    std::filesystem::create_directories(folder / "RVTexture", error);
    if (!writeSphere(folder / "RVModelVNT")) {
        std::fprintf(stderr, "%s: cannot write the sphere model in %s\n", argv[0], argv[1]);
        return 1;
    }
    if (!writeTexture(folder / "RVTexture")) {
        std::fprintf(stderr, "%s: cannot write the texture in %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
