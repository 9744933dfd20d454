// Tolvane Kit, scene objects: triangle meshes and their file format,
// placements in a parent frame, drawable elements and jointed figures.
// Builds on the resources subsystem (cache, textures, trees), the camera's
// vector and angle helpers, Platform/core and legacy OpenGL.

#pragma once

#include <GL/gl.h>

// Blends angle a toward angle b (degrees) by fraction along the shorter arc
// and returns the result reduced into [0, 360). Both angles are reduced into
// [0, 360) first. When they are exactly 180 apart the blend runs from a
// downward when b > a and upward when a > b. Angles that are not finite blend
// as 0, and a blend that comes out non-finite (an infinite fraction) is 0.
float RVInterpolateAngles(float a, float b, float fraction);

// Places an object in its parent's frame: a location and three angles in
// degrees. The rotation is R = Rz(azimuth) * Ry(elevation) * Rz(twist), so
// the object's +z axis points along the direction (azimuth, elevation) of the
// kit's spherical convention, and a point p of the object lies at
// location + R * p in the parent frame. Angles are stored as given: nothing
// wraps or clamps them.
//
// Drawable elements derive from this class and replace draw(); figures hold
// one per node through a shared pointer.
class RVTransformation {
public:
    RVTransformation() = default;
    virtual ~RVTransformation() = default;
    // Not copyable: a copy through a reference to the base would keep only
    // the placement of a drawable element and lose what it draws.
    RVTransformation(const RVTransformation&) = delete;
    RVTransformation& operator=(const RVTransformation&) = delete;

    RVTransformation& setLocation(const GLfloat vector[3]);
    const RVTransformation& getLocation(GLfloat vector[3]) const;
    // index is 0, 1 or 2; it is not checked.
    RVTransformation& setLocation(int index, GLfloat value);
    GLfloat location(int index) const { return location_[index]; }

    RVTransformation& setAzimuth(GLfloat azimuth);
    GLfloat azimuth() const { return azimuth_; }
    RVTransformation& setElevation(GLfloat elevation);
    GLfloat elevation() const { return elevation_; }
    RVTransformation& setTwist(GLfloat twist);
    GLfloat twist() const { return twist_; }

    // Draws a small axis marker (x red, y green, z blue, 0.1 long) in the
    // current frame; call it after apply(). Subclasses draw themselves instead.
    virtual RVTransformation& draw();

    // Multiplies the current OpenGL matrix by this transformation. It selects
    // no matrix mode and pushes nothing: that is the caller's business.
    RVTransformation& apply();

    // result = location + R * point.
    const RVTransformation& applyTo(const GLfloat point[3], GLfloat result[3]) const;
    // result = R^T * (point - location), the exact inverse of applyTo.
    const RVTransformation& applyInverseTo(const GLfloat point[3], GLfloat result[3]) const;
    // result = R * vector.
    const RVTransformation& applyRotationTo(const GLfloat vector[3], GLfloat result[3]) const;
    // result = R^T * vector.
    const RVTransformation& applyInverseRotationTo(const GLfloat vector[3],
                                                   GLfloat result[3]) const;
    // Input and result of the four operations above may be the same array.

    // Moves the location linearly toward other's and each angle toward
    // other's along the shorter arc, leaving the angles in [0, 360). The
    // fraction is not clamped: 0 keeps the location (and only reduces the
    // angles), 1 takes other's values, anything else extrapolates.
    RVTransformation& interpolateToward(const RVTransformation& other, float fraction);
    // The same with plain linear angle blending and no reduction, so 350
    // toward 10 by a half passes through 180.
    RVTransformation& interpolateNaivelyToward(const RVTransformation& other, float fraction);

private:
    void blendLocationToward(const RVTransformation& other, float fraction);

    GLfloat location_[3] = {0, 0, 0};
    GLfloat azimuth_ = 0;
    GLfloat elevation_ = 0;
    GLfloat twist_ = 0;
};
