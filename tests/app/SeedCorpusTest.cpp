// The fuzz targets' seed files, read by the real readers in every build (the
// sanitizer build included): the valid seeds must still be accepted and the
// broken ones refused. Inputs that once broke a reader are kept in the same
// folders, so replaying every file here keeps each fixed fault fixed. What
// the readers make of a file is tested beside each reader; the model files
// are replayed by the model file's own test.

#include "Platform/core/PropertyListParser.h"
#include "TolvaneKit/Resources/RVDatabase.h"
#include "TolvaneKit/Resources/RVTexture.h"
#include "Vexmira/MyDocument.h"

#include "support/OffscreenGLTest.h"
#include "support/ResourceFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

namespace fs = std::filesystem;
using VexmiraTest::TemporaryFolder;
using Names = std::set<std::string>;

namespace {

// Reads every seed of a target (true: accepted). The named seeds must all be there, the valid
// ones accepted and the broken ones refused; any other file only has to be read.
void replaySeeds(const std::string& target, const Names& valid, const Names& broken,
                 const std::function<bool(const fs::path&)>& read) {
    Names missing = valid;
    missing.insert(broken.begin(), broken.end());
    for (const auto& entry :
         fs::directory_iterator(fs::path(VEXMIRA_TEST_SOURCE_DIR) / "fuzz" / "corpus" / target)) {
        const std::string name = entry.path().filename().string();
        missing.erase(name);
        const bool accepted = read(entry.path());
        if (valid.count(name) || broken.count(name)) {
            EXPECT_EQ(accepted, valid.count(name) == 1) << name;
        }
    }
    EXPECT_THAT(missing, testing::IsEmpty()) << "named seeds missing from " << target;
}

TEST(SeedCorpus, PropertyListSeedsReadOrAreRefusedWithAPlace) {
    replaySeeds("property-list",
                {"document.plist", "array.plist", "escapes.plist", "comments.plist",
                 "empty-dictionary.plist", "plain-string.plist", "data-value.plist"},
                {"unclosed-dictionary.plist", "missing-semicolon.plist", "bad-unicode-escape.plist",
                 "unclosed-comment.plist", "odd-data-digits.plist", "octal-too-large.plist",
                 "too-deep.plist", "text-after.plist"},
                [](const fs::path& file) {
                    Platform::PropertyListError error;
                    const bool read = Platform::PropertyListParser::parse(
                                          TemporaryFolder::read(file.string()), error)
                                          .has_value();
                    if (!read) { // refused with a place and a reason
                        EXPECT_GE(error.line, 1);
                        EXPECT_FALSE(error.message.empty());
                    }
                    return read;
                });
}

TEST(SeedCorpus, DocumentSeedsOpenOrAreRefusedWithAReason) {
    replaySeeds(
        "document",
        {"default.vexmira", "version-2.vexmira", "quoted-reordered.vexmira", "missing-keys.vexmira",
         "negative-counts.vexmira", "leading-text.vexmira", "data-entry.vexmira"},
        {"meridians-out-of-range.vexmira", "product-too-large.vexmira", "int-overflow.vexmira",
         "not-a-number.vexmira", "not-ascii.vexmira", "array-value.vexmira", "data-value.vexmira",
         "array-not-dictionary.vexmira", "empty.vexmira"},
        [](const fs::path& file) {
            MyDocument document;
            std::string error;
            const bool opened = document.readFromFile(file.string(), error);
            EXPECT_NE(opened, !error.empty()) << file << ": " << error;
            return opened;
        });
}

class TextureSeedCorpus : public VexmiraTest::OffscreenGLTest {};

// Every layout the loader reads becomes the seeds' 4 x 3 texture; planar images, damaged
// files and sizes the context refuses stay empty.
TEST_F(TextureSeedCorpus, TextureSeedsBecomeFourByThreeTexturesOrStayEmpty) {
    VexmiraTest::ResourceFolder resources{"RVTexture"};
    replaySeeds("texture",
                {"rgba8.tiff", "rgb8.tiff", "grey8.tiff", "grey-alpha8.tiff", "bilevel.tiff",
                 "palette8.tiff", "rgb16.tiff", "tiled-rgba8.tiff", "lzw-rgba8.tiff",
                 "deflate-rgb8.tiff", "packbits-grey8.tiff", "bottom-left-rgba8.tiff",
                 "right-top-rgba8.tiff", "palette-alpha8.tiff", "tiled-rgb8.tiff",
                 "tiled-rgba16.tiff", "cmyk8.tiff"},
                {"planar-rgb8.tiff", "rgba8-cut-in-half.tiff", "header-only.tiff",
                 "declares-100000-squared.tiff"},
                [&](const fs::path& file) {
                    fs::copy_file(file, resources.file("RVTexture/5.tiff"),
                                  fs::copy_options::overwrite_existing);
                    RVDatabase database;
                    const RVTexture& texture = *database.retainKey<RVTexture>(5);
                    const bool made = texture.textureName() != 0;
                    const std::pair<int, int> size{texture.width(), texture.height()};
                    EXPECT_EQ(size, made ? std::pair(4, 3) : std::pair(0, 0)) << file;
                    database.releaseKey(5);
                    expectNoGLError();
                    return made;
                });
}

} // namespace
