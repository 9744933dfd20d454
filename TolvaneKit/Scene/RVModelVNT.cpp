#include "TolvaneKit/Scene/RVModelVNT.h"

#include "TolvaneKit/Scene/RVModelFile.h"
#include "TolvaneKit/Camera/RVUtilities.h"

#include <cmath>
#include <cstddef>
#include <numbers>

namespace {

constexpr int maximumVertices = 65536; // what 16-bit indices can address

void enableClientState(GLenum array) {
    if (!glIsEnabled(array))
        glEnableClientState(array);
}

void disableClientState(GLenum array) {
    if (glIsEnabled(array))
        glDisableClientState(array);
}

void setPosition(GLfloat* position, GLfloat x, GLfloat y, GLfloat z) {
    position[0] = x;
    position[1] = y;
    position[2] = z;
}

void setTextureCoordinate(GLfloat* coordinate, GLfloat s, GLfloat t) {
    coordinate[0] = s;
    coordinate[1] = t;
}

// Index arithmetic wraps at 16 bits like the stored indices; the vertex
// bound checked beforehand keeps every value in range.
void putTriangle(std::uint16_t*& at, int a, int b, int c) {
    *at++ = static_cast<std::uint16_t>(a);
    *at++ = static_cast<std::uint16_t>(b);
    *at++ = static_cast<std::uint16_t>(c);
}

} // namespace

RVModelVNT::RVModelVNT(int key, RVDatabase* database) : RVResource(key, database) {
    // Creating a resource never fails: without a readable file the model stays empty.
    static_cast<void>(loadFromFile(filePath("RVModelVNT", "rvmvnt")));
}

void RVModelVNT::configureOpenGLForDrawing() {
    enableClientState(GL_VERTEX_ARRAY);
    enableClientState(GL_NORMAL_ARRAY);
    enableClientState(GL_TEXTURE_COORD_ARRAY);
    disableClientState(GL_COLOR_ARRAY);
    disableClientState(GL_EDGE_FLAG_ARRAY);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_COLOR_MATERIAL);
}

RVModelVNT& RVModelVNT::draw() {
    glVertexPointer(3, GL_FLOAT, 0, vertices());
    glNormalPointer(GL_FLOAT, 0, normals());
    glTexCoordPointer(2, GL_FLOAT, 0, textureCoordinates());
    // An index written out of range by a caller would make OpenGL read
    // beyond the vertex arrays.
    if (mesh_.indicesAreBelowVertexCount())
        glDrawElements(GL_TRIANGLES, 3 * numberOfTriangles(), GL_UNSIGNED_SHORT, triangles());
    return *this;
}

bool RVModelVNT::constructSphereOfRadius(GLfloat radius, int slices, int stacks) {
    if (slices < 1 || stacks < 2)
        return false;
    const long long vertexCount = static_cast<long long>(stacks + 1LL) * (slices + 1LL) - 2;
    if (vertexCount > maximumVertices)
        return false;
    if (!setNumberOfVertices(static_cast<int>(vertexCount)))
        return false;
    if (!setNumberOfTriangles(2 * slices * (stacks - 1)))
        return false;
    fillSphereVertices(radius, slices, stacks);
    fillSphereNormals(radius);
    fillSphereTriangles(slices, stacks);
    return true;
}

// Layout: slices copies of the north pole, then stacks - 1 rings of slices
// vertices plus a seam vertex at s = 1, then slices copies of the south pole.
void RVModelVNT::fillSphereVertices(double radius, int slices, int stacks) {
    const double pi = std::numbers::pi;
    const double slice = 2.0 * pi / slices;
    const double stack = pi / stacks;
    const auto r = static_cast<GLfloat>(radius);
    GLfloat* positions = vertices();
    GLfloat* coordinates = textureCoordinates();
    for (int j = 0; j < slices; ++j) {
        setPosition(positions + 3 * j, 0, 0, r);
        setTextureCoordinate(coordinates + 2 * j, static_cast<GLfloat>(j) / slices, 1);
    }
    for (int i = 0; i < stacks - 1; ++i) {
        const double phi = (i + 1) * stack;
        const double ringRadius = radius * std::sin(phi);
        const int first = slices + (slices + 1) * i;
        for (int j = 0; j < slices; ++j) {
            const double theta = j * slice;
            setPosition(positions + 3 * (first + j),
                        static_cast<GLfloat>(ringRadius * std::cos(theta)),
                        static_cast<GLfloat>(ringRadius * std::sin(theta)),
                        static_cast<GLfloat>(radius * std::cos(phi)));
            setTextureCoordinate(coordinates + 2 * (first + j),
                                 static_cast<GLfloat>((theta / pi) / 2.0),
                                 static_cast<GLfloat>(1.0 - phi / pi));
        }
        const int seam = first + slices;
        setPosition(positions + 3 * seam, positions[3 * first], positions[3 * first + 1],
                    positions[3 * first + 2]);
        setTextureCoordinate(coordinates + 2 * seam, 1, coordinates[2 * first + 1]);
    }
    const int southBefore = stacks * (slices + 1) - 2;
    for (int j = 1; j <= slices; ++j) {
        setPosition(positions + 3 * (southBefore + j), 0, 0, -r);
        setTextureCoordinate(coordinates + 2 * (southBefore + j), static_cast<GLfloat>(j) / slices,
                             0);
    }
}

void RVModelVNT::fillSphereNormals(GLfloat radius) {
    GLfloat* positions = vertices();
    GLfloat* unit = normals();
    for (int k = numberOfVertices() - 1; k >= 0; --k) {
        // A sphere of radius 0 has no direction to offer; its normals are
        // zero rather than left undefined.
        if (radius == 0)
            setPosition(unit + 3 * k, 0, 0, 0);
        else
            RVNormalizeVector(positions + 3 * k, unit + 3 * k);
    }
}

// Counter-clockwise seen from outside: the north cap, the bands between
// rings (two triangles per quad), then the south cap.
void RVModelVNT::fillSphereTriangles(int slices, int stacks) {
    std::uint16_t* at = triangles();
    for (int j = 0; j < slices; ++j)
        putTriangle(at, j, slices + j, slices + j + 1);
    for (int i = 0; i < stacks - 2; ++i) {
        for (int j = 0; j < slices; ++j) {
            const int a = slices + (slices + 1) * i + j;
            const int d = a + 1;
            const int b = a + slices + 1;
            const int c = a + slices + 2;
            putTriangle(at, a, b, c);
            putTriangle(at, a, c, d);
        }
    }
    const int southBefore = stacks * (slices + 1) - 2;
    for (int j = 1; j <= slices; ++j) {
        const int p = southBefore + j;
        putTriangle(at, p, p - slices, p - slices - 1);
    }
}

RVModelVNT& RVModelVNT::translate(const GLfloat* vector) {
    GLfloat* positions = vertices();
    for (int k = 0; k < numberOfVertices(); ++k)
        for (int axis = 0; axis < 3; ++axis)
            positions[3 * k + axis] += vector[axis];
    return *this;
}

RVModelVNT& RVModelVNT::scale(GLfloat factor) {
    GLfloat* positions = vertices();
    for (std::size_t k = 0; k < 3 * static_cast<std::size_t>(numberOfVertices()); ++k)
        positions[k] *= factor;
    return *this;
}

RVModelVNT& RVModelVNT::deform(const GLfloat* m) {
    GLfloat* positions = vertices();
    for (int k = numberOfVertices() - 1; k >= 0; --k) {
        GLfloat* p = positions + 3 * k;
        const GLfloat x = p[0], y = p[1], z = p[2];
        const GLfloat w = m[3] * x + m[7] * y + m[11] * z + m[15];
        if (w == 0)
            continue; // a point at infinity has no place in the mesh
        const auto q = static_cast<GLfloat>(1.0 / w);
        p[0] = q * (m[0] * x + m[4] * y + m[8] * z + m[12]);
        p[1] = q * (m[1] * x + m[5] * y + m[9] * z + m[13]);
        p[2] = q * (m[2] * x + m[6] * y + m[10] * z + m[14]);
    }
    return recomputeNormals();
}

RVModelVNT& RVModelVNT::recomputeNormals() {
    const GLfloat* positions = vertices();
    GLfloat* sums = normals();
    const int vertexCount = numberOfVertices();
    for (std::size_t k = 0; k < 3 * static_cast<std::size_t>(vertexCount); ++k)
        sums[k] = 0;
    const std::uint16_t* indices = triangles();
    for (int t = numberOfTriangles() - 1; t >= 0; --t) {
        const std::uint16_t* corner = indices + 3 * t;
        // Indices written out of range by a caller are skipped, not followed.
        if (corner[0] >= vertexCount || corner[1] >= vertexCount || corner[2] >= vertexCount)
            continue;
        const GLfloat* v0 = positions + 3 * corner[0];
        const GLfloat* v1 = positions + 3 * corner[1];
        const GLfloat* v2 = positions + 3 * corner[2];
        const GLfloat a[3] = {v1[0] - v0[0], v1[1] - v0[1], v1[2] - v0[2]};
        const GLfloat b[3] = {v2[0] - v0[0], v2[1] - v0[1], v2[2] - v0[2]};
        GLfloat n[3];
        RVCrossVectors(a, b, n);
        // Unit face normals: every triangle counts the same, whatever its area.
        if (RVNormalizeVector(n, n) == 0)
            continue;
        for (int c = 0; c < 3; ++c)
            for (int axis = 0; axis < 3; ++axis)
                sums[3 * corner[c] + axis] += n[axis];
    }
    for (int k = vertexCount - 1; k >= 0; --k)
        RVNormalizeVector(sums + 3 * k, sums + 3 * k);
    return *this;
}

bool RVModelVNT::loadFromFile(const std::string& path) {
    return RVReadModelFile(path, mesh_);
}

bool RVModelVNT::storeToFile(const std::string& path) const {
    return RVWriteModelFile(path, mesh_);
}
