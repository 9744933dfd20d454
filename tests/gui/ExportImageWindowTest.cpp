#include "GuiTest.h"

#include "Platform/core/Localization.h"
#include "Platform/fltk/FltkGLView.h"
#include "Platform/fltk/FltkWindow.h"
#include "Platform/offscreen/PngReader.h"
#include "Vexmira/Blowup.h"
#include "Vexmira/MyDocument.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>

namespace VexmiraGuiTest {

class ExportImageWindowTest : public GuiTest {};

// The exported image is the picture the window shows, pixel for pixel, at
// the view's size, and the window still shows it afterwards.
TEST_F(ExportImageWindowTest, ExportWritesWhatTheWindowShows) {
    MyDocument* document = newDocument();
    document->model().setBlowup(0.7f);
    showAndDraw(document);
    ASSERT_TRUE(menuItemEnabled(document, "Export Image..."));

    const std::string path = scratchPath("window.png");
    dialogs.files.push_back(path);
    chooseMenuItem(document, "Export Image...");
    pump();
    EXPECT_TRUE(dialogs.errors.empty());

    std::string error;
    const auto image = Platform::readPngFile(path, &error);
    ASSERT_TRUE(image) << error;
    Platform::FltkGLView* view = windowOf(document).glView();
    ASSERT_EQ(image->width, view->w());
    ASSERT_EQ(image->height, view->h());

    const std::vector<std::uint8_t> shown = readShownPixels(document);
    std::size_t differing = 0, coloured = 0;
    for (std::size_t pixel = 0; pixel < shown.size() / 3; ++pixel) {
        bool black = true;
        for (std::size_t channel = 0; channel < 3; ++channel) {
            const auto exported = image->rgba[pixel * 4 + channel];
            differing += exported != shown[pixel * 3 + channel];
            black = black && exported == 0;
        }
        coloured += !black;
        ASSERT_EQ(image->rgba[pixel * 4 + 3], 255);
    }
    EXPECT_EQ(differing, 0u);
    EXPECT_GT(coloured, 1000u);
}

// The item and its error message in German (gettext needs a locale other
// than plain "C" to honour LANGUAGE).
class GermanExportImageTest : public GuiTest {
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

TEST_F(GermanExportImageTest, TheItemAndItsFailureSpeakGerman) {
    MyDocument* document = newDocument();
    showAndDraw(document);
    EXPECT_EQ(menuItemLabel(document, "Export Image..."), "Bild exportieren \xE2\x80\xA6");

    const std::string path = scratchPath("kein-ordner/bild.png");
    dialogs.files.push_back(path);
    chooseMenuItem(document, "Export Image...");
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0].rfind("Das Bild \xE2\x80\x9E"
                                      "bild.png\xE2\x80\x9C konnte nicht exportiert werden.",
                                      0),
              0u)
        << dialogs.errors[0];
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace VexmiraGuiTest
