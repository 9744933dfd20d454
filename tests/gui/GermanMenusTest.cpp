#include "GuiTest.h"

#include "Platform/core/Localization.h"
#include "Platform/fltk/FltkMenuBar.h"

#include <clocale>
#include <cstdlib>

namespace VexmiraGuiTest {

// Windows built while the messages are German (gettext ignores LANGUAGE in the "C" locale).
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
    EXPECT_STREQ(windowOf(document).menuBar()->menu()[0].label(), "Datei");
    EXPECT_EQ(menuItemLabel(document, "Save"), "Sichern");
    EXPECT_EQ(menuItemLabel(document, "Revert To Saved"), "Zur\xC3\xBC"
                                                          "ck zur gesicherten Version");
    EXPECT_STREQ(windowOf(document).sliderWidget("meridians")->label(), "Meridiane");
    EXPECT_EQ(windowOf(document).title(), "Ohne Titel");
    EXPECT_FALSE(menuItemEnabled(document, "Save"));
    EXPECT_FALSE(menuItemEnabled(document, "Undo"));

    moveSlider(document, "meridians", 40.0);
    EXPECT_TRUE(menuItemEnabled(document, "Save"));
    EXPECT_FALSE(menuItemEnabled(document, "Revert To Saved"));
    EXPECT_TRUE(menuItemEnabled(document, "Undo"));
    EXPECT_EQ(menuItemLabel(document, "Undo"), "Widerrufen Meridiane einstellen");

    dialogs.files = {scratchPath("Bild.vexmira")};
    chooseMenuItem(document, "Save As...");
    EXPECT_FALSE(menuItemEnabled(document, "Save"));
    moveSlider(document, "blowup", 0.5);
    EXPECT_TRUE(menuItemEnabled(document, "Revert To Saved"));
    chooseMenuItem(document, "Close"); // the question is German too, and Cancel keeps the window
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_NE(dialogs.questions[0].find("Bild.vexmira"), std::string::npos);
    EXPECT_NE(dialogs.questions[0].find("sichern"), std::string::npos);
    EXPECT_EQ(application().documents().size(), 1u);
}

} // namespace VexmiraGuiTest
