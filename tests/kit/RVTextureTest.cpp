#include "TolvaneKit/RVTexture.h"

#include "PeakMappedMemory.h"
#include "Platform/core/ResourceDirectory.h"
#include "TolvaneKit/RVDatabase.h"
#include "support/OffscreenGLTest.h"

#include <gtest/gtest.h>
#include <tiffio.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// What a test TIFF holds; samples are given row by row from the top.
struct TiffLayout {
    std::uint32_t width = 2, height = 2;
    std::uint16_t samplesPerPixel = 4, bitsPerSample = 8;
    std::uint16_t photometric = PHOTOMETRIC_RGB;
    std::uint16_t planarConfig = PLANARCONFIG_CONTIG;
    bool unassociatedAlpha = true;
    std::vector<std::uint16_t> colormap; // red, then green, then blue entries
};

void writeTiff(const std::string& path, const TiffLayout& layout, const void* samples,
               std::size_t bytes) {
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tiff, nullptr);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, layout.width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, layout.height);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, layout.samplesPerPixel);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, layout.bitsPerSample);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, layout.photometric);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, layout.planarConfig);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, layout.height);
    if (layout.samplesPerPixel == 4 && layout.unassociatedAlpha) {
        const std::uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    if (!layout.colormap.empty()) {
        const std::size_t entries = layout.colormap.size() / 3;
        TIFFSetField(tiff, TIFFTAG_COLORMAP, layout.colormap.data(),
                     layout.colormap.data() + entries, layout.colormap.data() + 2 * entries);
    }
    const int strips = layout.planarConfig == PLANARCONFIG_SEPARATE ? layout.samplesPerPixel : 1;
    const std::size_t stripBytes = bytes / strips;
    for (int strip = 0; strip < strips; ++strip) {
        auto* data = const_cast<std::uint8_t*>(static_cast<const std::uint8_t*>(samples)) +
                     strip * stripBytes;
        EXPECT_GE(TIFFWriteEncodedStrip(tiff, strip, data, tmsize_t(stripBytes)), 0);
    }
    TIFFClose(tiff);
}

class RVTextureTest : public VexmiraTest::OffscreenGLTest {
protected:
    void SetUp() override {
        OffscreenGLTest::SetUp();
        folder_ = fs::temp_directory_path() /
                  ("vexmira-texture-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "RVTexture");
        Platform::setResourceDirectory(folder_.string());
    }
    void TearDown() override {
        Platform::setResourceDirectory("");
        fs::remove_all(folder_);
        OffscreenGLTest::TearDown();
    }

    std::string texturePath(int key) const {
        return (folder_ / "RVTexture" / (std::to_string(key) + ".tiff")).string();
    }

    template <class Sample>
    void writeTexture(int key, const TiffLayout& layout, const std::vector<Sample>& samples) {
        writeTiff(texturePath(key), layout, samples.data(), samples.size() * sizeof(Sample));
    }

    // The texture's level 0 as OpenGL holds it, OpenGL's first row first.
    static Bytes readBack(RVTexture& texture) {
        Bytes pixels(4 * std::size_t(texture.width()) * std::size_t(texture.height()));
        texture.apply();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    static void expectEmpty(const RVTexture& texture) {
        EXPECT_EQ(texture.textureName(), 0u);
        EXPECT_EQ(texture.width(), 0);
        EXPECT_EQ(texture.height(), 0);
    }

    RVDatabase database;

private:
    fs::path folder_;
};

const Bytes redGreenOverBlueWhite = {255, 0, 0,   255, 0,   255, 0,   255,  // top row
                                     0,   0, 255, 255, 255, 255, 255, 255}; // bottom row

TEST_F(RVTextureTest, TwoByTwoImageIsUploadedBottomRowFirst) {
    writeTexture(7, TiffLayout{}, redGreenOverBlueWhite);
    RVTexture* texture = database.retainKey<RVTexture>(7);
    ASSERT_NE(texture, nullptr);
    ASSERT_NE(texture->textureName(), 0u);
    EXPECT_EQ(texture->width(), 2);
    EXPECT_EQ(texture->height(), 2);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), texture->textureName());
    const Bytes expected = {0,   0, 255, 255, 255, 255, 255, 255,  // OpenGL row 0: blue, white
                            255, 0, 0,   255, 0,   255, 0,   255}; // row 1: red, green
    EXPECT_EQ(readBack(*texture), expected);
    expectNoGLError();
    database.releaseKey(7);
}

TEST_F(RVTextureTest, ALoadedTextureIsCompleteAndSamplesAtOnce) {
    writeTexture(1, TiffLayout{}, redGreenOverBlueWhite);
    RVTexture* texture = database.retainKey<RVTexture>(1);
    ASSERT_NE(texture->textureName(), 0u);
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);

    // A quad over the whole viewport, the texture's bottom-left texel in the
    // bottom-left corner. An incomplete texture would leave it white.
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glEnable(GL_TEXTURE_2D);
    texture->apply();
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2f(-1, -1);
    glTexCoord2f(1, 0), glVertex2f(1, -1);
    glTexCoord2f(1, 1), glVertex2f(1, 1);
    glTexCoord2f(0, 1), glVertex2f(-1, 1);
    glEnd();
    const auto pixels = surface().readPixels();
    const int w = surface().width(), h = surface().height();
    EXPECT_EQ(pixel(pixels, 2, h - 3), 0x0000FFFFu); // bottom left: blue
    EXPECT_EQ(pixel(pixels, w - 3, 2), 0x00FF00FFu); // top right: green
    expectNoGLError();
    database.releaseKey(1);
}

TEST_F(RVTextureTest, OtherInterleavedLayoutsAreConvertedToRgba8) {
    TiffLayout rgb;
    rgb.width = 2, rgb.height = 1, rgb.samplesPerPixel = 3;
    writeTexture(1, rgb, Bytes{10, 20, 30, 200, 100, 50});

    TiffLayout grey;
    grey.width = 1, grey.height = 2, grey.samplesPerPixel = 1;
    grey.photometric = PHOTOMETRIC_MINISBLACK;
    writeTexture(2, grey, Bytes{0, 200});

    TiffLayout palette = grey;
    palette.width = 2, palette.height = 1, palette.photometric = PHOTOMETRIC_PALETTE;
    palette.colormap.assign(3 * 256, 0);
    palette.colormap[0] = 65535;           // entry 0: red
    palette.colormap[2 * 256 + 1] = 65535; // entry 1: blue
    writeTexture(3, palette, Bytes{1, 0});

    TiffLayout deep = rgb;
    deep.width = 1, deep.bitsPerSample = 16;
    writeTexture(4, deep, std::vector<std::uint16_t>{65535, 0, 0x8080});

    TiffLayout translucent;
    translucent.width = 1, translucent.height = 1;
    writeTexture(5, translucent, Bytes{200, 100, 50, 128});

    const std::vector<Bytes> expected = {
        {10, 20, 30, 255, 200, 100, 50, 255},
        {200, 200, 200, 255, 0, 0, 0, 255}, // the bottom row first
        {0, 0, 255, 255, 255, 0, 0, 255},
        {255, 0, 128, 255},
        {200, 100, 50, 128}, // colours stay as stored, not multiplied by alpha
    };
    for (int key = 1; key <= 5; ++key) {
        RVTexture* texture = database.retainKey<RVTexture>(key);
        ASSERT_NE(texture->textureName(), 0u) << "key " << key;
        EXPECT_EQ(readBack(*texture), expected[key - 1]) << "key " << key;
        database.releaseKey(key);
    }
    expectNoGLError();
}

TEST_F(RVTextureTest, PlanarMissingAndDamagedFilesGiveEmptyTexturesQuietly) {
    TiffLayout planar;
    planar.samplesPerPixel = 3, planar.planarConfig = PLANARCONFIG_SEPARATE;
    writeTexture(1, planar, Bytes(12, 90));
    std::ofstream(texturePath(2), std::ios::binary) << "II*\0garbage that is no image";
    std::ofstream(texturePath(3), std::ios::binary) << "not a TIFF at all";
    GLuint previous = 0;
    glGenTextures(1, &previous);
    glBindTexture(GL_TEXTURE_2D, previous);

    ::testing::internal::CaptureStderr();
    for (int key : {1, 2, 3, 4}) { // key 4 has no file
        RVTexture* texture = database.retainKey<RVTexture>(key);
        expectEmpty(*texture);
        EXPECT_EQ(texture->referenceCount(), 1);
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), previous); // nothing was bound for the failures

    database.retainKey<RVTexture>(4)->apply();
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    for (int key : {1, 2, 3, 4, 4})
        database.releaseKey(key);
    EXPECT_EQ(database.referenceCountForKey(4), 0);
    glDeleteTextures(1, &previous);
    expectNoGLError();
}

TEST_F(RVTextureTest, TwoRequestsForOneKeyShareOneDecodedTexture) {
    writeTexture(12, TiffLayout{}, redGreenOverBlueWhite);
    RVTexture* first = database.retainKey<RVTexture>(12);
    fs::remove(texturePath(12)); // a second decode would find nothing
    RVTexture* second = database.retainKey<RVTexture>(12);
    EXPECT_EQ(second, first);
    EXPECT_EQ(database.referenceCountForKey(12), 2);
    EXPECT_NE(second->textureName(), 0u);
    EXPECT_EQ(second->width(), 2);
    database.releaseKey(12);
    database.releaseKey(12);
}

TEST_F(RVTextureTest, DeletingTheTextureReleasesItsOpenGLObject) {
    writeTexture(3, TiffLayout{}, redGreenOverBlueWhite);
    const GLuint name = database.retainKey<RVTexture>(3)->textureName();
    ASSERT_TRUE(glIsTexture(name));
    database.releaseKey(3);
    EXPECT_FALSE(glIsTexture(name));
}

TEST_F(RVTextureTest, AnImageTooLargeForTheContextIsRefusedBeforeAllocating) {
    // 100000 x 100000 grey pixels declared, one row stored.
    TIFF* tiff = TIFFOpen(texturePath(9).c_str(), "w");
    ASSERT_NE(tiff, nullptr);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 100000u);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 100000u);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 1);
    Bytes row(100000, 7);
    ASSERT_EQ(TIFFWriteScanline(tiff, row.data(), 0, 0), 1);
    TIFFClose(tiff);

    const auto peakBefore = VexmiraTest::peakMappedBytes();
    expectEmpty(*database.retainKey<RVTexture>(9));
    const auto peakAfter = VexmiraTest::peakMappedBytes();
    if (peakBefore && peakAfter) { // 40 GB of staging would show here
        EXPECT_LT(*peakAfter, std::max<std::size_t>(*peakBefore, std::size_t{1} << 30));
    }
    database.releaseKey(9);
}

} // namespace
