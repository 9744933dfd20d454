#include "Platform/fltk/FltkMenuBar.h"

#include "Platform/core/Application.h"
#include "Platform/core/Localization.h"
#include "Platform/core/MenuCommand.h"

#include <FL/Fl.H>

#include <cctype>

namespace Platform {

FltkMenuBar::FltkMenuBar(int x, int y, int width, int height) : Fl_Menu_Bar(x, y, width, height) {
    build();
    validate();
}

namespace {

// Keys named in shortcut texts besides single characters.
int namedKey(const std::string& key) {
    static const struct {
        const char* name;
        int key;
    } keys[] = {{"Home", FL_Home},     {"End", FL_End},        {"Space", ' '},
                {"Escape", FL_Escape}, {"PageUp", FL_Page_Up}, {"PageDown", FL_Page_Down},
                {"Left", FL_Left},     {"Right", FL_Right},    {"Up", FL_Up},
                {"Down", FL_Down}};
    for (const auto& named : keys)
        if (key == named.name)
            return named.key;
    if (key.size() >= 2 && key.size() <= 3 && key[0] == 'F' &&
        std::isdigit(static_cast<unsigned char>(key[1]))) {
        int number = std::stoi(key.substr(1));
        if (number >= 1 && number <= 12)
            return FL_F + number;
    }
    return 0;
}

// FLTK underlines the letter after "&" in a label; names such as a file's
// must show it as it is.
std::string menuLabel(const std::string& title) {
    std::string label;
    for (char c : title) {
        label += c;
        if (c == '&')
            label += '&';
    }
    return label;
}

const std::vector<MenuCommand>& commandsShown() {
    Application* application = Application::shared();
    return application ? application->menuCommands() : MenuCommand::menuBar();
}

} // namespace

int FltkMenuBar::shortcutFromText(const std::string& text) {
    if (text.empty())
        return 0;
    int shortcut = 0;
    std::size_t start = 0;
    while (true) {
        auto plus = text.find('+', start);
        if (plus == std::string::npos || plus + 1 == text.size())
            break;
        std::string modifier = text.substr(start, plus - start);
        if (modifier == "Ctrl")
            shortcut |= FL_COMMAND;
        else if (modifier == "Shift")
            shortcut |= FL_SHIFT;
        else if (modifier == "Alt")
            shortcut |= FL_ALT;
        start = plus + 1;
    }
    std::string key = text.substr(start);
    if (key.size() == 1) {
        char c = key[0];
        // With Shift the key arrives as the capital letter.
        shortcut |= (shortcut & FL_SHIFT) ? std::toupper(static_cast<unsigned char>(c))
                                          : std::tolower(static_cast<unsigned char>(c));
    } else {
        shortcut |= namedKey(key);
    }
    return shortcut;
}

void FltkMenuBar::build() {
    const auto& commands = commandsShown();
    Application* application = Application::shared();
    builtGeneration_ = application ? application->menuGeneration() : 0;
    items_.clear();
    commandIndex_.clear();
    labels_.clear();
    std::string currentMenu;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const MenuCommand& command = commands[i];
        if (command.menuTitle != currentMenu) {
            if (!currentMenu.empty())
                items_.push_back(Fl_Menu_Item{}); // ends the previous submenu
            currentMenu = command.menuTitle;
            labels_.push_back(menuLabel(localized(currentMenu)));
            Fl_Menu_Item submenu{};
            submenu.text = labels_.back().c_str();
            submenu.flags = FL_SUBMENU;
            items_.push_back(submenu);
        }
        labels_.push_back(
            menuLabel(command.localizeTitle ? localized(command.title) : command.title));
        Fl_Menu_Item item{};
        item.text = labels_.back().c_str();
        item.shortcut_ = shortcutFromText(command.shortcut);
        item.callback_ = itemChosen;
        item.user_data_ = reinterpret_cast<void*>(i);
        item.flags = (command.separatorAfter ? FL_MENU_DIVIDER : 0) |
                     (command.isChecked ? FL_MENU_TOGGLE : 0);
        commandIndex_.push_back(items_.size());
        items_.push_back(item);
    }
    items_.push_back(Fl_Menu_Item{}); // ends the last submenu
    items_.push_back(Fl_Menu_Item{}); // ends the menu bar
    menu(items_.data());
}

void FltkMenuBar::validate() {
    Application* application = Application::shared();
    if (application && application->menuGeneration() != builtGeneration_)
        build();
    const auto& commands = commandsShown();
    for (std::size_t i = 0; i < commands.size(); ++i) {
        Fl_Menu_Item& item = items_[commandIndex_[i]];
        std::string title = menuLabel(
            application ? application->menuItemTitle(commands[i], document_) : commands[i].title);
        if (title != item.text) {
            labels_.push_back(title);
            item.text = labels_.back().c_str();
        }
        bool enabled = application && application->validateMenuItem(commands[i], document_);
        if (enabled)
            item.activate();
        else
            item.deactivate();
        if (application && application->isMenuItemChecked(commands[i], document_))
            item.set();
        else
            item.clear();
    }
    // Old titles are kept only while the deque is small; a long session of
    // changing Undo names must not grow it without end.
    if (labels_.size() > 512) {
        build();
        validate();
    }
}

const Fl_Menu_Item* FltkMenuBar::itemForCommand(const std::string& englishTitle) const {
    const auto& commands = commandsShown();
    for (std::size_t i = 0; i < commands.size() && i < commandIndex_.size(); ++i)
        if (commands[i].title == englishTitle)
            return &items_[commandIndex_[i]];
    return nullptr;
}

int FltkMenuBar::handle(int event) {
    if (event == FL_PUSH || event == FL_SHORTCUT || event == FL_KEYBOARD)
        validate();
    return Fl_Menu_Bar::handle(event);
}

void FltkMenuBar::itemChosen(Fl_Widget* widget, void* index) {
    auto* bar = static_cast<FltkMenuBar*>(widget);
    Application* application = Application::shared();
    const auto position = reinterpret_cast<std::size_t>(index);
    if (!application || position >= application->menuCommands().size())
        return;
    // The command may close the document and with it this window: nothing of
    // the bar is used afterwards. The item is copied, as its action may add
    // items to the menu bar.
    Document* document = bar->document_;
    const MenuCommand item = application->menuCommands()[position];
    application->perform(item, document);
}

} // namespace Platform
