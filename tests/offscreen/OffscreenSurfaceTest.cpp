#include "Platform/offscreen/OffscreenSurface.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

using Platform::OffscreenSurface;

namespace {

void clearTo(float red, float green, float blue) {
    glClearColor(red, green, blue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

// Fills the rows y0..y1 (GL's bottom-up rows) with one colour.
void fillRows(int width, int y0, int y1, float red, float green, float blue) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, y0, width, y1 - y0 + 1);
    clearTo(red, green, blue);
    glDisable(GL_SCISSOR_TEST);
}

} // namespace

TEST(OffscreenSurface, OffersTheBuffersTheKitRelies) {
    std::string error;
    auto surface = OffscreenSurface::create(8, 6, &error);
    ASSERT_TRUE(surface) << error;
    EXPECT_EQ(surface->width(), 8);
    EXPECT_EQ(surface->height(), 6);
    EXPECT_GE(surface->accumulationBits(), 16);
    EXPECT_EQ(surface->auxiliaryBuffers(), 0);
    GLint depthBits = 0, stencilBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    EXPECT_GE(depthBits, 24);
    EXPECT_GE(stencilBits, 8);
    // One front buffer: whatever is drawn is what readPixels sees.
    GLboolean doubleBuffered = GL_TRUE;
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    EXPECT_FALSE(doubleBuffered);
    GLint drawBuffer = 0;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    EXPECT_EQ(drawBuffer, GL_FRONT);
}

TEST(OffscreenSurface, ReadsRowsBackTopDown) {
    auto surface = OffscreenSurface::create(4, 4);
    ASSERT_TRUE(surface);
    clearTo(0, 0, 1);
    fillRows(4, 3, 3, 1, 0, 0); // GL's top row is red
    fillRows(4, 0, 0, 0, 1, 0); // GL's bottom row is green
    auto pixels = surface->readPixels();
    ASSERT_EQ(pixels.size(), 4u * 4u * 4u);
    EXPECT_EQ(surface->pixelAt(pixels, 0, 0), 0xff0000ffu);
    EXPECT_EQ(surface->pixelAt(pixels, 3, 3), 0x00ff00ffu);
    EXPECT_EQ(surface->pixelAt(pixels, 2, 1), 0x0000ffffu);
}

TEST(OffscreenSurface, ResizesAndKeepsDrawing) {
    auto surface = OffscreenSurface::create(2, 2);
    ASSERT_TRUE(surface);
    ASSERT_TRUE(surface->resize(5, 3));
    EXPECT_EQ(surface->width(), 5);
    EXPECT_EQ(surface->height(), 3);
    glViewport(0, 0, 5, 3);
    clearTo(1, 1, 1);
    auto pixels = surface->readPixels();
    ASSERT_EQ(pixels.size(), 5u * 3u * 4u);
    EXPECT_EQ(surface->pixelAt(pixels, 4, 2), 0xffffffffu);
}

TEST(OffscreenSurface, RefusesImpossibleSizesWithAReason) {
    std::string error;
    EXPECT_FALSE(OffscreenSurface::create(0, 10, &error));
    EXPECT_NE(error.find("0x10"), std::string::npos) << error;

    auto surface = OffscreenSurface::create(3, 3);
    ASSERT_TRUE(surface);
    error.clear();
    EXPECT_FALSE(surface->resize(-1, 3, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(surface->resize(1 << 30, 3, &error));
    // The failed resizes kept the old surface usable.
    EXPECT_EQ(surface->width(), 3);
    clearTo(0, 1, 0);
    EXPECT_EQ(surface->pixelAt(surface->readPixels(), 1, 1), 0x00ff00ffu);
}
