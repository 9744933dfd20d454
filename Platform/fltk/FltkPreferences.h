#pragma once

#include "Platform/core/Preferences.h"

#include <map>
#include <memory>
#include <string>

class Fl_Preferences;

namespace Platform {

// Preferences in FLTK's text format, in the file FOLDER/PROGRAM.prefs; the
// folder is made when the first value is written. With no folder, values
// hold for the run only.
class FltkPreferences : public Preferences {
public:
    FltkPreferences(const std::string& folder, const std::string& program);
    ~FltkPreferences() override;
    FltkPreferences(const FltkPreferences&) = delete;
    FltkPreferences& operator=(const FltkPreferences&) = delete;

    bool boolValue(const std::string& key, bool defaultValue) const override;
    bool setBoolValue(const std::string& key, bool value) override;

private:
    // Whether the file, read afresh, holds the value as written.
    bool fileHolds(const std::string& key, const std::string& text) const;

    std::string folder_, program_;
    std::unique_ptr<Fl_Preferences> file_;
    // Values of this run that could not be written.
    std::map<std::string, bool> unwritten_;
};

} // namespace Platform
