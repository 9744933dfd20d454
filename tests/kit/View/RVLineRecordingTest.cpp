#include "TolvaneKit/View/RVLineRecording.h"

#include "support/OffscreenGLTest.h"

#include <array>
#include <cmath>
#include <functional>
#include <tuple>
#include <vector>

namespace {

// A smooth-shaded strip whose colour changes at every vertex and turns back
// on itself, with a zero-length step, then a white loop: what feedback must
// give back exactly, as strips joined where they continue one another.
void strips() {
    glBegin(GL_LINE_STRIP);
    for (int i = 0; i < 60; ++i) {
        glColor3f(i / 60.0f, 1.0f - i / 60.0f, 0.3f);
        for (int twice = i == 30; twice >= 0; --twice) // vertex 30 twice: a zero-length step
            glVertex3f(1.4f * std::cos(0.37f * i), std::sin(0.23f * i), 0.05f * (i % 20) - 0.5f);
    }
    glEnd();
    glBegin(GL_LINE_LOOP);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (int i = 0; i < 12; ++i)
        glVertex3f(0.6f * std::cos(0.5f * i), 0.6f * std::sin(0.5f * i), 0.9f);
    glEnd();
}

constexpr std::size_t stripVertices = 61 + 12;

void drawAs(GLenum mode, std::initializer_list<std::array<float, 3>> vertices) {
    glBegin(mode);
    for (const auto& vertex : vertices)
        glVertex3fv(vertex.data());
    glEnd();
}

class RVLineRecordingTest : public VexmiraTest::OffscreenGLTest {
protected:
    void SetUp() override {
        OffscreenGLTest::SetUp();
        recreateSurface(160, 120);
        glMatrixMode(GL_PROJECTION);
        glFrustum(-0.6, 0.6, -0.45, 0.45, 1.0, 20.0);
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(0.0f, 0.0f, -3.0f);
        glEnable(GL_DEPTH_TEST);
    }
    std::vector<std::uint8_t> frame(const std::function<void()>& draw) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw();
        glFinish();
        return surface().readPixels();
    }
};

} // namespace

TEST_F(RVLineRecordingTest, ReplaysFromAVertexBufferPixelForPixelOrFromADisplayListIfItMust) {
    RVLineRecording recording;
    const std::vector<std::uint8_t> drawn = frame(strips);
    const std::vector<float> colorLeft = currentColor();
    glColor3f(0.2f, 0.2f, 0.2f);
    EXPECT_TRUE(frame([&] { recording.draw(strips, stripVertices); }) == drawn) << "recording";
    EXPECT_TRUE(recording.isInVertexBuffer());
    EXPECT_EQ(currentColor(), colorLeft);
    glRotatef(70.0f, 1.0f, 0.3f, 0.0f);
    const std::vector<std::uint8_t> turned = frame(strips);
    EXPECT_FALSE(turned == drawn) << "the camera turned";
    int drawings = 0;
    const auto counted = [&drawings] { ++drawings, strips(); };
    EXPECT_TRUE(frame([&] { recording.draw(counted, stripVertices); }) == turned) << "replayed";
    EXPECT_EQ(drawings, 0) << "a recording is not drawn again";
    recording.clear();
    EXPECT_TRUE(frame([&] { recording.draw(counted, stripVertices); }) == turned);
    EXPECT_EQ(drawings, 1) << "cleared, it records again";

    const auto farLine = [] { drawAs(GL_LINES, {{0, 0, 0}, {2.0e6f, 1, -5.0e6f}}); };
    const auto points = [] { drawAs(GL_POINTS, {{0.1f, 0.1f, 0}}), strips(); };
    const auto translucent = [] {
        glColor4f(1.0f, 0.5f, 0.0f, 0.5f), drawAs(GL_LINES, {{-1, 0, 0}, {1, 0.2f, 0}});
    };
    const std::tuple<const char*, std::function<void()>, std::size_t, GLenum> cases[] = {
        {"too many vertices", strips, 20, 0},
        {"no bound given", strips, 0, 0},
        {"beyond the capture's box", farLine, 2, 0},
        {"points", points, stripVertices + 1, 0},
        {"translucent", translucent, 2, 0},
        {"stippled", strips, stripVertices, GL_LINE_STIPPLE}};
    for (const auto& [name, draw, maximumVertices, capability] : cases) {
        SCOPED_TRACE(name);
        if (capability)
            glEnable(capability);
        const std::vector<std::uint8_t> direct = frame(draw);
        RVLineRecording listed;
        for (int time = 0; time < 2; ++time) // recording, then replaying
            EXPECT_TRUE(frame([&] { listed.draw(draw, maximumVertices); }) == direct) << time;
        EXPECT_TRUE(listed.isRecorded());
        EXPECT_FALSE(listed.isInVertexBuffer());
        if (capability)
            glDisable(capability);
    }
    // In feedback itself (as while an outside capture watches), the drawing is recorded as
    // drawn: the capture sees what the drawing sends.
    recording.clear();
    EXPECT_EQ(captureFeedback([&] { recording.draw(strips, stripVertices); }).size(),
              captureFeedback(strips).size());
    EXPECT_FALSE(recording.isInVertexBuffer());
    expectNoGLError();
}
