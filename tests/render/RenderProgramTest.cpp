// vexmira-render as a user runs it: a separate process with no display at all.

#include "Platform/offscreen/PngReader.h"
#include "render/ProgramRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace VexmiraTest;

namespace {

class RenderProgramTest : public ::testing::Test {
protected:
    ProgramRun render(const std::string& arguments, const std::string& inputFile = "/dev/null") {
        return runProgram("env -u DISPLAY -u WAYLAND_DISPLAY " +
                              shellQuoted(VEXMIRA_RENDER_PROGRAM) + " " + arguments,
                          inputFile);
    }
    // Renders into the output folder and returns the file's bytes.
    std::string renderFile(const std::string& arguments, const std::string& name) {
        const ProgramRun run = render(arguments + " -o " + shellQuoted(output_.file(name)));
        EXPECT_EQ(run.status, 0) << run.standardError;
        EXPECT_EQ(run.standardError, "");
        return TemporaryFolder::read(output_.file(name));
    }
    Platform::PngImage renderPicture(const std::string& arguments, const std::string& name) {
        renderFile(arguments, name);
        return Platform::readPngFile(output_.file(name)).value_or(Platform::PngImage{});
    }

    TemporaryFolder inputs_, output_;
};

struct Rgb {
    int red, green, blue;
    bool black() const { return red == 0 && green == 0 && blue == 0; }
    bool operator==(const Rgb&) const = default;
};

Rgb pixelAt(const Platform::PngImage& image, int x, int y) {
    const auto* p = &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
    return {p[0], p[1], p[2]};
}

// The colour wheel's hue angle in radians: red at 0, green at 2 pi / 3, blue at -2 pi / 3.
double hueOf(const Rgb& c) {
    return std::atan2(std::sqrt(3.0) * (c.green - c.blue), 2.0 * c.red - c.green - c.blue);
}

std::string documentText(const std::string& entries) {
    return "{ Class = MyDocument; Version = 1; " + entries + " }";
}

} // namespace

// From straight above the unblown meridians are 72 spokes through the centre; the azimuth of
// -90 degrees puts world angle theta at image angle theta - 90, and meridian theta has hue
// 2 theta, so the hue at image angle phi is 2 phi + 180 (mod 360).
TEST_F(RenderProgramTest, DefaultPictureIsTheStarOfMeridiansInTheirHues) {
    const Platform::PngImage image = renderPicture("", "default.png");
    ASSERT_EQ(image.width, 800);
    ASSERT_EQ(image.height, 600);
    const double pi = std::numbers::pi;
    int coloured = 0, matching = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const double dx = x + 0.5 - image.width / 2.0, dy = image.height / 2.0 - (y + 0.5);
            if (pixelAt(image, x, y).black() || std::hypot(dx, dy) < 40.0)
                continue;
            ++coloured;
            const double expected = 2.0 * std::atan2(dy, dx) + pi;
            matching += std::fabs(std::remainder(hueOf(pixelAt(image, x, y)) - expected, 2 * pi)) <
                        8.0 * pi / 180.0;
        }
    EXPECT_GT(coloured, 5000);
    EXPECT_GT(matching, coloured * 95 / 100) << matching << " of " << coloured;
    for (std::size_t alpha = 3; alpha < image.rgba.size(); alpha += 4)
        ASSERT_EQ(image.rgba[alpha], 255);

    EXPECT_EQ(renderFile("", "again.png"), TemporaryFolder::read(output_.file("default.png")));
    // The camera options' documented defaults are the window's camera.
    EXPECT_EQ(renderPicture("--azimuth 0 --elevation 0 --twist 0 --target-z 1", "camera.png").rgba,
              image.rgba);
}

// Smoothing moves each pass by less than a pixel: only pixels next to a line may change.
TEST_F(RenderProgramTest, SmoothingChangesOnlyPixelsNearTheLines) {
    const std::string view = "--size 400x300 --elevation 60 --azimuth 30 --blowup 0.8 ";
    const Platform::PngImage once = renderPicture(view + "--passes 1", "once.png");
    const Platform::PngImage smoothed = renderPicture(view + "--passes 5", "smoothed.png");
    ASSERT_EQ(once.rgba.size(), smoothed.rgba.size());
    auto nearDrawn = [&](int x, int y) {
        for (int ny = std::max(0, y - 1); ny <= std::min(once.height - 1, y + 1); ++ny)
            for (int nx = std::max(0, x - 1); nx <= std::min(once.width - 1, x + 1); ++nx)
                if (!pixelAt(once, nx, ny).black())
                    return true;
        return false;
    };
    int changed = 0, farFromLines = 0;
    for (int y = 0; y < once.height; ++y)
        for (int x = 0; x < once.width; ++x)
            if (!(pixelAt(once, x, y) == pixelAt(smoothed, x, y))) {
                ++changed;
                farFromLines += !nearDrawn(x, y);
            }
    EXPECT_GT(changed, 1000);
    EXPECT_EQ(farFromLines, 0);
}

// A document file, the same piped through, and its values given as options are one picture.
TEST_F(RenderProgramTest, DocumentsFromFilesPipesAndOptionsAgree) {
    const std::string document = inputs_.file("picture.vexmira");
    TemporaryFolder::write(
        document, documentText("blowupValue = 0.6; immersionValue = 0.3; distanceValue = 6; "
                               "meridiansValue = 20; resolutionValue = 50; "
                               "antialiasingValue = 2;"));
    const std::string view = " --size 300x200 --elevation 75 --azimuth 20 --target-z 0.5";
    const std::string fromFile = renderFile(shellQuoted(document) + view, "file.png");
    const ProgramRun piped = render("-" + view + " -o -", document);
    ASSERT_EQ(piped.status, 0) << piped.standardError;
    EXPECT_EQ(piped.standardOutput, fromFile);
    EXPECT_EQ(renderFile(view + " --blowup 0.6 --immersion 0.3 --distance 6 --meridians 20"
                                " --resolution 50 --passes 2",
                         "options.png"),
              fromFile);
    // An option overrides the document's value.
    EXPECT_NE(renderFile(shellQuoted(document) + view + " --meridians 3", "fewer.png"), fromFile);
}

TEST_F(RenderProgramTest, RefusalsExitWithStatusTwoAndLeaveNoFile) {
    const std::string garbage = inputs_.file("garbage.vexmira");
    TemporaryFolder::write(garbage, "this is { not a property list");
    const std::string huge = inputs_.file("huge.vexmira");
    TemporaryFolder::write(huge, documentText("meridiansValue = 5000; resolutionValue = 5000;"));
    const std::string stored = inputs_.file("stored.vexmira");
    TemporaryFolder::write(stored, documentText("meridiansValue = 2000;"));
    const std::string out = " -o " + shellQuoted(output_.file("out.png"));
    const std::pair<std::string, std::string> refusals[] = {
        {"", "no output given"},
        {"--frobnicate" + out, "unknown option"},
        {"--size 0x100" + out, "--size width"},
        {"--azimuth north" + out, "--azimuth"},
        {"--blowup nan" + out, "--blowup"},
        {"--meridians 1001 --resolution 1000" + out, "meridians times resolution"},
        {shellQuoted(stored) + " --resolution 501" + out, "meridians times resolution"},
        {shellQuoted(inputs_.file("missing.vexmira")) + out, "missing.vexmira"},
        {shellQuoted(garbage) + out, "garbage.vexmira"},
        {shellQuoted(huge) + out, "huge.vexmira"},
        {"-o " + shellQuoted(output_.file("no-such-folder/out.png")), "out.png"},
        {"-o " + shellQuoted(output_.file("")), ""},
        {"- -o -", "standard input"}, // garbage on standard input
    };
    for (const auto& [arguments, mentioned] : refusals) {
        SCOPED_TRACE(arguments);
        const ProgramRun run = render(arguments, garbage);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.standardOutput, "");
        EXPECT_TRUE(run.standardError.starts_with("vexmira-render: ")) << run.standardError;
        EXPECT_NE(run.standardError.find(mentioned), std::string::npos) << run.standardError;
        EXPECT_EQ(std::count(run.standardError.begin(), run.standardError.end(), '\n'), 1);
        EXPECT_EQ(output_.entryCount(), 0u);
    }
    // A failed render leaves an earlier picture as it was.
    TemporaryFolder::write(output_.file("out.png"), "earlier picture");
    EXPECT_EQ(render("--meridians x" + out).status, 2);
    EXPECT_EQ(TemporaryFolder::read(output_.file("out.png")), "earlier picture");
    EXPECT_EQ(output_.entryCount(), 1u);
}

TEST_F(RenderProgramTest, HelpExplainsEveryOptionAndVersionIsTheProjects) {
    const ProgramRun help = render("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* option :
         {"--output", "--size", "--azimuth", "--elevation", "--twist", "--target-z", "--passes",
          "--blowup", "--immersion", "--meridians", "--resolution", "--distance", "--version"})
        EXPECT_NE(help.standardOutput.find(option), std::string::npos) << option;
    EXPECT_EQ(render("--version").standardOutput, "vexmira-render " VEXMIRA_PROJECT_VERSION "\n");
}
