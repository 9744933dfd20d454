#pragma once

#include "Platform/core/UserDialogs.h"

#include <string>

namespace Platform {

// The application's questions as FLTK dialogs: a three-button choice, the
// native file chooser (FLTK's own where there is none) and an alert, each
// titled with the program's name and labelled in the user's language.
class FltkDialogs : public UserDialogs {
public:
    // The title of every message box: the program's name.
    void setTitle(const std::string& title) { title_ = title; }

    SaveChoice askToSaveChanges(const std::string& message) override;
    std::optional<std::string> chooseFileToOpen(const std::string& title,
                                                const std::string& extension) override;
    std::optional<std::string> chooseFileToSave(const std::string& title, const std::string& folder,
                                                const std::string& suggestedName,
                                                const std::vector<std::string>& extensions,
                                                std::string& chosenExtension) override;
    std::optional<PixelSize> askForPixelSize(const std::string& title, PixelSize proposed,
                                             int largest) override;
    bool confirm(const std::string& message, const std::string& actionButton) override;
    void showError(const std::string& message) override;
    void showMessage(const std::string& title, const std::string& message) override;
    bool fillInForm(const std::string& title, std::vector<FormField>& fields) override;
    void runInBackground(BackgroundWork work) override;

    // Puts FLTK's own texts (the alert's button, the file chooser's labels)
    // into the user's language; the dialogs do it before they show.
    static void localizeToolkitTexts();

private:
    void prepareMessageBox() const;

    std::string title_;
};

} // namespace Platform
