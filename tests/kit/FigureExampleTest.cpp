// Runs the figure example as a user would and reads its frames back.

#include "Platform/offscreen/PngReader.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#ifdef VEXMIRA_FIGURE_EXAMPLE

using VexmiraTest::TemporaryFolder;

namespace {

// Pixels of `image` clearly unlike the same pixel of `other`, or its top-left one (the sky).
std::size_t differing(const Platform::PngImage& image, const Platform::PngImage& other,
                      bool skyOnly = false) {
    std::size_t count = 0;
    for (std::size_t k = 0; k < image.rgba.size(); k += 4) {
        const std::uint8_t *p = &image.rgba[k], *q = &other.rgba[skyOnly ? 0 : k];
        count += std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) >= 6;
    }
    return count;
}

} // namespace

TEST(FigureExample, RendersTheFigureInFramesThatChangeBetweenPoses) {
    TemporaryFolder folder;
    const std::string frames = folder.file("frames"), log = folder.file("log.txt");
    const std::string command =
        "'" VEXMIRA_FIGURE_EXAMPLE "' '" + frames + "' > '" + log + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << TemporaryFolder::read(log);
    std::vector<Platform::PngImage> images;
    for (int frame = 0; frame < 4; ++frame) {
        std::string error;
        auto image =
            Platform::readPngFile(frames + "/figure-" + std::to_string(frame) + ".png", &error);
        ASSERT_TRUE(image) << frame << ": " << error;
        ASSERT_EQ(image->rgba.size(), images.empty() ? image->rgba.size() : images[0].rgba.size());
        images.push_back(std::move(*image));
    }
    const std::size_t pixels = images[0].rgba.size() / 4;
    for (int frame = 0; frame < 4; ++frame) {
        SCOPED_TRACE(frame);
        // Not blank: the ground and the figure, its strong blue shirt included.
        EXPECT_GT(differing(images[frame], images[frame], true), pixels / 5);
        std::size_t shirt = 0;
        for (std::size_t k = 0; k < images[frame].rgba.size(); k += 4) {
            const std::uint8_t* c = &images[frame].rgba[k];
            shirt += c[2] > c[0] + 80 && c[2] > c[1] + 40;
        }
        EXPECT_GT(shirt, pixels / 100);
        // The blend moves the figure from frame to frame, most between the poses.
        if (frame > 0) {
            EXPECT_GT(differing(images[frame - 1], images[frame]), pixels / 200);
        }
    }
    EXPECT_GT(differing(images[0], images[3]), pixels / 50);
}

#endif
