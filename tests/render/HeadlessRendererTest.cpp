// The renderer run inside the test's own process, with a view that notes every frame it draws.

#include "tools/vexmira-render/HeadlessRenderer.h"
#include "TolvaneKit/Camera/RVCamera.h"
#include "Vexmira/BlowupView.h"
#include "Vexmira/MyDocumentLayout.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

// Elevation, azimuth, twist and target height of the camera a frame was drawn with, and its
// smoothing passes.
using FrameCamera = std::array<float, 5>;

class NotingView : public BlowupView {
public:
    static inline std::vector<FrameCamera> frames;

    EasyView& drawScene() override {
        const RVCamera& c = *camera();
        GLfloat target[3];
        c.getTarget(target);
        frames.push_back({c.elevation(), c.azimuth(), c.twist(), target[2],
                          static_cast<float>(c.smoothingPasses())});
        return BlowupView::drawScene();
    }
};

} // namespace

TEST(HeadlessRenderer, DrawsThePictureOnceWithTheCameraOptionsInPlace) {
    Platform::WindowLayout layout = MyDocumentLayout::layout();
    layout.makeOpenGLView = [] { return std::make_unique<NotingView>(); };
    Platform::WindowLayout::registerLayout(layout);

    std::string error; // a new window's camera is the default picture's own test
    const auto options = RenderOptions::parse(
        {"--size", "64x48", "--elevation", "60", "--azimuth", "30", "--twist", "10", "--target-z",
         "0.5", "--passes", "5", "--blowup", "1", "-o", "unused.png"},
        error);
    ASSERT_TRUE(options) << error;
    const auto image = HeadlessRenderer::render(*options, error);
    ASSERT_TRUE(image) << error;
    EXPECT_EQ(NotingView::frames, (std::vector<FrameCamera>{{60, 30, 10, 0.5f, 5}}));
    MyDocumentLayout::registerLayout();
}
