#define GL_GLEXT_PROTOTYPES
#include "Platform/core/MouseEvent.h"
#include "Platform/core/Slider.h"
#include "Platform/core/Window.h"
#include "Platform/offscreen/OffscreenViewHost.h"
#include "Platform/offscreen/OffscreenWindow.h"
#include "TolvaneKit/Camera/RVCamera.h"
#include "Vexmira/Blowup.h"
#include "Vexmira/BlowupView.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyDocumentLayout.h"
#include "Vexmira/MyWindowController.h"
#include "support/OffscreenGLTest.h"
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

// A BlowupView that counts how often the model draws its surface, and notes for every frame
// whether the busy cursor was up while it was drawn.
class CountingView : public BlowupView {
public:
    int surfaceDrawings = 0;
    std::vector<bool> busyWhileDrawing;

    EasyView& drawScene() override {
        busyWhileDrawing.push_back(showsBusyCursor());
        return BlowupView::drawScene();
    }

protected:
    void drawSurface(Blowup& blowup) override {
        ++surfaceDrawings;
        BlowupView::drawSurface(blowup);
    }
};

// A document's window off screen, as the renderer runs it, with a CountingView.
class HeadlessWindow : public VexmiraTest::OffscreenGLTest {
protected:
    static constexpr int width = 120, height = 90;

    void SetUp() override {
        OffscreenGLTest::SetUp();
        Platform::WindowLayout layout = MyDocumentLayout::layout();
        layout.makeOpenGLView = [] { return std::make_unique<CountingView>(); };
        Platform::WindowLayout::registerLayout(layout);
        Platform::OffscreenWindow::installBuilder(width, height);
        document.makeWindowControllers();
        controller = static_cast<MyWindowController*>(document.windowControllers()[0].get());
        auto* window = dynamic_cast<Platform::OffscreenWindow*>(controller->window());
        ASSERT_NE(window, nullptr);
        host = window->viewHost();
        view = static_cast<CountingView*>(window->openGLView());
    }
    void TearDown() override {
        Platform::Window::setBuilder({});
        MyDocumentLayout::registerLayout();
    }
    Blowup& model() { return document.model(); }

    // How many times the surface is drawn by the next display: primitives over those of one pass.
    double passesOfOneDisplay(double onePass = 1.0) {
        host->makeCurrent();
        GLuint query = 0, count = 0;
        glGenQueries(1, &query);
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        host->display();
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
        glDeleteQueries(1, &query);
        return count / onePass;
    }

    std::vector<std::uint8_t> displayedPicture() {
        host->display();
        return host->surface().readPixels();
    }

    MyDocument document;
    MyWindowController* controller = nullptr;
    Platform::OffscreenViewHost* host = nullptr;
    CountingView* view = nullptr;
};

// A smoothed blow-up with few meridians seen from aside: the first frame draws every pass, the
// next records the surface once for its passes, the later ones replay it, and all of them show
// the picture the model drew itself. Only the surface's own parameters make it drawn again.
TEST_F(HeadlessWindow, TheKeptSurfaceShowsTheModelsPictureAndOnlyItsParametersDrawItAgain) {
    model().setMeridians(7);
    model().setAntialiasing(5);
    model().setBlowup(0.9f);
    model().setImmersion(0.6f);
    view->prepare();
    view->camera()->setElevation(72.0f);
    const std::vector<std::uint8_t> drawn = displayedPicture();
    EXPECT_EQ(view->surfaceDrawings, 5);
    EXPECT_TRUE(displayedPicture() == drawn) << "recorded";
    EXPECT_EQ(view->surfaceDrawings, 6);
    EXPECT_TRUE(displayedPicture() == drawn) << "replayed";
    expectNoGLError();
    // The camera, the zoom and the smoothing leave the surface as it is.
    view->camera()->setAzimuth(40.0f);
    model().setDistance(20.0f);
    model().setAntialiasing(1);
    model().setBlowup(model().blowup());
    host->display();
    host->display();
    EXPECT_EQ(view->surfaceDrawings, 6);
    auto drawingsOfThreeFramesAfter = [this](auto change) {
        const int before = view->surfaceDrawings;
        change();
        for (int frame = 0; frame < 3; ++frame)
            host->display();
        return view->surfaceDrawings - before;
    };
    EXPECT_EQ(drawingsOfThreeFramesAfter([this] { model().setBlowup(0.5f); }), 2);
    EXPECT_EQ(drawingsOfThreeFramesAfter([this] { model().setImmersion(1.0f); }), 2);
    EXPECT_EQ(drawingsOfThreeFramesAfter([this] { model().setMeridians(40); }), 2);
    EXPECT_EQ(drawingsOfThreeFramesAfter([this] { model().setResolution(20); }), 2);
}

// The model's smoothing is drawn once per pass. With every smoothed frame over the budget,
// frames of a drag, a held slider, the wheel or an animation are drawn in one pass; the
// smoothing comes back when the last of them ends.
TEST_F(HeadlessWindow, SmoothingDrawsOncePerPassAndIsPreviewedInOnePassWhileThePictureMoves) {
    host->display();
    const double onePass = passesOfOneDisplay(); // in primitives, at the first smoothing of 1
    // Up to 1 the model is drawn plainly; the camera keeps its passes within 1 to 5.
    for (auto [antialiasing, passes] : {std::pair{0, 1.0}, {2, 2.0}, {9, 5.0}, {5, 5.0}}) {
        model().setAntialiasing(antialiasing);
        EXPECT_EQ(passesOfOneDisplay(onePass), passes) << antialiasing;
    }
    // Single-buffered off screen: passes and average go to the front buffer.
    EXPECT_EQ(view->camera()->smoothedBuffer(), static_cast<GLenum>(GL_FRONT));
    EXPECT_FALSE(view->needsDisplay()) << "handing over asks for no second draw";
    view->setFrameBudget({0.0, 1e9});

    host->mouseDown(10, 10);
    EXPECT_EQ(passesOfOneDisplay(onePass), 5.0) << "a press may still be a click";
    host->mouseDragged(20, 10);
    EXPECT_EQ(passesOfOneDisplay(onePass), 1.0);
    host->mouseUp(30, 15);
    ASSERT_TRUE(view->needsDisplay()) << "the smoothed picture is asked for when the drag ends";
    EXPECT_EQ(passesOfOneDisplay(onePass), 5.0);

    // A held slider; an animation running across a drag keeps the preview after the drag.
    Platform::Slider* blowup = controller->window()->slider("blowup");
    blowup->trackingBegan();
    model().setBlowup(0.3f);
    EXPECT_EQ(passesOfOneDisplay(onePass), 1.0);
    view->beginInteraction();
    blowup->trackingEnded();
    host->mouseDown(10, 10);
    host->mouseDragged(20, 10);
    host->mouseUp(20, 10);
    EXPECT_EQ(passesOfOneDisplay(onePass), 1.0);
    view->endInteraction();
    view->endInteraction(); // one end too many is ignored
    EXPECT_EQ(passesOfOneDisplay(onePass), 5.0);

    // Wheel turns have no end of their own: theirs comes when they pause.
    for (int turn = 0; turn < 2; ++turn) {
        view->scrollWheel({60, 45, 0, 1.0f});
        EXPECT_EQ(passesOfOneDisplay(onePass), 1.0) << turn;
    }
    ASSERT_TRUE(host->fireTimer());
    EXPECT_EQ(passesOfOneDisplay(onePass), 5.0);
    EXPECT_FALSE(host->fireTimer());

    // Smoothing within the budget, or asked for while moving, goes on during a drag; the end
    // of the drag then asks for nothing more.
    for (auto [budget, smoothWhileMoving] : {std::pair{1e9, false}, {0.0, true}}) {
        view->setFrameBudget({budget, 1e9});
        view->setFullFramesWhileMoving(smoothWhileMoving);
        host->mouseDown(10, 10);
        host->mouseDragged(20, 30);
        EXPECT_EQ(passesOfOneDisplay(onePass), 5.0) << budget;
        host->mouseUp(20, 30);
        EXPECT_FALSE(view->needsDisplay()) << budget;
    }
}

TEST_F(HeadlessWindow, AFrameAsSlowAsTheBusyLimitShowsTheBusyCursorWhileItIsDrawn) {
    model().setAntialiasing(2);
    view->setFrameBudget({0.0, 0.0});
    host->display(); // the first frame has no time of the last to go by
    host->display();
    view->setFrameBudget({0.0, 1e9});
    host->display();
    EXPECT_EQ(view->busyWhileDrawing, (std::vector<bool>{false, true, false}));
    EXPECT_FALSE(view->showsBusyCursor());
}
