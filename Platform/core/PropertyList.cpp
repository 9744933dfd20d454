#include "Platform/core/PropertyList.h"

#include <cstdio>

namespace Platform {

namespace {

// '/' is quoted although readers accept it unquoted: "//" or "/*" at the
// start of a string would read back as a comment.
bool needsQuotes(const std::string& text) {
    if (text.empty())
        return true;
    for (char c : text)
        if (c == '/' || !PropertyList::isUnquotedCharacter(c))
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

// <0fbd7773 6a>: lower-case digits, a space after every four bytes as other
// writers of the format group them.
void appendData(std::string& out, const PropertyList::Data& data) {
    static constexpr char digits[] = "0123456789abcdef";
    out += '<';
    for (std::size_t k = 0; k < data.size(); ++k) {
        if (k > 0 && k % 4 == 0)
            out += ' ';
        out += digits[data[k] >> 4];
        out += digits[data[k] & 0xF];
    }
    out += '>';
}

} // namespace

const char* PropertyList::kindName(Kind kind) {
    switch (kind) {
    case Kind::string:
        return "a string";
    case Kind::data:
        return "data";
    case Kind::array:
        return "an array";
    case Kind::dictionary:
        return "a dictionary";
    }
    return "a value";
}

bool PropertyList::isUnquotedCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || c == '+' || c == '/' || c == ':' || c == '.' || c == '-';
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
    Dictionary values;
    for (const auto& [key, value] : dictionary)
        values.emplace(key, value);
    return PropertyList(std::move(values)).description();
}

std::string PropertyList::description() const {
    std::string text;
    appendDescription(text, 0);
    return text + "\n";
}

void PropertyList::appendDescription(std::string& text, int depth) const {
    const std::string indent(4 * std::size_t(depth), ' '), inner = indent + "    ";
    switch (kind_) {
    case Kind::string:
        text += quotedIfNeeded(string_);
        return;
    case Kind::data:
        appendData(text, data_);
        return;
    case Kind::array:
        text += "(";
        for (std::size_t k = 0; k < array_.size(); ++k) {
            text += (k == 0 ? "\n" : ",\n") + inner;
            array_[k].appendDescription(text, depth + 1);
        }
        text += array_.empty() ? ")" : "\n" + indent + ")";
        return;
    case Kind::dictionary:
        text += "{\n";
        for (const auto& [key, value] : dictionary_) {
            text += inner + quotedIfNeeded(key) + " = ";
            value.appendDescription(text, depth + 1);
            text += ";\n";
        }
        text += indent + "}";
        return;
    }
}

} // namespace Platform
