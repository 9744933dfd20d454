#include "TolvaneKit/RVModelVNT.h"

#include "support/AllocationPeak.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>

namespace {

namespace fs = std::filesystem;
using VexmiraTest::TemporaryFolder;

// One triangle over three vertices whose values all have short IEEE 754
// encodings, so the expected file can be written down by hand.
void buildSmallModel(RVModelVNT& model) {
    ASSERT_TRUE(model.setNumberOfTriangles(1));
    ASSERT_TRUE(model.setNumberOfVertices(3));
    const std::uint16_t indices[3] = {0, 1, 2};
    const float values[24] = {1, 2, -1, 0.5f, 0, 0, 0, 1, 0, // positions
                              0, 0, 1,  0,    0, 1, 0, 0, 1, // normals
                              0, 0, 1,  0,    0, 1};         // s, t
    std::memcpy(model.triangles(), indices, sizeof indices);
    std::memcpy(model.vertices(), values, 36);
    std::memcpy(model.normals(), values + 9, 36);
    std::memcpy(model.textureCoordinates(), values + 18, 24);
}

std::string smallModelFile() {
    const std::string one("\x3F\x80\0\0", 4), two("\x40\0\0\0", 4), minusOne("\xBF\x80\0\0", 4),
        half("\x3F\0\0\0", 4), zero(4, '\0');
    return std::string("\0\0\0\1\0\0\0\3\0\0\0\1\0\2", 14) + one + two + minusOne + half + zero +
           zero + zero + one + zero + zero + zero + one + zero + zero + one + zero + zero + one +
           zero + zero + one + zero + zero + one;
}

// Everything a load could change, as raw bytes, for exact comparisons.
std::string snapshot(const RVModelVNT& model) {
    const int triangles = model.numberOfTriangles(), vertices = model.numberOfVertices();
    auto bytes = [](const void* data, int length) {
        return length > 0 ? std::string(static_cast<const char*>(data), std::size_t(length)) : "";
    };
    return std::to_string(triangles) + "," + std::to_string(vertices) + ":" +
           bytes(model.triangles(), 6 * triangles) + bytes(model.vertices(), 12 * vertices) +
           bytes(model.normals(), 12 * vertices) + bytes(model.textureCoordinates(), 8 * vertices);
}

std::size_t fileLength(const RVModelVNT& model) {
    return 8u + 6u * model.numberOfTriangles() + 32u * model.numberOfVertices();
}

std::string withHeader(std::uint32_t triangles, std::uint32_t vertices, std::size_t length) {
    std::string bytes;
    for (std::uint32_t count : {triangles, vertices})
        for (int shift : {24, 16, 8, 0})
            bytes += char(count >> shift);
    bytes.resize(length, '\0');
    return bytes;
}

TEST(RVModelFile, TheSmallModelIsTheHundredAndTenByteBigEndianFileWhateverFollows) {
    TemporaryFolder folder;
    RVModelVNT model, loaded;
    ASSERT_TRUE(RVModelVNT().storeToFile(folder.file("empty")));
    EXPECT_EQ(TemporaryFolder::read(folder.file("empty")), std::string(8, '\0'));
    ASSERT_TRUE(loaded.constructSphereOfRadius(1, 3, 2));
    ASSERT_TRUE(loaded.loadFromFile(folder.file("empty")));
    EXPECT_EQ(snapshot(loaded), snapshot(RVModelVNT()));

    buildSmallModel(model);
    ASSERT_TRUE(model.storeToFile(folder.file("small")));
    ASSERT_EQ(smallModelFile().size(), 110u);
    EXPECT_EQ(TemporaryFolder::read(folder.file("small")), smallModelFile());
    TemporaryFolder::write(folder.file("longer"), smallModelFile() + "\xDE\xAD\xBE\xEF\x01");
    for (const char* file : {"small", "longer"}) {
        ASSERT_TRUE(loaded.loadFromFile(folder.file(file))) << file;
        EXPECT_EQ(snapshot(loaded), snapshot(model)) << file;
    }
}

TEST(RVModelFile, RoundTripIsBitIdenticalForUnusualFloatsAndOddTriangleCounts) {
    TemporaryFolder folder;
    RVModelVNT model, loaded;
    ASSERT_TRUE(model.constructSphereOfRadius(1.25f, 5, 4));
    // An odd triangle count puts the float blocks off 4-byte alignment.
    ASSERT_TRUE(model.setNumberOfTriangles(model.numberOfTriangles() - 1));
    model.vertices()[0] = -0.0f;
    model.vertices()[1] = std::numeric_limits<float>::denorm_min();
    model.normals()[2] = std::numeric_limits<float>::infinity();
    const std::uint32_t payloadNaN = 0x7FC01234;
    std::memcpy(model.textureCoordinates() + 3, &payloadNaN, 4);

    ASSERT_TRUE(model.storeToFile(folder.file("sphere")));
    EXPECT_EQ(fs::file_size(folder.file("sphere")), fileLength(model));
    ASSERT_TRUE(loaded.loadFromFile(folder.file("sphere")));
    EXPECT_EQ(snapshot(loaded), snapshot(model));
    ASSERT_TRUE(loaded.storeToFile(folder.file("again")));
    EXPECT_EQ(TemporaryFolder::read(folder.file("again")),
              TemporaryFolder::read(folder.file("sphere")));
}

TEST(RVModelFile, StoringReplacesTheWholeFileOrFailsCleanly) {
    TemporaryFolder folder;
    const std::string file = folder.file("model");
    RVModelVNT sphere, small;
    ASSERT_TRUE(sphere.constructSphereOfRadius(1, 8, 6));
    buildSmallModel(small);
    ASSERT_TRUE(sphere.storeToFile(file));
    fs::permissions(file, fs::perms(0640));
    ASSERT_TRUE(small.storeToFile(file));
    EXPECT_EQ(TemporaryFolder::read(file), smallModelFile());
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
    EXPECT_EQ(folder.entryCount(), 1u) << "no temporary file is left beside it";

    // Through a symbolic link the file it names is replaced, and the link stays.
    fs::create_symlink(file, folder.file("link"));
    ASSERT_TRUE(sphere.storeToFile(folder.file("link")));
    EXPECT_TRUE(fs::is_symlink(folder.file("link")));
    EXPECT_EQ(fs::file_size(file), fileLength(sphere));

    const std::string before = snapshot(small);
    EXPECT_FALSE(small.storeToFile(folder.file("no/such/folder/model")));
    EXPECT_FALSE(small.storeToFile(""));
    EXPECT_FALSE(small.loadFromFile(folder.file("missing")));
    EXPECT_FALSE(small.loadFromFile(folder.file(""))) << "a folder, not a file";
    EXPECT_EQ(snapshot(small), before);
}

TEST(RVModelFile, BrokenFilesAreRefusedWithoutLargeAllocationsAndLeaveTheModelUnchanged) {
    TemporaryFolder folder;
    std::string indexOutOfRange = smallModelFile();
    indexOutOfRange[13] = 3; // the third index names vertex 3 of 3
    const struct {
        const char* what;
        std::string bytes;
    } broken[] = {
        {"empty", ""},
        {"seven bytes", std::string(7, '\0')},
        {"one byte short of its counts", smallModelFile().substr(0, 109)},
        {"counts far larger than the file", withHeader(1000, 1000, 200)},
        {"2^31 - 1 triangles in 20 bytes", withHeader(0x7FFFFFFF, 0, 20)},
        {"2^31 - 1 vertices in 20 bytes", withHeader(0, 0x7FFFFFFF, 20)},
        {"a negative triangle count", withHeader(0x80000000, 0, 20)},
        {"a negative vertex count", withHeader(0, 0xFFFFFFFF, 20)},
        {"an index out of range", indexOutOfRange},
    };
    VexmiraTest::AllocationPeak peak;
    for (const auto& file : broken) {
        SCOPED_TRACE(file.what);
        RVModelVNT model;
        ASSERT_TRUE(model.constructSphereOfRadius(1, 4, 3));
        const std::string before = snapshot(model);
        TemporaryFolder::write(folder.file("broken"), file.bytes);
        EXPECT_FALSE(model.loadFromFile(folder.file("broken")));
        EXPECT_EQ(snapshot(model), before);
    }
    // Arrays for 2^31 - 1 triangles or vertices would take gigabytes.
    if (const auto growth = peak.growth()) {
        EXPECT_LT(*growth, std::size_t{1} << 30);
    }
}

} // namespace
