#include "TolvaneKit/Scene/RVFigure.h"

#include "TolvaneKit/Camera/RVUtilities.h"

#include <cmath>
#include <memory>

namespace {

constexpr double degreesPerRadian = 57.29577951308232;
constexpr double pi = 3.141592653589793;

RVFigure* asFigure(const std::shared_ptr<RVTree>& node) {
    return dynamic_cast<RVFigure*>(node.get());
}

bool isFinite(const GLfloat v[3]) {
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

// Distance, azimuth and elevation of the offset from one point to another.
struct Direction {
    GLfloat distance = 0;
    GLfloat azimuth = 0;
    GLfloat elevation = 0;
};

Direction directionFrom(const GLfloat from[3], const GLfloat to[3]) {
    Direction d;
    RVGetSphericalCoordinates(to[0] - from[0], to[1] - from[1], to[2] - from[2], &d.distance,
                              &d.azimuth, &d.elevation);
    return d;
}

// The three placements of a two-segment limb.
struct Limb {
    RVTransformation* upper = nullptr;
    RVTransformation* lower = nullptr;
    RVTransformation* end = nullptr;
    explicit operator bool() const { return upper && lower && end; }
};

Limb limbOf(const RVFigure& limb) {
    Limb parts;
    const RVFigure* lower = limb.childAt(1);
    const RVFigure* end = lower ? lower->childAt(1) : nullptr;
    if (lower && end) {
        parts.upper = limb.transformation().get();
        parts.lower = lower->transformation().get();
        parts.end = end->transformation().get();
    }
    return parts;
}

} // namespace

RVFigure::RVFigure(std::shared_ptr<RVTransformation> transformation)
    : transformation_(std::move(transformation)) {}

RVFigure::~RVFigure() = default;

RVFigure& RVFigure::setTransformation(std::shared_ptr<RVTransformation> transformation) {
    // The argument holds its own reference, so passing the current
    // transformation again keeps it alive through the assignment.
    transformation_ = std::move(transformation);
    return *this;
}

RVFigure* RVFigure::childAt(int position) const {
    auto child = firstChild();
    for (int k = 1; child && k < position; ++k)
        child = child->nextSibling();
    return position >= 1 ? asFigure(child) : nullptr;
}

RVTransformation* RVFigure::placedChild(int position) const {
    const RVFigure* child = childAt(position);
    return child ? child->transformation_.get() : nullptr;
}

RVFigure& RVFigure::draw() {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    if (transformation_) {
        transformation_->apply();
        transformation_->draw();
    }
    for (auto child = firstChild(); child; child = child->nextSibling()) {
        if (RVFigure* figure = asFigure(child))
            figure->draw();
    }
    glPopMatrix();
    return *this;
}

RVFigure& RVFigure::interpolateToward(const RVFigure& pose, float fraction) {
    if (transformation_ && pose.transformation_)
        transformation_->interpolateToward(*pose.transformation_, fraction);
    auto mine = firstChild();
    auto theirs = pose.firstChild();
    for (; mine && theirs; mine = mine->nextSibling(), theirs = theirs->nextSibling()) {
        RVFigure* part = asFigure(mine);
        const RVFigure* target = asFigure(theirs);
        if (part && target)
            part->interpolateToward(*target, fraction);
    }
    return *this;
}

RVFigure& RVFigure::pointHeadToward(const GLfloat sight[3]) {
    const RVFigure* torso = childAt(3);
    RVTransformation* head = torso ? torso->placedChild(3) : nullptr;
    if (!transformation_ || !torso || !torso->transformation_ || !head || !isFinite(sight))
        return *this;
    GLfloat inRoot[3], inTorso[3], neck[3];
    transformation_->applyInverseTo(sight, inRoot);
    torso->transformation_->applyInverseTo(inRoot, inTorso);
    head->getLocation(neck);
    const Direction look = directionFrom(neck, inTorso);
    head->setElevation(look.elevation - 90).setAzimuth(look.azimuth);
    return *this;
}

RVFigure& RVFigure::pointLimb(RVFigure& limb, GLfloat distance, GLfloat azimuth,
                              GLfloat elevation) {
    const Limb parts = limbOf(limb);
    if (!parts || !std::isfinite(distance) || !std::isfinite(azimuth) || !std::isfinite(elevation))
        return *this;
    const GLfloat d = distance;
    const GLfloat u = parts.lower->location(2);
    const GLfloat l = parts.end->location(2);
    if (d == 0 || u == 0 || l == 0)
        return *this;
    // The angle at the joint between the target line and the upper segment,
    // by the law of cosines.
    const GLfloat cosineAtJoint = (d * d + u * u - l * l) / (2 * d * u);
    const double alpha = RVArcCos(cosineAtJoint);
    parts.upper->setAzimuth(azimuth).setElevation(
        static_cast<GLfloat>(elevation + alpha * degreesPerRadian));
    // The bend at the middle joint, by the law of sines; the sine cannot
    // tell an obtuse interior angle from an acute one, the lengths can.
    const GLfloat reachOverLower = d / l;
    double beta = RVArcSin(reachOverLower * std::sin(alpha));
    if (d * d < u * u + l * l)
        beta = pi - beta;
    parts.lower->setElevation(static_cast<GLfloat>(-beta * degreesPerRadian));
    return *this;
}

RVFigure& RVFigure::pointArm(RVFigure& arm, const GLfloat wrist[3]) {
    const RVFigure* torso = childAt(3);
    if (!transformation_ || !torso || !torso->transformation_ || !arm.transformation_ ||
        !isFinite(wrist))
        return *this;
    GLfloat inRoot[3], inTorso[3], shoulder[3];
    transformation_->applyInverseTo(wrist, inRoot);
    torso->transformation_->applyInverseTo(inRoot, inTorso);
    arm.transformation_->getLocation(shoulder);
    Direction reach = directionFrom(shoulder, inTorso);
    if (reach.azimuth < 90 || reach.azimuth > 270) {
        reach.elevation = 360 - reach.elevation;
        reach.azimuth = reach.azimuth + 180;
    }
    return pointLimb(arm, reach.distance, reach.azimuth, reach.elevation);
}

RVFigure& RVFigure::pointLeg(RVFigure& leg, const GLfloat ankle[3]) {
    if (!transformation_ || !leg.transformation_ || !isFinite(ankle))
        return *this;
    GLfloat inRoot[3], hip[3];
    transformation_->applyInverseTo(ankle, inRoot);
    leg.transformation_->getLocation(hip);
    Direction reach = directionFrom(hip, inRoot);
    if (reach.azimuth > 90 && reach.azimuth < 270) {
        reach.elevation = 360 - reach.elevation;
        reach.azimuth = reach.azimuth + 180;
    }
    return pointLimb(leg, reach.distance, reach.azimuth, reach.elevation);
}

RVFigure& RVFigure::flattenFootOfLeg(RVFigure& leg, const GLfloat normal[3]) {
    const Limb parts = limbOf(leg);
    if (!transformation_ || !parts || !isFinite(normal))
        return *this;
    GLfloat inRoot[3], inLeg[3], inShin[3];
    transformation_->applyInverseRotationTo(normal, inRoot);
    parts.upper->applyInverseRotationTo(inRoot, inLeg);
    parts.lower->applyInverseRotationTo(inLeg, inShin);
    const GLfloat length = RVNormalizeVector(inShin, inShin);
    if (length == 0 || !std::isfinite(length))
        return *this;
    RVTransformation& foot = *parts.end;
    const double twist = RVArcSin(inShin[1]);
    foot.setTwist(static_cast<GLfloat>(twist * degreesPerRadian));
    const double cosineOfTwist = std::cos(twist);
    if (cosineOfTwist != 0) {
        double elevation = RVArcCos(inShin[0] / cosineOfTwist);
        if (inShin[2] > 0)
            elevation = -elevation;
        foot.setElevation(static_cast<GLfloat>(elevation * degreesPerRadian));
    }
    return *this;
}
