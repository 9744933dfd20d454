#include "Platform/core/Document.h"
#include "support/FileSizeLimit.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <sys/stat.h>
#include <tuple>

namespace fs = std::filesystem;
using Platform::Document;
using VexmiraTest::TemporaryFolder;

namespace {

// Undoable plain text; text beginning with "bad" is refused.
class TextDocument : public Document {
public:
    TextDocument() { setFileType("Text"); }
    std::string content;

    void setContent(const std::string& text) {
        undoManager().registerUndo(this, [this, old = content] { setContent(old); });
        content = text;
    }
    std::optional<std::string> dataRepresentationOfType(const std::string& type,
                                                        std::string& errorMessage) override {
        if (type != "Text")
            return Document::dataRepresentationOfType(type, errorMessage);
        return content;
    }
    bool loadDataRepresentation(const std::string& data, const std::string&,
                                std::string& errorMessage) override {
        errorMessage = "refused.";
        const bool refused = data.starts_with("bad");
        content = refused ? content : data;
        return !refused;
    }
};

} // namespace

// How a save keeps the file's permissions and leaves nothing beside it is the safe writer's test.
TEST(Document, ChangeCountFollowsChangesUndoRedoAndSaves) {
    TemporaryFolder folder;
    const std::string path = folder.file("notes.txt");
    std::string error;
    TextDocument document;
    EXPECT_EQ(document.displayName(), "Untitled");
    document.setUntitledNumber(2);
    EXPECT_EQ(document.displayName(), "Untitled 2");
    EXPECT_FALSE(document.saveDocument(error)); // no file yet
    document.setContent("a");
    document.setContent("b");
    EXPECT_EQ(document.changeCount(), 2);
    EXPECT_EQ((std::array{document.undoManager().undo(), document.undoManager().undo()}),
              (std::array{true, true}));
    EXPECT_FALSE(document.isDocumentEdited());
    document.undoManager().redo();
    EXPECT_EQ(document.changeCount(), 1);
    ASSERT_TRUE(document.saveToFile(path, error)) << error;
    EXPECT_FALSE(document.isDocumentEdited());
    EXPECT_EQ(document.displayName(), "notes.txt");
    ASSERT_TRUE(document.undoManager().undo()); // back past the saved state: a change too
    EXPECT_EQ(document.changeCount(), -1);
    document.setContent("x"); // a new branch: no undo or redo leads back to the saved "a"
    EXPECT_TRUE(document.isDocumentEdited());
    EXPECT_EQ((std::array{document.undoManager().undo(), document.undoManager().redo()}),
              (std::array{true, true}));
    EXPECT_TRUE(document.isDocumentEdited());
    ASSERT_TRUE(document.saveDocument(error)) << error;
    EXPECT_EQ(TemporaryFolder::read(path), "x");
    EXPECT_FALSE(document.isDocumentEdited());
}

TEST(Document, FailedSavesSayWhyAndLeaveTheOldFileByteForByteAndTheDocumentEdited) {
    TemporaryFolder folder;
    const std::string path = folder.file("kept.txt");
    std::string error;
    TextDocument document;
    document.setContent("old bytes\n\x01\xff");
    ASSERT_TRUE(document.saveToFile(path, error)) << error;
    document.setContent(std::string(100000, 'n'));
    document.undoManager().setActionName("Grow");
    for (const std::string& target : {path, folder.file("missing/inside.txt")}) {
        SCOPED_TRACE(target);
        error.clear();
        {
            VexmiraTest::FileSizeLimit limit(4096); // the text does not fit, even for root
            EXPECT_FALSE(document.saveToFile(target, error));
        }
        EXPECT_EQ(std::tuple(error.empty(), document.fileName(), document.isDocumentEdited(),
                             document.undoManager().undoActionName()),
                  std::tuple(false, path, true, "Grow"));
    }
    EXPECT_EQ(TemporaryFolder::read(path), "old bytes\n\x01\xff");
}

TEST(Document, RefusedFilesLeaveTheDocumentAsItWas) {
    TemporaryFolder folder;
    TemporaryFolder::write(folder.file("bad.txt"), "bad content");
    TemporaryFolder::write(folder.file("huge.txt"), "");
    fs::resize_file(folder.file("huge.txt"), Document::maximumFileSize + 1); // sparse
    ASSERT_EQ(mkfifo(folder.file("pipe.txt").c_str(), 0600), 0);             // must not hang
    TemporaryFolder::write(folder.file("good.txt"), "good");
    for (const std::string name : {"bad.txt", "huge.txt", "absent.txt", "", "pipe.txt", "good"}) {
        TextDocument document;
        std::string error;
        if (name == "good") { // reverting to a file that has gone bad
            ASSERT_TRUE(document.readFromFile(folder.file("good.txt"), error));
            TemporaryFolder::write(folder.file("good.txt"), "bad now");
        }
        document.setContent("kept");
        const std::string fileName = document.fileName();
        EXPECT_FALSE(name == "good" ? document.revertToSaved(error)
                                    : document.readFromFile(folder.file(name), error));
        EXPECT_EQ(std::tuple(error.empty(), document.content, document.fileName(),
                             document.isDocumentEdited(), document.undoManager().canUndo()),
                  std::tuple(false, "kept", fileName, true, true))
            << name;
    }
}
