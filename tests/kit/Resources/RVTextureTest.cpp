#include "TolvaneKit/Resources/RVTexture.h"
#include "TolvaneKit/Resources/RVDatabase.h"
#include "kit/GLMatrix.h"
#include "kit/Resources/TiffPicture.h"
#include "support/AllocationPeak.h"
#include "support/OffscreenGLTest.h"
#include "support/ResourceFolder.h"

#include <cstdint>
#include <filesystem>
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

// The first texel that differs, from the bottom left, or nothing.
std::string firstDifference(const Bytes& got, const Bytes& expected, int width) {
    if (got.size() != expected.size())
        return std::to_string(got.size()) + " bytes instead of " + std::to_string(expected.size());
    for (std::size_t k = 0; k < got.size(); ++k) {
        if (got[k] == expected[k])
            continue;
        const std::size_t texel = k / 4;
        auto show = [texel](const Bytes& bytes) {
            std::string text;
            for (std::size_t c = 0; c < 4; ++c)
                text += (c ? " " : "") + std::to_string(bytes[4 * texel + c]);
            return text;
        };
        return "texel " + std::to_string(texel % width) + ", " + std::to_string(texel / width) +
               " from the bottom left is " + show(got) + " instead of " + show(expected);
    }
    return "";
}

TEST_F(RVTextureTest, TwoByTwoImageIsDecodedOnceUploadedBottomRowFirstAndComplete) {
    writeTexture(
        7, TiffLayout{},
        {2, 2, {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}}, {}});
    RVTexture* texture = database->retainKey<RVTexture>(7);
    std::filesystem::remove(texturePath(7)); // a second decode would find nothing
    ASSERT_EQ(database->retainKey<RVTexture>(7), texture);
    ASSERT_NE(texture->textureName(), 0u);
    EXPECT_EQ(readBack(*texture), (Bytes{0, 0, 255, 255, 255, 255, 255, 255, // blue, white
                                         255, 0, 0, 255, 0, 255, 0, 255}));  // red, green
    // The bottom-left texel drawn at once: a texture waiting for mipmaps would draw white.
    glEnable(GL_TEXTURE_2D);
    glBegin(GL_POINTS);
    glTexCoord2f(0.25f, 0.25f), glVertex2f(-0.49f, -0.49f);
    glEnd();
    EXPECT_EQ(pixel(surface().readPixels(), 16, surface().height() - 17), 0x0000FFFFu);
    const GLuint name = texture->textureName();
    database->releaseKey(7);
    EXPECT_TRUE(glIsTexture(name));
    database->releaseKey(7);
    EXPECT_FALSE(glIsTexture(name)) << "the last giving back deletes it";
    expectNoGLError();
}

// Every layout other programs write gives the texels of the picture it holds,
// the same as the plain 8-bit RGBA strips of that picture: tiles whose size
// is no multiple of 1024 bytes, unassociated alpha outside plain strips
// (once premultiplied) and palettes with alpha (once opaque) included.
TEST_F(RVTextureTest, EveryLayoutGivesTheTexelsOfThePictureItHolds) {
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
    };
    std::vector<TiffLayout> everyLayout(std::begin(layouts), std::end(layouts));
    for (std::uint16_t orientation = 2; orientation <= 8; ++orientation) {
        const char* names[] = {"",
                               "",
                               "RGBA8 with orientation 2",
                               "RGBA16 tiles with orientation 3",
                               "RGBA8 with orientation 4",
                               "palette and alpha with orientation 5",
                               "RGBA8 tiles with orientation 6",
                               "CMYK8 with orientation 7",
                               "grey and alpha with orientation 8"};
        const TiffColours colours[] = {rgba,         rgba, rgba, rgba,     rgba,
                                       paletteAlpha, rgba, cmyk, greyAlpha};
        everyLayout.push_back({names[orientation], colours[orientation],
                               std::uint16_t(orientation == 3 ? 16 : 8), 2,
                               orientation == 3 || orientation == 6 ? 16u : 0u, 1, orientation});
    }
    const TiffPicture known = knownPicture();
    int key = 1;
    for (const TiffLayout& layout : everyLayout) {
        SCOPED_TRACE(layout.name);
        const TiffPicture shown = shownAs(layout.colours, known);
        writeTexture(key, layout, known);
        writeTexture(key + 1, TiffLayout{}, shown);
        RVTexture& texture = *database->retainKey<RVTexture>(key);
        RVTexture& plain = *database->retainKey<RVTexture>(key + 1);
        key += 2;
        ASSERT_NE(texture.textureName(), 0u) << texture.failureReason();
        EXPECT_EQ(texture.failureReason(), "");
        ASSERT_EQ(texture.width(), int(known.width));
        ASSERT_EQ(texture.height(), int(known.height));
        const Bytes texels = readBack(texture);
        EXPECT_EQ(firstDifference(texels, readBack(plain), texture.width()), "")
            << "against the plain RGBA8 strips";
        EXPECT_EQ(firstDifference(texels, bottomUpBytes(shown), texture.width()), "")
            << "against the picture";
    }
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
    const char* reasons[] = {"",
                             "separate planes",
                             "floating-point",
                             "12-bit",
                             "extra samples",
                             "not a TIFF image",
                             "more than the OpenGL context",
                             "cannot be opened"}; // key 7 has no file
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
        const std::string& reason = texture->failureReason();
        EXPECT_NE(reason.find("RVTexture/" + std::to_string(key) + ".tiff: "), std::string::npos)
            << reason;
        EXPECT_NE(reason.find(reasons[key]), std::string::npos) << reason;
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
