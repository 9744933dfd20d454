// File > Export Image...: the application asks for a .png file and writes
// what the document's view shows, drawn afresh, read back and encoded.

#include "Platform/core/Application.h"
#include "Platform/core/Document.h"
#include "Platform/core/MenuCommand.h"
#include "Platform/core/OpenGLView.h"
#include "Platform/core/UserDialogs.h"
#include "Platform/core/Window.h"
#include "Platform/core/WindowController.h"
#include "Platform/core/WindowLayout.h"
#include "Platform/offscreen/OffscreenWindow.h"
#include "Platform/offscreen/PngReader.h"
#include "support/TemporaryFolder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int viewWidth = 64;
constexpr int viewHeight = 48;

// Blue, with red in the lower-left quarter; both cleared with alpha 0, which
// the export must not carry over into the image.
class QuarteredView : public Platform::OpenGLView {
public:
    int draws = 0;

    void drawRect() override {
        ++draws;
        glClearColor(0.0f, 0.0f, 1.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, frameWidth() / 2, frameHeight() / 2);
        glClearColor(1.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        glFinish();
    }
};

class PictureDocument : public Platform::Document {
public:
    void makeWindowControllers() override {
        addWindowController(std::make_unique<Platform::WindowController>("ExportPicture"));
    }
};

class ChosenFiles : public Platform::UserDialogs {
public:
    std::optional<std::string> answer;
    std::string askedTitle, suggestedName, extension;
    std::vector<std::string> errors;

    SaveChoice askToSaveChanges(const std::string&) override { return SaveChoice::cancel; }
    std::optional<std::string> chooseFileToOpen(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseFileToSave(const std::string& title,
                                                const std::string& suggested,
                                                const std::string& filter) override {
        askedTitle = title;
        suggestedName = suggested;
        extension = filter;
        return answer;
    }
    void showError(const std::string& message) override { errors.push_back(message); }
};

class ExportImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        Platform::WindowLayout layout;
        layout.name = "ExportPicture";
        layout.makeOpenGLView = [] { return std::make_unique<QuarteredView>(); };
        Platform::WindowLayout::registerLayout(layout);
        Platform::OffscreenWindow::installBuilder(viewWidth, viewHeight);
        application.setDocumentType(
            {"Picture", ".picture", [] { return std::make_unique<PictureDocument>(); }});
        document = application.newDocument();
        ASSERT_NE(document, nullptr);
        view = dynamic_cast<QuarteredView*>(
            document->windowControllers().front()->window()->openGLView());
        ASSERT_NE(view, nullptr);
    }
    void TearDown() override { Platform::Window::setBuilder(nullptr); }

    ChosenFiles dialogs;
    Platform::Application application{dialogs};
    Platform::Document* document = nullptr;
    QuarteredView* view = nullptr;
    VexmiraTest::TemporaryFolder folder;
};

std::uint32_t rgbaAt(const Platform::PngImage& image, int x, int yFromTop) {
    const auto* p = &image.rgba[(static_cast<std::size_t>(yFromTop) * image.width + x) * 4];
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

} // namespace

TEST_F(ExportImageTest, WritesAFreshlyDrawnOpaquePictureWithTheViewsSize) {
    dialogs.answer = folder.file("picture"); // the extension is added
    const int drawsBefore = view->draws;
    ASSERT_TRUE(application.perform(Platform::Command::exportImage, document));
    EXPECT_EQ(view->draws, drawsBefore + 1);
    EXPECT_EQ(dialogs.suggestedName, "Untitled.png");
    EXPECT_EQ(dialogs.extension, ".png");
    EXPECT_TRUE(dialogs.errors.empty());

    std::string error;
    const auto image = Platform::readPngFile(folder.file("picture.png"), &error);
    ASSERT_TRUE(image) << error;
    ASSERT_EQ(image->width, viewWidth);
    ASSERT_EQ(image->height, viewHeight);
    const std::uint32_t red = 0xff0000ff, blue = 0x0000ffff;
    // Rows come top first: the red quarter is at the bottom left.
    for (int y = 0; y < viewHeight; ++y)
        for (int x = 0; x < viewWidth; ++x) {
            const bool lowerLeft = x < viewWidth / 2 && y >= viewHeight / 2;
            ASSERT_EQ(rgbaAt(*image, x, y), lowerLeft ? red : blue) << x << ", " << y;
        }
    EXPECT_EQ(folder.entryCount(), 1u);
}

TEST_F(ExportImageTest, SuggestsTheDocumentsNameAndKeepsAGivenPngName) {
    document->setFileName(folder.file("orbit.picture"));
    dialogs.answer = folder.file("chosen.png");
    ASSERT_TRUE(application.exportImage(document));
    EXPECT_EQ(dialogs.suggestedName, "orbit.png");
    EXPECT_TRUE(std::filesystem::exists(folder.file("chosen.png")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("chosen.png.png")));
}

TEST_F(ExportImageTest, CancelOrAnUnwritablePlaceWritesNothing) {
    dialogs.answer.reset();
    EXPECT_FALSE(application.exportImage(document));
    EXPECT_TRUE(dialogs.errors.empty());

    dialogs.answer = folder.file("missing-folder/picture.png");
    EXPECT_FALSE(application.exportImage(document));
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_NE(dialogs.errors[0].find("picture.png"), std::string::npos) << dialogs.errors[0];
    EXPECT_EQ(folder.entryCount(), 0u);
}

TEST_F(ExportImageTest, MenuItemSitsInTheFileMenuAndNeedsAView) {
    const auto& items = Platform::MenuCommand::menuBar();
    const auto item = std::find_if(items.begin(), items.end(), [](const auto& candidate) {
        return candidate.command == Platform::Command::exportImage;
    });
    ASSERT_NE(item, items.end());
    EXPECT_EQ(item->menuTitle, "File");
    EXPECT_EQ(item->title, "Export Image...");
    EXPECT_TRUE(application.validateMenuItem(*item, document));
    EXPECT_FALSE(application.validateMenuItem(*item, nullptr));

    PictureDocument windowless;
    EXPECT_FALSE(application.validateMenuItem(*item, &windowless));
    EXPECT_FALSE(application.exportImage(&windowless));
}
