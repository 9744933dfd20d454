// Tolvane Kit, scene objects: triangle meshes and their file format,
// placements in a parent frame, drawable elements and jointed figures.
// Builds on the resources subsystem (cache, textures, trees), the camera's
// vector and angle helpers, Platform/core and legacy OpenGL.

#pragma once

#include "TolvaneKit/Resources/RVResource.h"
#include "TolvaneKit/Scene/RVMeshArrays.h"

#include <GL/gl.h>

#include <cstdint>
#include <string>

// An indexed triangle mesh with a position, a normal and a texture
// coordinate per vertex, drawn with OpenGL vertex arrays in one call.
// Callers fill a model by resizing it and then writing through the array
// accessors; every index they write must stay below numberOfVertices()
// (a model with an index out of range draws nothing).
//
// As a resource it loads "<resources>/RVModelVNT/<key>.rvmvnt" when the
// database creates it; a missing or broken file leaves it empty.
class RVModelVNT : public RVResource {
public:
    // An empty model outside any database, for building meshes in memory.
    RVModelVNT() : RVResource(0, nullptr) {}
    // Created by a database: loads the key's model file.
    RVModelVNT(int key, RVDatabase* database);

    // Enables the vertex, normal and texture coordinate arrays, disables the
    // colour and edge flag arrays, and turns on 2D texturing and colour
    // material. Call once with the context current before drawing models.
    static void configureOpenGLForDrawing();

    // Resizing keeps existing contents up to the new size; new entries are
    // undefined until written. Negative counts are refused and change
    // nothing. When memory runs out the arrays concerned are released, the
    // count becomes 0 and the result is false.
    bool setNumberOfVertices(int count) { return mesh_.setNumberOfVertices(count); }
    int numberOfVertices() const { return mesh_.numberOfVertices(); }
    bool setNumberOfTriangles(int count) { return mesh_.setNumberOfTriangles(count); }
    int numberOfTriangles() const { return mesh_.numberOfTriangles(); }

    // The arrays themselves (null while their count is 0): 3 indices per
    // triangle, 3 position and 3 normal values and 2 texture coordinates per vertex.
    std::uint16_t* triangles() { return mesh_.triangles(); }
    const std::uint16_t* triangles() const { return mesh_.triangles(); }
    GLfloat* vertices() { return mesh_.vertices(); }
    const GLfloat* vertices() const { return mesh_.vertices(); }
    GLfloat* normals() { return mesh_.normals(); }
    const GLfloat* normals() const { return mesh_.normals(); }
    GLfloat* textureCoordinates() { return mesh_.textureCoordinates(); }
    const GLfloat* textureCoordinates() const { return mesh_.textureCoordinates(); }

    // Points the enabled arrays at this model and draws all its triangles.
    // Colour, texture, material and matrices are the caller's.
    RVModelVNT& draw();

    // Replaces the mesh with a UV sphere about the origin, poles on the z
    // axis (north at +radius). Each pole has one vertex per slice and each
    // ring a seam vertex, so texture coordinates run from 0 to 1 without
    // wrapping. Needs slices >= 1, stacks >= 2 and at most 65536 vertices;
    // other values are refused and leave the model as it was.
    bool constructSphereOfRadius(GLfloat radius, int slices, int stacks);

    // Moves or scales positions only; normals and texture coordinates stay.
    RVModelVNT& translate(const GLfloat* vector);
    RVModelVNT& scale(GLfloat factor);

    // Applies a projective 4x4 matrix (OpenGL column-major) to every
    // position, leaving a vertex whose w comes out 0 where it was, then
    // recomputes the normals.
    RVModelVNT& deform(const GLfloat* matrix);

    // Sets each vertex normal to the normalised sum of the unit normals of
    // the triangles using it; degenerate triangles count for nothing and a
    // vertex without any other triangle gets (0, 0, 0).
    RVModelVNT& recomputeNormals();

    // The big-endian model file, see RVModelFile.h. A load that fails leaves
    // the model as it was.
    bool loadFromFile(const std::string& path);
    bool storeToFile(const std::string& path) const;

private:
    void fillSphereVertices(double radius, int slices, int stacks);
    void fillSphereNormals(GLfloat radius);
    void fillSphereTriangles(int slices, int stacks);

    RVMeshArrays mesh_;
};
