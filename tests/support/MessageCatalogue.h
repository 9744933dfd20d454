#pragma once

#include "support/TemporaryFolder.h"

#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace VexmiraTest {

// The entries of a gettext catalogue (.po or .pot) by message id; the header (the empty id)
// is left out. Strings continued over several lines are joined and their escapes undone.
inline std::map<std::string, std::string> parseCatalogue(const std::string& text) {
    std::map<std::string, std::string> entries;
    std::istringstream lines(text + "\nmsgid \"\""); // the last id stores the entry before it
    std::string id, translation, *current = nullptr;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("msgid ") && !id.empty())
            entries[id] = translation;
        if (line.starts_with("msgid "))
            id.clear(), translation.clear(), current = &id;
        else if (line.starts_with("msgstr "))
            current = &translation;
        else if (!line.starts_with("\"") || !current)
            continue;
        const std::size_t begin = line.find('"'), end = line.rfind('"');
        for (std::size_t i = begin + 1; begin < end && i < end; ++i) {
            const bool escape = line[i] == '\\' && i + 1 < end;
            const char c = line[i += escape];
            *current += !escape ? c : c == 'n' ? '\n' : c == 't' ? '\t' : c;
        }
    }
    return entries;
}

inline std::map<std::string, std::string> readCatalogue(const std::string& path) {
    return parseCatalogue(TemporaryFolder::read(path));
}

// The placeholders (%1, %2, ...) a message holds: a translation must keep every one.
inline std::set<std::string> placeholdersOf(const std::string& message) {
    static const std::regex placeholder("%[1-9]");
    return {std::sregex_token_iterator(message.begin(), message.end(), placeholder), {}};
}

} // namespace VexmiraTest
