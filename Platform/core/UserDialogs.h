#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

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
    // A file to save to, starting in folder with suggestedName proposed and
    // a filter for each extension; no value when cancelled. chosenExtension
    // receives the extension of the filter in use when the user confirmed
    // (the first one where the chooser offers no choice).
    virtual std::optional<std::string> chooseFileToSave(const std::string& title,
                                                        const std::string& folder,
                                                        const std::string& suggestedName,
                                                        const std::vector<std::string>& extensions,
                                                        std::string& chosenExtension) = 0;
    // A width and a height in pixels, each from 1 to `largest`, with the
    // proposed ones filled in; no value when cancelled.
    struct PixelSize {
        int width = 0;
        int height = 0;
        bool operator==(const PixelSize&) const = default;
    };
    virtual std::optional<PixelSize> askForPixelSize(const std::string& title, PixelSize proposed,
                                                     int largest) = 0;
    // A question with two answers: the action (e.g. "Replace"), true, or Cancel.
    virtual bool confirm(const std::string& message, const std::string& actionButton) = 0;
    virtual void showError(const std::string& message) = 0;
    // Information the user asked for (help, the program's version), under a title.
    virtual void showMessage(const std::string& title, const std::string& message) = 0;

    // One line of a form: a label and its value, typed in, or picked from
    // the choices when there are any (the value is then one of them).
    struct FormField {
        std::string label;
        std::string value;
        std::vector<std::string> choices;
    };
    // A small form with OK and Cancel; the fields come back holding what the
    // user gave. False when cancelled; without a backend's form, the values
    // proposed are taken as they are.
    virtual bool fillInForm(const std::string& title, std::vector<FormField>& fields);

    // Work that goes on while the windows stay usable, a film being written
    // by another program, say. step() is called every few hundredths of a
    // second and answers how far the work is, from 0 to 1, with a line to
    // show; nothing once the work is over. The backend shows the progress
    // with a Cancel button, which calls cancel(); the steps go on until the
    // work says it is over.
    struct BackgroundWork {
        std::string title;
        std::function<std::optional<double>(std::string& status)> step;
        std::function<void()> cancel;
    };
    // Without a backend's progress window, the steps run one after the
    // other until the work is over.
    virtual void runInBackground(BackgroundWork work);
};

inline bool UserDialogs::fillInForm(const std::string&, std::vector<FormField>&) {
    return true;
}

inline void UserDialogs::runInBackground(BackgroundWork work) {
    std::string status;
    while (work.step(status))
        ;
}

} // namespace Platform
