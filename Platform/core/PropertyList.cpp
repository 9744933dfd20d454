#include "Platform/core/PropertyList.h"

#include <cstdio>

namespace Platform {

namespace {

// Characters that may stand in an unquoted string.
bool isUnquotedCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || c == '+' || c == ':' || c == '.' || c == '-';
}

// '/' is left out above although readers accept it unquoted: "//" or "/*" at
// the start of a string would read back as a comment.
bool needsQuotes(const std::string& text) {
    if (text.empty())
        return true;
    for (char c : text)
        if (!isUnquotedCharacter(c))
            return true;
    return false;
}

void appendEscaped(std::string& out, char c) {
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\t':
        out += "\\t";
        return;
    case '\r':
        out += "\\r";
        return;
    default:
        break;
    }
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
        char octal[5];
        std::snprintf(octal, sizeof octal, "\\%03o", byte);
        out += octal;
        return;
    }
    out += c;
}

} // namespace

const char* PropertyList::kindName(Kind kind) {
    switch (kind) {
    case Kind::string:
        return "string";
    case Kind::array:
        return "array";
    case Kind::dictionary:
        return "dictionary";
    }
    return "value";
}

std::string PropertyList::quotedIfNeeded(const std::string& text) {
    if (!needsQuotes(text))
        return text;
    std::string out = "\"";
    for (char c : text)
        appendEscaped(out, c);
    out += '"';
    return out;
}

std::string PropertyList::describe(const StringDictionary& dictionary) {
    std::string text = "{\n";
    for (const auto& [key, value] : dictionary)
        text += "    " + quotedIfNeeded(key) + " = " + quotedIfNeeded(value) + ";\n";
    text += "}\n";
    return text;
}

} // namespace Platform
