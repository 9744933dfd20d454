#include "GuiTest.h"

#include "Platform/core/Localization.h"
#include "Platform/fltk/FltkMenuBar.h"
#include "Platform/fltk/FltkWindow.h"
#include "Vexmira/MyDocument.h"

#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Valuator.H>

#include <clocale>
#include <cstdlib>

namespace VexmiraGuiTest {

// The windows of this test are built while the messages are German. gettext
// ignores LANGUAGE in the plain "C" locale, so C.UTF-8 is used.
class GermanMenusTest : public GuiTest {
protected:
    void SetUp() override {
        std::setlocale(LC_ALL, "C.UTF-8");
        setenv("LANGUAGE", "de", 1);
        Platform::reloadLocalization();
        GuiTest::SetUp();
    }
    void TearDown() override {
        GuiTest::TearDown();
        unsetenv("LANGUAGE");
        std::setlocale(LC_ALL, "C");
        Platform::reloadLocalization();
    }
};

TEST_F(GermanMenusTest, MenusSlidersAndUndoNamesAreGermanAndValidationStillWorks) {
    MyDocument* document = newDocument();
    Platform::FltkWindow& window = windowOf(document);
    EXPECT_STREQ(window.menuBar()->menu()[0].label(), "Datei");
    EXPECT_EQ(menuItemLabel(document, "Save"), "Sichern");
    EXPECT_EQ(menuItemLabel(document, "Revert To Saved"), "Zur\xC3\xBC"
                                                          "ck zur gesicherten Version");
    EXPECT_STREQ(window.sliderWidget("meridians")->label(), "Meridiane");
    EXPECT_EQ(window.title(), "Ohne Titel");

    EXPECT_FALSE(menuItemEnabled(document, "Save"));
    EXPECT_FALSE(menuItemEnabled(document, "Undo"));
    moveSlider(document, "meridians", 40.0);
    EXPECT_TRUE(menuItemEnabled(document, "Save"));
    EXPECT_FALSE(menuItemEnabled(document, "Revert To Saved"));
    EXPECT_EQ(menuItemLabel(document, "Undo"), "Widerrufen Meridiane einstellen");
    EXPECT_TRUE(menuItemEnabled(document, "Undo"));

    dialogs.files = {scratchPath("Bild.vexmira")};
    chooseMenuItem(document, "Save As...");
    EXPECT_FALSE(menuItemEnabled(document, "Save"));
    moveSlider(document, "blowup", 0.5);
    EXPECT_TRUE(menuItemEnabled(document, "Revert To Saved"));
    chooseMenuItem(document, "Revert To Saved");
    EXPECT_EQ(document->model().blowup(), 0.0f);
    EXPECT_EQ(document->model().meridians(), 40);

    // The close question is German too.
    moveSlider(document, "zoom", 20.0);
    dialogs.saveChoices = {Platform::UserDialogs::SaveChoice::cancel};
    chooseMenuItem(document, "Close");
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_NE(dialogs.questions[0].find("Bild.vexmira"), std::string::npos);
    EXPECT_NE(dialogs.questions[0].find("sichern"), std::string::npos);
}

} // namespace VexmiraGuiTest
