// The fuzz targets' seed files, read by the real readers in every build (the
// sanitizer build included): the valid seeds must still be accepted with
// their contents and the broken ones refused. Inputs that once broke a
// reader are kept in the same folders, so replaying every file here keeps
// each fixed fault fixed.

#include "Platform/core/PropertyListParser.h"
#include "Platform/core/ResourceDirectory.h"
#include "TolvaneKit/Resources/RVDatabase.h"
#include "TolvaneKit/Resources/RVTexture.h"
#include "TolvaneKit/Scene/RVModelVNT.h"
#include "Vexmira/MyDocument.h"

#include "support/OffscreenGLTest.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace fs = std::filesystem;
using Platform::PropertyList;
using Platform::PropertyListError;
using Platform::PropertyListParser;
using VexmiraTest::TemporaryFolder;

namespace {

fs::path corpus(const std::string& target) {
    return fs::path(VEXMIRA_TEST_SOURCE_DIR) / "fuzz" / "corpus" / target;
}

// Every file of a seed folder; each named one must be among them.
std::vector<fs::path> seedFiles(const std::string& target, const std::set<std::string>& named) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(corpus(target)))
        files.push_back(entry.path());
    std::set<std::string> present;
    for (const fs::path& file : files)
        present.insert(file.filename().string());
    for (const std::string& name : named)
        EXPECT_TRUE(present.count(name)) << target << "/" << name << " is missing";
    return files;
}

TEST(SeedCorpus, PropertyListSeedsReadOrAreRefusedWithAPlace) {
    const std::set<std::string> valid = {
        "document.plist",         "array.plist",        "escapes.plist",   "comments.plist",
        "empty-dictionary.plist", "plain-string.plist", "data-value.plist"};
    const std::set<std::string> broken = {"unclosed-dictionary.plist",
                                          "missing-semicolon.plist",
                                          "bad-unicode-escape.plist",
                                          "unclosed-comment.plist",
                                          "odd-data-digits.plist",
                                          "octal-too-large.plist",
                                          "too-deep.plist",
                                          "text-after.plist"};
    std::set<std::string> named = valid;
    named.insert(broken.begin(), broken.end());
    for (const fs::path& file : seedFiles("property-list", named)) {
        const std::string name = file.filename().string();
        PropertyListError error;
        auto value = PropertyListParser::parse(TemporaryFolder::read(file.string()), error);
        if (valid.count(name)) {
            EXPECT_TRUE(value.has_value()) << name << ": " << error.description();
        }
        if (broken.count(name)) {
            EXPECT_FALSE(value.has_value()) << name;
            EXPECT_GE(error.line, 1) << name;
            EXPECT_FALSE(error.message.empty()) << name;
        }
    }
}

TEST(SeedCorpus, EscapesInTheSeedDecodeToTheirCharacters) {
    PropertyListError error;
    auto dictionary = PropertyListParser::parseDictionary(
        TemporaryFolder::read((corpus("property-list") / "escapes.plist").string()), error);
    ASSERT_TRUE(dictionary) << error.description();
    // \t, \n, octal 101 ('A'), U+00E9 and U+1F600 (a surrogate pair) in UTF-8.
    const std::string expected = "tab\there\nA\xC3\xA9\xF0\x9F\x98\x80";
    EXPECT_EQ(dictionary->at("a\"b"), PropertyList(expected));
    EXPECT_EQ(dictionary->at("single"), PropertyList("q'"));
    EXPECT_EQ(dictionary->at(""), PropertyList(""));
}

struct DocumentValues {
    float blowup, immersion, distance;
    int meridians, resolution, antialiasing;
};

TEST(SeedCorpus, DocumentSeedsOpenWithTheirValuesOrAreRefused) {
    const std::map<std::string, DocumentValues> valid = {
        {"default.vexmira", {0, 0, 8, 72, 34, 1}},
        {"version-2.vexmira", {0, 0, 8, 72, 34, 1}},
        {"quoted-reordered.vexmira", {1.25f, 3.14159f, 2.5f, 12, 90, 3}},
        {"missing-keys.vexmira", {0.5f, 0, 0, 0, 0, 0}},
        {"negative-counts.vexmira", {0, 0, 0, -100000, -100000, -1000}},
        // "12abc" reads as 12, "abc" as 0, ".5e1x" as 5.
        {"leading-text.vexmira", {5, 0, 0, 12, 0, 0}},
        {"data-entry.vexmira", {0.5f, 0, 8, 72, 34, 1}},
    };
    const std::set<std::string> broken = {"meridians-out-of-range.vexmira",
                                          "product-too-large.vexmira",
                                          "int-overflow.vexmira",
                                          "not-a-number.vexmira",
                                          "not-ascii.vexmira",
                                          "array-value.vexmira",
                                          "data-value.vexmira",
                                          "array-not-dictionary.vexmira",
                                          "empty.vexmira"};
    std::set<std::string> named = broken;
    for (const auto& [name, values] : valid)
        named.insert(name);
    for (const fs::path& file : seedFiles("document", named)) {
        const std::string name = file.filename().string();
        MyDocument document;
        std::string error;
        const bool opened = document.readFromFile(file.string(), error);
        if (broken.count(name)) {
            EXPECT_FALSE(opened) << name;
            EXPECT_FALSE(error.empty()) << name;
        }
        auto expected = valid.find(name);
        if (expected == valid.end())
            continue;
        ASSERT_TRUE(opened) << name << ": " << error;
        const Blowup& model = document.model();
        const DocumentValues& v = expected->second;
        EXPECT_FLOAT_EQ(model.blowup(), v.blowup) << name;
        EXPECT_FLOAT_EQ(model.immersion(), v.immersion) << name;
        EXPECT_FLOAT_EQ(model.distance(), v.distance) << name;
        EXPECT_EQ(model.meridians(), v.meridians) << name;
        EXPECT_EQ(model.resolution(), v.resolution) << name;
        EXPECT_EQ(model.antialiasing(), v.antialiasing) << name;
    }
}

TEST(SeedCorpus, ModelFileSeedsLoadWithTheirCountsOrAreRefused) {
    // Triangles and vertices of the valid seeds: a sphere of 3 slices and
    // 2 stacks has 3 north-pole copies, one ring of 3 plus a seam vertex and
    // 3 south-pole copies, and 3 + 3 triangles.
    const std::map<std::string, std::pair<int, int>> valid = {
        {"empty.rvmvnt", {0, 0}}, {"triangle.rvmvnt", {1, 3}}, {"sphere.rvmvnt", {6, 10}}};
    const std::set<std::string> broken = {"short-by-one.rvmvnt", "index-out-of-range.rvmvnt",
                                          "2-to-the-31-triangles.rvmvnt",
                                          "2-to-the-31-vertices.rvmvnt", "seven-bytes.rvmvnt"};
    std::set<std::string> named = broken;
    for (const auto& [name, counts] : valid)
        named.insert(name);
    for (const fs::path& file : seedFiles("model-file", named)) {
        const std::string name = file.filename().string();
        RVModelVNT model;
        const bool loaded = model.loadFromFile(file.string());
        if (broken.count(name)) {
            EXPECT_FALSE(loaded) << name;
        }
        auto expected = valid.find(name);
        if (expected == valid.end())
            continue;
        ASSERT_TRUE(loaded) << name;
        EXPECT_EQ(model.numberOfTriangles(), expected->second.first) << name;
        EXPECT_EQ(model.numberOfVertices(), expected->second.second) << name;
    }
}

class TextureSeedCorpus : public VexmiraTest::OffscreenGLTest {
protected:
    void TearDown() override {
        Platform::setResourceDirectory("");
        OffscreenGLTest::TearDown();
    }
};

TEST_F(TextureSeedCorpus, TextureSeedsBecomeFourByThreeTexturesOrStayEmpty) {
    // Every layout the loader reads becomes the seeds' 4 x 3 image; planar
    // images, damaged files and sizes the context refuses stay empty.
    const std::set<std::string> valid = {
        "rgba8.tiff",     "rgb8.tiff",         "grey8.tiff",          "grey-alpha8.tiff",
        "bilevel.tiff",   "palette8.tiff",     "rgb16.tiff",          "tiled-rgba8.tiff",
        "lzw-rgba8.tiff", "deflate-rgb8.tiff", "packbits-grey8.tiff", "bottom-left-rgba8.tiff"};
    const std::set<std::string> empty = {"planar-rgb8.tiff", "rgba8-cut-in-half.tiff",
                                         "header-only.tiff", "declares-100000-squared.tiff"};
    std::set<std::string> named = valid;
    named.insert(empty.begin(), empty.end());
    TemporaryFolder resources;
    fs::create_directories(resources.file("RVTexture"));
    Platform::setResourceDirectory(resources.file(""));
    for (const fs::path& file : seedFiles("texture", named)) {
        const std::string name = file.filename().string();
        fs::copy_file(file, resources.file("RVTexture/5.tiff"),
                      fs::copy_options::overwrite_existing);
        RVDatabase database;
        const RVTexture& texture = *database.retainKey<RVTexture>(5);
        if (valid.count(name)) {
            EXPECT_NE(texture.textureName(), 0u) << name;
            EXPECT_EQ(texture.width(), 4) << name;
            EXPECT_EQ(texture.height(), 3) << name;
        }
        if (empty.count(name)) {
            EXPECT_EQ(texture.textureName(), 0u) << name;
            EXPECT_EQ(texture.width(), 0) << name;
            EXPECT_EQ(texture.height(), 0) << name;
        }
        database.releaseKey(5);
        expectNoGLError();
    }
}

} // namespace
