#include "Vexmira/MyDocument.h"

#include "support/AllocationPeak.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <random>
#include <string>

using VexmiraTest::AllocationPeak;
using VexmiraTest::TemporaryFolder;

namespace {

constexpr std::size_t megabyte = std::size_t{1} << 20;

std::string randomBytes(std::size_t length, unsigned char mask) {
    std::mt19937 random(20261206);
    std::string bytes(length, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & mask);
    return bytes;
}

// A file of `length` bytes that takes no disk space: a hole.
void writeSparseFile(const std::string& path, off_t length) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, length), 0);
    ::close(fd);
}

// Opening junk must cost memory in proportion to the bytes actually there
// and read, never to sizes the junk declares or implies; a document of our
// own is a few hundred bytes.
TEST(OversizedDocument, NoiseAndHugeFilesAreRefusedWithoutLargeAllocations) {
    TemporaryFolder folder;
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"noise.vexmira", randomBytes(megabyte, 0xFF)},
        {"ascii-noise.vexmira", randomBytes(megabyte, 0x7F)},
        {"nested.vexmira", std::string(megabyte, '(')},
        {"unclosed.vexmira", "{ a = \"" + std::string(megabyte, 'x')},
    };
    for (const Case& c : cases)
        TemporaryFolder::write(folder.file(c.name), c.bytes);
    writeSparseFile(folder.file("gigabyte.vexmira"), off_t{1} << 30);

    bool measured = true;
    for (const char* name : {"noise.vexmira", "ascii-noise.vexmira", "nested.vexmira",
                             "unclosed.vexmira", "gigabyte.vexmira"}) {
        MyDocument document;
        std::string error;
        AllocationPeak peak;
        EXPECT_FALSE(document.readFromFile(folder.file(name), error)) << name;
        EXPECT_FALSE(error.empty()) << name;
        const auto growth = peak.growth();
        measured = measured && growth;
        EXPECT_LT(growth.value_or(0), 16 * megabyte) << name;
    }
    if (!measured)
        GTEST_SKIP() << AllocationPeak::unavailable;
}

} // namespace
