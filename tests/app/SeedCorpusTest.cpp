// The fuzz targets' seeds, replayed through the real readers in every build: inputs that once broke
// a reader stay refused, valid seeds stay accepted. The model files replay in their own test.

#include "Platform/core/PropertyListParser.h"
#include "TolvaneKit/Resources/RVDatabase.h"
#include "TolvaneKit/Resources/RVTexture.h"
#include "Vexmira/MyDocument.h"

#include "support/OffscreenGLTest.h"
#include "support/ResourceFolder.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

namespace fs = std::filesystem;
using VexmiraTest::TemporaryFolder;

namespace {

// Reads every seed of a target (true: accepted): the broken ones named must be there and be
// refused, every other seed accepted.
void replaySeeds(const std::string& target, std::set<std::string> broken,
                 const std::function<bool(const fs::path&)>& read) {
    for (const auto& entry :
         fs::directory_iterator(fs::path(VEXMIRA_TEST_SOURCE_DIR) / "fuzz" / "corpus" / target))
        EXPECT_NE(read(entry.path()), broken.erase(entry.path().filename().string()) == 1)
            << entry.path();
    EXPECT_THAT(broken, testing::IsEmpty()) << "named seeds missing from " << target;
}

// Where a refusal points is the parser's own test.
TEST(SeedCorpus, PropertyListSeedsReadOrAreRefused) {
    replaySeeds("property-list",
                {"unclosed-dictionary.plist", "missing-semicolon.plist", "bad-unicode-escape.plist",
                 "unclosed-comment.plist", "odd-data-digits.plist", "octal-too-large.plist",
                 "too-deep.plist", "text-after.plist"},
                [](const fs::path& file) {
                    Platform::PropertyListError error;
                    return Platform::PropertyListParser::parse(TemporaryFolder::read(file), error)
                        .has_value();
                });
}

TEST(SeedCorpus, DocumentSeedsOpenOrAreRefusedWithAReason) {
    replaySeeds("document",
                {"meridians-out-of-range.vexmira", "product-too-large.vexmira",
                 "int-overflow.vexmira", "not-a-number.vexmira", "not-ascii.vexmira",
                 "array-value.vexmira", "data-value.vexmira", "array-not-dictionary.vexmira",
                 "empty.vexmira"},
                [](const fs::path& file) {
                    MyDocument document;
                    std::string error;
                    const bool opened = document.readFromFile(file.string(), error);
                    EXPECT_NE(opened, !error.empty()) << file << ": " << error;
                    return opened;
                });
}

class TextureSeedCorpus : public VexmiraTest::OffscreenGLTest {};

// Every layout the loader reads becomes the seeds' 4 x 3 texture; planar images, damaged files
// and sizes the context refuses stay empty.
TEST_F(TextureSeedCorpus, TextureSeedsBecomeFourByThreeTexturesOrStayEmpty) {
    VexmiraTest::ResourceFolder resources{"RVTexture"};
    replaySeeds("texture",
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
