#pragma once

#include "Platform/image/AnimationWriter.h"

#include <memory>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwsContext;

namespace Platform {

class SafeFileWriter;

// A video through FFmpeg's libraries: H.264 (libx264) in an MP4 file, or
// VP9 (libvpx) in a WebM file, at a constant frame rate. The RGBA frames
// are converted to the 4:2:0 colour the players expect with libswscale. The
// MP4's index is placed at the front, so a slide can start the film before
// it has been read whole.
class VideoWriter : public AnimationWriter {
public:
    enum class Codec { h264, vp9 };

    VideoWriter(const Settings& settings, Codec codec);
    ~VideoWriter() override;

    bool addFrame(const std::vector<std::uint8_t>& rgbaTopDown, std::string& errorMessage) override;
    bool finish(std::string& errorMessage) override;

private:
    std::string prepare(Codec codec);
    std::string openEncoder(Codec codec);
    // Sends a frame (null: the end) to the encoder and writes what comes out.
    bool encode(AVFrame* frame, std::string& errorMessage);
    void release();

    Settings settings_;
    std::unique_ptr<SafeFileWriter> file_;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* encoder_ = nullptr;
    AVStream* stream_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    SwsContext* converter_ = nullptr;
    long long framesSent_ = 0;
};

} // namespace Platform
