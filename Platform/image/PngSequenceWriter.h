#pragma once

#include "Platform/core/SafeFileWriter.h"
#include "Platform/image/AnimationWriter.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Platform {

// One PNG image per frame, named by a printf-style pattern with one frame
// number: "frames/%04d.png" gives frames/0000.png, frames/0001.png and so
// on ("%%" stands for a percent sign). Each frame is written through
// SafeFileWriter and finished on the disk at once; finish() commits them all,
// so an interrupted run leaves neither partial images nor a partial sequence.
class PngSequenceWriter : public AnimationWriter {
public:
    struct Pattern {
        std::string prefix;
        std::string suffix;
        int width = 0; // minimum digits
        bool zeroPadded = false;
        std::string nameOf(int frame) const;
    };

    explicit PngSequenceWriter(const Settings& settings);
    ~PngSequenceWriter() override;

    // Whether a name holds a conversion at all ("%" other than "%%").
    static bool hasFrameNumber(const std::string& path);
    // The pattern of a name holding exactly one integer conversion, "%d",
    // "%4d" or "%04d"; nothing, with the reason, for anything else ("%s",
    // two numbers), since the name must not be read as a format blindly.
    static std::optional<Pattern> parsePattern(const std::string& path, std::string& errorMessage);

    bool addFrame(const std::vector<std::uint8_t>& rgbaTopDown, std::string& errorMessage) override;
    bool finish(std::string& errorMessage) override;

private:
    Settings settings_;
    Pattern pattern_;
    // The frames written so far, waiting for their rename.
    std::vector<std::unique_ptr<SafeFileWriter>> written_;
};

} // namespace Platform
