#include "Platform/image/PngWriter.h"
#include "Platform/image/PngReader.h"
#include "support/TemporaryFolder.h"
#include <gtest/gtest.h>

#include <filesystem>

using VexmiraTest::TemporaryFolder;

TEST(PngWriter, ReplacesFilesWholeWithRgbaRowsFromTheTopDownOrRefusesLeavingNoFile) {
    std::vector<std::uint8_t> pattern(3 * 2 * 4); // every byte differs: swaps show
    for (std::size_t k = 0; k < pattern.size(); ++k)
        pattern[k] = static_cast<std::uint8_t>(10 * k + 3);
    TemporaryFolder folder;
    const std::string path = folder.file("image.png");
    std::string error;
    EXPECT_FALSE(Platform::writePngFile(path, 3, 3, pattern, &error) || error.empty());
    EXPECT_FALSE(Platform::writePngFile(path, 0, 2, {}, &error));
    EXPECT_FALSE(Platform::writePngFile(folder.file("missing/image.png"), 3, 2, pattern, &error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
    EXPECT_EQ(folder.entryCount(), 0u);
    EXPECT_FALSE(Platform::readPngFile(path, &error));

    TemporaryFolder::write(path, std::string(100000, 'x'));
    EXPECT_FALSE(Platform::readPngFile(path, &error));
    ASSERT_TRUE(Platform::writePngFile(path, 3, 2, pattern, &error)) << error;
    const auto image = Platform::readPngFile(path, &error);
    ASSERT_TRUE(image) << error;
    EXPECT_TRUE(image->width == 3 && image->height == 2 && image->rgba == pattern);
    EXPECT_LT(std::filesystem::file_size(path), 1000u);
    EXPECT_EQ(folder.entryCount(), 1u) << "the temporary file was left behind";
}
