// Tolvane Kit, resources and containers: a cache of objects loaded by key
// from the resource folder (textures read from TIFF files), the binary,
// splay and child/sibling trees behind it and the figures, and a clock for
// timed transitions. Builds on Platform/core's resource directory, libtiff
// and OpenGL.

#pragma once

#include <cstdint>
#include <string>

struct tiff;

// The first image of a TIFF file, decoded on request into 8-bit RGBA.
//
// Opening reads only the image's description, so its size can be checked
// before any pixel memory is set aside. libtiff's warnings and errors are
// kept off standard error: a file that cannot be read is simply not open.
class RVTiffImage {
public:
    explicit RVTiffImage(const std::string& path);
    ~RVTiffImage();
    RVTiffImage(const RVTiffImage&) = delete;
    RVTiffImage& operator=(const RVTiffImage&) = delete;

    // "libtiff" and the version of the library in use.
    static std::string libraryVersion();

    bool isOpen() const { return tiff_ != nullptr; }
    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }

    // Several samples per pixel stored as separate planes, one per channel.
    bool isPlanar() const { return planar_; }

    // Writes width() x height() pixels of 4 bytes (red, green, blue, alpha)
    // into rgba, the image's bottom row first as OpenGL expects them.
    // Interleaved 8-bit RGBA is copied as it is; every other layout libtiff
    // understands (RGB, grey, palette, 16-bit samples, tiles, ...) is
    // converted. Planar images are refused.
    bool readRgbaBottomUp(std::uint8_t* rgba);

private:
    bool isInterleavedRgba8() const;
    bool copyRgba8Rows(std::uint8_t* rgba);
    bool convertToRgba8(std::uint8_t* rgba);

    tiff* tiff_ = nullptr;
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    bool planar_ = false;
};
