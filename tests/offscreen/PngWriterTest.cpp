#include "Platform/offscreen/PngWriter.h"
#include "Platform/offscreen/PngReader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class PngFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vexmira-png-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }

    // A 3 x 2 image whose every byte differs, so a swapped row or channel shows.
    static std::vector<std::uint8_t> pattern() {
        std::vector<std::uint8_t> pixels(3 * 2 * 4);
        for (std::size_t k = 0; k < pixels.size(); ++k)
            pixels[k] = static_cast<std::uint8_t>(10 * k + 3);
        return pixels;
    }

    std::size_t entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    fs::path folder;
};

TEST_F(PngFiles, RoundTripsRgbaRowsFromTheTopDown) {
    const auto path = (folder / "image.png").string();
    std::string error;
    ASSERT_TRUE(Platform::writePngFile(path, 3, 2, pattern(), &error)) << error;
    auto image = Platform::readPngFile(path, &error);
    ASSERT_TRUE(image) << error;
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->rgba, pattern());
    EXPECT_EQ(entries(), 1u) << "the temporary file was left behind";
}

TEST_F(PngFiles, ReplacesAnExistingFileWhole) {
    const auto path = (folder / "image.png").string();
    std::ofstream(path) << std::string(100000, 'x');
    ASSERT_TRUE(Platform::writePngFile(path, 3, 2, pattern()));
    auto image = Platform::readPngFile(path);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->rgba, pattern());
    EXPECT_LT(fs::file_size(path), 1000u);
}

TEST_F(PngFiles, RefusesBadInputWithoutLeavingAFile) {
    const auto path = (folder / "image.png").string();
    std::string error;
    EXPECT_FALSE(Platform::writePngFile(path, 3, 3, pattern(), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(Platform::writePngFile(path, 0, 2, {}, &error));
    EXPECT_FALSE(Platform::writePngFile((folder / "missing" / "image.png").string(), 3, 2,
                                        pattern(), &error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
    EXPECT_EQ(entries(), 0u);

    std::ofstream(path) << "not an image";
    EXPECT_FALSE(Platform::readPngFile(path, &error));
    EXPECT_FALSE(Platform::readPngFile((folder / "absent.png").string(), &error));
}

} // namespace
