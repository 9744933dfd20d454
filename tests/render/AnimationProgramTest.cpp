// vexmira-render's animations read back with the libraries players use: libpng, giflib,
// libavformat.

#include "Platform/core/ChildProcess.h"
#include "Platform/image/PngReader.h"
#include "support/ProgramRun.h"

#include <gif_lib.h>
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <limits>

using VexmiraTest::TemporaryFolder;

namespace {

const std::string view =
    "--size 160x120 --elevation 75 --azimuth 20 --meridians 24 --resolution 20";

int render(const std::string& arguments, const std::string& path) {
    return VexmiraTest::runRender(arguments + " -o " + VexmiraTest::quoted(path)).status;
}

using Rgb = std::array<int, 3>;

struct GifContents {
    int frames = 0, delay = -1; // the first frame's delay, in hundredths of a second
    bool loopsForEver = false;
    std::vector<Rgb> palette, firstFrame; // the colour of each of the first frame's pixels
};

GifContents readGif(const std::string& path) {
    GifContents contents;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) {
        ADD_FAILURE() << "giflib cannot read " << path;
        DGifCloseFile(gif, &error);
        return contents;
    }
    contents.frames = gif->ImageCount;
    for (int i = 0; gif->SColorMap && i < gif->SColorMap->ColorCount; ++i) {
        const GifColorType& c = gif->SColorMap->Colors[i];
        contents.palette.push_back({c.Red, c.Green, c.Blue});
    }
    const SavedImage& first = gif->SavedImages[0];
    // The loop count follows the application block NETSCAPE2.0 as sub-block 1, count 0 (ever).
    for (int e = 0; e + 1 < first.ExtensionBlockCount; ++e) {
        const ExtensionBlock &block = first.ExtensionBlocks[e],
                             &loop = first.ExtensionBlocks[e + 1];
        if (block.Function == APPLICATION_EXT_FUNC_CODE &&
            std::string(reinterpret_cast<char*>(block.Bytes), block.ByteCount) == "NETSCAPE2.0")
            contents.loopsForEver = std::string(reinterpret_cast<char*>(loop.Bytes),
                                                loop.ByteCount) == std::string("\1\0\0", 3);
    }
    GraphicsControlBlock control{};
    if (DGifSavedExtensionToGCB(gif, 0, &control) == GIF_OK)
        contents.delay = control.DelayTime;
    for (int i = 0; i < first.ImageDesc.Width * first.ImageDesc.Height; ++i)
        contents.firstFrame.push_back(contents.palette.at(first.RasterBits[i]));
    DGifCloseFile(gif, &error);
    return contents;
}

struct VideoContents {
    std::string codec;
    AVRational rate{0, 1};
    int frames = 0, width = 0, height = 0;
};

// Decodes every frame of the file's video stream.
VideoContents readVideo(const std::string& path) {
    VideoContents contents;
    AVFormatContext* format = nullptr;
    const AVCodec* decoder = nullptr;
    int index = -1;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(format, nullptr) < 0 ||
        (index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0)) < 0) {
        ADD_FAILURE() << "libavformat finds no video in " << path;
        avformat_close_input(&format);
        return contents;
    }
    const AVCodecParameters& stream = *format->streams[index]->codecpar;
    contents = {avcodec_get_name(stream.codec_id), format->streams[index]->avg_frame_rate, 0,
                stream.width, stream.height};
    AVCodecContext* context = avcodec_alloc_context3(decoder);
    avcodec_parameters_to_context(context, &stream);
    avcodec_open2(context, decoder, nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    for (bool more = true; more;) {
        more = av_read_frame(format, packet) >= 0; // at the end, a null packet drains the decoder
        if (!more || packet->stream_index == index)
            avcodec_send_packet(context, more ? packet : nullptr);
        av_packet_unref(packet);
        while (avcodec_receive_frame(context, frame) == 0)
            ++contents.frames;
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&context);
    avformat_close_input(&format);
    return contents;
}

int squaredDistance(const std::uint8_t* a, const Rgb& b) {
    return (a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
           (a[2] - b[2]) * (a[2] - b[2]);
}

} // namespace

// A sequence whose first frame is the plain picture at FROM, and the same frames as a GIF and
// videos.
TEST(AnimationProgram, FramesGoToNumberedPngsALoopingGifAndVideosOfTheAskedRate) {
    TemporaryFolder output;
    std::filesystem::create_directory(output.file("frames"));
    const std::string animate =
        view + " --animate blowup=0.2:1.4 --animate azimuth=20:60 --frames 5";
    ASSERT_EQ(render(animate, output.file("frames/f%03d.png")), 0);
    std::vector<Platform::PngImage> frames;
    for (int k = 0; k < 5; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "frames/f%03d.png", k);
        frames.push_back(Platform::readPngFile(output.file(name)).value_or(Platform::PngImage{}));
        ASSERT_EQ(frames.back().width, 160) << name;
        for (int earlier = 0; earlier < k; ++earlier)
            EXPECT_NE(frames[earlier].rgba, frames[k].rgba) << earlier << " and " << k;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(output.file("frames")), {}), 5);
    ASSERT_EQ(render(view + " --blowup 0.2", output.file("plain.png")), 0);
    EXPECT_EQ(Platform::readPngFile(output.file("plain.png"))->rgba, frames[0].rgba);

    ASSERT_EQ(render(animate + " --fps 20", output.file("loop.gif")), 0);
    const GifContents gif = readGif(output.file("loop.gif"));
    EXPECT_EQ(gif.frames, 5);
    EXPECT_TRUE(gif.loopsForEver);
    EXPECT_EQ(gif.delay, 100 / 20);
    // Each pixel shows the palette colour nearest to the picture's (up to a tie).
    const std::vector<std::uint8_t>& expected = frames[0].rgba;
    ASSERT_EQ(gif.firstFrame.size() * 4, expected.size());
    int farther = 0, coloured = 0;
    for (std::size_t i = 0; i < gif.firstFrame.size(); ++i) {
        int nearest = std::numeric_limits<int>::max();
        for (const Rgb& colour : gif.palette)
            nearest = std::min(nearest, squaredDistance(&expected[4 * i], colour));
        farther += squaredDistance(&expected[4 * i], gif.firstFrame[i]) > nearest;
        coloured += gif.firstFrame[i] != Rgb{0, 0, 0};
    }
    EXPECT_EQ(farther, 0);
    EXPECT_GT(coloured, 500);

    for (auto [name, codec] : {std::pair{"film.mp4", "h264"}, std::pair{"film.webm", "vp9"}}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(render(animate + " --fps 12", output.file(name)), 0);
        const VideoContents video = readVideo(output.file(name));
        EXPECT_EQ(video.codec, codec);
        EXPECT_EQ(video.frames, 5);
        EXPECT_EQ(av_cmp_q(video.rate, AVRational{12, 1}), 0)
            << video.rate.num << "/" << video.rate.den;
        EXPECT_EQ(std::pair(video.width, video.height), std::pair(160, 120));
    }
    EXPECT_EQ(output.entryCount(), 5u) << "no temporary file stays behind";
}

// Stopped once it reports its first frame, each kind of output is removed.
TEST(AnimationProgram, InterruptedRunsExitWithStatusTwoAndLeaveNoFile) {
    TemporaryFolder output;
    for (const char* name : {"%03d.png", "long.gif", "long.webm"}) {
        SCOPED_TRACE(name);
        Platform::ChildProcess child;
        std::string error;
        ASSERT_TRUE(child.start(VEXMIRA_RENDER_PROGRAM,
                                {"--size", "320x240", "--animate", "azimuth=0:360", "--frames",
                                 "10000", "--progress", "-o", output.file(name)},
                                error))
            << error;
        while (child.standardError().find('\n') == std::string::npos && !child.waitFor(50)) {
        }
        child.terminate();
        EXPECT_THAT(child.standardError(), ::testing::StartsWith("frame 1 of 10000, "));
        EXPECT_THAT(child.standardError(), ::testing::HasSubstr("interrupted"));
        EXPECT_EQ(child.exitStatus(), 2);
        EXPECT_EQ(output.entryCount(), 0u);
    }
}
