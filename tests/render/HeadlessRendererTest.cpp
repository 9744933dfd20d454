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

    RenderOptions plain;
    plain.width = 64;
    plain.height = 48;
    RenderOptions everything = plain;
    everything.elevation = 60.0f;
    everything.azimuth = 30.0f;
    everything.twist = 10.0f;
    everything.targetZ = 0.5f;
    everything.passes = 5;
    everything.blowup = 1.0f;
    // A new window's camera: straight above, looking at height 1, one pass.
    for (const auto& [options, camera] :
         {std::pair{plain, FrameCamera{0, 0, 0, 1, 1}}, {everything, {60, 30, 10, 0.5f, 5}}}) {
        NotingView::frames.clear();
        std::string error;
        const auto image = HeadlessRenderer::render(options, error);
        ASSERT_TRUE(image) << error;
        EXPECT_EQ(image->rgba.size(), 64u * 48u * 4u);
        EXPECT_EQ(NotingView::frames, std::vector<FrameCamera>{camera});
    }
    MyDocumentLayout::registerLayout();
}
