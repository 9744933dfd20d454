// The hook order of gestures and the default drag are checked in real windows by tests/gui.

#include "TolvaneKit/View/EasyView.h"

#include "Platform/core/MouseEvent.h"
#include "Platform/offscreen/OffscreenViewHost.h"

#include <gmock/gmock.h>

#include <string>
#include <vector>

namespace {

// Records its click hooks and draws a square named 7 around the target.
struct RecordingView : EasyView {
    std::vector<std::string> hooks;

    EasyView& drawSceneForSelection() override {
        glLoadName(7);
        glRectf(-1, -1, 1, 1);
        return *this;
    }
    EasyView& handleClickAt(Point p, GLuint modifiers) override {
        hooks.push_back("click " + std::to_string(int(p.x)) + "," + std::to_string(int(p.y)) + " " +
                        std::to_string(modifiers));
        return EasyView::handleClickAt(p, modifiers);
    }
    EasyView& handleClickOn(GLuint result, GLuint modifiers) override {
        hooks.push_back("clickOn " + std::to_string(result) + " " + std::to_string(modifiers));
        return *this;
    }
};

} // namespace

TEST(EasyView, WaitsForItsFirstDrawThenPicksTheNamedObjectWithThePressModifiers) {
    RecordingView view;
    std::string error;
    auto host = Platform::OffscreenViewHost::create(view, 64, 48, &error);
    ASSERT_TRUE(host) << error;
    ASSERT_TRUE(host->resize(40, 30));
    view.reshape(); // no camera to resize yet
    EXPECT_EQ(view.camera(), nullptr);
    host->mouseDown(5, 5);
    host->mouseUp(5, 5); // nothing to pick before the first draw
    host->display();
    ASSERT_NE(view.camera(), nullptr);
    GLint viewport[4]; // the camera's, of the host's size
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_THAT(viewport, testing::ElementsAre(0, 0, 40, 30));

    host->mouseDown(20, 15, Platform::ControlKeyMask);
    host->mouseUp(20, 15, 0);
    host->mouseDown(1, 28, 0); // empty space
    host->mouseUp(1, 28, 0);
    host->mouseDragged(1, 1, 0); // outside a gesture: not part of one
    host->mouseUp(1, 1, 0);
    const std::string control = std::to_string(Platform::ControlKeyMask);
    EXPECT_EQ(view.hooks, (std::vector<std::string>{"click 5,5 0", "click 20,15 " + control,
                                                    "clickOn 7 " + control, "click 1,28 0"}));
}
