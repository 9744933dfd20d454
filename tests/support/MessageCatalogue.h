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
    std::string line, id, translation, *current = nullptr;
    bool inEntry = false;
    auto finish = [&] {
        if (inEntry && !id.empty())
            entries[id] = translation;
        id.clear(), translation.clear(), inEntry = false, current = nullptr;
    };
    auto unquote = [](const std::string& quoted) {
        std::string result;
        for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
            if (quoted[i] == '\\' && i + 2 < quoted.size()) {
                const char escaped = quoted[++i];
                result += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
            } else {
                result += quoted[i];
            }
        }
        return result;
    };
    while (std::getline(lines, line)) {
        if (line.starts_with("msgid ")) {
            finish();
            inEntry = true;
            current = &id;
            *current += unquote(line.substr(6));
        } else if (line.starts_with("msgstr ")) {
            current = &translation;
            *current += unquote(line.substr(7));
        } else if (line.starts_with("\"") && current) {
            *current += unquote(line);
        }
    }
    finish();
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
