#include "foundation/UndoManager.h"

#include <algorithm>

namespace kl {

std::vector<UndoManager::Group>& UndoManager::registrationStack() {
    return undoing_ ? redoStack_ : undoStack_;
}

void UndoManager::registerUndo(const void* target, Action action) {
    if (disabled_ > 0) return;
    if (open_.empty() && scheduleClose_ && !undoing_ && !redoing_) {
        beginUndoGrouping();
        eventGroupOpen_ = true;
        scheduleClose_();
    }
    if (!open_.empty()) {
        open_.back().entries.push_back({target, std::move(action)});
        return;
    }
    // A fresh change (not one made by undo or redo) invalidates what could
    // be redone.
    const bool fresh = !undoing_ && !redoing_;
    if (fresh) redoStack_.clear();
    Group g;
    g.entries.push_back({target, std::move(action)});
    registrationStack().push_back(std::move(g));
    if (fresh) tell(Change::Done);
}

void UndoManager::beginUndoGrouping() { open_.emplace_back(); }

void UndoManager::endEventGroup() {
    if (!eventGroupOpen_) return;
    // Groups a command left open close with the turn that opened them.
    while (open_.size() > 1) endUndoGrouping();
    endUndoGrouping();
}

void UndoManager::endUndoGrouping() {
    if (open_.empty()) return;
    if (open_.size() == 1) eventGroupOpen_ = false;
    Group g = std::move(open_.back());
    open_.pop_back();
    if (!open_.empty()) {
        // Nested groups fold into their parent; the outer name wins.
        auto& parent = open_.back();
        if (parent.name.empty()) parent.name = g.name;
        for (auto& e : g.entries) parent.entries.push_back(std::move(e));
        return;
    }
    if (g.entries.empty()) return;
    const bool fresh = !undoing_ && !redoing_;
    if (fresh) redoStack_.clear();
    registrationStack().push_back(std::move(g));
    if (fresh) tell(Change::Done);
}

void UndoManager::setActionName(std::string name) {
    if (!open_.empty())
        open_.back().name = std::move(name);
    else if (!undoStack_.empty())
        undoStack_.back().name = std::move(name);
}

std::string UndoManager::undoActionName() const {
    if (eventGroupHasActions()) return open_.front().name;
    return undoStack_.empty() ? std::string() : undoStack_.back().name;
}

std::string UndoManager::redoActionName() const {
    return redoStack_.empty() ? std::string() : redoStack_.back().name;
}

bool UndoManager::runGroup(std::vector<Group>& from, bool undoing) {
    if (from.empty()) return false;
    Group g = std::move(from.back());
    from.pop_back();
    bool& flag = undoing ? undoing_ : redoing_;
    flag = true;
    // The inverse actions registered while running form the mirror group.
    open_.emplace_back();
    open_.back().name = g.name;
    for (auto it = g.entries.rbegin(); it != g.entries.rend(); ++it) it->action();
    Group mirror = std::move(open_.back());
    open_.pop_back();
    if (!mirror.entries.empty()) (undoing ? redoStack_ : undoStack_).push_back(std::move(mirror));
    flag = false;
    return true;
}

void UndoManager::undo() {
    endEventGroup();
    if (runGroup(undoStack_, true)) tell(Change::Undone);
}

void UndoManager::redo() {
    endEventGroup();
    if (runGroup(redoStack_, false)) tell(Change::Redone);
}

void UndoManager::removeAllActions() {
    undoStack_.clear();
    redoStack_.clear();
    if (eventGroupOpen_) open_.front().entries.clear();
}

void UndoManager::prune(std::vector<Group>& stack, const std::function<bool(const void*)>& isTarget) {
    for (auto& g : stack)
        g.entries.erase(std::remove_if(g.entries.begin(), g.entries.end(),
                                       [&](const Entry& e) { return isTarget(e.target); }),
                        g.entries.end());
    stack.erase(std::remove_if(stack.begin(), stack.end(), [](const Group& g) { return g.entries.empty(); }),
                stack.end());
}

void UndoManager::removeAllActionsWithTarget(const void* target) {
    removeAllActionsMatching([target](const void* t) { return t == target; });
}

void UndoManager::removeAllActionsMatching(const std::function<bool(const void*)>& isTarget) {
    prune(undoStack_, isTarget);
    prune(redoStack_, isTarget);
    for (auto& g : open_)
        g.entries.erase(std::remove_if(g.entries.begin(), g.entries.end(),
                                       [&](const Entry& e) { return isTarget(e.target); }),
                        g.entries.end());
}

}  // namespace kl
