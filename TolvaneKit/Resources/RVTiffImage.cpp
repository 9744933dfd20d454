#include "TolvaneKit/Resources/RVTiffImage.h"

#include "Platform/core/MallocArray.h"
#include "TolvaneKit/Resources/RVTiffFileBytes.h"
#include "TolvaneKit/Resources/RVTiffPixelConverter.h"
#include "TolvaneKit/Resources/RVTiffRaster.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// No single buffer libtiff sets aside for a strip or tile may exceed this,
// whatever sizes a damaged file declares.
constexpr tmsize_t largestLibtiffAllocation = tmsize_t{1} << 30;

// Real tiles are a few hundred pixels wide; a declared tile larger than this
// would only cost memory, and a few bytes of a damaged file can declare it.
constexpr std::uint64_t largestTileBytes = std::uint64_t{64} << 20;

// The whole image as libtiff's conversion packs it, four bytes a pixel, for
// the largest texture any OpenGL implementation here accepts.
constexpr std::uint64_t largestRasterBytes = std::uint64_t{1} << 30;

using Buffer = Platform::MallocArray<std::uint8_t>;

// Null when the size is 0, beyond the limit or not to be had.
Buffer allocate(std::uint64_t bytes, std::uint64_t limit) {
    if (bytes == 0 || bytes > limit)
        return nullptr;
    return Buffer(static_cast<std::uint8_t*>(std::malloc(std::size_t(bytes))));
}

// libtiff's errors are kept as the latest message of the image; returning 1
// keeps them from its process-wide handlers too.
int keepMessage(TIFF*, void* message, const char*, const char* format, va_list arguments) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    *static_cast<std::string*>(message) = text;
    return 1;
}

int ignoreMessage(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

std::uint16_t field16(TIFF* tiff, ttag_t tag) {
    std::uint16_t value = 0;
    TIFFGetFieldDefaulted(tiff, tag, &value);
    return value;
}

// libtiff packs each pixel of its conversion into one word; spelt out as
// bytes the result does not depend on the host's byte order.
void unpackWords(const std::uint8_t* words, std::uint32_t count, std::uint8_t* rgba) {
    for (std::uint32_t k = 0; k < count; ++k, rgba += 4) {
        std::uint32_t packed;
        std::memcpy(&packed, words + 4 * std::size_t{k}, 4);
        rgba[0] = std::uint8_t(TIFFGetR(packed));
        rgba[1] = std::uint8_t(TIFFGetG(packed));
        rgba[2] = std::uint8_t(TIFFGetB(packed));
        rgba[3] = std::uint8_t(TIFFGetA(packed));
    }
}

} // namespace

RVTiffImage::RVTiffImage(const std::string& path) {
    file_ = RVTiffFileBytes::read(path, failureReason_);
    if (!file_)
        return;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options == nullptr) {
        fail("does not fit into memory");
        return;
    }
    TIFFOpenOptionsSetErrorHandlerExtR(options, keepMessage, &libtiffMessage_);
    TIFFOpenOptionsSetWarningHandlerExtR(options, ignoreMessage, nullptr);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, largestLibtiffAllocation);
    tiff_ = file_->open(path, options);
    TIFFOpenOptionsFree(options);
    if (tiff_ == nullptr) {
        fail("is not a TIFF image libtiff reads" + libtiffSays());
        return;
    }
    describe();
}

RVTiffImage::~RVTiffImage() {
    if (tiff_ != nullptr)
        TIFFClose(tiff_);
}

void RVTiffImage::describe() {
    TIFFGetField(tiff_, TIFFTAG_IMAGEWIDTH, &storedWidth_);
    TIFFGetField(tiff_, TIFFTAG_IMAGELENGTH, &storedHeight_);
    orientation_ = field16(tiff_, TIFFTAG_ORIENTATION);
    const bool turned = RVTiffRaster::showsRowsAsColumns(orientation_);
    width_ = turned ? storedHeight_ : storedWidth_;
    height_ = turned ? storedWidth_ : storedHeight_;
    planar_ = field16(tiff_, TIFFTAG_PLANARCONFIG) == PLANARCONFIG_SEPARATE &&
              field16(tiff_, TIFFTAG_SAMPLESPERPIXEL) > 1;
}

bool RVTiffImage::readRgbaBottomUp(std::uint8_t* rgba) {
    if (!isOpen())
        return false;
    if (isPlanar())
        return fail("has its samples in separate planes, one per channel");
    if (width_ == 0 || height_ == 0)
        return fail("has no pixels");
    libtiffMessage_.clear(); // what opening said is no reason for a failure now
    RVTiffRaster raster(rgba, storedWidth_, storedHeight_, orientation_);
    if (!RVTiffPixelConverter::readsPhotometric(field16(tiff_, TIFFTAG_PHOTOMETRIC)))
        return readThroughLibtiffConversion(raster);
    const auto converter = RVTiffPixelConverter::forImage(tiff_, failureReason_);
    if (!converter)
        return false;
    return TIFFIsTiled(tiff_) ? readTiles(*converter, raster) : readRows(*converter, raster);
}

bool RVTiffImage::readRows(const RVTiffPixelConverter& converter, RVTiffRaster& raster) {
    const Buffer row = allocate(TIFFScanlineSize64(tiff_), largestTileBytes);
    const Buffer pixels = allocate(4 * std::uint64_t{storedWidth_}, largestRasterBytes);
    if (!row || !pixels)
        return fail("has rows too long for memory");
    // Rows in their order, as compressed strips can only be read.
    for (std::uint32_t y = 0; y < storedHeight_; ++y) {
        if (TIFFReadScanline(tiff_, row.get(), y, 0) < 0)
            return fail("cannot be decoded at row " + std::to_string(y) + libtiffSays());
        converter.convert(row.get(), storedWidth_, pixels.get());
        raster.place(y, 0, storedWidth_, pixels.get());
    }
    return true;
}

bool RVTiffImage::readTiles(const RVTiffPixelConverter& converter, RVTiffRaster& raster) {
    std::uint32_t tileWidth = 0, tileLength = 0;
    TIFFGetField(tiff_, TIFFTAG_TILEWIDTH, &tileWidth);
    TIFFGetField(tiff_, TIFFTAG_TILELENGTH, &tileLength);
    const std::uint64_t tileBytes = TIFFTileSize64(tiff_), rowBytes = TIFFTileRowSize64(tiff_);
    const Buffer tile = allocate(tileBytes, largestTileBytes);
    const Buffer pixels = allocate(4 * std::uint64_t{tileWidth}, largestTileBytes);
    if (tileWidth == 0 || tileLength == 0 || !tile || !pixels)
        return fail("has tiles of " + std::to_string(tileWidth) + " x " +
                    std::to_string(tileLength) + " pixels, which are not read");
    for (std::uint64_t y = 0; y < storedHeight_; y += tileLength) {
        for (std::uint64_t x = 0; x < storedWidth_; x += tileWidth) {
            const tmsize_t got =
                TIFFReadTile(tiff_, tile.get(), std::uint32_t(x), std::uint32_t(y), 0, 0);
            const auto rows = std::uint32_t(std::min<std::uint64_t>(tileLength, storedHeight_ - y));
            const auto columns =
                std::uint32_t(std::min<std::uint64_t>(tileWidth, storedWidth_ - x));
            if (got < 0 || std::uint64_t(got) < rows * rowBytes)
                return fail("cannot be decoded in the tile at column " + std::to_string(x) +
                            ", row " + std::to_string(y) + libtiffSays());
            for (std::uint32_t row = 0; row < rows; ++row) {
                converter.convert(tile.get() + row * rowBytes, columns, pixels.get());
                raster.place(std::uint32_t(y) + row, std::uint32_t(x), columns, pixels.get());
            }
        }
    }
    return true;
}

// libtiff's conversion knows more colour spaces, but premultiplies
// unassociated alpha and drops the alpha of some of them: images with extra
// samples are refused rather than shown differently from other readers.
bool RVTiffImage::readThroughLibtiffConversion(RVTiffRaster& raster) {
    std::uint16_t extraSamples = 0;
    std::uint16_t* extraKinds = nullptr;
    if (TIFFGetField(tiff_, TIFFTAG_EXTRASAMPLES, &extraSamples, &extraKinds) && extraSamples > 0)
        return fail("has alpha or other extra samples with colours of photometric "
                    "interpretation " +
                    std::to_string(field16(tiff_, TIFFTAG_PHOTOMETRIC)) +
                    ", which are read only without them");
    char message[1024] = "";
    TIFFRGBAImage image{};
    if (!TIFFRGBAImageOK(tiff_, message) || !TIFFRGBAImageBegin(&image, tiff_, 1, message))
        return fail(std::string("has a layout libtiff does not convert (") + message + ")");
    // Rows as stored: the raster places them as the Orientation tag says,
    // the quarter turns included, which libtiff's conversion leaves out.
    image.orientation = image.req_orientation = ORIENTATION_TOPLEFT;
    const Buffer words =
        allocate(4 * std::uint64_t{storedWidth_} * storedHeight_, largestRasterBytes);
    const Buffer pixels = allocate(4 * std::uint64_t{storedWidth_}, largestRasterBytes);
    const bool converted = words && pixels &&
                           TIFFRGBAImageGet(&image, reinterpret_cast<std::uint32_t*>(words.get()),
                                            storedWidth_, storedHeight_);
    TIFFRGBAImageEnd(&image);
    if (!words || !pixels)
        return fail("does not fit into memory");
    if (!converted)
        return fail("cannot be decoded" + libtiffSays());
    for (std::uint32_t y = 0; y < storedHeight_; ++y) {
        unpackWords(words.get() + 4 * std::size_t{storedWidth_} * y, storedWidth_, pixels.get());
        raster.place(y, 0, storedWidth_, pixels.get());
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

bool RVTiffImage::fail(std::string reason) {
    failureReason_ = std::move(reason);
    return false;
}

std::string RVTiffImage::libtiffSays() const {
    return libtiffMessage_.empty() ? std::string() : " (" + libtiffMessage_ + ")";
}
