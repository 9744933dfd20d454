#include "GuiTest.h"

#include "Platform/core/NotificationCenter.h"
#include "Platform/core/Slider.h"
#include "TolvaneKit/RVCamera.h"
#include "Vexmira/Blowup.h"

#include <algorithm>
#include <filesystem>
#include <tuple>
#include <unistd.h>

namespace VexmiraGuiTest {

using DocumentWindowTest = GuiTest;
using SaveChoice = Platform::UserDialogs::SaveChoice;

// A stored document in the text property-list form, at distance 12 with antialiasing 4.
static std::string documentText(int meridians) {
    return "{ Class = MyDocument; Version = 1; blowupValue = \"0.5\"; immersionValue = \"0\"; "
           "distanceValue = \"12\"; antialiasingValue = \"4\"; resolutionValue = \"34\"; "
           "meridiansValue = \"" +
           std::to_string(meridians) + "\"; }";
}

TEST_F(DocumentWindowTest, SlidersSetTheModelAndCameraRedrawOnceAndAreUndoneByName) {
    MyDocument* document = newDocument();
    ProbeView& view = viewOf(document);
    RVCamera* camera = view.camera();
    const int drawsBefore = view.draws;
    EXPECT_EQ(sliderValue(document, "meridians"), 72.0);
    EXPECT_EQ(camera->distance(), 8.0f) << "the model's distance reaches the camera at hand-over";

    moveSlider(document, "meridians", 40.0);
    EXPECT_EQ(document->model().meridians(), 40);
    EXPECT_TRUE(view.needsDisplay());
    EXPECT_EQ(menuItemLabel(document, "Undo"), "Undo Set Meridians");
    moveSlider(document, "zoom", 20.0);
    EXPECT_EQ(document->model().distance(), 20.0f);
    EXPECT_EQ(camera->distance(), 20.0f);
    EXPECT_EQ(menuItemLabel(document, "Undo"), "Undo Set Distance");
    moveSlider(document, "resolution", 12.7); // an integer slider shows the whole number stored
    EXPECT_EQ(document->model().resolution(), 13);
    EXPECT_EQ(sliderValue(document, "resolution"), 13.0);
    pump();
    EXPECT_EQ(view.draws, drawsBefore + 1) << "changes before a redraw give one redraw";
    EXPECT_FALSE(view.needsDisplay());

    for (int step = 0; step < 3; ++step)
        chooseMenuItem(document, "Undo");
    EXPECT_EQ(camera->distance(), 8.0f);
    EXPECT_EQ(sliderValue(document, "zoom"), 8.0);
    EXPECT_EQ(document->model().meridians(), 72);
    EXPECT_EQ(sliderValue(document, "meridians"), 72.0);
    EXPECT_TRUE(view.needsDisplay());
    EXPECT_FALSE(menuItemEnabled(document, "Undo"));
    EXPECT_EQ(menuItemLabel(document, "Redo"), "Redo Set Meridians");
}

TEST_F(DocumentWindowTest, ADragOfAContinuousSliderIsOneUndoStep) {
    MyDocument* document = newDocument();
    Fl_Valuator* slider = windowOf(document).sliderWidget("blowup");
    const int x = slider->x() + 60, y = slider->y() + slider->h() / 2;
    mouse(slider, FL_PUSH, x, y);
    for (int step = 1; step <= 4; ++step) {
        const float before = document->model().blowup();
        mouse(slider, FL_DRAG, x + 25 * step, y);
        EXPECT_GT(document->model().blowup(), before) << "the model follows step " << step;
    }
    mouse(slider, FL_RELEASE, x + 100, y);
    EXPECT_EQ(menuItemLabel(document, "Undo"), "Undo Set Blowup");
    chooseMenuItem(document, "Undo");
    EXPECT_EQ(document->model().blowup(), 0.0f);
    EXPECT_EQ(sliderValue(document, "blowup"), 0.0);
    EXPECT_FALSE(menuItemEnabled(document, "Undo"));
    EXPECT_FALSE(document->isDocumentEdited());
}

TEST_F(DocumentWindowTest, OpeningAndRevertingGiveTheCameraTheStoredSettings) {
    const std::string path = scratchPath("stored.vexmira");
    VexmiraTest::TemporaryFolder::write(path, documentText(30));
    EXPECT_TRUE(application().openFiles({path}));
    ASSERT_EQ(application().documents().size(), 1u);
    MyDocument* document = openDocument(scratchPath("./stored.vexmira")); // brought forward
    ASSERT_EQ(document, application().documents().back().get());
    RVCamera* camera = viewOf(document).camera();
    EXPECT_EQ(camera->smoothingPasses(), 4);
    EXPECT_EQ(camera->distance(), 12.0f);
    EXPECT_EQ(sliderValue(document, "meridians"), 30.0);

    moveSlider(document, "antialiasing", 1.0);
    EXPECT_EQ(camera->smoothingPasses(), 1);
    chooseMenuItem(document, "Revert To Saved");
    EXPECT_EQ(camera->smoothingPasses(), 4);
    EXPECT_EQ(camera->smoothingJitter(), 1.0f);
    EXPECT_EQ(sliderValue(document, "antialiasing"), 4.0);
    EXPECT_FALSE(document->isDocumentEdited());
}

TEST_F(DocumentWindowTest, SaveAndRevertAreEnabledOnlyWhenTheyWouldDoSomething) {
    MyDocument* document = newDocument();
    EXPECT_FALSE(menuItemEnabled(document, "Save"));
    EXPECT_FALSE(menuItemEnabled(document, "Revert To Saved"));

    moveSlider(document, "blowup", 0.3);
    EXPECT_TRUE(menuItemEnabled(document, "Save"));
    EXPECT_FALSE(menuItemEnabled(document, "Revert To Saved")) << "never saved";
    pump();
    EXPECT_EQ(windowOf(document).title(), "*Untitled");

    dialogs.files = {scratchPath("picture")};
    chooseMenuItem(document, "Save As...");
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
}

TEST_F(DocumentWindowTest, WindowsKeepToTheirDocumentsAndAskBeforeChangesAreLost) {
    MyDocument* older = newDocument();
    MyDocument* newer = newDocument();
    auto& controller = static_cast<MyWindowController&>(*older->windowControllers().front());
    const long meridiansSets = controller.meridiansSlider()->setCount();
    ASSERT_FALSE(viewOf(older).needsDisplay());
    newer->model().setMeridians(10);
    Platform::NotificationCenter::defaultCenter().postNotification(VexmiraMeridiansNotification,
                                                                   &newer->model());
    EXPECT_EQ(controller.meridiansSlider()->setCount(), meridiansSets);
    EXPECT_EQ(sliderValue(older, "meridians"), 72.0);
    EXPECT_FALSE(viewOf(older).needsDisplay());
    EXPECT_EQ(sliderValue(newer, "meridians"), 10.0);

    moveSlider(older, "meridians", 12.0);
    moveSlider(newer, "meridians", 13.0);
    // The close box asks; Save with no file chosen keeps the window.
    dialogs.saveChoices = {SaveChoice::save};
    windowOf(newer).flWindow()->do_callback();
    EXPECT_EQ(dialogs.questions.size(), 1u);
    // Quitting goes newest first and stops at the first Cancel.
    dialogs.saveChoices = {SaveChoice::dontSave, SaveChoice::cancel};
    EXPECT_FALSE(application().quit());
    ASSERT_EQ(application().documents().size(), 1u);
    EXPECT_EQ(application().documents()[0].get(), older);
    EXPECT_EQ(older->model().meridians(), 12);
}

TEST_F(DocumentWindowTest, BadFilesAreReportedByNameAndLoseNothing) {
    MyDocument* document = newDocument();
    moveSlider(document, "blowup", 0.4);
    const std::string huge = documentText(900000000);
    using Case = std::tuple<const char*, const char*, const char*>; // name, contents, problem
    for (auto [name, contents, problem] : {Case{"missing.vexmira", nullptr, ""},
                                           Case{"malformed.vexmira", "{ Class = MyDocument; ", ""},
                                           Case{"huge.vexmira", huge.c_str(), "meridiansValue"}}) {
        SCOPED_TRACE(name);
        if (contents) // none: the file does not exist
            VexmiraTest::TemporaryFolder::write(scratchPath(name), contents);
        dialogs.errors.clear();
        EXPECT_EQ(application().openDocument(scratchPath(name)), nullptr);
        ASSERT_EQ(dialogs.errors.size(), 1u);
        EXPECT_NE(dialogs.errors[0].find(name), std::string::npos);
        EXPECT_NE(dialogs.errors[0].find(problem), std::string::npos);
        EXPECT_EQ(application().documents().size(), 1u);
    }

    VexmiraTest::TemporaryFolder::write(scratchPath("plain-file"), "x");
    std::vector<std::string> unwritable = {scratchPath("plain-file") + "/inside.vexmira"};
    if (geteuid() != 0) { // permissions do not stop root
        std::filesystem::create_directory(scratchPath("read-only"));
        std::filesystem::permissions(scratchPath("read-only"),
                                     std::filesystem::perms::owner_read |
                                         std::filesystem::perms::owner_exec);
        unwritable.push_back(scratchPath("read-only") + "/picture.vexmira");
    }
    for (const std::string& target : unwritable) {
        SCOPED_TRACE(target);
        dialogs.errors.clear();
        dialogs.files = {target};
        chooseMenuItem(document, "Save As...");
        ASSERT_EQ(dialogs.errors.size(), 1u);
        EXPECT_NE(dialogs.errors[0].find(std::filesystem::path(target).filename().string()),
                  std::string::npos);
        EXPECT_FALSE(document->hasFileName());
        EXPECT_EQ(menuItemLabel(document, "Undo"), "Undo Set Blowup");
    }
    EXPECT_EQ(document->model().blowup(), 0.4f);
    EXPECT_TRUE(document->isDocumentEdited());
}

TEST_F(DocumentWindowTest, GesturesCallTheHooksWithThePressModifiersAndMoveTheCamera) {
    MyDocument* document = newDocument();
    ProbeView& view = viewOf(document);
    const float height = static_cast<float>(windowOf(document).glView()->h());
    mouse(document, FL_PUSH, 100, 100, FL_ALT);
    mouse(document, FL_RELEASE, 100, 100);
    ASSERT_EQ(view.calls.size(), 1u);
    EXPECT_EQ(view.calls[0].hook, "click");
    EXPECT_EQ(view.calls[0].modifiers, 0x80000u);

    view.calls.clear();
    mouse(document, FL_PUSH, 50, 60, FL_SHIFT | FL_META);
    mouse(document, FL_DRAG, 52, 60, FL_SHIFT | FL_META);
    mouse(document, FL_DRAG, 54, 58, 0); // the keys are let go during the gesture
    mouse(document, FL_DRAG, 54, 50, FL_CTRL);
    mouse(document, FL_RELEASE, 54, 50, FL_CTRL);
    ASSERT_EQ(view.calls.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(view.calls[i].hook, i < 3 ? "drag" : "end") << i;
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

    // Control-drags move the target; other drags turn the camera, up to the poles.
    RVCamera* camera = view.camera();
    GLfloat target[3];
    camera->getTarget(target);
    EXPECT_EQ(std::vector<GLfloat>(target, target + 3), (std::vector<GLfloat>{0.0f, 0.0f, 1.0f}));
    const float elevation = camera->elevation(), azimuth = camera->azimuth();
    drag(document, 300, 300, 0, -30, FL_CTRL); // 30 pixels upward (FLTK's y grows downward)
    camera->getTarget(target);
    EXPECT_EQ(target[0], 0.0f);
    EXPECT_EQ(target[1], 0.0f);
    EXPECT_NEAR(target[2], -2.0f, 1e-6);
    EXPECT_EQ(camera->elevation(), elevation);
    EXPECT_EQ(camera->azimuth(), azimuth);

    for (auto [start, dy, pole] : {std::tuple{170.0f, -20, 180.0f}, {5.0f, 20, 0.0f}}) {
        view.makeCurrentContext();
        camera->setElevation(start);
        drag(document, 200, 200, 0, dy);
        EXPECT_EQ(camera->elevation(), pole) << start;
    }
    camera->setAzimuth(355.0f);
    drag(document, 200, 200, -10, 0, FL_SHIFT); // shift without control turns the camera too
    EXPECT_EQ(camera->azimuth(), 0.0f);
    EXPECT_TRUE(view.needsDisplay());
}

// The meridians are drawn in saturated red, green and blue, the circle in white; smoothing turns
// white lines light grey.
struct PixelCensus {
    int white = 0, light = 0, coloured[3] = {0, 0, 0};
    int colouredTotal() const { return coloured[0] + coloured[1] + coloured[2]; }
};

static PixelCensus census(const std::vector<std::uint8_t>& rgb) {
    PixelCensus counts;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
        const auto [low, high] = std::minmax({rgb[i], rgb[i + 1], rgb[i + 2]});
        counts.light += low > 110 && high - low < 40;
        counts.white += low > 230;
        for (std::size_t c = 0; c < 3; ++c)
            counts.coloured[c] +=
                rgb[i + c] > 200 && rgb[i + (c + 1) % 3] < 90 && rgb[i + (c + 2) % 3] < 90;
    }
    return counts;
}

TEST_F(DocumentWindowTest, TheWindowShowsColouredMeridiansAndWithABlowupTheWhiteCircle) {
    MyDocument* document = newDocument();
    const PixelCensus plain = census(readShownPixels(document));
    for (int count : plain.coloured)
        EXPECT_GT(count, 50);
    EXPECT_LT(plain.white, 5) << "no circle without a blow-up";

    // Seen from the side, the circle stands upright above the sphere.
    ProbeView& view = viewOf(document);
    view.makeCurrentContext();
    view.camera()->setElevation(90.0f);
    moveSlider(document, "blowup", 1.0);
    pump();
    const PixelCensus blown = census(readShownPixels(document));
    EXPECT_GT(blown.white, 100);
    EXPECT_GT(blown.colouredTotal(), 150);

    // Smoothing averages in the back buffer that the swap shows, so no single pass is seen.
    // Accumulation here is in linear light, so only the kind of colour is checked.
    EXPECT_EQ(view.camera()->smoothedBuffer(), static_cast<GLenum>(GL_BACK));
    EXPECT_EQ(view.camera()->auxiliaryBuffer(), static_cast<GLenum>(GL_BACK));
    EXPECT_TRUE(windowOf(document).glView()->isDoubleBuffered());
    moveSlider(document, "antialiasing", 4.0);
    pump();
    const PixelCensus smoothed = census(readShownPixels(document));
    EXPECT_GT(smoothed.light, 100);
    EXPECT_GT(smoothed.colouredTotal(), 50);
}

} // namespace VexmiraGuiTest
