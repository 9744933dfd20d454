#pragma once

#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>

#include <deque>
#include <string>
#include <vector>

namespace Platform {

class Document;
struct MenuCommand;

// The menu bar of a document window: the application's menus, built-in and custom.
// Titles (localised, Undo and Redo with the step's name) and enabled states
// are brought up to date by validate(), which runs before every menu opens
// and every shortcut is matched, and whenever the application refreshes.
class FltkMenuBar : public Fl_Menu_Bar {
public:
    FltkMenuBar(int x, int y, int width, int height);

    // The document the commands act on; null for none (only New, Open and
    // Quit then apply).
    void setDocument(Document* document) { document_ = document; }
    void validate();

    // The item of a menu command, found by its English title ("Save").
    const Fl_Menu_Item* itemForCommand(const std::string& englishTitle) const;

    // An FLTK shortcut from the form "Ctrl+Shift+S"; 0 for an empty text.
    static int shortcutFromText(const std::string& text);

protected:
    int handle(int event) override;

private:
    void build();
    static void itemChosen(Fl_Widget* widget, void* index);

    Document* document_ = nullptr;
    std::vector<Fl_Menu_Item> items_;
    // Index in items_ of each of the application's menu commands.
    std::vector<std::size_t> commandIndex_;
    // The application's menu generation the items were built from.
    int builtGeneration_ = 0;
    // Label storage: deque keeps addresses stable while it grows.
    std::deque<std::string> labels_;
};

} // namespace Platform
