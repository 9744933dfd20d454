// GoogleTest comes before X11, whose macros (None) it would meet otherwise.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Platform/core/Localization.h"
#include "Platform/core/MouseEvent.h"
#include "Platform/fltk/FltkApplication.h"
#include "Platform/fltk/FltkDialogs.h"
#include "Platform/fltk/FltkGLView.h"
#include "Platform/fltk/FltkMenuBar.h"
#include "Platform/fltk/FltkPreferences.h"
#include "Platform/fltk/FltkWindow.h"
#include "Platform/image/PngReader.h"
#include "TolvaneKit/Camera/RVCamera.h"
#include "Vexmira/Blowup.h"
#include "Vexmira/BlowupView.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyDocumentLayout.h"
#include "Vexmira/MyWindowController.h"
#include "Vexmira/SmoothWhileMoving.h"
#include "Vexmira/VexmiraMenus.h"
#include "support/MessageCatalogue.h"
#include "support/TemporaryFolder.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Valuator.H>
#include <FL/fl_draw.H>
#include <FL/gl.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>
#include <tuple>
#include <vector>

using SaveChoice = Platform::UserDialogs::SaveChoice;
using VexmiraTest::TemporaryFolder;
using namespace ::testing;

// A BlowupView that records its gesture hooks and counts its draws.
class ProbeView : public BlowupView {
public:
    struct Call {
        std::string hook;
        std::pair<float, float> location, oldLocation; // x, y
        GLuint modifiers;
    };
    std::vector<Call> calls;
    int draws = 0;

    void drawRect() override {
        ++draws;
        BlowupView::drawRect();
    }
    EasyView& handleClickAt(Point point, GLuint modifiers) override {
        calls.push_back({"click", {point.x, point.y}, {}, modifiers});
        return BlowupView::handleClickAt(point, modifiers);
    }
    EasyView& handleDragTo(Point location, Point oldLocation, GLuint modifiers) override {
        calls.push_back(
            {"drag", {location.x, location.y}, {oldLocation.x, oldLocation.y}, modifiers});
        return BlowupView::handleDragTo(location, oldLocation, modifiers);
    }
    EasyView& handleDragEndAt(Point point, GLuint modifiers) override {
        calls.push_back({"end", {point.x, point.y}, {}, modifiers});
        return BlowupView::handleDragEndAt(point, modifiers);
    }
};

// An FLTK application of ProbeView windows whose dialogs are answered from queues (empty: Cancel);
// forms and background work go to FLTK's own windows, which tests fill in and watch.
class DocumentWindowTest : public ::testing::Test, public Platform::FltkDialogs {
protected:
    std::deque<SaveChoice> saveChoices;
    std::deque<std::string> files;
    std::deque<bool> confirmations;
    std::vector<std::string> errors, questions, messages;
    // Where the last save chooser opened and the name it proposed.
    std::pair<std::string, std::string> lastSaveChooser;
    // The chooser's filter in use (empty: the first); sizes given (empty: as proposed).
    std::deque<std::string> filterExtensions;
    std::deque<PixelSize> sizes;

    SaveChoice askToSaveChanges(const std::string&) override {
        return take(saveChoices).value_or(SaveChoice::cancel);
    }
    std::optional<std::string> chooseFileToSave(const std::string&, const std::string& folder,
                                                const std::string& suggestedName,
                                                const std::vector<std::string>&,
                                                std::string& chosenExtension) override {
        lastSaveChooser = {folder, suggestedName};
        chosenExtension = take(filterExtensions).value_or(chosenExtension);
        return take(files);
    }
    std::optional<PixelSize> askForPixelSize(const std::string&, PixelSize proposed, int) override {
        return take(sizes).value_or(proposed);
    }
    bool confirm(const std::string& message, const std::string&) override {
        questions.push_back(message);
        return take(confirmations).value_or(false);
    }
    void showError(const std::string& message) override { errors.push_back(message); }
    void showMessage(const std::string&, const std::string& text) override {
        messages.push_back(text);
    }
    int workRunning = 0;
    void runInBackground(BackgroundWork work) override {
        ++workRunning;
        work.step = [this, step = work.step](std::string& status) {
            const std::optional<double> done = step(status);
            workRunning -= !done;
            return done;
        };
        FltkDialogs::runInBackground(std::move(work));
    }
    template <typename T> static std::optional<T> take(std::deque<T>& queue) {
        std::optional<T> front;
        if (!queue.empty())
            front = queue.front(), queue.pop_front();
        return front;
    }
    void SetUp() override {
        Platform::WindowLayout layout = MyDocumentLayout::layout();
        layout.makeOpenGLView = [] { return std::make_unique<ProbeView>(); };
        Platform::WindowLayout::registerLayout(layout);
        fltk_ = std::make_unique<Platform::FltkApplication>(this);
        application().setDocumentType(
            {myDocumentType, myDocumentExtension, [] { return std::make_unique<MyDocument>(); }});
        application().setPreferences(&preferences_);
        addVexmiraMenuCommands(application());
    }
    void TearDown() override {
        saveChoices.assign(application().documents().size(), SaveChoice::dontSave);
        application().quit();
        fltk_.reset();
        pump();
    }
    Platform::Application& application() { return fltk_->application(); }
    MyDocument* newDocument() { return shown(application().newDocument()); }
    // The document with its window mapped (the X server does it asynchronously) and drawn until
    // no redraw is pending.
    static MyDocument* shown(Platform::Document* document) {
        if (!document)
            return nullptr;
        auto* shown = static_cast<MyDocument*>(document);
        Platform::OpenGLView& view = viewOf(shown);
        waitUntil([&] { return view.isPrepared() && !view.needsDisplay(); });
        EXPECT_TRUE(view.isPrepared());
        windowOf(shown).glView()->redraw();
        pump();
        return shown;
    }
    static void pump() {
        Fl::flush();
        Fl::check();
        Fl::flush();
    }
    static Platform::FltkWindow& windowOf(MyDocument* document) {
        return static_cast<Platform::FltkWindow&>(*document->windowControllers().front()->window());
    }
    static ProbeView& viewOf(MyDocument* document) {
        return static_cast<ProbeView&>(*windowOf(document).openGLView());
    }
    static void moveSlider(MyDocument* document, const std::string& name, double value) {
        Fl_Valuator* widget = windowOf(document).sliderWidget(name);
        widget->value(value);
        widget->do_callback();
    }
    // Menu items by English title ("Save"), after validation; choosing needs an enabled item.
    static const Fl_Menu_Item* menuItem(MyDocument* document, const std::string& englishTitle) {
        windowOf(document).menuBar()->validate();
        return windowOf(document).menuBar()->itemForCommand(englishTitle);
    }
    static void chooseMenuItem(MyDocument* document, const std::string& englishTitle) {
        const Fl_Menu_Item* item = menuItem(document, englishTitle);
        ASSERT_TRUE(item->active()) << englishTitle;
        item->do_callback(windowOf(document).menuBar());
    }
    // A mouse event as FLTK delivers it, in window coordinates (y downward) with FLTK's modifiers.
    static void mouse(Fl_Widget* widget, int event, int x, int y, int state = 0) {
        Fl::e_x = x;
        Fl::e_y = y;
        Fl::e_state = state | (event == FL_PUSH || event == FL_DRAG ? FL_BUTTON1 : 0);
        Fl::e_keysym = FL_Button + FL_LEFT_MOUSE;
        widget->handle(event);
    }
    static void drag(Fl_Widget* widget, int x, int y, int dx, int dy, int state = 0) {
        mouse(widget, FL_PUSH, x, y, state);
        mouse(widget, FL_DRAG, x + dx, y + dy, state);
        mouse(widget, FL_RELEASE, x + dx, y + dy, state);
    }
    // The wheel turned by `lines` over the middle of a widget, positive toward the user.
    static void wheel(Fl_Widget* widget, int lines) {
        Fl::e_dx = 0;
        Fl::e_dy = lines;
        mouse(widget, FL_MOUSEWHEEL, widget->w() / 2, widget->h() / 2);
    }
    // A key as FLTK delivers it: to the focus, then as a shortcut.
    static void pressKey(MyDocument* document, int key, const char* text = "") {
        Fl::e_keysym = key;
        Fl::e_state = 0;
        Fl::e_text = const_cast<char*>(text);
        Fl::e_length = static_cast<int>(std::strlen(text));
        Fl::handle(FL_KEYBOARD, windowOf(document).flWindow());
    }
    // What the view's GL window shows, RGBA (opaque), the top row first.
    static std::vector<std::uint8_t> readShownPixels(MyDocument* document) {
        Platform::FltkGLView* view = windowOf(document).glView();
        view->make_current();
        glFinish();
        // Mesa under Xvfb reads a double-buffered GL_FRONT as zeros; X holds what the user sees.
        view->Fl_Window::make_current();
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(view->w()) * view->h() * 4);
        fl_read_image(pixels.data(), 0, 0, view->w(), view->h(), 255);
        return pixels;
    }
    // Runs the event loop until `done`; the bound only stops a broken display.
    static void waitUntil(const std::function<bool()>& done, int rounds = 200) {
        for (int round = 0; round < rounds && !done(); ++round) {
            Fl::wait(0.02);
            Fl::flush();
        }
    }
    // A command whose file chooser is answered with `path`, and the work it started.
    void chooseWithFile(MyDocument* document, const std::string& englishTitle,
                        const std::string& path) {
        files = {path};
        chooseMenuItem(document, englishTitle);
        waitUntil([this] { return workRunning == 0; }, 3000);
    }
    TemporaryFolder scratch, configuration;
    // As the program's, in a folder not made yet.
    Platform::FltkPreferences preferences_{configuration.file("new/vexmira"), "vexmira"};
    std::unique_ptr<Platform::FltkApplication> fltk_;
};

// One step for each move, drag or typed value; text a box cannot take is put back. Keys step by
// a line (1, or a hundredth of the range) or a page (a tenth).
TEST_F(DocumentWindowTest, SlidersAndNumberBoxesChangeOnlyTheirDocumentAndAreUndoneStepByStep) {
    MyDocument* other = newDocument();
    MyDocument* document = newDocument();
    Platform::FltkWindow& window = windowOf(document);
    Blowup& model = document->model();
    // Out of step with its model on purpose: news reaching the other window would reset it.
    windowOf(other).sliderWidget("meridians")->value(7);
    ASSERT_FALSE(viewOf(other).needsDisplay());
    moveSlider(document, "meridians", 40.0);
    moveSlider(document, "zoom", 20.0);
    EXPECT_EQ(viewOf(document).camera()->distance(), 20.0f);
    EXPECT_EQ(windowOf(other).sliderWidget("meridians")->value(), 7.0) << "another's news";
    EXPECT_FALSE(viewOf(other).needsDisplay());

    // Typed over the box's text, then Enter or Tab, which leaves the box.
    auto type = [&](const std::string& name, const char* text, int key = FL_Enter) {
        Fl_Input* box = window.numberBox(name);
        box->take_focus();
        box->replace(0, box->size(), text);
        pressKey(document, key);
        return std::string(box->value());
    };
    EXPECT_EQ(type("zoom", " 12,5 ", FL_Tab), "12.500");
    for (const char* refused : {"abc", "41", "-1", "12.5x", ""})
        EXPECT_EQ(type("zoom", refused), "12.500") << refused;
    // A whole-number slider takes whole numbers; its value again adds no undo step.
    EXPECT_EQ(type("meridians", "40.5"), "40");
    window.numberBox("resolution")->take_focus();
    window.numberBox("resolution")->replace(0, 2, "50");
    drag(window.glView(), 300, 300, 10, 0); // leaving the box for the picture takes the value
    EXPECT_EQ(model.resolution(), 50);
    for (auto [distance, meridians] : {std::pair(12.5f, 40), {20.0f, 40}, {8.0f, 40}, {8.0f, 72}}) {
        chooseMenuItem(document, "Undo");
        EXPECT_EQ(std::pair(model.distance(), model.meridians()), std::pair(distance, meridians));
    }
    // The model follows every step of a slider's drag, yet the drag is undone as one step.
    Fl_Valuator* slider = window.sliderWidget("blowup");
    const int x = slider->x() + 60, y = slider->y() + slider->h() / 2;
    mouse(slider, FL_PUSH, x, y);
    for (int step = 1; step <= 4; ++step) {
        const float before = model.blowup();
        mouse(slider, FL_DRAG, x + 25 * step, y);
        EXPECT_GT(model.blowup(), before) << step;
    }
    mouse(slider, FL_RELEASE, x + 100, y);
    chooseMenuItem(document, "Undo");
    EXPECT_EQ(model.blowup(), 0.0f);
    EXPECT_FALSE(document->isDocumentEdited());

    Fl_Valuator* meridians = window.sliderWidget("meridians");
    const int page =
        static_cast<int>(std::round((meridians->maximum() - meridians->minimum()) / 10));
    const float line = static_cast<float>((slider->maximum() - slider->minimum()) / 100);
    for (auto [widget, key, expected] : {std::tuple(meridians, FL_Right, std::pair(73, 0.0f)),
                                         {meridians, FL_Page_Up, {73 + page, 0.0f}},
                                         {slider, FL_Up, {73 + page, line}},
                                         {slider, FL_Page_Up, {73 + page, line * 11}}}) {
        widget->take_focus();
        pressKey(document, key);
        EXPECT_THAT(std::pair(model.meridians(), model.blowup()),
                    Pair(expected.first, FloatEq(expected.second)))
            << key;
    }
    EXPECT_EQ(window.numberBox("meridians")->value(), std::to_string(model.meridians()));

    moveSlider(other, "meridians", 12.0);
    saveChoices = {SaveChoice::save}; // the close box asks; no file chosen keeps the window
    window.flWindow()->do_callback();
    EXPECT_EQ(lastSaveChooser, std::pair(std::filesystem::current_path().string(),
                                         std::string("Untitled 2.vexmira")));
    saveChoices = {SaveChoice::dontSave, SaveChoice::cancel}; // newest first
    EXPECT_FALSE(application().quit());
    EXPECT_THAT(application().documents(), ElementsAre(Pointer(other)));
    EXPECT_EQ(application().newDocument()->displayName(), "Untitled 2") << "the lowest free one";
}

TEST_F(DocumentWindowTest, StoredSettingsReachTheCameraAndFilesAreSavedRevertedOrRefused) {
    const std::string path = scratch.file("stored.vexmira");
    TemporaryFolder::write(path, "{ Class = MyDocument; Version = 1; blowupValue = 0.5; "
                                 "distanceValue = 12; antialiasingValue = 4; resolutionValue = 34; "
                                 "meridiansValue = 30; }");
    EXPECT_TRUE(application().openFiles({path}));
    MyDocument* document = shown(application().openDocument(scratch.file("./stored.vexmira")));
    ASSERT_EQ(document, application().documents()[0].get()) << "an open file is brought forward";
    RVCamera* camera = viewOf(document).camera();
    EXPECT_EQ(camera->smoothingPasses(), 4);
    EXPECT_EQ(windowOf(document).sliderWidget("meridians")->value(), 30.0);
    auto saveAndRevert = [document] {
        return std::pair<bool, bool>(menuItem(document, "Save")->active(),
                                     menuItem(document, "Revert To Saved")->active());
    };
    EXPECT_EQ(saveAndRevert(), std::pair(false, false));
    moveSlider(document, "antialiasing", 1.0);
    EXPECT_EQ(saveAndRevert(), std::pair(true, true));
    pump();
    EXPECT_EQ(windowOf(document).title(), "*stored.vexmira");

    // A file in place of the folder stops even root from saving there.
    TemporaryFolder::write(scratch.file("plain-file"), "x");
    chooseWithFile(document, "Save As...", scratch.file("plain-file") + "/inside.vexmira");
    EXPECT_THAT(errors, ElementsAre(HasSubstr("inside.vexmira")));
    EXPECT_EQ(std::pair(document->fileName(), document->isDocumentEdited()), std::pair(path, true));

    chooseMenuItem(document, "Revert To Saved"); // asked first; Cancel keeps the change
    EXPECT_TRUE(document->isDocumentEdited());
    confirmations = {true};
    chooseMenuItem(document, "Revert To Saved");
    EXPECT_EQ(camera->smoothingPasses(), 4);
    moveSlider(document, "immersion", 1.0);
    // "stored" typed over stored.vexmira: the question is about the file really written.
    const std::string stored = TemporaryFolder::read(path);
    for (bool replace : {false, true}) {
        confirmations = {replace};
        chooseWithFile(document, "Save As...", scratch.file("stored"));
        EXPECT_EQ(TemporaryFolder::read(path) == stored, !replace);
        EXPECT_EQ(document->isDocumentEdited(), !replace);
    }
    // Two questions about reverting, then one for each save over the file.
    EXPECT_THAT(questions, AllOf(SizeIs(4), Each(HasSubstr("“stored.vexmira”"))));
    EXPECT_EQ(lastSaveChooser, std::pair(std::filesystem::path(path).parent_path().string(),
                                         std::string("stored.vexmira")));
    moveSlider(document, "immersion", 0.5);
    chooseWithFile(document, "Save As...", scratch.file("picture"));
    EXPECT_EQ(questions.size(), 4u) << "no question about a new name";
    EXPECT_EQ(document->fileName(), scratch.file("picture.vexmira"));
    moveSlider(document, "blowup", 0.4);
    chooseMenuItem(document, "Save");
    EXPECT_EQ(saveAndRevert(), std::pair(false, false));
}

// The wheel zooms through the document within the Zoom slider's ends, a gesture one undo step;
// the number keys give the standard views, F11 fills the screen and back.
TEST_F(DocumentWindowTest, GesturesWheelAndViewKeysMoveTheCameraAndHomeBringsBackTheStart) {
    MyDocument* document = newDocument();
    const std::vector<std::uint8_t> start = readShownPixels(document);
    ProbeView& view = viewOf(document);
    Fl_Widget* glView = windowOf(document).glView();
    mouse(glView, FL_PUSH, 100, 100, FL_ALT);
    mouse(glView, FL_RELEASE, 100, 100);
    drag(glView, 50, 60, 2, 0, FL_SHIFT | FL_META);
    const float y = glView->h() - 60.5f; // view coordinates: pixel centres, y upward
    const GLuint held = Platform::ShiftKeyMask | Platform::CommandKeyMask;
    EXPECT_THAT(view.calls, ElementsAre(FieldsAre("click", _, _, Platform::AlternateKeyMask),
                                        FieldsAre("drag", Pair(52.5f, y), Pair(50.5f, y), held),
                                        FieldsAre("end", Pair(52.5f, y), _, held)));
    // Control-drags move the target; other drags turn the camera.
    RVCamera* camera = view.camera();
    GLfloat target[3];
    const std::pair turn{camera->elevation(), camera->azimuth()};
    drag(glView, 300, 300, 0, -30, FL_CTRL); // 30 pixels upward: from 1 to -2
    camera->getTarget(target);
    EXPECT_THAT(target, ElementsAre(0.0f, 0.0f, FloatNear(-2.0f, 1e-6f)));
    EXPECT_EQ(std::pair(camera->elevation(), camera->azimuth()), turn);

    Fl_Valuator* zoom = windowOf(document).sliderWidget("zoom");
    const float startDistance = document->model().distance();
    wheel(glView, -1); // away from the user: nearer
    wheel(glView, -1);
    const float near = document->model().distance();
    EXPECT_LT(near, startDistance);
    EXPECT_FLOAT_EQ(static_cast<float>(zoom->value()), near);
    std::this_thread::sleep_for(std::chrono::milliseconds(600)); // the pause ends the gesture
    for (int turn = 0; turn < 60; ++turn)
        wheel(glView, 1);
    EXPECT_EQ(document->model().distance(), static_cast<float>(zoom->maximum()));
    for (float expected : {near, startDistance}) { // each gesture one step
        chooseMenuItem(document, "Undo");
        EXPECT_EQ(document->model().distance(), expected);
    }
    EXPECT_FALSE(document->isDocumentEdited());

    // The target went through the surface.
    pump();
    ASSERT_NE(readShownPixels(document), start);
    windowOf(document).sliderWidget("zoom")->take_focus();
    pressKey(document, FL_Home); // not taken by the slider: the view goes back
    pump();
    EXPECT_TRUE(readShownPixels(document) == start) << "not the starting picture";
    auto eyeDirection = [camera] {
        GLfloat eye[3], target[3];
        camera->getPosition(eye);
        camera->getTarget(target);
        const float d = camera->distance();
        return std::vector{(eye[0] - target[0]) / d, (eye[1] - target[1]) / d,
                           (eye[2] - target[2]) / d};
    };
    // Top: straight above; side: level on the +x axis; front: looking along +y; oblique: above,
    // between front and side. The target stays where it was moved (the status line shows it).
    drag(glView, 300, 300, 0, 10, FL_CTRL);
    const auto exactly = [](float value) { return Matcher<float>(FloatNear(value, 1e-6f)); };
    for (const auto& [key, direction] : std::vector<std::pair<char, std::vector<Matcher<float>>>>{
             {'2', {exactly(1), exactly(0), exactly(0)}},
             {'3', {exactly(0), exactly(-1), exactly(0)}},
             {'4', {Gt(0.3f), Lt(-0.3f), Gt(0.3f)}},
             {'1', {exactly(0), exactly(0), exactly(1)}}}) {
        pressKey(document, key, std::string(1, key).c_str());
        EXPECT_THAT(eyeDirection(), ElementsAreArray(direction)) << key;
    }

    Platform::FltkWindow& window = windowOf(document);
    for (bool full : {true, false}) {
        pressKey(document, FL_F + 11);
        pump();
        EXPECT_EQ(menuItem(document, "Full Screen")->value() != 0, full);
        EXPECT_EQ(window.flWindow()->w(), full ? Fl::w() : MyDocumentLayout::layout().width);
    }

    // View > Show Camera: the camera's values and the picture's size under the picture.
    const int fullHeight = glView->h();
    chooseMenuItem(document, "Show Camera");
    // The resized picture is drawn once the X server has resized its window.
    const std::string size = std::to_string(glView->w()) + " × " + std::to_string(glView->h());
    waitUntil([&] { return window.statusLine().ends_with(size); }, 100);
    EXPECT_LT(glView->h(), fullHeight);
    EXPECT_THAT(window.statusLine(),
                AllOf(HasSubstr("Target height 2"), HasSubstr("Picture " + size)));
    drag(glView, 300, 300, 0, -60); // 30 degrees down from straight above
    pump();
    EXPECT_THAT(window.statusLine(), HasSubstr("Elevation 30°"));
    chooseMenuItem(document, "Show Camera");
    pump();
    EXPECT_EQ(std::pair(window.statusLine(), glView->h()), std::pair(std::string(), fullHeight));
}

// Meridians are saturated red, green or blue; the circle is white, light grey when smoothed.
struct PixelCensus {
    int white = 0, light = 0, coloured[3] = {0, 0, 0};
};

static PixelCensus census(const std::vector<std::uint8_t>& rgba) {
    PixelCensus counts;
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) {
        const auto [low, high] = std::minmax({rgba[i], rgba[i + 1], rgba[i + 2]});
        counts.light += low > 110 && high - low < 40;
        counts.white += low > 230;
        for (std::size_t c = 0; c < 3; ++c)
            counts.coloured[c] +=
                rgba[i + c] > 200 && rgba[i + (c + 1) % 3] < 90 && rgba[i + (c + 2) % 3] < 90;
    }
    return counts;
}

// The window shows coloured meridians and, blown up, the white circle. An animation played on an
// injected clock shows other pictures without editing the document; the export is the picture.
TEST_F(DocumentWindowTest, TheWindowShowsAnimatesAndExportsColouredMeridiansAndTheCircle) {
    MyDocument* document = newDocument();
    EXPECT_THAT(census(readShownPixels(document)).coloured, Each(Gt(50)));
    auto& controller = static_cast<MyWindowController&>(*document->windowControllers().front());
    ProbeView& view = viewOf(document);
    std::int64_t now = 5000000000; // microseconds
    controller.animation().setClock([&now] {
        return RVInterpolator::WallTime{now / 1000000, now % 1000000};
    });
    pressKey(document, '2', "2"); // from the side the circle stands above the sphere
    pump();
    const std::vector<std::uint8_t> documentPicture = readShownPixels(document);
    EXPECT_LT(census(documentPicture).white, 5) << "no circle without a blow-up";

    chooseMenuItem(document, "Animate Blow-up");
    EXPECT_TRUE(view.isInteracting()) << "slow frames are previewed while it plays";
    now += PictureAnimation::blowupDuration / 4; // the blow-up at half its largest
    pump();
    EXPECT_FLOAT_EQ(controller.animation().frameModel().blowup(),
                    MyDocumentLayout::maximumBlowup / 2);
    EXPECT_GT(census(readShownPixels(document)).white, 100);
    const int drawn = view.draws; // the animation asks for its next frames itself
    waitUntil([&] { return view.draws != drawn; }, 100);
    EXPECT_GT(view.draws, drawn);
    EXPECT_EQ(document->model().blowup(), 0.0f);
    chooseMenuItem(document, "Animate Blow-up"); // again: stops
    EXPECT_FALSE(view.isInteracting());
    pump();
    EXPECT_EQ(readShownPixels(document), documentPicture);

    // The turntable turns the camera by the clock's time; keys stop it where it started.
    const float azimuth = view.camera()->azimuth();
    for (int key : {int(' '), int(FL_Escape)}) {
        chooseMenuItem(document, "Animate Immersion");
        chooseMenuItem(document, "Turntable"); // takes the place of the other
        EXPECT_FALSE(menuItem(document, "Animate Immersion")->value());
        now += PictureAnimation::turntableDuration / 8;
        pump();
        EXPECT_FLOAT_EQ(view.camera()->azimuth(), azimuth + 45.0f);
        Fl::e_keysym = key;
        EXPECT_EQ(windowOf(document).glView()->handle(FL_SHORTCUT), 1) << key;
        pump();
        EXPECT_EQ(readShownPixels(document), documentPicture);
    }
    EXPECT_EQ(windowOf(document).glView()->handle(FL_SHORTCUT), 0) << "nothing to stop";

    chooseMenuItem(document, "Export Image..."); // cancelled: quietly nothing
    moveSlider(document, "blowup", 1.0);
    pump();
    const std::vector<std::uint8_t> shown = readShownPixels(document);
    chooseWithFile(document, "Export Image...", scratch.file("window.png"));
    const auto image = Platform::readPngFile(scratch.file("window.png"));
    ASSERT_TRUE(image);
    EXPECT_TRUE(image->rgba == shown) << "not the window's picture at its proposed size";
    // The copied command runs in a shell and draws into the document's name.
    chooseMenuItem(document, "Copy Render Command");
    Fl_Input receiver(0, 0, 1, 1); // what is on the clipboard, pasted as FLTK pastes it
    Fl::paste(receiver, 1);
    const std::string command = "cd '" + scratch.file("") + "' && " + receiver.value();
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_TRUE(std::filesystem::exists(scratch.file("Untitled.png"))) << command;
    // Any size, in the format of the typed extension or else of the chooser's filter.
    sizes = {{320, 240}};
    chooseWithFile(document, "Export Image...", scratch.file("small.png"));
    const auto small =
        Platform::readPngFile(scratch.file("small.png")).value_or(Platform::PngImage{});
    EXPECT_EQ(std::pair(small.width, small.height), std::pair(320, 240));
    filterExtensions = {".pdf"};
    chooseWithFile(document, "Export Image...", scratch.file("figure"));
    EXPECT_EQ(TemporaryFolder::read(scratch.file("figure.pdf")).substr(0, 5), "%PDF-");
    sizes = {{9000, 100}}; // beyond what the renderer draws: its reason is shown
    chooseWithFile(document, "Export Image...", scratch.file("huge.png"));
    EXPECT_THAT(errors, ElementsAre(AllOf(HasSubstr("huge.png"), HasSubstr("--size"))));
    EXPECT_FALSE(std::filesystem::exists(scratch.file("huge.png")));
    // Passes are averaged in the back buffer, so only the finished picture is swapped in.
    EXPECT_EQ(view.camera()->smoothedBuffer(), static_cast<GLenum>(GL_BACK));
    moveSlider(document, "antialiasing", 4.0);
    pump();
    const PixelCensus smoothed = census(readShownPixels(document));
    EXPECT_GT(smoothed.light, 100);
    EXPECT_GT(smoothed.coloured[0] + smoothed.coloured[1] + smoothed.coloured[2], 50);
}

template <typename Widget> static std::vector<Widget*> childrenOf(Fl_Window* window) {
    std::vector<Widget*> found;
    for (int i = 0; window && i < window->children(); ++i)
        if (auto* widget = dynamic_cast<Widget*>(window->child(i)))
            found.push_back(widget);
    return found;
}

static Fl_Window* windowTitled(const std::string& title) {
    for (Fl_Window* window = Fl::first_window(); window; window = Fl::next_window(window))
        if (window->label() && window->label() == title)
            return window;
    return nullptr;
}

// A message box of FLTK's, read and closed as soon as it shows: its title, then its buttons.
static void readAndClose(void* seen) {
    Fl_Window* box = Fl::modal();
    if (!box)
        return Fl::repeat_timeout(0.05, readAndClose, seen);
    auto& texts = *static_cast<std::vector<std::string>*>(seen);
    texts.emplace_back(box->label() ? box->label() : "");
    for (Fl_Button* button : childrenOf<Fl_Button>(box))
        if (button->visible())
            texts.emplace_back(button->label());
    box->hide();
}

// Windows built while the messages are German (gettext ignores LANGUAGE in the "C" locale).
TEST_F(DocumentWindowTest, GermanMenusUndoNamesQuestionsAndMessageBoxes) {
    std::setlocale(LC_ALL, "C.UTF-8");
    setenv("LANGUAGE", "de", 1);
    Platform::reloadLocalization();
    const auto german = VexmiraTest::readCatalogue(VEXMIRA_TEST_SOURCE_DIR "/po/de.po");
    for (const auto& item : application().menuCommands())
        for (const std::string& text : {item.menuTitle, item.localizeTitle ? item.title : ""})
            EXPECT_TRUE(text.empty() || german.contains(text)) << text;
    for (const auto& slider : MyDocumentLayout::layout().sliders)
        EXPECT_TRUE(german.contains(slider.label)) << slider.label;
    MyDocument* document = newDocument();
    EXPECT_EQ(document->displayName(), "Ohne Titel");
    EXPECT_STREQ(windowOf(document).menuBar()->menu()[0].label(), "Datei");
    EXPECT_STREQ(menuItem(document, "Reset View")->label(), "Ansicht zurücksetzen");
    moveSlider(document, "meridians", 40.0);
    EXPECT_STREQ(menuItem(document, "Undo")->label(), "„Meridiane einstellen“ widerrufen");
    TemporaryFolder::write(scratch.file("bad.vexmira"), "{ a = b }");
    EXPECT_EQ(application().openDocument(scratch.file("bad.vexmira")), nullptr);
    EXPECT_EQ(application().documents().size(), 1u);
    EXPECT_THAT(errors,
                ElementsAre("Das Dokument „bad.vexmira“ konnte nicht geöffnet werden.\nZeile 1, "
                            "Spalte 9: erwartet wurde ';' nach dem Wert von „a“, gefunden wurde "
                            "'}'."));

    setTitle("Vexmira");
    std::vector<std::string> question;
    Fl::add_timeout(0.05, readAndClose, &question);
    EXPECT_FALSE(FltkDialogs::confirm("?", Platform::localized("Replace")))
        << "closing is no answer";
    Fl::remove_timeout(readAndClose); // a box that never showed
    EXPECT_THAT(question, UnorderedElementsAre("Vexmira", "Abbrechen", "Ersetzen"));
    chooseMenuItem(document, "Controls");
    EXPECT_THAT(messages, ElementsAre(HasSubstr("Mausrad")));
    const Platform::SliderLayout zoom = MyDocumentLayout::layout().sliders.back();
    EXPECT_STRNE(windowOf(document).sliderWidget(zoom.name)->tooltip(), zoom.tooltip.c_str());
    unsetenv("LANGUAGE");
    std::setlocale(LC_ALL, "C");
    Platform::reloadLocalization();
    Platform::FltkDialogs::localizeToolkitTexts();
}

// About claims no licence; Smooth While Moving reaches every window, open or new, and the next
// run. Preferences: their folder made when missing; what cannot be written holds for the run.
TEST_F(DocumentWindowTest, HelpSmoothWhileMovingAndTheWindowMenuAndWhatPreferencesKeep) {
    MyDocument* document = newDocument();
    pressKey(document, FL_F + 1);
    chooseMenuItem(document, "About Vexmira");
    ASSERT_EQ(messages.size(), 2u); // Controls, About
    for (const auto& command : application().menuCommands())
        if (command.menuTitle == "View" && !command.shortcut.empty()) {
            EXPECT_THAT(messages[0], HasSubstr(command.shortcut)) << command.title;
        }
    EXPECT_THAT(messages[1], StartsWith("Vexmira " VEXMIRA_PROJECT_VERSION "\n"));
    for (const char* library : {"FLTK 1.", "OpenGL ", "Mesa", "GLU 1.", "libtiff 4.", "libpng 1.",
                                "gettext (GNU C Library 2."})
        EXPECT_THAT(messages[1], HasSubstr(library));
    for (const char* claim : {"icen", "License", "GPL", "MIT"})
        EXPECT_THAT(messages[1], Not(HasSubstr(claim)));

    // Items added while a window is open: after the item named, or at the end of their menu.
    application().addMenuCommand({"View", "Mark", Platform::Command::custom, "Ctrl++"});
    application().addMenuCommand({"File", "Export Other..."}, "Export Image...");
    const Fl_Menu_Item* mark = menuItem(document, "Mark");
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(mark->shortcut(), FL_COMMAND | '+');
    EXPECT_EQ(mark[1].label(), nullptr) << "the end of the View menu";
    EXPECT_EQ(menuItem(document, "Export Image...") + 1, menuItem(document, "Export Other..."));

    const auto remembered = [this] {
        return Platform::FltkPreferences(configuration.file("new/vexmira"), "vexmira")
            .boolValue(SmoothWhileMoving::preferenceKey, false);
    };
    chooseMenuItem(document, "Smooth While Moving");
    EXPECT_TRUE(menuItem(document, "Smooth While Moving")->value());
    EXPECT_TRUE(viewOf(document).fullFramesWhileMoving());
    EXPECT_TRUE(remembered());
    MyDocument* second = newDocument();
    EXPECT_TRUE(viewOf(second).fullFramesWhileMoving());
    chooseMenuItem(second, "Smooth While Moving");
    EXPECT_FALSE(viewOf(document).fullFramesWhileMoving());
    EXPECT_FALSE(remembered());
    // A name, not a message to translate or a mnemonic.
    chooseWithFile(second, "Save As...", scratch.file("Save & Open"));
    const Fl_Menu_Item* secondItem = menuItem(document, "Save & Open.vexmira");
    ASSERT_NE(secondItem, nullptr);
    EXPECT_STREQ(secondItem->label(), "Save && Open.vexmira");
    EXPECT_TRUE(menuItem(second, "Save & Open.vexmira")->value()) << "its own window is checked";
    windowOf(second).flWindow()->hide();
    chooseMenuItem(document, "Save & Open.vexmira");
    EXPECT_TRUE(windowOf(second).flWindow()->shown());
    chooseMenuItem(second, "Close");
    EXPECT_EQ(menuItem(document, "Save & Open.vexmira"), nullptr);
    EXPECT_NE(menuItem(document, "Untitled"), nullptr);

    TemporaryFolder::write(configuration.file("edited.prefs"), "[.]\n\nchosen:yes\n");
    Platform::FltkPreferences edited(configuration.file(""), "edited");
    for (bool fallback : {false, true})
        EXPECT_EQ(edited.boolValue("chosen", fallback), fallback) << fallback;
    Platform::FltkPreferences unwritable(configuration.file("edited.prefs/vexmira"), "vexmira");
    EXPECT_FALSE(unwritable.setBoolValue("chosen", true));
    EXPECT_TRUE(unwritable.boolValue("chosen", false)) << "the choice holds for the run";

    // The user's configuration folder: a relative XDG_CONFIG_HOME is no valid setting.
    const char* oldConfigHome = std::getenv("XDG_CONFIG_HOME");
    const std::string restore = oldConfigHome ? oldConfigHome : "";
    setenv("XDG_CONFIG_HOME", "relative", 1);
    const char* home = std::getenv("HOME");
    EXPECT_EQ(Platform::Preferences::userFolder("vexmira"),
              home ? std::string(home) + "/.config/vexmira" : "");
    setenv("XDG_CONFIG_HOME", "/elsewhere", 1);
    EXPECT_EQ(Platform::Preferences::userFolder("vexmira"), "/elsewhere/vexmira");
    oldConfigHome ? setenv("XDG_CONFIG_HOME", restore.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
}

// The export form filled in once it shows: the azimuth from 0 to 90 in `frames`, 64 × 48 pixels.
static void fillInExportForm(void* frames) {
    Fl_Window* form = Fl::modal();
    if (!form)
        return Fl::repeat_timeout(0.05, fillInExportForm, frames);
    const auto inputs = childrenOf<Fl_Input>(form); // from, to, frames, rate, width, height
    if (inputs.size() != 6 || childrenOf<Fl_Choice>(form).size() != 1) {
        ADD_FAILURE() << "a form of other fields";
        return form->do_callback(); // Cancel
    }
    childrenOf<Fl_Choice>(form)[0]->value(3);
    for (auto [input, text] :
         {std::pair(1, "90"), {2, static_cast<const char*>(frames)}, {4, "64"}, {5, "48"}})
        inputs[input]->value(text);
    childrenOf<Fl_Button>(form).back()->do_callback(); // OK
}

TEST_F(DocumentWindowTest, ExportAnimationWritesFramesThroughTheRendererAndCancelLeavesNothing) {
    MyDocument* document = newDocument();
    Fl::add_timeout(0.05, fillInExportForm, const_cast<char*>("3"));
    chooseWithFile(document, "Export Animation...", scratch.file("turn.png"));
    std::vector<Platform::PngImage> written;
    for (const char* name : {"turn-0000.png", "turn-0001.png", "turn-0002.png"})
        written.push_back(Platform::readPngFile(scratch.file(name)).value_or(Platform::PngImage{}));
    EXPECT_THAT(written, Each(FieldsAre(64, 48, _)));
    EXPECT_NE(written[0].rgba, written[2].rgba) << "the camera turned";

    Fl::add_timeout(0.05, fillInExportForm, const_cast<char*>("10000"));
    files = {scratch.file("cancelled.webm")};
    chooseMenuItem(document, "Export Animation...");
    Fl_Window* progress = windowTitled("Export Animation");
    ASSERT_NE(progress, nullptr);
    Fl_Progress* bar = childrenOf<Fl_Progress>(progress).at(0);
    waitUntil([&] { return bar->value() > 0.0f; }, 3000);
    EXPECT_GT(bar->value(), 0.0f);
    childrenOf<Fl_Button>(progress).at(0)->do_callback(); // Cancel
    waitUntil([this] { return workRunning == 0; }, 3000);
    Fl::remove_timeout(fillInExportForm); // a form that never showed
    EXPECT_EQ(windowTitled("Export Animation"), nullptr);
    EXPECT_THAT(errors, IsEmpty()) << "a cancelled export is no failure";
    EXPECT_EQ(scratch.entryCount(), 3u);
}
