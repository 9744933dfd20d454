#include "TolvaneKit/RVModelVNT.h"

#include "support/OffscreenGLTest.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

using Triangle = std::array<int, 3>;
using Vector = std::array<float, 3>;

Vector vertexAt(const RVModelVNT& model, int k) {
    const float* p = model.vertices() + 3 * k;
    return {p[0], p[1], p[2]};
}

Vector normalAt(const RVModelVNT& model, int k) {
    const float* n = model.normals() + 3 * k;
    return {n[0], n[1], n[2]};
}

std::vector<Triangle> trianglesOf(const RVModelVNT& model) {
    std::vector<Triangle> triangles;
    for (int t = 0; t < model.numberOfTriangles(); ++t) {
        const auto* i = model.triangles() + 3 * t;
        triangles.push_back({i[0], i[1], i[2]});
    }
    return triangles;
}

void expectNear(const Vector& actual, const Vector& expected, float tolerance = 1e-6f) {
    for (int axis = 0; axis < 3; ++axis)
        EXPECT_NEAR(actual[axis], expected[axis], tolerance) << "axis " << axis;
}

// Fills a model with the given positions and triangles.
void build(RVModelVNT& model, const std::vector<Vector>& positions,
           const std::vector<Triangle>& triangles) {
    ASSERT_TRUE(model.setNumberOfVertices(static_cast<int>(positions.size())));
    ASSERT_TRUE(model.setNumberOfTriangles(static_cast<int>(triangles.size())));
    for (std::size_t k = 0; k < positions.size(); ++k)
        for (int axis = 0; axis < 3; ++axis)
            model.vertices()[3 * k + axis] = positions[k][axis];
    for (std::size_t t = 0; t < triangles.size(); ++t)
        for (int c = 0; c < 3; ++c)
            model.triangles()[3 * t + c] = static_cast<std::uint16_t>(triangles[t][c]);
}

const double sin60 = std::sqrt(3.0) / 2.0;

TEST(RVModelVNTSphere, FourSlicesThreeStacksHaveTheDocumentedLayout) {
    RVModelVNT model;
    ASSERT_TRUE(model.constructSphereOfRadius(1, 4, 3));
    ASSERT_EQ(model.numberOfVertices(), 18);
    ASSERT_EQ(model.numberOfTriangles(), 16);
    const float* st = model.textureCoordinates();
    for (int j = 0; j < 4; ++j) { // north pole copies
        expectNear(vertexAt(model, j), {0, 0, 1});
        EXPECT_FLOAT_EQ(st[2 * j], 0.25f * j);
        EXPECT_FLOAT_EQ(st[2 * j + 1], 1);
    }
    // The first ring at 60 degrees from the north pole, a quarter turn apart.
    const Vector ring0[4] = {{float(sin60), 0, 0.5f},
                             {0, float(sin60), 0.5f},
                             {float(-sin60), 0, 0.5f},
                             {0, float(-sin60), 0.5f}};
    for (int j = 0; j < 4; ++j) {
        expectNear(vertexAt(model, 4 + j), ring0[j]);
        EXPECT_FLOAT_EQ(st[2 * (4 + j)], 0.25f * j);
        EXPECT_FLOAT_EQ(st[2 * (4 + j) + 1], 2.0f / 3.0f);
    }
    // The seam repeats slice 0 exactly, at s = 1.
    EXPECT_EQ(vertexAt(model, 8), vertexAt(model, 4));
    EXPECT_EQ(st[16], 1.0f);
    EXPECT_EQ(st[17], st[9]);
    // The second ring at 120 degrees.
    expectNear(vertexAt(model, 9), {float(sin60), 0, -0.5f});
    EXPECT_FLOAT_EQ(st[19], 1.0f / 3.0f);
    EXPECT_EQ(vertexAt(model, 13), vertexAt(model, 9));
    for (int j = 0; j < 4; ++j) { // south pole copies
        expectNear(vertexAt(model, 14 + j), {0, 0, -1});
        EXPECT_FLOAT_EQ(st[2 * (14 + j)], 0.25f * (j + 1));
        EXPECT_FLOAT_EQ(st[2 * (14 + j) + 1], 0);
    }
    const std::vector<Triangle> expected = {
        {0, 4, 5},    {1, 5, 6},   {2, 6, 7},   {3, 7, 8},                             // north cap
        {4, 9, 10},   {4, 10, 5},  {5, 10, 11}, {5, 11, 6},   {6, 11, 12}, {6, 12, 7}, // band
        {7, 12, 13},  {7, 13, 8},  {14, 10, 9}, {15, 11, 10},                          //
        {16, 12, 11}, {17, 13, 12}};                                                   // south cap
    EXPECT_EQ(trianglesOf(model), expected);
}

TEST(RVModelVNTSphere, NormalsPointOutwardAndTrianglesTurnCounterClockwiseFromOutside) {
    RVModelVNT model;
    ASSERT_TRUE(model.constructSphereOfRadius(2.5f, 7, 5));
    for (int k = 0; k < model.numberOfVertices(); ++k) {
        const Vector p = vertexAt(model, k);
        expectNear(normalAt(model, k), {p[0] / 2.5f, p[1] / 2.5f, p[2] / 2.5f});
    }
    for (const Triangle& t : trianglesOf(model)) {
        const Vector a = vertexAt(model, t[0]), b = vertexAt(model, t[1]),
                     c = vertexAt(model, t[2]);
        const Vector u = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const Vector v = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        const Vector n = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                          u[0] * v[1] - u[1] * v[0]};
        const float outward =
            n[0] * (a[0] + b[0] + c[0]) + n[1] * (a[1] + b[1] + c[1]) + n[2] * (a[2] + b[2] + c[2]);
        EXPECT_GT(outward, 0) << t[0] << "," << t[1] << "," << t[2];
    }
}

TEST(RVModelVNTSphere, TwoStacksHaveOnlyTheTwoCaps) {
    RVModelVNT model;
    ASSERT_TRUE(model.constructSphereOfRadius(1, 3, 2));
    EXPECT_EQ(model.numberOfVertices(), 10);
    const std::vector<Triangle> expected = {{0, 3, 4}, {1, 4, 5}, {2, 5, 6},
                                            {7, 4, 3}, {8, 5, 4}, {9, 6, 5}};
    EXPECT_EQ(trianglesOf(model), expected);
    expectNear(vertexAt(model, 3), {1, 0, 0}); // the equator
}

TEST(RVModelVNTSphere, RefusesShapesItCannotBuildAndKeepsTheModel) {
    RVModelVNT model;
    ASSERT_TRUE(model.constructSphereOfRadius(1, 4, 3));
    const std::vector<Triangle> before = trianglesOf(model);
    EXPECT_FALSE(model.constructSphereOfRadius(1, 0, 3));
    EXPECT_FALSE(model.constructSphereOfRadius(1, -2, 3));
    EXPECT_FALSE(model.constructSphereOfRadius(1, 4, 1));
    EXPECT_FALSE(model.constructSphereOfRadius(1, 256, 255)); // 65790 vertices
    EXPECT_FALSE(model.constructSphereOfRadius(1, 1 << 30, 1 << 30));
    EXPECT_EQ(model.numberOfVertices(), 18);
    EXPECT_EQ(trianglesOf(model), before);
}

TEST(RVModelVNTSphere, SixtyFiveThousandFiveHundredThirtySixVerticesStillFitSixteenBits) {
    RVModelVNT model;
    // (330 + 1) * (197 + 1) - 2 = 65536 vertices
    ASSERT_TRUE(model.constructSphereOfRadius(1, 197, 330));
    EXPECT_EQ(model.numberOfVertices(), 65536);
    int largest = 0;
    for (const Triangle& t : trianglesOf(model))
        for (int index : t)
            largest = std::max(largest, index);
    EXPECT_EQ(largest, 65535);
    expectNear(vertexAt(model, 65535), {0, 0, -1});
}

TEST(RVModelVNTSphere, ZeroRadiusGetsZeroNormals) {
    RVModelVNT model;
    ASSERT_TRUE(model.constructSphereOfRadius(0, 3, 2));
    for (int k = 0; k < model.numberOfVertices(); ++k)
        EXPECT_EQ(normalAt(model, k), (Vector{0, 0, 0}));
}

TEST(RVModelVNTArrays, ResizingKeepsContentsAndReleasesAtZero) {
    RVModelVNT model;
    EXPECT_EQ(model.vertices(), nullptr);
    ASSERT_TRUE(model.setNumberOfVertices(2));
    for (int k = 0; k < 6; ++k)
        model.vertices()[k] = float(k);
    model.textureCoordinates()[3] = 7;
    const float* arrayBefore = model.vertices();
    EXPECT_TRUE(model.setNumberOfVertices(2));
    EXPECT_EQ(model.vertices(), arrayBefore);
    ASSERT_TRUE(model.setNumberOfVertices(1000));
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(model.vertices()[k], float(k));
    EXPECT_EQ(model.textureCoordinates()[3], 7);
    ASSERT_TRUE(model.setNumberOfVertices(1));
    EXPECT_EQ(model.vertices()[2], 2);

    EXPECT_FALSE(model.setNumberOfVertices(-1));
    EXPECT_EQ(model.numberOfVertices(), 1);
    EXPECT_EQ(model.vertices()[1], 1);

    EXPECT_TRUE(model.setNumberOfVertices(0));
    EXPECT_EQ(model.numberOfVertices(), 0);
    EXPECT_EQ(model.vertices(), nullptr);
    EXPECT_EQ(model.normals(), nullptr);
    EXPECT_EQ(model.textureCoordinates(), nullptr);
}

TEST(RVModelVNTArrays, TriangleCountsResizeAndRefuseWhatCannotBeDrawn) {
    RVModelVNT model;
    ASSERT_TRUE(model.setNumberOfTriangles(1));
    model.triangles()[2] = 42;
    ASSERT_TRUE(model.setNumberOfTriangles(50));
    EXPECT_EQ(model.triangles()[2], 42);
    EXPECT_FALSE(model.setNumberOfTriangles(-3));
    // 3 x count indices must fit the count that glDrawElements takes.
    EXPECT_FALSE(model.setNumberOfTriangles(RVMeshArrays::maximumTriangles + 1));
    EXPECT_EQ(model.numberOfTriangles(), 50);
    EXPECT_TRUE(model.setNumberOfTriangles(0));
    EXPECT_EQ(model.numberOfTriangles(), 0);
}

TEST(RVModelVNTTransforms, TranslateAndScaleMovePositionsOnly) {
    RVModelVNT model;
    ASSERT_TRUE(model.constructSphereOfRadius(1, 4, 3));
    const Vector normalBefore = normalAt(model, 5);
    const float offset[3] = {1, -2, 3};
    model.translate(offset).scale(-1);
    expectNear(vertexAt(model, 0), {-1, 2, -4});
    expectNear(vertexAt(model, 5), {-1, 2 - float(sin60), -3.5f});
    EXPECT_EQ(normalAt(model, 5), normalBefore);
}

TEST(RVModelVNTTransforms, DeformWithTheIdentityOnlyRecomputesNormals) {
    RVModelVNT model;
    // Two faces of a roof meeting at a right angle along the y axis: one
    // large in the z = 0 plane facing +z and one small in the x = 0
    // plane facing +x.
    build(model, {{0, 0, 0}, {0, 1, 0}, {10, 0, 0}, {0, 0, 0.1f}}, {{0, 2, 1}, {0, 1, 3}});
    for (int k = 0; k < 12; ++k)
        model.normals()[k] = 9;
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    model.deform(identity);
    expectNear(vertexAt(model, 2), {10, 0, 0});
    expectNear(normalAt(model, 2), {0, 0, 1});
    expectNear(normalAt(model, 3), {1, 0, 0});
    // Shared vertices average the unit face normals, whatever the areas.
    const float half = float(std::sqrt(0.5));
    expectNear(normalAt(model, 0), {half, 0, half});
    expectNear(normalAt(model, 1), {half, 0, half});
}

TEST(RVModelVNTTransforms, DeformDividesByWAndLeavesPointsAtInfinityAlone) {
    RVModelVNT model;
    build(model, {{0, 5, 5}, {2, 4, 6}, {4, 0, 0}}, {{0, 1, 2}});
    // Column-major: w = x, positions also moved by (2, 0, 0) before dividing.
    const float matrix[16] = {1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 2, 0, 0, 0};
    model.deform(matrix);
    expectNear(vertexAt(model, 0), {0, 5, 5}); // w = 0
    expectNear(vertexAt(model, 1), {2, 2, 3});
    expectNear(vertexAt(model, 2), {1.5f, 0, 0});
}

TEST(RVModelVNTTransforms, CollinearTrianglesAddNothingToNormals) {
    RVModelVNT model;
    build(model, {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 3, 4}});
    model.recomputeNormals();
    expectNear(normalAt(model, 0), {0, 0, 1});
    EXPECT_EQ(normalAt(model, 1), (Vector{0, 0, 0}));
    EXPECT_EQ(normalAt(model, 2), (Vector{0, 0, 0}));
}

TEST(RVModelVNTTransforms, IndicesOutOfRangeAreSkippedWhenRecomputingNormals) {
    RVModelVNT model;
    build(model, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 1, 2}});
    model.triangles()[5] = 60000; // the second triangle points far outside
    model.recomputeNormals();
    expectNear(normalAt(model, 0), {0, 0, 1});
    expectNear(normalAt(model, 1), {0, 0, 1});
}

class RVModelVNTDrawing : public VexmiraTest::OffscreenGLTest {};

TEST_F(RVModelVNTDrawing, DrawsEveryTriangleFromTheArrays) {
    RVModelVNT model;
    ASSERT_TRUE(model.constructSphereOfRadius(10, 4, 3));
    RVModelVNT::configureOpenGLForDrawing();
    const auto primitives = captureFeedback([&] { model.draw(); });
    ASSERT_EQ(primitives.size(), 16u);
    // The first triangle is (0, 4, 5): the north pole, then slices 0 and 1 of the first ring.
    ASSERT_EQ(primitives[0].vertices.size(), 3u);
    const auto& corner = primitives[0].vertices;
    EXPECT_NEAR(corner[0].z, 10, 1e-3);
    EXPECT_NEAR(corner[1].x, 10 * sin60, 1e-3);
    EXPECT_NEAR(corner[2].y, 10 * sin60, 1e-3);
    expectNoGLError();
}

TEST_F(RVModelVNTDrawing, AnIndexOutOfRangeDrawsNothing) {
    RVModelVNT model;
    ASSERT_TRUE(model.constructSphereOfRadius(10, 4, 3));
    model.triangles()[7] = 18;
    RVModelVNT::configureOpenGLForDrawing();
    EXPECT_TRUE(captureFeedback([&] { model.draw(); }).empty());
    expectNoGLError();
}

} // namespace
