#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

// A value of an OpenStep text property list: a string, an array of values or
// a dictionary from strings to values.
class PropertyList {
public:
    enum class Kind { string, array, dictionary };
    using Array = std::vector<PropertyList>;
    using Dictionary = std::map<std::string, PropertyList>;
    using StringDictionary = std::map<std::string, std::string>;

    PropertyList() = default;
    PropertyList(std::string string) : string_(std::move(string)) {}
    PropertyList(const char* string) : string_(string) {}
    PropertyList(Array array) : kind_(Kind::array), array_(std::move(array)) {}
    PropertyList(Dictionary dictionary)
        : kind_(Kind::dictionary), dictionary_(std::move(dictionary)) {}

    Kind kind() const { return kind_; }
    bool isString() const { return kind_ == Kind::string; }
    bool isArray() const { return kind_ == Kind::array; }
    bool isDictionary() const { return kind_ == Kind::dictionary; }
    // The part of the value its kind says; empty for the other kinds.
    const std::string& string() const { return string_; }
    const Array& array() const { return array_; }
    const Dictionary& dictionary() const { return dictionary_; }

    // "string", "array" or "dictionary", for messages.
    static const char* kindName(Kind kind);

    bool operator==(const PropertyList& other) const = default;

    // The text form of a flat dictionary of strings, one entry a line:
    // { key = value; ... }. Keys and values are quoted where they would not
    // read back as one unquoted string.
    static std::string describe(const StringDictionary& dictionary);
    // A string as it stands in a property list, quoted and escaped if needed.
    static std::string quotedIfNeeded(const std::string& text);

private:
    Kind kind_ = Kind::string;
    std::string string_;
    Array array_;
    Dictionary dictionary_;
};

} // namespace Platform
