// Tolvane Kit, resources and containers: a cache of objects loaded by key
// from the resource folder (textures read from TIFF files), the binary,
// splay and child/sibling trees behind it and the figures, and a clock for
// timed transitions. Builds on Platform/core's resource directory, libtiff
// and OpenGL.

#pragma once

#include <tiffio.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Turns stored rows of a grey, RGB or palette TIFF image with interleaved
// samples of 1, 2, 4, 8 or 16 bits into 8-bit RGBA.
//
// Colours and alpha come out as stored, scaled to 8 bits: unassociated alpha
// is not premultiplied and associated alpha is not divided out, so the same
// picture gives the same texels whatever layout holds it. The first extra
// sample is the alpha, whatever the file calls it, as writers often leave it
// unspecified.
class RVTiffPixelConverter {
public:
    // Whether the photometric interpretation is one this converter reads.
    static bool readsPhotometric(std::uint16_t photometric);

    // The converter for the image libtiff has open, or nothing with the
    // reason its samples cannot be read faithfully.
    static std::optional<RVTiffPixelConverter> forImage(TIFF* tiff, std::string& reason);

    // Converts the first count pixels of one stored row, as libtiff decodes
    // it (16-bit samples in the host's byte order), into count RGBA pixels.
    void convert(const std::uint8_t* row, std::uint32_t count, std::uint8_t* rgba) const;

private:
    RVTiffPixelConverter(std::uint16_t photometric, std::uint16_t bits,
                         std::uint16_t samplesPerPixel, std::uint16_t colourSamples);

    bool readColourMap(TIFF* tiff, std::string& reason);
    std::uint32_t sampleAt(const std::uint8_t* row, std::size_t index) const;
    std::uint8_t toByte(std::uint32_t sample) const;

    std::uint16_t photometric_;
    std::uint16_t bits_;
    std::uint16_t samplesPerPixel_;
    std::uint16_t colourSamples_;
    std::uint32_t largestSample_;
    std::vector<std::array<std::uint8_t, 3>> colourMap_;
};
