#include "TolvaneKit/Resources/RVTiffRaster.h"

#include <tiffio.h>

#include <cstring>

RVTiffRaster::RVTiffRaster(std::uint8_t* rgba, std::uint32_t storedWidth,
                           std::uint32_t storedHeight, std::uint16_t orientation)
    : rgba_(rgba),
      orientation_(orientation >= ORIENTATION_TOPLEFT && orientation <= ORIENTATION_LEFTBOT
                       ? orientation
                       : std::uint16_t(ORIENTATION_TOPLEFT)),
      width_(showsRowsAsColumns(orientation_) ? storedHeight : storedWidth),
      height_(showsRowsAsColumns(orientation_) ? storedWidth : storedHeight) {}

bool RVTiffRaster::showsRowsAsColumns(std::uint16_t orientation) {
    return orientation >= ORIENTATION_LEFTTOP && orientation <= ORIENTATION_LEFTBOT;
}

void RVTiffRaster::place(std::uint32_t row, std::uint32_t column, std::uint32_t count,
                         const std::uint8_t* pixels) {
    if (count == 0)
        return;
    std::ptrdiff_t texel = texelIndex(row, column);
    const std::ptrdiff_t step = columnStep();
    if (step == 1) {
        std::memcpy(rgba_ + 4 * texel, pixels, 4 * std::size_t{count});
        return;
    }
    for (std::uint32_t k = 0; k < count; ++k, texel += step)
        std::memcpy(rgba_ + 4 * texel, pixels + 4 * std::size_t{k}, 4);
}

// Where the stored pixel is shown, counted in texels from the start of the
// bottom row.
std::ptrdiff_t RVTiffRaster::texelIndex(std::uint32_t row, std::uint32_t column) const {
    std::uint32_t x = column, yFromTop = row;
    switch (orientation_) {
    case ORIENTATION_TOPRIGHT:
        x = width_ - 1 - column;
        break;
    case ORIENTATION_BOTRIGHT:
        x = width_ - 1 - column, yFromTop = height_ - 1 - row;
        break;
    case ORIENTATION_BOTLEFT:
        yFromTop = height_ - 1 - row;
        break;
    case ORIENTATION_LEFTTOP:
        x = row, yFromTop = column;
        break;
    case ORIENTATION_RIGHTTOP:
        x = width_ - 1 - row, yFromTop = column;
        break;
    case ORIENTATION_RIGHTBOT:
        x = width_ - 1 - row, yFromTop = height_ - 1 - column;
        break;
    case ORIENTATION_LEFTBOT:
        x = row, yFromTop = height_ - 1 - column;
        break;
    default:
        break;
    }
    const std::uint32_t yFromBottom = height_ - 1 - yFromTop;
    return std::ptrdiff_t(yFromBottom) * std::ptrdiff_t(width_) + std::ptrdiff_t(x);
}

// How far the next stored column lies from the previous one.
std::ptrdiff_t RVTiffRaster::columnStep() const {
    switch (orientation_) {
    case ORIENTATION_TOPRIGHT:
    case ORIENTATION_BOTRIGHT:
        return -1;
    case ORIENTATION_LEFTTOP:
    case ORIENTATION_RIGHTTOP:
        return -std::ptrdiff_t(width_); // shown further down, a row nearer the bottom
    case ORIENTATION_RIGHTBOT:
    case ORIENTATION_LEFTBOT:
        return std::ptrdiff_t(width_);
    default:
        return 1;
    }
}
