#pragma once
// UndoManager: a stack of named groups of inverse actions, each tied to the
// object it changes (its target) so that a record's actions can be dropped
// when the record goes away. An action that is run during undo registers its
// own inverse, which lands on the redo stack, and the other way round.
//
// Registrations outside an explicit group form a group of their own. The
// switch for registration nests: every disable needs its enable, and an
// enable only turns registration back on when the count returns to zero.
//
// An observer learns of every change that moves the document's change
// count, as a desktop document counts them: a group closed on the undo
// stack by a fresh change (done), a group undone, a group redone. The
// inverse groups that undo and redo build are not fresh changes.
// Main thread only.
#include <functional>
#include <string>
#include <vector>

namespace kl {

class UndoManager {
public:
    using Action = std::function<void()>;
    enum class Change { Done, Undone, Redone };
    using ChangeObserver = std::function<void(Change)>;

    // One observer (the owning document); nullptr removes it. It is told
    // after the change, so it may read the stacks.
    void setChangeObserver(ChangeObserver observer) { observer_ = std::move(observer); }

    void registerUndo(const void* target, Action action);

    void beginUndoGrouping();
    void endUndoGrouping();
    int groupingLevel() const { return static_cast<int>(open_.size()); }

    // Names the open group, else the group on top of the undo stack.
    void setActionName(std::string name);
    std::string undoActionName() const;
    std::string redoActionName() const;

    bool canUndo() const { return !undoStack_.empty(); }
    bool canRedo() const { return !redoStack_.empty(); }
    void undo();
    void redo();
    bool isUndoing() const { return undoing_; }
    bool isRedoing() const { return redoing_; }

    void disableUndoRegistration() { ++disabled_; }
    void enableUndoRegistration() {
        if (disabled_ > 0) --disabled_;
    }
    bool isUndoRegistrationEnabled() const { return disabled_ == 0; }

    void removeAllActions();
    void removeAllActionsWithTarget(const void* target);
    // For a subtree: drops every action whose target the predicate accepts.
    void removeAllActionsMatching(const std::function<bool(const void*)>& isTarget);

    std::size_t undoCount() const { return undoStack_.size(); }
    std::size_t redoCount() const { return redoStack_.size(); }

private:
    struct Entry {
        const void* target;
        Action action;
    };
    struct Group {
        std::string name;
        std::vector<Entry> entries;
    };

    std::vector<Group>& registrationStack();
    // False when there was no group to run.
    bool runGroup(std::vector<Group>& from, bool undoing);
    static void prune(std::vector<Group>& stack, const std::function<bool(const void*)>& isTarget);
    void tell(Change change) const {
        if (observer_) observer_(change);
    }

    std::vector<Group> undoStack_;
    std::vector<Group> redoStack_;
    std::vector<Group> open_;  // nested explicit groups, innermost last
    int disabled_ = 0;
    bool undoing_ = false;
    bool redoing_ = false;
    ChangeObserver observer_;
};

}  // namespace kl
