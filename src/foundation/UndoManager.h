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
// Grouped by event (setGroupsByEvent): the first registration outside any
// group opens a group of its own and asks the caller's scheduler to close
// it (endEventGroup) once the current turn of the event loop is over, so
// everything one command does is one step. Undo and redo close that group
// first; while it is open its name is the one the Undo item shows.
//
// An observer learns of every change that moves the document's change
// count, as a desktop document counts them: a group closed on the undo
// stack by a fresh change (done), a group undone, a group redone. The
// inverse groups that undo and redo build are not fresh changes.
// Main thread only.
#include <functional>
#include <memory>
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

    // The scheduler is called once per event group, when it opens; nullptr
    // turns grouping by event off.
    void setGroupsByEvent(std::function<void()> scheduleClose) { scheduleClose_ = std::move(scheduleClose); }
    bool groupsByEvent() const { return static_cast<bool>(scheduleClose_); }
    // Closes the group opened for this turn, if it is still open.
    void endEventGroup();
    // Expires with the manager: a close scheduled for later checks it first.
    std::weak_ptr<const void> lifetime() const { return alive_; }

    void beginUndoGrouping();
    void endUndoGrouping();
    int groupingLevel() const { return static_cast<int>(open_.size()); }

    // Names the open group, else the group on top of the undo stack.
    void setActionName(std::string name);
    std::string undoActionName() const;
    std::string redoActionName() const;

    bool canUndo() const { return !undoStack_.empty() || eventGroupHasActions(); }
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
    bool eventGroupHasActions() const { return eventGroupOpen_ && !open_.empty() && !open_.front().entries.empty(); }
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
    std::function<void()> scheduleClose_;
    bool eventGroupOpen_ = false;  // open_.front() is the event's group
    std::shared_ptr<const void> alive_ = std::make_shared<int>(0);
};

}  // namespace kl
