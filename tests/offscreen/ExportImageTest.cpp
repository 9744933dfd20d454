// File > Export Image... off screen: the view is drawn afresh and written opaque, top row first.

#include "Platform/core/Application.h"
#include "Platform/core/Document.h"
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

namespace {

constexpr int viewWidth = 64, viewHeight = 48;

// Blue with a red lower-left quarter, both cleared with alpha 0, which the picture must not keep.
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
    }
};

class PictureDocument : public Platform::Document {
    void makeWindowControllers() override {
        addWindowController(std::make_unique<Platform::WindowController>("ExportPicture"));
    }
};

// Answers the save panel with `answer` (none is Cancel); keeps the suggested name and errors.
class ChosenFiles : public Platform::UserDialogs {
public:
    std::optional<std::string> answer;
    std::string suggestedName;
    std::vector<std::string> errors;

    SaveChoice askToSaveChanges(const std::string&) override { return SaveChoice::cancel; }
    std::optional<std::string> chooseFileToOpen(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseFileToSave(const std::string&, const std::string& suggested,
                                                const std::string&) override {
        suggestedName = suggested;
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

} // namespace

TEST_F(ExportImageTest, WritesTheFreshlyDrawnViewOpaqueAndTopRowFirst) {
    dialogs.answer = folder.file("picture"); // the extension is added
    const int drawsBefore = view->draws;
    ASSERT_TRUE(application.perform(Platform::Command::exportImage, document));
    EXPECT_EQ(view->draws, drawsBefore + 1);
    EXPECT_EQ(dialogs.suggestedName, "Untitled.png");
    EXPECT_TRUE(dialogs.errors.empty());
    const auto image = Platform::readPngFile(folder.file("picture.png"));
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width, viewWidth);
    ASSERT_EQ(image->height, viewHeight);
    for (int y = 0; y < viewHeight; ++y)
        for (int x = 0; x < viewWidth; ++x) {
            const bool red = x < viewWidth / 2 && y >= viewHeight / 2;
            const auto pixel = image->rgba.begin() + (y * viewWidth + x) * 4;
            ASSERT_EQ(std::vector<int>(pixel, pixel + 4),
                      (std::vector<int>{red ? 255 : 0, 0, red ? 0 : 255, 255}))
                << x << ", " << y;
        }

    // The document's name is suggested, and a name ending in .png is kept.
    document->setFileName(folder.file("orbit.picture"));
    dialogs.answer = folder.file("chosen.png");
    ASSERT_TRUE(application.exportImage(document));
    EXPECT_EQ(dialogs.suggestedName, "orbit.png");
    EXPECT_TRUE(std::filesystem::exists(folder.file("chosen.png")));
    EXPECT_EQ(folder.entryCount(), 2u);
}

TEST_F(ExportImageTest, CancelOrAViewlessDocumentWritesNothing) {
    EXPECT_FALSE(application.exportImage(document));
    PictureDocument windowless;
    EXPECT_FALSE(application.exportImage(&windowless));
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(folder.entryCount(), 0u);
}
