// vexmira-render as a user runs it, its output read back by the PNG decoder, an XML parser,
// poppler's rasteriser, giflib and libavformat.

#include "Platform/core/ChildProcess.h"
#include "Platform/image/PngReader.h"
#include "Platform/image/PngWriter.h"
#include "support/ProgramRun.h"

#include <gif_lib.h>
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <gmock/gmock.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <map>
#include <numbers>
#include <regex>
#include <span>
#include <sstream>

using namespace ::testing;
using namespace VexmiraTest;
namespace fs = std::filesystem;

namespace {

using Rgb = std::array<int, 3>;

// A small setting seen from the side, where no segment shrinks to a point on the page.
constexpr int resolution = 4, width = 300, height = 200;
const std::string setting = " --meridians 5 --resolution 4 --blowup 0.5 --immersion 0.3"
                            " --elevation 60 --azimuth 30 --size 300x200";

// The figure's stroke colours with the number of segments drawn in each; its page size; whether
// it has a filled background.
struct SvgCensus {
    std::map<std::string, int> segments;
    std::string width, height;
    int polygons = 0, unknown = 0;
};

std::string attribute(xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

void countElements(xmlNode* node, SvgCensus& census) {
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        const std::string name = reinterpret_cast<const char*>(node->name);
        if (name == "polyline") { // the only form the figure writer draws lines in
            std::istringstream list(attribute(node, "points"));
            census.segments[attribute(node, "stroke")] +=
                std::distance(std::istream_iterator<std::string>(list), {}) - 1;
        } else if (name == "polygon") {
            ++census.polygons;
        } else if (name != "g" && name != "title" && name != "desc" && name != "defs") {
            ++census.unknown;
        }
        countElements(node->children, census);
    }
}

std::optional<SvgCensus> readSvg(const std::string& text) {
    xmlDoc* document = xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                                     XML_PARSE_NONET);
    if (!document)
        return std::nullopt;
    xmlNode* root = xmlDocGetRootElement(document);
    SvgCensus census{{}, attribute(root, "width"), attribute(root, "height")};
    countElements(root->children, census);
    xmlFreeDoc(document);
    return census;
}

int squaredDistance(const std::uint8_t* a, const Rgb& b) {
    return (a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
           (a[2] - b[2]) * (a[2] - b[2]);
}

// Reads the GIF as giflib does: its frames, a loop for ever, the first delay (in hundredths of a
// second), and each pixel in the palette colour nearest to the picture's (up to a tie).
void expectGif(const std::string& path, int frames, int delay,
               const std::vector<std::uint8_t>& rgba) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) {
        ADD_FAILURE() << "giflib cannot read " << path;
        DGifCloseFile(gif, &error);
        return;
    }
    EXPECT_EQ(gif->ImageCount, frames);
    std::vector<Rgb> palette;
    for (int i = 0; gif->SColorMap && i < gif->SColorMap->ColorCount; ++i) {
        const GifColorType& c = gif->SColorMap->Colors[i];
        palette.push_back({c.Red, c.Green, c.Blue});
    }
    const SavedImage& first = gif->SavedImages[0];
    std::string extensions; // NETSCAPE2.0 followed by sub-block 1, a loop count of 0
    for (const auto& block : std::span(first.ExtensionBlocks, first.ExtensionBlockCount))
        extensions.append(reinterpret_cast<char*>(block.Bytes), block.ByteCount);
    EXPECT_THAT(extensions, HasSubstr(std::string("NETSCAPE2.0\1\0\0", 14)));
    GraphicsControlBlock control{};
    DGifSavedExtensionToGCB(gif, 0, &control);
    EXPECT_EQ(control.DelayTime, delay);
    const auto pixels = static_cast<std::size_t>(first.ImageDesc.Width * first.ImageDesc.Height);
    EXPECT_EQ(pixels * 4, rgba.size());
    int farther = 0, coloured = 0;
    for (std::size_t i = 0; i < pixels && i * 4 < rgba.size(); ++i) {
        const Rgb& shown = palette.at(first.RasterBits[i]);
        int nearest = std::numeric_limits<int>::max();
        for (const Rgb& colour : palette)
            nearest = std::min(nearest, squaredDistance(&rgba[4 * i], colour));
        farther += squaredDistance(&rgba[4 * i], shown) > nearest;
        coloured += shown != Rgb{0, 0, 0};
    }
    DGifCloseFile(gif, &error);
    EXPECT_EQ(farther, 0);
    EXPECT_GT(coloured, 500);
}

// Decodes every frame of the file's video stream as a player would: codec, rate, frames, size.
void expectVideo(const std::string& path, const std::string& codec, double framesPerSecond,
                 int frames, std::pair<int, int> size) {
    AVFormatContext* format = nullptr;
    const AVCodec* decoder = nullptr;
    int index = -1;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(format, nullptr) < 0 ||
        (index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0)) < 0) {
        ADD_FAILURE() << "libavformat finds no video in " << path;
        avformat_close_input(&format);
        return;
    }
    const AVCodecParameters& stream = *format->streams[index]->codecpar;
    EXPECT_EQ(std::tuple(std::string(avcodec_get_name(stream.codec_id)),
                         av_q2d(format->streams[index]->avg_frame_rate), stream.width,
                         stream.height),
              std::tuple(codec, framesPerSecond, size.first, size.second));
    AVCodecContext* context = avcodec_alloc_context3(decoder);
    avcodec_parameters_to_context(context, &stream);
    avcodec_open2(context, decoder, nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    int decoded = 0;
    for (bool more = true; more;) {
        more = av_read_frame(format, packet) >= 0; // at the end, a null packet drains the decoder
        if (!more || packet->stream_index == index)
            avcodec_send_packet(context, more ? packet : nullptr);
        av_packet_unref(packet);
        while (avcodec_receive_frame(context, frame) == 0)
            ++decoded;
    }
    EXPECT_EQ(decoded, frames);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&context);
    avformat_close_input(&format);
}

} // namespace

class RenderProgramTest : public ::testing::Test {
protected:
    std::string renderFile(const std::string& arguments, const std::string& name) {
        const ProgramRun run = runRender(arguments + " -o " + quoted(output_.file(name)));
        EXPECT_EQ(std::pair(run.status, run.standardError), std::pair(0, std::string()));
        return TemporaryFolder::read(output_.file(name));
    }
    Platform::PngImage renderPicture(const std::string& arguments, const std::string& name) {
        renderFile(arguments, name);
        return Platform::readPngFile(output_.file(name)).value_or(Platform::PngImage{});
    }
    // Writes a document with the given entries; returns its path as one shell word.
    std::string document(const std::string& name, const std::string& entries) {
        TemporaryFolder::write(inputs_.file(name),
                               "{ Class = MyDocument; Version = 1; " + entries + " }");
        return quoted(inputs_.file(name));
    }
    static const std::uint8_t* pixelAt(const Platform::PngImage& image, int x, int y) {
        return &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
    }
    // The angle of a colour on the colour wheel in degrees; nothing for greys and near black.
    static std::optional<double> hueOf(const std::uint8_t* c) {
        if (std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]}) < 80)
            return std::nullopt;
        return std::atan2(std::sqrt(3.0) * (c[1] - c[2]), 2.0 * c[0] - c[1] - c[2]) * 180.0 /
               std::numbers::pi;
    }

    TemporaryFolder inputs_, output_;
};

// From above, meridian theta lies at image angle phi = theta - 90 degrees with hue 2 theta (red
// at 0 on the colour wheel, green at 120, blue at -120).
TEST_F(RenderProgramTest, DefaultPictureIsTheStarOfMeridiansInTheirHues) {
    const Platform::PngImage image = renderPicture("", "default.png");
    ASSERT_EQ(std::pair(image.width, image.height), std::pair(800, 600));
    int coloured = 0, matching = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* c = pixelAt(image, x, y);
            ASSERT_EQ(c[3], 255); // opaque
            const double dx = x + 0.5 - image.width / 2.0, dy = image.height / 2.0 - (y + 0.5);
            const auto hue = hueOf(c);
            if (!hue || std::hypot(dx, dy) < 40.0)
                continue;
            ++coloured;
            const double phi = std::atan2(dy, dx) * 180.0 / std::numbers::pi;
            matching += std::fabs(std::remainder(*hue - 2.0 * phi - 180.0, 360.0)) < 8.0;
        }
    EXPECT_GT(coloured, 5000);
    EXPECT_GT(matching, coloured * 95 / 100) << matching << " of " << coloured;
    // The camera options' documented defaults are the window's camera.
    EXPECT_EQ(renderPicture("--azimuth 0 --elevation 0 --twist 0 --target-z 1", "camera.png").rgba,
              image.rgba);
}

TEST_F(RenderProgramTest, DocumentsPipedOrNamedDrawAsTheirValuesGivenAsOptions) {
    const std::string file = document(
        "picture.vexmira", "blowupValue = 0.8; distanceValue = 7; immersionValue = 0.3; "
                           "meridiansValue = 40; resolutionValue = 50; antialiasingValue = 5;");
    const std::string view = " --size 400x300 --elevation 60 --azimuth 30 --target-z 0.5";
    const std::string fromOptions = renderFile(
        view + " --blowup 0.8 --immersion 0.3 --distance 7 --meridians 40 --resolution 50 "
               "--passes 5",
        "smoothed.png");
    EXPECT_EQ(runRender("-" + view + " -o -", inputs_.file("picture.vexmira")).standardOutput,
              fromOptions);
    EXPECT_EQ(renderFile(file + view, "file.png"), fromOptions);
}

TEST_F(RenderProgramTest, SvgHoldsEverySegmentInItsMeridiansHueOnAPageOfThePictureSize) {
    // Smoothing passes would draw every segment again, jittered: a figure is drawn once.
    const auto figure = readSvg(renderFile(setting + " --passes 5", "figure.svg"));
    ASSERT_TRUE(figure) << "not well-formed XML";
    EXPECT_EQ(std::pair(figure->width, figure->height),
              std::pair(std::to_string(width) + "pt", std::to_string(height) + "pt"));
    EXPECT_EQ(std::pair(figure->polygons, figure->unknown), std::pair(1, 0)) << "background";
    // Each meridian is a closed curve of 2R segments through the lower pole in its own hue (the
    // first red); the white circle has 2R. How the hues lie on the page, the PDF's test shows.
    EXPECT_THAT(figure->segments, AllOf(SizeIs(6), Each(Pair(_, 2 * resolution)),
                                        Contains(Key("#ff0000")), Contains(Key("#ffffff"))));
    const auto transparent = readSvg(renderFile(setting + " --transparent", "transparent.svg"));
    EXPECT_EQ(transparent.value_or(SvgCensus{{}, "", "", -1}).polygons, 0) << "no background";
}

TEST_F(RenderProgramTest, PdfAndEpsArePagesOfThePictureSizeAndThePdfShowsThePicturesHues) {
    renderFile(setting, "figure.pdf"); // read back by poppler below
    const std::string eps = renderFile(setting, "figure.eps");
    EXPECT_THAT(eps, AllOf(StartsWith("%!PS-Adobe-3.0 EPSF-3.0"),
                           HasSubstr("\n%%BoundingBox: 0 0 300 200\n"), EndsWith("%%EOF\n")));

    if (runProgram("command -v pdftoppm").status != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    // One point per pixel: the page rasterised at 72 dots per inch is the picture's size.
    ASSERT_EQ(runProgram("pdftoppm -png -r 72 -singlefile " + quoted(output_.file("figure.pdf")) +
                         " " + quoted(inputs_.file("page")))
                  .status,
              0);
    const auto page = Platform::readPngFile(inputs_.file("page.png"));
    ASSERT_TRUE(page) << "pdftoppm wrote no page";
    const Platform::PngImage picture = renderPicture(setting + " --passes 1", "picture.png");
    ASSERT_EQ(std::pair(page->width, page->height), std::pair(width, height));
    // Wherever the PNG shows a hue, the page shows the same hue within a pixel of it.
    int hued = 0, matched = 0;
    for (int y = 1; y + 1 < height; ++y)
        for (int x = 1; x + 1 < width; ++x)
            if (const auto hue = hueOf(pixelAt(picture, x, y))) {
                bool found = false;
                for (int n = 0; n < 9 && !found; ++n) {
                    const auto near = hueOf(pixelAt(*page, x + n % 3 - 1, y + n / 3 - 1));
                    found = near && std::fabs(std::remainder(*near - *hue, 360.0)) < 20.0;
                }
                ++hued, matched += found;
            }
    EXPECT_GT(hued, 300);
    EXPECT_GT(matched, hued * 9 / 10) << matched << " of " << hued;
}

TEST_F(RenderProgramTest, TransparentPicturesAreClearWhereNothingIsDrawnAndKeepTheLinesColours) {
    const auto picture = renderPicture(setting + " --passes 4 --transparent", "transparent.png");
    const auto opaque = renderPicture(setting + " --passes 4", "opaque.png");
    ASSERT_EQ(picture.rgba.size(), opaque.rgba.size());
    EXPECT_EQ(pixelAt(picture, width - 1, height - 1)[3], 0);
    // Over black, a pixel's colour times its coverage is the opaque picture's colour.
    int covered = 0, partly = 0;
    for (std::size_t i = 0; i < picture.rgba.size(); i += 4) {
        const int alpha = picture.rgba[i + 3];
        covered += alpha > 0;
        partly += alpha > 0 && alpha < 255;
        for (std::size_t c = 0; c < 3; ++c)
            ASSERT_NEAR(picture.rgba[i + c] * alpha / 255.0, opaque.rgba[i + c], 1.5) << i;
    }
    EXPECT_GT(covered, 1000);
    EXPECT_GT(partly, 100) << "smoothed edges are partly transparent";
}

TEST_F(RenderProgramTest, RefusalsExitWithStatusTwoAndLeaveNoFile) {
    TemporaryFolder::write(inputs_.file("garbage.vexmira"), "not { a property list");
    const auto to = [&](const std::string& name) { return " -o " + quoted(output_.file(name)); };
    const std::string out = to("out.png"), animate = "--animate blowup=0:1 ";
    const std::pair<std::string, std::string> refusals[] = {
        {"", "no output given"},
        {"--frobnicate" + out, "unknown option"},
        {"--size 0x100" + out, "--size width"},
        {"--azimuth north" + out, "--azimuth"},
        {"--blowup nan" + out, "--blowup"},
        {document("stored.vexmira", "meridiansValue = 2000;") + " --resolution 501" + out,
         "meridians times resolution"},
        {quoted(inputs_.file("garbage.vexmira")) + out, "garbage.vexmira"},
        {"-o " + quoted(output_.file("no-such-folder/out.png")), "out.png"},
        {"-o " + quoted(output_.file("out.jpg")), "--format"},
        {"--format gif" + out, "--format"},
        {"--format pdf" + out, "does not match"},
        {"- -o -", "standard input"}, // garbage on standard input
        {animate + to("a.gif"), "--frames"},
        {"--frames 5" + to("a.gif"), "--animate"},
        {"--animate spin=0:1 --frames 5" + to("a.gif"), "spin"},
        {animate + "--animate blowup=1:0 --frames 5" + to("a.gif"), "twice"},
        {animate + "--frames 5" + to("a.avi"), "a.avi"},
        {animate + "--frames 5" + to("a%d%d.png"), "frame number"},
        {animate + "--frames 5 --fps 0" + to("a.gif"), "frame rate"},
        {animate + "--frames 5 --size 161x120" + to("a.mp4"), "even"},
        {animate + "--frames 5 -o -", "standard output"},
        {animate + "--frames 5" + to("missing/a.webm"), "a.webm"},
        {animate + "--frames 5" + to("missing/%02d.png"), "missing"},
    };
    for (const auto& [arguments, mentioned] : refusals) {
        SCOPED_TRACE(arguments);
        const ProgramRun run = runRender(arguments, inputs_.file("garbage.vexmira"));
        EXPECT_EQ(std::tuple(run.status, run.standardOutput, output_.entryCount()),
                  std::tuple(2, "", std::size_t{0}));
        EXPECT_THAT(run.standardError,
                    AllOf(MatchesRegex("vexmira-render: [^\n]+\n"), HasSubstr(mentioned)));
    }
}

// The Debian package unpacked away from /usr: its desktop files valid, its programs running
// without the source or build trees. A bare machine installs it in CI: the libraries it declares,
// the renderer's version and the desktop databases built on installing are checked there.
TEST_F(RenderProgramTest, PackageHoldsEverythingValidatesAndRunsWhereUnpacked) {
    const std::string folder = inputs_.file("packages");
    const ProgramRun packing = runProgram(quoted(VEXMIRA_CPACK_COMMAND) + " --config " +
                                          quoted(VEXMIRA_CPACK_CONFIG) + " -B " + quoted(folder));
    ASSERT_EQ(packing.status, 0) << packing.standardOutput << packing.standardError;
    const fs::path root = inputs_.file("root"), share = root / "usr/share";
    const std::string package =
        quoted(folder) + "/vexmira_" VEXMIRA_PROJECT_VERSION "_$(dpkg --print-architecture).deb";
    ASSERT_EQ(runProgram("dpkg-deb --extract " + package + " " + quoted(root)).status, 0)
        << packing.standardOutput;
    EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(root), {}),
              std::vector<fs::path>{root / "usr"});
    for (const char* file : // those that no program run below reads
         {"man/man1/vexmira.1", "man/man1/vexmira-render.1",
          "icons/hicolor/256x256/apps/vexmira.png", "vexmira/resources/RVModelVNT/1.rvmvnt",
          "vexmira/resources/RVTexture/1.tiff"})
        EXPECT_TRUE(fs::is_regular_file(share / file)) << file;

    // What desktops and software centres read; all but appstreamcli (which always reports, and
    // fails on warnings) speak only of faults or hints, so they must be silent.
    const std::pair<std::string, bool> validations[] = {
        {"desktop-file-validate " + quoted(share / "applications/vexmira.desktop"), true},
        {"update-desktop-database " + quoted(share / "applications"), true},
        {"XDG_DATA_DIRS=" + quoted(share) + " update-mime-database " + quoted(share / "mime"),
         true},
        {"appstreamcli validate-tree --no-net " + quoted(root), false}};
    for (const auto& [validation, silent] : validations) {
        const ProgramRun run = runProgram(validation);
        EXPECT_EQ(run.status, 0) << validation << "\n" << run.standardOutput;
        EXPECT_EQ(silent ? run.standardOutput + run.standardError : "", "") << validation;
    }
    EXPECT_THAT(TemporaryFolder::read(share / "metainfo/example.vexmira.Vexmira.metainfo.xml"),
                HasSubstr("<release version=\"" VEXMIRA_PROJECT_VERSION "\""));

    // The window program answers --help and --version without a display, in German too.
    const std::string window =
        "env -u DISPLAY -u WAYLAND_DISPLAY " + quoted(root / "usr/bin/vexmira");
    EXPECT_EQ(runProgram(window + " --version").standardOutput,
              "vexmira " VEXMIRA_PROJECT_VERSION "\n");
    EXPECT_THAT(runProgram("LANGUAGE=de LANG=C.UTF-8 " + window + " -h").standardOutput,
                HasSubstr("Aufruf: vexmira"));
    const ProgramRun refused = runProgram(window + " --frobnicate");
    EXPECT_EQ(std::pair(refused.status, refused.standardError),
              std::pair(2, std::string("vexmira: unknown option --frobnicate (see --help)\n")));

    // The renderer reads the resources beside itself and draws as built.
    const std::string program =
        "cd " + quoted(output_.file("")) + " && " + quoted(root / "usr/bin/vexmira-render");
    const std::string help = runProgram(program + " --help").standardOutput;
    std::smatch read;
    ASSERT_TRUE(std::regex_search(help, read, std::regex("Resources are read from: (.*)"))) << help;
    EXPECT_EQ(fs::weakly_canonical(read[1].str()),
              fs::weakly_canonical(share / "vexmira/resources"));
    const std::string view = " --size 240x180 --elevation 70 --blowup 0.5 --passes 2";
    ASSERT_EQ(runProgram(program + view + " -o installed.png").status, 0);
    EXPECT_EQ(TemporaryFolder::read(output_.file("installed.png")), renderFile(view, "built.png"));
    // The picture checker used on installed pictures tells a drawing from a blank or broken file.
    const std::string checker = quoted(VEXMIRA_CHECK_PICTURE_PROGRAM) + " ";
    EXPECT_EQ(runProgram(checker + quoted(output_.file("installed.png"))).status, 0);
    ASSERT_TRUE(Platform::writePngFile(inputs_.file("blank.png"), 4, 3,
                                       std::vector<std::uint8_t>(4 * 3 * 4, 200)));
    EXPECT_EQ(runProgram(checker + quoted(inputs_.file("blank.png"))).status, 1);
    EXPECT_EQ(runProgram(checker + quoted(share / "applications/vexmira.desktop")).status, 2);
}

// The first frame is the plain picture at FROM.
TEST_F(RenderProgramTest, FramesGoToNumberedPngsALoopingGifAndVideosOfTheAskedRate) {
    const std::string view = "--size 160x120 --elevation 75 --azimuth 20 --meridians 24 "
                             "--resolution 20",
                      animate =
                          view + " --animate blowup=0.2:1.4 --animate azimuth=20:60 --frames 5";
    fs::create_directory(output_.file("frames"));
    renderFile(animate, "frames/f%03d.png");
    std::vector<Platform::PngImage> frames;
    for (int k = 0; k < 5; ++k) {
        const std::string name = "frames/f00" + std::to_string(k) + ".png";
        frames.push_back(Platform::readPngFile(output_.file(name)).value_or(Platform::PngImage{}));
        for (int earlier = 0; earlier < k; ++earlier)
            EXPECT_NE(frames[earlier].rgba, frames[k].rgba) << earlier << " and " << k;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(output_.file("frames")), {}), 5);
    EXPECT_EQ(renderPicture(view + " --blowup 0.2", "plain.png").rgba, frames[0].rgba);

    renderFile(animate + " --fps 20", "loop.gif");
    expectGif(output_.file("loop.gif"), 5, 100 / 20, frames[0].rgba);

    for (auto [name, codec] : {std::pair{"film.mp4", "h264"}, std::pair{"film.webm", "vp9"}}) {
        SCOPED_TRACE(name);
        renderFile(animate + " --fps 12", name);
        expectVideo(output_.file(name), codec, 12, 5, {160, 120});
    }
    EXPECT_EQ(output_.entryCount(), 5u) << "no temporary file stays behind";
}

TEST_F(RenderProgramTest, InterruptedAnimationsExitWithStatusTwoAndLeaveNoFile) {
    for (const char* name : {"%03d.png", "long.gif", "long.webm"}) {
        SCOPED_TRACE(name);
        Platform::ChildProcess child;
        std::string error;
        ASSERT_TRUE(child.start(VEXMIRA_RENDER_PROGRAM,
                                {"--size", "320x240", "--animate", "azimuth=0:360", "--frames",
                                 "10000", "--progress", "-o", output_.file(name)},
                                error))
            << error;
        while (child.standardError().find('\n') == std::string::npos && !child.waitFor(50)) {
        }
        child.terminate();
        EXPECT_THAT(child.standardError(),
                    AllOf(StartsWith("frame 1 of 10000, "), HasSubstr("interrupted")));
        EXPECT_EQ(std::pair(child.exitStatus(), output_.entryCount()),
                  std::pair(2, std::size_t{0}));
    }
}
