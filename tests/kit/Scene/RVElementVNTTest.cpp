#include "TolvaneKit/Scene/RVElementVNT.h"
#include "TolvaneKit/Resources/RVDatabase.h"
#include "TolvaneKit/Resources/RVTexture.h"
#include "TolvaneKit/Scene/RVModelVNT.h"

#include "kit/GLMatrix.h"
#include "support/OffscreenGLTest.h"
#include "support/ResourceFolder.h"

#include <climits>
#include <filesystem>
#include <limits>
#include <memory>

using namespace KitTest;

namespace {

class RVElementVNTTest : public VexmiraTest::OffscreenGLTest {
protected:
    void SetUp() override {
        OffscreenGLTest::SetUp();
        RVModelVNT::configureOpenGLForDrawing();
    }

    // The fuzzer's seed triangle (0, 0, 0), (1, 0, 0), (0, 1, 0), counter-clockwise seen from +z.
    void writeTriangleModel(int key) {
        std::filesystem::copy_file(VEXMIRA_TEST_SOURCE_DIR
                                   "/fuzz/corpus/model-file/triangle.rvmvnt",
                                   folder.file("RVModelVNT/" + std::to_string(key) + ".rvmvnt"));
    }

    std::vector<VexmiraTest::FeedbackPrimitive> trianglesOf(RVElementVNT& element) {
        auto primitives = captureFeedback([&] { element.draw(); });
        std::erase_if(primitives, [](const auto& p) { return p.kind != p.Polygon; });
        return primitives;
    }

    int held(int key) { return database.referenceCountForKey(key); }

    VexmiraTest::ResourceFolder folder{"RVModelVNT", "RVTexture"};
    RVDatabase database; // declared after the folder, so it goes first
};

} // namespace

TEST_F(RVElementVNTTest, NegativeKeysMirrorResourcesAreHeldOnceAndTheMatrixStaysWhateverTheScalar) {
    writeTriangleModel(3);
    auto right = std::make_unique<RVElementVNT>(), left = std::make_unique<RVElementVNT>();
    right->setModelKey(3).retainModelFromDatabase(database);
    left->setModelKey(-3).retainModelFromDatabase(database);
    ASSERT_NE(right->model(), nullptr);
    EXPECT_EQ(left->model(), right->model());
    EXPECT_EQ(std::pair(held(3), held(-3)), std::pair(2, 0));
    glFrontFace(GL_CCW);
    const float expected[3][2] = {{0, 0}, {2, 0}, {0, 2}}; // x and y at scale 2, z 0
    for (auto [element, mirror] : {std::pair{right.get(), 1.0f}, {left.get(), -1.0f}}) {
        const auto triangles = trianglesOf(element->setScalar(2));
        ASSERT_EQ(triangles.size(), 1u);
        const auto& v = triangles[0].vertices;
        for (int k = 0; k < 3; ++k)
            EXPECT_ENTRIES_NEAR(3, (std::array{v[k].x, v[k].y, v[k].z}),
                                (std::array{expected[k][0], mirror * expected[k][1], 0.0f}), 1e-4);
        EXPECT_EQ(glInteger(GL_FRONT_FACE), GL_CCW) << "the front-face setting stays";
    }
    right.reset(); // leaves the model loaded for the other
    EXPECT_EQ(held(3), 1);
    ASSERT_EQ(trianglesOf(*left).size(), 1u);
    left.reset(); // the last use: nothing is held at the end

    // Fetching holds one use of each resource and gives them back.
    std::filesystem::copy_file(std::string(VEXMIRA_TEST_SOURCE_DIR) + "/resources/RVTexture/1.tiff",
                               folder.file("RVTexture/7.tiff"));
    writeTriangleModel(4);
    {
        RVElementVNT element;
        element.setModelKey(3).retainModelFromDatabase(database).retainModelFromDatabase(database);
        element.setTextureKey(7).retainTextureFromDatabase(database);
        EXPECT_EQ(held(3), 1);
        ASSERT_NE(element.texture(), nullptr);
        glBindTexture(GL_TEXTURE_2D, 0);
        element.draw();
        EXPECT_NE(element.texture()->textureName(), 0u);
        EXPECT_EQ(GLuint(glInteger(GL_TEXTURE_BINDING_2D)), element.texture()->textureName());
        element.setModelKey(4);
        EXPECT_EQ(held(3), 1); // a key alone fetches nothing
        element.retainModelFromDatabase(database);
        EXPECT_EQ(std::pair(held(3), held(4)), std::pair(0, 1));
        // The lowest int has no positive counterpart: no model, the old one given back.
        element.setModelKey(INT_MIN).retainModelFromDatabase(database);
        EXPECT_EQ(element.model(), nullptr);
        EXPECT_EQ(std::pair(held(4), held(7)), std::pair(0, 1));
    }
    EXPECT_EQ(database.tree(), nullptr); // every resource given back

    glRotatef(30, 1, 2, 3);
    glTranslatef(1, 2, 3);
    const Matrix before = glMatrix(GL_MODELVIEW_MATRIX);
    RVElementVNT empty; // no model: draws nothing, in opaque white
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    empty.draw();
    EXPECT_MATRIX_NEAR(glMatrix(GL_MODELVIEW_MATRIX), before, 1e-6);
    EXPECT_EQ(currentColor(), std::vector<float>(4, 1.0f));
    EXPECT_TRUE(trianglesOf(empty).empty());
    // A scalar that cannot be undone skips the scale and the model.
    RVElementVNT element;
    element.setModelKey(-3).retainModelFromDatabase(database);
    for (float scalar : {0.0f, -0.0f, 1e-42f, std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::quiet_NaN(), -0.5f, 1e30f}) {
        SCOPED_TRACE(scalar);
        const bool usable = std::isnormal(scalar);
        element.setScalar(scalar).setColor(0, 0.5f).draw();
        EXPECT_MATRIX_NEAR(glMatrix(GL_MODELVIEW_MATRIX), before, usable ? 1e-6 : 0);
        EXPECT_FLOAT_EQ(currentColor()[0], 0.5f);
        if (!usable || scalar == -0.5f) {
            EXPECT_EQ(trianglesOf(element).size(), usable ? 1u : 0u);
        }
    }
    expectNoGLError();
}
