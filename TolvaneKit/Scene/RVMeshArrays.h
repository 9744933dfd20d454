// Tolvane Kit, scene objects: triangle meshes and their file format,
// placements in a parent frame, drawable elements and jointed figures.
// Builds on the resources subsystem (cache, textures, trees), the camera's
// vector and angle helpers, Platform/core and legacy OpenGL.

#pragma once

#include "Platform/core/MallocArray.h"

#include <climits>
#include <cstdint>

// The storage of a triangle mesh: two counts and four tightly packed arrays
// (16-bit vertex indices, positions, normals, texture coordinates) that can be
// handed to OpenGL as they are. The arrays come from malloc so that resizing
// can grow them in place with realloc; an array is null exactly when its
// count is 0. Grown storage is not cleared.
class RVMeshArrays {
public:
    // glDrawElements takes the index count as a GLsizei, so 3 x triangles must fit an int.
    static constexpr int maximumTriangles = INT_MAX / 3;
    static constexpr int valuesPerPosition = 3;
    static constexpr int valuesPerTextureCoordinate = 2;

    int numberOfTriangles() const { return numberOfTriangles_; }
    int numberOfVertices() const { return numberOfVertices_; }

    std::uint16_t* triangles() { return triangles_.get(); }
    const std::uint16_t* triangles() const { return triangles_.get(); }
    float* vertices() { return vertices_.get(); }
    const float* vertices() const { return vertices_.get(); }
    float* normals() { return normals_.get(); }
    const float* normals() const { return normals_.get(); }
    float* textureCoordinates() { return textureCoordinates_.get(); }
    const float* textureCoordinates() const { return textureCoordinates_.get(); }

    // Resizes positions, normals and texture coordinates together, keeping
    // their contents up to the new size. A negative count is refused and
    // changes nothing. If memory runs out all three arrays are released and
    // the count becomes 0, so the arrays never disagree with the count.
    bool setNumberOfVertices(int count);

    // Resizes the index array the same way; counts above maximumTriangles
    // are refused like negative ones.
    bool setNumberOfTriangles(int count);

    // True when every index names an existing vertex, so drawing or
    // recomputing normals stays inside the vertex arrays.
    bool indicesAreBelowVertexCount() const;

    void swap(RVMeshArrays& other) noexcept;

private:
    template <class T> using MallocArray = Platform::MallocArray<T>;

    template <class T> static bool resize(MallocArray<T>& array, int count, int valuesPerElement);
    void releaseVertexArrays();

    int numberOfTriangles_ = 0;
    int numberOfVertices_ = 0;
    MallocArray<std::uint16_t> triangles_;
    MallocArray<float> vertices_;
    MallocArray<float> normals_;
    MallocArray<float> textureCoordinates_;
};
