// The hook order of gestures and the default drag are checked in real windows
// by tests/gui; here, the default click and the camera's late creation.

#include "TolvaneKit/EasyView.h"

#include "Platform/core/MouseEvent.h"
#include "Platform/offscreen/OffscreenViewHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Records its click hooks and draws a square named 7 around the target.
class RecordingView : public EasyView {
public:
    std::vector<std::string> hooks;

    EasyView& drawSceneForSelection() override {
        glLoadName(7);
        glRectf(-1, -1, 1, 1);
        return *this;
    }
    EasyView& handleClickAt(Point p, GLuint modifiers) override {
        record((std::ostringstream() << "click " << p.x << "," << p.y).str(), modifiers);
        return EasyView::handleClickAt(p, modifiers);
    }
    EasyView& handleClickOn(GLuint result, GLuint modifiers) override {
        record("clickOn " + std::to_string(result), modifiers);
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

    RecordingView view;
    std::unique_ptr<Platform::OffscreenViewHost> host;
};

} // namespace

TEST_F(EasyViewTest, DefaultClickPicksTheNamedObjectWithThePressModifiers) {
    host->display();
    host->mouseDown(32, 24, Platform::ControlKeyMask);
    host->mouseUp(32, 24, 0);
    host->mouseDown(2, 46, 0); // empty space
    host->mouseUp(2, 46, 0);
    host->mouseDragged(1, 1, 0); // outside a gesture: not part of one
    host->mouseUp(1, 1, 0);
    EXPECT_EQ(view.hooks, (std::vector<std::string>{"click 32,24 mods 262144",
                                                    "clickOn 7 mods 262144", "click 2,46 mods 0"}));
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
    EXPECT_EQ(view.camera()->width(), 40.0f);
    EXPECT_EQ(view.camera()->height(), 30.0f);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport + 2, viewport + 4), std::vector<GLint>({40, 30}));
}
