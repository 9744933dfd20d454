#include "GuiTest.h"

#include "Platform/offscreen/PngReader.h"

#include <filesystem>

namespace VexmiraGuiTest {

using ExportImageWindowTest = GuiTest;

// File > Export Image... writes, pixel for pixel, the picture the window shows.
TEST_F(ExportImageWindowTest, ExportWritesWhatTheWindowShows) {
    MyDocument* document = newDocument();
    document->model().setBlowup(0.7f);
    showAndDraw(document);
    dialogs.files.push_back(scratchPath("window")); // the extension is added
    chooseMenuItem(document, "Export Image...");
    pump();
    EXPECT_TRUE(dialogs.errors.empty());

    const auto image = Platform::readPngFile(scratchPath("window.png"));
    ASSERT_TRUE(image);
    const std::vector<std::uint8_t> shown = readShownPixels(document);
    ASSERT_EQ(image->width * image->height * 3u, shown.size());
    std::size_t coloured = 0;
    for (std::size_t pixel = 0; pixel < shown.size() / 3; ++pixel) {
        const auto exported = image->rgba.begin() + pixel * 4;
        const auto expected = shown.begin() + pixel * 3;
        ASSERT_EQ(std::vector<int>(exported, exported + 4),
                  (std::vector<int>{expected[0], expected[1], expected[2], 255}))
            << "pixel " << pixel;
        coloured += expected[0] != 0 || expected[1] != 0 || expected[2] != 0;
    }
    EXPECT_GT(coloured, 1000u);
}

// Cancel writes nothing quietly; an unwritable place writes nothing and says which file failed.
TEST_F(ExportImageWindowTest, CancelOrAnUnwritablePlaceWritesNothing) {
    MyDocument* document = newDocument();
    chooseMenuItem(document, "Export Image...");
    EXPECT_TRUE(dialogs.errors.empty());
    dialogs.files.push_back(scratchPath("missing-folder/picture.png"));
    chooseMenuItem(document, "Export Image...");
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_NE(dialogs.errors[0].find("picture.png"), std::string::npos) << dialogs.errors[0];
    EXPECT_TRUE(std::filesystem::is_empty(scratchPath("")));
}

} // namespace VexmiraGuiTest
