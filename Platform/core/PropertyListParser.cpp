#include "Platform/core/PropertyListParser.h"

#include "Platform/core/Localization.h"

#include <cstdint>
#include <cstdio>
#include <utility>

namespace Platform {

namespace {

bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void appendUtf8(std::string& out, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// A character as a message shows it: printable ones quoted, others in hex.
std::string shown(char c) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x21 && byte < 0x7f)
        return std::string("'") + c + "'";
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", byte);
    return fillIn(localized("the byte %1"), hex);
}

// What was found where a dictionary was expected, as the messages say it.
std::string kindText(PropertyList::Kind kind) {
    switch (kind) {
    case PropertyList::Kind::string:
        return localized("a string");
    case PropertyList::Kind::data:
        return localized("data");
    case PropertyList::Kind::array:
        return localized("an array");
    case PropertyList::Kind::dictionary:
        break;
    }
    return localized("a dictionary");
}

} // namespace

std::string PropertyListError::description() const {
    return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + message;
}

std::optional<PropertyList> PropertyListParser::parse(std::string_view text,
                                                      PropertyListError& error) {
    PropertyListParser parser(text);
    PropertyList value;
    bool parsed =
        parser.parseValue(0, value) && parser.skipWhiteSpaceAndComments() &&
        (parser.atEnd() ||
         parser.fail(parser.position_, localized("unexpected text after the property list")));
    if (!parsed) {
        error = std::move(parser.error_);
        return std::nullopt;
    }
    return value;
}

std::optional<PropertyList::Dictionary>
PropertyListParser::parseDictionary(std::string_view text, PropertyListError& error) {
    PropertyListParser parser(text);
    if (!parser.skipWhiteSpaceAndComments()) {
        error = std::move(parser.error_);
        return std::nullopt;
    }
    std::size_t start = parser.position_;
    auto value = parse(text, error);
    if (!value)
        return std::nullopt;
    if (!value->isDictionary()) {
        parser.fail(start, fillIn(localized("expected a dictionary but found %1"),
                                  kindText(value->kind())));
        error = std::move(parser.error_);
        return std::nullopt;
    }
    return value->dictionary();
}

bool PropertyListParser::parseValue(int depth, PropertyList& value) {
    if (!skipWhiteSpaceAndComments())
        return false;
    if (atEnd())
        return fail(position_, localized("unexpected end of text, expected a value"));
    char c = peek();
    if (c == '{' || c == '(') {
        if (depth >= maximumDepth)
            return fail(position_, fillIn(localized("nested more than %1 levels deep"),
                                          std::to_string(maximumDepth)));
        return c == '{' ? parseDictionaryBody(depth + 1, value) : parseArrayBody(depth + 1, value);
    }
    if (c == '<')
        return parseData(value);
    std::string string;
    if (!parseString(string))
        return false;
    value = PropertyList(std::move(string));
    return true;
}

bool PropertyListParser::parseDictionaryBody(int depth, PropertyList& value) {
    std::size_t opening = position_++;
    PropertyList::Dictionary dictionary;
    for (;;) {
        if (!skipWhiteSpaceAndComments())
            return false;
        if (atEnd())
            return fail(position_,
                        fillIn(localized("the dictionary opened at %1 is not closed with '}'"),
                               positionText(opening)));
        if (peek() == '}')
            break;
        std::string key;
        PropertyList entry;
        if (!parseString(key) || !skipWhiteSpaceAndComments() ||
            !expect('=', fillIn(localized("'=' after the key “%1”"), key)) ||
            !parseValue(depth, entry) || !skipWhiteSpaceAndComments() ||
            !expect(';', fillIn(localized("';' after the value of “%1”"), key)))
            return false;
        // As in other readers of this format, a repeated key keeps its last value.
        dictionary[std::move(key)] = std::move(entry);
    }
    ++position_;
    value = PropertyList(std::move(dictionary));
    return true;
}

bool PropertyListParser::parseArrayBody(int depth, PropertyList& value) {
    std::size_t opening = position_++;
    PropertyList::Array array;
    for (;;) {
        if (!skipWhiteSpaceAndComments())
            return false;
        if (atEnd())
            return fail(position_,
                        fillIn(localized("the array opened at %1 is not closed with ')'"),
                               positionText(opening)));
        if (peek() == ')')
            break;
        PropertyList element;
        if (!parseValue(depth, element) || !skipWhiteSpaceAndComments())
            return false;
        array.push_back(std::move(element));
        if (!atEnd() && peek() == ',') {
            ++position_;
            continue;
        }
        if (!atEnd() && peek() != ')')
            return fail(
                position_,
                fillIn(localized("expected ',' or ')' in the array but found %1"), shown(peek())));
    }
    ++position_;
    value = PropertyList(std::move(array));
    return true;
}

// <0fbd7773 6a>: pairs of hexadecimal digits, with white space allowed
// between the pairs but not inside one.
bool PropertyListParser::parseData(PropertyList& value) {
    std::size_t opening = position_++;
    PropertyList::Data data;
    for (;;) {
        while (!atEnd() && isWhiteSpace(peek()))
            ++position_;
        if (atEnd())
            return fail(position_,
                        fillIn(localized("the data value opened at %1 is not closed with '>'"),
                               positionText(opening)));
        if (peek() == '>')
            break;
        const int high = hexDigitValue(peek()), low = hexDigitValue(peek(1));
        if (high < 0)
            return fail(
                position_,
                fillIn(
                    localized("expected a hexadecimal digit or '>' in the data value but found %1"),
                    shown(peek())));
        if (low < 0)
            return fail(position_, localized("this hexadecimal digit has no partner: a data "
                                             "value needs two digits for each byte"));
        data.push_back(static_cast<std::uint8_t>(high * 16 + low));
        position_ += 2;
    }
    ++position_;
    value = PropertyList(std::move(data));
    return true;
}

bool PropertyListParser::parseString(std::string& string) {
    if (atEnd())
        return fail(position_, localized("unexpected end of text, expected a string"));
    char c = peek();
    if (c == '"' || c == '\'')
        return parseQuotedString(string);
    if (PropertyList::isUnquotedCharacter(c))
        return parseUnquotedString(string);
    return fail(position_, fillIn(localized("expected a string but found %1"), shown(c)));
}

bool PropertyListParser::parseQuotedString(std::string& string) {
    std::size_t opening = position_;
    char quote = text_[position_++];
    while (!atEnd()) {
        char c = text_[position_];
        if (c == quote) {
            ++position_;
            return true;
        }
        if (c == '\\') {
            if (!parseEscape(string))
                return false;
            continue;
        }
        string += c;
        ++position_;
    }
    return fail(opening, localized("the string opened here is not closed"));
}

bool PropertyListParser::parseEscape(std::string& string) {
    std::size_t backslash = position_++;
    if (atEnd())
        return fail(backslash, localized("unfinished escape at the end of the text"));
    char c = text_[position_];
    if (c == 'U' || c == 'u')
        return parseUnicodeEscape(string);
    if (c >= '0' && c <= '7') {
        unsigned value = 0;
        for (int digits = 0; digits < 3 && !atEnd() && peek() >= '0' && peek() <= '7'; ++digits)
            value = value * 8 + static_cast<unsigned>(text_[position_++] - '0');
        if (value > 0xFF)
            return fail(backslash, localized("octal escape beyond \\377"));
        string += static_cast<char>(value);
        return true;
    }
    ++position_;
    switch (c) {
    case 'a':
        string += '\a';
        break;
    case 'b':
        string += '\b';
        break;
    case 'f':
        string += '\f';
        break;
    case 'n':
        string += '\n';
        break;
    case 'r':
        string += '\r';
        break;
    case 't':
        string += '\t';
        break;
    case 'v':
        string += '\v';
        break;
    default:
        // \" \' \\ and any other escaped character stand for themselves.
        string += c;
        break;
    }
    return true;
}

// \U followed by one to four hexadecimal digits; a surrogate pair written as
// two escapes becomes one character.
bool PropertyListParser::parseUnicodeEscape(std::string& string) {
    std::size_t backslash = position_ - 1;
    auto readHex = [this](std::uint32_t& value) {
        ++position_; // the U
        int digits = 0;
        value = 0;
        while (digits < 4 && !atEnd() && hexDigitValue(peek()) >= 0) {
            value = value * 16 + static_cast<std::uint32_t>(hexDigitValue(text_[position_++]));
            ++digits;
        }
        return digits > 0;
    };
    std::uint32_t codePoint = 0;
    if (!readHex(codePoint))
        return fail(backslash, localized("\\U must be followed by hexadecimal digits"));
    if (codePoint >= 0xDC00 && codePoint <= 0xDFFF)
        return fail(backslash, localized("\\U escape of a lone low surrogate"));
    if (codePoint >= 0xD800 && codePoint <= 0xDBFF) {
        std::uint32_t low = 0;
        bool pairFollows = peek() == '\\' && (peek(1) == 'U' || peek(1) == 'u');
        if (pairFollows) {
            ++position_;
            pairFollows = readHex(low) && low >= 0xDC00 && low <= 0xDFFF;
        }
        if (!pairFollows)
            return fail(backslash,
                        localized("\\U escape of a high surrogate without its low half"));
        codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (low - 0xDC00);
    }
    appendUtf8(string, codePoint);
    return true;
}

bool PropertyListParser::parseUnquotedString(std::string& string) {
    std::size_t start = position_;
    while (!atEnd() && PropertyList::isUnquotedCharacter(peek()))
        ++position_;
    string.assign(text_.substr(start, position_ - start));
    return true;
}

bool PropertyListParser::skipWhiteSpaceAndComments() {
    while (!atEnd()) {
        char c = peek();
        if (isWhiteSpace(c)) {
            ++position_;
        } else if (c == '/' && peek(1) == '/') {
            while (!atEnd() && peek() != '\n')
                ++position_;
        } else if (c == '/' && peek(1) == '*') {
            std::size_t opening = position_;
            std::size_t closing = text_.find("*/", position_ + 2);
            if (closing == std::string_view::npos)
                return fail(opening, localized("the comment opened here is not closed"));
            position_ = closing + 2;
        } else {
            break;
        }
    }
    return true;
}

bool PropertyListParser::expect(char c, const std::string& what) {
    if (atEnd())
        return fail(position_, fillIn(localized("unexpected end of text, expected %1"), what));
    if (peek() != c)
        return fail(position_,
                    fillInAll(localized("expected %1 but found %2"), {what, shown(peek())}));
    ++position_;
    return true;
}

char PropertyListParser::peek(std::size_t ahead) const {
    std::size_t at = position_ + ahead;
    return at < text_.size() ? text_[at] : '\0';
}

bool PropertyListParser::fail(std::size_t position, std::string message) {
    error_.line = 1;
    error_.column = 1;
    for (std::size_t i = 0; i < position && i < text_.size(); ++i) {
        if (text_[i] == '\n') {
            ++error_.line;
            error_.column = 1;
        } else {
            ++error_.column;
        }
    }
    error_.message = std::move(message);
    return false;
}

std::string PropertyListParser::positionText(std::size_t position) const {
    PropertyListParser locator(text_);
    locator.fail(position, {});
    return fillInAll(localized("line %1, column %2"),
                     {std::to_string(locator.error_.line), std::to_string(locator.error_.column)});
}

} // namespace Platform
