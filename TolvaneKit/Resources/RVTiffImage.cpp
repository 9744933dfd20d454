#include "TolvaneKit/Resources/RVTiffImage.h"

#include <tiffio.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstring>

namespace {

// libtiff reports through these instead of printing; returning 1 keeps the
// message from its process-wide handlers too.
int ignoreMessage(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

// No single buffer libtiff sets aside for a strip or tile may exceed this,
// whatever sizes a damaged file declares.
constexpr tmsize_t largestLibtiffAllocation = tmsize_t{1} << 30;

// A descriptor for reading the regular file at path, or -1. Opening does not
// wait, so a named pipe or a device in place of the image cannot stop the
// program; anything but a regular file is refused.
int openRegularFile(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return -1;
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return -1;
    }
    return descriptor;
}

TIFF* openQuietly(const std::string& path) {
    const int descriptor = openRegularFile(path);
    if (descriptor < 0)
        return nullptr;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options == nullptr) {
        ::close(descriptor);
        return nullptr;
    }
    TIFFOpenOptionsSetErrorHandlerExtR(options, ignoreMessage, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, ignoreMessage, nullptr);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, largestLibtiffAllocation);
    // "m": read with plain reads, not a memory map, so a file cut short
    // while it is read gives an error rather than a bus error. TIFFClose
    // closes the descriptor; a failed open leaves it to us.
    TIFF* tiff = TIFFFdOpenExt(descriptor, path.c_str(), "rm", options);
    TIFFOpenOptionsFree(options);
    if (tiff == nullptr)
        ::close(descriptor);
    return tiff;
}

std::uint16_t field16(TIFF* tiff, ttag_t tag) {
    std::uint16_t value = 0;
    TIFFGetFieldDefaulted(tiff, tag, &value);
    return value;
}

} // namespace

RVTiffImage::RVTiffImage(const std::string& path) : tiff_(openQuietly(path)) {
    if (tiff_ == nullptr)
        return;
    TIFFGetField(tiff_, TIFFTAG_IMAGEWIDTH, &width_);
    TIFFGetField(tiff_, TIFFTAG_IMAGELENGTH, &height_);
    planar_ = field16(tiff_, TIFFTAG_PLANARCONFIG) == PLANARCONFIG_SEPARATE &&
              field16(tiff_, TIFFTAG_SAMPLESPERPIXEL) > 1;
}

RVTiffImage::~RVTiffImage() {
    if (tiff_ != nullptr)
        TIFFClose(tiff_);
}

bool RVTiffImage::readRgbaBottomUp(std::uint8_t* rgba) {
    if (!isOpen() || isPlanar() || width_ == 0 || height_ == 0)
        return false;
    return isInterleavedRgba8() ? copyRgba8Rows(rgba) : convertToRgba8(rgba);
}

bool RVTiffImage::isInterleavedRgba8() const {
    return field16(tiff_, TIFFTAG_PHOTOMETRIC) == PHOTOMETRIC_RGB &&
           field16(tiff_, TIFFTAG_SAMPLESPERPIXEL) == 4 &&
           field16(tiff_, TIFFTAG_BITSPERSAMPLE) == 8 &&
           field16(tiff_, TIFFTAG_SAMPLEFORMAT) == SAMPLEFORMAT_UINT &&
           field16(tiff_, TIFFTAG_ORIENTATION) == ORIENTATION_TOPLEFT && !TIFFIsTiled(tiff_) &&
           TIFFScanlineSize64(tiff_) == 4 * std::uint64_t{width_};
}

// The rows as stored, without the premultiplication libtiff's RGBA
// conversion would apply to unassociated alpha.
bool RVTiffImage::copyRgba8Rows(std::uint8_t* rgba) {
    const std::size_t rowBytes = 4 * std::size_t{width_};
    for (std::uint32_t row = 0; row < height_; ++row) {
        std::uint8_t* destination = rgba + rowBytes * (height_ - 1 - row);
        if (TIFFReadScanline(tiff_, destination, row, 0) < 0)
            return false;
    }
    return true;
}

bool RVTiffImage::convertToRgba8(std::uint8_t* rgba) {
    char message[1024] = "";
    if (!TIFFRGBAImageOK(tiff_, message))
        return false;
    auto* raster = reinterpret_cast<std::uint32_t*>(rgba);
    // Stop at the first damaged strip rather than upload a partial picture.
    if (!TIFFReadRGBAImageOriented(tiff_, width_, height_, raster, ORIENTATION_BOTLEFT, 1))
        return false;
    // libtiff packs each pixel into one word; spell it out as bytes so the
    // result does not depend on the host's byte order.
    const std::size_t pixels = std::size_t{width_} * height_;
    for (std::size_t k = 0; k < pixels; ++k) {
        std::uint32_t packed;
        std::memcpy(&packed, rgba + 4 * k, 4);
        const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(TIFFGetR(packed)),
                                       static_cast<std::uint8_t>(TIFFGetG(packed)),
                                       static_cast<std::uint8_t>(TIFFGetB(packed)),
                                       static_cast<std::uint8_t>(TIFFGetA(packed))};
        std::memcpy(rgba + 4 * k, bytes, 4);
    }
    return true;
}

std::string RVTiffImage::libraryVersion() {
    // TIFFGetVersion() reads "LIBTIFF, Version 4.5.0" and a copyright below.
    std::string text = TIFFGetVersion();
    text = text.substr(0, text.find('\n'));
    const std::string label = "Version ";
    const auto found = text.find(label);
    return "libtiff " + (found == std::string::npos ? text : text.substr(found + label.size()));
}
