#include "Platform/core/OpenGLView.h"
#include "Platform/core/Slider.h"
#include "Platform/offscreen/OffscreenViewHost.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

class RecordingView : public Platform::OpenGLView {
public:
    std::vector<std::string> calls;
    void prepareOpenGL() override { calls.push_back("prepare"); }
    void reshape() override { calls.push_back("reshape " + std::to_string(frameWidth())); }
    void drawRect() override { calls.push_back("draw"); }
};

} // namespace

TEST(OpenGLView, PreparesOnceReshapesOnResizeAndCoalescesRedrawRequests) {
    RecordingView view;
    view.display(); // without a surface nothing is drawn, but the request is kept
    view.setNeedsDisplay(true);
    std::string error;
    auto host = Platform::OffscreenViewHost::create(view, 40, 30, &error);
    ASSERT_TRUE(host) << error;
    EXPECT_TRUE(host->displayIfNeeded());
    const int scheduled = host->scheduledDisplays();
    view.setNeedsDisplay(true);
    view.setNeedsDisplay(true);
    EXPECT_EQ(host->scheduledDisplays(), scheduled + 1);
    EXPECT_TRUE(host->displayIfNeeded());
    view.setNeedsDisplay(true);
    view.setNeedsDisplay(false); // a withdrawn request draws nothing
    EXPECT_FALSE(host->displayIfNeeded());
    ASSERT_TRUE(host->resize(20, 10, &error)) << error;
    host->display();
    EXPECT_EQ(view.calls, (std::vector<std::string>{"prepare", "reshape 40", "draw", "draw",
                                                    "reshape 20", "draw"}));
    EXPECT_EQ(view.drawingBuffer(), static_cast<unsigned>(GL_FRONT)); // where pixels are read
    host.reset();
    EXPECT_EQ(view.surface(), nullptr) << "the host detaches itself when it goes";
}

TEST(Slider, KeepsItsValueInRangeAndEndsALostGestureBeforeTheNext) {
    Platform::Slider slider("meridians", 1.0f, 360.0f, true, false);
    for (auto [set, expected] : {std::pair{40.4f, 40.0f},
                                 {40.6f, 41.0f},
                                 {1000.0f, 360.0f},
                                 {-5.0f, 1.0f},
                                 {std::nanf(""), 1.0f}}) {
        slider.setFloatValue(set);
        const bool inRange = set >= 1 && set <= 360; // rounded to whole meridians, else clamped
        EXPECT_EQ(inRange ? float(slider.intValue()) : slider.floatValue(), expected) << set;
    }
    std::vector<bool> gestures;
    slider.setTrackingHandler([&gestures](bool began) { gestures.push_back(began); });
    slider.trackingEnded(); // no gesture under way: nothing to end
    slider.trackingBegan();
    slider.trackingBegan(); // a lost release: the old gesture ends first
    slider.trackingEnded();
    EXPECT_EQ(gestures, (std::vector<bool>{true, false, true, false}));
    EXPECT_FALSE(slider.isTracking());
}
