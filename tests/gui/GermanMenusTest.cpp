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
    EXPECT_STREQ(windowOf(document).sliderWidget("meridians")->label(), "Meridiane");
    EXPECT_EQ(windowOf(document).title(), "Ohne Titel");
    EXPECT_FALSE(menuItemEnabled(document, "Save"));
    moveSlider(document, "meridians", 40.0);
    EXPECT_TRUE(menuItemEnabled(document, "Save"));
    EXPECT_FALSE(menuItemEnabled(document, "Revert To Saved"));
    EXPECT_EQ(menuItemLabel(document, "Undo"), "Widerrufen Meridiane einstellen");
}

} // namespace VexmiraGuiTest
