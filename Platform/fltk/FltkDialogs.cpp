#include "Platform/fltk/FltkDialogs.h"

#include "Platform/core/Localization.h"
#include "Platform/fltk/FltkFormDialog.h"
#include "Platform/fltk/FltkProgressWindow.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Int_Input.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_ask.H>

#include <array>
#include <cstdlib>
#include <utility>

namespace Platform {

namespace {

// A chooser filter line: "Vexmira documents\t*.vexmira".
std::string filterLine(const std::string& extension) {
    std::string kind;
    if (extension == ".vexmira")
        kind = localized("Vexmira documents");
    else if (extension == ".png")
        kind = localized("PNG images");
    else {
        std::string upper = extension.substr(1);
        for (char& c : upper)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        kind = fillIn(localized("%1 files"), upper);
    }
    return kind + "\t*" + extension;
}

std::string filterFor(const std::vector<std::string>& extensions) {
    std::string filter;
    for (const auto& extension : extensions) {
        if (extension.empty())
            continue;
        if (!filter.empty())
            filter += "\n";
        filter += filterLine(extension);
    }
    return filter;
}

std::optional<std::string> runChooser(Fl_Native_File_Chooser& chooser) {
    FltkDialogs::localizeToolkitTexts();
    // 0 is a choice, 1 a cancel, -1 an error (reported by FLTK's chooser).
    if (chooser.show() != 0 || !chooser.filename() || !*chooser.filename())
        return std::nullopt;
    return std::string(chooser.filename());
}

} // namespace

void FltkDialogs::localizeToolkitTexts() {
    static std::array<std::string, 19> texts;
    std::size_t next = 0;
    // FLTK keeps pointers to its label texts; the translations live here.
    auto set = [&](const char*& label, std::string translation) {
        texts.at(next) = std::move(translation);
        label = texts.at(next++).c_str();
    };
    set(fl_ok, localized("OK"));
    set(fl_cancel, localized("Cancel"));
    set(fl_close, localized("Close"));
    set(fl_yes, localized("Yes"));
    set(fl_no, localized("No"));
    set(Fl_File_Chooser::add_favorites_label, localized("Add to Favorites"));
    set(Fl_File_Chooser::all_files_label, localized("All Files (*)"));
    set(Fl_File_Chooser::custom_filter_label, localized("Custom Filter"));
    set(Fl_File_Chooser::existing_file_label, localized("Please choose an existing file!"));
    set(Fl_File_Chooser::favorites_label, localized("Favorites"));
    set(Fl_File_Chooser::filename_label, localized("Filename:"));
    set(Fl_File_Chooser::filesystems_label, localized("File Systems"));
    set(Fl_File_Chooser::manage_favorites_label, localized("Manage Favorites"));
    set(Fl_File_Chooser::new_directory_label, localized("New Directory?"));
    set(Fl_File_Chooser::new_directory_tooltip, localized("Create a new directory."));
    set(Fl_File_Chooser::preview_label, localized("Preview"));
    set(Fl_File_Chooser::show_label, localized("Show:"));
    set(Fl_File_Chooser::hidden_label, localized("Show hidden files"));
    set(Fl_Native_File_Chooser::file_exists_message,
        localized("This file already exists. Do you want to replace it?"));
}

void FltkDialogs::prepareMessageBox() const {
    localizeToolkitTexts();
    fl_message_title(title_.c_str());
}

UserDialogs::SaveChoice FltkDialogs::askToSaveChanges(const std::string& message) {
    std::string cancel = localized("Cancel");
    std::string save = localized("Save");
    std::string dontSave = localized("Don't Save");
    prepareMessageBox();
    // fl_choice shows its buttons right to left; Escape answers the first.
    int answer = fl_choice("%s", cancel.c_str(), save.c_str(), dontSave.c_str(), message.c_str());
    switch (answer) {
    case 1:
        return SaveChoice::save;
    case 2:
        return SaveChoice::dontSave;
    default:
        return SaveChoice::cancel;
    }
}

bool FltkDialogs::confirm(const std::string& message, const std::string& actionButton) {
    std::string cancel = localized("Cancel");
    prepareMessageBox();
    return fl_choice("%s", cancel.c_str(), actionButton.c_str(), nullptr, message.c_str()) == 1;
}

std::optional<std::string> FltkDialogs::chooseFileToOpen(const std::string& title,
                                                         const std::string& extension) {
    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_FILE);
    chooser.title(title.c_str());
    std::string filter = filterFor({extension});
    chooser.filter(filter.c_str());
    return runChooser(chooser);
}

std::optional<std::string> FltkDialogs::chooseFileToSave(const std::string& title,
                                                         const std::string& folder,
                                                         const std::string& suggestedName,
                                                         const std::vector<std::string>& extensions,
                                                         std::string& chosenExtension) {
    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_SAVE_FILE);
    chooser.title(title.c_str());
    std::string filter = filterFor(extensions);
    chooser.filter(filter.c_str());
    chooser.directory(folder.c_str());
    chooser.preset_file(suggestedName.c_str());
    chooser.options(Fl_Native_File_Chooser::SAVEAS_CONFIRM | Fl_Native_File_Chooser::NEW_FOLDER);
    auto chosen = runChooser(chooser);
    // The filters are the non-empty extensions, in order.
    int filterIndex = chooser.filter_value();
    for (const auto& extension : extensions)
        if (!extension.empty() && filterIndex-- == 0)
            chosenExtension = extension;
    return chosen;
}

std::optional<UserDialogs::PixelSize>
FltkDialogs::askForPixelSize(const std::string& title, PixelSize proposed, int largest) {
    localizeToolkitTexts();
    Fl_Window dialog(320, 150);
    dialog.copy_label(title.c_str());
    Fl_Box prompt(15, 10, 290, 25);
    prompt.copy_label(localized("Size of the image in pixels:").c_str());
    prompt.align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    Fl_Int_Input width(110, 42, 100, 25), height(110, 74, 100, 25);
    const std::string widthLabel = localized("Width"), heightLabel = localized("Height");
    width.label(widthLabel.c_str());
    height.label(heightLabel.c_str());
    width.value(std::to_string(proposed.width).c_str());
    height.value(std::to_string(proposed.height).c_str());
    Fl_Return_Button ok(120, 112, 90, 26, fl_ok);
    Fl_Button cancel(220, 112, 90, 26, fl_cancel);
    dialog.end();
    dialog.set_modal();
    // OK reports through `pressed`; Cancel and the close box hide the dialog.
    bool pressed = false;
    ok.callback([](Fl_Widget*, void* flag) { *static_cast<bool*>(flag) = true; }, &pressed);
    cancel.callback([](Fl_Widget* button, void*) { button->window()->hide(); });
    dialog.show();
    const std::string refusal = fillIn(
        localized("Width and height are whole numbers from 1 to %1."), std::to_string(largest));
    while (dialog.shown()) {
        Fl::wait();
        if (!pressed)
            continue;
        pressed = false;
        const int w = std::atoi(width.value()), h = std::atoi(height.value());
        if (w >= 1 && w <= largest && h >= 1 && h <= largest)
            return PixelSize{w, h};
        prepareMessageBox();
        fl_alert("%s", refusal.c_str());
    }
    return std::nullopt;
}

void FltkDialogs::showError(const std::string& message) {
    prepareMessageBox();
    fl_alert("%s", message.c_str());
}

void FltkDialogs::showMessage(const std::string& title, const std::string& message) {
    prepareMessageBox();
    fl_message_title(title.c_str());
    fl_message("%s", message.c_str());
}

bool FltkDialogs::fillInForm(const std::string& title, std::vector<FormField>& fields) {
    localizeToolkitTexts();
    return FltkFormDialog::ask(title, fields);
}

void FltkDialogs::runInBackground(BackgroundWork work) {
    FltkProgressWindow::start(std::move(work));
}

} // namespace Platform
