#pragma once

#include "TolvaneKit/Scene/RVFigure.h"

#include <GL/gl.h>

#include <memory>

class RVDatabase;

// The example's jointed figure, built of sphere elements in the shape the
// figure's aiming operations expect: a pelvis at the root with two legs and
// the torso as its third child; the torso carries two arms and the head as
// its third child; every limb has a lower segment and a hand or foot. The
// figure faces -x, its knees bend forward and its elbows back; it stands on
// the plane z = 0.
class ExampleFigure {
public:
    // Where a pose is aimed, in world coordinates.
    struct Aim {
        GLfloat turn = 0;      // the whole figure's azimuth in degrees
        GLfloat sight[3] = {}; // the head looks at this point
        int arm = 0;           // which arm (0 on the +y side, 1 on -y) reaches
        GLfloat wrist[3] = {}; // for this point
        int leg = 0;           // which leg steps
        GLfloat ankle[3] = {}; // to this point
    };

    // The rest pose, with every model taken from the database, which must
    // outlive the figure.
    explicit ExampleFigure(RVDatabase& database);

    // Turns the figure, aims head, arm and leg, and lays both feet flat.
    ExampleFigure& aim(const Aim& aim);

    // Blends every joint toward the same joint of another example figure.
    ExampleFigure& blendToward(const ExampleFigure& pose, float fraction);

    ExampleFigure& draw();

private:
    std::shared_ptr<RVFigure> root_;
    std::shared_ptr<RVFigure> torso_;
    std::shared_ptr<RVFigure> head_;
    std::shared_ptr<RVFigure> arms_[2];
    std::shared_ptr<RVFigure> legs_[2];
};
