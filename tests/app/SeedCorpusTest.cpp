// The fuzz targets' seed files, read by the real readers in every build (the sanitizer build
// included). Inputs that once broke a reader are kept in the same folders, so replaying every
// file here keeps each fixed fault fixed. What the readers make of each kind of file is tested
// beside each reader; the model files are replayed by the model file's own test.

#include "Platform/core/PropertyListParser.h"
#include "TolvaneKit/Resources/RVDatabase.h"
#include "TolvaneKit/Resources/RVTexture.h"
#include "Vexmira/MyDocument.h"

#include "support/OffscreenGLTest.h"
#include "support/ResourceFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace fs = std::filesystem;
using VexmiraTest::TemporaryFolder;

namespace {

// Reads every seed of a target (true: accepted); each corpus holds seeds of both kinds.
void replaySeeds(const std::string& target, const std::function<bool(const fs::path&)>& read) {
    int accepted = 0, refused = 0;
    for (const auto& entry :
         fs::directory_iterator(fs::path(VEXMIRA_TEST_SOURCE_DIR) / "fuzz" / "corpus" / target))
        (read(entry.path()) ? accepted : refused) += 1;
    EXPECT_GT(accepted, 0) << target;
    EXPECT_GT(refused, 0) << target;
}

TEST(SeedCorpus, PropertyListSeedsReadOrAreRefusedWithAPlace) {
    replaySeeds("property-list", [](const fs::path& file) {
        Platform::PropertyListError error;
        const bool read =
            Platform::PropertyListParser::parse(TemporaryFolder::read(file.string()), error)
                .has_value();
        if (!read) { // refused with a place and a reason
            EXPECT_GE(error.line, 1);
            EXPECT_FALSE(error.message.empty());
        }
        return read;
    });
}

TEST(SeedCorpus, DocumentSeedsOpenOrAreRefusedWithAReason) {
    replaySeeds("document", [](const fs::path& file) {
        MyDocument document;
        std::string error;
        const bool opened = document.readFromFile(file.string(), error);
        EXPECT_NE(opened, !error.empty()) << file << ": " << error;
        return opened;
    });
}

class TextureSeedCorpus : public VexmiraTest::OffscreenGLTest {};

// Every seed the loader reads becomes the seeds' 4 x 3 texture; the others stay empty.
TEST_F(TextureSeedCorpus, TextureSeedsBecomeFourByThreeTexturesOrStayEmpty) {
    VexmiraTest::ResourceFolder resources{"RVTexture"};
    replaySeeds("texture", [&](const fs::path& file) {
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
