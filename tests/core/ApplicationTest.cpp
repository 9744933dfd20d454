#include "Platform/core/Application.h"
#include "Platform/core/Document.h"
#include "Platform/core/MenuCommand.h"
#include "Platform/core/UndoManager.h"
#include "Platform/core/UserDialogs.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using Platform::Application;
using Platform::Command;
using Platform::Document;
using SaveChoice = Platform::UserDialogs::SaveChoice;

// A document holding one line of text; "bad" in a file is refused.
class NoteDocument : public Document {
public:
    std::string text = "empty";

    void setText(const std::string& newText) {
        std::string old = text;
        undoManager().registerUndo(this, [this, old] { setText(old); });
        text = newText;
    }
    std::optional<std::string> dataRepresentationOfType(const std::string&, std::string&) override {
        return text;
    }
    bool loadDataRepresentation(const std::string& data, const std::string&,
                                std::string& errorMessage) override {
        if (data == "bad") {
            errorMessage = "line 1: not a note";
            return false;
        }
        text = data;
        return true;
    }
};

class Answers : public Platform::UserDialogs {
public:
    std::deque<SaveChoice> choices;
    std::deque<std::string> files;
    std::vector<std::string> questions, errors;

    SaveChoice askToSaveChanges(const std::string& message) override {
        questions.push_back(message);
        SaveChoice choice = choices.empty() ? SaveChoice::cancel : choices.front();
        if (!choices.empty())
            choices.pop_front();
        return choice;
    }
    std::optional<std::string> chooseFileToOpen(const std::string&, const std::string&) override {
        return next();
    }
    std::optional<std::string> chooseFileToSave(const std::string&, const std::string&,
                                                const std::string&) override {
        return next();
    }
    void showError(const std::string& message) override { errors.push_back(message); }

private:
    std::optional<std::string> next() {
        if (files.empty())
            return std::nullopt;
        std::string file = files.front();
        files.pop_front();
        return file;
    }
};

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder =
            std::filesystem::temp_directory_path() /
            ("vexmira-app-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
        application.setDocumentType(
            {"Note", ".note", [] { return std::make_unique<NoteDocument>(); }});
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string write(const std::string& name, const std::string& contents) {
        auto path = (folder / name).string();
        std::ofstream(path) << contents;
        return path;
    }
    static std::string read(const std::string& path) {
        std::ifstream file(path);
        std::stringstream contents;
        contents << file.rdbuf();
        return contents.str();
    }
    static NoteDocument* note(Document* document) { return static_cast<NoteDocument*>(document); }
    const Platform::MenuCommand& item(Command command) {
        for (const auto& entry : Platform::MenuCommand::menuBar())
            if (entry.command == command)
                return entry;
        ADD_FAILURE() << "no menu item for the command";
        return Platform::MenuCommand::menuBar().front();
    }

    std::filesystem::path folder;
    Answers answers;
    Application application{answers};
};

TEST_F(ApplicationTest, StartsWithANewDocumentOrTheNamedFiles) {
    EXPECT_TRUE(application.openFiles({}));
    ASSERT_EQ(application.documents().size(), 1u);
    EXPECT_FALSE(application.documents()[0]->hasFileName());

    auto first = write("a.note", "alpha");
    auto second = write("b.note", "beta");
    EXPECT_TRUE(application.openFiles({first, second}));
    ASSERT_EQ(application.documents().size(), 3u);
    EXPECT_EQ(note(application.documents()[2].get())->text, "beta");
    // Opening a file that is open already brings its document forward.
    EXPECT_EQ(application.openDocument((folder / "." / "a.note").string()),
              application.documents()[1].get());
    EXPECT_EQ(application.documents().size(), 3u);
}

TEST_F(ApplicationTest, AFileThatCannotBeOpenedIsReportedWithItsNameAndOpensNothing) {
    application.newDocument();
    note(application.documents()[0].get())->setText("kept");
    auto malformed = write("broken.note", "bad");
    EXPECT_FALSE(application.openFiles({malformed, (folder / "missing.note").string()}));
    ASSERT_EQ(answers.errors.size(), 2u);
    EXPECT_NE(answers.errors[0].find("broken.note"), std::string::npos);
    EXPECT_NE(answers.errors[0].find("not a note"), std::string::npos);
    EXPECT_NE(answers.errors[1].find("missing.note"), std::string::npos);
    ASSERT_EQ(application.documents().size(), 1u);
    EXPECT_EQ(note(application.documents()[0].get())->text, "kept");
    EXPECT_TRUE(application.documents()[0]->isDocumentEdited());
}

TEST_F(ApplicationTest, ClosingWithUnsavedChangesAsksSaveDontSaveOrCancel) {
    Document* document = application.newDocument();
    note(document)->setText("draft");

    answers.choices = {SaveChoice::cancel};
    EXPECT_FALSE(application.closeDocument(document));
    EXPECT_EQ(application.documents().size(), 1u);
    ASSERT_EQ(answers.questions.size(), 1u);
    EXPECT_NE(answers.questions[0].find("Untitled"), std::string::npos);

    // Save on a document without a file asks for one; cancelling that keeps it open.
    answers.choices = {SaveChoice::save};
    EXPECT_FALSE(application.closeDocument(document));
    EXPECT_EQ(application.documents().size(), 1u);

    auto path = (folder / "draft").string();
    answers.choices = {SaveChoice::save};
    answers.files = {path};
    EXPECT_TRUE(application.closeDocument(document));
    EXPECT_TRUE(application.documents().empty());
    EXPECT_EQ(read(path + ".note"), "draft") << "the extension is added";

    Document* other = application.newDocument();
    note(other)->setText("lost on purpose");
    answers.choices = {SaveChoice::dontSave};
    EXPECT_TRUE(application.closeDocument(other));
    EXPECT_TRUE(application.documents().empty());

    // A document without changes closes without a question.
    answers.questions.clear();
    EXPECT_TRUE(application.closeDocument(application.newDocument()));
    EXPECT_TRUE(answers.questions.empty());
}

TEST_F(ApplicationTest, QuitStopsAtTheFirstCancelAndKeepsWhatIsLeft) {
    Document* older = application.newDocument();
    note(older)->setText("older");
    Document* newer = application.newDocument();
    note(newer)->setText("newer");
    answers.choices = {SaveChoice::dontSave, SaveChoice::cancel};
    EXPECT_FALSE(application.quit());
    EXPECT_FALSE(application.hasQuit());
    ASSERT_EQ(application.documents().size(), 1u);
    EXPECT_EQ(application.documents()[0].get(), older);

    answers.choices = {SaveChoice::dontSave};
    EXPECT_TRUE(application.quit());
    EXPECT_TRUE(application.documents().empty());
}

TEST_F(ApplicationTest, AFailedSaveSaysWhyAndKeepsTheDocumentEdited) {
    Document* document = application.newDocument();
    note(document)->setText("precious");
    // A path below a regular file cannot be created, even by root.
    auto blocker = write("plain-file", "x");
    answers.files = {blocker + "/inside.note"};
    EXPECT_FALSE(application.perform(Command::saveAs, document));
    ASSERT_EQ(answers.errors.size(), 1u);
    EXPECT_NE(answers.errors[0].find("inside.note"), std::string::npos);
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_FALSE(document->hasFileName());
    EXPECT_TRUE(document->undoManager().canUndo());
}

TEST_F(ApplicationTest, MenuItemsFollowTheDocumentsState) {
    EXPECT_TRUE(application.validateMenuItem(item(Command::newDocument), nullptr));
    EXPECT_TRUE(application.validateMenuItem(item(Command::quit), nullptr));
    EXPECT_FALSE(application.validateMenuItem(item(Command::close), nullptr));

    Document* document = application.newDocument();
    EXPECT_FALSE(application.validateMenuItem(item(Command::undo), document));
    EXPECT_EQ(application.menuItemTitle(item(Command::undo), document), "Undo");
    note(document)->setText("changed");
    document->undoManager().setActionName("Set Text");
    EXPECT_EQ(application.menuItemTitle(item(Command::undo), document), "Undo Set Text");
    EXPECT_TRUE(application.validateMenuItem(item(Command::undo), document));

    EXPECT_TRUE(application.perform(Command::undo, document));
    EXPECT_EQ(note(document)->text, "empty");
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_EQ(application.menuItemTitle(item(Command::redo), document), "Redo Set Text");
    EXPECT_TRUE(application.perform(Command::redo, document));
    EXPECT_EQ(note(document)->text, "changed");
}

TEST_F(ApplicationTest, RevertReloadsTheFileAndDropsTheHistory) {
    auto path = write("r.note", "saved");
    Document* document = application.openDocument(path);
    ASSERT_NE(document, nullptr);
    note(document)->setText("unsaved");
    EXPECT_TRUE(application.perform(Command::revert, document));
    EXPECT_EQ(note(document)->text, "saved");
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_FALSE(document->undoManager().canUndo());

    // A file spoilt meanwhile is reported, and the document stays as it was.
    note(document)->setText("unsaved again");
    write("r.note", "bad");
    EXPECT_FALSE(application.perform(Command::revert, document));
    ASSERT_EQ(answers.errors.size(), 1u);
    EXPECT_NE(answers.errors[0].find("r.note"), std::string::npos);
    EXPECT_EQ(note(document)->text, "unsaved again");
    EXPECT_TRUE(document->isDocumentEdited());
}

} // namespace
