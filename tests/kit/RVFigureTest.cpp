#include "TolvaneKit/RVFigure.h"
#include "support/OffscreenGLTest.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

using namespace VexmiraTest;

namespace {

constexpr double degrees = 180.0 / M_PI;

std::shared_ptr<RVFigure> node(float x = 0, float y = 0, float z = 0) {
    auto t = std::make_shared<RVTransformation>();
    const GLfloat location[3] = {x, y, z};
    t->setLocation(location);
    return std::make_shared<RVFigure>(t);
}

// An upper segment at the joint, its lower segment upper long along +z and
// the end lower long further on.
std::shared_ptr<RVFigure> limb(float x, float y, float z, float upper, float lower) {
    auto top = node(x, y, z);
    auto middle = node(0, 0, upper);
    middle->attachChild(node(0, 0, lower));
    top->attachChild(middle);
    return top;
}

// The shape the aiming operations expect: legs, legs, torso; the torso
// carries two arms and the head as its third child.
struct Body {
    std::shared_ptr<RVFigure> root = node();
    std::shared_ptr<RVFigure> leftLeg = limb(0.2f, 0, -0.1f, 1, 1);
    std::shared_ptr<RVFigure> rightLeg = limb(-0.2f, 0, -0.1f, 1, 1);
    std::shared_ptr<RVFigure> torso = node(0, 0, 1);
    std::shared_ptr<RVFigure> leftArm = limb(0, 0.3f, 0.8f, 0.5f, 0.5f);
    std::shared_ptr<RVFigure> rightArm = limb(0, -0.3f, 0.8f, 0.5f, 0.5f);
    std::shared_ptr<RVFigure> head = node(0, 0, 1.1f);

    Body() {
        root->attachChild(leftLeg);
        root->attachChild(rightLeg);
        root->attachChild(torso);
        torso->attachChild(leftArm);
        torso->attachChild(rightArm);
        torso->attachChild(head);
    }
};

RVTransformation& placement(const std::shared_ptr<RVFigure>& figure) {
    return *figure->transformation();
}
RVTransformation& lowerOf(const std::shared_ptr<RVFigure>& limb) {
    return *limb->childAt(1)->transformation();
}
RVTransformation& endOf(const std::shared_ptr<RVFigure>& limb) {
    return *limb->childAt(1)->childAt(1)->transformation();
}

// Every angle of a subtree, depth first, to compare before and after.
void collectAngles(const RVFigure& figure, std::vector<float>& angles) {
    if (auto t = figure.transformation()) {
        angles.insert(angles.end(), {t->azimuth(), t->elevation(), t->twist()});
    }
    for (auto child = figure.firstChild<RVFigure>(); child; child = child->nextSibling<RVFigure>())
        collectAngles(*child, angles);
}
std::vector<float> anglesOf(const RVFigure& figure) {
    std::vector<float> angles;
    collectAngles(figure, angles);
    return angles;
}

// Where the limb's end lies in the limb's parent frame.
void endPoint(const std::shared_ptr<RVFigure>& limb, GLfloat point[3]) {
    GLfloat end[3], inUpper[3];
    endOf(limb).getLocation(end);
    lowerOf(limb).applyTo(end, inUpper);
    placement(limb).applyTo(inUpper, point);
}

} // namespace

TEST(RVFigureLimb, BendsByTheLawsOfCosinesAndSines) {
    struct Case {
        float upper, lower, distance;
        double shoulder, elbow; // degrees added to the elevation, lower segment's elevation
    };
    const Case cases[] = {
        {3, 4, 5, std::acos(0.6) * degrees, -90}, // right angle at the elbow
        {1, 1, 1, 60, -120},                      // equilateral
        {1, 1, 3, 0, 0},                          // out of reach: straight at the target
        {1, 1, 2, 0, 0},                          // exactly at full reach
    };
    for (const Case& c : cases) {
        auto arm = limb(0, 0, 0, c.upper, c.lower);
        RVFigure root;
        root.pointLimb(*arm, c.distance, 30, 40);
        EXPECT_FLOAT_EQ(placement(arm).azimuth(), 30.0f) << c.distance;
        EXPECT_NEAR(placement(arm).elevation(), 40 + c.shoulder, 1e-4) << c.distance;
        // Near a right angle the arc sine magnifies single-precision rounding.
        EXPECT_NEAR(lowerOf(arm).elevation(), c.elbow, 0.02) << c.distance;
    }
}

TEST(RVFigureLimb, PutsTheEndOnAnyReachableTarget) {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> unit(0.2f, 1.0f), angle(0, 360), polar(0, 180);
    for (int k = 0; k < 200; ++k) {
        const float upper = unit(random) * 2, lower = unit(random) * 2;
        const float reach = std::fabs(upper - lower) + (upper + lower - std::fabs(upper - lower)) *
                                                           (0.05f + 0.9f * unit(random));
        const float azimuth = angle(random), elevation = polar(random);
        auto leg = limb(0.5f, -1, 2, upper, lower);
        RVFigure().pointLimb(*leg, reach, azimuth, elevation);
        GLfloat end[3];
        endPoint(leg, end);
        const double a = azimuth / degrees, e = elevation / degrees;
        const double target[3] = {0.5 + reach * std::sin(e) * std::cos(a),
                                  -1 + reach * std::sin(e) * std::sin(a), 2 + reach * std::cos(e)};
        for (int i = 0; i < 3; ++i)
            ASSERT_NEAR(end[i], target[i], 2e-3) << "case " << k;
    }
}

TEST(RVFigureLimb, ChangesNothingWithoutLengthsOrParts) {
    RVFigure root;
    auto zeroUpper = limb(0, 0, 0, 0, 1);
    auto zeroLower = limb(0, 0, 0, 1, 0);
    auto normal = limb(0, 0, 0, 1, 1);
    auto noEnd = node();
    noEnd->attachChild(node(0, 0, 1));
    auto bare = std::make_shared<RVFigure>(); // no transformation
    bare->attachChild(limb(0, 0, 0, 1, 1));
    for (auto* figure : {zeroUpper.get(), zeroLower.get(), normal.get(), noEnd.get(), bare.get()}) {
        if (auto t = figure->transformation())
            t->setElevation(7);
        const auto before = anglesOf(*figure);
        if (figure == normal.get()) {
            root.pointLimb(*figure, 0, 10, 20);
            root.pointLimb(*figure, std::numeric_limits<float>::quiet_NaN(), 10, 20);
            root.pointLimb(*figure, 1, std::numeric_limits<float>::infinity(), 20);
        } else {
            root.pointLimb(*figure, 1.5f, 10, 20);
        }
        EXPECT_EQ(anglesOf(*figure), before);
    }
}

TEST(RVFigureAiming, ArmsAimWithAzimuthsFacingBackAndLegsFacingForward) {
    Body body;
    // Root and torso are turned and moved, so the points pass through both
    // frames. Azimuths come from an arc cosine near 1, which magnifies
    // single-precision rounding to a few hundredths of a degree.
    const double azimuthTolerance = 0.05;
    placement(body.root).setLocation(0, 5).setAzimuth(90);
    placement(body.torso).setElevation(10);
    auto worldPoint = [&](const GLfloat inTorso[3], GLfloat out[3]) {
        GLfloat inRoot[3];
        placement(body.torso).applyTo(inTorso, inRoot);
        placement(body.root).applyTo(inRoot, out);
    };
    // Straight along +x from the shoulder, out of reach: azimuth 0 and
    // elevation 90 become 180 and 270.
    GLfloat wrist[3], shoulder[3];
    placement(body.leftArm).getLocation(shoulder);
    const GLfloat ahead[3] = {shoulder[0] + 3, shoulder[1], shoulder[2]};
    worldPoint(ahead, wrist);
    body.root->pointArm(*body.leftArm, wrist);
    EXPECT_NEAR(placement(body.leftArm).azimuth(), 180, azimuthTolerance);
    EXPECT_NEAR(placement(body.leftArm).elevation(), 270, 1e-3);
    EXPECT_NEAR(lowerOf(body.leftArm).elevation(), 0, 1e-3);
    // Straight along -x needs no flip.
    const GLfloat behind[3] = {shoulder[0] - 3, shoulder[1], shoulder[2]};
    worldPoint(behind, wrist);
    body.root->pointArm(*body.leftArm, wrist);
    EXPECT_NEAR(placement(body.leftArm).azimuth(), 180, azimuthTolerance);
    EXPECT_NEAR(placement(body.leftArm).elevation(), 90, 1e-3);

    // Straight below the hip: azimuth 0, elevation 180, unflipped.
    GLfloat hip[3], ankle[3];
    placement(body.leftLeg).getLocation(hip);
    const GLfloat below[3] = {hip[0], hip[1], hip[2] - 5};
    placement(body.root).applyTo(below, ankle);
    body.root->pointLeg(*body.leftLeg, ankle);
    EXPECT_NEAR(placement(body.leftLeg).azimuth(), 0, azimuthTolerance);
    EXPECT_NEAR(placement(body.leftLeg).elevation(), 180, 1e-3);
    // Toward -x: azimuth 180 and elevation 90 become 360 and 270.
    const GLfloat back[3] = {hip[0] - 5, hip[1], hip[2]};
    placement(body.root).applyTo(back, ankle);
    body.root->pointLeg(*body.leftLeg, ankle);
    EXPECT_NEAR(placement(body.leftLeg).azimuth(), 360, azimuthTolerance);
    EXPECT_NEAR(placement(body.leftLeg).elevation(), 270, 1e-3);
}

TEST(RVFigureAiming, ReachesTheWristAndAnklePointsItIsGiven) {
    Body body;
    placement(body.root).setLocation(0, -2).setAzimuth(-35);
    placement(body.torso).setTwist(20);
    GLfloat shoulderInTorso[3], offset[3] = {0.3f, 0.4f, -0.5f}, wrist[3], inRoot[3];
    placement(body.rightArm).getLocation(shoulderInTorso);
    for (int i = 0; i < 3; ++i)
        offset[i] += shoulderInTorso[i];
    placement(body.torso).applyTo(offset, inRoot);
    placement(body.root).applyTo(inRoot, wrist);
    body.root->pointArm(*body.rightArm, wrist);
    GLfloat end[3];
    endPoint(body.rightArm, end);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(end[i], offset[i], 1e-4);

    GLfloat hip[3], ankle[3];
    placement(body.rightLeg).getLocation(hip);
    const GLfloat target[3] = {hip[0] + 0.6f, hip[1] - 0.2f, hip[2] - 1.2f};
    placement(body.root).applyTo(target, ankle);
    body.root->pointLeg(*body.rightLeg, ankle);
    endPoint(body.rightLeg, end);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(end[i], target[i], 1e-4);
}

TEST(RVFigureAiming, TurnsTheHeadToFaceThePoint) {
    Body body;
    placement(body.root).setLocation(1, 1).setAzimuth(40);
    placement(body.torso).setElevation(-15);
    GLfloat neck[3], inRoot[3], sight[3];
    placement(body.head).getLocation(neck);
    // Straight along the torso's +x axis from the head joint: elevation 0, azimuth 0.
    const GLfloat ahead[3] = {neck[0] + 4, neck[1], neck[2]};
    placement(body.torso).applyTo(ahead, inRoot);
    placement(body.root).applyTo(inRoot, sight);
    placement(body.head).setTwist(0).setAzimuth(99).setElevation(99);
    body.root->pointHeadToward(sight);
    EXPECT_NEAR(placement(body.head).elevation(), 0, 1e-3);
    EXPECT_NEAR(placement(body.head).azimuth(), 0, 1e-3);

    // Anywhere else, the head's +x axis ends up on the line of sight.
    const GLfloat elsewhere[3] = {neck[0] - 1, neck[1] + 2, neck[2] + 0.5f};
    placement(body.torso).applyTo(elsewhere, inRoot);
    placement(body.root).applyTo(inRoot, sight);
    body.root->pointHeadToward(sight);
    const GLfloat x[3] = {1, 0, 0};
    GLfloat facing[3];
    placement(body.head).applyRotationTo(x, facing);
    const double length = std::sqrt(1 + 4 + 0.25);
    EXPECT_NEAR(facing[0], -1 / length, 1e-5);
    EXPECT_NEAR(facing[1], 2 / length, 1e-5);
    EXPECT_NEAR(facing[2], 0.5 / length, 1e-5);
    EXPECT_EQ(placement(body.head).twist(), 0.0f);
}

TEST(RVFigureAiming, LaysTheFootFlatAgainstTheNormal) {
    Body body;
    placement(body.root).setAzimuth(25).setElevation(5);
    GLfloat hip[3], ankle[3];
    placement(body.leftLeg).getLocation(hip);
    const GLfloat target[3] = {hip[0] + 0.4f, hip[1] + 0.3f, hip[2] - 1.5f};
    placement(body.root).applyTo(target, ankle);
    body.root->pointLeg(*body.leftLeg, ankle);
    const GLfloat normal[3] = {0.2f, -0.1f, 2.0f};
    body.root->flattenFootOfLeg(*body.leftLeg, normal);
    EXPECT_EQ(endOf(body.leftLeg).azimuth(), 0.0f);
    // The foot's +x axis, carried out through every frame, lies along the normal.
    GLfloat axis[3] = {1, 0, 0}, next[3];
    endOf(body.leftLeg).applyRotationTo(axis, next);
    lowerOf(body.leftLeg).applyRotationTo(next, axis);
    placement(body.leftLeg).applyRotationTo(axis, next);
    placement(body.root).applyRotationTo(next, axis);
    const double length = std::sqrt(0.04 + 0.01 + 4.0);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(axis[i], normal[i] / length, 1e-4);
}

TEST(RVFigureAiming, AFigureMissingPartsIsLeftAlone) {
    // Only two children at the root: no torso, so no head and no arms.
    auto root = node();
    auto leg = limb(0, 0, 0, 1, 1);
    auto arm = limb(0, 0, 0, 1, 1);
    root->attachChild(leg);
    root->attachChild(node());
    const GLfloat point[3] = {1, 2, -1};
    const auto before = anglesOf(*root);
    const auto armBefore = anglesOf(*arm);
    root->pointHeadToward(point);
    root->pointArm(*arm, point);
    EXPECT_EQ(anglesOf(*root), before);
    EXPECT_EQ(anglesOf(*arm), armBefore);

    // A torso without a third child, and a head without a transformation.
    Body body;
    body.torso->detachChild(body.head);
    const auto bodyBefore = anglesOf(*body.root);
    body.root->pointHeadToward(point);
    body.torso->attachChild(std::make_shared<RVFigure>());
    body.root->pointHeadToward(point);
    EXPECT_EQ(anglesOf(*body.root), bodyBefore);

    // A leg without its foot, a normal of length 0, points not finite.
    auto shortLeg = node();
    shortLeg->attachChild(node(0, 0, 1));
    body.root->pointLeg(*shortLeg, point);
    body.root->flattenFootOfLeg(*shortLeg, point);
    const GLfloat zero[3] = {0, 0, 0};
    const GLfloat notANumber[3] = {0, std::numeric_limits<float>::quiet_NaN(), 0};
    body.root->flattenFootOfLeg(*body.leftLeg, zero);
    body.root->flattenFootOfLeg(*body.leftLeg, notANumber);
    body.root->pointLeg(*body.leftLeg, notANumber);
    body.root->pointArm(*body.leftArm, notANumber);
    EXPECT_EQ(anglesOf(*body.root), bodyBefore);
    EXPECT_EQ(anglesOf(*shortLeg), std::vector<float>(6, 0.0f));

    // A root without a transformation has no frame to aim in.
    RVFigure bare;
    auto looseLeg = limb(0, 0, 0, 1, 1);
    bare.attachChild(looseLeg);
    bare.pointLeg(*looseLeg, point);
    EXPECT_EQ(anglesOf(*looseLeg), std::vector<float>(9, 0.0f));
}

TEST(RVFigurePose, BlendsOnlyThePairsOfChildrenThatExist) {
    auto figure = node();
    auto pose = node(2, 0, 0);
    placement(figure).setAzimuth(350);
    placement(pose).setAzimuth(10);
    std::vector<std::shared_ptr<RVFigure>> mine, theirs;
    for (int k = 0; k < 3; ++k) {
        mine.push_back(node());
        placement(mine.back()).setElevation(100);
        figure->attachChild(mine.back());
    }
    for (int k = 0; k < 2; ++k) {
        theirs.push_back(node());
        placement(theirs.back()).setElevation(200 + 20 * k);
        pose->attachChild(theirs.back());
    }
    auto grandchild = node(0, 0, 4);
    theirs[1]->attachChild(grandchild); // a surplus grandchild of the pose

    figure->interpolateToward(*pose, 0.5f);
    EXPECT_FLOAT_EQ(placement(figure).location(0), 1.0f);
    EXPECT_NEAR(placement(figure).azimuth(), 0, 1e-4);
    EXPECT_FLOAT_EQ(placement(mine[0]).elevation(), 150.0f);
    EXPECT_FLOAT_EQ(placement(mine[1]).elevation(), 160.0f);
    EXPECT_FLOAT_EQ(placement(mine[2]).elevation(), 100.0f); // no partner: untouched
    EXPECT_EQ(mine[1]->firstChild(), nullptr);

    // The other way round, the pose's surplus is ignored and the pose itself untouched.
    const auto poseBefore = anglesOf(*pose);
    pose->interpolateToward(*figure, 1);
    EXPECT_FLOAT_EQ(placement(theirs[0]).elevation(), 150.0f);
    EXPECT_FLOAT_EQ(placement(grandchild).location(2), 4.0f);
    EXPECT_NE(anglesOf(*pose), poseBefore);
    EXPECT_FLOAT_EQ(placement(mine[2]).elevation(), 100.0f);
}

class RVFigureGL : public OffscreenGLTest {};

TEST_F(RVFigureGL, DrawsEveryPartInItsParentsFrame) {
    auto root = node(1, 2, 3);
    placement(root).setAzimuth(90);
    auto holder = std::make_shared<RVFigure>(); // no transformation: only its children
    auto part = node(1, 0, 0);
    holder->attachChild(part);
    root->attachChild(holder);

    std::vector<float> before(16), after(16);
    auto primitives = captureFeedback([&] {
        glGetFloatv(GL_MODELVIEW_MATRIX, before.data());
        glMatrixMode(GL_PROJECTION); // draw selects the modelview itself
        root->draw();
        glGetFloatv(GL_MODELVIEW_MATRIX, after.data());
    });
    EXPECT_EQ(after, before);
    auto lines = polylines(primitives);
    ASSERT_EQ(lines.size(), 6u); // two axis markers
    // Each marker ends at its frame's origin: the root's at (1, 2, 3), the
    // part's one unit along the root's x axis, which azimuth 90 turns to +y.
    const float origins[2][3] = {{1, 2, 3}, {1, 3, 3}};
    for (int marker = 0; marker < 2; ++marker) {
        const FeedbackVertex& origin = lines[3 * marker].back();
        EXPECT_NEAR(origin.x, origins[marker][0], 1e-4);
        EXPECT_NEAR(origin.y, origins[marker][1], 1e-4);
        EXPECT_NEAR(origin.z, origins[marker][2], 1e-4);
    }
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    expectNoGLError();
}
