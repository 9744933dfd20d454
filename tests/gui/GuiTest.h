#pragma once

// GoogleTest comes before X11, whose macros (None) it would meet otherwise.
#include <gtest/gtest.h>

#include "Platform/core/UserDialogs.h"
#include "Platform/fltk/FltkApplication.h"
#include "Platform/fltk/FltkGLView.h"
#include "Platform/fltk/FltkMenuBar.h"
#include "Platform/fltk/FltkWindow.h"
#include "Vexmira/BlowupView.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyDocumentLayout.h"
#include "Vexmira/MyWindowController.h"
#include "support/TemporaryFolder.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Valuator.H>
#include <FL/fl_draw.H>
#include <FL/gl.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace VexmiraGuiTest {

// Answers from queues a test fills (empty: Cancel / no file) and records what was asked.
class ScriptedDialogs : public Platform::UserDialogs {
public:
    std::deque<SaveChoice> saveChoices;
    std::deque<std::string> files;
    std::vector<std::string> questions, errors;

    SaveChoice askToSaveChanges(const std::string& message) override {
        questions.push_back(message);
        return take(saveChoices).value_or(SaveChoice::cancel);
    }
    std::optional<std::string> chooseFileToOpen(const std::string&, const std::string&) override {
        return take(files);
    }
    std::optional<std::string> chooseFileToSave(const std::string&, const std::string&,
                                                const std::string&) override {
        return take(files);
    }
    void showError(const std::string& message) override { errors.push_back(message); }

private:
    template <typename T> static std::optional<T> take(std::deque<T>& queue) {
        if (queue.empty())
            return std::nullopt;
        T front = queue.front();
        queue.pop_front();
        return front;
    }
};

// A BlowupView that records its gesture hooks and counts its draws.
class ProbeView : public BlowupView {
public:
    struct Call {
        std::string hook;
        Point location, oldLocation;
        GLuint modifiers;
    };
    std::vector<Call> calls;
    int draws = 0;

    void drawRect() override {
        ++draws;
        BlowupView::drawRect();
    }
    EasyView& handleClickAt(Point point, GLuint modifiers) override {
        calls.push_back({"click", point, {}, modifiers});
        return BlowupView::handleClickAt(point, modifiers);
    }
    EasyView& handleDragTo(Point location, Point oldLocation, GLuint modifiers) override {
        calls.push_back({"drag", location, oldLocation, modifiers});
        return BlowupView::handleDragTo(location, oldLocation, modifiers);
    }
    EasyView& handleDragEndAt(Point point, GLuint modifiers) override {
        calls.push_back({"end", point, {}, modifiers});
        return BlowupView::handleDragEndAt(point, modifiers);
    }
};

// One FLTK application per test, with scripted dialogs and windows holding ProbeViews.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        Platform::WindowLayout layout = MyDocumentLayout::layout();
        layout.makeOpenGLView = [] { return std::make_unique<ProbeView>(); };
        Platform::WindowLayout::registerLayout(layout);
        fltk_ = std::make_unique<Platform::FltkApplication>(&dialogs);
        application().setDocumentType(
            {myDocumentType, myDocumentExtension, [] { return std::make_unique<MyDocument>(); }});
    }
    void TearDown() override {
        dialogs.saveChoices.assign(application().documents().size(),
                                   Platform::UserDialogs::SaveChoice::dontSave);
        application().quit();
        fltk_.reset();
        pump();
    }

    Platform::Application& application() { return fltk_->application(); }
    // The document with its window shown and drawn; nullptr if it could not be made.
    MyDocument* newDocument() { return shown(application().newDocument()); }
    MyDocument* openDocument(const std::string& path) {
        return shown(application().openDocument(path));
    }

    static Platform::FltkWindow& windowOf(MyDocument* document) {
        return static_cast<Platform::FltkWindow&>(*document->windowControllers().front()->window());
    }
    static ProbeView& viewOf(MyDocument* document) {
        return static_cast<ProbeView&>(*windowOf(document).openGLView());
    }

    // Lets FLTK map and draw the window until its view is prepared and has no redraw pending.
    void showAndDraw(MyDocument* document) {
        Platform::FltkWindow& window = windowOf(document);
        Platform::OpenGLView* view = window.openGLView();
        // The X server maps windows asynchronously; the bound only stops a broken display.
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
    static void pump() {
        Fl::flush();
        Fl::check();
        Fl::flush();
    }

    // Moves a slider widget as the user would, with its callback.
    static void moveSlider(MyDocument* document, const std::string& name, double value) {
        Fl_Valuator* widget = windowOf(document).sliderWidget(name);
        ASSERT_NE(widget, nullptr) << name;
        widget->value(value);
        widget->do_callback();
    }
    static double sliderValue(MyDocument* document, const std::string& name) {
        return windowOf(document).sliderWidget(name)->value();
    }

    // Menu items by English title ("Save"), after validation; choosing needs an enabled item.
    static const Fl_Menu_Item* menuItem(MyDocument* document, const std::string& englishTitle) {
        windowOf(document).menuBar()->validate();
        return windowOf(document).menuBar()->itemForCommand(englishTitle);
    }
    static bool menuItemEnabled(MyDocument* document, const std::string& englishTitle) {
        return menuItem(document, englishTitle)->active() != 0;
    }
    static std::string menuItemLabel(MyDocument* document, const std::string& englishTitle) {
        return menuItem(document, englishTitle)->label();
    }
    static void chooseMenuItem(MyDocument* document, const std::string& englishTitle) {
        const Fl_Menu_Item* item = menuItem(document, englishTitle);
        ASSERT_TRUE(item->active()) << englishTitle;
        item->do_callback(windowOf(document).menuBar());
    }

    // A mouse event (FL_PUSH, FL_DRAG, FL_RELEASE) as FLTK delivers it to a widget, in FLTK's
    // window coordinates (y downward); state holds FLTK's modifier bits.
    static void mouse(Fl_Widget* widget, int event, int x, int y, int state = 0) {
        Fl::e_x = x;
        Fl::e_y = y;
        Fl::e_state = state | (event == FL_RELEASE ? 0 : FL_BUTTON1);
        Fl::e_keysym = FL_Button + FL_LEFT_MOUSE;
        widget->handle(event);
    }
    static void mouse(MyDocument* document, int event, int x, int y, int state = 0) {
        mouse(windowOf(document).glView(), event, x, y, state);
    }
    // Press at (x, y), one drag by (dx, dy) and release there, all with the same state.
    static void drag(MyDocument* document, int x, int y, int dx, int dy, int state = 0) {
        mouse(document, FL_PUSH, x, y, state);
        mouse(document, FL_DRAG, x + dx, y + dy, state);
        mouse(document, FL_RELEASE, x + dx, y + dy, state);
    }

    // What the view's GL window shows, RGB, the top row first.
    static std::vector<std::uint8_t> readShownPixels(MyDocument* document) {
        Platform::FltkGLView* view = windowOf(document).glView();
        view->make_current();
        glFinish();
        // Mesa's software rasteriser under Xvfb reads a double-buffered window's GL_FRONT as zeros;
        // the X server's copy of the window is the front buffer as the user sees it.
        view->Fl_Window::make_current();
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(view->w()) * view->h() * 3);
        fl_read_image(pixels.data(), 0, 0, view->w(), view->h());
        return pixels;
    }

    std::string scratchPath(const std::string& name) { return scratch_.file(name); }

    ScriptedDialogs dialogs;

private:
    MyDocument* shown(Platform::Document* document) {
        if (document)
            showAndDraw(static_cast<MyDocument*>(document));
        return static_cast<MyDocument*>(document);
    }

    VexmiraTest::TemporaryFolder scratch_;
    std::unique_ptr<Platform::FltkApplication> fltk_;
};

} // namespace VexmiraGuiTest
