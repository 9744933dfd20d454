#include "TolvaneKit/RVModelVNT.h"
#include "support/OffscreenGLTest.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace {

using Triangle = std::array<int, 3>;
using Vector = std::array<float, 3>;

// Entry k of a position or normal array.
Vector at(const float* array, int k) {
    return {array[3 * k], array[3 * k + 1], array[3 * k + 2]};
}

std::vector<Triangle> trianglesOf(const RVModelVNT& model) {
    std::vector<Triangle> triangles;
    for (int k = 0; k < 3 * model.numberOfTriangles(); k += 3)
        triangles.push_back(
            {model.triangles()[k], model.triangles()[k + 1], model.triangles()[k + 2]});
    return triangles;
}

void expectNear(const Vector& actual, const Vector& expected) {
    for (int axis = 0; axis < 3; ++axis)
        EXPECT_NEAR(actual[axis], expected[axis], 1e-6f) << "axis " << axis;
}

void build(RVModelVNT& model, const std::vector<Vector>& positions,
           const std::vector<Triangle>& triangles) {
    ASSERT_TRUE(model.setNumberOfVertices(static_cast<int>(positions.size())));
    ASSERT_TRUE(model.setNumberOfTriangles(static_cast<int>(triangles.size())));
    for (std::size_t k = 0; k < 3 * positions.size(); ++k)
        model.vertices()[k] = positions[k / 3][k % 3];
    for (std::size_t k = 0; k < 3 * triangles.size(); ++k)
        model.triangles()[k] = static_cast<std::uint16_t>(triangles[k / 3][k % 3]);
}

const float sin60 = float(std::sqrt(3.0) / 2.0);

TEST(RVModelVNTSphere, FourSlicesThreeStacksAndTwoStacksHaveTheDocumentedLayout) {
    RVModelVNT model;
    ASSERT_TRUE(model.constructSphereOfRadius(1, 4, 3));
    ASSERT_EQ(model.numberOfVertices(), 18);
    const float* st = model.textureCoordinates();
    // Rings from the north pole down; a pole has one vertex per slice, a ring
    // one more for the seam. The south pole's copies sit between the slices.
    for (int ring = 0, k = 0; ring <= 3; ++ring) {
        const bool pole = ring == 0 || ring == 3;
        for (int j = 0; j < (pole ? 4 : 5); ++j, ++k) {
            SCOPED_TRACE(k);
            const double polar = ring * M_PI / 3, azimuth = j * M_PI / 2;
            expectNear(at(model.vertices(), k),
                       {float(std::sin(polar) * std::cos(azimuth)),
                        float(std::sin(polar) * std::sin(azimuth)), float(std::cos(polar))});
            EXPECT_FLOAT_EQ(st[2 * k], (j + (ring == 3 ? 1 : 0)) / 4.0f);
            EXPECT_FLOAT_EQ(st[2 * k + 1], 1 - ring / 3.0f);
        }
    }
    for (int seam : {8, 13}) { // exactly slice 0 again, at s = 1
        EXPECT_EQ(at(model.vertices(), seam), at(model.vertices(), seam - 4));
        EXPECT_EQ(st[2 * seam], 1.0f);
    }
    const std::vector<Triangle> expected = {
        {0, 4, 5},    {1, 5, 6},   {2, 6, 7},   {3, 7, 8},                             // north cap
        {4, 9, 10},   {4, 10, 5},  {5, 10, 11}, {5, 11, 6},   {6, 11, 12}, {6, 12, 7}, // band
        {7, 12, 13},  {7, 13, 8},  {14, 10, 9}, {15, 11, 10},                          //
        {16, 12, 11}, {17, 13, 12}};                                                   // south cap
    EXPECT_EQ(trianglesOf(model), expected);

    ASSERT_TRUE(model.constructSphereOfRadius(1, 3, 2)); // only the caps
    EXPECT_EQ(model.numberOfVertices(), 10);
    const std::vector<Triangle> caps = {{0, 3, 4}, {1, 4, 5}, {2, 5, 6},
                                        {7, 4, 3}, {8, 5, 4}, {9, 6, 5}};
    EXPECT_EQ(trianglesOf(model), caps);
    expectNear(at(model.vertices(), 3), {1, 0, 0});
}

TEST(RVModelVNTSphere, NormalsAreTheUnitOutwardDirectionOrZeroForRadiusZero) {
    RVModelVNT model;
    for (float radius : {2.5f, 0.0f}) {
        ASSERT_TRUE(model.constructSphereOfRadius(radius, 7, 5));
        const float scale = radius == 0 ? 0 : 1 / radius;
        for (int k = 0; k < model.numberOfVertices(); ++k) {
            const Vector p = at(model.vertices(), k);
            expectNear(at(model.normals(), k), {p[0] * scale, p[1] * scale, p[2] * scale});
        }
    }
}

TEST(RVModelVNTSphere, RefusesShapesItCannotBuildAndKeepsTheModel) {
    RVModelVNT model;
    // (330 + 1) * (197 + 1) - 2 = 65536 vertices still fit 16-bit indices.
    ASSERT_TRUE(model.constructSphereOfRadius(1, 197, 330));
    EXPECT_EQ(trianglesOf(model).back()[0], 65535);
    ASSERT_TRUE(model.constructSphereOfRadius(1, 4, 3));
    const std::vector<Triangle> before = trianglesOf(model);
    const std::pair<int, int> refused[] = {{0, 3}, {-2, 3}, {4, 1}, {256, 255}, {1 << 30, 1 << 30}};
    for (const auto& [slices, stacks] : refused) { // 256 x 255 would need 65790 vertices
        EXPECT_FALSE(model.constructSphereOfRadius(1, slices, stacks)) << slices << "x" << stacks;
        EXPECT_EQ(model.numberOfVertices(), 18);
        EXPECT_EQ(trianglesOf(model), before);
    }
}

TEST(RVModelVNTArrays, ResizingKeepsContentsRefusesBadCountsAndReleasesAtZero) {
    RVModelVNT model;
    ASSERT_TRUE(model.setNumberOfVertices(2));
    ASSERT_TRUE(model.setNumberOfTriangles(1));
    model.vertices()[2] = 2;
    model.textureCoordinates()[1] = 7;
    model.triangles()[2] = 42;
    ASSERT_TRUE(model.setNumberOfTriangles(50));
    EXPECT_FALSE(model.setNumberOfTriangles(-3));
    // 3 x count indices must fit the count that glDrawElements takes.
    EXPECT_FALSE(model.setNumberOfTriangles(RVMeshArrays::maximumTriangles + 1));
    EXPECT_EQ(model.numberOfTriangles(), 50);
    EXPECT_EQ(model.triangles()[2], 42);
    for (int count : {1000, 1}) {
        ASSERT_TRUE(model.setNumberOfVertices(count));
        EXPECT_FALSE(model.setNumberOfVertices(-1));
        EXPECT_EQ(model.numberOfVertices(), count);
        EXPECT_EQ(model.vertices()[2], 2);
        EXPECT_EQ(model.textureCoordinates()[1], 7);
    }
    ASSERT_TRUE(model.setNumberOfVertices(0) && model.setNumberOfTriangles(0));
    EXPECT_EQ(model.vertices(), nullptr);
    EXPECT_EQ(model.normals(), nullptr);
    EXPECT_EQ(model.textureCoordinates(), nullptr);
    EXPECT_EQ(model.triangles(), nullptr);
}

TEST(RVModelVNTTransforms, TranslateAndScaleMovePositionsOnly) {
    RVModelVNT model;
    ASSERT_TRUE(model.constructSphereOfRadius(1, 4, 3));
    const Vector normalBefore = at(model.normals(), 5);
    const float offset[3] = {1, -2, 3};
    model.translate(offset).scale(-1);
    expectNear(at(model.vertices(), 0), {-1, 2, -4});
    expectNear(at(model.vertices(), 5), {-1, 2 - sin60, -3.5f});
    EXPECT_EQ(at(model.normals(), 5), normalBefore);
}

TEST(RVModelVNTTransforms, DeformDividesByWAndRecomputesNormals) {
    RVModelVNT model;
    // A roof along the y axis: a large face in z = 0 and a small one in x = 0.
    build(model, {{0, 0, 0}, {0, 1, 0}, {10, 0, 0}, {0, 0, 0.1f}}, {{0, 2, 1}, {0, 1, 3}});
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    model.deform(identity);
    expectNear(at(model.vertices(), 2), {10, 0, 0});
    expectNear(at(model.normals(), 2), {0, 0, 1});
    expectNear(at(model.normals(), 3), {1, 0, 0});
    // Shared vertices average the unit face normals, whatever the areas.
    const float half = float(std::sqrt(0.5));
    expectNear(at(model.normals(), 0), {half, 0, half});
    expectNear(at(model.normals(), 1), {half, 0, half});

    build(model, {{0, 5, 5}, {2, 4, 6}, {4, 0, 0}}, {{0, 1, 2}});
    // Column-major: w = x, positions also moved by (2, 0, 0) before dividing.
    const float matrix[16] = {1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 2, 0, 0, 0};
    model.deform(matrix);
    expectNear(at(model.vertices(), 0), {0, 5, 5}); // w = 0 stays where it was
    expectNear(at(model.vertices(), 1), {2, 2, 3});
    expectNear(at(model.vertices(), 2), {1.5f, 0, 0});
}

TEST(RVModelVNTTransforms, CollinearTrianglesAndIndicesOutOfRangeAddNothingToNormals) {
    RVModelVNT model;
    build(model, {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {1, 0, 0}, {0, 1, 0}},
          {{0, 1, 2}, {0, 3, 4}, {0, 3, 4}});
    model.triangles()[8] = 60000; // the third triangle points far outside
    model.recomputeNormals();
    expectNear(at(model.normals(), 0), {0, 0, 1});
    expectNear(at(model.normals(), 3), {0, 0, 1});
    EXPECT_EQ(at(model.normals(), 1), (Vector{0, 0, 0}));
    EXPECT_EQ(at(model.normals(), 2), (Vector{0, 0, 0}));
}

class RVModelVNTDrawing : public VexmiraTest::OffscreenGLTest {};

TEST_F(RVModelVNTDrawing, DrawsEveryTriangleUnlessAnIndexIsOutOfRange) {
    RVModelVNT model;
    ASSERT_TRUE(model.constructSphereOfRadius(10, 4, 3));
    RVModelVNT::configureOpenGLForDrawing();
    const auto primitives = captureFeedback([&] { model.draw(); });
    ASSERT_EQ(primitives.size(), 16u);
    // The first triangle is (0, 4, 5): the north pole, then slices 0 and 1 of the first ring.
    ASSERT_EQ(primitives[0].vertices.size(), 3u);
    EXPECT_NEAR(primitives[0].vertices[0].z, 10, 1e-3);
    EXPECT_NEAR(primitives[0].vertices[1].x, 10 * sin60, 1e-3);
    EXPECT_NEAR(primitives[0].vertices[2].y, 10 * sin60, 1e-3);
    model.triangles()[7] = 18;
    EXPECT_TRUE(captureFeedback([&] { model.draw(); }).empty());
    expectNoGLError();
}

} // namespace
