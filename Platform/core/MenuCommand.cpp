#include "Platform/core/MenuCommand.h"

namespace Platform {

const std::vector<MenuCommand>& MenuCommand::menuBar() {
    static const std::vector<MenuCommand> items = {
        {"File", "New", Command::newDocument, "Ctrl+N"},
        {"File", "Open...", Command::open, "Ctrl+O", true},
        {"File", "Close", Command::close, "Ctrl+W"},
        {"File", "Save", Command::save, "Ctrl+S"},
        {"File", "Save As...", Command::saveAs, "Ctrl+Shift+S"},
        {"File", "Revert To Saved", Command::revert, "", true},
        {"File", "Quit", Command::quit, "Ctrl+Q"},
        {"Edit", "Undo", Command::undo, "Ctrl+Z"},
        {"Edit", "Redo", Command::redo, "Ctrl+Shift+Z"},
    };
    return items;
}

} // namespace Platform
