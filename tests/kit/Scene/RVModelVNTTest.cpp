#include "TolvaneKit/Scene/RVModelVNT.h"
#include "Platform/core/ResourceDirectory.h"
#include "TolvaneKit/Resources/RVDatabase.h"
#include "TolvaneKit/Resources/RVTiffImage.h"
#include "kit/GLMatrix.h"
#include "support/AllocationPeak.h"
#include "support/OffscreenGLTest.h"
#include "support/SmallDisk.h"
#include "support/TemporaryFolder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <gmock/gmock.h>
#include <limits>
#include <set>

namespace {

namespace fs = std::filesystem;
using VexmiraTest::TemporaryFolder;
using Indices = std::vector<int>;
using Vector = std::array<float, 3>;
using Texel = std::vector<std::uint8_t>;

Vector at(const float* array, int k) {
    return {array[3 * k], array[3 * k + 1], array[3 * k + 2]};
}

// a . (b x c), positive when a, b, c turn counterclockwise seen from outside the origin.
float tripleProduct(Vector a, Vector b, Vector c) {
    return a[0] * (b[1] * c[2] - b[2] * c[1]) + a[1] * (b[2] * c[0] - b[0] * c[2]) +
           a[2] * (b[0] * c[1] - b[1] * c[0]);
}

Indices indicesOf(const RVModelVNT& model) {
    return Indices(model.triangles(), model.triangles() + 3 * model.numberOfTriangles());
}

void build(RVModelVNT& model, const std::vector<Vector>& positions, const Indices& indices) {
    ASSERT_TRUE(model.setNumberOfVertices(static_cast<int>(positions.size())));
    ASSERT_TRUE(model.setNumberOfTriangles(static_cast<int>(indices.size() / 3)));
    for (std::size_t k = 0; k < 3 * positions.size(); ++k)
        model.vertices()[k] = positions[k / 3][k % 3];
    std::copy(indices.begin(), indices.end(), model.triangles());
}

// A triangle with normals +z and texture coordinates (0, 0), (1, 0), (0, 1), its floats
// spelled out as IEEE 754 bit patterns.
std::string smallModelFile() {
    std::string file("\0\0\0\1\0\0\0\3\0\0\0\1\0\2", 14);
    const std::uint32_t one = 0x3F800000;
    for (std::uint32_t word :
         {one, 0x40000000u, 0xBF800000u, 0x3F000000u, 0u, 0u,  0u, one, 0u,  0u, 0u, one,
          0u,  0u,          one,         0u,          0u, one, 0u, 0u,  one, 0u, 0u, one})
        for (int shift = 24; shift >= 0; shift -= 8)
            file += static_cast<char>(word >> shift);
    return file;
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

TEST(RVModelVNTSphere, HasTheDocumentedLayoutAndRefusesShapesItCannotBuild) {
    RVModelVNT model;
    // (330 + 1) * (197 + 1) - 2 = 65536 vertices still fit 16-bit indices.
    ASSERT_TRUE(model.constructSphereOfRadius(1, 197, 330));
    EXPECT_EQ(indicesOf(model)[3 * model.numberOfTriangles() - 3], 65535);
    for (float radius : {2.0f, 0.0f}) { // unit normals outward; zero for a point, not NaN
        ASSERT_TRUE(model.constructSphereOfRadius(radius, 4, 3));
        for (int k = 0; k < 3 * 18; ++k)
            EXPECT_NEAR(model.normals()[k], radius ? model.vertices()[k] / radius : 0, 1e-6) << k;
    }
    ASSERT_TRUE(model.constructSphereOfRadius(1, 4, 3));
    ASSERT_EQ(model.numberOfVertices(), 18);
    const float* st = model.textureCoordinates();
    // Rings from the north; a pole has a vertex per slice, a ring one more for the seam.
    for (int ring = 0, k = 0; ring <= 3; ++ring) {
        const bool pole = ring == 0 || ring == 3;
        for (int j = 0; j < (pole ? 4 : 5); ++j, ++k) {
            SCOPED_TRACE(k);
            const double polar = ring * M_PI / 3, azimuth = j * M_PI / 2;
            EXPECT_ENTRIES_NEAR(
                3, at(model.vertices(), k),
                (Vector{float(std::sin(polar) * std::cos(azimuth)),
                        float(std::sin(polar) * std::sin(azimuth)), float(std::cos(polar))}),
                1e-6);
            EXPECT_FLOAT_EQ(st[2 * k], (j + (ring == 3 ? 1 : 0)) / 4.0f);
            EXPECT_FLOAT_EQ(st[2 * k + 1], 1 - ring / 3.0f);
        }
    }
    for (int seam : {8, 13}) // exactly slice 0 again (its s of 1 is checked above)
        EXPECT_EQ(at(model.vertices(), seam), at(model.vertices(), seam - 4)) << seam;
    const Indices expected = {0,  4,  5,  1,  5,  6,  2,  6,  7,  3,  7,  8,   // north cap
                              4,  9,  10, 4,  10, 5,  5,  10, 11, 5,  11, 6,   // band
                              6,  11, 12, 6,  12, 7,  7,  12, 13, 7,  13, 8,   //
                              14, 10, 9,  15, 11, 10, 16, 12, 11, 17, 13, 12}; // south cap
    EXPECT_EQ(indicesOf(model), expected);
    const std::string before = snapshot(model);
    const std::pair<int, int> refused[] = {{0, 3}, {4, 1}, {256, 255}, {1 << 30, 1 << 30}};
    for (const auto& [slices, stacks] : refused) { // 256 x 255 would need 65790 vertices
        EXPECT_FALSE(model.constructSphereOfRadius(1, slices, stacks)) << slices << "x" << stacks;
        EXPECT_EQ(snapshot(model), before);
    }
}

TEST(RVModelVNTArrays, ResizeKeepingContentsAndDeformDividingByWWithNormalsOfTheFacesThatCount) {
    RVModelVNT model;
    build(model, {{5, 1, 2}}, {0, 0, 42});
    model.textureCoordinates()[1] = 7;
    for (int count : {1000, 1}) {
        ASSERT_TRUE(model.setNumberOfVertices(count));
        ASSERT_TRUE(model.setNumberOfTriangles(count));
        EXPECT_FALSE(model.setNumberOfVertices(-1));
        EXPECT_FALSE(model.setNumberOfTriangles(-3));
        // 3 x count indices must fit the count that glDrawElements takes.
        EXPECT_FALSE(model.setNumberOfTriangles(RVMeshArrays::maximumTriangles + 1));
        EXPECT_EQ(model.numberOfVertices() + model.numberOfTriangles(), 2 * count);
        EXPECT_EQ(std::tuple(at(model.vertices(), 0), model.textureCoordinates()[1],
                             model.triangles()[2]),
                  std::tuple(Vector{5, 1, 2}, 7.0f, 42));
    }
    ASSERT_TRUE(model.setNumberOfVertices(0));
    ASSERT_TRUE(model.setNumberOfTriangles(0));
    EXPECT_EQ((std::array<const void*, 4>{model.vertices(), model.normals(),
                                          model.textureCoordinates(), model.triangles()}),
              (std::array<const void*, 4>{}));

    // Deforming: a roof along y (large face in z = 0, small in x = 0), a line, an index far
    // outside.
    build(model, {{0, 0, 0}, {0, 1, 0}, {10, 0, 0}, {0, 0, 0.1f}, {1, 1, 1}, {2, 2, 2}},
          {0, 2, 1, 0, 1, 3, 0, 4, 5, 0, 3, 60000});
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    model.deform(identity);
    // Shared vertices average the unit face normals, whatever the areas.
    const float h = float(std::sqrt(0.5)), normals[18] = {h, 0, h, h, 0, h, 0, 0, 1, 1, 0, 0};
    EXPECT_ENTRIES_NEAR(18, model.normals(), normals, 1e-6);
    build(model, {{0, 5, 5}, {2, 4, 6}, {4, 0, 0}}, {0, 1, 2});
    // Column-major: w = x, positions also moved by (2, 0, 0) before dividing.
    const float matrix[16] = {1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 2, 0, 0, 0};
    model.deform(matrix);
    const float deformed[9] = {0, 5, 5, 2, 2, 3, 1.5f, 0, 0}; // w = 0 stays where it was
    EXPECT_ENTRIES_NEAR(9, model.vertices(), deformed, 1e-6);
}

class RVModelVNTDrawing : public VexmiraTest::OffscreenGLTest {};

TEST_F(RVModelVNTDrawing, DrawsEveryTriangleUnlessAnIndexIsOutOfRange) {
    RVModelVNT model;
    ASSERT_TRUE(model.constructSphereOfRadius(10, 4, 3));
    RVModelVNT::configureOpenGLForDrawing();
    EXPECT_EQ(captureFeedback([&] { model.draw(); }).size(), 16u); // where: the element's test
    model.triangles()[7] = 18;
    EXPECT_TRUE(captureFeedback([&] { model.draw(); }).empty());
    expectNoGLError();
}

// Replacing files safely is SafeFileWriter's, tested with it; here the model file uses it.
TEST(RVModelFile, BigEndianBytesReplaceTheWholeFileRoundTripBitForBitOrFailCleanly) {
    TemporaryFolder folder;
    RVModelVNT model, loaded, sphere;
    TemporaryFolder::write(folder.file("longer"), smallModelFile() + "\xDE\xAD\xBE\xEF\x01");
    ASSERT_TRUE(model.loadFromFile(folder.file("longer"))) << "what follows the model is ignored";
    EXPECT_EQ(std::tuple(indicesOf(model), at(model.vertices(), 0), at(model.normals(), 2),
                         model.textureCoordinates()[5]),
              std::tuple(Indices{0, 1, 2}, Vector{1, 2, -1}, Vector{0, 0, 1}, 1.0f));
    ASSERT_TRUE(sphere.constructSphereOfRadius(1, 8, 6));
    ASSERT_TRUE(sphere.storeToFile(folder.file("small"))); // replaced by the shorter file
    ASSERT_TRUE(model.storeToFile(folder.file("small")));
    EXPECT_EQ(TemporaryFolder::read(folder.file("small")), smallModelFile());
    const std::string before = snapshot(model);
    EXPECT_FALSE(model.storeToFile(folder.file("no/such/folder/model")));
    EXPECT_FALSE(model.loadFromFile(folder.file("missing")));
    EXPECT_FALSE(model.loadFromFile(folder.file(""))) << "a folder, not a file";
    EXPECT_EQ(snapshot(model), before);

    ASSERT_TRUE(model.constructSphereOfRadius(1.25f, 5, 4));
    // An odd triangle count puts the float blocks off 4-byte alignment.
    ASSERT_TRUE(model.setNumberOfTriangles(model.numberOfTriangles() - 1));
    model.vertices()[0] = -0.0f;
    model.vertices()[1] = std::numeric_limits<float>::denorm_min();
    model.normals()[2] = std::numeric_limits<float>::infinity();
    const std::uint32_t payloadNaN = 0x7FC01234;
    std::memcpy(model.textureCoordinates() + 3, &payloadNaN, 4);
    ASSERT_TRUE(model.storeToFile(folder.file("sphere")));
    ASSERT_TRUE(loaded.loadFromFile(folder.file("sphere")));
    EXPECT_EQ(snapshot(loaded), snapshot(model));

    VexmiraTest::SmallDisk disk;
    if (!disk.isMounted())
        GTEST_SKIP() << "no full disk to test with: " << disk.reason();
    ASSERT_TRUE(loaded.storeToFile(disk.file("model")));
    disk.fill();
    EXPECT_FALSE(sphere.storeToFile(disk.file("model")));
    EXPECT_EQ(TemporaryFolder::read(disk.file("model")),
              TemporaryFolder::read(folder.file("sphere")));
}

// The broken files of the fuzzer's seeds (seven bytes, one byte short, 2^31 triangles
// or 2^31 - 1 vertices in 20 bytes, an index out of range) and a negative vertex count.
TEST(RVModelFile, BrokenFilesAreRefusedWithoutLargeAllocationsAndLeaveTheModelUnchanged) {
    TemporaryFolder folder;
    std::vector<std::pair<std::string, std::string>> broken = {
        {"a negative vertex count",
         std::string(4, '\0') + "\xFF\xFF\xFF\xFF" + std::string(12, '\0')}};
    const std::set<std::string> validSeeds = {"empty.rvmvnt", "triangle.rvmvnt", "sphere.rvmvnt"};
    for (const auto& seed :
         fs::directory_iterator(VEXMIRA_TEST_SOURCE_DIR "/fuzz/corpus/model-file")) {
        const std::string name = seed.path().filename().string();
        RVModelVNT model;
        EXPECT_EQ(model.loadFromFile(seed.path().string()), validSeeds.count(name) == 1) << name;
        if (!validSeeds.count(name))
            broken.emplace_back(name, TemporaryFolder::read(seed.path().string()));
    }
    ASSERT_GE(broken.size(), 6u);
    VexmiraTest::AllocationPeak peak;
    for (const auto& [what, bytes] : broken) {
        SCOPED_TRACE(what);
        RVModelVNT model;
        ASSERT_TRUE(model.constructSphereOfRadius(1, 4, 3));
        const std::string before = snapshot(model);
        TemporaryFolder::write(folder.file("broken"), bytes);
        EXPECT_FALSE(model.loadFromFile(folder.file("broken")));
        EXPECT_EQ(snapshot(model), before);
    }
    const auto growth = peak.growth();
    if (!growth)
        GTEST_SKIP() << VexmiraTest::AllocationPeak::unavailable;
    EXPECT_LT(*growth, std::size_t{1} << 30) << "arrays for 2^31 - 1 elements take gigabytes";
}

// The shipped samples: a unit sphere of 24 slices and 12 stacks, and a 64 x 32
// checkerboard of 8-pixel cells to wrap it, its first column red at the seam.
TEST(SampleResources, AreAUnitSphereFacingOutwardAndItsCheckerboard) {
    const std::string folder = VEXMIRA_TEST_SOURCE_DIR "/resources/";
    Platform::setResourceDirectory(folder); // the database loads the model by key
    RVDatabase database;
    const auto sphere = database.retainKey<RVModelVNT>(1);
    Platform::setResourceDirectory("");
    const int triangles = sphere->numberOfTriangles(), vertices = sphere->numberOfVertices();
    EXPECT_EQ(std::pair(triangles, vertices), std::pair(2 * 24 * 11, 25 * 13 - 2))
        << "a seam vertex per ring, one per slice at the poles";
    EXPECT_EQ(fs::file_size(folder + "RVModelVNT/1.rvmvnt"), 8u + 6u * triangles + 32u * vertices);
    for (int k = 0; k < vertices; ++k) {
        SCOPED_TRACE(k);
        const Vector p = at(sphere->vertices(), k), n = at(sphere->normals(), k);
        EXPECT_NEAR(std::hypot(p[0], p[1], p[2]), 1, 1e-6);
        EXPECT_ENTRIES_NEAR(3, n, p, 1e-6) << "the normal is the outward radius";
        const float* st = sphere->textureCoordinates() + 2 * k;
        EXPECT_THAT(std::vector<float>(st, st + 2),
                    testing::Each(testing::AllOf(testing::Ge(0.0f), testing::Le(1.0f))));
    }
    const auto corner = [&](int t, int i) {
        return at(sphere->vertices(), sphere->triangles()[3 * t + i]);
    };
    for (int t = 0; t < triangles; ++t) // counterclockwise seen from outside
        EXPECT_GT(tripleProduct(corner(t, 0), corner(t, 1), corner(t, 2)), 0) << "triangle " << t;

    RVTiffImage texture(folder + "RVTexture/1.tiff");
    ASSERT_EQ((std::array{texture.width(), texture.height()}), (std::array{64u, 32u}));
    std::vector<std::uint8_t> rgba(64 * 32 * 4);
    ASSERT_TRUE(texture.readRgbaBottomUp(rgba.data()));
    const Texel red = {220, 40, 40, 255}, light = {230, 220, 190, 255}, dark = {60, 100, 160, 255};
    for (int y = 0; y < 32; ++y) // cells counted from the top, texels read from the bottom
        for (int x = 0; x < 64; ++x) {
            const std::uint8_t* texel = rgba.data() + 4 * (64 * y + x);
            const Texel expected = x < 8 ? red : ((31 - y) / 8 + x / 8) % 2 ? dark : light;
            ASSERT_EQ(Texel(texel, texel + 4), expected) << x << ", " << y;
        }
}

} // namespace
