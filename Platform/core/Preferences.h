#pragma once

#include <string>

namespace Platform {

// The user's choices that outlast a run of the program, as named yes/no
// values. Toolkit-free: a backend keeps them in a file of the user's
// configuration folder.
class Preferences {
public:
    virtual ~Preferences() = default;

    // The stored value; defaultValue when none is stored or what is stored
    // is not a yes/no value.
    virtual bool boolValue(const std::string& key, bool defaultValue) const = 0;
    // Stores the value and writes it out at once. False when it could not
    // be written; it then holds for this run only.
    virtual bool setBoolValue(const std::string& key, bool value) = 0;

    // The folder for a program's preferences: $XDG_CONFIG_HOME/program when
    // that is an absolute path, ~/.config/program otherwise; empty when
    // there is no home either.
    static std::string userFolder(const std::string& program);
};

} // namespace Platform
