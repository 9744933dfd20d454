#include "TolvaneKit/Resources/RVTiffPixelConverter.h"

#include <cstring>

namespace {

std::uint16_t field16(TIFF* tiff, ttag_t tag) {
    std::uint16_t value = 0;
    TIFFGetFieldDefaulted(tiff, tag, &value);
    return value;
}

std::uint16_t colourSamplesOf(std::uint16_t photometric) {
    return photometric == PHOTOMETRIC_RGB ? 3 : 1;
}

bool isSupportedDepth(std::uint16_t bits) {
    return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16;
}

std::uint8_t scaled16To8(std::uint32_t value) {
    return std::uint8_t((value * 255 + 32767) / 65535);
}

} // namespace

bool RVTiffPixelConverter::readsPhotometric(std::uint16_t photometric) {
    return photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK ||
           photometric == PHOTOMETRIC_RGB || photometric == PHOTOMETRIC_PALETTE;
}

std::optional<RVTiffPixelConverter> RVTiffPixelConverter::forImage(TIFF* tiff,
                                                                   std::string& reason) {
    const std::uint16_t photometric = field16(tiff, TIFFTAG_PHOTOMETRIC);
    const std::uint16_t bits = field16(tiff, TIFFTAG_BITSPERSAMPLE);
    const std::uint16_t samples = field16(tiff, TIFFTAG_SAMPLESPERPIXEL);
    const std::uint16_t format = field16(tiff, TIFFTAG_SAMPLEFORMAT);
    if (!readsPhotometric(photometric)) {
        reason = "has colours of photometric interpretation " + std::to_string(photometric);
        return std::nullopt;
    }
    if (format != SAMPLEFORMAT_UINT && format != SAMPLEFORMAT_VOID) {
        reason = "has signed or floating-point samples";
        return std::nullopt;
    }
    if (!isSupportedDepth(bits)) {
        reason = "has " + std::to_string(bits) + "-bit samples; 1, 2, 4, 8 and 16 bits are read";
        return std::nullopt;
    }
    if (samples < colourSamplesOf(photometric)) {
        reason = "has only " + std::to_string(samples) + " samples per pixel for RGB colours";
        return std::nullopt;
    }
    RVTiffPixelConverter converter(photometric, bits, samples, colourSamplesOf(photometric));
    if (photometric == PHOTOMETRIC_PALETTE && !converter.readColourMap(tiff, reason))
        return std::nullopt;
    return converter;
}

RVTiffPixelConverter::RVTiffPixelConverter(std::uint16_t photometric, std::uint16_t bits,
                                           std::uint16_t samplesPerPixel,
                                           std::uint16_t colourSamples)
    : photometric_(photometric), bits_(bits), samplesPerPixel_(samplesPerPixel),
      colourSamples_(colourSamples), largestSample_((std::uint32_t{1} << bits) - 1) {}

// The colour map holds 16-bit values, but some writers store 8-bit ones;
// like other readers, a map without any value above 255 is taken as such.
bool RVTiffPixelConverter::readColourMap(TIFF* tiff, std::string& reason) {
    std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    if (!TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue) {
        reason = "is a palette image without a colour map";
        return false;
    }
    const std::size_t entries = std::size_t{1} << bits_;
    bool eightBit = true;
    for (std::size_t k = 0; k < entries && eightBit; ++k)
        eightBit = red[k] < 256 && green[k] < 256 && blue[k] < 256;
    colourMap_.resize(entries);
    for (std::size_t k = 0; k < entries; ++k) {
        for (int channel = 0; channel < 3; ++channel) {
            const std::uint16_t value = (channel == 0 ? red : channel == 1 ? green : blue)[k];
            colourMap_[k][channel] = eightBit ? std::uint8_t(value) : scaled16To8(value);
        }
    }
    return true;
}

void RVTiffPixelConverter::convert(const std::uint8_t* row, std::uint32_t count,
                                   std::uint8_t* rgba) const {
    const bool hasAlpha = samplesPerPixel_ > colourSamples_;
    for (std::uint32_t pixel = 0; pixel < count; ++pixel, rgba += 4) {
        const std::size_t first = std::size_t{pixel} * samplesPerPixel_;
        const std::uint32_t sample = sampleAt(row, first);
        if (photometric_ == PHOTOMETRIC_PALETTE) {
            std::memcpy(rgba, colourMap_[sample].data(), 3);
        } else if (photometric_ == PHOTOMETRIC_RGB) {
            rgba[0] = toByte(sample);
            rgba[1] = toByte(sampleAt(row, first + 1));
            rgba[2] = toByte(sampleAt(row, first + 2));
        } else {
            const std::uint32_t grey =
                photometric_ == PHOTOMETRIC_MINISWHITE ? largestSample_ - sample : sample;
            rgba[0] = rgba[1] = rgba[2] = toByte(grey);
        }
        rgba[3] = hasAlpha ? toByte(sampleAt(row, first + colourSamples_)) : 255;
    }
}

// Samples narrower than a byte are packed from the most significant bit on;
// libtiff has already put the bits of files filled the other way round in
// this order.
std::uint32_t RVTiffPixelConverter::sampleAt(const std::uint8_t* row, std::size_t index) const {
    switch (bits_) {
    case 8:
        return row[index];
    case 16: {
        std::uint16_t value;
        std::memcpy(&value, row + 2 * index, 2);
        return value;
    }
    default: {
        const std::size_t bit = index * bits_;
        const unsigned shift = 8 - bits_ - unsigned(bit % 8);
        return (row[bit / 8] >> shift) & largestSample_;
    }
    }
}

std::uint8_t RVTiffPixelConverter::toByte(std::uint32_t sample) const {
    if (bits_ == 8)
        return std::uint8_t(sample);
    if (bits_ == 16)
        return scaled16To8(sample);
    return std::uint8_t((sample * 255 + largestSample_ / 2) / largestSample_);
}
