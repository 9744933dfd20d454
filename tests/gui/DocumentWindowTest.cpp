#include "GuiTest.h"
#include "ProbeView.h"

#include "Platform/core/NotificationCenter.h"
#include "Platform/core/Slider.h"
#include "Platform/fltk/FltkGLView.h"
#include "Platform/fltk/FltkMenuBar.h"
#include "Platform/fltk/FltkWindow.h"
#include "TolvaneKit/RVCamera.h"
#include "Vexmira/Blowup.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyWindowController.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Valuator.H>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace VexmiraGuiTest {

namespace {

ProbeView& probeOf(BlowupView* view) {
    return static_cast<ProbeView&>(*view);
}

// A stored document in the text property-list form.
std::string documentText(float blowup, float distance, int meridians, int antialiasing) {
    return "{\n    Class = MyDocument;\n    Version = 1;\n    blowupValue = \"" +
           std::to_string(blowup) + "\";\n    immersionValue = \"0.000000\";\n" +
           "    distanceValue = \"" + std::to_string(distance) + "\";\n" +
           "    meridiansValue = \"" + std::to_string(meridians) + "\";\n" +
           "    resolutionValue = \"34\";\n    antialiasingValue = \"" +
           std::to_string(antialiasing) + "\";\n}\n";
}

} // namespace

class DocumentWindowTest : public GuiTest {
protected:
    std::string writeDocument(const std::string& name, const std::string& text) {
        std::string path = scratchPath(name);
        std::ofstream(path) << text;
        return path;
    }
};

TEST_F(DocumentWindowTest, TheMeridiansSliderSetsTheModelRedrawsOnceAndIsUndoneByName) {
    MyDocument* document = newDocument();
    ProbeView& view = probeOf(viewOf(document));
    const int drawsBefore = view.draws;
    EXPECT_EQ(sliderValue(document, "meridians"), 72.0);

    moveSlider(document, "meridians", 40.0);
    EXPECT_EQ(document->model().meridians(), 40);
    EXPECT_TRUE(view.needsDisplay());
    EXPECT_EQ(menuItemLabel(document, "Undo"), "Undo Set Meridians");
    // Several changes before the next redraw give one redraw.
    moveSlider(document, "blowup", 0.5);
    pump();
    EXPECT_EQ(view.draws, drawsBefore + 1);
    EXPECT_FALSE(view.needsDisplay());

    chooseMenuItem(document, "Undo"); // the blowup
    chooseMenuItem(document, "Undo"); // the meridians
    EXPECT_EQ(document->model().meridians(), 72);
    EXPECT_EQ(sliderValue(document, "meridians"), 72.0);
    EXPECT_EQ(sliderValue(document, "blowup"), 0.0);
    EXPECT_TRUE(view.needsDisplay());
    EXPECT_EQ(menuItemLabel(document, "Redo"), "Redo Set Meridians");
    EXPECT_FALSE(menuItemEnabled(document, "Undo"));
    pump();
    EXPECT_EQ(view.draws, drawsBefore + 2);

    chooseMenuItem(document, "Redo");
    EXPECT_EQ(sliderValue(document, "meridians"), 40.0);
}

namespace {

void sendToSlider(Fl_Valuator* slider, int event, int x) {
    Fl::e_x = x;
    Fl::e_y = slider->y() + slider->h() / 2;
    Fl::e_state = event == FL_RELEASE ? 0 : FL_BUTTON1;
    Fl::e_keysym = FL_Button + FL_LEFT_MOUSE;
    slider->handle(event);
}

} // namespace

TEST_F(DocumentWindowTest, ADragOfAContinuousSliderIsOneUndoStep) {
    MyDocument* document = newDocument();
    Fl_Valuator* slider = windowOf(document).sliderWidget("blowup");
    const int left = slider->x() + 60;
    sendToSlider(slider, FL_PUSH, left);
    std::vector<float> seen = {document->model().blowup()};
    for (int step = 1; step <= 4; ++step) {
        sendToSlider(slider, FL_DRAG, left + 25 * step);
        seen.push_back(document->model().blowup());
    }
    sendToSlider(slider, FL_RELEASE, left + 100);
    // The model followed the drag step by step...
    for (std::size_t i = 1; i < seen.size(); ++i)
        EXPECT_GT(seen[i], seen[i - 1]) << i;
    // ...and one undo takes the whole drag back.
    EXPECT_EQ(menuItemLabel(document, "Undo"), "Undo Set Blowup");
    chooseMenuItem(document, "Undo");
    EXPECT_EQ(document->model().blowup(), 0.0f);
    EXPECT_EQ(sliderValue(document, "blowup"), 0.0);
    EXPECT_FALSE(menuItemEnabled(document, "Undo"));
    EXPECT_FALSE(document->isDocumentEdited());
}

TEST_F(DocumentWindowTest, AnIntegerSliderBetweenWholeNumbersMovesToTheStoredWholeNumber) {
    MyDocument* document = newDocument();
    moveSlider(document, "resolution", 12.7);
    EXPECT_EQ(document->model().resolution(), 13);
    EXPECT_EQ(sliderValue(document, "resolution"), 13.0);
}

TEST_F(DocumentWindowTest, ZoomSetsTheCameraDistanceAndANewWindowShowsTheModelsDistance) {
    MyDocument* document = newDocument();
    RVCamera* camera = viewOf(document)->camera();
    ASSERT_NE(camera, nullptr);
    // The model's distance reached the camera when the view handed itself over.
    EXPECT_EQ(camera->distance(), 8.0f);

    moveSlider(document, "zoom", 20.0);
    EXPECT_EQ(document->model().distance(), 20.0f);
    EXPECT_EQ(camera->distance(), 20.0f);
    EXPECT_EQ(menuItemLabel(document, "Undo"), "Undo Set Distance");
    chooseMenuItem(document, "Undo");
    EXPECT_EQ(camera->distance(), 8.0f);
    EXPECT_EQ(sliderValue(document, "zoom"), 8.0);
}

TEST_F(DocumentWindowTest, AReopenedDocumentAndARevertGiveTheCameraTheStoredSettings) {
    std::string path = writeDocument("stored.vexmira", documentText(0.5f, 12.0f, 30, 4));
    MyDocument* document = openDocument(path);
    ASSERT_NE(document, nullptr);
    RVCamera* camera = viewOf(document)->camera();
    EXPECT_EQ(camera->smoothingPasses(), 4);
    EXPECT_EQ(camera->distance(), 12.0f);
    EXPECT_EQ(sliderValue(document, "antialiasing"), 4.0);
    EXPECT_EQ(sliderValue(document, "meridians"), 30.0);

    moveSlider(document, "antialiasing", 1.0);
    EXPECT_EQ(camera->smoothingPasses(), 1);
    EXPECT_EQ(camera->smoothingJitter(), 1.0f);
    chooseMenuItem(document, "Revert To Saved");
    EXPECT_EQ(camera->smoothingPasses(), 4);
    EXPECT_EQ(camera->smoothingJitter(), 1.0f);
    EXPECT_EQ(sliderValue(document, "antialiasing"), 4.0);
    EXPECT_FALSE(document->isDocumentEdited());
}

TEST_F(DocumentWindowTest, AnotherDocumentsNotificationChangesNothingInThisWindow) {
    MyDocument* first = newDocument();
    MyDocument* second = newDocument();
    MyWindowController& controller = controllerOf(first);
    const long meridiansSets = controller.meridiansSlider()->setCount();
    const long zoomSets = controller.zoomSlider()->setCount();
    const float distance = viewOf(first)->camera()->distance();
    ASSERT_FALSE(viewOf(first)->needsDisplay());

    second->model().setMeridians(10);
    second->model().setDistance(30.0f);
    Platform::NotificationCenter::defaultCenter().postNotification(VexmiraMeridiansNotification,
                                                                   &second->model());
    EXPECT_EQ(controller.meridiansSlider()->setCount(), meridiansSets);
    EXPECT_EQ(controller.zoomSlider()->setCount(), zoomSets);
    EXPECT_EQ(sliderValue(first, "meridians"), 72.0);
    EXPECT_EQ(viewOf(first)->camera()->distance(), distance);
    EXPECT_FALSE(viewOf(first)->needsDisplay());
    EXPECT_EQ(sliderValue(second, "meridians"), 10.0);
}

TEST_F(DocumentWindowTest, UpdatingASliderToTheValueItShowsLeavesItUntouched) {
    MyDocument* document = newDocument();
    MyWindowController& controller = controllerOf(document);
    const long sets = controller.blowupSlider()->setCount();
    controller.updateWindow();
    controller.updateSlider(controller.blowupSlider(), 0.0f);
    EXPECT_EQ(controller.blowupSlider()->setCount(), sets);
    controller.updateSlider(controller.blowupSlider(), 0.25f);
    EXPECT_EQ(controller.blowupSlider()->setCount(), sets + 1);
    EXPECT_EQ(sliderValue(document, "blowup"), 0.25);
}

TEST_F(DocumentWindowTest, SaveAndRevertAreEnabledOnlyWhenTheyWouldDoSomething) {
    MyDocument* document = newDocument();
    EXPECT_FALSE(menuItemEnabled(document, "Save"));
    EXPECT_FALSE(menuItemEnabled(document, "Revert To Saved"));
    EXPECT_EQ(windowOf(document).title(), "Untitled");

    moveSlider(document, "blowup", 0.3);
    EXPECT_TRUE(menuItemEnabled(document, "Save"));
    EXPECT_FALSE(menuItemEnabled(document, "Revert To Saved")) << "never saved";
    pump();
    EXPECT_EQ(windowOf(document).title(), "*Untitled");

    dialogs.files = {scratchPath("picture")};
    chooseMenuItem(document, "Save As...");
    EXPECT_EQ(document->fileName(), scratchPath("picture.vexmira"));
    EXPECT_FALSE(menuItemEnabled(document, "Save"));
    EXPECT_FALSE(menuItemEnabled(document, "Revert To Saved"));
    EXPECT_FALSE(menuItemEnabled(document, "Undo")) << "saving clears the history";
    pump();
    EXPECT_EQ(windowOf(document).title(), "picture.vexmira");

    moveSlider(document, "immersion", 1.0);
    EXPECT_TRUE(menuItemEnabled(document, "Save"));
    EXPECT_TRUE(menuItemEnabled(document, "Revert To Saved"));
    chooseMenuItem(document, "Save");
    EXPECT_FALSE(menuItemEnabled(document, "Save"));
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(DocumentWindowTest, ClosingAnEditedWindowAsksAndCancelKeepsIt) {
    MyDocument* document = newDocument();
    moveSlider(document, "meridians", 12.0);
    dialogs.saveChoices = {Platform::UserDialogs::SaveChoice::cancel};
    windowOf(document).flWindow()->do_callback(); // the window manager's close box
    ASSERT_EQ(application().documents().size(), 1u);
    EXPECT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(document->model().meridians(), 12);

    dialogs.saveChoices = {Platform::UserDialogs::SaveChoice::dontSave};
    chooseMenuItem(document, "Close");
    EXPECT_TRUE(application().documents().empty());
    pump(); // FLTK deletes the window's widgets now
}

TEST_F(DocumentWindowTest, AFileThatCannotBeOpenedOpensNoWindowAndLeavesTheOthers) {
    MyDocument* open = newDocument();
    moveSlider(open, "meridians", 20.0);
    std::string malformed = writeDocument("malformed.vexmira", "{ Class = MyDocument; ");
    std::string outOfBounds = writeDocument("huge.vexmira", documentText(0.0f, 8.0f, 900000000, 1));
    EXPECT_EQ(application().openDocument(malformed), nullptr);
    EXPECT_EQ(application().openDocument(outOfBounds), nullptr);
    ASSERT_EQ(dialogs.errors.size(), 2u);
    EXPECT_NE(dialogs.errors[0].find("malformed.vexmira"), std::string::npos);
    EXPECT_NE(dialogs.errors[1].find("huge.vexmira"), std::string::npos);
    EXPECT_NE(dialogs.errors[1].find("meridiansValue"), std::string::npos);
    EXPECT_EQ(application().documents().size(), 1u);
    EXPECT_EQ(open->model().meridians(), 20);
    EXPECT_TRUE(open->isDocumentEdited());
}

TEST_F(DocumentWindowTest, ASaveThatCannotBeWrittenSaysSoAndKeepsTheDocumentEdited) {
    MyDocument* document = newDocument();
    moveSlider(document, "blowup", 0.4);
    std::vector<std::string> targets = {writeDocument("plain-file", "x") + "/inside.vexmira"};
    // Permissions do not stop root; other users also meet a read-only folder.
    if (geteuid() != 0) {
        std::string folder = scratchPath("read-only");
        std::filesystem::create_directory(folder);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_read |
                                                 std::filesystem::perms::owner_exec);
        targets.push_back(folder + "/picture.vexmira");
    }
    for (const std::string& target : targets) {
        dialogs.errors.clear();
        dialogs.files = {target};
        chooseMenuItem(document, "Save As...");
        ASSERT_EQ(dialogs.errors.size(), 1u) << target;
        EXPECT_NE(dialogs.errors[0].find(std::filesystem::path(target).filename().string()),
                  std::string::npos);
        EXPECT_TRUE(document->isDocumentEdited());
        EXPECT_FALSE(document->hasFileName());
        EXPECT_TRUE(menuItemEnabled(document, "Save"));
        EXPECT_EQ(menuItemLabel(document, "Undo"), "Undo Set Blowup");
        pump();
        EXPECT_EQ(windowOf(document).title(), "*Untitled");
    }
}

TEST_F(DocumentWindowTest, AClickAndADragCallTheHooksInOrderWithThePressModifiers) {
    MyDocument* document = newDocument();
    ProbeView& view = probeOf(viewOf(document));
    const float height = static_cast<float>(windowOf(document).glView()->h());

    press(document, 100, 100, FL_ALT);
    release(document, 100, 100);
    ASSERT_EQ(view.calls.size(), 1u);
    EXPECT_EQ(view.calls[0].hook, "click");
    EXPECT_EQ(view.calls[0].modifiers, 0x80000u);

    view.calls.clear();
    press(document, 50, 60, FL_SHIFT | FL_META);
    dragTo(document, 52, 60, FL_SHIFT | FL_META);
    dragTo(document, 54, 58, 0); // the keys are let go during the gesture
    dragTo(document, 54, 50, FL_CTRL);
    release(document, 54, 50, FL_CTRL);
    ASSERT_EQ(view.calls.size(), 4u);
    const char* hooks[] = {"drag", "drag", "drag", "end"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(view.calls[i].hook, hooks[i]);
        EXPECT_EQ(view.calls[i].modifiers, 0x20000u | 0x100000u) << i;
    }
    // View coordinates: pixel centres, y upward.
    EXPECT_EQ(view.calls[0].oldLocation.x, 50.5f);
    EXPECT_EQ(view.calls[0].oldLocation.y, height - 60.5f);
    EXPECT_EQ(view.calls[0].location.x, 52.5f);
    EXPECT_EQ(view.calls[1].oldLocation.x, view.calls[0].location.x);
    EXPECT_EQ(view.calls[1].location.y, height - 58.5f);
    EXPECT_EQ(view.calls[2].oldLocation.y, view.calls[1].location.y);
    EXPECT_EQ(view.calls[3].location.y, height - 50.5f);
}

TEST_F(DocumentWindowTest, DragsTurnTheCameraAndStopAtThePoles) {
    MyDocument* document = newDocument();
    BlowupView* view = viewOf(document);
    RVCamera* camera = view->camera();
    view->makeCurrentContext();
    camera->setElevation(170.0f);
    // 20 pixels upward in FLTK's coordinates (y grows downward).
    press(document, 200, 200);
    dragTo(document, 200, 180);
    release(document, 200, 180);
    EXPECT_EQ(camera->elevation(), 180.0f);

    view->makeCurrentContext();
    camera->setElevation(5.0f);
    press(document, 200, 200);
    dragTo(document, 200, 220);
    release(document, 200, 220);
    EXPECT_EQ(camera->elevation(), 0.0f);

    // A drag with shift but without control turns the camera too.
    camera->setAzimuth(355.0f);
    press(document, 200, 200, FL_SHIFT);
    dragTo(document, 190, 200, FL_SHIFT);
    release(document, 190, 200, FL_SHIFT);
    EXPECT_EQ(camera->azimuth(), 0.0f);
    EXPECT_TRUE(view->needsDisplay());
}

TEST_F(DocumentWindowTest, ResizingTheWindowResizesTheCamerasViewport) {
    MyDocument* document = newDocument();
    Platform::FltkWindow& window = windowOf(document);
    window.flWindow()->size(700, 500);
    pump();
    Platform::FltkGLView* glView = window.glView();
    RVCamera* camera = viewOf(document)->camera();
    EXPECT_EQ(camera->width(), static_cast<float>(glView->w()));
    EXPECT_EQ(camera->height(), static_cast<float>(glView->h()));
    EXPECT_LT(glView->w(), 700) << "the sliders keep their column";
    glView->make_current();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], glView->w());
    EXPECT_EQ(viewport[3], glView->h());
}

TEST_F(DocumentWindowTest, AControlDragMovesTheTargetOnly) {
    MyDocument* document = newDocument();
    RVCamera* camera = viewOf(document)->camera();
    GLfloat target[3];
    camera->getTarget(target);
    EXPECT_EQ(target[0], 0.0f);
    EXPECT_EQ(target[1], 0.0f);
    EXPECT_EQ(target[2], 1.0f);
    const float elevation = camera->elevation();
    const float azimuth = camera->azimuth();

    press(document, 300, 300, FL_CTRL);
    dragTo(document, 300, 270, FL_CTRL); // 30 pixels upward
    release(document, 300, 270, FL_CTRL);
    camera->getTarget(target);
    EXPECT_EQ(target[0], 0.0f);
    EXPECT_EQ(target[1], 0.0f);
    EXPECT_NEAR(target[2], -2.0f, 1e-6);
    EXPECT_EQ(camera->elevation(), elevation);
    EXPECT_EQ(camera->azimuth(), azimuth);
}

namespace {

std::vector<GLfloat> modelviewOf(BlowupView* view) {
    view->makeCurrentContext();
    std::vector<GLfloat> matrix(16);
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix.data());
    return matrix;
}

} // namespace

TEST_F(DocumentWindowTest, ChangesInOneWindowLeaveTheOtherWindowsOpenGLStateAlone) {
    MyDocument* first = newDocument();
    MyDocument* second = newDocument();
    const std::vector<GLfloat> secondBefore = modelviewOf(viewOf(second));
    // The second window's context is current now, as after its draw.
    moveSlider(first, "zoom", 30.0);
    press(first, 100, 100, FL_CTRL);
    dragTo(first, 100, 90, FL_CTRL);
    release(first, 100, 90, FL_CTRL);
    EXPECT_EQ(modelviewOf(viewOf(second)), secondBefore);
    EXPECT_EQ(viewOf(first)->camera()->distance(), 30.0f);
    // The first window's own matrix did follow: looking straight down from
    // 30 units above the target, which the 10-pixel control-drag upward
    // lowered from height 1 to 0.
    std::vector<GLfloat> firstMatrix = modelviewOf(viewOf(first));
    EXPECT_NEAR(firstMatrix[14], -30.0f - 0.0f, 1e-4);
}

TEST_F(DocumentWindowTest, KeyboardShortcutsReachTheMenus) {
    MyDocument* document = newDocument();
    moveSlider(document, "meridians", 40.0);
    Fl_Widget* menuBar = windowOf(document).menuBar();
    Fl::e_keysym = 'z';
    Fl::e_state = FL_CTRL;
    Fl::e_text = const_cast<char*>("z");
    Fl::e_length = 1;
    EXPECT_TRUE(menuBar->handle(FL_SHORTCUT));
    EXPECT_EQ(document->model().meridians(), 72);
    Fl::e_keysym = 'Z';
    Fl::e_state = FL_CTRL | FL_SHIFT;
    Fl::e_text = const_cast<char*>("Z");
    EXPECT_TRUE(menuBar->handle(FL_SHORTCUT));
    EXPECT_EQ(document->model().meridians(), 40);
    // Save is enabled now, so Ctrl+S asks for a file (and is cancelled).
    Fl::e_keysym = 's';
    Fl::e_state = FL_CTRL;
    Fl::e_text = const_cast<char*>("s");
    EXPECT_TRUE(menuBar->handle(FL_SHORTCUT));
    EXPECT_TRUE(document->isDocumentEdited());
    Fl::e_state = 0;
}

namespace {

struct PixelCensus {
    int white = 0;
    int light = 0; // white and the light greys of white lines smoothed
    int reddish = 0;
    int greenish = 0;
    int bluish = 0;
};

// Saturated colours are what the meridians are drawn in; white is the circle.
PixelCensus census(const std::vector<std::uint8_t>& rgb) {
    PixelCensus counts;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
        int r = rgb[i], g = rgb[i + 1], b = rgb[i + 2];
        if (r > 110 && g > 110 && b > 110 && std::max({r, g, b}) - std::min({r, g, b}) < 40)
            ++counts.light;
        if (r > 230 && g > 230 && b > 230)
            ++counts.white;
        else if (r > 200 && g < 90 && b < 90)
            ++counts.reddish;
        else if (g > 200 && r < 90 && b < 90)
            ++counts.greenish;
        else if (b > 200 && r < 90 && g < 90)
            ++counts.bluish;
    }
    return counts;
}

} // namespace

TEST_F(DocumentWindowTest, TheWindowShowsColouredMeridiansAndWithABlowupTheWhiteCircle) {
    MyDocument* document = newDocument();
    PixelCensus plain = census(readShownPixels(document));
    EXPECT_GT(plain.reddish, 50);
    EXPECT_GT(plain.greenish, 50);
    EXPECT_GT(plain.bluish, 50);
    EXPECT_LT(plain.white, 5) << "no circle without a blow-up";

    // Seen from the side, the circle stands upright above the sphere.
    BlowupView* view = viewOf(document);
    view->makeCurrentContext();
    view->camera()->setElevation(90.0f);
    moveSlider(document, "blowup", 1.0);
    pump();
    PixelCensus blown = census(readShownPixels(document));
    EXPECT_GT(blown.white, 100);
    EXPECT_GT(blown.reddish + blown.greenish + blown.bluish, 150);

    // Smoothing draws the same picture, averaged in the back buffer that the
    // swap shows. Accumulation here is in linear light, so only the kind of
    // colour is checked.
    RVCamera* camera = view->camera();
    EXPECT_EQ(camera->smoothedBuffer(), static_cast<GLenum>(GL_BACK));
    EXPECT_EQ(camera->auxiliaryBuffer(), static_cast<GLenum>(GL_BACK));
    EXPECT_TRUE(windowOf(document).glView()->isDoubleBuffered());
    moveSlider(document, "antialiasing", 4.0);
    pump();
    PixelCensus smoothed = census(readShownPixels(document));
    EXPECT_GT(smoothed.light, 100);
    EXPECT_GT(smoothed.reddish + smoothed.greenish + smoothed.bluish, 50);
}

} // namespace VexmiraGuiTest
