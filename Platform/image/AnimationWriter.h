#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Platform {

// Writes the frames of an animation, all of one size, as one file (an
// animated GIF, an MP4 or WebM video) or as a numbered sequence of PNG
// images. Nothing appears under the final names until finish() succeeds: a
// writer that fails, or is destroyed before finishing, removes everything it
// wrote and leaves files already there as they were.
class AnimationWriter {
public:
    enum class Format { pngSequence, gif, mp4, webm };

    struct Settings {
        std::string path;
        int width = 0;
        int height = 0;
        double framesPerSecond = 25.0;
    };

    virtual ~AnimationWriter();

    // The format a name asks for: a printf-style frame number ("%04d") in a
    // name ending in .png asks for a PNG sequence, otherwise the extension
    // decides (.gif, .mp4, .webm, any case). Nothing for anything else; the
    // reason is in errorMessage.
    static std::optional<Format> formatOf(const std::string& path, std::string& errorMessage);

    // Checks the settings before any frame is drawn: a known format, sizes
    // the format can hold, a rate it can store.
    static bool check(const Settings& settings, std::string& errorMessage);

    // A writer for the format the path asks for, ready for the first frame;
    // null with the reason when the settings are refused or the output
    // cannot be created.
    static std::unique_ptr<AnimationWriter> create(const Settings& settings,
                                                   std::string& errorMessage);

    // Adds one frame: 8-bit RGBA, rows from the top down, width x height.
    virtual bool addFrame(const std::vector<std::uint8_t>& rgbaTopDown,
                          std::string& errorMessage) = 0;
    // Completes the output and moves it to its final names.
    virtual bool finish(std::string& errorMessage) = 0;

    // Whether the output could be prepared when the writer was made;
    // otherwise errorMessage says why.
    bool isReady(std::string& errorMessage) const;

    // Fastest and slowest rates accepted: a GIF counts delays in hundredths
    // of a second, and a video player expects at least one frame a minute.
    static constexpr double minimumFramesPerSecond = 1.0 / 60.0;
    static constexpr double maximumFramesPerSecond = 100.0;

protected:
    // Writers are made by create(); one that cannot prepare its output says
    // why here instead of failing in its constructor.
    void setPreparationError(std::string errorMessage) {
        preparationError_ = std::move(errorMessage);
    }

private:
    std::string preparationError_;
};

} // namespace Platform
