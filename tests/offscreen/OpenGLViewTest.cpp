#include "Platform/core/OpenGLView.h"
#include "Platform/core/OpenGLSurface.h"
#include "Platform/core/Slider.h"
#include "Platform/offscreen/OffscreenViewHost.h"
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

// Counts the view's requests to be displayed later; it is never drawn on.
struct SchedulingSurface : Platform::OpenGLSurface {
    int scheduled = 0;
    void makeCurrent() override {}
    int width() const override { return 1; }
    int height() const override { return 1; }
    bool isDoubleBuffered() const override { return false; }
    void scheduleDisplay() override { ++scheduled; }
    void scheduleTimer(double) override {}
};

// Records the framework's calls and draws blue with a red lower-left quarter, both with alpha 0.
class RecordingView : public Platform::OpenGLView {
public:
    std::vector<std::string> calls;
    void prepareOpenGL() override { calls.push_back("prepare"); }
    void reshape() override { calls.push_back("reshape " + std::to_string(frameWidth())); }
    void drawRect() override {
        calls.push_back("draw");
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

TEST(OpenGLView, PreparesOnceReshapesOnResizeCoalescesRedrawRequestsAndCapturesAfresh) {
    RecordingView view;
    view.display(); // without a surface nothing is drawn, but the request is kept
    view.setNeedsDisplay(true);
    EXPECT_TRUE(view.capturePicture().empty());
    std::string error;
    auto host = Platform::OffscreenViewHost::create(view, 40, 30, &error);
    ASSERT_TRUE(host) << error;
    EXPECT_TRUE(host->displayIfNeeded());
    SchedulingSurface scheduling;
    view.attachSurface(&scheduling);
    view.setNeedsDisplay(true);
    view.setNeedsDisplay(true);
    EXPECT_EQ(scheduling.scheduled, 1);
    view.attachSurface(host.get());
    EXPECT_TRUE(host->displayIfNeeded());
    view.setNeedsDisplay(true);
    view.setNeedsDisplay(false); // a withdrawn request draws nothing
    EXPECT_FALSE(host->displayIfNeeded());
    ASSERT_TRUE(host->resize(20, 10, &error)) << error;
    host->display();
    // A surface attached anew reshapes the view even at the same size.
    EXPECT_EQ(view.calls, (std::vector<std::string>{"prepare", "reshape 40", "draw", "reshape 40",
                                                    "draw", "reshape 20", "draw"}));

    // What File > Export Image... writes: the view drawn afresh, opaque, top row first.
    constexpr int width = 20, height = 10;
    std::vector<std::uint8_t> expected;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t red = x < width / 2 && y >= height / 2 ? 255 : 0;
            expected.insert(expected.end(), {red, 0, std::uint8_t(255 - red), 255});
        }
    EXPECT_EQ(view.capturePicture(), expected);
    EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), "draw"), 4);
    host.reset();
    EXPECT_EQ(view.surface(), nullptr) << "the host detaches itself when it goes";
}

TEST(Slider, KeepsItsValueInRangeAndEndsALostGestureBeforeTheNext) {
    Platform::Slider slider("meridians", 1.0f, 360.0f, true, false);
    std::vector<float> kept; // clamped, and NaN the least
    for (float set : {40.6f, 1000.0f, -5.0f, std::nanf("")}) {
        slider.setFloatValue(set);
        kept.push_back(slider.floatValue());
    }
    EXPECT_EQ(kept, (std::vector<float>{40.6f, 360, 1, 1}));
    slider.setFloatValue(40.6f);
    EXPECT_EQ(slider.intValue(), 41) << "whole meridians";
    std::vector<bool> gestures;
    slider.setTrackingHandler([&gestures](bool began) { gestures.push_back(began); });
    slider.trackingEnded(); // no gesture under way: nothing to end
    slider.trackingBegan();
    slider.trackingBegan(); // a lost release: the old gesture ends first
    slider.trackingEnded();
    EXPECT_EQ(gestures, (std::vector<bool>{true, false, true, false}));
}
