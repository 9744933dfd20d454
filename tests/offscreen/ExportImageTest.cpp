#include "Platform/core/OpenGLView.h"
#include "Platform/offscreen/OffscreenViewHost.h"
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

// Blue with a red lower-left quarter, both cleared with alpha 0, which the picture must not keep.
class QuarteredView : public Platform::OpenGLView {
public:
    int draws = 0;
    void drawRect() override {
        ++draws;
        glEnable(GL_SCISSOR_TEST);
        for (const int part : {1, 2}) {
            glScissor(0, 0, frameWidth() / part, frameHeight() / part);
            glClearColor(part == 2 ? 1.0f : 0.0f, 0.0f, part == 1 ? 1.0f : 0.0f, 0.0f);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        glDisable(GL_SCISSOR_TEST);
    }
};

} // namespace

// What File > Export Image... writes: the view drawn afresh, opaque, top row first.
TEST(ExportImage, CapturesTheViewDrawnAfreshOpaqueAndTopRowFirst) {
    constexpr int width = 64, height = 48;
    QuarteredView view;
    EXPECT_TRUE(view.capturePicture().empty()); // nothing to read without a surface
    std::string error;
    auto host = Platform::OffscreenViewHost::create(view, width, height, &error);
    ASSERT_TRUE(host) << error;
    const int drawsBefore = view.draws;
    const std::vector<std::uint8_t> picture = view.capturePicture();
    EXPECT_EQ(view.draws, drawsBefore + 1);
    ASSERT_EQ(picture.size(), std::size_t{width} * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool red = x < width / 2 && y >= height / 2;
            const auto pixel = picture.begin() + (y * width + x) * 4;
            ASSERT_EQ(std::vector<int>(pixel, pixel + 4),
                      (std::vector<int>{red ? 255 : 0, 0, red ? 0 : 255, 255}))
                << x << ", " << y;
        }
}
