#define GL_GLEXT_PROTOTYPES
#include "Platform/core/Window.h"
#include "Platform/offscreen/OffscreenViewHost.h"
#include "Platform/offscreen/OffscreenWindow.h"
#include "TolvaneKit/Camera/RVCamera.h"
#include "Vexmira/BlowupView.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyDocumentLayout.h"
#include "Vexmira/MyWindowController.h"
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <utility>

// A document's window off screen, as the renderer runs it.
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
    document.model().setAntialiasing(3);
    host->display();
    ASSERT_EQ(controller->view(), view);
    EXPECT_EQ(view->camera()->smoothingPasses(), 3);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_CULL_FACE) &&
                glIsEnabled(GL_COLOR_MATERIAL));
    // Single-buffered off screen: passes and average go to the front buffer.
    EXPECT_EQ(view->camera()->smoothedBuffer(), static_cast<GLenum>(GL_FRONT));
    EXPECT_EQ(view->camera()->auxiliaryBuffer(), static_cast<GLenum>(GL_FRONT));
    EXPECT_FALSE(view->needsDisplay()) << "handing over asks for no second draw";

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
    for (auto [antialiasing, draws] : {std::pair{0, 1u}, {2, 2u}, {5, 5u}, {9, 5u}}) {
        document.model().setAntialiasing(antialiasing);
        EXPECT_EQ(primitivesOfOneDisplay(), single * draws) << antialiasing;
    }
    Platform::Window::setBuilder({});
}
