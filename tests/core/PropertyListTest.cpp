#include "Platform/core/PropertyList.h"
#include "Platform/core/PropertyListParser.h"
#include <gtest/gtest.h>

#include <algorithm>

using Platform::PropertyList;
using Platform::PropertyListError;
using Platform::PropertyListParser;

namespace {

PropertyList parsed(const std::string& text) {
    PropertyListError error;
    auto value = PropertyListParser::parse(text, error);
    EXPECT_TRUE(value) << text << " -> " << error.description();
    return value.value_or(PropertyList());
}

} // namespace

TEST(PropertyList, FlatDictionariesRoundTripWhateverTheirCharacters) {
    const PropertyList::StringDictionary dictionary = {
        {"a", "1"},
        {"b c", "x y"},
        {"empty", ""},
        {"quotes", "say \"hi\" \\ 'there'"},
        {"controls", std::string("line\nbreak\ttab\r\x01\x7f") + '\0' + "end"},
        {"comment-like", "//not a comment /* nor this */"},
        {"utf8", "Gr\u00fc\u00dfe"},
        {"punctuation", "a=b;c,d(e){f}<g>/usr/share"},
        {"key with = sign;", "value"}};
    const std::string text = PropertyList::describe(dictionary);
    EXPECT_NE(text.find("a = 1;"), std::string::npos) << "words go unquoted: " << text;
    EXPECT_NE(text.find("\"b c\" = \"x y\";"), std::string::npos) << text;
    PropertyListError error;
    EXPECT_EQ(PropertyListParser::parseDictionary(text, error),
              PropertyList::Dictionary(dictionary.begin(), dictionary.end()))
        << error.description() << "\n"
        << text;
}

// Data values as other tools write them, in every kind of container, read
// as bytes and written back so that they read back identically.
TEST(PropertyList, DataValuesAreReadAsBytesAndWrittenBack) {
    const PropertyList value = parsed("{ icon = <00ff 7F80>; empty = <>;\n"
                                      "  list = ( <0a>, { spaced = <  01 02\n\t0304  >; } );\n"
                                      "  long = <000102030405060708>; text = \"<0a>\"; }");
    using Data = PropertyList::Data;
    using Dictionary = PropertyList::Dictionary;
    EXPECT_EQ(
        value,
        PropertyList(Dictionary{
            {"icon", Data{0x00, 0xFF, 0x7F, 0x80}},
            {"empty", Data{}},
            {"list", PropertyList::Array{Data{0x0A}, Dictionary{{"spaced", Data{1, 2, 3, 4}}}}},
            {"long", Data{0, 1, 2, 3, 4, 5, 6, 7, 8}},
            {"text", "<0a>"}})) // a quoted string stays a string
        << value.description();
    const std::string written = value.description();
    EXPECT_NE(written.find("long = <00010203 04050607 08>;"), std::string::npos) << written;
    EXPECT_EQ(parsed(written), value);
}

TEST(PropertyList, ReadsNestingCommentsQuotesEscapesAndEveryTopLevelKind) {
    const PropertyList value =
        parsed("// heading comment\n"
               "{ list = ( a, \"b c\", ( ), { k = v; }, );\n"
               "  /* a block\n comment */ 'single' = \"t\\tq\\\"b\\\\o\\101\\U00e9\\u0041\";\n"
               "\tpath=/usr/share;\"\"=\"\"; path = again;\n"
               "  octal = \"\\0\\12x\"; surrogates = \"\\UD83D\\UDE00\";"
               "}  // trailing");
    using Dictionary = PropertyList::Dictionary;
    EXPECT_EQ(value, PropertyList(
                         Dictionary{{"list", PropertyList::Array{"a", "b c", PropertyList::Array{},
                                                                 Dictionary{{"k", "v"}}}},
                                    {"single", "t\tq\"b\\oA\u00e9A"},
                                    {"path", "again"}, // the last of a repeated key
                                    {"", ""},
                                    {"octal", std::string("\0\nx", 3)},
                                    {"surrogates", "\xF0\x9F\x98\x80"}}))
        << value.description();
    EXPECT_EQ(parsed("  word  ").string(), "word");
    EXPECT_EQ(parsed("(x)").array().size(), 1u);
    EXPECT_TRUE(parsed("{}").dictionary().empty());
}

TEST(PropertyList, MalformedTextIsRefusedWithItsPosition) {
    auto expectRefusedAt = [](const std::string& text, int line, int column) {
        SCOPED_TRACE(text.substr(0, 40));
        PropertyListError error;
        EXPECT_FALSE(PropertyListParser::parse(text, error));
        EXPECT_EQ(std::pair(error.line, error.column), std::pair(line, column))
            << error.description();
        EXPECT_FALSE(error.message.empty());
    };
    // '@' marks where each text breaks and '|' stands for a line break.
    std::vector<std::string> texts = {"@",         "   |  @",   "{@",          "{ a = 1 @}",
                                      "{ a @1; }", "{ @= 1; }", "{ a = @; }",  "( a @b )",
                                      "( a, @",    "@\"abc",    "{ a = \"x@\\"};
    texts.insert(texts.end(),
                 {"@/* comment", "{ a = b; } @extra", "{ a = <0f@a>; }", "{ a = <0f @g0>; }",
                  "{ a = <0f@a b>; }", "( <01 @", "{ a = b; @<> = c; }", "\"@\\U\"", "\"@\\777\"",
                  "\"@\\UD800\"", "{|  a = 1;|  b = 2|@}", "{|  a = (1, 2@;|}", "@\x01",
                  "{\r| a = 1;\r| b = @;\r|}", "{ a = (1, 2)@, }"});
    for (std::string text : texts) {
        std::replace(text.begin(), text.end(), '|', '\n');
        const std::size_t at = text.find('@'), lineStart = text.rfind('\n', at);
        const auto line = 1 + std::count(text.begin(), text.begin() + at, '\n');
        const auto column = lineStart == std::string::npos ? at + 1 : at - lineStart;
        expectRefusedAt(text.erase(at, 1), int(line), int(column));
    }
    std::string nested; // nesting beyond the limit, refused exactly one level past it
    for (int i = 0; i < 100000; ++i)
        nested += "{a=";
    expectRefusedAt(nested, 1, 3 * PropertyListParser::maximumDepth + 1);
    expectRefusedAt(std::string(100000, '('), 1, PropertyListParser::maximumDepth + 1);
    PropertyListError error; // a dictionary is refused where another kind begins
    EXPECT_FALSE(PropertyListParser::parseDictionary("  // c\n   ( a )", error));
    EXPECT_EQ(error.description(), "line 2, column 4: expected a dictionary but found an array");
}
