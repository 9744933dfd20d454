// Runs the figure example as a user would and reads its frames back.

#include "Platform/offscreen/PngReader.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#ifdef VEXMIRA_FIGURE_EXAMPLE

using namespace VexmiraTest;

namespace {

struct Rgb {
    int red, green, blue;
};

Rgb at(const Platform::PngImage& image, std::size_t pixel) {
    const std::uint8_t* p = &image.rgba[4 * pixel];
    return {p[0], p[1], p[2]};
}

bool sameColour(const Rgb& a, const Rgb& b) {
    return std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue) < 6;
}

// Pixels of a strong blue, the colour of the figure's shirt; neither the sky
// nor the ground comes near it.
std::size_t shirtPixels(const Platform::PngImage& image) {
    std::size_t count = 0;
    for (std::size_t k = 0; k < image.rgba.size() / 4; ++k) {
        const Rgb c = at(image, k);
        count += c.blue > c.red + 80 && c.blue > c.green + 40;
    }
    return count;
}

std::size_t differingPixels(const Platform::PngImage& a, const Platform::PngImage& b) {
    std::size_t count = 0;
    for (std::size_t k = 0; k < a.rgba.size() / 4; ++k)
        count += !sameColour(at(a, k), at(b, k));
    return count;
}

} // namespace

TEST(FigureExample, RendersTheFigureInFramesThatChangeBetweenPoses) {
    TemporaryFolder folder;
    const std::string frames = folder.file("frames");
    const std::string log = folder.file("log.txt");
    const std::string command =
        "'" VEXMIRA_FIGURE_EXAMPLE "' '" + frames + "' > '" + log + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << TemporaryFolder::read(log);

    std::vector<Platform::PngImage> images;
    for (int frame = 0; frame < 4; ++frame) {
        const std::string path = frames + "/figure-" + std::to_string(frame) + ".png";
        EXPECT_NE(TemporaryFolder::read(log).find(path), std::string::npos) << path;
        std::string error;
        auto image = Platform::readPngFile(path, &error);
        ASSERT_TRUE(image) << error;
        images.push_back(std::move(*image));
    }
    const std::size_t pixels = images[0].rgba.size() / 4;
    for (const auto& image : images) {
        ASSERT_EQ(image.rgba.size(), images[0].rgba.size());
        // Not blank: away from the sky's colour in the top corner there is
        // the ground and the figure, shirt included.
        const Rgb sky = at(image, 0);
        std::size_t elsewhere = 0;
        for (std::size_t k = 0; k < pixels; ++k)
            elsewhere += !sameColour(at(image, k), sky);
        EXPECT_GT(elsewhere, pixels / 5);
        EXPECT_GT(shirtPixels(image), pixels / 100);
    }
    // The blend moves the figure from frame to frame, most between the poses.
    for (int frame = 1; frame < 4; ++frame)
        EXPECT_GT(differingPixels(images[frame - 1], images[frame]), pixels / 200) << frame;
    EXPECT_GT(differingPixels(images[0], images[3]), pixels / 50);
}

#endif
