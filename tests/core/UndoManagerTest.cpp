#include "Platform/core/UndoManager.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using Platform::UndoManager;

namespace {

// A value whose setter registers its own inverse, the way the model's setters do.
struct UndoableValue {
    UndoManager& undoManager;
    int value = 0;
    void set(int newValue) {
        undoManager.registerUndo(this, [this, old = value] { set(old); });
        value = newValue;
    }
};

} // namespace

TEST(UndoManager, UndoAndRedoWalkTheNamedStepsAndANewChangeDropsTheRedoSteps) {
    UndoManager undo;
    UndoableValue v{undo};
    EXPECT_FALSE(undo.undo());
    for (int i = 1; i <= 3; ++i) {
        v.set(i);
        undo.setActionName("Set " + std::to_string(i));
    }
    const int expected[] = {2, 1, 2, 3, 2, 1, 0};
    for (int step = 0; step < 7; ++step) {
        ASSERT_TRUE(step == 2 || step == 3 ? undo.redo() : undo.undo()) << step;
        EXPECT_EQ(v.value, expected[step]) << step;
    }
    EXPECT_FALSE(undo.canUndo());
    ASSERT_TRUE(undo.redo());
    EXPECT_EQ(undo.undoActionName() + "|" + undo.redoActionName(), "Set 1|Set 2");
    v.set(5);
    EXPECT_FALSE(undo.redo()) << "a new change drops the redo steps";
    undo.removeAllActions();
    EXPECT_EQ(std::pair(undo.canUndo(), undo.canRedo()), std::pair(false, false));
    undo.setActionName("Nothing"); // harmless with nothing to name
    EXPECT_EQ(undo.undoActionName(), "");
}

TEST(UndoManager, DisablingNestsAndGroupsAreOneStepUndoneInReverseOrder) {
    UndoManager undo;
    UndoableValue v{undo};
    undo.disableUndoRegistration();
    undo.disableUndoRegistration();
    undo.enableUndoRegistration();
    v.set(1);                 // still disabled
    undo.beginUndoGrouping(); // an empty group is no step
    undo.endUndoGrouping();
    EXPECT_FALSE(undo.canUndo());
    undo.enableUndoRegistration();
    undo.enableUndoRegistration(); // one too many does not enable early later
    undo.disableUndoRegistration();
    EXPECT_FALSE(undo.isUndoRegistrationEnabled());
    undo.enableUndoRegistration();
    std::vector<int> order;
    undo.beginUndoGrouping();
    v.set(2);
    for (int k = 1; k <= 3; ++k)
        undo.registerUndo(nullptr, [&order, k] { order.push_back(k); });
    undo.endUndoGrouping();
    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(order, (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(v.value, 1);
    EXPECT_FALSE(undo.canUndo());
}

TEST(UndoManager, ALimitDropsTheOldestStepsAndUndoInsideAnActionIsRefused) {
    UndoManager undo;
    UndoableValue v{undo};
    undo.setLevelsOfUndo(2);
    for (int i = 1; i <= 5; ++i)
        v.set(i);
    EXPECT_EQ((std::array{undo.undo(), undo.undo(), undo.undo()}), (std::array{true, true, false}));
    EXPECT_EQ(v.value, 3);
    undo.setLevelsOfUndo(1); // trims the stacks already there
    EXPECT_EQ((std::array{undo.redo(), undo.redo()}), (std::array{true, false}));
    undo.setLevelsOfUndo(0);
    bool nestedResult = true;
    undo.registerUndo(nullptr, [&] { nestedResult = undo.undo(); });
    undo.undo();
    EXPECT_FALSE(nestedResult);
    EXPECT_EQ(v.value, 4);
}
