#include "Platform/core/ResourceDirectory.h"
#include "TolvaneKit/RVDatabase.h"
#include "TolvaneKit/RVModelVNT.h"
#include "TolvaneKit/RVTexture.h"
#include "support/OffscreenGLTest.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path shippedResources = fs::path(VEXMIRA_TEST_SOURCE_DIR) / "resources";

std::vector<char> contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    EXPECT_TRUE(in) << file;
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// The shipped files are the tool's output: a change to the mesh, the model
// file or the texture code that alters them shows up here, and running
// vexmira-make-resources resources brings them back in step.
TEST(SampleResources, ShippedFilesAreWhatTheToolWritesNow) {
    const fs::path folder =
        fs::temp_directory_path() / ("vexmira-resources-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    const std::string tool = VEXMIRA_TEST_BINARY_DIR "/tools/vexmira-make-resources";
    ASSERT_EQ(std::system(("'" + tool + "' '" + folder.string() + "'").c_str()), 0);
    for (const char* file : {"RVModelVNT/1.rvmvnt", "RVTexture/1.tiff"})
        EXPECT_EQ(contents(folder / file), contents(shippedResources / file)) << file;
    fs::remove_all(folder);
}

class SampleResourcesInDatabase : public VexmiraTest::OffscreenGLTest {};

TEST_F(SampleResourcesInDatabase, KeyOneGivesATexturedSphere) {
    Platform::setResourceDirectory(shippedResources.string());
    RVDatabase database;
    RVModelVNT* sphere = database.retainKey<RVModelVNT>(1);
    ASSERT_NE(sphere, nullptr);
    EXPECT_EQ(sphere->numberOfVertices(), 13 * 25 - 2); // 24 slices, 12 stacks
    EXPECT_EQ(sphere->numberOfTriangles(), 2 * 24 * 11);
    database.releaseKey(1);

    // Keys are unique across classes in one database, so the texture gets its own.
    RVDatabase textures;
    RVTexture* checker = textures.retainKey<RVTexture>(1);
    ASSERT_NE(checker, nullptr);
    EXPECT_NE(checker->textureName(), 0u);
    EXPECT_EQ(checker->width(), 64);
    EXPECT_EQ(checker->height(), 32);
    textures.releaseKey(1);
    Platform::setResourceDirectory("");
    expectNoGLError();
}

} // namespace
