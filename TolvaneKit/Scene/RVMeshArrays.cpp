#include "TolvaneKit/Scene/RVMeshArrays.h"

#include <algorithm>
#include <cstddef>
#include <utility>

template <class T>
bool RVMeshArrays::resize(MallocArray<T>& array, int count, int valuesPerElement) {
    std::size_t bytes = 0;
    if (__builtin_mul_overflow(static_cast<std::size_t>(count),
                               static_cast<std::size_t>(valuesPerElement) * sizeof(T), &bytes))
        return false;
    // On failure realloc leaves the old block alone, and the array still owns it.
    void* resized = std::realloc(array.get(), bytes);
    if (resized == nullptr)
        return false;
    static_cast<void>(array.release());
    array.reset(static_cast<T*>(resized));
    return true;
}

void RVMeshArrays::releaseVertexArrays() {
    vertices_.reset();
    normals_.reset();
    textureCoordinates_.reset();
    numberOfVertices_ = 0;
}

bool RVMeshArrays::setNumberOfVertices(int count) {
    if (count == numberOfVertices_)
        return true;
    if (count < 0)
        return false;
    if (count == 0) {
        releaseVertexArrays();
        return true;
    }
    const bool resized = resize(vertices_, count, valuesPerPosition) &&
                         resize(normals_, count, valuesPerPosition) &&
                         resize(textureCoordinates_, count, valuesPerTextureCoordinate);
    if (!resized) {
        releaseVertexArrays();
        return false;
    }
    numberOfVertices_ = count;
    return true;
}

bool RVMeshArrays::setNumberOfTriangles(int count) {
    if (count == numberOfTriangles_)
        return true;
    if (count < 0 || count > maximumTriangles)
        return false;
    if (count == 0 || !resize(triangles_, count, 3)) {
        triangles_.reset();
        numberOfTriangles_ = 0;
        return count == 0;
    }
    numberOfTriangles_ = count;
    return true;
}

bool RVMeshArrays::indicesAreBelowVertexCount() const {
    const std::uint16_t* first = triangles_.get();
    const std::uint16_t* last = first + 3 * static_cast<std::size_t>(numberOfTriangles_);
    return std::all_of(first, last,
                       [this](std::uint16_t index) { return index < numberOfVertices_; });
}

void RVMeshArrays::swap(RVMeshArrays& other) noexcept {
    std::swap(numberOfTriangles_, other.numberOfTriangles_);
    std::swap(numberOfVertices_, other.numberOfVertices_);
    triangles_.swap(other.triangles_);
    vertices_.swap(other.vertices_);
    normals_.swap(other.normals_);
    textureCoordinates_.swap(other.textureCoordinates_);
}
