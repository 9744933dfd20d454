// vexmira-render as a user runs it: a separate process, arguments, files,
// pipes and exit statuses. Needs no display.

#include "Platform/offscreen/PngReader.h"
#include "render/ProgramRun.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>

using namespace VexmiraTest;

namespace {

const std::string renderer = VEXMIRA_RENDER_PROGRAM;

class RenderProgramTest : public ::testing::Test {
protected:
    ProgramRun render(const std::string& arguments, const std::string& inputFile = "") {
        return runProgram(renderer, arguments, captures_.file(""), inputFile);
    }

    // Renders into the output folder and decodes the picture.
    Platform::PngImage renderPicture(const std::string& arguments, const std::string& name) {
        const std::string path = output_.file(name);
        const ProgramRun run = render(arguments + " -o " + shellQuoted(path));
        EXPECT_EQ(run.status, 0) << run.standardError;
        EXPECT_EQ(run.standardError, "");
        std::string error;
        auto image = Platform::readPngFile(path, &error);
        EXPECT_TRUE(image) << error;
        return image ? *image : Platform::PngImage{};
    }

    TemporaryFolder captures_;
    TemporaryFolder output_;
};

struct Rgb {
    int red, green, blue;
};

Rgb pixelAt(const Platform::PngImage& image, int x, int y) {
    const auto* p = &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
    return {p[0], p[1], p[2]};
}

bool isBlack(const Rgb& c) {
    return c.red == 0 && c.green == 0 && c.blue == 0;
}

// The hue in degrees of the usual hue-saturation-value model.
double hueOf(const Rgb& c) {
    const double r = c.red / 255.0, g = c.green / 255.0, b = c.blue / 255.0;
    const double high = std::max({r, g, b}), low = std::min({r, g, b});
    if (high == low)
        return 0.0;
    double hue;
    if (high == r)
        hue = 60.0 * (g - b) / (high - low);
    else if (high == g)
        hue = 60.0 * (2.0 + (b - r) / (high - low));
    else
        hue = 60.0 * (4.0 + (r - g) / (high - low));
    return hue < 0.0 ? hue + 360.0 : hue;
}

double hueDistance(double a, double b) {
    const double d = std::fabs(std::fmod(a - b, 360.0));
    return std::min(d, 360.0 - d);
}

std::string documentText(const std::string& entries) {
    return "{\n    Class = MyDocument;\n    Version = 1;\n" + entries + "}\n";
}

} // namespace

// Seen from straight above (the camera's initial elevation 0), the unblown
// meridians are the 2 x 72 spokes of a star around the image centre. The
// camera's azimuth turn of -90 degrees shows the world direction theta at the
// image angle theta - 90, and meridian i, at theta = 180 i / 72 degrees, has
// the hue 360 i / 72 = 2 theta: so the hue at image angle phi is
// 2 phi + 180 (mod 360), the same along both halves of a spoke.
TEST_F(RenderProgramTest, DefaultPictureIsTheStarOfMeridiansInTheirHues) {
    const Platform::PngImage image = renderPicture("", "default.png");
    ASSERT_EQ(image.width, 800);
    ASSERT_EQ(image.height, 600);

    int coloured = 0, matching = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const double dx = x + 0.5 - image.width / 2.0, dy = image.height / 2.0 - (y + 0.5);
            const double radius = std::hypot(dx, dy);
            const Rgb colour = pixelAt(image, x, y);
            if (isBlack(colour) || radius < 40.0)
                continue;
            ++coloured;
            const double phi = std::atan2(dy, dx) * 180.0 / std::numbers::pi;
            if (hueDistance(hueOf(colour), 2.0 * phi + 180.0) < 8.0)
                ++matching;
        }
    EXPECT_GT(coloured, 5000);
    EXPECT_GT(matching, coloured * 95 / 100) << matching << " of " << coloured;
    // The spokes are opaque: no pixel of the background is transparent.
    for (std::size_t alpha = 3; alpha < image.rgba.size(); alpha += 4)
        ASSERT_EQ(image.rgba[alpha], 255);

    // The camera options' documented defaults are the window's camera.
    const Platform::PngImage explicitCamera = renderPicture(
        "--azimuth 0 --elevation 0 --twist 0 --target-z 1 --size 800x600", "explicit.png");
    EXPECT_EQ(explicitCamera.rgba, image.rgba);
}

TEST_F(RenderProgramTest, TwoRunsWriteTheSameBytes) {
    const std::string arguments = "--size 320x240 --elevation 70 --blowup 0.7 --passes 3 -o ";
    ASSERT_EQ(render(arguments + shellQuoted(output_.file("first.png"))).status, 0);
    ASSERT_EQ(render(arguments + shellQuoted(output_.file("second.png"))).status, 0);
    const std::string first = TemporaryFolder::read(output_.file("first.png"));
    EXPECT_GT(first.size(), 1000u);
    EXPECT_EQ(first, TemporaryFolder::read(output_.file("second.png")));
}

// Smoothing moves each pass by less than a pixel: only pixels at most one
// pixel away from something drawn in the single pass may change.
TEST_F(RenderProgramTest, SmoothingChangesOnlyPixelsNearTheLines) {
    const std::string view = "--size 400x300 --elevation 60 --azimuth 30 --blowup 0.8 ";
    const Platform::PngImage once = renderPicture(view + "--passes 1", "once.png");
    const Platform::PngImage smoothed = renderPicture(view + "--passes 5", "smoothed.png");
    ASSERT_EQ(once.rgba.size(), smoothed.rgba.size());

    auto nearDrawn = [&](int x, int y) {
        for (int ny = std::max(0, y - 1); ny <= std::min(once.height - 1, y + 1); ++ny)
            for (int nx = std::max(0, x - 1); nx <= std::min(once.width - 1, x + 1); ++nx)
                if (!isBlack(pixelAt(once, nx, ny)))
                    return true;
        return false;
    };
    int changed = 0, farFromLines = 0;
    for (int y = 0; y < once.height; ++y)
        for (int x = 0; x < once.width; ++x) {
            const Rgb a = pixelAt(once, x, y), b = pixelAt(smoothed, x, y);
            if (a.red == b.red && a.green == b.green && a.blue == b.blue)
                continue;
            ++changed;
            if (!nearDrawn(x, y))
                ++farFromLines;
        }
    EXPECT_GT(changed, 1000);
    EXPECT_EQ(farFromLines, 0);
}

// A document from a file, the same from standard input to standard output,
// and the default picture with the same values given as options: the options
// replace the document's values, so all three are one picture.
TEST_F(RenderProgramTest, DocumentsFromFilesPipesAndOptionsAgree) {
    const std::string document = captures_.file("picture.vexmira");
    TemporaryFolder::write(document, documentText("    blowupValue = 0.600000;\n"
                                                  "    immersionValue = 0.300000;\n"
                                                  "    distanceValue = 6.000000;\n"
                                                  "    meridiansValue = 20;\n"
                                                  "    resolutionValue = 50;\n"
                                                  "    antialiasingValue = 2;\n"));
    const std::string view = " --size 300x200 --elevation 75 --azimuth 20 --target-z 0.5";
    ASSERT_EQ(render(shellQuoted(document) + view + " -o " + shellQuoted(output_.file("file.png")))
                  .status,
              0);
    const ProgramRun piped = render("-" + view + " -o -", document);
    ASSERT_EQ(piped.status, 0) << piped.standardError;
    ASSERT_EQ(render(view +
                     " --blowup 0.6 --immersion 0.3 --distance 6 --meridians 20"
                     " --resolution 50 --passes 2 -o " +
                     shellQuoted(output_.file("options.png")))
                  .status,
              0);
    const std::string fromFile = TemporaryFolder::read(output_.file("file.png"));
    EXPECT_EQ(piped.standardOutput, fromFile);
    EXPECT_EQ(TemporaryFolder::read(output_.file("options.png")), fromFile);

    // An option laid over the document changes the picture.
    ASSERT_EQ(render(shellQuoted(document) + view + " --meridians 3 -o " +
                     shellQuoted(output_.file("fewer.png")))
                  .status,
              0);
    EXPECT_NE(TemporaryFolder::read(output_.file("fewer.png")), fromFile);
}

TEST_F(RenderProgramTest, RefusalsExitWithStatusTwoAndLeaveNoFile) {
    const std::string notADocument = captures_.file("garbage.vexmira");
    TemporaryFolder::write(notADocument, "this is { not a property list");
    const std::string outOfRange = captures_.file("huge.vexmira");
    TemporaryFolder::write(outOfRange, documentText("    meridiansValue = 5000;\n"
                                                    "    resolutionValue = 5000;\n"));
    const std::string stored = captures_.file("stored.vexmira");
    TemporaryFolder::write(stored, documentText("    meridiansValue = 2000;\n"));
    const std::string out = " -o " + shellQuoted(output_.file("out.png"));

    const std::vector<std::pair<std::string, std::string>> refusals = {
        {"", "no output given"},
        {"--frobnicate" + out, "unknown option"},
        {"--size" + out, "--size"},
        {"--size 0x100" + out, "--size width"},
        {"--size 640x" + out, "--size height"},
        {"--size 9000x10" + out, "--size width"},
        {"--size large" + out, "--size"},
        {"--azimuth north" + out, "--azimuth"},
        {"--elevation 1e7" + out, "--elevation"},
        {"--blowup nan" + out, "--blowup"},
        {"--twist inf" + out, "--twist"},
        {"--meridians 12.5" + out, "--meridians"},
        {"--resolution 100001" + out, "--resolution"},
        {"--passes 1001" + out, "--passes"},
        {"--meridians 1001 --resolution 1000" + out, "meridians times resolution"},
        {shellQuoted(stored) + " --resolution 501" + out, "meridians times resolution"},
        {"a.vexmira b.vexmira" + out, "only one document"},
        {shellQuoted(captures_.file("missing.vexmira")) + out, "missing.vexmira"},
        {shellQuoted(notADocument) + out, "garbage.vexmira"},
        {shellQuoted(outOfRange) + out, "huge.vexmira"},
        {"-o " + shellQuoted(output_.file("no-such-folder/out.png")), "out.png"},
        {"-o " + shellQuoted(output_.file("")), ""},
    };
    for (const auto& [arguments, mentioned] : refusals) {
        SCOPED_TRACE(arguments);
        const ProgramRun run = render(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.standardOutput, "");
        EXPECT_TRUE(run.standardError.starts_with("vexmira-render: ")) << run.standardError;
        EXPECT_NE(run.standardError.find(mentioned), std::string::npos) << run.standardError;
        EXPECT_EQ(std::count(run.standardError.begin(), run.standardError.end(), '\n'), 1);
        EXPECT_EQ(output_.entryCount(), 0u);
    }

    // A refused document on standard input writes nothing to standard output.
    const ProgramRun piped = render("- -o -", notADocument);
    EXPECT_EQ(piped.status, 2);
    EXPECT_EQ(piped.standardOutput, "");
    EXPECT_NE(piped.standardError.find("standard input"), std::string::npos);
}

// A failed render leaves an existing picture as it was.
TEST_F(RenderProgramTest, RefusalKeepsAnExistingOutput) {
    const std::string path = output_.file("kept.png");
    TemporaryFolder::write(path, "earlier picture");
    EXPECT_EQ(render("--meridians x -o " + shellQuoted(path)).status, 2);
    EXPECT_EQ(TemporaryFolder::read(path), "earlier picture");
    EXPECT_EQ(output_.entryCount(), 1u);
}

TEST_F(RenderProgramTest, HelpExplainsEveryOptionAndVersionIsTheProjects) {
    const ProgramRun help = render("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* option :
         {"--output", "--size", "--azimuth", "--elevation", "--twist", "--target-z", "--passes",
          "--blowup", "--immersion", "--meridians", "--resolution", "--distance", "--version"})
        EXPECT_NE(help.standardOutput.find(option), std::string::npos) << option;
    const ProgramRun version = render("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.standardOutput, "vexmira-render " VEXMIRA_PROJECT_VERSION "\n");
}

// The renderer draws through OSMesa; libGL would need a display.
TEST_F(RenderProgramTest, LinksOsMesaAndNotLibGL) {
    const ProgramRun run = runProgram("readelf", "-d " + shellQuoted(renderer), captures_.file(""));
    ASSERT_EQ(run.status, 0) << run.standardError;
    EXPECT_NE(run.standardOutput.find("[libOSMesa.so"), std::string::npos);
    EXPECT_EQ(run.standardOutput.find("[libGL.so"), std::string::npos);
    EXPECT_EQ(run.standardOutput.find("[libGLX"), std::string::npos);
}
