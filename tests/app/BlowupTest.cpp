#include "Vexmira/Blowup.h"
#include "Platform/core/NotificationCenter.h"
#include "Vexmira/MyDocument.h"
#include "support/OffscreenGLTest.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <functional>
#include <tuple>
#include <vector>

using namespace VexmiraTest;
using Platform::NotificationCenter;
using Names = std::vector<std::string>;

namespace {

// The half and quarter turn the picture is defined with (ten decimals of pi).
constexpr double P = 3.1415926535;
constexpr double H = 1.57079632675;
const std::vector<float> white = {1, 1, 1, 1};

// The saturated colour of a hue from its distance to the primaries on the colour circle.
void expectHue(const std::vector<float>& rgb, double hue, double error) {
    const double h = std::fmod(std::fmod(hue, 360.0) + 360.0, 360.0) / 60.0;
    const double expected[] = {std::fabs(h - 3) - 1, 2 - std::fabs(h - 2), 2 - std::fabs(h - 4)};
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(rgb[k], std::clamp(expected[k], 0.0, 1.0), error) << "component " << k;
}

const auto isWhite = [](const FeedbackVertex& v) { return v.red + v.green + v.blue == 3; };
const auto isLowerPole = [](const FeedbackVertex& v) { return v.x == 0 && v.y == 0 && v.z == -1; };

// Whether p lies on the white circle of this radius around the upper pole, in the vertical
// plane at azimuth `immersion`.
bool onWhiteCircle(const FeedbackVertex& p, double radius, double immersion) {
    const double fromPole = std::sqrt(p.x * p.x + p.y * p.y + (p.z - 1.0) * (p.z - 1.0));
    return std::fabs(fromPole - radius) <= 2e-6 &&
           std::fabs(p.x * std::sin(immersion) - p.y * std::cos(immersion)) <= 2e-6;
}

// One draw(): the coloured line strip, then the white loop (which closes: n + 1 vertices).
struct Drawing {
    std::vector<FeedbackVertex> strip, loop;

    // Meridian M - 1 is drawn first; each takes 2R places, its lower pole, then j = 2R - 1 to 1.
    const FeedbackVertex& at(int order, int j, int resolution) const {
        return strip.at(static_cast<std::size_t>(order) * 2 * resolution + 2 * resolution - j);
    }
};

// A setter's notification, the setter and the getter.
using Parameter = std::tuple<std::string, std::function<void(Blowup&, double)>,
                             std::function<double(const Blowup&)>>;

template <typename T>
Parameter parameter(const char* notification, void (Blowup::*set)(T), T (Blowup::*get)() const) {
    return {notification, [set](Blowup& m, double v) { (m.*set)(T(v)); },
            [get](const Blowup& m) { return double((m.*get)()); }};
}

const Parameter parameters[] = {
    parameter("Blowup Notification", &Blowup::setBlowup, &Blowup::blowup),
    parameter("Immersion Notification", &Blowup::setImmersion, &Blowup::immersion),
    parameter("Distance Notification", &Blowup::setDistance, &Blowup::distance),
    parameter("Resolution Notification", &Blowup::setResolution, &Blowup::resolution),
    parameter("Meridians Notification", &Blowup::setMeridians, &Blowup::meridians),
    parameter("Antialiasing Notification", &Blowup::setAntialiasing, &Blowup::antialiasing)};

class BlowupDrawing : public OffscreenGLTest {
protected:
    Blowup model;

    Drawing capture(float blowup, float immersion, int meridians, int resolution) {
        model.setBlowup(blowup);
        model.setImmersion(immersion);
        model.setMeridians(meridians);
        model.setResolution(resolution);
        glColor3f(0.25f, 0.5f, 0.75f);
        auto lines = polylines(captureFeedback([&] { model.draw(); }));
        expectNoGLError();
        EXPECT_EQ(currentColor(), white);
        Drawing drawing;
        if (!lines.empty() && isWhite(lines.back().front())) {
            drawing.loop = lines.back();
            lines.pop_back();
        }
        EXPECT_LE(lines.size(), 1u) << "the strip is broken or follows the loop";
        if (!lines.empty())
            drawing.strip = lines.front();
        return drawing;
    }
};

} // namespace

// Meridian i of M is a great circle at theta = i / M half turns in hue i / M whole turns; the
// white loop shrinks to the upper pole. 72 x 34 outgrows the first feedback buffer; at the top of
// 5 x 7, cos(P - H) is about 4.5e-11, where the library's pi would give 6e-17.
TEST_F(BlowupDrawing, UnblownMeridiansAreGreatCirclesInTheirHuesRoundedExactlyWhereTheyShould) {
    for (auto [meridians, resolution] : {std::pair(72, 34), std::pair(5, 7)}) {
        SCOPED_TRACE(std::to_string(meridians) + " x " + std::to_string(resolution));
        const Drawing drawing = capture(0, 0, meridians, resolution);
        ASSERT_EQ(drawing.strip.size(), 2u * meridians * resolution + 1);
        EXPECT_TRUE(isLowerPole(drawing.strip.back()));
        for (int order = 0; order < meridians; ++order) { // meridian M - 1 is drawn first
            const int i = meridians - 1 - order;
            const double theta = static_cast<double>(i) / meridians * P;
            for (int j = 1; j <= 2 * resolution; ++j) {
                const auto& v = drawing.at(order, j, resolution);
                expectHue({v.red, v.green, v.blue}, i * 360.0 / meridians, 1e-6);
                if (j == 2 * resolution) { // where each meridian begins
                    ASSERT_TRUE(isLowerPole(v)) << order;
                    continue;
                }
                const double t = j * P / resolution - H;
                const float x = static_cast<float>(std::cos(t)); // rounded, then turned in double
                ASSERT_EQ((std::array{v.x, v.y, v.z}),
                          (std::array{static_cast<float>(x * std::cos(theta)),
                                      static_cast<float>(x * std::sin(theta)),
                                      static_cast<float>(std::sin(t))}))
                    << order << ", " << j;
            }
        }
        ASSERT_EQ(drawing.loop.size(), 2u * resolution + 1);
        // Every vertex sent, the loop's repeated first one aside.
        EXPECT_EQ(model.verticesDrawn(),
                  static_cast<long long>(drawing.strip.size() + drawing.loop.size() - 1));
        for (const auto& v : drawing.loop)
            EXPECT_EQ((std::array{v.x, v.y, v.z}), (std::array{0.0f, 0.0f, 1.0f}));
    }
}

TEST_F(BlowupDrawing, BlownUpMeridiansEndOnTheWhiteCircle) {
    const Drawing drawing = capture(0.5f, 0.3f, 4, 4);
    ASSERT_EQ(drawing.strip.size(), 33u);
    ASSERT_EQ(drawing.loop.size(), 9u);
    // The worked values at j = 4 for meridian 3 (drawn first) and meridian 0 (last).
    const double worked[2][3] = {{-0.26971, -0.08343, 0.58733}, {0.39424, 0.12195, 0.71768}};
    for (int order = 0; order < 4; ++order) {
        const auto& v = drawing.at(order, 4, 4);
        EXPECT_TRUE(onWhiteCircle(v, 0.5, 0.3)) << order;
        const float xyz[] = {v.x, v.y, v.z};
        for (int k = 0; k < 3 && order % 3 == 0; ++k)
            EXPECT_NEAR(xyz[k], worked[order / 3][k], 1e-5) << order;
    }
    for (int k = 0; k < 8; ++k) { // the loop runs from j = 7 down to 0 around the circle
        EXPECT_TRUE(onWhiteCircle(drawing.loop[k], 0.5, 0.3)) << "loop vertex " << k;
        EXPECT_NEAR(drawing.loop[k].z, 1.0 + 0.5 * std::sin((7 - k) * P / 4 - H), 1e-6);
    }
}

TEST_F(BlowupDrawing, FewOrNoMeridiansOrStepsDrawWhatIsLeft) {
    for (int meridians : {0, INT_MIN}) { // only the white loop
        const Drawing drawing = capture(0.25f, 0, meridians, 5);
        EXPECT_TRUE(drawing.strip.empty()) << meridians;
        ASSERT_EQ(drawing.loop.size(), 11u) << meridians;
        EXPECT_EQ(model.verticesDrawn(), 1 + 10) << "the closing pole and the loop";
    }
    for (int resolution : {0, INT_MIN}) { // only lower poles, no loop
        model.setMeridians(3);
        model.setResolution(resolution);
        for (const auto& primitive : captureFeedback([&] { model.draw(); }))
            for (const auto& v : primitive.vertices)
                EXPECT_TRUE(isLowerPole(v)) << resolution;
        EXPECT_EQ(currentColor(), white);
    }
}

TEST_F(BlowupDrawing, HuesGoAroundTheColourCircleWhateverTheirSize) {
    // Just below 0 rounds to a whole turn in float: red, not magenta; huge hues are reduced at
    // once, not a turn at a time; hues that are not finite give red.
    for (float hue : {360.0f, -60.0f, 90.0f, 720.5f, -1000.0f, -1e-10f, 1e30f, -3e9f, INFINITY,
                      -INFINITY, NAN}) {
        model.setHue(hue);
        SCOPED_TRACE(hue);
        const bool finite = std::isfinite(hue);
        const double error = !finite ? 0 : std::fabs(hue) > 1e6 ? 1e-5 : 1e-6;
        expectHue(currentColor(), finite ? std::fmod(double(hue), 360.0) : 0, error);
    }
}

TEST(Blowup, EverySetterRegistersUndoAndPostsOnlyItsOwnNotificationAfterStoring) {
    auto& center = NotificationCenter::defaultCenter();
    for (const auto& [notification, set, get] : parameters) {
        SCOPED_TRACE(notification);
        MyDocument document, other;
        Blowup& model = document.model();
        Blowup alone; // no document: stores and posts, records nothing
        Names posted;
        double readBack = -1;
        for (const Blowup* observed : {&model, &alone})
            center.addObserver(&posted, "", observed, [&, observed](const auto& n) {
                posted.push_back(n.name);
                readBack = get(*observed);
            });
        const double before = get(model);
        set(other.model(), 7); // filtered out
        set(model, 5);
        EXPECT_EQ(posted, Names{notification});
        EXPECT_EQ(readBack, 5) << "observers see the stored value";
        set(model, 5); // the same value again is a change of its own
        EXPECT_EQ(document.changeCount(), 2);
        document.undoManager().undo();
        document.undoManager().undo();
        EXPECT_EQ(readBack, before) << "observers see the undone value";
        document.undoManager().redo();
        EXPECT_EQ(get(model), 5);
        EXPECT_EQ(posted.size(), 5u) << "undo and redo post as direct changes do";
        set(alone, 3);
        EXPECT_EQ(readBack, 3) << "a model without a document posts its stored value too";
        center.removeObserver(&posted);
    }
}

TEST(Blowup, RestoreReadsLeadingNumbersPostsEveryNotificationAndLeavesTheHistoryAlone) {
    MyDocument document;
    Blowup& restored = document.model();
    restored.setResolution(9);
    Names posted;
    NotificationCenter::defaultCenter().addObserver(
        &posted, "", &restored, [&posted](const auto& n) { posted.push_back(n.name); });
    restored.restoreFromDictionary({{"blowupValue", " \n\t-3.5e1xyz"},
                                    {"immersionValue", ".5"},
                                    {"distanceValue", "inf"},
                                    {"meridiansValue", "abc"},
                                    {"resolutionValue", "  12.9 apples"}});
    NotificationCenter::defaultCenter().removeObserver(&posted);
    EXPECT_EQ(std::tuple(restored.blowup(), restored.immersion(), restored.distance(),
                         restored.meridians(), restored.resolution(), restored.antialiasing()),
              std::tuple(-35.0f, 0.5f, 0.0f, 0, 12, 0)); // inf and abc give 0, a missing key too
    EXPECT_EQ(posted, (Names{"Blowup Notification", "Immersion Notification",
                             "Distance Notification", "Meridians Notification",
                             "Resolution Notification", "Antialiasing Notification"}));
    document.undoManager().undo(); // the step before, not the restoring
    EXPECT_EQ(restored.resolution(), 34);
}

TEST(Blowup, ValidationAcceptsTheBoundsAndRefusesBeyondThemNamingTheKey) {
    const struct {
        Blowup::Dictionary dictionary;
        std::string refusedKey; // empty: accepted
    } cases[] = {
        {{{"meridiansValue", "100000"}, {"resolutionValue", "-100000"}}, ""},
        {{{"meridiansValue", "1000"}, {"resolutionValue", "1000"}}, ""},
        {{{"meridiansValue", "100000"}, {"resolutionValue", "10"}}, ""},
        {{{"antialiasingValue", "-1000"}, {"immersionValue", "nan"}}, ""}, // nan restores 0
        {{{"blowupValue", "-1000000"}, {"distanceValue", "1e6"}}, ""},
        {{{"meridiansValue", "100001"}}, "meridiansValue"},
        {{{"resolutionValue", "-100001"}}, "resolutionValue"},
        {{{"meridiansValue", "1001"}, {"resolutionValue", "1000"}}, "resolutionValue"},
        {{{"meridiansValue", "100000"}, {"resolutionValue", "11"}}, "meridiansValue"},
        {{{"antialiasingValue", "1001"}}, "antialiasingValue"},
        {{{"antialiasingValue", "99999999999999999999999"}}, "antialiasingValue"},
        {{{"meridiansValue", "4294967368"}}, "meridiansValue"}, // 72 after wrapping to int
        {{{"blowupValue", "1000000.1"}}, "blowupValue"},
        {{{"immersionValue", "-1e300"}}, "immersionValue"},
        {{{"distanceValue", "1e400"}}, "distanceValue"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dictionary.begin()->second);
        std::string error;
        EXPECT_EQ(Blowup::validateDictionary(c.dictionary, error), c.refusedKey.empty()) << error;
        if (!c.refusedKey.empty()) {
            EXPECT_NE(error.find("“" + c.refusedKey + "”"), std::string::npos) << error;
            EXPECT_NE(error.find("000"), std::string::npos) << "names the range: " << error;
        }
    }
}
