#include "Platform/core/ResourceDirectory.h"
#include "TolvaneKit/RVDatabase.h"
#include "TolvaneKit/RVModelVNT.h"
#include "TolvaneKit/RVTexture.h"
#include "support/OffscreenGLTest.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using VexmiraTest::TemporaryFolder;

const std::string shippedResources = VEXMIRA_TEST_SOURCE_DIR "/resources/";

// The shipped files are the tool's output: a change that alters them shows up
// here, and running vexmira-make-resources resources brings them back in step.
TEST(SampleResources, ShippedFilesAreWhatTheToolWritesNow) {
    TemporaryFolder folder;
    const std::string tool = VEXMIRA_TEST_BINARY_DIR "/tools/vexmira-make-resources";
    ASSERT_EQ(std::system(("'" + tool + "' '" + folder.file("") + "'").c_str()), 0);
    for (const char* file : {"RVModelVNT/1.rvmvnt", "RVTexture/1.tiff"}) {
        const std::string written = TemporaryFolder::read(folder.file(file));
        EXPECT_FALSE(written.empty()) << file;
        EXPECT_EQ(written, TemporaryFolder::read(shippedResources + file)) << file;
    }
}

class SampleResourcesInDatabase : public VexmiraTest::OffscreenGLTest {};

// Keys are unique across classes in one database, so each class gets its own.
TEST_F(SampleResourcesInDatabase, KeyOneGivesATexturedSphere) {
    Platform::setResourceDirectory(shippedResources);
    RVDatabase models, textures;
    const RVModelVNT* sphere = models.retainKey<RVModelVNT>(1);
    EXPECT_EQ(sphere->numberOfVertices(), 13 * 25 - 2); // 24 slices, 12 stacks
    EXPECT_EQ(sphere->numberOfTriangles(), 2 * 24 * 11);
    const RVTexture* checker = textures.retainKey<RVTexture>(1);
    EXPECT_EQ(checker->width(), 64);
    EXPECT_EQ(checker->height(), 32);
    Platform::setResourceDirectory("");
    expectNoGLError();
}

} // namespace
