#include "Platform/core/SafeFileWriter.h"
#include "support/FileSizeLimit.h"
#include "support/SmallDisk.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;
using Platform::SafeFileWriter;
using VexmiraTest::TemporaryFolder;

TEST(SafeFileWriter, ReplacesWholeThroughLinksKeepingPermissionsAndLeavesNothingBeside) {
    TemporaryFolder folder;
    const mode_t previousMask = umask(027);
    std::string error;
    const std::string fresh = folder.file("fresh.txt");
    ASSERT_TRUE(SafeFileWriter::writeFile(fresh, "new", error)) << error;
    EXPECT_EQ(fs::status(fresh).permissions(), fs::perms(0640)) << "a new file follows the umask";
    umask(previousMask);

    fs::create_directory(folder.file("sub"));
    const std::string target = folder.file("sub/target.txt");
    TemporaryFolder::write(target, std::string(5000, 'o'));
    fs::permissions(target, fs::perms(0604));
    fs::create_hard_link(target, folder.file("old")); // whoever holds the old file keeps it
    fs::create_symlink("sub/target.txt", folder.file("link"));
    fs::create_symlink(folder.file("link"), folder.file("link-to-link"));
    ASSERT_TRUE(SafeFileWriter::writeFile(folder.file("link-to-link"), "short", error)) << error;
    EXPECT_TRUE(fs::is_symlink(folder.file("link")));
    EXPECT_TRUE(fs::is_symlink(folder.file("link-to-link")));
    EXPECT_EQ(TemporaryFolder::read(target), "short");
    EXPECT_EQ(TemporaryFolder::read(folder.file("old")), std::string(5000, 'o'))
        << "replaced by a rename, not rewritten in place";
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0604));
    fs::create_symlink("sub/created.txt", folder.file("dangling"));
    ASSERT_TRUE(SafeFileWriter::writeFile(folder.file("dangling"), "made", error)) << error;
    EXPECT_EQ(TemporaryFolder::read(folder.file("sub/created.txt")), "made");
    EXPECT_EQ(folder.entryCount(), 6u) << "fresh.txt, sub, old and three links: nothing else";
}

// Streaming writers take the temporary file as a FILE* or reopen it by name; the destination
// changes on commit only.
TEST(SafeFileWriter, TransactionsHandOutTheTemporaryFileAndCommitOrRollBack) {
    TemporaryFolder folder;
    const std::string movie = folder.file("movie.mp4");
    TemporaryFolder::write(movie, "old movie");
    for (bool commit : {false, true}) {
        SafeFileWriter writer(movie);
        ASSERT_TRUE(writer.isOpen()) << writer.error();
        const fs::path temporary = writer.temporaryPath();
        EXPECT_EQ(temporary.parent_path(), fs::path(movie).parent_path());
        EXPECT_EQ(temporary.extension(), ".mp4") << "a library may pick its format by the name";
        EXPECT_EQ(temporary.filename().string()[0], '.') << "hidden while it is written";
        if (commit) { // reopened by name
            std::ofstream(temporary) << "frames and trailer";
            ASSERT_TRUE(writer.commit()) << writer.error();
        } else { // written to the stream, then dropped
            std::fputs("discarded", writer.stream());
            EXPECT_EQ(TemporaryFolder::read(movie), "old movie");
        }
    }
    EXPECT_EQ(TemporaryFolder::read(movie), "frames and trailer");
    EXPECT_EQ(folder.entryCount(), 1u);
}

TEST(SafeFileWriter, FailuresSayWhyAndLeaveTheOldFileByteForByte) {
    TemporaryFolder folder;
    const std::string kept = folder.file("kept.bin");
    const std::string oldBytes("old\0bytes\xff", 10);
    TemporaryFolder::write(kept, oldBytes);
    fs::create_directory(folder.file("folder"));
    fs::create_symlink("loop-b", folder.file("loop-a"));
    fs::create_symlink("loop-a", folder.file("loop-b"));
    ASSERT_EQ(mkfifo(folder.file("pipe").c_str(), 0600), 0);
    std::string error;
    for (const std::string name : {"folder", "missing/file", "loop-a", "pipe", ""}) {
        error.clear();
        EXPECT_FALSE(
            SafeFileWriter::writeFile(name.empty() ? name : folder.file(name), "x", error));
        EXPECT_FALSE(error.empty()) << name;
    }
    {
        VexmiraTest::FileSizeLimit limit(4096); // stops even root
        EXPECT_FALSE(SafeFileWriter::writeFile(kept, std::string(100000, 'n'), error));
    }
    EXPECT_EQ(std::tuple(TemporaryFolder::read(kept), fs::is_directory(folder.file("folder")),
                         fs::is_fifo(folder.file("pipe"))),
              std::tuple(oldBytes, true, true));
    EXPECT_EQ(folder.entryCount(), 5u) << "no temporary file is left behind";

    VexmiraTest::SmallDisk disk;
    if (!disk.isMounted())
        GTEST_SKIP() << "no full disk to test with: " << disk.reason();
    TemporaryFolder::write(disk.file("kept.bin"), oldBytes);
    disk.fill();
    EXPECT_FALSE(SafeFileWriter::writeFile(disk.file("kept.bin"), "new", error));
    EXPECT_NE(error.find("full"), std::string::npos) << error;
    EXPECT_EQ(TemporaryFolder::read(disk.file("kept.bin")), oldBytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(disk.file("")), {}), 2) << "kept and filler";
}
