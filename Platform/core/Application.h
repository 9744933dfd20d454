#pragma once

#include "Platform/core/MenuCommand.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

class Document;
class Preferences;
class UserDialogs;

// The document-based application: the open documents, and the flows of the
// File and Edit menus around them (new, open, close, save, save as, revert,
// quit, undo, redo), including the questions to the user. Toolkit-free: the
// window backend supplies the dialogs and runs the event loop.
class Application {
public:
    struct DocumentType {
        std::string name;      // the type name documents read and write
        std::string extension; // the file name extension, with its dot
        std::function<std::unique_ptr<Document>()> makeDocument;
    };

    // dialogs are not owned and must outlive the application.
    explicit Application(UserDialogs& dialogs);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The application that is running (the last one created), or null.
    static Application* shared();

    void setDocumentType(DocumentType type) { documentType_ = std::move(type); }
    const DocumentType& documentType() const { return documentType_; }

    // The questions to the user, for the program's own menu items too.
    UserDialogs& dialogs() const { return dialogs_; }

    // The libraries the program stands on, each as its name and version
    // ("FLTK 1.3.8"): the window backend names its own, the program the rest.
    void addLibraryVersion(std::string nameAndVersion) {
        libraryVersions_.push_back(std::move(nameAndVersion));
    }
    const std::vector<std::string>& libraryVersions() const { return libraryVersions_; }

    // Opens every file named; with none, a new document. True when every
    // file could be opened.
    bool openFiles(const std::vector<std::string>& paths);

    // A new untitled document with its window shown.
    Document* newDocument();
    // Opens the file (or brings its open document forward). On failure an
    // error dialog names the file and the problem, and no window opens.
    Document* openDocument(const std::string& path);
    // Asks for a file, then opens it.
    Document* openDocument();

    // Closes the document, first asking Save / Don't Save / Cancel when it
    // has unsaved changes. False when it stays open.
    bool closeDocument(Document* document);
    // Save writes to the document's file, or asks for one when it has none.
    bool saveDocument(Document* document);
    bool saveDocumentAs(Document* document);
    bool revertDocument(Document* document);
    // Asks where to save a file made from the document (Save As, an export):
    // the chooser starts beside the document's file (or in the current folder
    // for a new document) proposing its name with the first extension, and
    // lists `extensions` (with their dots). A name typed without any of them
    // gets the first one added; when that name is taken, the user is asked
    // whether to replace it, as the chooser asked only about the name typed.
    // No value when the user cancelled.
    std::optional<std::string> chooseSavePath(const std::string& title, const Document& document,
                                              const std::vector<std::string>& extensions);
    bool undo(Document* document);
    bool redo(Document* document);
    // Closes every document as closeDocument does; false when the user
    // cancelled (everything not yet closed stays open).
    bool quit();
    bool hasQuit() const { return quitting_; }

    // The menu flows for a document's window (document may be null when no
    // document is in front).
    bool perform(Command command, Document* document);
    // Runs a menu item: a built-in command, or a custom item's action when
    // the item is enabled. False when nothing ran.
    bool perform(const MenuCommand& item, Document* document);
    // Whether a check-box item shows its mark now.
    bool isMenuItemChecked(const MenuCommand& item, const Document* document) const;
    // The title an item shows now: localised, Undo and Redo with the name
    // of the step they would replay.
    std::string menuItemTitle(const MenuCommand& item, const Document* document) const;
    // Whether an item is enabled now, decided by the document's validateMenuItem.
    bool validateMenuItem(const MenuCommand& item, const Document* document) const;

    // The items of the menu bar, menu by menu: the built-in File and Edit
    // items with the program's own custom items placed among them.
    const std::vector<MenuCommand>& menuCommands() const { return menuCommands_; }
    // Adds a custom item after the item titled `after` (an English title), or
    // at the end of its menu; a menu not seen yet comes after the others.
    // Menu bars built from now on show it.
    void addMenuCommand(MenuCommand item, const std::string& after = {});
    // A menu whose items follow the open documents (a Window menu): `fill`
    // makes its items anew whenever the documents change, and they follow the
    // menu's own items. The menu keeps the place it had when first named.
    void setMenuFiller(const std::string& menuTitle,
                       std::function<std::vector<MenuCommand>()> fill);
    // Grows with every change of menuCommands(), so a menu bar knows to rebuild.
    int menuGeneration() const { return menuGeneration_; }

    const std::vector<std::unique_ptr<Document>>& documents() const { return documents_; }

    // The user's preferences (not owned), or null when the program keeps none.
    Preferences* preferences() const { return preferences_; }
    void setPreferences(Preferences* preferences) { preferences_ = preferences; }

    // Called after documents were opened, closed, saved or changed, so the
    // backend can bring titles and menus up to date.
    void setDocumentsChangedHandler(std::function<void()> handler) {
        documentsChanged_ = std::move(handler);
    }
    void documentsChanged();

    // Puts text on the desktop's clipboard through the backend's handler;
    // false when the backend has none (off screen).
    void setClipboardHandler(std::function<void(const std::string&)> handler) {
        clipboard_ = std::move(handler);
    }
    bool copyToClipboard(const std::string& text) const {
        if (clipboard_)
            clipboard_(text);
        return static_cast<bool>(clipboard_);
    }

private:
    Document* addDocument(std::unique_ptr<Document> document);
    void removeDocument(Document* document);
    Document* documentWithFile(const std::string& path) const;
    int freeUntitledNumber() const;
    void noteMenu(const std::string& menuTitle);
    void refillMenus();
    void composeMenuCommands(bool rebuildMenuBars);

    struct MenuFiller {
        std::string menuTitle;
        std::function<std::vector<MenuCommand>()> fill;
        std::vector<MenuCommand> items;
    };

    UserDialogs& dialogs_;
    std::vector<std::string> libraryVersions_;
    DocumentType documentType_;
    std::vector<std::unique_ptr<Document>> documents_;
    std::function<void()> documentsChanged_;
    std::function<void(const std::string&)> clipboard_;
    bool quitting_ = false;
    // The built-in and added items, each menu's items together.
    std::vector<MenuCommand> ownCommands_ = MenuCommand::menuBar();
    std::vector<MenuFiller> fillers_;
    // Menu titles in the order the menus appear.
    std::vector<std::string> menuOrder_;
    // ownCommands_ and the fillers' items, menu by menu.
    std::vector<MenuCommand> menuCommands_;
    int menuGeneration_ = 0;
    Preferences* preferences_ = nullptr;
};

} // namespace Platform
