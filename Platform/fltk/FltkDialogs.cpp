#include "Platform/fltk/FltkDialogs.h"

#include "Platform/core/Localization.h"

#include <FL/Fl_Native_File_Chooser.H>
#include <FL/fl_ask.H>

namespace Platform {

namespace {

// The chooser's filter: "Vexmira documents\t*.vexmira".
std::string filterFor(const std::string& extension) {
    if (extension.empty())
        return {};
    const std::string kind =
        extension == ".png" ? localized("PNG images") : localized("Vexmira documents");
    return kind + "\t*" + extension;
}

std::optional<std::string> runChooser(Fl_Native_File_Chooser& chooser) {
    // 0 is a choice, 1 a cancel, -1 an error (reported by FLTK's chooser).
    if (chooser.show() != 0 || !chooser.filename() || !*chooser.filename())
        return std::nullopt;
    return std::string(chooser.filename());
}

} // namespace

UserDialogs::SaveChoice FltkDialogs::askToSaveChanges(const std::string& message) {
    std::string cancel = localized("Cancel");
    std::string save = localized("Save");
    std::string dontSave = localized("Don't Save");
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

std::optional<std::string> FltkDialogs::chooseFileToOpen(const std::string& title,
                                                         const std::string& extension) {
    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_FILE);
    chooser.title(title.c_str());
    std::string filter = filterFor(extension);
    chooser.filter(filter.c_str());
    return runChooser(chooser);
}

std::optional<std::string> FltkDialogs::chooseFileToSave(const std::string& title,
                                                         const std::string& suggestedName,
                                                         const std::string& extension) {
    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_SAVE_FILE);
    chooser.title(title.c_str());
    std::string filter = filterFor(extension);
    chooser.filter(filter.c_str());
    chooser.preset_file(suggestedName.c_str());
    chooser.options(Fl_Native_File_Chooser::SAVEAS_CONFIRM | Fl_Native_File_Chooser::NEW_FOLDER);
    return runChooser(chooser);
}

void FltkDialogs::showError(const std::string& message) {
    fl_alert("%s", message.c_str());
}

} // namespace Platform
