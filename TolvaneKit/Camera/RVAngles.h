// Tolvane Kit, camera and hit testing: viewing and projection set from
// spherical coordinates around a target, jittered smoothing passes, picking
// and collision tests, and the vector and angle helpers they share. Builds on
// legacy OpenGL, GLU and Platform/core alone.

#pragma once

#include <GL/gl.h>

// Bringing angles in degrees back into one turn, as the camera stores them.
//
// Whole turns are taken off one at a time in double precision and each step is
// stored as a GLfloat, so an angle just below zero can come back as exactly
// 360 (-1e-10 + 360 rounds to 360.0f). Angles beyond two turns are first
// reduced with std::fmod, which is exact and gives bit for bit what the
// turn-by-turn loop gives wherever that loop is exact; it also keeps huge
// angles, for which subtracting a turn changes nothing, from looping for
// ever. A non-finite angle has no place on the circle: it counts as no turn
// at all and comes back as 0.

// Into [0, 360): while >= 360 subtract 360, then while < 0 add 360.
GLfloat RVWrapAngle(GLfloat degrees);

// Into (-180, 180]: while > 180 subtract 360, then while <= -180 add 360.
GLfloat RVWrapSignedAngle(GLfloat degrees);
