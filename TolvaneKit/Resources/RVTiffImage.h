// Tolvane Kit, resources and containers: a cache of objects loaded by key
// from the resource folder (textures read from TIFF files), the binary,
// splay and child/sibling trees behind it and the figures, and a clock for
// timed transitions. Builds on Platform/core's resource directory, libtiff
// and OpenGL.

#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct tiff;
class RVTiffFileBytes;
class RVTiffPixelConverter;
class RVTiffRaster;

// The first image of a TIFF file, decoded on request into 8-bit RGBA as it
// is shown.
//
// Opening reads the file and the image's description, so its size can be
// checked before any pixel memory is set aside. libtiff's warnings and
// errors are kept off standard error; what went wrong is told by
// failureReason() instead.
class RVTiffImage {
public:
    explicit RVTiffImage(const std::string& path);
    ~RVTiffImage();
    RVTiffImage(const RVTiffImage&) = delete;
    RVTiffImage& operator=(const RVTiffImage&) = delete;

    // "libtiff" and the version of the library in use.
    static std::string libraryVersion();

    bool isOpen() const { return tiff_ != nullptr; }
    // The size as shown, which the Orientation tag may turn by a quarter.
    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }

    // Several samples per pixel stored as separate planes, one per channel.
    bool isPlanar() const { return planar_; }

    // Writes width() x height() pixels of 4 bytes (red, green, blue, alpha)
    // into rgba, the shown image's bottom row first as OpenGL expects them.
    // Grey, RGB and palette images of 1 to 16 bits keep their colours and
    // alpha exactly as stored; other colour spaces libtiff converts (YCbCr,
    // CMYK, ...) are read when they have no alpha, which libtiff's
    // conversion would premultiply or drop. Planar images are refused.
    bool readRgbaBottomUp(std::uint8_t* rgba);

    // Why the file could not be opened or its image not be read: a clause
    // to follow the file's name ("is not a regular file"); empty while
    // nothing failed.
    const std::string& failureReason() const { return failureReason_; }

private:
    void describe();
    bool fail(std::string reason);
    bool readRows(const RVTiffPixelConverter& converter, RVTiffRaster& raster);
    bool readTiles(const RVTiffPixelConverter& converter, RVTiffRaster& raster);
    bool readThroughLibtiffConversion(RVTiffRaster& raster);
    std::string libtiffSays() const;

    std::unique_ptr<RVTiffFileBytes> file_;
    tiff* tiff_ = nullptr;
    std::uint32_t storedWidth_ = 0;
    std::uint32_t storedHeight_ = 0;
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::uint16_t orientation_ = 1;
    bool planar_ = false;
    std::string libtiffMessage_;
    std::string failureReason_;
};
