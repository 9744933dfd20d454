// vexmira-figure-example: builds a jointed figure of sphere elements, aims
// its head, an arm and a leg at points, blends it toward a second pose and
// renders the blend off screen to PNG frames.
//
//   vexmira-figure-example OUTPUT-FOLDER
//
// The folder receives the frames figure-0.png ... figure-3.png (the first
// pose, two blends, the second pose) and, below resources/, the model files
// the figure's elements load. Each frame's path is printed on its own line.

#include "ExampleFigure.h"
#include "ExampleModels.h"

#include "Platform/core/ResourceDirectory.h"
#include "Platform/image/PngWriter.h"
#include "Platform/offscreen/OffscreenSurface.h"
#include "TolvaneKit/Camera/RVCamera.h"
#include "TolvaneKit/Resources/RVDatabase.h"
#include "TolvaneKit/Scene/RVModelVNT.h"

#include <GL/gl.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr int frameWidth = 480;
constexpr int frameHeight = 360;
constexpr int frameCount = 4;

// The first pose reaches forward and up with the arm on the +y side, steps
// forward with the other leg and looks ahead to the side; the second turns
// the figure, raises the other arm, steps with the other leg and looks the
// other way.
ExampleFigure::Aim firstPose() {
    ExampleFigure::Aim aim;
    aim.turn = 0;
    aim.sight[0] = -3, aim.sight[1] = -1.2f, aim.sight[2] = 2.2f;
    aim.arm = 0;
    aim.wrist[0] = -0.35f, aim.wrist[1] = 0.4f, aim.wrist[2] = 1.85f;
    aim.leg = 1;
    aim.ankle[0] = -0.3f, aim.ankle[1] = -0.13f, aim.ankle[2] = 0.25f;
    return aim;
}

ExampleFigure::Aim secondPose() {
    ExampleFigure::Aim aim;
    aim.turn = 25;
    aim.sight[0] = -2.5f, aim.sight[1] = 2.5f, aim.sight[2] = 1.2f;
    aim.arm = 1;
    aim.wrist[0] = -0.1f, aim.wrist[1] = -0.55f, aim.wrist[2] = 2.0f;
    aim.leg = 0;
    aim.ankle[0] = -0.25f, aim.ankle[1] = 0.2f, aim.ankle[2] = 0.2f;
    return aim;
}

void setUpLighting() {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    // Elements scale their models, which would scale the normals too.
    glEnable(GL_NORMALIZE);
    const GLfloat ambient[4] = {0.3f, 0.3f, 0.3f, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    RVModelVNT::configureOpenGLForDrawing();
    glClearColor(0.86f, 0.9f, 0.95f, 1);
}

RVCamera& aimCamera(RVCamera& camera) {
    // From the front (-x) and a little to the side and above.
    const GLfloat target[3] = {0, 0, 1.05f};
    camera.prepareOpenGL();
    camera.setWidth(frameWidth, frameHeight);
    camera.setDistance(5.5f);
    camera.setAzimuth(200);
    camera.setElevation(78);
    camera.setTarget(target);
    return camera;
}

void drawGround() {
    glColor4f(0.55f, 0.68f, 0.5f, 1);
    glNormal3f(0, 0, 1);
    glBegin(GL_QUADS);
    glVertex3f(-2, -2, 0);
    glVertex3f(2, -2, 0);
    glVertex3f(2, 2, 0);
    glVertex3f(-2, 2, 0);
    glEnd();
}

void drawFrame(ExampleFigure& figure) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    // A light fixed in the world, above and in front: set under the camera's matrix.
    const GLfloat light[4] = {-2, -1, 4, 0};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    drawGround();
    figure.draw();
}

int fail(const std::string& message) {
    std::fprintf(stderr, "vexmira-figure-example: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: vexmira-figure-example OUTPUT-FOLDER\n"
                             "Renders a posed jointed figure to PNG frames in the folder.\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (failure)
        return fail("cannot create " + folder.string() + ": " + failure.message());

    std::string error;
    const std::string resources = (folder / "resources").string();
    if (!ExampleModels::write(resources, &error))
        return fail(error);
    Platform::setResourceDirectory(resources);

    auto surface = Platform::OffscreenSurface::create(frameWidth, frameHeight, &error);
    if (!surface)
        return fail("no off-screen OpenGL surface: " + error);
    setUpLighting();
    RVCamera camera;
    aimCamera(camera);

    // The database outlives the figures, whose elements hold its models.
    RVDatabase database;
    ExampleFigure pose(database);
    pose.aim(secondPose());
    for (int frame = 0; frame < frameCount; ++frame) {
        ExampleFigure figure(database);
        figure.aim(firstPose());
        figure.blendToward(pose, static_cast<float>(frame) / (frameCount - 1));
        drawFrame(figure);
        const auto path = (folder / ("figure-" + std::to_string(frame) + ".png")).string();
        if (!Platform::writePngFile(path, frameWidth, frameHeight, surface->readPixels(), &error))
            return fail("cannot write " + path + ": " + error);
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
