#pragma once

#include "Platform/core/MenuItem.h"
#include "Platform/core/UndoManager.h"
#include "Platform/core/WindowController.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

// One open document: its file, its unsaved-change count, its undo history and
// its windows. Subclasses turn their content into file data and back through
// dataRepresentationOfType() and loadDataRepresentation(); this class does
// the file handling around them so that nothing is lost when it fails:
// a failed open or revert leaves the document as it was, a failed save leaves
// the file on disk as it was and the document edited.
class Document {
public:
    // Files larger than this are refused unread: no document of ours comes near.
    static constexpr std::size_t maximumFileSize = 16 * 1024 * 1024;

    Document();
    virtual ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // The file the document was opened from or last saved to; empty when none.
    const std::string& fileName() const { return fileName_; }
    void setFileName(const std::string& fileName) { fileName_ = fileName; }
    bool hasFileName() const { return !fileName_.empty(); }
    // The file's base name; for a new document "Untitled", or "Untitled 2"
    // and so on after the number the application gave it (localised).
    std::string displayName() const;
    int untitledNumber() const { return untitledNumber_; }
    void setUntitledNumber(int number) { untitledNumber_ = number; }

    // The type name the document reads and writes.
    const std::string& fileType() const { return fileType_; }
    void setFileType(const std::string& fileType) { fileType_ = fileType; }

    // Changes since the document was last opened, saved or reverted: a change
    // counts up, an undo down, a redo up. Undoing past the saved state counts
    // below zero, which is an unsaved change too. A change made there drops
    // the redo steps that led back to the saved state, so from then on no
    // count returns to it: the document stays edited until the next save.
    int changeCount() const { return changeCount_; }
    bool isDocumentEdited() const { return changeCount_ != 0 || !savedStateReachable_; }
    enum class ChangeType { done, undone, redone, cleared };
    void updateChangeCount(ChangeType change);

    UndoManager& undoManager() { return undoManager_; }
    const UndoManager& undoManager() const { return undoManager_; }

    // The file contents of the document in `type`; no value (and a reason in
    // errorMessage) when the document cannot be written in that type.
    virtual std::optional<std::string> dataRepresentationOfType(const std::string& type,
                                                                std::string& errorMessage);
    // Replaces the content with file data of `type`. On failure the document
    // must be left as it was, with the reason in errorMessage.
    virtual bool loadDataRepresentation(const std::string& data, const std::string& type,
                                        std::string& errorMessage);

    // Creates the document's windows; the GUI calls it once after creation or
    // opening. The base creates none.
    virtual void makeWindowControllers() {}
    void addWindowController(std::unique_ptr<WindowController> windowController);
    const std::vector<std::unique_ptr<WindowController>>& windowControllers() const {
        return windowControllers_;
    }

    // The file operations. On failure errorMessage says why, in one localised
    // sentence; the caller says what failed, naming the file.
    // Open: reads `path` into the document and takes it as the file name.
    bool readFromFile(const std::string& path, std::string& errorMessage);
    // Save: writes to the document's own file.
    bool saveDocument(std::string& errorMessage);
    // Save As: writes to `path` and makes it the document's file.
    bool saveToFile(const std::string& path, std::string& errorMessage);
    // Revert To Saved: reloads the document's file, dropping the undo history.
    bool revertToSaved(std::string& errorMessage);

    // Whether a menu item applies now. The base knows Undo and Redo (also with
    // the step name after them) and enables everything else.
    virtual bool validateMenuItem(const MenuItem& menuItem) const;
    // The title of Undo (or Redo) for the step it would replay, localised.
    static std::string undoMenuTitle(bool redo, const std::string& stepName);

protected:
    // Closes the windows now. A subclass whose windows look at its own
    // members calls this in its destructor, before those members go.
    void removeAllWindowControllers() { windowControllers_.clear(); }

private:
    bool writeToFile(const std::string& path, std::string& errorMessage);
    bool loadFile(const std::string& path, std::string& errorMessage);
    void documentWasSavedOrLoaded(const std::string& path);

    std::string fileName_;
    std::string fileType_;
    int changeCount_ = 0;
    bool savedStateReachable_ = true;
    int untitledNumber_ = 1;
    UndoManager undoManager_;
    std::vector<std::unique_ptr<WindowController>> windowControllers_;
};

} // namespace Platform
