#include "TolvaneKit/EasyView.h"

#include "Platform/core/MouseEvent.h"
#include "Platform/offscreen/OffscreenViewHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Platform::ControlKeyMask;
using Platform::ShiftKeyMask;

// Records its hooks; with `recordOnly` the default behaviour is skipped.
class RecordingView : public EasyView {
public:
    std::vector<std::string> hooks;
    bool recordOnly = true;
    int draws = 0;

    // A square named 7 around the target, at the centre of the view.
    EasyView& drawSceneForSelection() override {
        glLoadName(7);
        glRectf(-1, -1, 1, 1);
        return *this;
    }
    EasyView& drawScene() override {
        ++draws;
        return *this;
    }
    EasyView& handleClickAt(Point point, GLuint modifiers) override {
        record("click " + text(point), modifiers);
        return recordOnly ? *this : EasyView::handleClickAt(point, modifiers);
    }
    EasyView& handleClickOn(GLuint result, GLuint modifiers) override {
        return record("clickOn " + std::to_string(result), modifiers);
    }
    EasyView& handleDragTo(Point location, Point oldLocation, GLuint modifiers) override {
        record("drag " + text(location) + " from " + text(oldLocation), modifiers);
        return recordOnly ? *this : EasyView::handleDragTo(location, oldLocation, modifiers);
    }
    EasyView& handleDragEndAt(Point point, GLuint modifiers) override {
        return record("end " + text(point), modifiers);
    }

private:
    static std::string text(Point p) { return (std::ostringstream() << p.x << "," << p.y).str(); }
    EasyView& record(const std::string& hook, GLuint modifiers) {
        hooks.push_back(hook + " mods " + std::to_string(modifiers));
        return *this;
    }
};

class EasyViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        host = Platform::OffscreenViewHost::create(view, 64, 48, &error);
        ASSERT_TRUE(host) << error;
    }

    void dragBy(float dx, float dy) {
        host->mouseDown(30, 20);
        host->mouseDragged(30 + dx, 20 + dy);
        host->mouseUp(30 + dx, 20 + dy);
    }

    RecordingView view;
    std::unique_ptr<Platform::OffscreenViewHost> host;
};

} // namespace

TEST_F(EasyViewTest, ClicksAndDragsCallTheHooksInOrderWithThePressModifiers) {
    host->display();
    host->mouseDown(10, 12, ShiftKeyMask);
    host->mouseUp(13, 12, 0);
    host->mouseDown(10, 10, ControlKeyMask);
    host->mouseDragged(11, 12, 0);
    host->mouseDragged(15, 12, ShiftKeyMask);
    host->mouseDragged(15, 20, 0);
    host->mouseUp(16, 21, 0);
    host->mouseDragged(1, 1, 0); // outside a gesture: not part of one
    host->mouseUp(1, 1, 0);
    EXPECT_EQ(view.hooks, (std::vector<std::string>{
                              "click 13,12 mods 131072",
                              "drag 11,12 from 10,10 mods 262144",
                              "drag 15,12 from 11,12 mods 262144",
                              "drag 15,20 from 15,12 mods 262144",
                              "end 16,21 mods 262144",
                          }));
}

TEST_F(EasyViewTest, DefaultClickPicksTheNamedObjectAndDragTurnsTheCamera) {
    view.recordOnly = false;
    host->display();
    host->mouseDown(32, 24, ControlKeyMask);
    host->mouseUp(32, 24, 0);
    host->mouseDown(2, 46, 0); // empty space
    host->mouseUp(2, 46, 0);
    EXPECT_EQ(view.hooks, (std::vector<std::string>{"click 32,24 mods 262144",
                                                    "clickOn 7 mods 262144", "click 2,46 mods 0"}));

    RVCamera& camera = *view.camera();
    camera.setElevation(170);
    dragBy(0, 20);
    EXPECT_EQ(camera.elevation(), 180.0f);
    EXPECT_TRUE(view.needsDisplay());
    camera.setElevation(5);
    dragBy(0, -20);
    EXPECT_EQ(camera.elevation(), 0.0f);
    camera.setAzimuth(355);
    dragBy(-10, 0);
    EXPECT_EQ(camera.azimuth(), 0.0f);
}

TEST_F(EasyViewTest, ResizeBeforeTheFirstDrawWaitsForTheCamera) {
    ASSERT_TRUE(host->resize(40, 30));
    view.reshape(); // nothing to resize yet
    EXPECT_EQ(view.camera(), nullptr);
    host->mouseDown(5, 5);
    host->mouseUp(5, 5); // a click before any draw has nothing to pick
    host->display();
    ASSERT_NE(view.camera(), nullptr);
    ASSERT_NE(view.tester(), nullptr);
    EXPECT_EQ(view.draws, 1);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport + 2, viewport + 4), std::vector<GLint>({40, 30}));
}
