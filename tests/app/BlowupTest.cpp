#include "Vexmira/Blowup.h"
#include "Platform/core/NotificationCenter.h"
#include "Vexmira/MyDocument.h"
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using Platform::NotificationCenter;
using Names = std::vector<std::string>;

namespace {

struct Parameter {
    std::string notification;
    std::function<void(Blowup&, double)> set;
    std::function<double(const Blowup&)> get;
};

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

} // namespace

TEST(Blowup, EverySetterRegistersUndoAndPostsOnlyItsOwnNotificationAfterStoring) {
    auto& center = NotificationCenter::defaultCenter();
    for (const Parameter& p : parameters) {
        SCOPED_TRACE(p.notification);
        MyDocument document, other;
        Blowup& model = document.model();
        Blowup alone; // no document: stores and posts, records nothing
        Names posted;
        double readBack = -1;
        for (const Blowup* observed : {&model, &alone})
            center.addObserver(&posted, "", observed, [&, observed](const auto& n) {
                posted.push_back(n.name);
                readBack = p.get(*observed);
            });
        const double before = p.get(model);
        p.set(other.model(), 7); // filtered out
        p.set(model, 5);
        EXPECT_EQ(posted, Names{p.notification});
        EXPECT_EQ(readBack, 5) << "observers see the stored value";
        p.set(model, 5); // the same value again is a change of its own
        EXPECT_EQ(document.changeCount(), 2);
        document.undoManager().undo();
        document.undoManager().undo();
        EXPECT_EQ(p.get(model), before);
        EXPECT_EQ(readBack, before) << "observers see the undone value";
        document.undoManager().redo();
        EXPECT_EQ(p.get(model), 5);
        EXPECT_EQ(posted.size(), 5u) << "undo and redo post as direct changes do";
        p.set(alone, 3);
        EXPECT_EQ(readBack, 3) << "a model without a document posts its stored value too";
        center.removeObserver(&posted);
    }
}

TEST(Blowup, RestoreReadsLeadingNumbersPostsEveryNotificationAndLeavesTheHistoryAlone) {
    MyDocument document;
    Blowup& restored = document.model();
    restored.setResolution(9);
    document.undoManager().setActionName("Set Resolution");
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
    EXPECT_EQ(document.undoManager().undoActionName(), "Set Resolution");
    document.undoManager().undo();
    EXPECT_EQ(restored.resolution(), 34);
    EXPECT_FALSE(document.undoManager().canUndo());
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
