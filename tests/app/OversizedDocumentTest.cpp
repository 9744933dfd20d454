#include "Vexmira/MyDocument.h"

#include "support/AllocationPeak.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
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

// Opening junk must cost memory in proportion to the bytes actually there and read, never to
// sizes the junk declares or implies; a document of our own is a few hundred bytes.
TEST(OversizedDocument, NoiseAndHugeFilesAreRefusedWithoutLargeAllocations) {
    TemporaryFolder folder;
    const std::pair<const char*, std::string> cases[] = {
        {"noise.vexmira", randomBytes(megabyte, 0xFF)},
        {"ascii-noise.vexmira", randomBytes(megabyte, 0x7F)},
        {"nested.vexmira", std::string(megabyte, '(')},
        {"unclosed.vexmira", "{ a = \"" + std::string(megabyte, 'x')},
        {"gigabyte.vexmira", ""}, // grown below into a hole: a gigabyte taking no disk space
    };
    bool measured = true;
    for (const auto& [name, bytes] : cases) {
        TemporaryFolder::write(folder.file(name), bytes);
        if (bytes.empty())
            std::filesystem::resize_file(folder.file(name), std::uintmax_t{1} << 30);
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
