#include "Platform/core/PropertyList.h"
#include "Platform/core/PropertyListParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    PropertyList::StringDictionary dictionary = {
        {"Class", "MyDocument"},
        {"distanceValue", "-0.250000"},
        {"empty", ""},
        {"spaces", "a b  c"},
        {"quotes and backslashes", "say \"hi\" \\ 'there'"},
        {"controls", std::string("line\nbreak\ttab\r\x01\x7f") + '\0' + "end"},
        {"comment-like", "//not a comment"},
        {"block-like", "/* nor this */"},
        {"path", "/usr/share/vexmira"},
        {"punctuation", "a=b;c,d(e){f}<g>"},
        {"utf8", "Gr\xC3\xBC\xC3\x9F"
                 "e"},
        {"key with = sign;", "value"},
    };
    std::string text = PropertyList::describe(dictionary);
    PropertyListError error;
    auto back = PropertyListParser::parseDictionary(text, error);
    ASSERT_TRUE(back) << error.description() << "\n" << text;
    ASSERT_EQ(back->size(), dictionary.size());
    for (const auto& [key, value] : dictionary) {
        ASSERT_TRUE(back->count(key)) << key;
        EXPECT_EQ(back->at(key), PropertyList(value)) << key;
    }
}

TEST(PropertyList, WrittenTextHasTheOpenStepForm) {
    std::string text = PropertyList::describe({{"a", "1"}, {"b c", "x y"}});
    // Braces around entries of the form key = value;
    EXPECT_EQ(text.front(), '{');
    EXPECT_NE(text.find("a = 1;"), std::string::npos) << text;
    EXPECT_NE(text.find("\"b c\" = \"x y\";"), std::string::npos) << text;
    EXPECT_EQ(PropertyList::describe({}), "{\n}\n");
}

TEST(PropertyList, ReadsNestingCommentsQuotesAndEscapes) {
    std::string text =
        "// heading comment\n"
        "{ list = ( a, \"b c\", ( ), { k = v; }, );\n"
        "  /* a block\n comment */ 'single' = \"t\\tq\\\"b\\\\o\\101\\U00e9\\u0041\";\n"
        "\tpath=/usr/share;\"\"=\"\";\n"
        "  octal = \"\\0\\12x\"; surrogates = \"\\UD83D\\UDE00\";"
        "}  // trailing";
    PropertyList value = parsed(text);
    ASSERT_TRUE(value.isDictionary());
    const auto& d = value.dictionary();
    PropertyList::Array list = {PropertyList("a"), PropertyList("b c"),
                                PropertyList(PropertyList::Array{}),
                                PropertyList(PropertyList::Dictionary{{"k", PropertyList("v")}})};
    EXPECT_EQ(d.at("list"), PropertyList(list));
    EXPECT_EQ(d.at("single").string(), "t\tq\"b\\oA\xC3\xA9"
                                       "A");
    EXPECT_EQ(d.at("path").string(), "/usr/share");
    EXPECT_EQ(d.at("").string(), "");
    EXPECT_EQ(d.at("octal").string(), std::string("\0\nx", 3));
    EXPECT_EQ(d.at("surrogates").string(), "\xF0\x9F\x98\x80");
}

TEST(PropertyList, TopLevelValuesOfEveryKindAndRepeatedKeys) {
    EXPECT_EQ(parsed("  word  ").string(), "word");
    EXPECT_EQ(parsed("(x)").array().size(), 1u);
    EXPECT_EQ(parsed("{ a = 1; a = 2; }").dictionary().at("a").string(), "2");
    EXPECT_TRUE(parsed("{}").dictionary().empty());
}

std::string repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

struct MalformedText {
    std::string text;
    int line;
    int column;
};

// Positions counted by hand from the texts.
const std::vector<MalformedText> malformedTexts = {
    {"", 1, 1},                                // nothing at all
    {"   \n  ", 2, 3},                         // only white space
    {"{", 1, 2},                               // dictionary never closed
    {"{ a = 1 }", 1, 9},                       // missing ';'
    {"{ a 1; }", 1, 5},                        // missing '='
    {"{ = 1; }", 1, 3},                        // missing key
    {"{ a = ; }", 1, 7},                       // missing value
    {"( a b )", 1, 5},                         // missing ','
    {"( a, ", 1, 6},                           // array never closed
    {"\"abc", 1, 1},                           // string never closed
    {"{ a = \"x\\", 1, 9},                     // escape at the very end
    {"/* comment", 1, 1},                      // comment never closed
    {"{ a = b; } extra", 1, 12},               // text after the list
    {"{ a = <0fab>; }", 1, 7},                 // data values
    {"\"\\U\"", 1, 2},                         // \U without digits
    {"\"\\777\"", 1, 2},                       // octal beyond a byte
    {"\"\\UD800\"", 1, 2},                     // high surrogate alone
    {"\"\\UDC00\"", 1, 2},                     // low surrogate alone
    {"{\n  a = 1;\n  b = 2\n}", 4, 1},         // missing ';' before the brace
    {"{\n  a = (1, 2;\n}", 2, 12},             // ';' inside an array
    {"{ a = 1; } }", 1, 12},                   // one brace too many
    {"{ \"a\" = 1; a b }", 1, 14},             // second entry without '='
    {"}", 1, 1},                               // closing brace first
    {std::string("\x01"), 1, 1},               // control character
    {"{ a = 1; /* c", 1, 10},                  // comment open at the end
    {"{\r\n a = 1;\r\n b = ;\r\n}", 3, 6},     // CRLF lines
    {"{ a = (1, 2), }", 1, 13},                // ',' instead of ';'
    {repeated("{a=", 100000), 1, 3 * 256 + 1}, // nesting beyond the limit
    {std::string(100000, '('), 1, 257},        // the same with arrays
};

TEST(PropertyList, MalformedTextIsRefusedWithItsPosition) {
    for (const auto& malformed : malformedTexts) {
        PropertyListError error;
        auto value = PropertyListParser::parse(malformed.text, error);
        std::string shown = malformed.text.substr(0, 40);
        EXPECT_FALSE(value) << shown;
        EXPECT_EQ(error.line, malformed.line) << shown << " -> " << error.description();
        EXPECT_EQ(error.column, malformed.column) << shown << " -> " << error.description();
        EXPECT_FALSE(error.message.empty()) << shown;
    }
}

TEST(PropertyList, ParseDictionaryRefusesOtherKindsWhereTheyBegin) {
    PropertyListError error;
    EXPECT_FALSE(PropertyListParser::parseDictionary("  // c\n   ( a )", error));
    EXPECT_EQ(error.line, 2);
    EXPECT_EQ(error.column, 4);
    EXPECT_NE(error.message.find("array"), std::string::npos);
    EXPECT_FALSE(PropertyListParser::parseDictionary("abc", error));
    EXPECT_EQ(error.description(), "line 1, column 1: expected a dictionary but found a string");
}

TEST(PropertyList, DeepButAllowedNestingParses) {
    int depth = PropertyListParser::maximumDepth;
    std::string text = std::string(depth, '(') + std::string(depth, ')');
    PropertyList value = parsed(text);
    int levels = 0;
    const PropertyList* p = &value;
    while (p->isArray()) {
        ++levels;
        if (p->array().empty())
            break;
        p = &p->array().front();
    }
    EXPECT_EQ(levels, depth);
}
