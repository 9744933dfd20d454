#include "TolvaneKit/Scene/RVFigure.h"

#include "Platform/image/PngReader.h"
#include "kit/GLMatrix.h"
#include "support/ProgramRun.h"

#include <gmock/gmock.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace {

const float notANumber = std::numeric_limits<float>::quiet_NaN();
using Point = std::array<GLfloat, 3>;
using Figure = std::shared_ptr<RVFigure>;

Figure node(float x = 0, float y = 0, float z = 0, float elevation = 0) {
    auto t = std::make_shared<RVTransformation>();
    t->setLocation(std::array{x, y, z}.data()).setElevation(elevation);
    return std::make_shared<RVFigure>(t);
}

// A joint at (x, y, z), its lower segment `upper` along +z, the end `lower` further on.
Figure limb(float x, float y, float z, float upper, float lower) {
    auto top = node(x, y, z), middle = node(0, 0, upper);
    middle->attachChild(node(0, 0, lower));
    top->attachChild(middle);
    return top;
}

// The placement of the node `depth` first children below `figure`.
RVTransformation& part(const Figure& figure, int depth = 0) {
    const RVFigure* f = figure.get();
    for (; depth > 0; --depth)
        f = f->childAt(1);
    return *f->transformation();
}

Point locationOf(const RVTransformation& t) {
    return {t.location(0), t.location(1), t.location(2)};
}

// A point (or, rotating only, a direction) carried out through `frames`, innermost first.
Point outward(Point p, std::initializer_list<const RVTransformation*> frames,
              bool rotateOnly = false) {
    for (const RVTransformation* t : frames) {
        GLfloat q[3];
        rotateOnly ? t->applyRotationTo(p.data(), q) : t->applyTo(p.data(), q);
        p = {q[0], q[1], q[2]};
    }
    return p;
}

// As aiming expects: legs, legs, torso; the torso carries two arms and, third, the head.
struct Body {
    Figure root = node(), leftLeg = limb(0.2f, 0, -0.1f, 1, 1),
           rightLeg = limb(-0.2f, 0, -0.1f, 1, 1), torso = node(0, 0, 1),
           leftArm = limb(0, 0.3f, 0.8f, 0.5f, 0.5f), rightArm = limb(0, -0.3f, 0.8f, 0.5f, 0.5f),
           head = node(0, 0, 1.1f);
    Body() {
        root->attachChild(leftLeg).attachChild(rightLeg).attachChild(torso);
        torso->attachChild(leftArm).attachChild(rightArm).attachChild(head);
    }
};

bool unturned(const RVFigure& figure) {
    const auto t = figure.transformation();
    if (t && (t->azimuth() != 0 || t->elevation() != 0 || t->twist() != 0))
        return false;
    for (auto child = figure.firstChild<RVFigure>(); child; child = child->nextSibling<RVFigure>())
        if (!unturned(*child))
            return false;
    return true;
}

} // namespace

TEST(RVFigureLimb, BendsByTheLawsOfCosinesAndSinesOrChangesNothing) {
    // Right angle, equilateral, beyond and at full reach, then cases that change nothing.
    const float bent = float(40 + std::acos(0.6) * 180 / M_PI);
    const struct {
        float upper, lower, distance, azimuth, elevation, elbow; // the last three expected
    } cases[] = {
        {3, 4, 5, 30, bent, -90},    {1, 1, 1, 30, 100, -120}, {1, 1, 3, 30, 40, 0},
        {1, 1, 2, 30, 40, 0},        {0, 1, 1.5f, 0, 7, 0},    {1, 1, 0, 0, 7, 0},
        {1, 1, notANumber, 0, 7, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.upper << " " << c.lower << " " << c.distance);
        auto arm = limb(0, 0, 0, c.upper, c.lower);
        part(arm).setElevation(7);
        RVFigure().pointLimb(*arm, c.distance, 30, 40);
        EXPECT_FLOAT_EQ(part(arm).azimuth(), c.azimuth);
        EXPECT_NEAR(part(arm).elevation(), c.elevation, 1e-4);
        // Near a right angle the arc sine magnifies single-precision rounding.
        EXPECT_NEAR(part(arm, 1).elevation(), c.elbow, 0.02);
    }
}

// Points are given in the root's parent's frame, the angles expected in each part's own.
TEST(RVFigureAiming, LimbsHeadAndFootAimThroughTheirFramesAndMissingPartsChangeNothing) {
    Body body;
    part(body.root).setLocation(1, 1).setAzimuth(40).setElevation(5);
    part(body.torso).setElevation(-15);
    const struct {
        Figure limb;
        Point offset;
        float azimuth, elevation; // NaN: only check that the end reaches the point
    } cases[] = {{body.leftArm, {3, 0, 0}, 180, 270},
                 {body.leftArm, {-3, 0, 0}, 180, 90},
                 {body.leftLeg, {0, 0, -5}, 0, 180},
                 {body.leftLeg, {-5, 0, 0}, 360, 270},
                 {body.rightArm, {0.3f, 0.4f, -0.5f}, notANumber, notANumber},
                 {body.rightLeg, {0.6f, -0.2f, -1.2f}, notANumber, notANumber}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.offset[0] << " " << c.offset[1] << " " << c.offset[2]);
        const bool arm = c.limb == body.leftArm || c.limb == body.rightArm;
        Point inParent = locationOf(part(c.limb));
        for (int i = 0; i < 3; ++i)
            inParent[i] += c.offset[i];
        const Point point = arm ? outward(inParent, {&part(body.torso), &part(body.root)})
                                : outward(inParent, {&part(body.root)});
        arm ? body.root->pointArm(*c.limb, point.data())
            : body.root->pointLeg(*c.limb, point.data());
        if (std::isnan(c.azimuth)) {
            EXPECT_ENTRIES_NEAR(
                3, outward(locationOf(part(c.limb, 2)), {&part(c.limb, 1), &part(c.limb)}),
                inParent, 1e-4);
        } else { // azimuths come from an arc cosine near 1, which magnifies rounding
            EXPECT_NEAR(part(c.limb).azimuth(), c.azimuth, 0.05);
            EXPECT_NEAR(part(c.limb).elevation(), c.elevation, 1e-3);
        }
    }

    const Point neck = locationOf(part(body.head));
    for (Point offset : {Point{-1, 2, 0.5f}, Point{4, 0, 0}}) { // the last straight ahead
        part(body.head).setAzimuth(99).setElevation(99);
        const Point sight = {neck[0] + offset[0], neck[1] + offset[1], neck[2] + offset[2]};
        body.root->pointHeadToward(outward(sight, {&part(body.torso), &part(body.root)}).data());
        // The head's +x axis ends up on the line of sight, untwisted.
        const Point facing = outward({1, 0, 0}, {&part(body.head)}, true);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(facing[i], offset[i] / std::hypot(offset[0], offset[1], offset[2]), 1e-5);
        EXPECT_EQ(part(body.head).twist(), 0.0f);
    }

    // The foot's +x axis, carried out through every frame, lies along the normal.
    const GLfloat normal[3] = {0.2f, -0.1f, 2.0f};
    const Point hip = locationOf(part(body.leftLeg));
    const Point ankle = outward({hip[0] + 0.4f, hip[1] + 0.3f, hip[2] - 1.5f}, {&part(body.root)});
    body.root->pointLeg(*body.leftLeg, ankle.data()).flattenFootOfLeg(*body.leftLeg, normal);
    EXPECT_EQ(part(body.leftLeg, 2).azimuth(), 0.0f);
    const Point axis = outward(
        {1, 0, 0},
        {&part(body.leftLeg, 2), &part(body.leftLeg, 1), &part(body.leftLeg), &part(body.root)},
        true);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(axis[i], normal[i] / std::sqrt(0.04 + 0.01 + 4.0), 1e-4);

    const GLfloat point[3] = {1, 2, -1}, zero[3] = {0, 0, 0}, nan[3] = {0, notANumber, 0};
    auto root = node(), arm = limb(0, 0, 0, 1, 1), shortLeg = node(), noEnd = node();
    root->attachChild(limb(0, 0, 0, 1, 1));
    root->attachChild(node()); // no torso, so no head and no arms
    root->pointHeadToward(point).pointArm(*arm, point);
    Body broken; // a torso without a third child, then a head without a transformation
    broken.torso->detachChild(broken.head);
    broken.root->pointHeadToward(point);
    broken.torso->attachChild(std::make_shared<RVFigure>());
    broken.root->pointHeadToward(point);
    // A leg without its foot, a normal of length 0, points not finite.
    shortLeg->attachChild(node(0, 0, 1));
    broken.root->pointLeg(*shortLeg, point).flattenFootOfLeg(*shortLeg, point);
    broken.root->flattenFootOfLeg(*broken.leftLeg, zero).flattenFootOfLeg(*broken.leftLeg, nan);
    broken.root->pointLeg(*broken.leftLeg, nan).pointArm(*broken.leftArm, nan);
    // No frame to aim in at a bare root; limbs without an end or a placement.
    RVFigure bare;
    auto looseLeg = limb(0, 0, 0, 1, 1), bareLimb = std::make_shared<RVFigure>();
    bare.attachChild(looseLeg);
    noEnd->attachChild(node(0, 0, 1));
    bareLimb->attachChild(limb(0, 0, 0, 1, 1));
    bare.pointLeg(*looseLeg, point).pointLimb(*noEnd, 1.5f, 10, 20).pointLimb(*bareLimb, 1, 1, 1);
    for (const auto& figure : {root, arm, broken.root, shortLeg, looseLeg, noEnd, bareLimb})
        EXPECT_TRUE(unturned(*figure));
}

TEST(RVFigurePose, BlendsOnlyThePairsOfChildrenThatExist) {
    auto figure = node(), pose = node(2, 0, 0), grandchild = node(0, 0, 4);
    const std::vector<Figure> mine = {node(0, 0, 0, 100), node(0, 0, 0, 100), node(0, 0, 0, 100)},
                              theirs = {node(0, 0, 0, 200), node(0, 0, 0, 220)};
    figure->attachChild(mine[0]).attachChild(mine[1]).attachChild(mine[2]);
    pose->attachChild(theirs[0]).attachChild(theirs[1]);
    theirs[1]->attachChild(grandchild);     // a surplus grandchild of the pose
    figure->interpolateToward(*pose, 0.5f); // angles blend as the transformation's own test says
    EXPECT_THAT((std::array{part(figure).location(0), part(mine[0]).elevation(),
                            part(mine[1]).elevation(), part(mine[2]).elevation()}),
                testing::Pointwise(testing::FloatEq(), {1.0f, 150.0f, 160.0f, 100.0f}))
        << "the third child has no partner: untouched";
    EXPECT_EQ(mine[1]->firstChild(), nullptr);
    pose->interpolateToward(*figure, 1); // the other way round the pose's surplus is ignored
    EXPECT_FLOAT_EQ(part(theirs[0]).elevation(), 150.0f);
    EXPECT_FLOAT_EQ(part(grandchild).location(2), 4.0f);
}

TEST(FigureExample, RendersTheFigureInFramesThatChangeBetweenPoses) {
    VexmiraTest::TemporaryFolder folder;
    const auto run = VexmiraTest::runProgram(VexmiraTest::quoted(VEXMIRA_FIGURE_EXAMPLE) + " " +
                                             VexmiraTest::quoted(folder.file("frames")));
    ASSERT_EQ(run.status, 0) << run.standardOutput << run.standardError;
    std::vector<std::uint8_t> previous;
    for (int frame = 0; frame < 4; ++frame) {
        std::string error;
        const auto image = Platform::readPngFile(
            folder.file("frames/figure-" + std::to_string(frame) + ".png"), &error);
        ASSERT_TRUE(image) << frame << ": " << error;
        if (frame > 0) { // drawn off screen, a frame differs from the one before only by the pose
            EXPECT_NE(image->rgba, previous) << frame;
        }
        previous = image->rgba;
    }
}
