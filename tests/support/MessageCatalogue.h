#pragma once

#include <fstream>
#include <iterator>
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
    std::istringstream lines(text);
    std::string id, translation, *current = nullptr;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("msgid ")) {
            if (!id.empty())
                entries[id] = translation;
            id.clear(), translation.clear(), current = &id;
        } else if (line.starts_with("msgstr ")) {
            current = &translation;
        } else if (!line.starts_with("\"") || !current) {
            continue;
        }
        const std::size_t begin = line.find('"'), end = line.rfind('"');
        for (std::size_t i = begin + 1; begin < end && i < end; ++i) {
            if (line[i] == '\\' && i + 1 < end) {
                const char escaped = line[++i];
                *current += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
            } else {
                *current += line[i];
            }
        }
    }
    if (!id.empty())
        entries[id] = translation;
    return entries;
}

inline std::map<std::string, std::string> readCatalogue(const std::string& path) {
    std::ifstream stream(path);
    return parseCatalogue({std::istreambuf_iterator<char>(stream), {}});
}

// The placeholders (%1, %2, ...) a message holds: a translation must keep every one.
inline std::set<std::string> placeholdersOf(const std::string& message) {
    static const std::regex placeholder("%[1-9]");
    std::set<std::string> found;
    for (std::sregex_iterator i(message.begin(), message.end(), placeholder), end; i != end; ++i)
        found.insert(i->str());
    return found;
}

} // namespace VexmiraTest
