#include "TolvaneKit/RVElementVNT.h"
#include "TolvaneKit/RVDatabase.h"
#include "TolvaneKit/RVModelVNT.h"
#include "TolvaneKit/RVTexture.h"

#include "Platform/core/ResourceDirectory.h"
#include "support/OffscreenGLTest.h"
#include "support/TemporaryFolder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <tiffio.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>

using namespace VexmiraTest;

namespace {

// Elements drawing models and textures written into a resource folder of
// their own.
class RVElementVNTTest : public OffscreenGLTest {
protected:
    void SetUp() override {
        OffscreenGLTest::SetUp();
        std::filesystem::create_directories(folder.file("RVModelVNT"));
        std::filesystem::create_directories(folder.file("RVTexture"));
        Platform::setResourceDirectory(folder.file(""));
        RVModelVNT::configureOpenGLForDrawing();
    }
    void TearDown() override {
        Platform::setResourceDirectory("");
        OffscreenGLTest::TearDown();
    }

    // One triangle, counter-clockwise seen from +z, shifted off the x axis so
    // that a mirror in y shows.
    void writeTriangleModel(int key, float size = 1) {
        RVModelVNT model;
        ASSERT_TRUE(model.setNumberOfVertices(3));
        ASSERT_TRUE(model.setNumberOfTriangles(1));
        const GLfloat positions[9] = {0, 1, 0, size, 1, 0, 0, 1 + size, 0.5f};
        for (int i = 0; i < 9; ++i) {
            model.vertices()[i] = positions[i];
            model.normals()[i] = i % 3 == 2 ? 1.0f : 0.0f;
        }
        for (int i = 0; i < 6; ++i)
            model.textureCoordinates()[i] = 0;
        for (int i = 0; i < 3; ++i)
            model.triangles()[i] = static_cast<std::uint16_t>(i);
        ASSERT_TRUE(
            model.storeToFile(folder.file("RVModelVNT/" + std::to_string(key) + ".rvmvnt")));
    }

    // A 2 x 2 RGBA image, so the texture is a real OpenGL texture object.
    void writeTexture(int key) {
        const std::string path = folder.file("RVTexture/" + std::to_string(key) + ".tiff");
        TIFF* tiff = TIFFOpen(path.c_str(), "w");
        ASSERT_NE(tiff, nullptr);
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 2);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 2);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 4);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        const std::uint16_t extra[1] = {EXTRASAMPLE_ASSOCALPHA};
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 2);
        std::uint8_t pixels[16];
        for (auto& byte : pixels)
            byte = 200;
        EXPECT_GE(TIFFWriteEncodedStrip(tiff, 0, pixels, sizeof pixels), 0);
        TIFFClose(tiff);
    }

    static std::vector<float> modelview() {
        std::vector<float> m(16);
        glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
        return m;
    }

    static void expectMatrixNear(const std::vector<float>& actual,
                                 const std::vector<float>& expected) {
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(actual[i], expected[i], 1e-6) << "entry " << i;
    }

    // The triangles an element draws, in object coordinates of the frame
    // it is drawn in, with their signed area in x-y.
    std::vector<FeedbackPrimitive> trianglesOf(RVElementVNT& element) {
        auto primitives = captureFeedback([&] { element.draw(); });
        std::erase_if(primitives, [](const FeedbackPrimitive& p) {
            return p.kind != FeedbackPrimitive::Polygon;
        });
        return primitives;
    }
    static double signedArea(const FeedbackPrimitive& triangle) {
        const auto& v = triangle.vertices;
        return 0.5 *
               ((v[1].x - v[0].x) * (v[2].y - v[0].y) - (v[2].x - v[0].x) * (v[1].y - v[0].y));
    }

    TemporaryFolder folder;
    RVDatabase database; // declared after the folder, so it goes first
};

TEST_F(RVElementVNTTest, ANewElementDrawsNothingInWhiteAndKeepsTheMatrix) {
    RVElementVNT element;
    EXPECT_EQ(element.scalar(), 1.0f);
    GLfloat colour[4];
    element.getColor(colour);
    EXPECT_EQ(std::vector<float>(colour, colour + 4), std::vector<float>(4, 1.0f));
    EXPECT_EQ(element.model(), nullptr);
    EXPECT_EQ(element.texture(), nullptr);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(30, 1, 2, 3);
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    const auto before = modelview();
    element.draw();
    expectMatrixNear(modelview(), before);
    EXPECT_EQ(currentColor(), std::vector<float>(4, 1.0f));
    EXPECT_TRUE(trianglesOf(element).empty());

    // A mirrored, scaled element without a model still restores the matrix.
    element.setModelKey(-3).setScalar(2.5f);
    element.setColor(2, 0.25f);
    element.draw();
    expectMatrixNear(modelview(), before);
    EXPECT_FLOAT_EQ(currentColor()[2], 0.25f);
    expectNoGLError();
}

TEST_F(RVElementVNTTest, ANegativeKeySharesTheModelAndDrawsItMirrored) {
    writeTriangleModel(3);
    auto right = std::make_unique<RVElementVNT>();
    auto left = std::make_unique<RVElementVNT>();
    right->setModelKey(3).retainModelFromDatabase(database);
    left->setModelKey(-3).retainModelFromDatabase(database);
    ASSERT_NE(right->model(), nullptr);
    EXPECT_EQ(left->model(), right->model());
    EXPECT_EQ(database.referenceCountForKey(3), 2);
    EXPECT_EQ(database.referenceCountForKey(-3), 0);

    right->setScalar(2);
    left->setScalar(2);
    glFrontFace(GL_CCW);
    const auto plain = trianglesOf(*right);
    const auto mirrored = trianglesOf(*left);
    ASSERT_EQ(plain.size(), 1u);
    ASSERT_EQ(mirrored.size(), 1u);
    const float expected[3][3] = {{0, 2, 0}, {2, 2, 0}, {0, 4, 1}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(plain[0].vertices[k].x, expected[k][0], 1e-4);
        EXPECT_NEAR(plain[0].vertices[k].y, expected[k][1], 1e-4);
        EXPECT_NEAR(plain[0].vertices[k].z, expected[k][2], 1e-4);
        EXPECT_NEAR(mirrored[0].vertices[k].x, expected[k][0], 1e-4);
        EXPECT_NEAR(mirrored[0].vertices[k].y, -expected[k][1], 1e-4);
        EXPECT_NEAR(mirrored[0].vertices[k].z, expected[k][2], 1e-4);
    }
    EXPECT_GT(signedArea(plain[0]), 0);
    EXPECT_LT(signedArea(mirrored[0]), 0); // the winding turns on screen...
    GLint frontFace = 0;
    glGetIntegerv(GL_FRONT_FACE, &frontFace);
    EXPECT_EQ(frontFace, GL_CCW); // ...and the front-face setting stays

    // Destroying one leaves the model loaded for the other.
    right.reset();
    EXPECT_EQ(database.referenceCountForKey(3), 1);
    ASSERT_EQ(trianglesOf(*left).size(), 1u);
    left.reset();
    EXPECT_EQ(database.referenceCountForKey(3), 0);
    expectNoGLError();
}

TEST_F(RVElementVNTTest, FetchingAgainHoldsOneUseAndReloadsWhenItWasTheOnlyOne) {
    writeTriangleModel(3);
    writeTriangleModel(4);
    RVElementVNT element;
    element.setModelKey(3).retainModelFromDatabase(database).retainModelFromDatabase(database);
    EXPECT_EQ(database.referenceCountForKey(3), 1);

    // The only use is given back first, so the file is read anew.
    writeTriangleModel(3, 5);
    element.retainModelFromDatabase(database);
    ASSERT_NE(element.model(), nullptr);
    EXPECT_FLOAT_EQ(element.model()->vertices()[3], 5.0f);

    // A shared model is kept in memory and a new key swaps the uses.
    RVElementVNT other;
    other.setModelKey(3).retainModelFromDatabase(database);
    element.setModelKey(4);
    EXPECT_EQ(database.referenceCountForKey(3), 2); // a key alone fetches nothing
    element.retainModelFromDatabase(database);
    EXPECT_EQ(database.referenceCountForKey(3), 1);
    EXPECT_EQ(database.referenceCountForKey(4), 1);

    // The lowest int has no positive counterpart: no model, the old one given back.
    element.setModelKey(INT_MIN).retainModelFromDatabase(database);
    EXPECT_EQ(element.model(), nullptr);
    EXPECT_EQ(database.referenceCountForKey(4), 0);
}

TEST_F(RVElementVNTTest, BindsItsTextureAndGivesItBack) {
    writeTexture(7);
    writeTriangleModel(1);
    {
        RVElementVNT element;
        element.setTextureKey(7).retainTextureFromDatabase(database);
        element.setModelKey(1).retainModelFromDatabase(database);
        ASSERT_NE(element.texture(), nullptr);
        ASSERT_NE(element.texture()->textureName(), 0u);
        glBindTexture(GL_TEXTURE_2D, 0);
        element.draw();
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), element.texture()->textureName());
        EXPECT_EQ(database.referenceCountForKey(7), 1);

        // Without a file the texture is empty and binds the default texture.
        element.setTextureKey(8).retainTextureFromDatabase(database);
        EXPECT_EQ(database.referenceCountForKey(7), 0);
        ASSERT_NE(element.texture(), nullptr);
        element.draw();
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, 0);
    }
    EXPECT_EQ(database.referenceCountForKey(8), 0);
    EXPECT_EQ(database.referenceCountForKey(1), 0);
    EXPECT_EQ(database.tree(), nullptr);
    expectNoGLError();
}

TEST_F(RVElementVNTTest, AScalarThatCannotBeUndoneLeavesTheMatrixAlone) {
    writeTriangleModel(3);
    RVElementVNT element;
    element.setModelKey(-3).retainModelFromDatabase(database);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    const auto before = modelview();
    const float infinity = std::numeric_limits<float>::infinity();
    for (float scalar :
         {0.0f, -0.0f, 1e-42f, infinity, -infinity, std::numeric_limits<float>::quiet_NaN()}) {
        element.setScalar(scalar).setColor(0, 0.5f);
        element.draw();
        EXPECT_EQ(modelview(), before) << scalar;
        EXPECT_FLOAT_EQ(currentColor()[0], 0.5f);
        EXPECT_TRUE(trianglesOf(element).empty()) << scalar;
    }
    // Every ordinary scalar, tiny or huge, negative too, restores the matrix.
    for (float scalar : {1e-30f, -0.5f, 3.0f, 1e30f}) {
        element.setScalar(scalar);
        element.draw();
        expectMatrixNear(modelview(), before);
    }
    element.setScalar(-0.5f);
    EXPECT_EQ(trianglesOf(element).size(), 1u);
    expectNoGLError();
}

} // namespace
