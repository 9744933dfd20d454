#include "Platform/image/GifWriter.h"

#include "Platform/core/SafeFileWriter.h"

#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace Platform {

namespace {

// giflib writes through this function into the temporary file's stream.
int writeToStream(GifFileType* gif, const GifByteType* bytes, int count) {
    auto* stream = static_cast<std::FILE*>(gif->UserData);
    return static_cast<int>(std::fwrite(bytes, 1, static_cast<std::size_t>(count), stream));
}

std::array<std::uint8_t, 3> hueColour(double hue, double brightness) {
    // The sectors of the colour wheel as the picture's meridians are coloured:
    // one channel full, one rising or falling, one off.
    const double h = hue / 60.0;
    const int sector = static_cast<int>(std::floor(h)) % 6;
    const double f = h - std::floor(h), q = 1.0 - f;
    const double rgb[6][3] = {{1, f, 0}, {q, 1, 0}, {0, 1, f}, {0, q, 1}, {f, 0, 1}, {1, 0, q}};
    std::array<std::uint8_t, 3> colour{};
    for (int c = 0; c < 3; ++c)
        colour[c] = static_cast<std::uint8_t>(std::lround(rgb[sector][c] * brightness * 255.0));
    return colour;
}

// Centiseconds between frames, GIF's unit; players treat 0 and 1 as "as fast
// as you like", so 2 is the shortest honest delay.
int frameDelay(double framesPerSecond) {
    const long delay = std::lround(100.0 / framesPerSecond);
    return static_cast<int>(std::clamp(delay, 2L, 65535L));
}

} // namespace

const GifWriter::Palette& GifWriter::palette() {
    static const Palette palette = [] {
        Palette colours{};
        int index = 0;
        for (int level = 0; level < greyLevels; ++level) {
            const auto grey = static_cast<std::uint8_t>(level * 255 / (greyLevels - 1));
            colours[index++] = {grey, grey, grey};
        }
        for (int level = brightnessLevels; level >= 1; --level)
            for (int step = 0; step < hueSteps; ++step)
                colours[index++] = hueColour(360.0 * step / hueSteps,
                                             static_cast<double>(level) / brightnessLevels);
        return colours;
    }();
    return palette;
}

GifWriter::GifWriter(const Settings& settings)
    : settings_(settings), file_(std::make_unique<SafeFileWriter>(settings.path)) {
    if (!file_->isOpen() || !file_->stream()) {
        setPreparationError("cannot write " + settings.path + ": " + file_->error());
        return;
    }
    int error = 0;
    gif_ = EGifOpen(file_->stream(), writeToStream, &error);
    if (!gif_ || !writeHeader())
        setPreparationError(std::string("cannot start the GIF image ") + settings.path + ": " +
                            GifErrorString(gif_ ? gif_->Error : error));
}

GifWriter::~GifWriter() {
    close();
}

void GifWriter::close() {
    if (gif_) {
        int error = 0;
        EGifCloseFile(gif_, &error);
        gif_ = nullptr;
    }
}

bool GifWriter::writeHeader() {
    GifColorType colours[paletteSize];
    for (int i = 0; i < paletteSize; ++i)
        colours[i] = {palette()[i][0], palette()[i][1], palette()[i][2]};
    ColorMapObject* map = GifMakeMapObject(paletteSize, colours);
    if (!map)
        return false;
    EGifSetGifVersion(gif_, true);
    const bool described =
        EGifPutScreenDesc(gif_, settings_.width, settings_.height, 8, 0, map) == GIF_OK;
    GifFreeMapObject(map);
    if (!described)
        return false;
    // The Netscape extension with a loop count of 0: play for ever.
    static const GifByteType application[] = "NETSCAPE2.0";
    static const GifByteType loopForEver[] = {1, 0, 0};
    return EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif_, 11, application) == GIF_OK &&
           EGifPutExtensionBlock(gif_, 3, loopForEver) == GIF_OK &&
           EGifPutExtensionTrailer(gif_) == GIF_OK;
}

std::uint8_t GifWriter::paletteIndex(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    const std::uint32_t key = (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue;
    if (const auto found = nearest_.find(key); found != nearest_.end())
        return found->second;
    int best = 0, bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < paletteSize; ++i) {
        const int dr = red - palette()[i][0], dg = green - palette()[i][1],
                  db = blue - palette()[i][2];
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance)
            best = i, bestDistance = distance;
    }
    nearest_.emplace(key, static_cast<std::uint8_t>(best));
    return static_cast<std::uint8_t>(best);
}

bool GifWriter::addFrame(const std::vector<std::uint8_t>& rgbaTopDown, std::string& errorMessage) {
    const std::size_t pixels =
        static_cast<std::size_t>(settings_.width) * static_cast<std::size_t>(settings_.height);
    if (!gif_ || rgbaTopDown.size() != pixels * 4) {
        errorMessage = "a frame does not hold " + std::to_string(settings_.width) + "x" +
                       std::to_string(settings_.height) + " RGBA pixels";
        return false;
    }
    indices_.resize(pixels);
    for (std::size_t i = 0; i < pixels; ++i)
        indices_[i] =
            paletteIndex(rgbaTopDown[4 * i], rgbaTopDown[4 * i + 1], rgbaTopDown[4 * i + 2]);

    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.DelayTime = frameDelay(settings_.framesPerSecond);
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    bool written =
        EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK &&
        EGifPutImageDesc(gif_, 0, 0, settings_.width, settings_.height, false, nullptr) == GIF_OK;
    for (int row = 0; written && row < settings_.height; ++row)
        written =
            EGifPutLine(gif_, indices_.data() + static_cast<std::size_t>(row) * settings_.width,
                        settings_.width) == GIF_OK;
    return written || fail(errorMessage);
}

bool GifWriter::fail(std::string& errorMessage) {
    errorMessage = std::string("cannot write the GIF image ") + settings_.path + ": " +
                   (gif_ ? GifErrorString(gif_->Error) : "it is closed");
    return false;
}

bool GifWriter::finish(std::string& errorMessage) {
    if (!gif_)
        return fail(errorMessage);
    int error = 0;
    const bool closed = EGifCloseFile(gif_, &error) == GIF_OK;
    gif_ = nullptr;
    if (!closed) {
        errorMessage = std::string("cannot finish the GIF image ") + settings_.path + ": " +
                       GifErrorString(error);
        return false;
    }
    return file_->commit(errorMessage);
}

} // namespace Platform
