#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace Platform {

class Document;

// The commands of the application's menus. `custom` items carry their own
// action: the program adds them to the menu bar through the application.
enum class Command { newDocument, open, close, save, saveAs, revert, quit, undo, redo, custom };

// One item of the menu bar as a window backend shows it: the menu it belongs
// to and its title (both English keys, localised when shown), its command and
// its keyboard shortcut in the toolkit-free form "Ctrl+Shift+S", "Home",
// "F11" (empty: none).
struct MenuCommand {
    MenuCommand(std::string menuTitle, std::string title, Command command = Command::custom,
                std::string shortcut = {}, bool separatorAfter = false)
        : menuTitle(std::move(menuTitle)), title(std::move(title)), command(command),
          shortcut(std::move(shortcut)), separatorAfter(separatorAfter) {}

    std::string menuTitle;
    std::string title;
    Command command = Command::custom;
    std::string shortcut;
    bool separatorAfter = false;

    // What a custom item does and how it shows. An item that needs a
    // document is disabled while none is in front; isEnabled, when set,
    // decides beyond that; isChecked, when set, makes the item a check box.
    std::function<void(Document*)> action;
    std::function<bool(const Document*)> isEnabled;
    std::function<bool(const Document*)> isChecked;
    bool needsDocument = true;
    // False for titles that are names rather than words, such as a
    // document's name in a Window menu.
    bool localizeTitle = true;

    // File: New, Open..., Close, Save, Save As..., Revert To Saved, Quit;
    // Edit: Undo, Redo.
    static const std::vector<MenuCommand>& menuBar();
};

} // namespace Platform
