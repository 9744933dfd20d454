#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Platform {

// Records the inverse of every change as a named step that undo() replays.
//
// Steps: by default each registration outside undo and redo is a step of its
// own. Several registrations that belong to one user action are joined into
// one step by enclosing them in beginUndoGrouping()/endUndoGrouping(); groups
// nest, and the step is complete when the outermost group ends. Undoing a
// step runs its actions in the reverse order of their registration.
//
// Registering while undoing records the redo step; registering while redoing
// records the undo step again; a registration outside both starts a new
// history branch, so the redo steps are dropped.
class UndoManager {
public:
    using Action = std::function<void()>;

    // What happened to the history, for the owner's change count.
    enum class Change { done, undone, redone };
    using ChangeObserver = std::function<void(Change)>;

    struct Registration {
        const void* target = nullptr;
        Action action;
    };
    struct Step {
        std::string actionName;
        std::vector<Registration> registrations;
        // Names the step from when it lands on a stack; never reused.
        std::uint64_t id = 0;
    };
    // Both stacks, the latest step last; what a failed operation restores.
    struct History {
        std::vector<Step> undoSteps;
        std::vector<Step> redoSteps;
    };

    UndoManager() = default;
    UndoManager(const UndoManager&) = delete;
    UndoManager& operator=(const UndoManager&) = delete;

    // Records an action that reverses a change of `target`. Ignored while
    // registration is disabled or the action is empty.
    void registerUndo(const void* target, Action action);

    void beginUndoGrouping();
    void endUndoGrouping();
    int groupingLevel() const { return groupingLevel_; }

    // Disabling nests: registration resumes after as many enables.
    void disableUndoRegistration();
    void enableUndoRegistration();
    bool isUndoRegistrationEnabled() const { return disabledLevel_ == 0; }

    bool canUndo() const;
    bool canRedo() const;
    // Replay the latest step; false when there is none or a replay is running.
    bool undo();
    bool redo();
    bool isUndoing() const { return replay_ == Replay::undoing; }
    bool isRedoing() const { return replay_ == Replay::redoing; }

    // Names the step being built, or else the latest undo step.
    void setActionName(const std::string& actionName);
    std::string undoActionName() const;
    std::string redoActionName() const;
    // The id of the step undo() would replay; 0 when there is none. A change
    // that continues the latest step (the rest of a gesture) checks that no
    // other step, undo or redo came in between.
    std::uint64_t latestUndoStepId() const;

    void removeAllActions();
    // Forgets every action of a target that is about to go away.
    void removeAllActionsWithTarget(const void* target);

    // The most steps kept on each stack; 0 keeps all. The oldest go first.
    void setLevelsOfUndo(std::size_t levels);
    std::size_t levelsOfUndo() const { return levelsOfUndo_; }

    void setChangeObserver(ChangeObserver observer) { changeObserver_ = std::move(observer); }

    History history() const;
    void restoreHistory(History history);

private:
    enum class Replay { none, undoing, redoing };

    bool replayLatest(std::vector<Step>& from, std::vector<Step>& to, Replay replay, Change change);
    void pushStep(std::vector<Step>& stack, Step step);
    void notify(Change change) const;

    std::vector<Step> undoSteps_;
    std::vector<Step> redoSteps_;
    Step openGroup_;
    bool openGroupHasStarted_ = false;
    int groupingLevel_ = 0;
    int disabledLevel_ = 0;
    std::size_t levelsOfUndo_ = 0;
    Replay replay_ = Replay::none;
    // Collects what the actions of a replayed step register: the step that
    // reverses the replay.
    Step replayRecord_;
    ChangeObserver changeObserver_;
    std::uint64_t lastStepId_ = 0;
};

} // namespace Platform
