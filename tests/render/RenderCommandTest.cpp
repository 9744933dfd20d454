// The window's render command read back by vexmira-render's own option parser and by a shell.

#include "Vexmira/RenderCommand.h"
#include "Platform/offscreen/OffscreenSurface.h"
#include "TolvaneKit/Camera/RVCamera.h"
#include "Vexmira/Blowup.h"
#include "support/ProgramRun.h"
#include "tools/vexmira-render/RenderOptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

// Floats with long or awkward decimal forms come back as the very same floats.
TEST(RenderCommand, ItsOptionsReadBackAsTheSameValues) {
    auto surface = Platform::OffscreenSurface::create(8, 8); // the camera issues GL calls
    ASSERT_TRUE(surface);
    Blowup model;
    model.setBlowup(0.1f);
    model.setImmersion(std::nextafter(6.2831855f, 0.0f));
    model.setDistance(123456.79f);
    model.setMeridians(7);
    model.setResolution(-3);
    model.setAntialiasing(-12);
    RVCamera camera;
    camera.prepareOpenGL();
    camera.setAzimuth(359.99997f);
    camera.setElevation(-0.5f);
    camera.setTwist(1e-7f);
    const GLfloat target[3] = {0.0f, 0.0f, std::numeric_limits<float>::denorm_min()};
    camera.setTarget(target);

    std::vector<std::string> arguments = RenderCommand(model, camera, 640, 7).arguments();
    arguments.insert(arguments.end(), {"-o", "out.svg"});
    std::string error;
    const auto options = RenderOptions::parse(arguments, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(std::tuple(options->width, options->height, options->meridians, options->resolution,
                         options->passes),
              std::tuple(640, 7, 7, -3, -12));
    EXPECT_EQ(std::tuple(options->blowup, options->immersion, options->distance, options->azimuth,
                         options->elevation, options->twist, options->targetZ),
              std::tuple(model.blowup(), model.immersion(), model.distance(), camera.azimuth(),
                         camera.elevation(), camera.twist(), target[2]));
}

TEST(RenderCommand, ShellWordsReachTheProgramUnchanged) {
    for (const std::string word : {"plain-name_1.png", "two words.png", "it's.png", "$HOME.png",
                                   "a\"b\\c`d`.png", "*.png", "-", "ä ö.pdf", ""}) {
        const std::string shellWord = RenderCommand::shellWord(word);
        EXPECT_EQ(VexmiraTest::runProgram("printf '%s|' " + shellWord).standardOutput, word + "|")
            << shellWord;
    }
}
