#include "Platform/core/UndoManager.h"

#include <algorithm>
#include <utility>

namespace Platform {

void UndoManager::registerUndo(const void* target, Action action) {
    if (!isUndoRegistrationEnabled() || !action)
        return;
    Registration registration{target, std::move(action)};
    if (replay_ != Replay::none) {
        replayRecord_.registrations.push_back(std::move(registration));
        return;
    }
    if (groupingLevel_ > 0) {
        if (!openGroupHasStarted_)
            redoSteps_.clear();
        openGroupHasStarted_ = true;
        openGroup_.registrations.push_back(std::move(registration));
        return;
    }
    redoSteps_.clear();
    Step step;
    step.registrations.push_back(std::move(registration));
    pushStep(undoSteps_, std::move(step));
    notify(Change::done);
}

void UndoManager::beginUndoGrouping() {
    ++groupingLevel_;
}

void UndoManager::endUndoGrouping() {
    if (groupingLevel_ == 0)
        return;
    if (--groupingLevel_ > 0)
        return;
    Step group = std::exchange(openGroup_, Step{});
    bool hasActions = !group.registrations.empty();
    openGroupHasStarted_ = false;
    if (!hasActions)
        return;
    pushStep(undoSteps_, std::move(group));
    notify(Change::done);
}

void UndoManager::disableUndoRegistration() {
    ++disabledLevel_;
}

void UndoManager::enableUndoRegistration() {
    if (disabledLevel_ > 0)
        --disabledLevel_;
}

bool UndoManager::canUndo() const {
    return !undoSteps_.empty() || !openGroup_.registrations.empty();
}

bool UndoManager::canRedo() const {
    return !redoSteps_.empty();
}

bool UndoManager::undo() {
    // An undo in the middle of a user action first completes that action.
    while (groupingLevel_ > 0)
        endUndoGrouping();
    return replayLatest(undoSteps_, redoSteps_, Replay::undoing, Change::undone);
}

bool UndoManager::redo() {
    return replayLatest(redoSteps_, undoSteps_, Replay::redoing, Change::redone);
}

bool UndoManager::replayLatest(std::vector<Step>& from, std::vector<Step>& to, Replay replay,
                               Change change) {
    if (replay_ != Replay::none || from.empty())
        return false;
    Step step = std::move(from.back());
    from.pop_back();
    replay_ = replay;
    replayRecord_ = Step{step.actionName, {}};
    for (auto it = step.registrations.rbegin(); it != step.registrations.rend(); ++it)
        it->action();
    replay_ = Replay::none;
    Step reverse = std::exchange(replayRecord_, Step{});
    if (!reverse.registrations.empty())
        pushStep(to, std::move(reverse));
    notify(change);
    return true;
}

void UndoManager::pushStep(std::vector<Step>& stack, Step step) {
    step.id = ++lastStepId_;
    stack.push_back(std::move(step));
    if (levelsOfUndo_ > 0 && stack.size() > levelsOfUndo_)
        stack.erase(stack.begin(), stack.end() - static_cast<std::ptrdiff_t>(levelsOfUndo_));
}

void UndoManager::setActionName(const std::string& actionName) {
    if (groupingLevel_ > 0)
        openGroup_.actionName = actionName;
    else if (!undoSteps_.empty())
        undoSteps_.back().actionName = actionName;
}

std::string UndoManager::undoActionName() const {
    return undoSteps_.empty() ? std::string() : undoSteps_.back().actionName;
}

std::string UndoManager::redoActionName() const {
    return redoSteps_.empty() ? std::string() : redoSteps_.back().actionName;
}

std::uint64_t UndoManager::latestUndoStepId() const {
    return undoSteps_.empty() ? 0 : undoSteps_.back().id;
}

void UndoManager::removeAllActions() {
    undoSteps_.clear();
    redoSteps_.clear();
    openGroup_ = Step{};
    openGroupHasStarted_ = false;
    groupingLevel_ = 0;
}

void UndoManager::removeAllActionsWithTarget(const void* target) {
    auto removeFrom = [target](std::vector<Step>& steps) {
        for (Step& step : steps)
            std::erase_if(step.registrations,
                          [target](const Registration& r) { return r.target == target; });
        std::erase_if(steps, [](const Step& step) { return step.registrations.empty(); });
    };
    removeFrom(undoSteps_);
    removeFrom(redoSteps_);
    std::erase_if(openGroup_.registrations,
                  [target](const Registration& r) { return r.target == target; });
}

void UndoManager::setLevelsOfUndo(std::size_t levels) {
    levelsOfUndo_ = levels;
    if (levels == 0)
        return;
    for (auto* stack : {&undoSteps_, &redoSteps_})
        if (stack->size() > levels)
            stack->erase(stack->begin(), stack->end() - static_cast<std::ptrdiff_t>(levels));
}

UndoManager::History UndoManager::history() const {
    return History{undoSteps_, redoSteps_};
}

void UndoManager::restoreHistory(History history) {
    undoSteps_ = std::move(history.undoSteps);
    redoSteps_ = std::move(history.redoSteps);
}

void UndoManager::notify(Change change) const {
    if (changeObserver_)
        changeObserver_(change);
}

} // namespace Platform
