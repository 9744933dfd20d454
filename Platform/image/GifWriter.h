#pragma once

#include "Platform/image/AnimationWriter.h"

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>

struct GifFileType;

namespace Platform {

class SafeFileWriter;

// An animated GIF that loops for ever, written with giflib. Every frame
// uses one fixed palette made for the picture: black, a scale of greys for
// the white circle and its smoothed edges, and fully saturated hues at
// several brightnesses, so each meridian keeps its hue and the smoothed
// edges fade towards black instead of changing colour. Each pixel takes the
// nearest palette colour; there is no dithering, which would shimmer from
// frame to frame.
class GifWriter : public AnimationWriter {
public:
    static constexpr int greyLevels = 16;
    static constexpr int hueSteps = 48;
    static constexpr int brightnessLevels = 5;
    static constexpr int paletteSize = greyLevels + hueSteps * brightnessLevels;
    static_assert(paletteSize == 256, "a GIF palette holds 256 colours");
    using Palette = std::array<std::array<std::uint8_t, 3>, paletteSize>;

    explicit GifWriter(const Settings& settings);
    ~GifWriter() override;

    static const Palette& palette();

    bool addFrame(const std::vector<std::uint8_t>& rgbaTopDown, std::string& errorMessage) override;
    bool finish(std::string& errorMessage) override;

private:
    bool writeHeader();
    std::uint8_t paletteIndex(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
    bool fail(std::string& errorMessage);
    void close();

    Settings settings_;
    std::unique_ptr<SafeFileWriter> file_;
    GifFileType* gif_ = nullptr;
    // Nearest palette entries of the colours met so far: a picture holds few
    // distinct colours, so each is searched for once.
    std::unordered_map<std::uint32_t, std::uint8_t> nearest_;
    std::vector<std::uint8_t> indices_;
};

} // namespace Platform
