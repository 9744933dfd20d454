// Tolvane Kit, camera and hit testing: viewing and projection set from
// spherical coordinates around a target, jittered smoothing passes, picking
// and collision tests, and the vector and angle helpers they share. Builds on
// legacy OpenGL, GLU and Platform/core alone.

#pragma once

#include <GL/gl.h>

// Vector helpers shared by the camera, the hit tester, the mesh model and the
// figure. A vector is three consecutive GLfloat values x, y, z.
//
// The kit's spherical coordinates: distance >= 0; azimuth in degrees in the
// x-y plane from +x toward +y, in [0, 360]; elevation in degrees from the +z
// axis (0 along +z, 90 horizontal, 180 along -z). A point at distance d,
// azimuth a and elevation e lies at (d sin e cos a, d sin e sin a, d cos e).

// Writes vin scaled to unit length into vout and returns the length it had.
// vout may be vin. A zero vector returns 0 and leaves vout untouched, so
// callers test the result before trusting vout.
GLfloat RVNormalizeVector(const GLfloat* vin, GLfloat* vout);

// vout = v x w. vout must not overlap v or w: later components read the
// inputs after earlier ones have been written.
void RVCrossVectors(const GLfloat* v, const GLfloat* w, GLfloat* vout);

// The spherical coordinates of the offset (x, y, z). A zero offset gives all
// zeros; an offset on the z axis gives azimuth 0 and elevation 0 or 180.
void RVGetSphericalCoordinates(GLfloat x, GLfloat y, GLfloat z, GLfloat* dist, GLfloat* azim,
                               GLfloat* elev);

// Arc cosine and arc sine in radians that clamp arguments outside [-1, 1] to
// the end values, so rounding just past 1 never yields a NaN.
GLdouble RVArcCos(GLdouble x);
GLdouble RVArcSin(GLdouble x);
