#include "Vexmira/Blowup.h"
#include "Platform/core/NotificationCenter.h"
#include "Vexmira/MyDocument.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using Platform::NotificationCenter;

namespace {

// Records the notifications of one model and the value each observer read
// back at delivery, on the default centre as the window controller uses it.
class NotificationLog {
public:
    explicit NotificationLog(const Blowup* model) {
        NotificationCenter::defaultCenter().addObserver(
            this, "", model,
            [this](const NotificationCenter::Notification& n) { names.push_back(n.name); });
    }
    ~NotificationLog() { NotificationCenter::defaultCenter().removeObserver(this); }
    NotificationLog(const NotificationLog&) = delete;
    NotificationLog& operator=(const NotificationLog&) = delete;

    std::vector<std::string> names;
};

struct Parameter {
    const char* notification;
    std::function<void(Blowup&, double)> set;
    std::function<double(const Blowup&)> get;
};

const std::vector<Parameter> parameters = {
    {"Blowup Notification", [](Blowup& m, double v) { m.setBlowup(float(v)); },
     [](const Blowup& m) { return double(m.blowup()); }},
    {"Immersion Notification", [](Blowup& m, double v) { m.setImmersion(float(v)); },
     [](const Blowup& m) { return double(m.immersion()); }},
    {"Distance Notification", [](Blowup& m, double v) { m.setDistance(float(v)); },
     [](const Blowup& m) { return double(m.distance()); }},
    {"Resolution Notification", [](Blowup& m, double v) { m.setResolution(int(v)); },
     [](const Blowup& m) { return double(m.resolution()); }},
    {"Meridians Notification", [](Blowup& m, double v) { m.setMeridians(int(v)); },
     [](const Blowup& m) { return double(m.meridians()); }},
    {"Antialiasing Notification", [](Blowup& m, double v) { m.setAntialiasing(int(v)); },
     [](const Blowup& m) { return double(m.antialiasing()); }},
};

const std::vector<std::string> restoreOrder = {
    "Blowup Notification",    "Immersion Notification",  "Distance Notification",
    "Meridians Notification", "Resolution Notification", "Antialiasing Notification"};

} // namespace

TEST(Blowup, ANewModelHasTheDefaultsAndAnEmptyHistory) {
    std::vector<std::string> posted;
    int listener = 0;
    NotificationCenter::defaultCenter().addObserver(
        &listener, "", nullptr, [&posted](const auto& n) { posted.push_back(n.name); });
    MyDocument document;
    NotificationCenter::defaultCenter().removeObserver(&listener);
    const Blowup& model = document.model();
    EXPECT_EQ(model.blowup(), 0.0f);
    EXPECT_EQ(model.immersion(), 0.0f);
    EXPECT_EQ(model.distance(), 8.0f);
    EXPECT_EQ(model.resolution(), 34);
    EXPECT_EQ(model.meridians(), 72);
    EXPECT_EQ(model.antialiasing(), 1);
    EXPECT_EQ(model.myDocument(), &document);
    EXPECT_EQ(model.undoManager(), &document.undoManager());
    EXPECT_FALSE(document.undoManager().canUndo());
    EXPECT_FALSE(document.isDocumentEdited());
    EXPECT_TRUE(document.undoManager().isUndoRegistrationEnabled());
    EXPECT_EQ(posted, restoreOrder);
}

TEST(Blowup, EverySetterRegistersUndoAndPostsOnlyItsOwnNotificationAfterStoring) {
    for (const Parameter& p : parameters) {
        MyDocument document;
        Blowup& model = document.model();
        double readBack = -1;
        int observer = 0;
        std::vector<std::string> posted;
        NotificationCenter::defaultCenter().addObserver(
            &observer, "", &model, [&](const NotificationCenter::Notification& n) {
                posted.push_back(n.name);
                readBack = p.get(model);
            });
        double before = p.get(model);
        p.set(model, 5);
        EXPECT_EQ(posted, std::vector<std::string>{p.notification});
        EXPECT_EQ(readBack, 5) << p.notification;
        EXPECT_EQ(document.changeCount(), 1);

        // The same value again is a change of its own.
        p.set(model, 5);
        EXPECT_EQ(posted.size(), 2u) << p.notification;
        EXPECT_EQ(document.changeCount(), 2);

        document.undoManager().undo();
        document.undoManager().undo();
        EXPECT_EQ(p.get(model), before) << p.notification;
        EXPECT_EQ(readBack, before) << "observers see the undone value";
        document.undoManager().redo();
        EXPECT_EQ(p.get(model), 5) << p.notification;
        EXPECT_EQ(posted.size(), 5u) << "undo and redo post as direct changes do";
        NotificationCenter::defaultCenter().removeObserver(&observer);
    }
}

TEST(Blowup, UndoAndRedoCarryTheStepName) {
    MyDocument document;
    Blowup& model = document.model();
    NotificationLog log(&model);
    model.setBlowup(0.5f);
    document.undoManager().setActionName("Set Blowup");
    model.setMeridians(40);
    document.undoManager().setActionName("Set Meridians");
    EXPECT_EQ(document.undoManager().undoActionName(), "Set Meridians");
    ASSERT_TRUE(document.undoManager().undo());
    EXPECT_EQ(model.meridians(), 72);
    EXPECT_EQ(document.undoManager().undoActionName(), "Set Blowup");
    EXPECT_EQ(document.undoManager().redoActionName(), "Set Meridians");
    ASSERT_TRUE(document.undoManager().undo());
    EXPECT_EQ(model.blowup(), 0.0f);
    EXPECT_EQ(document.undoManager().redoActionName(), "Set Blowup");
    ASSERT_TRUE(document.undoManager().redo());
    EXPECT_EQ(model.blowup(), 0.5f);
    EXPECT_EQ(log.names, (std::vector<std::string>{"Blowup Notification", "Meridians Notification",
                                                   "Meridians Notification", "Blowup Notification",
                                                   "Blowup Notification"}));
}

TEST(Blowup, NotificationsOfAnotherModelAreFilteredOut) {
    MyDocument first;
    MyDocument second;
    NotificationLog log(&first.model());
    second.model().setMeridians(3);
    first.model().setResolution(3);
    EXPECT_EQ(log.names, std::vector<std::string>{"Resolution Notification"});
}

TEST(Blowup, AModelWithoutDocumentStoresAndPostsButRecordsNothing) {
    Blowup model;
    EXPECT_EQ(model.myDocument(), nullptr);
    EXPECT_EQ(model.undoManager(), nullptr);
    EXPECT_EQ(model.distance(), 8.0f);
    NotificationLog log(&model);
    model.setDistance(3.5f);
    model.setAntialiasing(4);
    EXPECT_EQ(model.distance(), 3.5f);
    EXPECT_EQ(model.antialiasing(), 4);
    EXPECT_EQ(log.names,
              (std::vector<std::string>{"Distance Notification", "Antialiasing Notification"}));
}

TEST(Blowup, DictionaryHoldsSixDecimalsAndPlainIntegers) {
    Blowup model;
    Blowup::Dictionary dictionary = {{"Class", "MyDocument"}, {"meridiansValue", "old"}};
    model.convertToDictionary(dictionary);
    EXPECT_EQ(dictionary, (Blowup::Dictionary{{"Class", "MyDocument"},
                                              {"blowupValue", "0.000000"},
                                              {"immersionValue", "0.000000"},
                                              {"distanceValue", "8.000000"},
                                              {"meridiansValue", "72"},
                                              {"resolutionValue", "34"},
                                              {"antialiasingValue", "1"}}));
    model.setBlowup(-0.25f);
    model.setImmersion(0.0000004f);
    model.setDistance(1234.5f);
    model.setMeridians(-7);
    model.convertToDictionary(dictionary);
    EXPECT_EQ(dictionary["blowupValue"], "-0.250000");
    EXPECT_EQ(dictionary["immersionValue"], "0.000000");
    EXPECT_EQ(dictionary["distanceValue"], "1234.500000");
    EXPECT_EQ(dictionary["meridiansValue"], "-7");
    // 0.1f widened to double is 0.100000001490116..., six decimals cut that off.
    model.setBlowup(0.1f);
    model.convertToDictionary(dictionary);
    EXPECT_EQ(dictionary["blowupValue"], "0.100000");

    Blowup restored;
    restored.restoreFromDictionary(dictionary);
    EXPECT_EQ(restored.immersion(), 0.0f);
    EXPECT_EQ(restored.blowup(), 0.1f);
    EXPECT_EQ(restored.distance(), 1234.5f);
    EXPECT_EQ(restored.meridians(), -7);
}

TEST(Blowup, RestoreReadsLeadingNumbersAndLeavesTheHistoryAlone) {
    MyDocument document;
    Blowup& model = document.model();
    model.setResolution(9);
    document.undoManager().setActionName("Set Resolution");
    NotificationLog log(&model);
    model.restoreFromDictionary({
        {"blowupValue", " \n\t-3.5e1xyz"},
        {"immersionValue", ".5"},
        {"distanceValue", "inf"},
        {"meridiansValue", "abc"},
        {"resolutionValue", "  12.9 apples"},
        // antialiasingValue missing
    });
    EXPECT_EQ(model.blowup(), -35.0f);
    EXPECT_EQ(model.immersion(), 0.5f);
    EXPECT_EQ(model.distance(), 0.0f);
    EXPECT_EQ(model.meridians(), 0);
    EXPECT_EQ(model.resolution(), 12);
    EXPECT_EQ(model.antialiasing(), 0);
    EXPECT_EQ(log.names, restoreOrder);
    EXPECT_EQ(document.undoManager().undoActionName(), "Set Resolution");
    EXPECT_TRUE(document.undoManager().isUndoRegistrationEnabled());
    document.undoManager().undo();
    EXPECT_EQ(model.resolution(), 34);
    EXPECT_FALSE(document.undoManager().canUndo());
}

TEST(Blowup, ValidationAcceptsTheBoundsAndRefusesBeyondThemNamingTheKey) {
    struct Case {
        Blowup::Dictionary dictionary;
        const char* refusedKey; // null: accepted
    };
    const std::vector<Case> cases = {
        {{}, nullptr},
        {{{"meridiansValue", "100000"}, {"resolutionValue", "-100000"}}, nullptr},
        {{{"meridiansValue", "-100000"}, {"resolutionValue", "-100000"}}, nullptr},
        {{{"meridiansValue", "1000"}, {"resolutionValue", "1000"}}, nullptr},
        {{{"meridiansValue", "100000"}, {"resolutionValue", "10"}}, nullptr},
        {{{"antialiasingValue", "-1000"}}, nullptr},
        {{{"blowupValue", "-1000000"}, {"distanceValue", "1e6"}}, nullptr},
        {{{"immersionValue", "nan"}}, nullptr}, // not a number: restores 0
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
    for (const Case& c : cases) {
        std::string error;
        bool accepted = Blowup::validateDictionary(c.dictionary, error);
        std::string shown = c.dictionary.empty() ? "{}" : c.dictionary.begin()->second;
        if (!c.refusedKey) {
            EXPECT_TRUE(accepted) << shown << ": " << error;
            continue;
        }
        EXPECT_FALSE(accepted) << shown;
        EXPECT_NE(error.find(std::string("\"") + c.refusedKey + "\""), std::string::npos) << error;
        EXPECT_NE(error.find("000"), std::string::npos) << "names the range: " << error;
    }
}
