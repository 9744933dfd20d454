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

std::string describe(EasyView::Point p) {
    std::ostringstream text;
    text << p.x << "," << p.y;
    return text.str();
}

// Records its hooks; with `recordOnly` the default behaviour is skipped.
class RecordingView : public EasyView {
public:
    std::vector<std::string> hooks;
    bool recordOnly = true;
    GLuint clickedName = 0;
    int draws = 0;

    // A triangle named 7 around the target, at the centre of the view.
    EasyView& drawSceneForSelection() override {
        glLoadName(7);
        glBegin(GL_TRIANGLES);
        glVertex3f(-1, -1, 0);
        glVertex3f(1, -1, 0);
        glVertex3f(0, 1, 0);
        glEnd();
        return *this;
    }
    EasyView& drawScene() override {
        ++draws;
        return *this;
    }
    EasyView& handleClickAt(Point point, GLuint modifiers) override {
        record("click " + describe(point), modifiers);
        return recordOnly ? *this : EasyView::handleClickAt(point, modifiers);
    }
    EasyView& handleClickOn(GLuint result, GLuint modifiers) override {
        record("clickOn " + std::to_string(result), modifiers);
        return *this;
    }
    EasyView& handleDragTo(Point location, Point oldLocation, GLuint modifiers) override {
        record("drag " + describe(location) + " from " + describe(oldLocation), modifiers);
        return recordOnly ? *this : EasyView::handleDragTo(location, oldLocation, modifiers);
    }
    EasyView& handleDragEndAt(Point point, GLuint modifiers) override {
        record("end " + describe(point), modifiers);
        return *this;
    }

private:
    void record(const std::string& hook, GLuint modifiers) {
        hooks.push_back(hook + " mods " + std::to_string(modifiers));
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

TEST_F(EasyViewTest, PressAndReleaseIsOneClick) {
    host->display();
    host->mouseDown(10, 12, ShiftKeyMask);
    host->mouseUp(13, 12, 0);
    EXPECT_EQ(view.hooks, (std::vector<std::string>{"click 13,12 mods 131072"}));
}

TEST_F(EasyViewTest, DragStepsFollowEachOtherWithThePressModifiers) {
    host->display();
    host->mouseDown(10, 10, ControlKeyMask);
    host->mouseDragged(11, 12, 0);
    host->mouseDragged(15, 12, ShiftKeyMask);
    host->mouseDragged(15, 20, 0);
    host->mouseUp(16, 21, 0);
    EXPECT_EQ(view.hooks, (std::vector<std::string>{
                              "drag 11,12 from 10,10 mods 262144",
                              "drag 15,12 from 11,12 mods 262144",
                              "drag 15,20 from 15,12 mods 262144",
                              "end 16,21 mods 262144",
                          }));
    // Events outside a gesture are not part of one.
    host->mouseDragged(1, 1, 0);
    host->mouseUp(1, 1, 0);
    EXPECT_EQ(view.hooks.size(), 4u);
}

TEST_F(EasyViewTest, DefaultDragTurnsTheCameraWithinItsLimits) {
    view.recordOnly = false;
    host->display();
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
    camera.setAzimuth(20).setElevation(60);
    dragBy(6, 4); // right and up
    EXPECT_EQ(camera.azimuth(), 17.0f);
    EXPECT_EQ(camera.elevation(), 62.0f);
    host->displayIfNeeded();
    EXPECT_FALSE(view.needsDisplay());
}

TEST_F(EasyViewTest, DefaultClickPicksTheNamedObject) {
    view.recordOnly = false;
    host->display();
    host->mouseDown(32, 24, ControlKeyMask);
    host->mouseUp(32, 24, 0);
    host->mouseDown(2, 46, 0); // empty space
    host->mouseUp(2, 46, 0);
    EXPECT_EQ(view.hooks, (std::vector<std::string>{"click 32,24 mods 262144",
                                                    "clickOn 7 mods 262144", "click 2,46 mods 0"}));
}

TEST_F(EasyViewTest, ResizeBeforeTheFirstDrawWaitsForTheCamera) {
    EXPECT_EQ(view.camera(), nullptr);
    ASSERT_TRUE(host->resize(40, 30));
    view.reshape(); // nothing to resize yet
    EXPECT_EQ(view.camera(), nullptr);
    host->mouseDown(5, 5);
    host->mouseUp(5, 5); // a click before any draw has nothing to pick
    host->display();
    ASSERT_NE(view.camera(), nullptr);
    ASSERT_NE(view.tester(), nullptr);
    EXPECT_EQ(view.camera()->width(), 40.0f);
    EXPECT_EQ(view.camera()->height(), 30.0f);
    EXPECT_EQ(view.tester()->hitBufferSize(), 512);
    EXPECT_EQ(view.tester()->nameDepth(), 1);
    EXPECT_EQ(view.tester()->maxNumberOfResults(), 1);
    EXPECT_EQ(view.draws, 1);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 40);
    EXPECT_EQ(viewport[3], 30);

    ASSERT_TRUE(host->resize(50, 20));
    host->display();
    EXPECT_EQ(view.camera()->width(), 50.0f);
    EXPECT_EQ(view.camera()->height(), 20.0f);
}
