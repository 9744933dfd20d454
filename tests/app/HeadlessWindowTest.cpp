#define GL_GLEXT_PROTOTYPES
#include "Platform/core/Slider.h"
#include "Platform/core/Window.h"
#include "Platform/offscreen/OffscreenViewHost.h"
#include "Platform/offscreen/OffscreenWindow.h"
#include "TolvaneKit/RVCamera.h"
#include "Vexmira/Blowup.h"
#include "Vexmira/BlowupView.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyDocumentLayout.h"
#include "Vexmira/MyWindowController.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

namespace {

// A document with its controller and view in an off-screen window, as the
// renderer runs them: no display involved.
class HeadlessWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        MyDocumentLayout::registerLayout();
        Platform::OffscreenWindow::installBuilder(120, 90);
        document.makeWindowControllers();
        ASSERT_EQ(document.windowControllers().size(), 1u);
        controller = static_cast<MyWindowController*>(document.windowControllers()[0].get());
        window = dynamic_cast<Platform::OffscreenWindow*>(controller->window());
        ASSERT_NE(window, nullptr);
        host = window->viewHost();
        view = static_cast<BlowupView*>(window->openGLView());
    }
    void TearDown() override { Platform::Window::setBuilder({}); }

    // Primitives OpenGL assembled during one display: one draw of the model
    // gives a fixed number, so the count tells how often it was drawn.
    GLuint primitivesOfOneDisplay() {
        host->makeCurrent();
        GLuint query = 0;
        glGenQueries(1, &query);
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        host->display();
        glEndQuery(GL_PRIMITIVES_GENERATED);
        GLuint count = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
        glDeleteQueries(1, &query);
        return count;
    }

    MyDocument document;
    MyWindowController* controller = nullptr;
    Platform::OffscreenWindow* window = nullptr;
    Platform::OffscreenViewHost* host = nullptr;
    BlowupView* view = nullptr;
};

TEST_F(HeadlessWindowTest, TheViewHandsItselfOverOnItsFirstDrawWithTheModelsCameraSettings) {
    EXPECT_EQ(controller->view(), nullptr);
    EXPECT_EQ(controller->meridiansSlider()->floatValue(), 72.0f);
    EXPECT_EQ(controller->zoomSlider()->floatValue(), 8.0f);
    document.model().setAntialiasing(3);
    document.model().setDistance(15.0f);

    host->display();
    ASSERT_EQ(controller->view(), view);
    EXPECT_EQ(view->camera()->distance(), 15.0f);
    EXPECT_EQ(view->camera()->smoothingPasses(), 3);
    GLfloat target[3];
    view->camera()->getTarget(target);
    EXPECT_EQ(target[2], 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    // Single-buffered off screen: passes and average go to the front buffer.
    EXPECT_EQ(view->camera()->smoothedBuffer(), static_cast<GLenum>(GL_FRONT));
    EXPECT_EQ(view->camera()->auxiliaryBuffer(), static_cast<GLenum>(GL_FRONT));
    EXPECT_FALSE(view->needsDisplay()) << "handing over asks for no second draw";
}

TEST_F(HeadlessWindowTest, TheModelIsDrawnOnceUpToAntialiasingOneAndOncePerPassAbove) {
    host->display();
    const GLuint single = primitivesOfOneDisplay();
    ASSERT_GT(single, 0u);
    document.model().setAntialiasing(0);
    EXPECT_EQ(primitivesOfOneDisplay(), single);
    for (int passes = 2; passes <= 5; ++passes) {
        document.model().setAntialiasing(passes);
        EXPECT_EQ(primitivesOfOneDisplay(), single * passes) << passes;
    }
    // The camera keeps its passes within 1 to 5; the view still smooths.
    document.model().setAntialiasing(9);
    EXPECT_EQ(primitivesOfOneDisplay(), single * 5);
}

TEST_F(HeadlessWindowTest, SlidersActionsAndGesturesWorkWithoutADisplay) {
    host->display();
    Platform::Slider* blowup = controller->blowupSlider();
    blowup->setFloatValue(0.75f);
    blowup->sendAction();
    EXPECT_EQ(document.model().blowup(), 0.75f);
    EXPECT_EQ(document.undoManager().undoActionName(), "Set Blowup");
    EXPECT_TRUE(host->displayIfNeeded());
    EXPECT_FALSE(host->displayIfNeeded()) << "one redraw for one change";

    host->mouseDown(60.0f, 40.0f, 0x40000);
    host->mouseDragged(60.0f, 70.0f, 0x40000);
    host->mouseUp(60.0f, 70.0f, 0x40000);
    GLfloat target[3];
    view->camera()->getTarget(target);
    EXPECT_NEAR(target[2], -2.0f, 1e-6);

    document.undoManager().undo();
    EXPECT_EQ(blowup->floatValue(), 0.0f);
    const auto pixels = host->readPixels();
    EXPECT_EQ(pixels.size(), 120u * 90u * 4u);
}

} // namespace
