// vexmira-render as a user runs it: a separate process with no display, built or installed.

#include "Platform/image/PngReader.h"
#include "Platform/image/PngWriter.h"
#include "support/ProgramRun.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <regex>
#include <set>
#include <sstream>

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using VexmiraTest::ProgramRun;
using VexmiraTest::quoted;
using VexmiraTest::runProgram;
using VexmiraTest::TemporaryFolder;
namespace fs = std::filesystem;

class RenderProgramTest : public ::testing::Test {
protected:
    ProgramRun render(const std::string& arguments, const std::string& input = "/dev/null") {
        return runProgram("env -u DISPLAY -u WAYLAND_DISPLAY " + quoted(VEXMIRA_RENDER_PROGRAM) +
                              " " + arguments,
                          input);
    }
    // Renders into the output folder and returns the file's bytes.
    std::string renderFile(const std::string& arguments, const std::string& name) {
        const ProgramRun run = render(arguments + " -o " + quoted(output_.file(name)));
        EXPECT_EQ(run.status, 0) << run.standardError;
        EXPECT_EQ(run.standardError, "");
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
    static bool black(const std::uint8_t* c) { return c[0] == 0 && c[1] == 0 && c[2] == 0; }

    // vexmira-render installed below PREFIX, run from a folder of its own.
    std::string installedProgram(const fs::path& prefix) const {
        return "cd " + quoted(output_.file("")) + " && " + quoted(prefix / "bin/vexmira-render");
    }
    // It reads the resources beside itself, tells the project's version and draws as built.
    void expectDrawsAsBuiltFromItsOwnResources(const fs::path& prefix) {
        const std::string program = installedProgram(prefix);
        const std::string help = runProgram(program + " --help").standardOutput;
        const std::string label = "Resources are read from: ";
        const auto found = help.find(label), start = found + label.size();
        ASSERT_NE(found, std::string::npos) << help;
        EXPECT_EQ(fs::weakly_canonical(help.substr(start, help.find('\n', start) - start)),
                  fs::weakly_canonical(prefix / "share/vexmira/resources"));
        EXPECT_EQ(runProgram(program + " --version").standardOutput,
                  "vexmira-render " VEXMIRA_PROJECT_VERSION "\n");
        const std::string view = " --size 240x180 --elevation 70 --blowup 0.5 --passes 2";
        ASSERT_EQ(runProgram(program + view + " -o installed.png").status, 0);
        EXPECT_EQ(TemporaryFolder::read(output_.file("installed.png")),
                  renderFile(view, "built.png"));
    }
    // The package names in a Depends field or in dpkg-query --search's answer, without
    // versions or architectures.
    static std::set<std::string> packageNames(const std::string& text) {
        std::set<std::string> names;
        const std::regex name(R"((^|[,|\n]) *([a-z0-9][a-z0-9+.-]+))");
        for (std::sregex_iterator i(text.begin(), text.end(), name), end; i != end; ++i)
            names.insert((*i)[2]);
        return names;
    }

    TemporaryFolder inputs_, output_;
};

// From above, meridian theta lies at image angle phi = theta - 90 degrees with hue 2 theta.
TEST_F(RenderProgramTest, DefaultPictureIsTheStarOfMeridiansInTheirHues) {
    const Platform::PngImage image = renderPicture("", "default.png");
    ASSERT_EQ(std::pair(image.width, image.height), std::pair(800, 600));
    const double pi = std::numbers::pi;
    int coloured = 0, matching = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* c = pixelAt(image, x, y);
            ASSERT_EQ(c[3], 255); // opaque
            const double dx = x + 0.5 - image.width / 2.0, dy = image.height / 2.0 - (y + 0.5);
            if (black(c) || std::hypot(dx, dy) < 40.0)
                continue;
            ++coloured;
            // The colour wheel's angle: red at 0, green at 2 pi / 3, blue at -2 pi / 3.
            const double hue = std::atan2(std::sqrt(3.0) * (c[1] - c[2]), 2.0 * c[0] - c[1] - c[2]);
            matching += std::fabs(std::remainder(hue - 2.0 * std::atan2(dy, dx) - pi, 2 * pi)) <
                        8.0 * pi / 180.0;
        }
    EXPECT_GT(coloured, 5000);
    EXPECT_GT(matching, coloured * 95 / 100) << matching << " of " << coloured;
    // The camera options' documented defaults are the window's camera.
    EXPECT_EQ(renderPicture("--azimuth 0 --elevation 0 --twist 0 --target-z 1", "camera.png").rgba,
              image.rgba);
}

// A document, piped or named, draws as its values given as options; smoothing changes only edges.
TEST_F(RenderProgramTest, DocumentsMeetTheOptionsAndSmoothingChangesOnlyPixelsNearTheLines) {
    const std::string file = document(
        "picture.vexmira", "blowupValue = 0.8; distanceValue = 7; immersionValue = 0.3; "
                           "meridiansValue = 40; resolutionValue = 50; antialiasingValue = 5;");
    const std::string view = " --size 400x300 --elevation 60 --azimuth 30 --target-z 0.5";
    const Platform::PngImage smoothed = renderPicture(
        view + " --blowup 0.8 --immersion 0.3 --distance 7 --meridians 40 --resolution 50 "
               "--passes 5",
        "smoothed.png");
    const std::string fromOptions = TemporaryFolder::read(output_.file("smoothed.png"));
    EXPECT_EQ(render("-" + view + " -o -", inputs_.file("picture.vexmira")).standardOutput,
              fromOptions);
    EXPECT_EQ(renderFile(file + view, "file.png"), fromOptions);

    const Platform::PngImage once = renderPicture(file + view + " --passes 1", "once.png");
    ASSERT_EQ(once.rgba.size(), smoothed.rgba.size());
    int changed = 0, farFromLines = 0;
    for (int y = 0; y < once.height; ++y)
        for (int x = 0; x < once.width; ++x) {
            if (std::equal(pixelAt(once, x, y), pixelAt(once, x, y) + 3, pixelAt(smoothed, x, y)))
                continue;
            ++changed;
            bool nearDrawn = false; // anything drawn among the pixel and its neighbours
            for (int n = 0; n < 9; ++n)
                nearDrawn |= !black(pixelAt(once, std::clamp(x + n % 3 - 1, 0, once.width - 1),
                                            std::clamp(y + n / 3 - 1, 0, once.height - 1)));
            farFromLines += !nearDrawn;
        }
    EXPECT_GT(changed, 1000);
    EXPECT_EQ(farFromLines, 0);
}

// Stills and animations alike.
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
        {quoted(inputs_.file("missing.vexmira")) + out, "missing.vexmira"},
        {quoted(inputs_.file("garbage.vexmira")) + out, "garbage.vexmira"},
        {document("huge.vexmira", "meridiansValue = 5000; resolutionValue = 5000;") + out,
         "huge.vexmira"},
        {"-o " + quoted(output_.file("no-such-folder/out.png")), "out.png"},
        {"-o " + quoted(output_.file("out.jpg")), "--format"},
        {"--format gif" + out, "--format"},
        {"--format pdf" + out, "does not match"},
        {"- -o -", "standard input"}, // garbage on standard input
        {animate + to("a.gif"), "--frames"},
        {animate + "--frames 1" + to("a.gif"), "--frames"},
        {animate + "--frames 10001" + to("a.gif"), "10001"},
        {"--frames 5" + to("a.gif"), "--animate"},
        {"--animate spin=0:1 --frames 5" + to("a.gif"), "spin"},
        {"--animate blowup=0:2e6 --frames 5" + to("a.gif"), "2e6"},
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
        const ProgramRun run = render(arguments, inputs_.file("garbage.vexmira"));
        EXPECT_EQ(std::pair(run.status, run.standardOutput), std::pair(2, std::string()));
        EXPECT_THAT(run.standardError,
                    AllOf(MatchesRegex("vexmira-render: [^\n]+\n"), HasSubstr(mentioned)));
        EXPECT_EQ(output_.entryCount(), 0u);
    }
}

// Installed and moved, the program needs neither the source or build trees nor its first prefix.
TEST_F(RenderProgramTest, MovedInstalledTreeHasEverythingAndRendersWithItsOwnResources) {
    const std::string install = quoted(VEXMIRA_CMAKE_COMMAND) + " --install " +
                                quoted(VEXMIRA_TEST_BINARY_DIR) + " --prefix ";
    ASSERT_EQ(runProgram(install + quoted(inputs_.file("prefix"))).status, 0);
    const fs::path tree = inputs_.file("moved");
    fs::rename(inputs_.file("prefix"), tree);
    for (const char* file :
         {"bin/vexmira", "share/locale/de/LC_MESSAGES/vexmira.mo", "share/man/man1/vexmira.1",
          "share/man/man1/vexmira-render.1", "share/applications/vexmira.desktop",
          "share/icons/hicolor/256x256/apps/vexmira.png", "share/mime/packages/vexmira.xml",
          "share/vexmira/resources/RVModelVNT/1.rvmvnt",
          "share/vexmira/resources/RVTexture/1.tiff"})
        EXPECT_TRUE(fs::is_regular_file(tree / file)) << file;

    const std::string help = runProgram(installedProgram(tree) + " --help").standardOutput;
    for (const char* option :
         {"--output", "--size", "--azimuth", "--elevation", "--twist", "--target-z", "--passes",
          "--blowup", "--immersion", "--meridians", "--resolution", "--distance", "--version",
          "--format", "--transparent"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    // The window program answers --help and --version without a display, in German too.
    const std::string window = "env -u DISPLAY -u WAYLAND_DISPLAY " + quoted(tree / "bin/vexmira");
    EXPECT_EQ(runProgram(window + " --version").standardOutput,
              "vexmira " VEXMIRA_PROJECT_VERSION "\n");
    const ProgramRun windowHelp = runProgram(window + " --help");
    EXPECT_EQ(windowHelp.status, 0);
    EXPECT_THAT(windowHelp.standardOutput, HasSubstr("--version"));
    EXPECT_THAT(runProgram("LANGUAGE=de LANG=C.UTF-8 " + window + " -h").standardOutput,
                HasSubstr("Aufruf: vexmira"));
    const ProgramRun refused = runProgram(window + " --frobnicate");
    EXPECT_EQ(std::pair(refused.status, refused.standardError),
              std::pair(2, std::string("vexmira: unknown option --frobnicate (see --help)\n")));
    expectDrawsAsBuiltFromItsOwnResources(tree);
}

// The Debian package, unpacked as dpkg would: everything below /usr, every library the programs
// load declared, the desktop files accepted by their validators, and a picture drawn from it.
TEST_F(RenderProgramTest, PackageDeclaresItsLibrariesPassesTheValidatorsAndRenders) {
    const std::string folder = inputs_.file("packages");
    const ProgramRun packing = runProgram(quoted(VEXMIRA_CPACK_COMMAND) + " --config " +
                                          quoted(VEXMIRA_CPACK_CONFIG) + " -B " + quoted(folder));
    ASSERT_EQ(packing.status, 0) << packing.standardOutput << packing.standardError;
    const std::string architecture = runProgram("dpkg --print-architecture").standardOutput;
    const fs::path package =
        fs::path(folder) / ("vexmira_" VEXMIRA_PROJECT_VERSION "_" +
                            architecture.substr(0, architecture.find('\n')) + ".deb");
    ASSERT_TRUE(fs::is_regular_file(package)) << packing.standardOutput;
    const fs::path root = inputs_.file("root"), share = root / "usr/share";
    ASSERT_EQ(runProgram("dpkg-deb --extract " + quoted(package) + " " + quoted(root)).status, 0);
    EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(root), {}),
              std::vector<fs::path>{root / "usr"});

    const std::set<std::string> declared =
        packageNames(runProgram("dpkg-deb --field " + quoted(package) + " Depends").standardOutput);
    const std::string programs =
        quoted(root / "usr/bin/vexmira") + " " + quoted(root / "usr/bin/vexmira-render");
    std::istringstream needed(
        runProgram("objdump -p " + programs + " | awk '/NEEDED/ { print $2 }' | sort -u")
            .standardOutput);
    int libraries = 0;
    for (std::string library; std::getline(needed, library); ++libraries) {
        const std::set<std::string> owners = packageNames(
            runProgram("dpkg-query --search " + quoted("*/" + library)).standardOutput);
        EXPECT_TRUE(std::ranges::any_of(owners, [&](auto& p) { return declared.contains(p); }))
            << library << " comes from none of the declared packages";
    }
    EXPECT_GT(libraries, 5);

    // What desktops and software centres read. The desktop validators also speak of mere
    // hints, and update-mime-database only speaks of a file it cannot read: all must be silent.
    // appstreamcli always reports and fails on warnings.
    const std::pair<std::string, bool> validations[] = {
        {"desktop-file-validate " + quoted(share / "applications/vexmira.desktop"), true},
        {"update-desktop-database " + quoted(share / "applications"), true},
        {"XDG_DATA_DIRS=" + quoted(share) + " update-mime-database " + quoted(share / "mime"),
         true},
        {"appstreamcli validate-tree --no-net " + quoted(root), false}};
    for (const auto& [validation, silent] : validations) {
        const ProgramRun run = runProgram(validation);
        EXPECT_EQ(run.status, 0) << validation << "\n" << run.standardOutput;
        if (silent) {
            EXPECT_EQ(run.standardOutput + run.standardError, "") << validation;
        }
    }
    // The databases built from the package's files open .vexmira documents with Vexmira.
    EXPECT_THAT(TemporaryFolder::read(share / "mime/globs2"),
                HasSubstr(":application/x-vexmira:*.vexmira\n"));
    EXPECT_THAT(TemporaryFolder::read(share / "applications/mimeinfo.cache"),
                HasSubstr("\napplication/x-vexmira=vexmira.desktop;\n"));
    EXPECT_THAT(TemporaryFolder::read(share / "metainfo/example.vexmira.Vexmira.metainfo.xml"),
                HasSubstr("<release version=\"" VEXMIRA_PROJECT_VERSION "\""));

    expectDrawsAsBuiltFromItsOwnResources(root / "usr");
    // The picture checker used on installed pictures tells a drawing from a blank or broken file.
    const std::string checker = quoted(VEXMIRA_CHECK_PICTURE_PROGRAM) + " ";
    EXPECT_EQ(runProgram(checker + quoted(output_.file("installed.png"))).status, 0);
    ASSERT_TRUE(Platform::writePngFile(inputs_.file("blank.png"), 4, 3,
                                       std::vector<std::uint8_t>(4 * 3 * 4, 200)));
    EXPECT_EQ(runProgram(checker + quoted(inputs_.file("blank.png"))).status, 1);
    EXPECT_EQ(runProgram(checker + quoted(share / "applications/vexmira.desktop")).status, 2);
}
