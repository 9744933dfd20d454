#include "Vexmira/MyDocument.h"
#include "Platform/core/PropertyListParser.h"
#include "support/AllocationPeak.h"
#include "support/TemporaryFolder.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <tuple>

using VexmiraTest::AllocationPeak;
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

auto values(const MyDocument& document) {
    const Blowup& m = document.model();
    return std::tuple(m.blowup(), m.immersion(), m.distance(), m.meridians(), m.resolution(),
                      m.antialiasing());
}

constexpr std::size_t megabyte = std::size_t{1} << 20;

} // namespace

TEST(MyDocument, WritesTheEightEntriesInAsciiWithSixDecimalsAndReadsThemBackExactly) {
    MyDocument document;
    EXPECT_EQ(values(document), std::tuple(0.0f, 0.0f, 8.0f, 72, 34, 1));
    document.model().setImmersion(0.1f); // 0.100000001490116... as a double
    document.model().setDistance(-1234.5f);
    document.model().setMeridians(-7);
    document.model().setResolution(10);
    document.model().setAntialiasing(4);
    giveHistory(document); // blowup 0.75; saving clears both stacks
    TemporaryFolder folder;
    const std::string path = folder.file("picture.vexmira");
    std::string error;
    ASSERT_TRUE(document.saveToFile(path, error)) << error;
    Platform::PropertyListError parseError; // in ASCII, or it would not open again below
    EXPECT_EQ(
        Platform::PropertyListParser::parseDictionary(TemporaryFolder::read(path), parseError),
        (Platform::PropertyList::Dictionary{{"Class", "MyDocument"},
                                            {"Version", "1"},
                                            {"blowupValue", "0.750000"},
                                            {"immersionValue", "0.100000"},
                                            {"distanceValue", "-1234.500000"},
                                            {"meridiansValue", "-7"},
                                            {"resolutionValue", "10"},
                                            {"antialiasingValue", "4"}}));
    MyDocument opened;
    ASSERT_TRUE(opened.readFromFile(path, error)) << error;
    EXPECT_EQ(values(opened), std::tuple(0.75f, 0.1f, -1234.5f, -7, 10, 4));
    EXPECT_EQ(snapshot(opened), snapshot(document));
    opened.model().setMeridians(99);
    ASSERT_TRUE(opened.revertToSaved(error)) << error;
    EXPECT_EQ(snapshot(opened), snapshot(document));
    // Another version or class, and entries of every kind that are not ours, are read past.
    ASSERT_TRUE(opened.loadDataRepresentation(
        "{ Version = 2; Class = Other; meridiansValue = 5; x = (y, {z=w;}, <0a0b>); }",
        "Vexmira document", error))
        << error;
    EXPECT_EQ(values(opened), std::tuple(0.0f, 0.0f, 0.0f, 5, 0, 0));
}

TEST(MyDocument, BadFilesAreRefusedWithTheirPlaceAndChangeNothing) {
    const struct {
        std::string text, expectedInMessage;
    } cases[] = {
        {"{\n meridiansValue = 5;\n blowupValue = \"0.5\xC3\xA9\"; }", "Line 3, column 20"},
        {"{ meridiansValue = 5 }", "Line 1, column 22"},
        {"{ meridiansValue = (1); }", "“meridiansValue”"},
        {"{ resolutionValue = <3132>; }", "“resolutionValue” must be a string, not data"},
        {"{ immersionValue = 1e999; }", "“immersionValue”"}};
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
        EXPECT_NE(error.find(c.expectedInMessage), std::string::npos) << error;
        EXPECT_FALSE(document.loadDataRepresentation(document.convertForStorage(), "Text", error));
        EXPECT_FALSE(document.dataRepresentationOfType("Text", error));
        EXPECT_EQ(snapshot(document), before); // nor do other types change anything
    }
}

// Opening junk must cost memory in proportion to the bytes actually there and read, never to
// sizes the junk declares or implies; a document of our own is a few hundred bytes.
TEST(MyDocument, NoiseAndHugeFilesAreRefusedWithoutLargeAllocations) {
    TemporaryFolder folder;
    std::string noise(megabyte, '\0'); // ASCII: non-ASCII would be refused at its first byte
    std::ranges::generate(noise,
                          [random = std::mt19937(7)]() mutable { return char(random() & 0x7F); });
    const std::pair<const char*, std::string> cases[] = {
        {"ascii-noise.vexmira", noise},
        {"unclosed.vexmira", "{ a = \"" + std::string(megabyte, 'x')},
        {"gigabyte.vexmira", ""}, // grown below into a hole: a gigabyte taking no disk space
    };
    bool measured = true;
    for (const auto& [name, bytes] : cases) {
        TemporaryFolder::write(folder.file(name), bytes);
        if (bytes.empty())
            std::filesystem::resize_file(folder.file(name), std::uintmax_t{1} << 30);
        MyDocument document;
        std::string error;
        AllocationPeak peak;
        EXPECT_FALSE(document.readFromFile(folder.file(name), error)) << name;
        const auto growth = peak.growth();
        measured = measured && growth;
        EXPECT_LT(growth.value_or(0), 16 * megabyte) << name;
    }
    if (!measured)
        GTEST_SKIP() << AllocationPeak::unavailable;
}
