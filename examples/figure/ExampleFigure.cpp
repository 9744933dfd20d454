#include "ExampleFigure.h"

#include "ExampleModels.h"

#include "TolvaneKit/Resources/RVDatabase.h"
#include "TolvaneKit/Scene/RVElementVNT.h"

namespace {

struct Colour {
    GLfloat rgba[4];
};
constexpr Colour skin{{0.93f, 0.74f, 0.6f, 1}};
constexpr Colour shirt{{0.2f, 0.42f, 0.82f, 1}};
constexpr Colour trousers{{0.28f, 0.28f, 0.34f, 1}};
constexpr Colour shoes{{0.4f, 0.22f, 0.1f, 1}};
constexpr Colour nose{{0.86f, 0.34f, 0.3f, 1}};
constexpr Colour eyes{{0.08f, 0.08f, 0.1f, 1}};

constexpr GLfloat armLengths[2] = {0.28f, 0.26f}; // upper arm, forearm
constexpr GLfloat legLengths[2] = {0.45f, 0.45f}; // thigh, shin
constexpr GLfloat down = 180;                     // elevation of a limb hanging down

// One part: an element drawing a model at a scale and colour, placed at
// (x, y, z) in its parent's frame.
std::shared_ptr<RVFigure> part(RVDatabase& database, int modelKey, GLfloat scalar,
                               const Colour& colour, GLfloat x, GLfloat y, GLfloat z) {
    auto element = std::make_shared<RVElementVNT>();
    const GLfloat location[3] = {x, y, z};
    element->setLocation(location);
    element->setModelKey(modelKey).retainModelFromDatabase(database);
    element->setScalar(scalar).setColor(colour.rgba);
    return std::make_shared<RVFigure>(element);
}

// A limb hanging down from its joint: the upper segment, the lower one at
// the upper's length along +z, and the end at the lower's length.
std::shared_ptr<RVFigure> limb(RVDatabase& database, const GLfloat joint[3],
                               const GLfloat lengths[2], const Colour& upperColour,
                               const Colour& lowerColour, std::shared_ptr<RVFigure> end) {
    auto upper = part(database, ExampleModels::segment, lengths[0], upperColour, joint[0], joint[1],
                      joint[2]);
    upper->transformation()->setElevation(down);
    auto lower = part(database, ExampleModels::segment, lengths[1], lowerColour, 0, 0, lengths[0]);
    end->transformation()->setLocation(2, lengths[1]);
    lower->attachChild(end);
    upper->attachChild(lower);
    return upper;
}

std::shared_ptr<RVFigure> head(RVDatabase& database) {
    auto head = part(database, ExampleModels::ball, 0.2f, skin, 0, 0, 0.95f);
    // The head looks along its +x axis; at rest that is forward, -x.
    head->transformation()->setAzimuth(180);
    head->attachChild(part(database, ExampleModels::ball, 0.045f, nose, 0.2f, 0, -0.02f));
    head->attachChild(part(database, ExampleModels::ball, 0.035f, eyes, 0.16f, 0.08f, 0.07f));
    head->attachChild(part(database, ExampleModels::ball, 0.035f, eyes, 0.16f, -0.08f, 0.07f));
    return head;
}

} // namespace

ExampleFigure::ExampleFigure(RVDatabase& database) {
    root_ = part(database, ExampleModels::ball, 0.16f, trousers, 0, 0, 1.0f);
    for (int side = 0; side < 2; ++side) {
        const GLfloat sign = side == 0 ? 1.0f : -1.0f;
        // The right foot is the left one mirrored, through a negative key.
        auto foot = part(database, static_cast<int>(sign) * ExampleModels::foot, 1, shoes, 0, 0, 0);
        // With the leg hanging down, elevation 90 turns the sole's +x up.
        foot->transformation()->setElevation(90);
        const GLfloat hip[3] = {0, sign * 0.11f, -0.02f};
        legs_[side] = limb(database, hip, legLengths, trousers, trousers, foot);
        root_->attachChild(legs_[side]);
    }
    torso_ = part(database, ExampleModels::torso, 1, shirt, 0, 0, 0.05f);
    root_->attachChild(torso_);
    for (int side = 0; side < 2; ++side) {
        const GLfloat sign = side == 0 ? 1.0f : -1.0f;
        const GLfloat shoulder[3] = {0, sign * 0.24f, 0.6f};
        auto hand = part(database, ExampleModels::ball, 0.065f, skin, 0, 0, 0);
        arms_[side] = limb(database, shoulder, armLengths, shirt, skin, hand);
        torso_->attachChild(arms_[side]);
    }
    head_ = head(database);
    torso_->attachChild(head_);
}

ExampleFigure& ExampleFigure::aim(const Aim& aim) {
    root_->transformation()->setAzimuth(aim.turn);
    root_->pointHeadToward(aim.sight);
    root_->pointArm(*arms_[aim.arm & 1], aim.wrist);
    root_->pointLeg(*legs_[aim.leg & 1], aim.ankle);
    const GLfloat ground[3] = {0, 0, 1};
    for (auto& leg : legs_)
        root_->flattenFootOfLeg(*leg, ground);
    return *this;
}

ExampleFigure& ExampleFigure::blendToward(const ExampleFigure& pose, float fraction) {
    root_->interpolateToward(*pose.root_, fraction);
    return *this;
}

ExampleFigure& ExampleFigure::draw() {
    root_->draw();
    return *this;
}
