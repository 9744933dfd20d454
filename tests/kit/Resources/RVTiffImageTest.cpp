#include "TolvaneKit/Resources/RVTiffImage.h"

#include "kit/Resources/TiffPicture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using VexmiraTest::TemporaryFolder;

namespace {

std::size_t openDescriptorCount() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

// Only a regular file is read as an image. A named pipe in place of a
// texture once made the loader wait for a writer for ever; a folder or a
// device is refused the same way. Neither a refused nor a read image keeps
// a descriptor open. An image is decoded from the bytes read when it was
// opened: a file cut short meanwhile, which would be a bus error under a
// memory map, changes nothing, uncompressed tiles included.
TEST(RVTiffImage, OnlyRegularFilesAreReadWhollyWhenOpenedAndNoneKeepsADescriptor) {
    TemporaryFolder folder;
    ASSERT_EQ(::mkfifo(folder.file("pipe.tiff").c_str(), 0600), 0); // must not hang
    std::filesystem::create_directory(folder.file("folder.tiff"));
    TemporaryFolder::write(folder.file("garbage.tiff"), std::string("II*\0garbage", 11));
    const std::string sample = std::string(VEXMIRA_TEST_SOURCE_DIR) + "/resources/RVTexture/1.tiff";
    const std::size_t descriptorsBefore = openDescriptorCount();
    for (int round = 0; round < 10; ++round) {
        for (const char* name : {"pipe.tiff", "folder.tiff", "garbage.tiff", "missing.tiff"}) {
            RVTiffImage image(folder.file(name));
            EXPECT_FALSE(image.isOpen()) << name;
            EXPECT_EQ(image.width(), 0u) << name;
        }
        for (const std::string& path : {sample, std::string("/dev/zero")}) {
            RVTiffImage image(path);
            EXPECT_EQ(image.isOpen(), path == sample) << path;
        }
    }
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore);

    const std::string path = folder.file("tiles.tiff");
    const KitTest::TiffPicture picture = KitTest::knownPicture();
    ASSERT_TRUE(KitTest::writeTiffPicture(
        path, {"tiles", PHOTOMETRIC_RGB, EXTRASAMPLE_UNASSALPHA, 8, true}, picture));
    RVTiffImage image(path);
    ASSERT_TRUE(image.isOpen()) << image.failureReason();
    std::filesystem::resize_file(path, 0);
    std::vector<std::uint8_t> rgba(4 * std::size_t{image.width()} * image.height());
    ASSERT_TRUE(image.readRgbaBottomUp(rgba.data())) << image.failureReason();
    EXPECT_EQ(rgba, KitTest::bottomUpBytes(picture));
}

} // namespace
