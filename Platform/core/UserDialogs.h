#pragma once

#include <optional>
#include <string>

namespace Platform {

// The questions the application puts to the user, answered by the window
// backend's dialogs (or by a script in tests). Texts arrive localised.
class UserDialogs {
public:
    enum class SaveChoice { save, dontSave, cancel };

    virtual ~UserDialogs() = default;

    // "Save / Don't Save / Cancel" before unsaved changes would be lost.
    virtual SaveChoice askToSaveChanges(const std::string& message) = 0;
    // A file to open, filtered to files ending in extension (".vexmira");
    // no value when the user cancels.
    virtual std::optional<std::string> chooseFileToOpen(const std::string& title,
                                                        const std::string& extension) = 0;
    // A file to save to, proposing suggestedName; no value when cancelled.
    virtual std::optional<std::string> chooseFileToSave(const std::string& title,
                                                        const std::string& suggestedName,
                                                        const std::string& extension) = 0;
    virtual void showError(const std::string& message) = 0;
};

} // namespace Platform
