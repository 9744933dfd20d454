#include "Vexmira/MyDocument.h"
#include "Platform/core/Localization.h"
#include "Platform/core/PropertyListParser.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <random>

using Platform::MenuItem;
using VexmiraTest::TemporaryFolder;

namespace {

// Changes on both stacks, so that a refused file has something to lose.
void giveHistory(MyDocument& document) {
    document.model().setBlowup(0.75f);
    document.undoManager().setActionName("Set Blowup");
    document.model().setMeridians(12);
    document.undoManager().setActionName("Set Meridians");
    document.undoManager().undo();
}

// The six values, the history's step names, the change count and the file name.
std::string snapshot(const MyDocument& d) {
    return d.convertForStorage() + d.undoManager().undoActionName() + "|" +
           d.undoManager().redoActionName() + "|" + std::to_string(d.changeCount()) + d.fileName();
}

} // namespace

TEST(MyDocument, WritesTheEightEntriesInAsciiAndReadsThemBackExactly) {
    MyDocument document;
    std::string error;
    const auto data = document.dataRepresentationOfType("Vexmira document", error);
    ASSERT_TRUE(data) << error;
    EXPECT_TRUE(std::all_of(data->begin(), data->end(), [](char c) { return c > 0; }));
    Platform::PropertyListError parseError;
    EXPECT_EQ(Platform::PropertyListParser::parseDictionary(*data, parseError),
              (Platform::PropertyList::Dictionary{{"Class", "MyDocument"},
                                                  {"Version", "1"},
                                                  {"blowupValue", "0.000000"},
                                                  {"immersionValue", "0.000000"},
                                                  {"distanceValue", "8.000000"},
                                                  {"meridiansValue", "72"},
                                                  {"resolutionValue", "34"},
                                                  {"antialiasingValue", "1"}}));

    TemporaryFolder folder;
    const std::string path = folder.file("picture.vexmira");
    document.model().setMeridians(40);
    giveHistory(document);
    document.model().setImmersion(-1.25f);
    document.model().setDistance(12.75f);
    document.model().setResolution(10);
    document.model().setAntialiasing(4);
    ASSERT_TRUE(document.saveToFile(path, error)) << error;
    EXPECT_FALSE(document.undoManager().canUndo() || document.undoManager().canRedo());
    EXPECT_FALSE(document.isDocumentEdited());
    MyDocument opened;
    ASSERT_TRUE(opened.readFromFile(path, error)) << error;
    EXPECT_EQ(opened.model().blowup(), 0.75f);
    EXPECT_EQ(opened.model().immersion(), -1.25f);
    EXPECT_EQ(opened.model().distance(), 12.75f);
    EXPECT_EQ(opened.model().meridians(), 40);
    EXPECT_EQ(opened.model().resolution(), 10);
    EXPECT_EQ(opened.model().antialiasing(), 4);
    EXPECT_EQ(snapshot(opened), snapshot(document));
    opened.model().setMeridians(99);
    ASSERT_TRUE(opened.revertToSaved(error)) << error;
    EXPECT_EQ(snapshot(opened), snapshot(document));
}

TEST(MyDocument, ReadsAnyLayoutQuotingOrderClassAndVersionAndMissingKeysAsZero) {
    const char* text = "// written by hand\n{\n"
                       "  antialiasingValue = \"2\" ;  Version = 2; Class = SomethingElse;\n"
                       "  /* the rest */ \"meridiansValue\"=\"5\";resolutionValue=6;\n"
                       "  blowupValue = \" 0.25\"; immersionValue = 1.5;\n"
                       "  unknownKey = ( ignored, { too = yes; } );\n}\n";
    MyDocument document;
    std::string error;
    ASSERT_TRUE(document.loadDataRepresentation(text, "Vexmira document", error)) << error;
    EXPECT_EQ(document.model().antialiasing(), 2);
    EXPECT_EQ(document.model().meridians(), 5);
    EXPECT_EQ(document.model().resolution(), 6);
    EXPECT_EQ(document.model().blowup(), 0.25f);
    EXPECT_EQ(document.model().immersion(), 1.5f);
    EXPECT_EQ(document.model().distance(), 0.0f);
}

TEST(MyDocument, SaveAndRevertMenuItemsInTheUsersLanguage) {
    TemporaryFolder folder;
    MyDocument document;
    auto enabled = [&document](const char* title) {
        return document.validateMenuItem(MenuItem{title});
    };
    EXPECT_FALSE(enabled("Save") || enabled("Revert To Saved") || enabled("Undo"));
    document.model().setMeridians(40);
    EXPECT_TRUE(enabled("Save") && enabled("Undo") && enabled("Export Picture..."));
    EXPECT_FALSE(enabled("Revert To Saved")) << "never saved";
    EXPECT_FALSE(enabled("Redo"));
    std::string error;
    ASSERT_TRUE(document.saveToFile(folder.file("m.vexmira"), error)) << error;
    EXPECT_FALSE(enabled("Save") || enabled("Revert To Saved") || enabled("Undo"));
    std::setlocale(LC_ALL, "C.UTF-8");
    setenv("LANGUAGE", "de", 1);
    Platform::reloadLocalization();
    const bool sichernWhenSaved = enabled("Sichern");
    document.model().setBlowup(1.0f);
    const bool sichernWhenEdited = enabled("Sichern");
    unsetenv("LANGUAGE");
    std::setlocale(LC_ALL, "C");
    Platform::reloadLocalization();
    EXPECT_FALSE(sichernWhenSaved);
    EXPECT_TRUE(sichernWhenEdited);
    EXPECT_TRUE(enabled("Save") && enabled("Revert To Saved"));
}

TEST(MyDocument, BadFilesAreRefusedWithTheirPlaceAndChangeNothing) {
    std::mt19937 random(20261206);
    std::string noise(1 << 20, '\0'), asciiNoise(1 << 20, '\0');
    for (std::size_t k = 0; k < noise.size(); ++k) {
        noise[k] = static_cast<char>(random() & 0xFF);
        asciiNoise[k] = static_cast<char>(noise[k] & 0x7F);
    }
    const struct {
        std::string text, expectedInMessage;
    } cases[] = {
        {"{ blowupValue = \"0.5\xC3\xA9\"; }", "line 1, column 21"},
        {"{\n meridiansValue = 5;\n\x80}", "line 3, column 1"},
        {"{ meridiansValue = 5 }", "line 1, column 22"},
        {"", "line 1, column 1"},
        {"( 1, 2 )", "line 1, column 1"},
        {"\n  \"just some words\"", "line 2, column 3"},
        {"{ meridiansValue = (1); }", "\"meridiansValue\""},
        {"{ distanceValue = { a = b; }; }", "\"distanceValue\""},
        {"{ meridiansValue = 100001; }", "[-100000, 100000]"},
        {"{ meridiansValue = 2000; resolutionValue = 1000; }", "1000000"},
        {"{ antialiasingValue = -1001; }", "[-1000, 1000]"},
        {"{ blowupValue = 2e6; }", "[-1000000, 1000000]"},
        {"{ immersionValue = 1e999; }", "\"immersionValue\""},
        {"{ resolutionValue = 2147483648; }", "\"resolutionValue\""},
        {noise, "line "},
        {asciiNoise, "line "},
    };
    TemporaryFolder folder;
    const std::string path = folder.file("broken.vexmira");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 50));
        MyDocument document;
        giveHistory(document);
        const std::string before = snapshot(document);
        TemporaryFolder::write(path, c.text);
        std::string error;
        EXPECT_FALSE(document.readFromFile(path, error));
        EXPECT_NE(error.find("broken.vexmira"), std::string::npos) << error;
        EXPECT_NE(error.find(c.expectedInMessage), std::string::npos) << error;
        EXPECT_EQ(snapshot(document), before);

        MyDocument saved; // reverting to a file that has gone bad changes nothing either
        ASSERT_TRUE(saved.saveToFile(path, error)) << error;
        saved.model().setDistance(2.0f);
        const std::string edited = snapshot(saved);
        TemporaryFolder::write(path, c.text);
        EXPECT_FALSE(saved.revertToSaved(error));
        EXPECT_EQ(snapshot(saved), edited);
    }
    MyDocument document; // nor are other types written or read
    giveHistory(document);
    const std::string before = snapshot(document);
    std::string error;
    EXPECT_FALSE(document.dataRepresentationOfType("Text", error));
    EXPECT_FALSE(document.loadDataRepresentation(document.convertForStorage(), "Text", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(snapshot(document), before);
}
