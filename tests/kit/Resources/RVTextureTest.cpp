#include "TolvaneKit/Resources/RVTexture.h"
#include "TolvaneKit/Resources/RVDatabase.h"
#include "kit/GLMatrix.h"
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

namespace {

using Bytes = std::vector<std::uint8_t>;

// What a test TIFF holds; samples are given row by row from the top.
struct TiffLayout {
    std::uint32_t width = 2, height = 2;
    std::uint16_t samplesPerPixel = 4, bitsPerSample = 8, photometric = PHOTOMETRIC_RGB;
    std::uint16_t planarConfig = PLANARCONFIG_CONTIG;
    std::vector<std::uint16_t> colormap = {}; // red, then green, then blue entries
};

class RVTextureTest : public VexmiraTest::OffscreenGLTest {
protected:
    void TearDown() override {
        database.reset(); // its textures go while their context is current
        OffscreenGLTest::TearDown();
    }

    std::string texturePath(int key) const {
        return folder_.file("RVTexture/" + std::to_string(key) + ".tiff");
    }

    // One strip per plane (one in all for interleaved samples).
    template <class Sample>
    void writeTexture(int key, const TiffLayout& layout, std::vector<Sample> samples) {
        TIFF* tiff = TIFFOpen(texturePath(key).c_str(), "w");
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, layout.width);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, layout.height);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, layout.height);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, layout.samplesPerPixel);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, layout.bitsPerSample);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, layout.photometric);
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, layout.planarConfig);
        const std::uint16_t unassociatedAlpha[1] = {EXTRASAMPLE_UNASSALPHA};
        if (layout.samplesPerPixel == 4)
            TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, unassociatedAlpha);
        const std::uint16_t* map = layout.colormap.data();
        if (const std::size_t entries = layout.colormap.size() / 3)
            TIFFSetField(tiff, TIFFTAG_COLORMAP, map, map + entries, map + 2 * entries);
        const int planes =
            layout.planarConfig == PLANARCONFIG_SEPARATE ? layout.samplesPerPixel : 1;
        const std::size_t planeBytes = samples.size() * sizeof(Sample) / planes;
        for (int plane = 0; plane < planes; ++plane)
            TIFFWriteEncodedStrip(tiff, plane,
                                  reinterpret_cast<char*>(samples.data()) + plane * planeBytes,
                                  planeBytes);
        TIFFClose(tiff);
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

TEST_F(RVTextureTest, TwoByTwoImageIsDecodedOnceUploadedBottomRowFirstAndComplete) {
    writeTexture(7, TiffLayout{},
                 Bytes{255, 0, 0, 255, 0, 255, 0, 255,       // red, green
                       0, 0, 255, 255, 255, 255, 255, 255}); // blue, white
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

TEST_F(RVTextureTest, OtherInterleavedLayoutsAreConvertedToRgba8) {
    TiffLayout palette{2, 1, 1, 8, PHOTOMETRIC_PALETTE};
    palette.colormap.assign(3 * 256, 0);
    palette.colormap[0] = palette.colormap[2 * 256 + 1] = 65535; // entry 0 red, entry 1 blue
    writeTexture(1, {2, 1, 3}, Bytes{10, 20, 30, 200, 100, 50});
    writeTexture(2, {1, 2, 1, 8, PHOTOMETRIC_MINISBLACK}, Bytes{0, 200});
    writeTexture(3, palette, Bytes{1, 0});
    writeTexture(4, {1, 1, 3, 16}, std::vector<std::uint16_t>{65535, 0, 0x8080});
    writeTexture(5, {1, 1}, Bytes{200, 100, 50, 128});
    const Bytes expected[] = {
        {10, 20, 30, 255, 200, 100, 50, 255},
        {200, 200, 200, 255, 0, 0, 0, 255}, // the bottom row first
        {0, 0, 255, 255, 255, 0, 0, 255},
        {255, 0, 128, 255},
        {200, 100, 50, 128}, // colours stay as stored, not multiplied by alpha
    };
    for (int key = 1; key <= 5; ++key) {
        RVTexture* texture = database->retainKey<RVTexture>(key);
        ASSERT_NE(texture->textureName(), 0u) << key;
        EXPECT_EQ(readBack(*texture), expected[key - 1]) << key;
    }
    expectNoGLError();
}

TEST_F(RVTextureTest, PlanarHugeMissingAndDamagedFilesGiveEmptyTexturesQuietly) {
    writeTexture(1, {2, 2, 3, 8, PHOTOMETRIC_RGB, PLANARCONFIG_SEPARATE}, Bytes(12, 90));
    VexmiraTest::TemporaryFolder::write(texturePath(2), std::string("II*\0garbage", 11));
    VexmiraTest::TemporaryFolder::write(texturePath(3), "not a TIFF at all");
    // 100000 x 100000 grey pixels declared, one row stored.
    writeTexture(5, {100000, 100000, 1, 8, PHOTOMETRIC_MINISBLACK}, Bytes(100000, 7));
    GLuint previous = 0;
    glGenTextures(1, &previous);
    glBindTexture(GL_TEXTURE_2D, previous);
    VexmiraTest::AllocationPeak peak;
    testing::internal::CaptureStderr();
    for (int key : {1, 2, 3, 4, 5}) { // key 4 has no file
        const RVTexture* texture = database->retainKey<RVTexture>(key);
        EXPECT_EQ(std::tuple(texture->textureName(), texture->width(), texture->height()),
                  std::tuple(0u, 0, 0))
            << key;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    const auto growth = peak.growth();
    database->retainKey<RVTexture>(4)->apply(); // unbinds what was bound before
    EXPECT_EQ(KitTest::glInteger(GL_TEXTURE_BINDING_2D), 0);
    expectNoGLError();
    if (!growth)
        GTEST_SKIP() << VexmiraTest::AllocationPeak::unavailable;
    EXPECT_LT(*growth, std::size_t{1} << 30) << "40 GB of staging would show here";
}

} // namespace
