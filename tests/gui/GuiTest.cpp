#include "GuiTest.h"

#include "ProbeView.h"

#include "Platform/core/Document.h"
#include "Platform/core/OpenGLView.h"
#include "Platform/core/Window.h"
#include "Platform/fltk/FltkGLView.h"
#include "Platform/fltk/FltkMenuBar.h"
#include "Platform/fltk/FltkWindow.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyDocumentLayout.h"
#include "Vexmira/MyWindowController.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Valuator.H>
#include <FL/fl_draw.H>
#include <FL/gl.h>

#include <filesystem>
#include <unistd.h>

namespace VexmiraGuiTest {

void GuiTest::SetUp() {
    Platform::WindowLayout layout = MyDocumentLayout::layout();
    layout.makeOpenGLView = [] { return std::make_unique<ProbeView>(); };
    Platform::WindowLayout::registerLayout(layout);
    fltk_ = std::make_unique<Platform::FltkApplication>(&dialogs);
    application().setDocumentType(
        {myDocumentType, myDocumentExtension, [] { return std::make_unique<MyDocument>(); }});
}

void GuiTest::TearDown() {
    // Whatever is still open goes without questions.
    while (!application().documents().empty()) {
        dialogs.saveChoices.assign(1, Platform::UserDialogs::SaveChoice::dontSave);
        application().closeDocument(application().documents().back().get());
    }
    fltk_.reset();
    pump();
    if (!scratch_.empty()) {
        std::error_code ignored;
        std::filesystem::permissions(scratch_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(scratch_, ignored);
    }
}

MyDocument* GuiTest::newDocument() {
    auto* document = dynamic_cast<MyDocument*>(application().newDocument());
    if (document)
        showAndDraw(document);
    return document;
}

MyDocument* GuiTest::openDocument(const std::string& path) {
    auto* document = dynamic_cast<MyDocument*>(application().openDocument(path));
    if (document)
        showAndDraw(document);
    return document;
}

MyWindowController& GuiTest::controllerOf(MyDocument* document) {
    return static_cast<MyWindowController&>(*document->windowControllers().front());
}

Platform::FltkWindow& GuiTest::windowOf(MyDocument* document) {
    return static_cast<Platform::FltkWindow&>(*controllerOf(document).window());
}

BlowupView* GuiTest::viewOf(MyDocument* document) {
    return static_cast<BlowupView*>(windowOf(document).openGLView());
}

void GuiTest::pump() {
    Fl::flush();
    Fl::check();
    Fl::flush();
}

void GuiTest::showAndDraw(MyDocument* document) {
    Platform::FltkWindow& window = windowOf(document);
    Platform::OpenGLView* view = window.openGLView();
    // The X server maps the window asynchronously; the bound only keeps a
    // broken display from hanging the test, the assertion below decides.
    for (int round = 0; round < 200 && (!window.flWindow()->visible() || !view->isPrepared() ||
                                        view->needsDisplay());
         ++round) {
        Fl::wait(0.02);
        Fl::flush();
    }
    ASSERT_TRUE(view->isPrepared());
    window.glView()->redraw();
    pump();
}

void GuiTest::moveSlider(MyDocument* document, const std::string& name, double value) {
    Fl_Valuator* widget = windowOf(document).sliderWidget(name);
    ASSERT_NE(widget, nullptr) << name;
    widget->value(value);
    widget->do_callback();
}

double GuiTest::sliderValue(MyDocument* document, const std::string& name) {
    return windowOf(document).sliderWidget(name)->value();
}

const Fl_Menu_Item* GuiTest::menuItem(MyDocument* document, const std::string& englishTitle) {
    Platform::FltkMenuBar* bar = windowOf(document).menuBar();
    bar->validate();
    return bar->itemForCommand(englishTitle);
}

bool GuiTest::menuItemEnabled(MyDocument* document, const std::string& englishTitle) {
    return menuItem(document, englishTitle)->active() != 0;
}

std::string GuiTest::menuItemLabel(MyDocument* document, const std::string& englishTitle) {
    return menuItem(document, englishTitle)->label();
}

void GuiTest::chooseMenuItem(MyDocument* document, const std::string& englishTitle) {
    const Fl_Menu_Item* item = menuItem(document, englishTitle);
    ASSERT_TRUE(item->active()) << englishTitle;
    item->do_callback(windowOf(document).menuBar());
}

namespace {

void sendMouse(Platform::FltkGLView* view, int event, int x, int y, int state) {
    Fl::e_x = x;
    Fl::e_y = y;
    Fl::e_x_root = view->x_root() + x;
    Fl::e_y_root = view->y_root() + y;
    Fl::e_state = state | (event == FL_RELEASE ? 0 : FL_BUTTON1);
    Fl::e_keysym = FL_Button + FL_LEFT_MOUSE;
    view->handle(event);
}

} // namespace

void GuiTest::press(MyDocument* document, int x, int y, int state) {
    sendMouse(windowOf(document).glView(), FL_PUSH, x, y, state);
}

void GuiTest::dragTo(MyDocument* document, int x, int y, int state) {
    sendMouse(windowOf(document).glView(), FL_DRAG, x, y, state);
}

void GuiTest::release(MyDocument* document, int x, int y, int state) {
    sendMouse(windowOf(document).glView(), FL_RELEASE, x, y, state);
}

std::vector<std::uint8_t> GuiTest::readShownPixels(MyDocument* document) {
    Platform::FltkGLView* view = windowOf(document).glView();
    view->make_current();
    glFinish();
    // Mesa's software rasteriser under Xvfb answers a GL_FRONT read of a
    // double-buffered window with zeros; the X server's copy of the window
    // is the front buffer as the user sees it.
    view->Fl_Window::make_current();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(view->w()) * view->h() * 3);
    fl_read_image(pixels.data(), 0, 0, view->w(), view->h());
    return pixels;
}

std::string GuiTest::scratchPath(const std::string& name) {
    if (scratch_.empty()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vexmira-gui-XXXXXX").string();
        scratch_ = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    return scratch_ + "/" + name;
}

} // namespace VexmiraGuiTest
