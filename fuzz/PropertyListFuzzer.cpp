// Any bytes given to the property-list reader: it must answer with a value
// or with an error that has a place and a reason, and what the writer makes
// of the value it read must read back the same.

#include "FuzzCheck.h"
#include "Platform/core/PropertyList.h"
#include "Platform/core/PropertyListParser.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using Platform::PropertyList;
using Platform::PropertyListError;
using Platform::PropertyListParser;
using VexmiraFuzz::check;

namespace {

void checkError(std::string_view text, const PropertyListError& error) {
    check(!error.message.empty(), "a refusal says why");
    check(error.line >= 1 && error.column >= 1, "a refusal has a place");
    std::size_t lines = 1;
    for (char c : text)
        lines += c == '\n';
    check(static_cast<std::size_t>(error.line) <= lines, "the place lies within the text");
}

// Whatever was read, the writer's text of it reads back as the same value.
void checkRoundTrip(const PropertyList& value) {
    PropertyListError error;
    auto reread = PropertyListParser::parse(value.description(), error);
    check(reread.has_value(), "the writer's text reads back");
    check(*reread == value, "the writer's text reads back to the same value");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    PropertyListError error;
    auto value = PropertyListParser::parse(text, error);
    if (!value) {
        checkError(text, error);
        return 0;
    }
    checkRoundTrip(*value);

    PropertyListError dictionaryError;
    auto dictionary = PropertyListParser::parseDictionary(text, dictionaryError);
    check(dictionary.has_value() == value->isDictionary(),
          "parseDictionary accepts exactly the texts that are one dictionary");
    if (!dictionary)
        checkError(text, dictionaryError);
    return 0;
}
