#include "Platform/fltk/FltkPreferences.h"

#include <FL/Fl_Preferences.H>

#include <cstdlib>

namespace Platform {

namespace {

constexpr char yes[] = "1";
constexpr char no[] = "0";

// The entry's text as stored, or nothing.
std::string textOf(Fl_Preferences& preferences, const std::string& key) {
    char* text = nullptr;
    preferences.get(key.c_str(), text, "");
    std::string value = text ? text : "";
    std::free(text);
    return value;
}

} // namespace

FltkPreferences::FltkPreferences(const std::string& folder, const std::string& program)
    : folder_(folder), program_(program) {
    if (!folder_.empty())
        file_ =
            std::make_unique<Fl_Preferences>(folder_.c_str(), program_.c_str(), program_.c_str());
}

FltkPreferences::~FltkPreferences() = default;

bool FltkPreferences::boolValue(const std::string& key, bool defaultValue) const {
    if (auto unwritten = unwritten_.find(key); unwritten != unwritten_.end())
        return unwritten->second;
    if (!file_)
        return defaultValue;
    const std::string text = textOf(*file_, key);
    // A value edited by hand into something else counts as none.
    if (text == yes)
        return true;
    if (text == no)
        return false;
    return defaultValue;
}

bool FltkPreferences::setBoolValue(const std::string& key, bool value) {
    const char* text = value ? yes : no;
    if (file_ && file_->set(key.c_str(), text)) {
        file_->flush();
        if (fileHolds(key, text)) {
            unwritten_.erase(key);
            return true;
        }
    }
    unwritten_[key] = value;
    return false;
}

bool FltkPreferences::fileHolds(const std::string& key, const std::string& text) const {
    // FLTK does not say whether its file was written; reading it back does.
    Fl_Preferences written(folder_.c_str(), program_.c_str(), program_.c_str());
    return textOf(written, key) == text;
}

} // namespace Platform
