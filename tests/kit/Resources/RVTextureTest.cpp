#include "TolvaneKit/Resources/RVTexture.h"
#include "TolvaneKit/Resources/RVDatabase.h"
#include "kit/GLMatrix.h"
#include "kit/Resources/TiffPicture.h"
#include "support/AllocationPeak.h"
#include "support/OffscreenGLTest.h"
#include "support/ResourceFolder.h"

#include <cstdint>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <tiffio.h>
#include <tuple>
#include <vector>

using namespace KitTest;

namespace {

using Bytes = std::vector<std::uint8_t>;

class RVTextureTest : public VexmiraTest::OffscreenGLTest {
protected:
    void TearDown() override {
        database.reset(); // its textures go while their context is current
        OffscreenGLTest::TearDown();
    }

    std::string texturePath(int key) const {
        return folder_.file("RVTexture/" + std::to_string(key) + ".tiff");
    }

    void writeTexture(int key, const TiffLayout& layout, const TiffPicture& picture) {
        ASSERT_TRUE(writeTiffPicture(texturePath(key), layout, picture)) << layout.name;
    }

    // The texture's level 0 as OpenGL holds it, OpenGL's first row first.
    static Bytes readBack(RVTexture& texture) {
        Bytes pixels(4 * std::size_t(texture.width()) * std::size_t(texture.height()));
        texture.apply();
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    VexmiraTest::ResourceFolder folder_{"RVTexture"};
    std::unique_ptr<RVDatabase> database = std::make_unique<RVDatabase>();
};

// Texel by texel from the bottom left, the first that differs named.
void expectSameTexels(const Bytes& got, const Bytes& expected, int width) {
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t k = 0; k < got.size(); k += 4)
        ASSERT_EQ(Bytes(&got[k], &got[k] + 4), Bytes(&expected[k], &expected[k] + 4))
            << "texel " << k / 4 % width << ", " << k / 4 / width << " from the bottom left";
}

// Every layout other programs write gives the texels of the picture it holds:
// tiles whose size is no multiple of 1024 bytes, unassociated alpha outside
// plain strips (once premultiplied) and palettes with alpha (once opaque)
// included. A texture is decoded once, drawn at once, and deleted by the last
// giving back.
TEST_F(RVTextureTest, EveryLayoutGivesTheTexelsOfThePictureItHoldsOnceAndAtOnce) {
    using enum TiffColours;
    const std::uint16_t lzw = COMPRESSION_LZW, deflate = COMPRESSION_ADOBE_DEFLATE;
    const TiffLayout layouts[] = {
        {"RGBA8 in strips of one row"},
        {"RGBA8 in one big-endian strip", rgba, 8, 19, 0, 1, 1, true},
        {"RGBA8 in LZW strips of 4 rows", rgba, 8, 4, 0, lzw},
        {"RGBA8 in 16-pixel tiles", rgba, 8, 1, 16},
        {"RGBA8 in 32-pixel deflated tiles", rgba, 8, 1, 32, deflate},
        {"RGBA16 in big-endian strips", rgba, 16, 3, 0, 1, 1, true},
        {"RGBA16 in LZW tiles", rgba, 16, 1, 16, lzw},
        {"associated RGBA8 in strips", premultiplied},
        {"associated RGBA16 in big-endian tiles", premultiplied, 16, 1, 16, 1, 1, true},
        {"RGB8 in 16-pixel tiles", rgb, 8, 1, 16},
        {"RGB8 in PackBits strips", rgb, 8, 5, 0, COMPRESSION_PACKBITS},
        {"RGB16 in big-endian strips", rgb, 16, 1, 0, 1, 1, true},
        {"grey8 in 16-pixel tiles", grey, 8, 1, 16},
        {"grey8, white at 0", greyWhite},
        {"grey16 in deflated strips", grey, 16, 2, 0, deflate},
        {"grey and alpha 8", greyAlpha},
        {"grey and alpha 16 in big-endian tiles", greyAlpha, 16, 1, 16, 1, 1, true},
        {"bilevel, white at 0", bilevel, 1, 7},
        {"palette8", palette},
        {"palette4 in LZW strips", palette, 4, 19, 0, lzw},
        {"palette8 and alpha in tiles", paletteAlpha, 8, 1, 16},
        {"CMYK8, through libtiff's conversion", cmyk},
        {"CMYK8 in tiles, through libtiff's conversion", cmyk, 8, 1, 16},
        {"RGBA8 with orientation 2", rgba, 8, 2, 0, 1, 2},
        {"RGBA16 tiles with orientation 3", rgba, 16, 2, 16, 1, 3},
        {"RGBA8 with orientation 4", rgba, 8, 2, 0, 1, 4},
        {"palette and alpha with orientation 5", paletteAlpha, 8, 2, 0, 1, 5},
        {"RGBA8 tiles with orientation 6", rgba, 8, 2, 16, 1, 6},
        {"CMYK8 with orientation 7", cmyk, 8, 2, 0, 1, 7},
        {"grey and alpha with orientation 8", greyAlpha, 8, 2, 0, 1, 8},
    };
    const TiffPicture known = knownPicture();
    int key = 1;
    for (const TiffLayout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        writeTexture(key, layout, known);
        RVTexture& texture = *database->retainKey<RVTexture>(key++);
        ASSERT_NE(texture.textureName(), 0u) << texture.failureReason();
        EXPECT_EQ(texture.failureReason(), "");
        ASSERT_EQ(texture.width(), int(known.width));
        ASSERT_EQ(texture.height(), int(known.height));
        expectSameTexels(readBack(texture), bottomUpBytes(shownAs(layout.colours, known)),
                         texture.width());
    }
    std::filesystem::remove(texturePath(1)); // a second decode would find nothing
    RVTexture& first = *database->retainKey<RVTexture>(1);
    ASSERT_NE(first.textureName(), 0u);
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
    database->releaseKey(1);
    EXPECT_TRUE(glIsTexture(name));
    database->releaseKey(1);
    EXPECT_FALSE(glIsTexture(name)) << "the last giving back deletes it";
    expectNoGLError();
}

// Layouts that cannot be shown as stored, damaged files and sizes no
// context takes leave empty textures, quietly, with the file and the reason.
TEST_F(RVTextureTest, RefusedFilesGiveEmptyTexturesQuietlyWithTheirReason) {
    using enum TiffColours;
    const TiffPicture picture = shownAs(rgb, knownPicture());
    writeTexture(1, {"planar RGB", rgb, 8, 1, 0, 1, 1, false, true}, picture);
    writeTexture(2, {"float grey", grey, 32, 1, 0, 1, 1, false, false, SAMPLEFORMAT_IEEEFP},
                 picture);
    writeTexture(3, {"12-bit grey", grey, 12}, picture);
    writeTexture(4, {"CMYK and alpha", cmykAlpha}, picture);
    VexmiraTest::TemporaryFolder::write(texturePath(5), std::string("II*\0garbage", 11));
    std::filesystem::copy_file(std::string(VEXMIRA_TEST_SOURCE_DIR) +
                                   "/fuzz/corpus/texture/declares-100000-squared.tiff",
                               texturePath(6));
    // Key 7 has no file.
    const char* reasons[] = {"",
                             "separate planes",
                             "floating-point",
                             "12-bit",
                             "extra samples",
                             "not a TIFF image",
                             "more than the OpenGL context",
                             "cannot be opened"};
    GLuint previous = 0;
    glGenTextures(1, &previous);
    glBindTexture(GL_TEXTURE_2D, previous);
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
                           testing::HasSubstr(reasons[key])));
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

} // namespace
