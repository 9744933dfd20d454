#include "Platform/offscreen/OffscreenSurface.h"

#include <GL/gl.h>
#include <gmock/gmock.h>

#include <array>

using Platform::OffscreenSurface;
using namespace ::testing;

// Rows come back top row first: the view's captured picture shows it.
TEST(OffscreenSurface, OffersTheBuffersTheKitReliesOnAndKeepsItsSizeWhenAResizeFails) {
    std::string error;
    auto surface = OffscreenSurface::create(4, 3, &error);
    ASSERT_TRUE(surface) << error;
    EXPECT_GE(surface->accumulationBits(), 16);
    EXPECT_EQ(surface->auxiliaryBuffers(), 0);
    GLint drawBuffer = 0, stencilBits = 0, depthBits = 0;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 24);
    EXPECT_GE(stencilBits, 8);
    EXPECT_EQ(drawBuffer, GL_FRONT); // single-buffered: what is drawn is what is read back

    EXPECT_FALSE(OffscreenSurface::create(0, 10, &error));
    EXPECT_NE(error.find("0x10"), std::string::npos) << error;
    ASSERT_TRUE(surface->resize(5, 2));
    EXPECT_FALSE(surface->resize(-1, 3, &error));
    EXPECT_FALSE(surface->resize(1 << 30, 3, &error));
    EXPECT_EQ((std::array{surface->width(), surface->height()}), (std::array{5, 2}))
        << "the failed resizes kept it";
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_THAT(surface->readPixels(), AllOf(SizeIs(5 * 2 * 4), Each(255)));
}
