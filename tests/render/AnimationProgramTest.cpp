// vexmira-render's animations read back with the libraries players use: libpng, giflib,
// libavformat.

#include "Platform/image/PngReader.h"
#include "support/TemporaryFolder.h"

#include <gif_lib.h>
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <limits>
#include <sys/wait.h>
#include <unistd.h>

using VexmiraTest::TemporaryFolder;

namespace {

const std::string view =
    "--size 160x120 --elevation 75 --azimuth 20 --meridians 24 --resolution 20";

// Runs vexmira-render without a display; returns its exit status (-1: it did not exit).
int render(const std::string& arguments, std::string* standardError = nullptr) {
    TemporaryFolder captures;
    const std::string err = captures.file("err");
    const int raw = std::system(("env -u DISPLAY '" VEXMIRA_RENDER_PROGRAM "' " + arguments +
                                 " </dev/null >/dev/null 2>'" + err + "'")
                                    .c_str());
    if (standardError)
        *standardError = TemporaryFolder::read(err);
    return raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

struct GifContents {
    int frames = 0;
    bool loopsForEver = false;
    int delay = -1; // of the first frame, in hundredths of a second
    std::vector<std::uint8_t> firstFrameRgb;
    std::vector<std::array<int, 3>> palette;
};

GifContents readGif(const std::string& path) {
    GifContents contents;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) {
        ADD_FAILURE() << "giflib cannot read " << path;
        if (gif)
            DGifCloseFile(gif, &error);
        return contents;
    }
    contents.frames = gif->ImageCount;
    const ColorMapObject* map = gif->SColorMap;
    for (int i = 0; map && i < map->ColorCount; ++i)
        contents.palette.push_back({map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
    const SavedImage& first = gif->SavedImages[0];
    for (int e = 0; e + 1 < first.ExtensionBlockCount; ++e) {
        const ExtensionBlock& block = first.ExtensionBlocks[e];
        if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
            std::string(reinterpret_cast<char*>(block.Bytes), 11) == "NETSCAPE2.0") {
            const ExtensionBlock& loop = first.ExtensionBlocks[e + 1];
            contents.loopsForEver = loop.ByteCount == 3 && loop.Bytes[0] == 1 &&
                                    loop.Bytes[1] == 0 && loop.Bytes[2] == 0;
        }
    }
    GraphicsControlBlock control{};
    if (DGifSavedExtensionToGCB(gif, 0, &control) == GIF_OK)
        contents.delay = control.DelayTime;
    for (int i = 0; i < first.ImageDesc.Width * first.ImageDesc.Height; ++i)
        for (int c = 0; c < 3; ++c)
            contents.firstFrameRgb.push_back(
                static_cast<std::uint8_t>(contents.palette.at(first.RasterBits[i])[c]));
    DGifCloseFile(gif, &error);
    return contents;
}

struct VideoContents {
    std::string codec;
    AVRational rate{0, 1};
    int frames = 0;
    int width = 0, height = 0;
};

// Decodes every frame of the file's video stream.
VideoContents readVideo(const std::string& path) {
    VideoContents contents;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(format, nullptr) < 0) {
        ADD_FAILURE() << "libavformat cannot read " << path;
        avformat_close_input(&format);
        return contents;
    }
    const AVCodec* decoder = nullptr;
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (index >= 0 && decoder) {
        const AVStream* stream = format->streams[index];
        contents.codec = avcodec_get_name(stream->codecpar->codec_id);
        contents.rate = stream->avg_frame_rate;
        contents.width = stream->codecpar->width;
        contents.height = stream->codecpar->height;
        AVCodecContext* context = avcodec_alloc_context3(decoder);
        avcodec_parameters_to_context(context, stream->codecpar);
        avcodec_open2(context, decoder, nullptr);
        AVPacket* packet = av_packet_alloc();
        AVFrame* frame = av_frame_alloc();
        auto drain = [&] {
            while (avcodec_receive_frame(context, frame) == 0)
                ++contents.frames;
        };
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == index && avcodec_send_packet(context, packet) == 0)
                drain();
            av_packet_unref(packet);
        }
        avcodec_send_packet(context, nullptr);
        drain();
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&context);
    }
    avformat_close_input(&format);
    return contents;
}

std::vector<std::uint8_t> rgbOf(const Platform::PngImage& image) {
    std::vector<std::uint8_t> rgb;
    for (std::size_t i = 0; i + 3 < image.rgba.size(); i += 4)
        rgb.insert(rgb.end(), {image.rgba[i], image.rgba[i + 1], image.rgba[i + 2]});
    return rgb;
}

int squaredDistance(const std::uint8_t* a, const std::array<int, 3>& b) {
    int sum = 0;
    for (int c = 0; c < 3; ++c)
        sum += (a[c] - b[c]) * (a[c] - b[c]);
    return sum;
}

} // namespace

// A sequence whose first frame is the plain picture at FROM, and the same frames as a GIF and
// videos.
TEST(AnimationProgram, FramesGoToNumberedPngsALoopingGifAndVideosOfTheAskedRate) {
    TemporaryFolder output;
    std::filesystem::create_directory(output.file("frames"));
    const std::string animate =
        view + " --animate blowup=0.2:1.4 --animate azimuth=20:60 --frames 5";
    ASSERT_EQ(render(animate + " -o '" + output.file("frames/f%03d.png") + "'"), 0);
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
    ASSERT_EQ(render(view + " --blowup 0.2 -o '" + output.file("plain.png") + "'"), 0);
    EXPECT_EQ(Platform::readPngFile(output.file("plain.png"))->rgba, frames[0].rgba);

    ASSERT_EQ(render(animate + " --fps 20 -o '" + output.file("loop.gif") + "'"), 0);
    const GifContents gif = readGif(output.file("loop.gif"));
    EXPECT_EQ(gif.frames, 5);
    EXPECT_TRUE(gif.loopsForEver);
    EXPECT_EQ(gif.delay, 100 / 20);
    // Each pixel shows the palette colour nearest to the picture's (up to a tie).
    const std::vector<std::uint8_t> expected = rgbOf(frames[0]);
    ASSERT_EQ(gif.firstFrameRgb.size(), expected.size());
    int farther = 0, coloured = 0;
    for (std::size_t i = 0; i < expected.size(); i += 3) {
        int nearest = std::numeric_limits<int>::max();
        for (const auto& colour : gif.palette)
            nearest = std::min(nearest, squaredDistance(&expected[i], colour));
        const std::array<int, 3> shown{gif.firstFrameRgb[i], gif.firstFrameRgb[i + 1],
                                       gif.firstFrameRgb[i + 2]};
        farther += squaredDistance(&expected[i], shown) > nearest;
        coloured += shown != std::array<int, 3>{0, 0, 0};
    }
    EXPECT_EQ(farther, 0);
    EXPECT_GT(coloured, 500);

    for (auto [name, codec] : {std::pair{"film.mp4", "h264"}, std::pair{"film.webm", "vp9"}}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(render(animate + " --fps 12 -o '" + output.file(name) + "'"), 0);
        const VideoContents video = readVideo(output.file(name));
        EXPECT_EQ(video.codec, codec);
        EXPECT_EQ(video.frames, 5);
        EXPECT_EQ(av_cmp_q(video.rate, AVRational{12, 1}), 0)
            << video.rate.num << "/" << video.rate.den;
        EXPECT_EQ(std::pair(video.width, video.height), std::pair(160, 120));
    }
    EXPECT_EQ(output.entryCount(), 5u) << "no temporary file stays behind";
}

TEST(AnimationProgram, RefusedAndInterruptedRunsExitWithStatusTwoAndLeaveNoFile) {
    TemporaryFolder output;
    const auto to = [&](const std::string& name) { return " -o '" + output.file(name) + "'"; };
    const std::string animate = view + " --animate blowup=0:1 ";
    const std::pair<std::string, std::string> refusals[] = {
        {animate + to("a.gif"), "--frames"},
        {animate + "--frames 1" + to("a.gif"), "--frames"},
        {animate + "--frames 10001" + to("a.gif"), "10001"},
        {view + " --frames 5" + to("a.gif"), "--animate"},
        {view + " --animate spin=0:1 --frames 5" + to("a.gif"), "spin"},
        {view + " --animate blowup=0:2e6 --frames 5" + to("a.gif"), "2e6"},
        {animate + "--animate blowup=1:0 --frames 5" + to("a.gif"), "twice"},
        {animate + "--frames 5" + to("a.avi"), "a.avi"},
        {animate + "--frames 5" + to("a%d%d.png"), "frame number"},
        {animate + "--frames 5" + to("a%s.png"), "frame number"},
        {animate + "--frames 5 --fps 0" + to("a.gif"), "frame rate"},
        {animate + "--frames 5 --size 161x120" + to("a.mp4"), "even"},
        {animate + "--frames 5 -o -", "standard output"},
        {animate + "--frames 5" + to("missing/a.webm"), "a.webm"},
        {animate + "--frames 5" + to("missing/%02d.png"), "missing"},
    };
    for (const auto& [arguments, mentioned] : refusals) {
        SCOPED_TRACE(arguments);
        std::string error;
        EXPECT_EQ(render(arguments, &error), 2);
        EXPECT_THAT(error, ::testing::MatchesRegex("vexmira-render: [^\n]+\n"));
        EXPECT_THAT(error, ::testing::HasSubstr(mentioned));
        EXPECT_EQ(output.entryCount(), 0u);
    }

    // Stopped once it reports its first frame, each kind of output is removed.
    for (const char* name : {"%03d.png", "long.gif", "long.webm"}) {
        SCOPED_TRACE(name);
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        const std::string out = output.file(name);
        const pid_t child = fork();
        if (child == 0) {
            dup2(pipeEnds[1], STDERR_FILENO);
            close(pipeEnds[0]);
            execl(VEXMIRA_RENDER_PROGRAM, VEXMIRA_RENDER_PROGRAM, "--size", "320x240", "--animate",
                  "azimuth=0:360", "--frames", "10000", "--progress", "-o", out.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeEnds[1]);
        std::FILE* progress = fdopen(pipeEnds[0], "r");
        char line[256] = "";
        const bool reported = std::fgets(line, sizeof line, progress) != nullptr;
        kill(child, SIGTERM);
        int status = 0;
        waitpid(child, &status, 0);
        std::string rest;
        for (char more[256]; std::fgets(more, sizeof more, progress);)
            rest += more;
        std::fclose(progress);
        EXPECT_TRUE(reported);
        EXPECT_THAT(line, ::testing::StartsWith("frame 1 of 10000, "));
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 2);
        EXPECT_THAT(rest, ::testing::HasSubstr("interrupted"));
        EXPECT_EQ(output.entryCount(), 0u);
    }
}
