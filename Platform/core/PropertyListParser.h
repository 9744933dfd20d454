#pragma once

#include "Platform/core/PropertyList.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace Platform {

// Where and why a text is not a property list. Lines and columns count from
// 1; a column counts bytes.
struct PropertyListError {
    int line = 0;
    int column = 0;
    std::string message;

    // "line 3, column 7: expected ';' after the value of "key""
    std::string description() const;
};

// Reads OpenStep text property lists: dictionaries { key = value; ... },
// arrays ( value, ... ), data <0fbd 7773>, quoted strings with C-style, octal and \U escapes,
// unquoted strings, // and /* */ comments and any white space. Malformed text
// is an error with its position, never a crash: nesting is limited and
// nothing grows beyond the size of the text.
class PropertyListParser {
public:
    static constexpr int maximumDepth = 256;

    static std::optional<PropertyList> parse(std::string_view text, PropertyListError& error);
    // As parse(), and the text must be one dictionary.
    static std::optional<PropertyList::Dictionary> parseDictionary(std::string_view text,
                                                                   PropertyListError& error);

private:
    explicit PropertyListParser(std::string_view text) : text_(text) {}

    bool parseValue(int depth, PropertyList& value);
    bool parseDictionaryBody(int depth, PropertyList& value);
    bool parseArrayBody(int depth, PropertyList& value);
    bool parseData(PropertyList& value);
    bool parseString(std::string& string);
    bool parseQuotedString(std::string& string);
    bool parseEscape(std::string& string);
    bool parseUnicodeEscape(std::string& string);
    bool parseUnquotedString(std::string& string);
    bool skipWhiteSpaceAndComments();
    bool expect(char c, const std::string& what);

    bool atEnd() const { return position_ >= text_.size(); }
    char peek(std::size_t ahead = 0) const;
    bool fail(std::size_t position, std::string message);
    std::string positionText(std::size_t position) const;

    std::string_view text_;
    std::size_t position_ = 0;
    PropertyListError error_;
};

} // namespace Platform
