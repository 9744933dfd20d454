#include "Platform/offscreen/OffscreenSurface.h"

#include <GL/gl.h>
#include <gmock/gmock.h>

#include <utility>

using Platform::OffscreenSurface;
using namespace ::testing;

// Rows come back top row first: the view's captured picture shows it.
TEST(OffscreenSurface, OffersTheBuffersTheKitReliesOnAndKeepsItsSizeWhenAResizeFails) {
    std::string error;
    auto surface = OffscreenSurface::create(4, 3, &error);
    ASSERT_TRUE(surface) << error;
    EXPECT_GE(surface->accumulationBits(), 16);
    EXPECT_EQ(surface->auxiliaryBuffers(), 0);
    // Single-buffered (what is drawn is what is read back), with depth and stencil bits.
    GLint got[3] = {};
    for (int k = 0; const GLenum query : {GL_DRAW_BUFFER, GL_DEPTH_BITS, GL_STENCIL_BITS})
        glGetIntegerv(query, &got[k++]);
    EXPECT_THAT(got, ElementsAre(GL_FRONT, Ge(24), Ge(8)));

    EXPECT_FALSE(OffscreenSurface::create(0, 10, &error));
    EXPECT_NE(error.find("0x10"), std::string::npos) << error;
    ASSERT_TRUE(surface->resize(5, 2));
    EXPECT_FALSE(surface->resize(-1, 3, &error));
    EXPECT_FALSE(surface->resize(1 << 30, 3, &error));
    EXPECT_EQ(std::pair(surface->width(), surface->height()), std::pair(5, 2));
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_THAT(surface->readPixels(), AllOf(SizeIs(5 * 2 * 4), Each(255)));
}
