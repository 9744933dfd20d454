#include "Platform/core/Document.h"

#include "Platform/core/Localization.h"
#include "Platform/core/SafeFileWriter.h"
#include "Platform/core/SystemErrorText.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace Platform {

namespace {

std::string baseName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

// Owns a file descriptor for the length of one file operation.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    bool close() {
        if (fd_ < 0)
            return true;
        int result = ::close(std::exchange(fd_, -1));
        return result == 0;
    }

private:
    int fd_;
};

std::string tooLargeText() {
    return fillIn(localized("The file is larger than %1, too large for a document."),
                  localizedSize(Document::maximumFileSize));
}

bool readWholeFile(const std::string& path, std::string& data, std::string& reason) {
    // Non-blocking, so that a named pipe in place of a document cannot hang
    // the program; it is refused below as not a regular file.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        reason = systemErrorText(errno);
        return false;
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        reason = systemErrorText(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        reason = localized("It is not a regular file but a folder, device or pipe.");
        return false;
    }
    if (static_cast<unsigned long long>(status.st_size) > Document::maximumFileSize) {
        reason = tooLargeText();
        return false;
    }
    data.clear();
    char buffer[65536];
    for (;;) {
        ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            reason = systemErrorText(errno);
            return false;
        }
        if (count == 0)
            return true;
        if (data.size() + static_cast<std::size_t>(count) > Document::maximumFileSize) {
            reason = tooLargeText();
            return false;
        }
        data.append(buffer, static_cast<std::size_t>(count));
    }
}

} // namespace

Document::Document() {
    undoManager_.setChangeObserver([this](UndoManager::Change change) {
        switch (change) {
        case UndoManager::Change::done:
            updateChangeCount(ChangeType::done);
            break;
        case UndoManager::Change::undone:
            updateChangeCount(ChangeType::undone);
            break;
        case UndoManager::Change::redone:
            updateChangeCount(ChangeType::redone);
            break;
        }
    });
}

Document::~Document() = default;

std::string Document::displayName() const {
    if (hasFileName())
        return baseName(fileName_);
    if (untitledNumber_ <= 1)
        return localized("Untitled");
    return fillIn(localized("Untitled %1"), std::to_string(untitledNumber_));
}

void Document::updateChangeCount(ChangeType change) {
    switch (change) {
    case ChangeType::done:
        if (changeCount_ < 0)
            savedStateReachable_ = false;
        ++changeCount_;
        break;
    case ChangeType::redone:
        ++changeCount_;
        break;
    case ChangeType::undone:
        --changeCount_;
        break;
    case ChangeType::cleared:
        changeCount_ = 0;
        savedStateReachable_ = true;
        break;
    }
}

std::optional<std::string> Document::dataRepresentationOfType(const std::string& type,
                                                              std::string& errorMessage) {
    errorMessage = fillIn(localized("Documents of type “%1” cannot be written."), type);
    return std::nullopt;
}

bool Document::loadDataRepresentation(const std::string&, const std::string& type,
                                      std::string& errorMessage) {
    errorMessage = fillIn(localized("Documents of type “%1” cannot be read."), type);
    return false;
}

void Document::addWindowController(std::unique_ptr<WindowController> windowController) {
    if (!windowController)
        return;
    windowController->setDocument(this);
    windowControllers_.push_back(std::move(windowController));
}

bool Document::readFromFile(const std::string& path, std::string& errorMessage) {
    if (!loadFile(path, errorMessage))
        return false;
    documentWasSavedOrLoaded(path);
    undoManager_.removeAllActions();
    return true;
}

bool Document::saveDocument(std::string& errorMessage) {
    if (!hasFileName()) {
        errorMessage = fillIn(localized("“%1” has no file yet."), displayName());
        return false;
    }
    if (!writeToFile(fileName_, errorMessage))
        return false;
    documentWasSavedOrLoaded(fileName_);
    return true;
}

bool Document::saveToFile(const std::string& path, std::string& errorMessage) {
    if (!writeToFile(path, errorMessage))
        return false;
    documentWasSavedOrLoaded(path);
    return true;
}

bool Document::revertToSaved(std::string& errorMessage) {
    if (!hasFileName()) {
        errorMessage = fillIn(localized("“%1” has never been saved."), displayName());
        return false;
    }
    if (!loadFile(fileName_, errorMessage))
        return false;
    // The history led to the state just discarded; it cannot apply any more.
    undoManager_.removeAllActions();
    documentWasSavedOrLoaded(fileName_);
    return true;
}

bool Document::validateMenuItem(const MenuItem& menuItem) const {
    if (menuItem.title == localized("Undo") ||
        menuItem.title == undoMenuTitle(false, undoManager_.undoActionName()))
        return undoManager_.canUndo();
    if (menuItem.title == localized("Redo") ||
        menuItem.title == undoMenuTitle(true, undoManager_.redoActionName()))
        return undoManager_.canRedo();
    return true;
}

// Languages place the step's name differently: "Undo Set Blowup", but
// "„Aufblasung einstellen“ widerrufen".
std::string Document::undoMenuTitle(bool redo, const std::string& stepName) {
    if (stepName.empty())
        return redo ? localized("Redo") : localized("Undo");
    return fillIn(redo ? localized("Redo %1") : localized("Undo %1"), stepName);
}

// Producing the data may clear the undo history (a save ends it); when the
// file cannot be written after all, the history is given back, so a failed
// save changes nothing.
bool Document::writeToFile(const std::string& path, std::string& errorMessage) {
    UndoManager::History history = undoManager_.history();
    std::string reason;
    std::optional<std::string> data = dataRepresentationOfType(fileType_, reason);
    if (data && SafeFileWriter::writeFile(path, *data, reason))
        return true;
    undoManager_.restoreHistory(std::move(history));
    errorMessage = reason;
    return false;
}

bool Document::loadFile(const std::string& path, std::string& errorMessage) {
    std::string data;
    std::string reason;
    if (readWholeFile(path, data, reason) && loadDataRepresentation(data, fileType_, reason))
        return true;
    errorMessage = reason;
    return false;
}

void Document::documentWasSavedOrLoaded(const std::string& path) {
    fileName_ = path;
    updateChangeCount(ChangeType::cleared);
}

} // namespace Platform
