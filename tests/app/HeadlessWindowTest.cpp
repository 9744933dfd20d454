#define GL_GLEXT_PROTOTYPES
#include "Platform/core/Window.h"
#include "Platform/offscreen/OffscreenViewHost.h"
#include "Platform/offscreen/OffscreenWindow.h"
#include "TolvaneKit/RVCamera.h"
#include "Vexmira/BlowupView.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyDocumentLayout.h"
#include "Vexmira/MyWindowController.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

// A document's window off screen, as the renderer runs it: the view hands itself over with the
// model's camera settings and smooths by drawing the model once per pass.
TEST(HeadlessWindow, TheViewTakesTheModelsCameraSettingsAndDrawsOncePerSmoothingPass) {
    MyDocumentLayout::registerLayout();
    Platform::OffscreenWindow::installBuilder(120, 90);
    MyDocument document;
    document.makeWindowControllers();
    auto* controller = static_cast<MyWindowController*>(document.windowControllers()[0].get());
    auto* window = dynamic_cast<Platform::OffscreenWindow*>(controller->window());
    ASSERT_NE(window, nullptr);
    Platform::OffscreenViewHost* host = window->viewHost();
    auto* view = static_cast<BlowupView*>(window->openGLView());
    EXPECT_EQ(controller->view(), nullptr);
    document.model().setAntialiasing(3);
    document.model().setDistance(15.0f);

    host->display();
    ASSERT_EQ(controller->view(), view);
    EXPECT_EQ(view->camera()->distance(), 15.0f);
    EXPECT_EQ(view->camera()->smoothingPasses(), 3);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    // Single-buffered off screen: passes and average go to the front buffer.
    EXPECT_EQ(view->camera()->smoothedBuffer(), static_cast<GLenum>(GL_FRONT));
    EXPECT_EQ(view->camera()->auxiliaryBuffer(), static_cast<GLenum>(GL_FRONT));
    EXPECT_FALSE(view->needsDisplay()) << "handing over asks for no second draw";

    // One draw of the model assembles a fixed number of primitives.
    auto primitivesOfOneDisplay = [host] {
        host->makeCurrent();
        GLuint query = 0, count = 0;
        glGenQueries(1, &query);
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        host->display();
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
        glDeleteQueries(1, &query);
        return count;
    };
    document.model().setAntialiasing(1);
    const GLuint single = primitivesOfOneDisplay();
    ASSERT_GT(single, 0u);
    // Up to 1 the model is drawn plainly; the camera keeps its passes within 1 to 5.
    const struct {
        int antialiasing;
        GLuint draws;
    } cases[] = {{0, 1}, {2, 2}, {3, 3}, {5, 5}, {9, 5}};
    for (const auto& smoothing : cases) {
        document.model().setAntialiasing(smoothing.antialiasing);
        EXPECT_EQ(primitivesOfOneDisplay(), single * smoothing.draws) << smoothing.antialiasing;
    }
    Platform::Window::setBuilder({});
}
