#include "Platform/core/ResourceDirectory.h"
#include "TolvaneKit/RVDatabase.h"
#include "TolvaneKit/RVModelVNT.h"
#include "support/TemporaryFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using VexmiraTest::TemporaryFolder;

const std::string shippedResources = VEXMIRA_TEST_SOURCE_DIR "/resources/";

// The shipped files are the tool's output: a change that alters them shows up
// here, and running vexmira-make-resources resources brings them back in step.
TEST(SampleResources, ShippedFilesAreWhatTheToolWritesNow) {
    TemporaryFolder folder;
    const std::string tool = VEXMIRA_TEST_BINARY_DIR "/tools/vexmira-make-resources";
    ASSERT_EQ(std::system(("'" + tool + "' '" + folder.file("") + "'").c_str()), 0);
    for (const char* file : {"RVModelVNT/1.rvmvnt", "RVTexture/1.tiff"})
        EXPECT_EQ(TemporaryFolder::read(folder.file(file)),
                  TemporaryFolder::read(shippedResources + file))
            << file;
    Platform::setResourceDirectory(folder.file("")); // the database loads it by key
    EXPECT_EQ(RVDatabase().retainKey<RVModelVNT>(1)->numberOfTriangles(),
              2 * 24 * 11); // 24 slices, 12 stacks
    Platform::setResourceDirectory("");
}

} // namespace
