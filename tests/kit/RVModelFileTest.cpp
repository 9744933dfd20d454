#include "TolvaneKit/RVModelVNT.h"

#include "PeakMappedMemory.h"
#include "Platform/core/ResourceDirectory.h"
#include "TolvaneKit/RVDatabase.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

class RVModelFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("vexmira-model-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    static Bytes read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    static void write(const std::string& file, const Bytes& bytes) {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }

private:
    fs::path folder_;
};

// One triangle over three vertices whose values all have short, well-known
// IEEE 754 encodings, so the expected file can be written down by hand.
void buildSmallModel(RVModelVNT& model) {
    ASSERT_TRUE(model.setNumberOfTriangles(1));
    ASSERT_TRUE(model.setNumberOfVertices(3));
    const std::uint16_t indices[3] = {0, 1, 2};
    const float positions[9] = {1, 2, -1, 0.5f, 0, 0, 0, 1, 0};
    const float normals[9] = {0, 0, 1, 0, 0, 1, 0, 0, 1};
    const float coordinates[6] = {0, 0, 1, 0, 0, 1};
    std::memcpy(model.triangles(), indices, sizeof indices);
    std::memcpy(model.vertices(), positions, sizeof positions);
    std::memcpy(model.normals(), normals, sizeof normals);
    std::memcpy(model.textureCoordinates(), coordinates, sizeof coordinates);
}

Bytes bigEndianFloat(float value) {
    // Encodings taken from the IEEE 754 single-precision format.
    if (value == 1.0f)
        return {0x3F, 0x80, 0x00, 0x00};
    if (value == 2.0f)
        return {0x40, 0x00, 0x00, 0x00};
    if (value == -1.0f)
        return {0xBF, 0x80, 0x00, 0x00};
    if (value == 0.5f)
        return {0x3F, 0x00, 0x00, 0x00};
    return {0, 0, 0, 0};
}

Bytes smallModelFile() {
    Bytes bytes = {0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 1, 0, 2};
    for (float value : {1.0f, 2.0f, -1.0f, 0.5f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, // positions
                        0.0f, 0.0f, 1.0f,  0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, // normals
                        0.0f, 0.0f, 1.0f,  0.0f, 0.0f, 1.0f}) {                // s, t
        const Bytes encoded = bigEndianFloat(value);
        bytes.insert(bytes.end(), encoded.begin(), encoded.end());
    }
    return bytes;
}

// Everything a load could change, as raw bytes, for exact comparisons.
Bytes snapshot(const RVModelVNT& model) {
    Bytes state(8);
    const int counts[2] = {model.numberOfTriangles(), model.numberOfVertices()};
    std::memcpy(state.data(), counts, sizeof counts);
    auto append = [&state](const void* data, std::size_t length) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        if (length > 0)
            state.insert(state.end(), bytes, bytes + length);
    };
    const std::size_t nT = model.numberOfTriangles(), nV = model.numberOfVertices();
    append(model.triangles(), 6 * nT);
    append(model.vertices(), 12 * nV);
    append(model.normals(), 12 * nV);
    append(model.textureCoordinates(), 8 * nV);
    return state;
}

TEST_F(RVModelFile, AnEmptyModelIsEightZeroBytes) {
    RVModelVNT empty;
    ASSERT_TRUE(empty.storeToFile(path("empty.rvmvnt")));
    EXPECT_EQ(read(path("empty.rvmvnt")), Bytes(8, 0));
    RVModelVNT loaded;
    ASSERT_TRUE(loaded.constructSphereOfRadius(1, 3, 2));
    ASSERT_TRUE(loaded.loadFromFile(path("empty.rvmvnt")));
    EXPECT_EQ(loaded.numberOfTriangles(), 0);
    EXPECT_EQ(loaded.numberOfVertices(), 0);
    EXPECT_EQ(loaded.vertices(), nullptr);
}

TEST_F(RVModelFile, OneTriangleIsTheHundredAndTenByteBigEndianFile) {
    RVModelVNT model;
    buildSmallModel(model);
    ASSERT_TRUE(model.storeToFile(path("small.rvmvnt")));
    const Bytes expected = smallModelFile();
    ASSERT_EQ(expected.size(), 110u);
    EXPECT_EQ(read(path("small.rvmvnt")), expected);

    RVModelVNT loaded;
    ASSERT_TRUE(loaded.loadFromFile(path("small.rvmvnt")));
    EXPECT_EQ(snapshot(loaded), snapshot(model));
}

TEST_F(RVModelFile, RoundTripIsBitIdenticalForUnusualFloatsAndOddTriangleCounts) {
    RVModelVNT model;
    ASSERT_TRUE(model.constructSphereOfRadius(1.25f, 5, 4));
    // An odd triangle count puts the float blocks off 4-byte alignment.
    ASSERT_TRUE(model.setNumberOfTriangles(model.numberOfTriangles() - 1));
    model.vertices()[0] = -0.0f;
    model.vertices()[1] = std::numeric_limits<float>::denorm_min();
    model.normals()[2] = std::numeric_limits<float>::infinity();
    const std::uint32_t payloadNaN = 0x7FC01234;
    std::memcpy(model.textureCoordinates() + 3, &payloadNaN, 4);

    ASSERT_TRUE(model.storeToFile(path("sphere.rvmvnt")));
    EXPECT_EQ(fs::file_size(path("sphere.rvmvnt")),
              8u + 6u * model.numberOfTriangles() + 32u * model.numberOfVertices());
    RVModelVNT loaded;
    ASSERT_TRUE(loaded.loadFromFile(path("sphere.rvmvnt")));
    EXPECT_EQ(snapshot(loaded), snapshot(model));
    ASSERT_TRUE(loaded.storeToFile(path("again.rvmvnt")));
    EXPECT_EQ(read(path("again.rvmvnt")), read(path("sphere.rvmvnt")));
}

TEST_F(RVModelFile, BytesAfterTheLastBlockAreIgnored) {
    Bytes bytes = smallModelFile();
    bytes.insert(bytes.end(), {0xDE, 0xAD, 0xBE, 0xEF, 0x01});
    write(path("longer.rvmvnt"), bytes);
    RVModelVNT loaded, expected;
    buildSmallModel(expected);
    ASSERT_TRUE(loaded.loadFromFile(path("longer.rvmvnt")));
    EXPECT_EQ(snapshot(loaded), snapshot(expected));
}

TEST_F(RVModelFile, StoringOverALongerFileLeavesExactlyTheNewOne) {
    const std::string file = path("model.rvmvnt");
    RVModelVNT sphere, small;
    ASSERT_TRUE(sphere.constructSphereOfRadius(1, 8, 6));
    buildSmallModel(small);
    ASSERT_TRUE(sphere.storeToFile(file));
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_TRUE(small.storeToFile(file));
    EXPECT_EQ(read(file), smallModelFile());
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(file).parent_path()), {}), 1);

    // Through a symbolic link the file it names is replaced, and the link stays.
    fs::create_symlink(file, path("link.rvmvnt"));
    ASSERT_TRUE(sphere.storeToFile(path("link.rvmvnt")));
    EXPECT_TRUE(fs::is_symlink(path("link.rvmvnt")));
    EXPECT_EQ(fs::file_size(file),
              8u + 6u * sphere.numberOfTriangles() + 32u * sphere.numberOfVertices());
}

TEST_F(RVModelFile, StoringIntoAMissingFolderFailsAndLoadingAMissingFileChangesNothing) {
    RVModelVNT model;
    buildSmallModel(model);
    EXPECT_FALSE(model.storeToFile(path("no/such/folder/model.rvmvnt")));
    EXPECT_FALSE(model.storeToFile(""));
    const Bytes before = snapshot(model);
    EXPECT_FALSE(model.loadFromFile(path("missing.rvmvnt")));
    EXPECT_FALSE(model.loadFromFile(path(""))); // a folder, not a file
    EXPECT_EQ(snapshot(model), before);
}

Bytes withHeader(std::uint32_t triangles, std::uint32_t vertices, std::size_t totalLength) {
    Bytes bytes = {std::uint8_t(triangles >> 24), std::uint8_t(triangles >> 16),
                   std::uint8_t(triangles >> 8),  std::uint8_t(triangles),
                   std::uint8_t(vertices >> 24),  std::uint8_t(vertices >> 16),
                   std::uint8_t(vertices >> 8),   std::uint8_t(vertices)};
    bytes.resize(totalLength, 0);
    return bytes;
}

struct BrokenFile {
    const char* what;
    Bytes bytes;
};

TEST_F(RVModelFile, BrokenFilesAreRefusedAndLeaveTheModelUnchanged) {
    Bytes indexOutOfRange = smallModelFile();
    indexOutOfRange[13] = 3; // the third index names vertex 3 of 3
    Bytes shortByOne = smallModelFile();
    shortByOne.pop_back();
    const BrokenFile broken[] = {
        {"empty", {}},
        {"seven bytes", {0, 0, 0, 0, 0, 0, 0}},
        {"one byte short of its counts", shortByOne},
        {"counts far larger than the file", withHeader(1000, 1000, 200)},
        {"2^31 - 1 triangles in 20 bytes", withHeader(0x7FFFFFFF, 0, 20)},
        {"2^31 - 1 vertices in 20 bytes", withHeader(0, 0x7FFFFFFF, 20)},
        {"a negative triangle count", withHeader(0x80000000, 0, 20)},
        {"a negative vertex count", withHeader(0, 0xFFFFFFFF, 20)},
        {"an index out of range", indexOutOfRange},
    };
    const auto peakBefore = VexmiraTest::peakMappedBytes();
    for (const BrokenFile& file : broken) {
        RVModelVNT model;
        ASSERT_TRUE(model.constructSphereOfRadius(1, 4, 3));
        const Bytes before = snapshot(model);
        write(path("broken.rvmvnt"), file.bytes);
        EXPECT_FALSE(model.loadFromFile(path("broken.rvmvnt"))) << file.what;
        EXPECT_EQ(snapshot(model), before) << file.what;
    }
    // Arrays for 2^31 - 1 triangles or vertices would take gigabytes.
    const auto peakAfter = VexmiraTest::peakMappedBytes();
    if (peakBefore && peakAfter) {
        EXPECT_LT(*peakAfter, std::max<std::size_t>(*peakBefore, std::size_t{1} << 30));
    }
}

} // namespace

namespace {

TEST_F(RVModelFile, TheDatabaseLoadsModelsByKeyAndLeavesMissingOnesEmpty) {
    fs::create_directories(path("RVModelVNT"));
    RVModelVNT sphere;
    ASSERT_TRUE(sphere.constructSphereOfRadius(1, 4, 3));
    ASSERT_TRUE(sphere.storeToFile(path("RVModelVNT/-12.rvmvnt")));
    write(path("RVModelVNT/13.rvmvnt"), Bytes(7, 1));
    Platform::setResourceDirectory(path(""));
    {
        RVDatabase database;
        auto* model = database.retainKey<RVModelVNT>(-12);
        ASSERT_NE(model, nullptr);
        EXPECT_EQ(snapshot(*model), snapshot(sphere));
        auto* broken = database.retainKey<RVModelVNT>(13);
        auto* missing = database.retainKey<RVModelVNT>(14);
        for (auto* empty : {broken, missing}) {
            ASSERT_NE(empty, nullptr);
            EXPECT_EQ(empty->numberOfTriangles(), 0);
            EXPECT_EQ(empty->numberOfVertices(), 0);
        }
        for (int key : {-12, 13, 14})
            database.releaseKey(key);
    }
    Platform::setResourceDirectory("");
}

} // namespace
