#include "ExampleModels.h"

#include "TolvaneKit/Scene/RVModelVNT.h"

#include <GL/gl.h>

#include <filesystem>

namespace ExampleModels {

namespace {

// A unit sphere scaled along the axes and then moved, as a model file.
bool writeEllipsoid(const std::filesystem::path& folder, int key, const GLfloat scale[3],
                    const GLfloat offset[3], std::string* error) {
    RVModelVNT model;
    if (!model.constructSphereOfRadius(1, 24, 16)) {
        *error = "cannot build a sphere";
        return false;
    }
    // Column-major: the diagonal scales, the last column moves.
    const GLfloat matrix[16] = {scale[0], 0, 0,        0, 0,         scale[1],  0,         0,
                                0,        0, scale[2], 0, offset[0], offset[1], offset[2], 1};
    model.deform(matrix);
    const auto path = folder / (std::to_string(key) + ".rvmvnt");
    if (!model.storeToFile(path.string())) {
        *error = "cannot write " + path.string();
        return false;
    }
    return true;
}

} // namespace

bool write(const std::string& resourceDirectory, std::string* error) {
    const std::filesystem::path folder = std::filesystem::path(resourceDirectory) / "RVModelVNT";
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (failure) {
        *error = "cannot create " + folder.string() + ": " + failure.message();
        return false;
    }
    const GLfloat unit[3] = {1, 1, 1}, centred[3] = {0, 0, 0};
    const GLfloat spindle[3] = {0.22f, 0.22f, 0.5f}, alongZ[3] = {0, 0, 0.5f};
    const GLfloat chest[3] = {0.16f, 0.26f, 0.4f}, chestOffset[3] = {0, 0, 0.33f};
    const GLfloat sole[3] = {0.045f, 0.055f, 0.13f}, soleOffset[3] = {-0.035f, 0.012f, 0.07f};
    return writeEllipsoid(folder, ball, unit, centred, error) &&
           writeEllipsoid(folder, segment, spindle, alongZ, error) &&
           writeEllipsoid(folder, torso, chest, chestOffset, error) &&
           writeEllipsoid(folder, foot, sole, soleOffset, error);
}

} // namespace ExampleModels
