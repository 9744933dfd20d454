#include "Platform/core/OpenGLView.h"
#include "Platform/core/Slider.h"
#include "Platform/core/WindowLayout.h"
#include "Platform/offscreen/OffscreenViewHost.h"
#include "Platform/offscreen/OffscreenWindow.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

// Records the framework's calls and paints itself one colour.
class RecordingView : public Platform::OpenGLView {
public:
    std::vector<std::string> calls;
    std::vector<Platform::MouseEvent> events;
    GLint viewportAtDraw[4] = {0, 0, 0, 0};

    void prepareOpenGL() override { calls.push_back("prepare"); }
    void reshape() override {
        calls.push_back("reshape " + std::to_string(frameWidth()) + "x" +
                        std::to_string(frameHeight()));
        glViewport(0, 0, frameWidth(), frameHeight());
    }
    void drawRect() override {
        calls.push_back("draw");
        glGetIntegerv(GL_VIEWPORT, viewportAtDraw);
        glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    void mouseDown(const Platform::MouseEvent& event) override { record("down", event); }
    void mouseDragged(const Platform::MouseEvent& event) override { record("drag", event); }
    void mouseUp(const Platform::MouseEvent& event) override { record("up", event); }

private:
    void record(const char* what, const Platform::MouseEvent& event) {
        calls.push_back(what);
        events.push_back(event);
    }
};

} // namespace

TEST(OpenGLView, DrawCyclePreparesOnceAndReshapesOnlyWhenTheSizeChanged) {
    RecordingView view;
    std::string error;
    auto host = Platform::OffscreenViewHost::create(view, 40, 30, &error);
    ASSERT_TRUE(host) << error;
    EXPECT_FALSE(view.isPrepared());

    host->display();
    host->display();
    ASSERT_TRUE(host->resize(20, 10, &error)) << error;
    host->display();
    EXPECT_EQ(view.calls, (std::vector<std::string>{"prepare", "reshape 40x30", "draw", "draw",
                                                    "reshape 20x10", "draw"}));
    EXPECT_EQ(view.viewportAtDraw[2], 20);
    EXPECT_EQ(view.viewportAtDraw[3], 10);
    // Single-buffered off screen: the view draws where the pixels are read.
    EXPECT_EQ(view.drawingBuffer(), static_cast<unsigned>(GL_FRONT));
    auto pixels = host->readPixels();
    ASSERT_EQ(pixels.size(), 20u * 10u * 4u);
    EXPECT_EQ(host->surface().pixelAt(pixels, 19, 9), 0xff0000ffu);
}

TEST(OpenGLView, RedrawRequestsAreCoalescedIntoOneDraw) {
    RecordingView view;
    auto host = Platform::OffscreenViewHost::create(view, 8, 8);
    ASSERT_TRUE(host);
    EXPECT_FALSE(host->displayIfNeeded());
    view.setNeedsDisplay(true);
    view.setNeedsDisplay(true);
    view.setNeedsDisplay(true);
    EXPECT_EQ(host->scheduledDisplays(), 1);
    EXPECT_TRUE(host->displayIfNeeded());
    EXPECT_FALSE(host->displayIfNeeded());
    EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), "draw"), 1);
    // A withdrawn request draws nothing.
    view.setNeedsDisplay(true);
    view.setNeedsDisplay(false);
    EXPECT_FALSE(host->displayIfNeeded());
}

TEST(OpenGLView, GesturesArriveInOrderWithTheirPointsAndModifiers) {
    RecordingView view;
    auto host = Platform::OffscreenViewHost::create(view, 8, 8);
    ASSERT_TRUE(host);
    host->mouseDown(1, 2, Platform::ControlKeyMask);
    host->mouseDragged(3, 4, Platform::ControlKeyMask | Platform::ShiftKeyMask);
    host->mouseUp(5, 6);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"down", "drag", "up"}));
    ASSERT_EQ(view.events.size(), 3u);
    EXPECT_EQ(view.events[1].x, 3.0f);
    EXPECT_EQ(view.events[1].y, 4.0f);
    EXPECT_EQ(view.events[0].modifiers, 0x40000u);
    EXPECT_EQ(view.events[1].modifiers, 0x60000u);
}

TEST(OpenGLView, WithoutASurfaceNothingIsDrawnAndTheFrameIsEmpty) {
    RecordingView view;
    view.display();
    view.makeCurrentContext();
    view.setNeedsDisplay(true);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(view.frameWidth(), 0);
    {
        auto host = Platform::OffscreenViewHost::create(view, 8, 8);
        ASSERT_TRUE(host);
        // The request made before the surface came is kept.
        EXPECT_TRUE(host->displayIfNeeded());
    }
    // The host detached itself when it went.
    EXPECT_EQ(view.surface(), nullptr);
}

TEST(Slider, KeepsItsValueInRangeAndReadsWholeNumbersToTheNearest) {
    Platform::Slider slider("meridians", 1.0f, 360.0f, true, false);
    slider.setFloatValue(40.4f);
    EXPECT_EQ(slider.intValue(), 40);
    slider.setFloatValue(40.6f);
    EXPECT_EQ(slider.intValue(), 41);
    slider.setFloatValue(1000.0f);
    EXPECT_EQ(slider.floatValue(), 360.0f);
    slider.setFloatValue(-5.0f);
    EXPECT_EQ(slider.floatValue(), 1.0f);
    slider.setFloatValue(std::nanf(""));
    EXPECT_EQ(slider.floatValue(), 1.0f);
    EXPECT_EQ(slider.setCount(), 5);

    int sent = 0;
    slider.setAction([&sent](Platform::Slider& sender) { sent += sender.intValue(); });
    slider.setFloatValue(7.0f);
    EXPECT_EQ(sent, 0) << "moving a slider from the program sends no action";
    slider.sendAction();
    EXPECT_EQ(sent, 7);

    std::vector<bool> gestures;
    slider.setTrackingHandler([&gestures](bool began) { gestures.push_back(began); });
    slider.trackingEnded(); // no gesture under way: nothing to end
    slider.trackingBegan();
    slider.trackingBegan(); // a lost release: the old gesture ends first
    slider.trackingEnded();
    EXPECT_EQ(gestures, (std::vector<bool>{true, false, true, false}));
    EXPECT_FALSE(slider.isTracking());
}

TEST(OffscreenWindow, BuildsTheLayoutsSlidersAndView) {
    Platform::WindowLayout layout;
    layout.name = "Test";
    layout.sliders = {{"a", "A", 0.0f, 2.0f, false, true}, {"b", "B", 1.0f, 5.0f, true, false}};
    layout.makeOpenGLView = [] { return std::make_unique<RecordingView>(); };
    std::string error;
    auto window = Platform::OffscreenWindow::create(layout, 16, 12, &error);
    ASSERT_TRUE(window) << error;
    ASSERT_NE(window->slider("b"), nullptr);
    EXPECT_TRUE(window->slider("b")->isInteger());
    EXPECT_EQ(window->slider("b")->maxValue(), 5.0f);
    EXPECT_EQ(window->slider("c"), nullptr);
    ASSERT_NE(window->openGLView(), nullptr);
    EXPECT_EQ(window->openGLView()->window(), window.get());
    EXPECT_EQ(window->openGLView()->frameWidth(), 16);
    EXPECT_EQ(window->openGLView()->frameHeight(), 12);
}
