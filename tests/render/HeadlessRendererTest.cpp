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

    RenderOptions options; // a new window's camera is the default picture's own test
    options.width = 64;
    options.height = 48;
    options.elevation = 60.0f;
    options.azimuth = 30.0f;
    options.twist = 10.0f;
    options.targetZ = 0.5f;
    options.passes = 5;
    options.blowup = 1.0f;
    std::string error;
    const auto image = HeadlessRenderer::render(options, error);
    ASSERT_TRUE(image) << error;
    EXPECT_EQ(image->rgba.size(), 64u * 48u * 4u);
    EXPECT_EQ(NotingView::frames, (std::vector<FrameCamera>{{60, 30, 10, 0.5f, 5}}));
    MyDocumentLayout::registerLayout();
}
