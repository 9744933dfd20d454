// `cmake --install` into a temporary prefix, then moved: the program must not need the source
// tree, the build tree or the prefix it was configured for.

#include "Platform/offscreen/PngReader.h"
#include "render/ProgramRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

using namespace VexmiraTest;
namespace fs = std::filesystem;

namespace {

// Every regular file below root, by its path relative to root, with its bytes.
std::map<std::string, std::string> filesBelow(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).string()] =
                TemporaryFolder::read(entry.path().string());
    return files;
}

} // namespace

TEST(InstalledTreeTest, MovedTreeHasEverythingInPlaceAndRendersWithItsOwnResources) {
    TemporaryFolder folder;
    const ProgramRun install =
        runProgram(shellQuoted(VEXMIRA_CMAKE_COMMAND) + " --install " +
                   shellQuoted(VEXMIRA_TEST_BINARY_DIR) + " --prefix " + folder.file("prefix"));
    ASSERT_EQ(install.status, 0) << install.standardError;
    const fs::path tree = folder.file("moved");
    fs::rename(folder.file("prefix"), tree);

    EXPECT_NE(fs::status(tree / "bin/vexmira").permissions() & fs::perms::owner_exec,
              fs::perms::none);
    for (const char* file : {"share/locale/de/LC_MESSAGES/vexmira.mo", "share/man/man1/vexmira.1",
                             "share/man/man1/vexmira-render.1"})
        EXPECT_TRUE(fs::is_regular_file(tree / file)) << file;
    const std::string desktop = TemporaryFolder::read(tree / "share/applications/vexmira.desktop");
    for (const char* line :
         {"\nExec=vexmira %F\n", "\nIcon=vexmira\n", "\nMimeType=application/x-vexmira;\n"})
        EXPECT_NE(desktop.find(line), std::string::npos) << line;
    const std::string mime = TemporaryFolder::read(tree / "share/mime/packages/vexmira.xml");
    EXPECT_NE(mime.find("type=\"application/x-vexmira\""), std::string::npos);
    EXPECT_NE(mime.find("<glob pattern=\"*.vexmira\"/>"), std::string::npos);
    const auto icon = Platform::readPngFile(tree / "share/icons/hicolor/256x256/apps/vexmira.png");
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->width, 256);
    EXPECT_EQ(icon->height, 256);
    EXPECT_EQ(filesBelow(tree / "share/vexmira/resources"),
              filesBelow(fs::path(VEXMIRA_TEST_SOURCE_DIR) / "resources"));

    // Run from a folder of its own, it reads the resources beside itself and draws as built.
    const std::string program =
        "cd " + shellQuoted(folder.file("")) + " && " + shellQuoted(tree / "bin/vexmira-render");
    const std::string help = runProgram(program + " --help").standardOutput;
    const std::string label = "Resources are read from: ";
    const auto start = help.find(label);
    ASSERT_NE(start, std::string::npos) << help;
    const fs::path resources =
        help.substr(start + label.size(), help.find('\n', start) - start - label.size());
    EXPECT_EQ(fs::weakly_canonical(resources), tree / "share/vexmira/resources");

    const std::string view = " --size 240x180 --elevation 70 --blowup 0.5 --passes 2 -o ";
    const ProgramRun run = runProgram(program + view + "installed.png");
    ASSERT_EQ(run.status, 0) << run.standardError;
    ASSERT_EQ(
        runProgram(shellQuoted(VEXMIRA_RENDER_PROGRAM) + view + folder.file("built.png")).status,
        0);
    EXPECT_EQ(TemporaryFolder::read(folder.file("installed.png")),
              TemporaryFolder::read(folder.file("built.png")));
}
