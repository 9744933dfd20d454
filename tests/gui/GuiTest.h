#pragma once

#include "ScriptedDialogs.h"

#include "Platform/fltk/FltkApplication.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Fl_Menu_Item;
class MyDocument;
class MyWindowController;
class BlowupView;

namespace Platform {
class FltkWindow;
}

namespace VexmiraGuiTest {

// One FLTK application per test, with scripted dialogs, documents of the
// Vexmira type and windows whose views record their hooks (ProbeView).
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    Platform::Application& application() { return fltk_->application(); }
    MyDocument* newDocument();
    MyDocument* openDocument(const std::string& path);

    static MyWindowController& controllerOf(MyDocument* document);
    static Platform::FltkWindow& windowOf(MyDocument* document);
    static BlowupView* viewOf(MyDocument* document);

    // Lets FLTK map the window and draw it until its view has prepared its
    // OpenGL state and has no redraw pending.
    void showAndDraw(MyDocument* document);
    // Processes pending events and redraws.
    static void pump();

    // Moves a slider widget as the user would, sending its callback.
    static void moveSlider(MyDocument* document, const std::string& name, double value);
    static double sliderValue(MyDocument* document, const std::string& name);

    // The menu item of a command after validation, by English title ("Save").
    static const Fl_Menu_Item* menuItem(MyDocument* document, const std::string& englishTitle);
    static bool menuItemEnabled(MyDocument* document, const std::string& englishTitle);
    static std::string menuItemLabel(MyDocument* document, const std::string& englishTitle);
    // Chooses an enabled item as a click on it would.
    static void chooseMenuItem(MyDocument* document, const std::string& englishTitle);

    // Mouse events as FLTK delivers them to the GL view: x, y in FLTK's
    // window coordinates (origin top left), state the FLTK modifier bits.
    static void press(MyDocument* document, int x, int y, int state = 0);
    static void dragTo(MyDocument* document, int x, int y, int state = 0);
    static void release(MyDocument* document, int x, int y, int state = 0);

    // What the view's GL window shows, as RGB bytes, the top row first.
    static std::vector<std::uint8_t> readShownPixels(MyDocument* document);

    // A scratch folder of this test, removed afterwards.
    std::string scratchPath(const std::string& name);

    ScriptedDialogs dialogs;

private:
    std::unique_ptr<Platform::FltkApplication> fltk_;
    std::string scratch_;
};

} // namespace VexmiraGuiTest
