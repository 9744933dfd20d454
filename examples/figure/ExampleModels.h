#pragma once

#include <string>

// Model keys of the figure example. Each is a sphere stretched into shape
// and written as a model file, so elements load it through the database
// like any other model.
namespace ExampleModels {

constexpr int ball = 1;    // unit sphere: pelvis, head, hands, nose, eyes
constexpr int segment = 2; // spindle from z = 0 to z = 1: arms and legs, scaled by length
constexpr int torso = 3;   // the chest, rising from its joint along +z
constexpr int foot = 4;    // +x up, toes along +z, off to +y; the other foot uses -foot

// Writes the models below <resourceDirectory>/RVModelVNT; false with the
// reason in *error on failure.
bool write(const std::string& resourceDirectory, std::string* error);

} // namespace ExampleModels
