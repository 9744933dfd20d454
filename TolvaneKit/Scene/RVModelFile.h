// Tolvane Kit, scene objects: triangle meshes and their file format,
// placements in a parent frame, drawable elements and jointed figures.
// Builds on the resources subsystem (cache, textures, trees), the camera's
// vector and angle helpers, Platform/core and legacy OpenGL.

#pragma once

#include <string>

class RVMeshArrays;

// The model file (.rvmvnt): the triangle count and the vertex count as
// signed 32-bit integers, then the indices (3 unsigned 16-bit values per
// triangle), the positions (3 floats per vertex), the normals (3 floats)
// and the texture coordinates (2 floats), packed without padding. Every
// value is big-endian whatever the host, so files move between machines.

// Reads a model file into mesh. The file must be at least as long as its
// counts declare (bytes beyond that are ignored), the counts must not be
// negative and every index must be below the vertex count. Anything else,
// or a file that cannot be read, returns false and leaves mesh as it was;
// nothing is allocated for counts the file is too short to hold.
bool RVReadModelFile(const std::string& path, RVMeshArrays& mesh);

// Writes mesh as a model file through Platform::SafeFileWriter: a failed
// write never leaves a truncated model behind, an older, longer file is
// replaced whole, and links and permissions are kept.
bool RVWriteModelFile(const std::string& path, const RVMeshArrays& mesh);
