#include "TolvaneKit/Resources/RVTiffImage.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

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
// a descriptor open.
TEST(RVTiffImage, OnlyRegularFilesAreOpenedAndNoneKeepsADescriptor) {
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
}

} // namespace
