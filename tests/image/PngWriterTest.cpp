#include "Platform/image/PngWriter.h"
#include "Platform/image/PngReader.h"
#include "Platform/image/PngSequenceWriter.h"
#include "support/SmallDisk.h"
#include "support/TemporaryFolder.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <random>

using VexmiraTest::TemporaryFolder;

TEST(PngWriter, WritesRgbaRowsTopDownOrRefusesKeepingTheOldFile) {
    std::vector<std::uint8_t> pattern(3 * 2 * 4); // every byte differs: swaps show
    std::iota(pattern.begin(), pattern.end(), std::uint8_t{3});
    TemporaryFolder folder;
    const std::string path = folder.file("image.png");
    std::string error;
    EXPECT_FALSE(Platform::writePngFile(path, 3, 3, pattern, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(Platform::writePngFile(path, 0, 2, {}, &error));
    EXPECT_EQ(folder.entryCount(), 0u);
    EXPECT_FALSE(Platform::readPngFile(path, &error));

    TemporaryFolder::write(path, std::string(100000, 'x'));
    EXPECT_FALSE(Platform::readPngFile(path, &error));
    ASSERT_TRUE(Platform::writePngFile(path, 3, 2, pattern, &error)) << error;
    const auto image = Platform::readPngFile(path, &error);
    ASSERT_TRUE(image) << error;
    EXPECT_EQ(std::pair(image->width, image->height), std::pair(3, 2));
    EXPECT_EQ(image->rgba, pattern);

    VexmiraTest::SmallDisk disk;
    if (!disk.isMounted())
        GTEST_SKIP() << "no full disk to test with: " << disk.reason();
    ASSERT_TRUE(Platform::writePngFile(disk.file("image.png"), 3, 2, pattern, &error)) << error;
    const std::string before = TemporaryFolder::read(disk.file("image.png"));
    disk.fill();
    EXPECT_FALSE(Platform::writePngFile(disk.file("image.png"), 1, 1, {0, 0, 255, 255}, &error));
    EXPECT_NE(error.find("full"), std::string::npos) << error;
    EXPECT_EQ(TemporaryFolder::read(disk.file("image.png")), before);
}

// Frames appear only once the whole sequence is written; a full disk leaves none of them.
TEST(PngSequenceWriter, FramesAppearTogetherAndAFullDiskLeavesNone) {
    std::vector<std::uint8_t> noise(64 * 64 * 4); // does not compress: 16 KB a frame
    std::ranges::generate(noise, std::mt19937(7));
    TemporaryFolder folder;
    std::string error;
    {
        Platform::PngSequenceWriter frames({folder.file("f%02d.png"), 64, 64});
        ASSERT_TRUE(frames.addFrame(noise, error)) << error;
        ASSERT_TRUE(frames.addFrame(noise, error)) << error;
        EXPECT_FALSE(std::filesystem::exists(folder.file("f00.png")));
        ASSERT_TRUE(frames.finish(error)) << error;
    }
    EXPECT_EQ(Platform::readPngFile(folder.file("f01.png"))->rgba, noise);
    EXPECT_EQ(folder.entryCount(), 2u);

    VexmiraTest::SmallDisk disk;
    if (!disk.isMounted())
        GTEST_SKIP() << "no full disk to test with: " << disk.reason();
    {
        Platform::PngSequenceWriter frames({disk.file("f%02d.png"), 64, 64});
        bool added = true;
        for (int frame = 0; frame < 40 && added; ++frame) // 640 KB do not fit in 256 KB
            added = frames.addFrame(noise, error);
        EXPECT_FALSE(added);
        EXPECT_NE(error.find("full"), std::string::npos) << error;
    }
    EXPECT_TRUE(std::filesystem::is_empty(disk.file(""))) << "no frame and no temporary file";
}
