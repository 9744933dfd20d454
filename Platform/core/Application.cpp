#include "Platform/core/Application.h"

#include "Platform/core/Document.h"
#include "Platform/core/Localization.h"
#include "Platform/core/MenuItem.h"
#include "Platform/core/UndoManager.h"
#include "Platform/core/UserDialogs.h"
#include "Platform/core/WindowController.h"

#include <algorithm>
#include <filesystem>

namespace Platform {

namespace {

Application* sharedApplication = nullptr;

std::string fileDisplayName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::string samePathKey(const std::string& path) {
    std::error_code error;
    auto canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical.string();
}

// Whether the name ends in one of the extensions, ignoring ASCII case:
// "Picture.PNG" is a PNG image.
bool endsInOneOf(const std::string& name, const std::vector<std::string>& extensions) {
    auto lower = [](std::string text) {
        for (char& c : text)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return text;
    };
    const std::string lowerName = lower(name);
    for (const auto& extension : extensions)
        if (lowerName.ends_with(lower(extension)))
            return true;
    return extensions.empty();
}

// A chooser opens beside the document's file, or in the folder the program
// was started from for a document never saved.
std::string startingFolder(const Document& document) {
    std::error_code error;
    if (document.hasFileName())
        return std::filesystem::absolute(document.fileName(), error).parent_path().string();
    return std::filesystem::current_path(error).string();
}

// "notes" for notes.vexmira, "Untitled 2" for a new document.
std::string nameStem(const Document& document) {
    if (!document.hasFileName())
        return document.displayName();
    return std::filesystem::path(document.fileName()).stem().string();
}

void showWindows(Document& document) {
    for (const auto& controller : document.windowControllers())
        controller->showWindow();
}

} // namespace

Application::Application(UserDialogs& dialogs) : dialogs_(dialogs) {
    sharedApplication = this;
    for (const auto& item : ownCommands_)
        noteMenu(item.menuTitle);
    composeMenuCommands(false);
}

Application::~Application() {
    documents_.clear();
    if (sharedApplication == this)
        sharedApplication = nullptr;
}

Application* Application::shared() {
    return sharedApplication;
}

bool Application::openFiles(const std::vector<std::string>& paths) {
    if (paths.empty())
        return newDocument() != nullptr;
    bool allOpened = true;
    for (const auto& path : paths)
        allOpened = openDocument(path) != nullptr && allOpened;
    return allOpened;
}

Document* Application::newDocument() {
    if (!documentType_.makeDocument)
        return nullptr;
    auto document = documentType_.makeDocument();
    document->setFileType(documentType_.name);
    document->setUntitledNumber(freeUntitledNumber());
    return addDocument(std::move(document));
}

// New documents are "Untitled", "Untitled 2", ...: the lowest number no open
// untitled document shows.
int Application::freeUntitledNumber() const {
    int number = 1;
    auto taken = [&](int candidate) {
        return std::any_of(documents_.begin(), documents_.end(), [&](const auto& open) {
            return !open->hasFileName() && open->untitledNumber() == candidate;
        });
    };
    while (taken(number))
        ++number;
    return number;
}

Document* Application::openDocument(const std::string& path) {
    if (Document* open = documentWithFile(path)) {
        showWindows(*open);
        return open;
    }
    if (!documentType_.makeDocument)
        return nullptr;
    auto document = documentType_.makeDocument();
    document->setFileType(documentType_.name);
    std::string problem;
    if (!document->readFromFile(path, problem)) {
        dialogs_.showError(
            fillIn(localized("The document “%1” could not be opened."), fileDisplayName(path)) +
            "\n" + problem);
        return nullptr;
    }
    return addDocument(std::move(document));
}

Document* Application::openDocument() {
    auto path = dialogs_.chooseFileToOpen(localized("Open"), documentType_.extension);
    return path ? openDocument(*path) : nullptr;
}

Document* Application::addDocument(std::unique_ptr<Document> document) {
    Document* added = document.get();
    documents_.push_back(std::move(document));
    added->makeWindowControllers();
    showWindows(*added);
    documentsChanged();
    return added;
}

bool Application::closeDocument(Document* document) {
    if (!document)
        return false;
    if (document->isDocumentEdited()) {
        auto choice = dialogs_.askToSaveChanges(
            fillIn(localized("Do you want to save the changes you made to the document “%1”?"),
                   document->displayName()) +
            "\n" + localized("Your changes will be lost if you don't save them."));
        if (choice == UserDialogs::SaveChoice::cancel)
            return false;
        if (choice == UserDialogs::SaveChoice::save && !saveDocument(document))
            return false;
    }
    removeDocument(document);
    return true;
}

void Application::removeDocument(Document* document) {
    auto found = std::find_if(documents_.begin(), documents_.end(),
                              [document](const auto& open) { return open.get() == document; });
    if (found == documents_.end())
        return;
    // Taken out of the list first, so handlers that run while its windows
    // close no longer see it.
    auto closing = std::move(*found);
    documents_.erase(found);
    closing.reset();
    documentsChanged();
}

bool Application::saveDocument(Document* document) {
    if (!document)
        return false;
    if (!document->hasFileName())
        return saveDocumentAs(document);
    std::string problem;
    bool saved = document->saveDocument(problem);
    if (!saved)
        dialogs_.showError(
            fillIn(localized("The document “%1” could not be saved."), document->displayName()) +
            "\n" + problem);
    documentsChanged();
    return saved;
}

bool Application::saveDocumentAs(Document* document) {
    if (!document)
        return false;
    auto path = chooseSavePath(localized("Save As"), *document, {documentType_.extension});
    if (!path)
        return false;
    std::string problem;
    bool saved = document->saveToFile(*path, problem);
    if (!saved)
        dialogs_.showError(
            fillIn(localized("The document “%1” could not be saved."), fileDisplayName(*path)) +
            "\n" + problem);
    documentsChanged();
    return saved;
}

std::optional<std::string> Application::chooseSavePath(const std::string& title,
                                                       const Document& document,
                                                       const std::vector<std::string>& extensions) {
    const std::string firstExtension = extensions.empty() ? std::string() : extensions.front();
    std::string filterExtension = firstExtension;
    auto chosen =
        dialogs_.chooseFileToSave(title, startingFolder(document),
                                  nameStem(document) + firstExtension, extensions, filterExtension);
    if (!chosen || endsInOneOf(*chosen, extensions))
        return chosen;
    // The chooser asked about the name as typed; the file really written
    // is another one, which may exist too.
    std::string path = *chosen + filterExtension;
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(path, error)) &&
        !dialogs_.confirm(fillIn(localized("“%1” already exists. Do you want to replace it?"),
                                 fileDisplayName(path)) +
                              "\n" + localized("Replacing it overwrites its current contents."),
                          localized("Replace")))
        return std::nullopt;
    return path;
}

bool Application::revertDocument(Document* document) {
    if (!document || !document->hasFileName())
        return false;
    if (document->isDocumentEdited() &&
        !dialogs_.confirm(
            fillIn(localized("Revert to the saved version of “%1”?"), document->displayName()) +
                "\n" + localized("Your current changes will be lost."),
            localized("Revert")))
        return false;
    std::string problem;
    bool reverted = document->revertToSaved(problem);
    if (!reverted)
        dialogs_.showError(
            fillIn(localized("The document “%1” could not be reverted."), document->displayName()) +
            "\n" + problem);
    documentsChanged();
    return reverted;
}

bool Application::undo(Document* document) {
    bool undone = document && document->undoManager().undo();
    documentsChanged();
    return undone;
}

bool Application::redo(Document* document) {
    bool redone = document && document->undoManager().redo();
    documentsChanged();
    return redone;
}

bool Application::quit() {
    quitting_ = true;
    // Newest first, as the windows are stacked.
    while (!documents_.empty()) {
        if (!closeDocument(documents_.back().get())) {
            quitting_ = false;
            return false;
        }
    }
    return true;
}

void Application::addMenuCommand(MenuCommand item, const std::string& after) {
    auto sameMenu = [&](const MenuCommand& other) { return other.menuTitle == item.menuTitle; };
    auto position =
        std::find_if(ownCommands_.begin(), ownCommands_.end(), [&](const MenuCommand& other) {
            return sameMenu(other) && other.title == after;
        });
    if (position != ownCommands_.end()) {
        ++position;
    } else {
        auto lastOfMenu = std::find_if(ownCommands_.rbegin(), ownCommands_.rend(), sameMenu);
        position = lastOfMenu == ownCommands_.rend() ? ownCommands_.end() : lastOfMenu.base();
    }
    noteMenu(item.menuTitle);
    ownCommands_.insert(position, std::move(item));
    composeMenuCommands(true);
}

void Application::setMenuFiller(const std::string& menuTitle,
                                std::function<std::vector<MenuCommand>()> fill) {
    noteMenu(menuTitle);
    std::erase_if(fillers_,
                  [&](const MenuFiller& filler) { return filler.menuTitle == menuTitle; });
    fillers_.push_back({menuTitle, std::move(fill), {}});
    refillMenus();
    composeMenuCommands(true);
}

void Application::noteMenu(const std::string& menuTitle) {
    if (std::find(menuOrder_.begin(), menuOrder_.end(), menuTitle) == menuOrder_.end())
        menuOrder_.push_back(menuTitle);
}

void Application::refillMenus() {
    bool changed = false;
    for (MenuFiller& filler : fillers_) {
        std::vector<MenuCommand> items = filler.fill ? filler.fill() : std::vector<MenuCommand>{};
        for (MenuCommand& item : items)
            item.menuTitle = filler.menuTitle;
        auto shownAlike = [](const MenuCommand& a, const MenuCommand& b) {
            return a.title == b.title && a.shortcut == b.shortcut &&
                   a.separatorAfter == b.separatorAfter;
        };
        // The actions are new either way; only a change the user can see rebuilds the menus.
        changed = changed || !std::equal(items.begin(), items.end(), filler.items.begin(),
                                         filler.items.end(), shownAlike);
        filler.items = std::move(items);
    }
    // The items are taken over in any case: their actions may act on other documents now.
    composeMenuCommands(changed);
}

void Application::composeMenuCommands(bool rebuildMenuBars) {
    menuCommands_.clear();
    for (const std::string& menuTitle : menuOrder_) {
        for (const MenuCommand& item : ownCommands_)
            if (item.menuTitle == menuTitle)
                menuCommands_.push_back(item);
        for (const MenuFiller& filler : fillers_)
            if (filler.menuTitle == menuTitle)
                menuCommands_.insert(menuCommands_.end(), filler.items.begin(), filler.items.end());
    }
    if (rebuildMenuBars)
        ++menuGeneration_;
}

bool Application::perform(const MenuCommand& item, Document* document) {
    if (item.command != Command::custom)
        return perform(item.command, document);
    if (!validateMenuItem(item, document) || !item.action)
        return false;
    item.action(document);
    documentsChanged();
    return true;
}

bool Application::isMenuItemChecked(const MenuCommand& item, const Document* document) const {
    return item.isChecked && item.isChecked(document);
}

bool Application::perform(Command command, Document* document) {
    switch (command) {
    case Command::newDocument:
        return newDocument() != nullptr;
    case Command::open:
        return openDocument() != nullptr;
    case Command::close:
        return closeDocument(document);
    case Command::save:
        return saveDocument(document);
    case Command::saveAs:
        return saveDocumentAs(document);
    case Command::revert:
        return revertDocument(document);
    case Command::quit:
        return quit();
    case Command::undo:
        return undo(document);
    case Command::redo:
        return redo(document);
    case Command::custom:
        break; // custom items run through perform(const MenuCommand&, ...)
    }
    return false;
}

std::string Application::menuItemTitle(const MenuCommand& item, const Document* document) const {
    std::string title = item.localizeTitle ? localized(item.title) : item.title;
    if (!document)
        return title;
    if (item.command == Command::undo)
        return Document::undoMenuTitle(false, document->undoManager().undoActionName());
    if (item.command == Command::redo)
        return Document::undoMenuTitle(true, document->undoManager().redoActionName());
    return title;
}

bool Application::validateMenuItem(const MenuCommand& item, const Document* document) const {
    if (item.command == Command::custom) {
        if (item.needsDocument && !document)
            return false;
        return !item.isEnabled || item.isEnabled(document);
    }
    switch (item.command) {
    case Command::newDocument:
    case Command::open:
    case Command::quit:
        return true;
    default:
        break;
    }
    if (!document)
        return false;
    return document->validateMenuItem(MenuItem{menuItemTitle(item, document)});
}

void Application::documentsChanged() {
    refillMenus();
    if (documentsChanged_)
        documentsChanged_();
}

Document* Application::documentWithFile(const std::string& path) const {
    const std::string key = samePathKey(path);
    for (const auto& document : documents_)
        if (document->hasFileName() && samePathKey(document->fileName()) == key)
            return document.get();
    return nullptr;
}

} // namespace Platform
