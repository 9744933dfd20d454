// Tolvane Kit, scene objects: triangle meshes and their file format,
// placements in a parent frame, drawable elements and jointed figures.
// Builds on the resources subsystem (cache, textures, trees), the camera's
// vector and angle helpers, Platform/core and legacy OpenGL.

#pragma once

#include "TolvaneKit/Resources/RVTree.h"
#include "TolvaneKit/Scene/RVTransformation.h"

#include <GL/gl.h>

#include <memory>

// A node of a jointed model such as a human body: a child/sibling tree node
// carrying the transformation that places it in its parent's frame (usually
// a drawable element, so drawing the tree draws every part in place).
//
// The root of a figure can aim the head at a point, bend a two-segment arm
// or leg so that its end reaches a point, and turn a foot flat against a
// surface. These find the parts by position among the children (counted
// from 1 along the first-child / next-sibling links):
//
//   torso    third child of the root
//   head     third child of the torso
//   arm      any child of the torso, passed in
//   leg      any child of the root, passed in
//   lower    first child of an arm or leg (its location's z is the upper
//            segment's length)
//   end      first child of the lower segment, the hand or foot (its
//            location's z is the lower segment's length)
//
// An arm or leg lies along its own +z axis. Points are given in the frame in
// which the root's transformation is expressed. An operation that misses a
// part it needs (absent, not a figure, or without a transformation) changes
// nothing; so do targets that are not finite.
class RVFigure : public RVTree {
public:
    using Ptr = std::shared_ptr<RVFigure>;

    RVFigure() = default;
    explicit RVFigure(std::shared_ptr<RVTransformation> transformation);
    ~RVFigure() override;

    // Shared with whoever else holds it; may be null (the node then draws
    // only its children and takes no part in aiming).
    RVFigure& setTransformation(std::shared_ptr<RVTransformation> transformation);
    const std::shared_ptr<RVTransformation>& transformation() const { return transformation_; }

    // Draws the node in its place and its children in its frame, on the
    // modelview stack, which it leaves as it found it.
    RVFigure& draw();

    // Blends this subtree toward a pose of the same shape, the angles along
    // the shorter arc. Children are paired in order while both sides have
    // one; surplus children on either side are left alone.
    RVFigure& interpolateToward(const RVFigure& pose, float fraction);

    // Turns the head so that its +x axis points at the sight point (with the
    // head's twist 0); its twist is not changed.
    RVFigure& pointHeadToward(const GLfloat sight[3]);

    // Bends the limb so that its end lies at the distance in the direction
    // (azimuth, elevation, degrees) from its joint, within the limb's parent
    // frame. A target out of reach makes the limb point straight at it; a
    // distance or segment length of 0 changes nothing.
    RVFigure& pointLimb(RVFigure& limb, GLfloat distance, GLfloat azimuth, GLfloat elevation);

    // Bends an arm so that its hand reaches the wrist point. Arms always aim
    // with an azimuth in [90, 270] and legs with one outside (90, 270), so
    // elbows and knees bend to opposite sides.
    RVFigure& pointArm(RVFigure& arm, const GLfloat wrist[3]);
    RVFigure& pointLeg(RVFigure& leg, const GLfloat ankle[3]);

    // Turns the foot so that its +x axis lies along the surface normal (with
    // the foot's azimuth 0). It reads the leg's current angles, so aim the
    // leg first.
    RVFigure& flattenFootOfLeg(RVFigure& leg, const GLfloat normal[3]);

    // The child at the position (from 1) if it is a figure, otherwise null.
    RVFigure* childAt(int position) const;

private:
    // The node at the position if it is a figure with a transformation.
    RVTransformation* placedChild(int position) const;

    std::shared_ptr<RVTransformation> transformation_;
};
