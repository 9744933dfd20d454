#include "TolvaneKit/Resources/RVTexture.h"
#include "TolvaneKit/Resources/RVDatabase.h"
#include "TolvaneKit/Resources/RVTiffImage.h"
#include "kit/GLMatrix.h"
#include "kit/Resources/TiffPicture.h"
#include "support/AllocationPeak.h"
#include "support/OffscreenGLTest.h"
#include "support/ResourceFolder.h"

#include <sys/stat.h>

#include <filesystem>
#include <gmock/gmock.h>
#include <memory>
#include <tuple>

using namespace KitTest;

namespace {

class RVTextureTest : public VexmiraTest::OffscreenGLTest {
protected:
    std::string texturePath(int key) const {
        return folder_.file("RVTexture/" + std::to_string(key) + ".tiff");
    }

    void writeTexture(int key, const TiffLayout& layout, const TiffPicture& picture) {
        ASSERT_TRUE(writeTiffPicture(texturePath(key), layout, picture)) << layout.name;
    }

    VexmiraTest::ResourceFolder folder_{"RVTexture"};
    std::unique_ptr<RVDatabase> database = std::make_unique<RVDatabase>();
};

// One layout per way of reading: strips and tiles (uncompressed 768-byte tiles, which libtiff
// once refused unless mapped), one compression, 1, 4, 8 and 16 bits, each colour model,
// unassociated alpha outside plain strips (once premultiplied), palettes with alpha (once opaque),
// and every orientation, through the kit's conversion and through libtiff's.
TEST_F(RVTextureTest, EveryLayoutGivesTheTexelsOfThePictureItHoldsAtOnce) {
    const std::uint16_t rgb = PHOTOMETRIC_RGB, palette = PHOTOMETRIC_PALETTE;
    const int plain = EXTRASAMPLE_UNASSALPHA;
    std::vector<TiffLayout> layouts = {
        {"RGBA8 in strips"},
        {"RGBA16 in LZW tiles", rgb, plain, 16, true, COMPRESSION_LZW},
        {"associated RGBA8 in tiles", rgb, EXTRASAMPLE_ASSOCALPHA, 8, true},
        {"RGB8 in tiles", rgb, noAlpha, 8, true},
        {"grey and alpha 8", PHOTOMETRIC_MINISBLACK, plain},
        {"bilevel, white at 0", PHOTOMETRIC_MINISWHITE, noAlpha, 1},
        {"palette4", palette, noAlpha, 4},
        {"palette8 and alpha in tiles", palette, plain, 8, true},
        {"CMYK8 turned, through libtiff's conversion", PHOTOMETRIC_SEPARATED, noAlpha, 8, false, 1,
         ORIENTATION_RIGHTBOT},
    };
    for (std::uint16_t orientation = ORIENTATION_TOPRIGHT; orientation <= ORIENTATION_LEFTBOT;
         ++orientation)
        layouts.push_back({"RGBA8 turned", rgb, plain, 8, orientation % 2 == 0, 1, orientation});
    const TiffPicture known = knownPicture();
    int key = 1;
    for (const TiffLayout& layout : layouts) {
        SCOPED_TRACE(testing::Message() << layout.name << ", orientation " << layout.orientation);
        writeTexture(key, layout, known);
        RVTexture& texture = *database->retainKey<RVTexture>(key++);
        ASSERT_NE(texture.textureName(), 0u) << texture.failureReason();
        ASSERT_EQ(std::pair(texture.width(), texture.height()),
                  std::pair(int(known.width), int(known.height)));
        // Level 0 as OpenGL holds it; a mismatch names its byte, 4 per texel from the bottom left.
        const auto bytes = bottomUpBytes(shownAs(layout, known));
        std::vector<std::uint8_t> got(bytes.size());
        texture.apply();
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, got.data());
        EXPECT_THAT(got, testing::Pointwise(testing::Eq(), bytes));
    }
    RVTexture& first = *database->retainKey<RVTexture>(1);
    // Texel 5 of the bottom row, opaque, drawn at once: one waiting for mipmaps would draw white.
    first.apply();
    glEnable(GL_TEXTURE_2D);
    glBegin(GL_POINTS);
    glTexCoord2f(5.5f / 37, 0.5f / 19), glVertex2f(-0.49f, -0.49f);
    glEnd();
    const auto [r, g, b, a] = known.at(5, 18);
    EXPECT_EQ(pixel(surface().readPixels(), 16, surface().height() - 17),
              std::uint32_t(r << 24 | g << 16 | b << 8 | a));
    const GLuint name = first.textureName();
    for (int use = 0; use < 2; ++use) // obtained twice; the database's test has the counting
        database->releaseKey(1);
    EXPECT_FALSE(glIsTexture(name)) << "the last giving back deletes it";
    expectNoGLError();
}

// Layouts that cannot be shown as stored, damaged files and sizes no context takes.
TEST_F(RVTextureTest, RefusedFilesGiveEmptyTexturesQuietlyWithTheirReason) {
    const TiffPicture picture = knownPicture();
    const std::string seeds = VEXMIRA_TEST_SOURCE_DIR "/fuzz/corpus/texture/";
    const std::uint16_t grey = PHOTOMETRIC_MINISBLACK;
    std::filesystem::copy_file(seeds + "planar-rgb8.tiff", texturePath(1));
    writeTexture(2, {"signed grey", grey, noAlpha, 8, false, 1, 1, SAMPLEFORMAT_INT}, picture);
    writeTexture(3, {"12-bit grey", grey, noAlpha, 12}, picture);
    writeTexture(4, {"CMYK and alpha", PHOTOMETRIC_SEPARATED}, picture);
    VexmiraTest::TemporaryFolder::write(texturePath(5), std::string("II*\0garbage", 11));
    std::filesystem::copy_file(seeds + "declares-100000-squared.tiff", texturePath(6));
    const char* reasons[] = {
        "separate planes",  "signed or floating-point",     "12-bit",          "extra samples",
        "not a TIFF image", "more than the OpenGL context", "cannot be opened"};
    glBindTexture(GL_TEXTURE_2D, 12345); // a texture bound before
    VexmiraTest::AllocationPeak peak;
    testing::internal::CaptureStderr();
    for (int key = 1; key <= 7; ++key) {
        const RVTexture* texture = database->retainKey<RVTexture>(key);
        EXPECT_EQ(std::tuple(texture->textureName(), texture->width(), texture->height()),
                  std::tuple(0u, 0, 0))
            << key;
        EXPECT_THAT(
            texture->failureReason(),
            testing::AllOf(testing::HasSubstr("RVTexture/" + std::to_string(key) + ".tiff: "),
                           testing::HasSubstr(reasons[key - 1])));
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    const auto growth = peak.growth();
    database->retainKey<RVTexture>(7)->apply(); // unbinds what was bound before
    EXPECT_EQ(KitTest::glInteger(GL_TEXTURE_BINDING_2D), 0);
    expectNoGLError();
    if (!growth)
        GTEST_SKIP() << VexmiraTest::AllocationPeak::unavailable;
    EXPECT_LT(*growth, std::size_t{1} << 30) << "40 GB of staging would show here";
}

// A named pipe in place of a texture once made the loader wait for a writer for ever; a device is
// refused the same way. A file cut short after opening, which would be a bus error under a
// memory map, changes nothing, uncompressed tiles included.
TEST(RVTiffImage, OnlyRegularFilesAreReadWhollyWhenOpenedAndNoneKeepsADescriptor) {
    VexmiraTest::TemporaryFolder folder;
    ASSERT_EQ(::mkfifo(folder.file("pipe.tiff").c_str(), 0600), 0); // must not hang
    VexmiraTest::TemporaryFolder::write(folder.file("garbage.tiff"),
                                        std::string("II*\0garbage", 11));
    const std::string sample = std::string(VEXMIRA_TEST_SOURCE_DIR) + "/resources/RVTexture/1.tiff";
    const auto descriptors = [] {
        return std::ranges::distance(std::filesystem::directory_iterator("/proc/self/fd"));
    };
    const auto descriptorsBefore = descriptors();
    for (const std::string& path :
         {folder.file("pipe.tiff"), folder.file("garbage.tiff"), folder.file("missing.tiff"),
          std::string("/dev/zero"), sample}) {
        RVTiffImage image(path);
        EXPECT_EQ(image.isOpen(), path == sample) << path;
    }
    EXPECT_EQ(descriptors(), descriptorsBefore);

    const std::string path = folder.file("tiles.tiff");
    const TiffPicture picture = knownPicture();
    ASSERT_TRUE(writeTiffPicture(path, {"tiles", PHOTOMETRIC_RGB, EXTRASAMPLE_UNASSALPHA, 8, true},
                                 picture));
    RVTiffImage image(path);
    ASSERT_TRUE(image.isOpen()) << image.failureReason();
    std::filesystem::resize_file(path, 0);
    std::vector<std::uint8_t> rgba(4 * std::size_t{image.width()} * image.height());
    ASSERT_TRUE(image.readRgbaBottomUp(rgba.data())) << image.failureReason();
    EXPECT_EQ(rgba, bottomUpBytes(picture));
}

} // namespace
