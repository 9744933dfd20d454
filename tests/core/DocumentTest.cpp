#include "Platform/core/Document.h"

#include "support/FileSizeLimit.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;
using Platform::Document;
using Platform::MenuItem;
using VexmiraTest::FileSizeLimit;
using VexmiraTest::TemporaryFolder;

namespace {

// A document of plain text whose edits are undoable; saving ends the undo
// history as Vexmira's document does, and text beginning with "bad" is refused.
class TextDocument : public Document {
public:
    TextDocument() { setFileType("Text"); }

    const std::string& content() const { return content_; }
    void setContent(const std::string& content) {
        undoManager().registerUndo(this, [this, old = content_] { setContent(old); });
        content_ = content;
    }

    std::optional<std::string> dataRepresentationOfType(const std::string& type,
                                                        std::string& errorMessage) override {
        if (type != "Text")
            return Document::dataRepresentationOfType(type, errorMessage);
        if (clearsHistoryOnSave)
            undoManager().removeAllActions();
        return content_;
    }
    bool loadDataRepresentation(const std::string& data, const std::string& type,
                                std::string& errorMessage) override {
        if (type != "Text" || data.starts_with("bad")) {
            errorMessage = "refused.";
            return false;
        }
        content_ = data;
        return true;
    }

    bool clearsHistoryOnSave = true;

private:
    std::string content_;
};

// Limits the size of files this process may write, so that writing fails
// even for root, who ignores permissions.

} // namespace

TEST(Document, ChangeCountFollowsChangesUndoAndRedo) {
    TextDocument document;
    EXPECT_FALSE(document.isDocumentEdited());
    document.setContent("a");
    document.setContent("b");
    EXPECT_EQ(document.changeCount(), 2);
    document.undoManager().undo();
    document.undoManager().undo();
    EXPECT_FALSE(document.isDocumentEdited());
    document.undoManager().redo();
    EXPECT_EQ(document.changeCount(), 1);
    EXPECT_TRUE(document.isDocumentEdited());
}

TEST(Document, UndoingPastTheSavedStateIsAnUnsavedChange) {
    TemporaryFolder folder;
    TextDocument document;
    document.clearsHistoryOnSave = false;
    document.setContent("a");
    std::string error;
    ASSERT_TRUE(document.saveToFile(folder.file("a.txt"), error)) << error;
    ASSERT_TRUE(document.undoManager().undo());
    EXPECT_EQ(document.changeCount(), -1);
    EXPECT_TRUE(document.isDocumentEdited());
    ASSERT_TRUE(document.undoManager().redo());
    EXPECT_FALSE(document.isDocumentEdited());
}

TEST(Document, SaveAsOpenAndRevert) {
    TemporaryFolder folder;
    std::string path = folder.file("notes.txt");
    std::string error;
    TextDocument document;
    EXPECT_EQ(document.displayName(), "Untitled");
    EXPECT_FALSE(document.saveDocument(error));
    EXPECT_FALSE(error.empty());
    document.setContent("first");
    ASSERT_TRUE(document.saveToFile(path, error)) << error;
    EXPECT_EQ(TemporaryFolder::read(path), "first");
    EXPECT_EQ(document.fileName(), path);
    EXPECT_EQ(document.displayName(), "notes.txt");
    EXPECT_FALSE(document.isDocumentEdited());
    EXPECT_FALSE(document.undoManager().canUndo());
    EXPECT_EQ(folder.entryCount(), 1u) << "no temporary file is left behind";

    document.setContent("second");
    ASSERT_TRUE(document.saveDocument(error)) << error;
    EXPECT_EQ(TemporaryFolder::read(path), "second");

    TextDocument opened;
    ASSERT_TRUE(opened.readFromFile(path, error)) << error;
    EXPECT_EQ(opened.content(), "second");
    EXPECT_EQ(opened.fileName(), path);
    EXPECT_FALSE(opened.isDocumentEdited());

    opened.setContent("third");
    ASSERT_TRUE(opened.revertToSaved(error)) << error;
    EXPECT_EQ(opened.content(), "second");
    EXPECT_FALSE(opened.isDocumentEdited());
    EXPECT_FALSE(opened.undoManager().canUndo());
}

TEST(Document, SavingKeepsTheFilePermissions) {
    TemporaryFolder folder;
    std::string path = folder.file("shared.txt");
    TemporaryFolder::write(path, "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::others_read);
    TextDocument document;
    std::string error;
    ASSERT_TRUE(document.saveToFile(path, error)) << error;
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
}

TEST(Document, AFailedSaveLeavesTheOldFileAndTheDocumentAsTheyWere) {
    TemporaryFolder folder;
    std::string path = folder.file("kept.txt");
    std::string error;
    TextDocument document;
    document.setContent("old bytes\n\x01\xff");
    ASSERT_TRUE(document.saveToFile(path, error)) << error;
    std::string oldBytes = TemporaryFolder::read(path);

    document.setContent(std::string(100000, 'n'));
    document.undoManager().setActionName("Grow");
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(document.saveDocument(error));
    }
    EXPECT_NE(error.find("kept.txt"), std::string::npos) << error;
    EXPECT_EQ(TemporaryFolder::read(path), oldBytes);
    EXPECT_EQ(folder.entryCount(), 1u) << "the temporary file is removed";
    EXPECT_TRUE(document.isDocumentEdited());
    EXPECT_EQ(document.undoManager().undoActionName(), "Grow");
    ASSERT_TRUE(document.undoManager().undo());
    EXPECT_EQ(document.content(), "old bytes\n\x01\xff");
}

TEST(Document, SavingWhereNoFileCanBeIsRefused) {
    TemporaryFolder folder;
    fs::create_directory(folder.file("folder.txt"));
    std::vector<std::string> impossible = {
        folder.file("folder.txt"),                  // a directory stands there
        folder.file("missing/inside.txt"),          // the folder does not exist
        "/proc/self/vexmira-cannot-write-here.txt", // not a place for files
    };
    for (const auto& path : impossible) {
        TextDocument document;
        document.setContent("x");
        std::string error;
        EXPECT_FALSE(document.saveToFile(path, error)) << path;
        EXPECT_NE(error.find(fs::path(path).filename().string()), std::string::npos) << error;
        EXPECT_TRUE(document.fileName().empty());
        EXPECT_TRUE(document.isDocumentEdited());
        EXPECT_TRUE(document.undoManager().canUndo());
    }
    EXPECT_TRUE(fs::is_directory(folder.file("folder.txt")));
}

TEST(Document, RefusedFilesLeaveTheDocumentAsItWas) {
    TemporaryFolder folder;
    TemporaryFolder::write(folder.file("bad.txt"), "bad content");
    std::string huge = folder.file("huge.txt");
    TemporaryFolder::write(huge, "");
    fs::resize_file(huge, Document::maximumFileSize + 1); // sparse: nothing is really written

    ASSERT_EQ(mkfifo(folder.file("pipe.txt").c_str(), 0600), 0);

    for (const std::string name : {"bad.txt", "huge.txt", "absent.txt", "", "pipe.txt"}) {
        TextDocument document;
        document.setContent("kept");
        std::string error;
        EXPECT_FALSE(document.readFromFile(folder.file(name), error)) << name;
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(document.content(), "kept");
        EXPECT_TRUE(document.fileName().empty());
        EXPECT_TRUE(document.undoManager().canUndo());
    }

    TextDocument document;
    std::string error;
    TemporaryFolder::write(folder.file("good.txt"), "good");
    ASSERT_TRUE(document.readFromFile(folder.file("good.txt"), error));
    TemporaryFolder::write(folder.file("good.txt"), "bad now");
    document.setContent("edited");
    EXPECT_FALSE(document.revertToSaved(error));
    EXPECT_NE(error.find("good.txt"), std::string::npos) << error;
    EXPECT_EQ(document.content(), "edited");
    EXPECT_TRUE(document.isDocumentEdited());
    EXPECT_TRUE(document.undoManager().canUndo());
}

TEST(Document, WrongTypeIsNeitherWrittenNorRead) {
    TemporaryFolder folder;
    TextDocument document;
    document.setFileType("Picture");
    document.setContent("x");
    std::string error;
    EXPECT_FALSE(document.saveToFile(folder.file("x.txt"), error));
    EXPECT_NE(error.find("Picture"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(folder.file("x.txt")));
    EXPECT_EQ(folder.entryCount(), 0u);
}

TEST(Document, UndoAndRedoMenuItemsFollowTheHistory) {
    TextDocument document;
    EXPECT_FALSE(document.validateMenuItem(MenuItem{"Undo"}));
    EXPECT_FALSE(document.validateMenuItem(MenuItem{"Redo"}));
    EXPECT_TRUE(document.validateMenuItem(MenuItem{"Close"}));
    document.setContent("a");
    document.undoManager().setActionName("Type");
    EXPECT_TRUE(document.validateMenuItem(MenuItem{"Undo Type"}));
    EXPECT_FALSE(document.validateMenuItem(MenuItem{"Redo"}));
    document.undoManager().undo();
    EXPECT_FALSE(document.validateMenuItem(MenuItem{"Undo"}));
    EXPECT_TRUE(document.validateMenuItem(MenuItem{"Redo Type"}));
}

TEST(Document, OwnsItsWindowControllers) {
    TextDocument document;
    document.addWindowController(std::make_unique<Platform::WindowController>("Layout"));
    ASSERT_EQ(document.windowControllers().size(), 1u);
    EXPECT_EQ(document.windowControllers().front()->document(), &document);
}
