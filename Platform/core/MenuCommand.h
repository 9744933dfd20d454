#pragma once

#include <string>
#include <vector>

namespace Platform {

// The commands of the application's menus.
enum class Command {
    newDocument,
    open,
    close,
    save,
    saveAs,
    revert,
    exportImage,
    quit,
    undo,
    redo
};

// One item of the menu bar as a window backend shows it: the menu it belongs
// to and its title (both English keys, localised when shown), its command and
// its keyboard shortcut in the toolkit-free form "Ctrl+Shift+S" (empty: none).
struct MenuCommand {
    std::string menuTitle;
    std::string title;
    Command command;
    std::string shortcut;
    bool separatorAfter = false;

    // File: New, Open..., Close, Save, Save As..., Revert To Saved,
    // Export Image..., Quit;
    // Edit: Undo, Redo.
    static const std::vector<MenuCommand>& menuBar();
};

} // namespace Platform
