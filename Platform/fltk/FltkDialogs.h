#pragma once

#include "Platform/core/UserDialogs.h"

namespace Platform {

// The application's questions as FLTK dialogs: a three-button choice, the
// native file chooser (FLTK's own where there is none) and an alert.
class FltkDialogs : public UserDialogs {
public:
    SaveChoice askToSaveChanges(const std::string& message) override;
    std::optional<std::string> chooseFileToOpen(const std::string& title,
                                                const std::string& extension) override;
    std::optional<std::string> chooseFileToSave(const std::string& title,
                                                const std::string& suggestedName,
                                                const std::string& extension) override;
    void showError(const std::string& message) override;
};

} // namespace Platform
