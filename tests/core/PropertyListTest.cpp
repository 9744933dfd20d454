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
    const PropertyList::StringDictionary dictionary = {
        {"a", "1"},
        {"b c", "x y"},
        {"empty", ""},
        {"quotes and backslashes", "say \"hi\" \\ 'there'"},
        {"controls", std::string("line\nbreak\ttab\r\x01\x7f") + '\0' + "end"},
        {"comment-like", "//not a comment /* nor this */"},
        {"punctuation", "a=b;c,d(e){f}<g>/usr/share"},
        {"utf8", "Gr\u00fc\u00dfe"},
        {"key with = sign;", "value"}};
    const std::string text = PropertyList::describe(dictionary);
    EXPECT_EQ(text.front(), '{');
    EXPECT_NE(text.find("a = 1;"), std::string::npos) << text;
    EXPECT_NE(text.find("\"b c\" = \"x y\";"), std::string::npos) << text;
    EXPECT_EQ(PropertyList::describe({}), "{\n}\n");
    PropertyListError error;
    auto back = PropertyListParser::parseDictionary(text, error);
    ASSERT_TRUE(back) << error.description() << "\n" << text;
    ASSERT_EQ(back->size(), dictionary.size());
    for (const auto& [key, value] : dictionary)
        EXPECT_EQ(back->count(key) ? back->at(key) : PropertyList(), PropertyList(value)) << key;
}

TEST(PropertyList, ReadsNestingCommentsQuotesEscapesAndEveryTopLevelKind) {
    const PropertyList value =
        parsed("// heading comment\n"
               "{ list = ( a, \"b c\", ( ), { k = v; }, );\n"
               "  /* a block\n comment */ 'single' = \"t\\tq\\\"b\\\\o\\101\\U00e9\\u0041\";\n"
               "\tpath=/usr/share;\"\"=\"\"; path = again;\n"
               "  octal = \"\\0\\12x\"; surrogates = \"\\UD83D\\UDE00\";"
               "}  // trailing");
    ASSERT_TRUE(value.isDictionary());
    const auto& d = value.dictionary();
    const PropertyList::Array list = {
        PropertyList("a"), PropertyList("b c"), PropertyList(PropertyList::Array{}),
        PropertyList(PropertyList::Dictionary{{"k", PropertyList("v")}})};
    EXPECT_EQ(d.at("list"), PropertyList(list));
    EXPECT_EQ(d.at("single").string(), "t\tq\"b\\oA\u00e9A");
    EXPECT_EQ(d.at("path").string(), "again");
    EXPECT_EQ(d.at("").string(), "");
    EXPECT_EQ(d.at("octal").string(), std::string("\0\nx", 3));
    EXPECT_EQ(d.at("surrogates").string(), "\xF0\x9F\x98\x80");
    EXPECT_EQ(parsed("  word  ").string(), "word");
    EXPECT_EQ(parsed("(x)").array().size(), 1u);
    EXPECT_TRUE(parsed("{}").dictionary().empty());
    const int depth = PropertyListParser::maximumDepth; // the deepest nesting allowed parses
    const PropertyList deep = parsed(std::string(depth, '(') + std::string(depth, ')'));
    int levels = 1;
    for (const PropertyList* p = &deep; !p->array().empty(); p = &p->array().front())
        ++levels;
    EXPECT_EQ(levels, depth);
}

TEST(PropertyList, MalformedTextIsRefusedWithItsPosition) {
    struct Case {
        std::string text;
        int line, column; // counted by hand
    };
    std::vector<Case> cases = {{"", 1, 1},
                               {"   \n  ", 2, 3},
                               {"{", 1, 2},
                               {"{ a = 1 }", 1, 9},
                               {"{ a 1; }", 1, 5},
                               {"{ = 1; }", 1, 3},
                               {"{ a = ; }", 1, 7},
                               {"( a b )", 1, 5},
                               {"( a, ", 1, 6},
                               {"\"abc", 1, 1},
                               {"{ a = \"x\\", 1, 9},
                               {"/* comment", 1, 1},
                               {"{ a = b; } extra", 1, 12},
                               {"{ a = <0fab>; }", 1, 7},
                               {"\"\\U\"", 1, 2},
                               {"\"\\777\"", 1, 2},
                               {"\"\\UD800\"", 1, 2},
                               {"{\n  a = 1;\n  b = 2\n}", 4, 1},
                               {"{\n  a = (1, 2;\n}", 2, 12},
                               {"\x01", 1, 1},
                               {"{\r\n a = 1;\r\n b = ;\r\n}", 3, 6},
                               {"{ a = (1, 2), }", 1, 13}};
    cases.push_back({std::string(100000, '('), 1, 257}); // nesting beyond the limit
    cases.push_back({"", 1, 3 * 256 + 1});
    for (int i = 0; i < 100000; ++i)
        cases.back().text += "{a=";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        PropertyListError error;
        EXPECT_FALSE(PropertyListParser::parse(c.text, error));
        EXPECT_EQ(error.line, c.line) << error.description();
        EXPECT_EQ(error.column, c.column) << error.description();
        EXPECT_FALSE(error.message.empty());
    }
    PropertyListError error; // a dictionary is refused where another kind begins
    EXPECT_FALSE(PropertyListParser::parseDictionary("  // c\n   ( a )", error));
    EXPECT_EQ(error.description(), "line 2, column 4: expected a dictionary but found an array");
    EXPECT_FALSE(PropertyListParser::parseDictionary("abc", error));
    EXPECT_EQ(error.description(), "line 1, column 1: expected a dictionary but found a string");
}
