// `cmake --install` into a temporary prefix gives a program that runs from
// wherever the tree is put, without the source or build tree.

#include "Platform/offscreen/PngReader.h"
#include "render/ProgramRun.h"
#include "support/TemporaryFolder.h"

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

std::string lineAfter(const std::string& text, const std::string& label) {
    const auto start = text.find(label);
    if (start == std::string::npos)
        return "";
    const auto end = text.find('\n', start);
    return text.substr(start + label.size(), end - start - label.size());
}

class InstalledTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        const ProgramRun install = runProgram(VEXMIRA_CMAKE_COMMAND,
                                              "--install " + shellQuoted(VEXMIRA_TEST_BINARY_DIR) +
                                                  " --prefix " + shellQuoted(prefix_.file("")),
                                              captures_.file(""));
        ASSERT_EQ(install.status, 0) << install.standardError;
    }

    fs::path installed(const std::string& relative) const {
        return fs::path(prefix_.file(relative));
    }

    TemporaryFolder prefix_;
    TemporaryFolder captures_;
};

} // namespace

TEST_F(InstalledTreeTest, EverythingLandsWhereDesktopsAndManLookForIt) {
    for (const char* program : {"bin/vexmira", "bin/vexmira-render"}) {
        const auto permissions = fs::status(installed(program)).permissions();
        EXPECT_NE(permissions & fs::perms::owner_exec, fs::perms::none) << program;
    }
    EXPECT_TRUE(fs::is_regular_file(installed("share/locale/de/LC_MESSAGES/vexmira.mo")));
    EXPECT_TRUE(fs::is_regular_file(installed("share/man/man1/vexmira.1")));
    EXPECT_TRUE(fs::is_regular_file(installed("share/man/man1/vexmira-render.1")));

    const std::string desktop =
        TemporaryFolder::read(installed("share/applications/vexmira.desktop"));
    EXPECT_NE(desktop.find("\nExec=vexmira %F\n"), std::string::npos);
    EXPECT_NE(desktop.find("\nIcon=vexmira\n"), std::string::npos);
    EXPECT_NE(desktop.find("\nMimeType=application/x-vexmira;\n"), std::string::npos);

    const std::string mime = TemporaryFolder::read(installed("share/mime/packages/vexmira.xml"));
    EXPECT_NE(mime.find("type=\"application/x-vexmira\""), std::string::npos);
    EXPECT_NE(mime.find("<glob pattern=\"*.vexmira\"/>"), std::string::npos);

    std::string error;
    const auto icon =
        Platform::readPngFile(installed("share/icons/hicolor/256x256/apps/vexmira.png"), &error);
    ASSERT_TRUE(icon) << error;
    EXPECT_EQ(icon->width, 256);
    EXPECT_EQ(icon->height, 256);

    // The resources installed are the source tree's, file for file.
    EXPECT_EQ(filesBelow(installed("share/vexmira/resources")),
              filesBelow(fs::path(VEXMIRA_TEST_SOURCE_DIR) / "resources"));
}

// The tree is moved after installing, and the program is run from a folder of
// its own: it must find the resources beside itself, not in the source tree
// nor at the prefix it was configured for, and draw the same picture as the
// program in the build tree.
TEST_F(InstalledTreeTest, MovedTreeRendersWithItsOwnResources) {
    TemporaryFolder moved;
    fs::copy(prefix_.file(""), moved.file("vexmira"), fs::copy_options::recursive);
    fs::remove_all(prefix_.file("bin"));
    fs::remove_all(prefix_.file("share"));
    TemporaryFolder elsewhere;
    const std::string program = moved.file("vexmira/bin/vexmira-render");

    const ProgramRun help =
        runProgram(program, "--help", captures_.file(""), "", elsewhere.file(""));
    ASSERT_EQ(help.status, 0) << help.standardError;
    const fs::path resources = lineAfter(help.standardOutput, "Resources are read from: ");
    EXPECT_EQ(fs::weakly_canonical(resources),
              fs::weakly_canonical(moved.file("vexmira/share/vexmira/resources")));

    const std::string view = " --size 240x180 --elevation 70 --blowup 0.5 --passes 2 -o ";
    const ProgramRun run =
        runProgram(program, view + "picture.png", captures_.file(""), "", elsewhere.file(""));
    ASSERT_EQ(run.status, 0) << run.standardError;
    ASSERT_EQ(runProgram(VEXMIRA_RENDER_PROGRAM, view + shellQuoted(captures_.file("built.png")),
                         captures_.file(""))
                  .status,
              0);
    EXPECT_EQ(TemporaryFolder::read(elsewhere.file("picture.png")),
              TemporaryFolder::read(captures_.file("built.png")));
}
