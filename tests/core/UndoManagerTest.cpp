#include "Platform/core/UndoManager.h"

#include <gtest/gtest.h>

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

TEST(UndoManager, UndoAndRedoWalkThroughTheHistory) {
    UndoManager undo;
    UndoableValue v{undo};
    EXPECT_FALSE(undo.canUndo());
    EXPECT_FALSE(undo.undo());
    v.set(1);
    v.set(2);
    v.set(3);
    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(v.value, 2);
    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(v.value, 1);
    EXPECT_TRUE(undo.canRedo());
    ASSERT_TRUE(undo.redo());
    EXPECT_EQ(v.value, 2);
    ASSERT_TRUE(undo.redo());
    EXPECT_EQ(v.value, 3);
    EXPECT_FALSE(undo.canRedo());
    EXPECT_FALSE(undo.redo());
    // Redone steps can be undone again.
    ASSERT_TRUE(undo.undo());
    ASSERT_TRUE(undo.undo());
    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(v.value, 0);
    EXPECT_FALSE(undo.canUndo());
}

TEST(UndoManager, ANewChangeDropsTheRedoSteps) {
    UndoManager undo;
    UndoableValue v{undo};
    v.set(1);
    v.set(2);
    undo.undo();
    ASSERT_TRUE(undo.canRedo());
    v.set(5);
    EXPECT_FALSE(undo.canRedo());
    undo.undo();
    EXPECT_EQ(v.value, 1);
}

TEST(UndoManager, StepNamesTravelBetweenUndoAndRedo) {
    UndoManager undo;
    UndoableValue v{undo};
    v.set(1);
    undo.setActionName("Set One");
    v.set(2);
    undo.setActionName("Set Two");
    EXPECT_EQ(undo.undoActionName(), "Set Two");
    undo.undo();
    EXPECT_EQ(undo.undoActionName(), "Set One");
    EXPECT_EQ(undo.redoActionName(), "Set Two");
    undo.redo();
    EXPECT_EQ(undo.undoActionName(), "Set Two");
    EXPECT_EQ(undo.redoActionName(), "");
    // Naming with nothing to undo is harmless.
    undo.removeAllActions();
    undo.setActionName("Nothing");
    EXPECT_EQ(undo.undoActionName(), "");
}

TEST(UndoManager, DisablingNestsAndSuppressesRegistration) {
    UndoManager undo;
    UndoableValue v{undo};
    undo.disableUndoRegistration();
    undo.disableUndoRegistration();
    v.set(1);
    undo.enableUndoRegistration();
    v.set(2);
    EXPECT_FALSE(undo.isUndoRegistrationEnabled());
    EXPECT_FALSE(undo.canUndo());
    undo.enableUndoRegistration();
    EXPECT_TRUE(undo.isUndoRegistrationEnabled());
    v.set(3);
    undo.undo();
    EXPECT_EQ(v.value, 2);
    // An extra enable does not leave registration switched on too early later.
    undo.enableUndoRegistration();
    undo.disableUndoRegistration();
    EXPECT_FALSE(undo.isUndoRegistrationEnabled());
}

TEST(UndoManager, GroupingMakesOneStepUndoneInReverseOrder) {
    UndoManager undo;
    std::vector<int> order;
    undo.beginUndoGrouping();
    undo.registerUndo(nullptr, [&order] { order.push_back(1); });
    undo.beginUndoGrouping();
    undo.registerUndo(nullptr, [&order] { order.push_back(2); });
    undo.endUndoGrouping();
    undo.setActionName("Both");
    undo.registerUndo(nullptr, [&order] { order.push_back(3); });
    undo.endUndoGrouping();
    EXPECT_EQ(undo.undoActionName(), "Both");
    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(order, (std::vector<int>{3, 2, 1}));
    EXPECT_FALSE(undo.canUndo());
}

TEST(UndoManager, AnEmptyGroupAddsNoStep) {
    UndoManager undo;
    int changes = 0;
    undo.setChangeObserver([&changes](UndoManager::Change) { ++changes; });
    undo.beginUndoGrouping();
    undo.endUndoGrouping();
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(changes, 0);
}

TEST(UndoManager, LevelLimitDropsTheOldestSteps) {
    UndoManager undo;
    UndoableValue v{undo};
    undo.setLevelsOfUndo(2);
    for (int i = 1; i <= 5; ++i)
        v.set(i);
    EXPECT_TRUE(undo.undo());
    EXPECT_TRUE(undo.undo());
    EXPECT_FALSE(undo.undo());
    EXPECT_EQ(v.value, 3);
    // Lowering the limit trims the stacks already there.
    undo.setLevelsOfUndo(1);
    EXPECT_TRUE(undo.redo());
    EXPECT_FALSE(undo.redo());
}

TEST(UndoManager, RemoveAllActionsEmptiesBothStacks) {
    UndoManager undo;
    UndoableValue v{undo};
    v.set(1);
    v.set(2);
    undo.undo();
    undo.removeAllActions();
    EXPECT_FALSE(undo.canUndo());
    EXPECT_FALSE(undo.canRedo());
    EXPECT_EQ(undo.undoActionName(), "");
}

TEST(UndoManager, RemovingATargetKeepsTheOthers) {
    UndoManager undo;
    UndoableValue a{undo};
    UndoableValue b{undo};
    a.set(1);
    b.set(1);
    a.set(2);
    undo.removeAllActionsWithTarget(&a);
    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(b.value, 0);
    EXPECT_EQ(a.value, 2);
    EXPECT_FALSE(undo.canUndo());
}

TEST(UndoManager, ObserverCountsDoneUndoneAndRedone) {
    UndoManager undo;
    UndoableValue v{undo};
    std::vector<UndoManager::Change> changes;
    undo.setChangeObserver([&changes](UndoManager::Change c) { changes.push_back(c); });
    v.set(1);
    undo.undo();
    undo.redo();
    undo.disableUndoRegistration();
    v.set(4);
    undo.enableUndoRegistration();
    using C = UndoManager::Change;
    EXPECT_EQ(changes, (std::vector<C>{C::done, C::undone, C::redone}));
}

TEST(UndoManager, UndoInsideAnActionIsRefused) {
    UndoManager undo;
    bool nestedResult = true;
    undo.registerUndo(nullptr, [&] { nestedResult = undo.undo(); });
    undo.registerUndo(nullptr, [] {});
    undo.undo();
    undo.undo();
    EXPECT_FALSE(nestedResult);
}

TEST(UndoManager, HistoryRestoresBothStacks) {
    UndoManager undo;
    UndoableValue v{undo};
    v.set(1);
    undo.setActionName("One");
    v.set(2);
    undo.undo();
    UndoManager::History saved = undo.history();
    undo.removeAllActions();
    undo.restoreHistory(saved);
    EXPECT_EQ(undo.undoActionName(), "One");
    EXPECT_TRUE(undo.canRedo());
    undo.redo();
    EXPECT_EQ(v.value, 2);
}
