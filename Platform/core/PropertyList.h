#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

// A value of an OpenStep text property list: a string, bytes (written
// <0fbd7773>), an array of values or a dictionary from strings to values.
class PropertyList {
public:
    enum class Kind { string, data, array, dictionary };
    using Data = std::vector<std::uint8_t>;
    using Array = std::vector<PropertyList>;
    using Dictionary = std::map<std::string, PropertyList>;
    using StringDictionary = std::map<std::string, std::string>;

    PropertyList() = default;
    PropertyList(std::string string) : string_(std::move(string)) {}
    PropertyList(const char* string) : string_(string) {}
    PropertyList(Data data) : kind_(Kind::data), data_(std::move(data)) {}
    PropertyList(Array array) : kind_(Kind::array), array_(std::move(array)) {}
    PropertyList(Dictionary dictionary)
        : kind_(Kind::dictionary), dictionary_(std::move(dictionary)) {}

    Kind kind() const { return kind_; }
    bool isString() const { return kind_ == Kind::string; }
    bool isData() const { return kind_ == Kind::data; }
    bool isArray() const { return kind_ == Kind::array; }
    bool isDictionary() const { return kind_ == Kind::dictionary; }
    // The part of the value its kind says; empty for the other kinds.
    const std::string& string() const { return string_; }
    const Data& data() const { return data_; }
    const Array& array() const { return array_; }
    const Dictionary& dictionary() const { return dictionary_; }

    // "a string", "data", "an array" or "a dictionary", for messages.
    static const char* kindName(Kind kind);

    // Whether c may stand in a string written without quotes.
    static bool isUnquotedCharacter(char c);

    bool operator==(const PropertyList& other) const = default;

    // The value's text form, which reads back as the same value: one entry
    // or element a line, nested containers indented by four spaces, strings
    // quoted where they would not read back as one unquoted string, bytes
    // in hexadecimal in groups of four.
    std::string description() const;
    // The description of a flat dictionary of strings: { key = value; ... }.
    static std::string describe(const StringDictionary& dictionary);
    // A string as it stands in a property list, quoted and escaped if needed.
    static std::string quotedIfNeeded(const std::string& text);

private:
    Kind kind_ = Kind::string;
    void appendDescription(std::string& text, int depth) const;

    std::string string_;
    Data data_;
    Array array_;
    Dictionary dictionary_;
};

} // namespace Platform
