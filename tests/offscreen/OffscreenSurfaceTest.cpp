#include "Platform/offscreen/OffscreenSurface.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

using Platform::OffscreenSurface;

namespace {

void clearRows(int y0, int rows, float red, float green, float blue) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, y0, 1 << 16, rows);
    glClearColor(red, green, blue, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

} // namespace

TEST(OffscreenSurface, OffersTheBuffersTheKitReliesOnAndReadsRowsTopDown) {
    std::string error;
    auto surface = OffscreenSurface::create(4, 3, &error);
    ASSERT_TRUE(surface) << error;
    EXPECT_GE(surface->accumulationBits(), 16);
    EXPECT_EQ(surface->auxiliaryBuffers(), 0);
    GLint depthBits = 0, stencilBits = 0, drawBuffer = 0;
    GLboolean doubleBuffered = GL_TRUE;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    EXPECT_GE(depthBits, 24);
    EXPECT_GE(stencilBits, 8);
    EXPECT_FALSE(doubleBuffered); // what is drawn is what readPixels sees
    EXPECT_EQ(drawBuffer, GL_FRONT);

    clearRows(0, 3, 0, 0, 1);
    clearRows(2, 1, 1, 0, 0); // GL's top row
    clearRows(0, 1, 0, 1, 0); // GL's bottom row
    auto pixels = surface->readPixels();
    ASSERT_EQ(pixels.size(), 4u * 3u * 4u);
    EXPECT_EQ(surface->pixelAt(pixels, 0, 0), 0xff0000ffu);
    EXPECT_EQ(surface->pixelAt(pixels, 2, 1), 0x0000ffffu);
    EXPECT_EQ(surface->pixelAt(pixels, 3, 2), 0x00ff00ffu);
}

TEST(OffscreenSurface, ResizesOrRefusesImpossibleSizesWithAReason) {
    std::string error;
    EXPECT_FALSE(OffscreenSurface::create(0, 10, &error));
    EXPECT_NE(error.find("0x10"), std::string::npos) << error;
    auto surface = OffscreenSurface::create(2, 2);
    ASSERT_TRUE(surface);
    ASSERT_TRUE(surface->resize(5, 3));
    error.clear();
    EXPECT_FALSE(surface->resize(-1, 3, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(surface->resize(1 << 30, 3, &error));
    EXPECT_EQ(surface->width(), 5); // the failed resizes kept the surface usable
    EXPECT_EQ(surface->height(), 3);
    glViewport(0, 0, 5, 3);
    clearRows(0, 3, 1, 1, 1);
    auto pixels = surface->readPixels();
    ASSERT_EQ(pixels.size(), 5u * 3u * 4u);
    EXPECT_EQ(surface->pixelAt(pixels, 4, 2), 0xffffffffu);
}
