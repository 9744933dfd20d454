#pragma once

#include "Platform/core/UserDialogs.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace VexmiraGuiTest {

// Answers the application's questions from queues a test fills, and records
// what was asked. An empty queue answers Cancel / no file.
class ScriptedDialogs : public Platform::UserDialogs {
public:
    SaveChoice askToSaveChanges(const std::string& message) override {
        questions.push_back(message);
        if (saveChoices.empty())
            return SaveChoice::cancel;
        SaveChoice choice = saveChoices.front();
        saveChoices.pop_front();
        return choice;
    }
    std::optional<std::string> chooseFileToOpen(const std::string&, const std::string&) override {
        return nextFile();
    }
    std::optional<std::string> chooseFileToSave(const std::string&, const std::string&,
                                                const std::string&) override {
        return nextFile();
    }
    void showError(const std::string& message) override { errors.push_back(message); }

    std::deque<SaveChoice> saveChoices;
    std::deque<std::string> files;
    std::vector<std::string> questions;
    std::vector<std::string> errors;

private:
    std::optional<std::string> nextFile() {
        if (files.empty())
            return std::nullopt;
        std::string file = files.front();
        files.pop_front();
        return file;
    }
};

} // namespace VexmiraGuiTest
