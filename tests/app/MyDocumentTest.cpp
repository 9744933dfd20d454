#include "Vexmira/MyDocument.h"
#include "Platform/core/Localization.h"
#include "Platform/core/PropertyListParser.h"

#include "support/FileSizeLimit.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;
using Platform::MenuItem;
using VexmiraTest::FileSizeLimit;
using VexmiraTest::TemporaryFolder;

namespace {

// The model's six values and the undo history's visible state, to show that
// a refused file changed nothing.
struct Snapshot {
    float blowup, immersion, distance;
    int meridians, resolution, antialiasing;
    bool canUndo, canRedo;
    std::string undoName, redoName;
    int changeCount;
    std::string fileName;

    explicit Snapshot(const MyDocument& d)
        : blowup(d.model().blowup()), immersion(d.model().immersion()),
          distance(d.model().distance()), meridians(d.model().meridians()),
          resolution(d.model().resolution()), antialiasing(d.model().antialiasing()),
          canUndo(d.undoManager().canUndo()), canRedo(d.undoManager().canRedo()),
          undoName(d.undoManager().undoActionName()), redoName(d.undoManager().redoActionName()),
          changeCount(d.changeCount()), fileName(d.fileName()) {}
    bool operator==(const Snapshot&) const = default;
};

// A document with changes on both stacks, so that a refused load has
// something to lose.
void giveHistory(MyDocument& document) {
    document.model().setBlowup(0.75f);
    document.undoManager().setActionName("Set Blowup");
    document.model().setMeridians(12);
    document.undoManager().setActionName("Set Meridians");
    document.model().setAntialiasing(3);
    document.undoManager().setActionName("Set Antialiasing");
    document.undoManager().undo();
}

Platform::PropertyList::Dictionary parsedDictionary(const std::string& text) {
    Platform::PropertyListError error;
    auto dictionary = Platform::PropertyListParser::parseDictionary(text, error);
    EXPECT_TRUE(dictionary) << error.description();
    return dictionary.value_or(Platform::PropertyList::Dictionary{});
}

} // namespace

TEST(MyDocument, SavingANewDocumentWritesTheEightEntriesAsAscii) {
    MyDocument document;
    EXPECT_EQ(document.fileType(), "Vexmira document");
    std::string error;
    auto data = document.dataRepresentationOfType("Vexmira document", error);
    ASSERT_TRUE(data) << error;
    for (char c : *data)
        ASSERT_LT(static_cast<unsigned char>(c), 0x80);
    Platform::PropertyList::Dictionary expected = {
        {"Class", "MyDocument"},       {"Version", "1"},
        {"blowupValue", "0.000000"},   {"immersionValue", "0.000000"},
        {"distanceValue", "8.000000"}, {"meridiansValue", "72"},
        {"resolutionValue", "34"},     {"antialiasingValue", "1"},
    };
    EXPECT_EQ(parsedDictionary(*data), expected);
}

TEST(MyDocument, LoadingRestoresExactlyAndAddsNothingToTheHistory) {
    MyDocument source;
    source.model().setBlowup(0.5f);
    source.model().setImmersion(-1.25f);
    source.model().setDistance(12.75f);
    source.model().setMeridians(40);
    source.model().setResolution(10);
    source.model().setAntialiasing(4);
    std::string text = source.convertForStorage();

    MyDocument target;
    std::string error;
    ASSERT_TRUE(target.loadDataRepresentation(text, "Vexmira document", error)) << error;
    EXPECT_EQ(target.model().blowup(), 0.5f);
    EXPECT_EQ(target.model().immersion(), -1.25f);
    EXPECT_EQ(target.model().distance(), 12.75f);
    EXPECT_EQ(target.model().meridians(), 40);
    EXPECT_EQ(target.model().resolution(), 10);
    EXPECT_EQ(target.model().antialiasing(), 4);
    EXPECT_FALSE(target.undoManager().canUndo());
}

TEST(MyDocument, ReadsAnyLayoutQuotingOrderClassAndVersion) {
    const char* text = "// written by hand\n"
                       "{\n"
                       "  antialiasingValue = \"2\" ;  Version = 2; Class = SomethingElse;\n"
                       "  /* the rest */ \"meridiansValue\"=\"5\";resolutionValue=6;\n"
                       "  blowupValue = \" 0.25\"; immersionValue = 1.5; distanceValue = 3;\n"
                       "  unknownKey = ( ignored, { too = yes; } );\n"
                       "}\n";
    MyDocument document;
    std::string error;
    ASSERT_TRUE(document.loadDataRepresentation(text, "Vexmira document", error)) << error;
    EXPECT_EQ(document.model().antialiasing(), 2);
    EXPECT_EQ(document.model().meridians(), 5);
    EXPECT_EQ(document.model().resolution(), 6);
    EXPECT_EQ(document.model().blowup(), 0.25f);
    EXPECT_EQ(document.model().immersion(), 1.5f);
    EXPECT_EQ(document.model().distance(), 3.0f);

    // Missing keys restore zero.
    ASSERT_TRUE(
        document.loadDataRepresentation("{ Class = MyDocument; }", "Vexmira document", error));
    EXPECT_EQ(document.model().distance(), 0.0f);
    EXPECT_EQ(document.model().meridians(), 0);
}

TEST(MyDocument, OtherTypesAreNeitherWrittenNorRead) {
    MyDocument document;
    giveHistory(document);
    Snapshot before(document);
    std::string error;
    EXPECT_FALSE(document.dataRepresentationOfType("Text", error));
    EXPECT_FALSE(document.loadDataRepresentation(document.convertForStorage(), "Text", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Snapshot(document), before);
}

TEST(MyDocument, SaveClearsUndoAndRedoAndOpenRevertRoundTrip) {
    TemporaryFolder folder;
    std::string path = folder.file("picture.vexmira");
    MyDocument document;
    giveHistory(document);
    ASSERT_TRUE(document.undoManager().canRedo());
    std::string error;
    ASSERT_TRUE(document.saveToFile(path, error)) << error;
    EXPECT_FALSE(document.undoManager().canUndo());
    EXPECT_FALSE(document.undoManager().canRedo());
    EXPECT_FALSE(document.isDocumentEdited());
    EXPECT_EQ(document.displayName(), "picture.vexmira");

    MyDocument opened;
    ASSERT_TRUE(opened.readFromFile(path, error)) << error;
    EXPECT_EQ(opened.model().meridians(), 12);
    EXPECT_EQ(opened.model().blowup(), 0.75f);
    EXPECT_EQ(opened.model().antialiasing(), 1);

    opened.model().setMeridians(99);
    opened.model().setAntialiasing(4);
    ASSERT_TRUE(opened.revertToSaved(error)) << error;
    EXPECT_EQ(opened.model().meridians(), 12);
    EXPECT_EQ(opened.model().antialiasing(), 1);
    EXPECT_FALSE(opened.isDocumentEdited());
    EXPECT_FALSE(opened.undoManager().canUndo());
}

TEST(MyDocument, SaveAndRevertMenuItems) {
    TemporaryFolder folder;
    MyDocument document;
    MenuItem save{"Save"};
    MenuItem revert{"Revert To Saved"};
    EXPECT_FALSE(document.validateMenuItem(save));
    EXPECT_FALSE(document.validateMenuItem(revert));
    document.model().setMeridians(40);
    EXPECT_TRUE(document.validateMenuItem(save));
    EXPECT_FALSE(document.validateMenuItem(revert)) << "never saved";
    EXPECT_TRUE(document.validateMenuItem(MenuItem{"Undo"}));
    EXPECT_FALSE(document.validateMenuItem(MenuItem{"Redo"}));
    EXPECT_TRUE(document.validateMenuItem(MenuItem{"Export Picture..."}));
    std::string error;
    ASSERT_TRUE(document.saveToFile(folder.file("m.vexmira"), error)) << error;
    EXPECT_FALSE(document.validateMenuItem(save));
    EXPECT_FALSE(document.validateMenuItem(revert));
    EXPECT_FALSE(document.validateMenuItem(MenuItem{"Undo"}));
    document.model().setBlowup(1.0f);
    EXPECT_TRUE(document.validateMenuItem(save));
    EXPECT_TRUE(document.validateMenuItem(revert));
}

TEST(MyDocument, MenuTitlesAreComparedInTheUsersLanguage) {
    std::setlocale(LC_ALL, "C.UTF-8");
    setenv("LANGUAGE", "de", 1);
    Platform::reloadLocalization();
    MyDocument document;
    bool sichernWhenClean = document.validateMenuItem(MenuItem{"Sichern"});
    document.model().setMeridians(40);
    bool sichernWhenEdited = document.validateMenuItem(MenuItem{"Sichern"});
    unsetenv("LANGUAGE");
    std::setlocale(LC_ALL, "C");
    Platform::reloadLocalization();
    EXPECT_FALSE(sichernWhenClean);
    EXPECT_TRUE(sichernWhenEdited);
}

TEST(MyDocument, BadTextIsRefusedWithItsPlaceAndChangesNothing) {
    struct Case {
        std::string text;
        std::string expectedInMessage;
    };
    const std::vector<Case> cases = {
        {"{ blowupValue = \"0.5\xC3\xA9\"; }", "line 1, column 21"},
        {"{\n meridiansValue = 5;\n\x80}", "line 3, column 1"},
        {"{ meridiansValue = 5 }", "line 1, column 22"},
        {"{ meridiansValue = 5;", "line 1, column 22"},
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
    };
    TemporaryFolder folder;
    for (const Case& c : cases) {
        MyDocument document;
        giveHistory(document);
        Snapshot before(document);
        std::string path = folder.file("broken.vexmira");
        TemporaryFolder::write(path, c.text);
        std::string error;
        EXPECT_FALSE(document.readFromFile(path, error)) << c.text;
        EXPECT_NE(error.find("broken.vexmira"), std::string::npos) << error;
        EXPECT_NE(error.find(c.expectedInMessage), std::string::npos) << c.text << "\n" << error;
        EXPECT_TRUE(Snapshot(document) == before) << c.text;

        // Reverting to a file that has gone bad changes nothing either.
        MyDocument saved;
        ASSERT_TRUE(saved.saveToFile(path, error)) << error;
        saved.model().setDistance(2.0f);
        Snapshot edited(saved);
        TemporaryFolder::write(path, c.text);
        EXPECT_FALSE(saved.revertToSaved(error)) << c.text;
        EXPECT_TRUE(Snapshot(saved) == edited) << c.text;
    }
}

TEST(MyDocument, RandomBytesAreRefused) {
    std::mt19937 random(20261206);
    std::string bytes(1 << 20, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    std::string ascii = bytes;
    for (char& c : ascii)
        c = static_cast<char>(c & 0x7F);
    TemporaryFolder folder;
    for (const std::string* data : {&bytes, &ascii}) {
        MyDocument document;
        giveHistory(document);
        Snapshot before(document);
        TemporaryFolder::write(folder.file("noise.vexmira"), *data);
        std::string error;
        EXPECT_FALSE(document.readFromFile(folder.file("noise.vexmira"), error));
        EXPECT_NE(error.find("noise.vexmira"), std::string::npos) << error;
        EXPECT_NE(error.find("line "), std::string::npos) << error;
        EXPECT_TRUE(Snapshot(document) == before);
    }
}

TEST(MyDocument, AFailedSaveLeavesTheOldFileByteForByte) {
    TemporaryFolder folder;
    std::string path = folder.file("precious.vexmira");
    MyDocument document;
    std::string error;
    ASSERT_TRUE(document.saveToFile(path, error)) << error;
    std::string oldBytes = TemporaryFolder::read(path);
    giveHistory(document);
    Snapshot before(document);
    {
        // Room for a few bytes only: the new text cannot be written in full.
        FileSizeLimit limit(16);
        EXPECT_FALSE(document.saveDocument(error));
    }
    EXPECT_NE(error.find("precious.vexmira"), std::string::npos) << error;
    EXPECT_EQ(TemporaryFolder::read(path), oldBytes);
    EXPECT_TRUE(Snapshot(document) == before) << "still edited, history kept";
    EXPECT_EQ(folder.entryCount(), 1u);

    // A directory in the way of Save As.
    fs::create_directory(folder.file("taken.vexmira"));
    EXPECT_FALSE(document.saveToFile(folder.file("taken.vexmira"), error));
    EXPECT_EQ(document.fileName(), path);
    EXPECT_TRUE(Snapshot(document) == before);
}
