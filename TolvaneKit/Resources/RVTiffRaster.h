// Tolvane Kit, resources and containers: a cache of objects loaded by key
// from the resource folder (textures read from TIFF files), the binary,
// splay and child/sibling trees behind it and the figures, and a clock for
// timed transitions. Builds on Platform/core's resource directory, libtiff
// and OpenGL.

#pragma once

#include <cstddef>
#include <cstdint>

// The RGBA texels of a TIFF image as they are shown, bottom row first as
// OpenGL takes them, filled with pixels in the order the file stores them.
//
// The Orientation tag says which side of the shown image the stored first
// row and first column lie on; with values 5 to 8 the stored rows are shown
// as columns, so the shown image is as wide as the stored one is high.
// Unknown values are taken as 1, rows from the top and columns from the left.
class RVTiffRaster {
public:
    RVTiffRaster(std::uint8_t* rgba, std::uint32_t storedWidth, std::uint32_t storedHeight,
                 std::uint16_t orientation);

    static bool showsRowsAsColumns(std::uint16_t orientation);
    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }

    // Puts count RGBA pixels of the stored row, from the stored column on,
    // where they are shown.
    void place(std::uint32_t row, std::uint32_t column, std::uint32_t count,
               const std::uint8_t* pixels);

private:
    std::ptrdiff_t texelIndex(std::uint32_t row, std::uint32_t column) const;
    std::ptrdiff_t columnStep() const;

    std::uint8_t* rgba_;
    std::uint16_t orientation_;
    std::uint32_t width_;
    std::uint32_t height_;
};
