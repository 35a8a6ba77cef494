#pragma once
// ChartBoxCommands: the commands of a tree chart box's context menu that
// open the records behind the box, find its relationship to the tree
// person, and attach or detach parents, spouses and children.
//
// A box's records are taken when its menu opens (BoxRecords), so a command
// that first asks the user to pick a record acts on those records even if
// the tree reloads and drops the node meanwhile.
//
// Thread: main thread.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Value.h"

namespace kl {

class FAMRecord;
class GEDCOMModel;
class GEDCOMRecord;
class INDIRecord;
class TreeItem;

// The records behind one box.
struct BoxRecords {
    enum class Kind { Ancestor, Person, Family };
    Kind kind = Kind::Person;
    // The node's individual: a person, or a family box's family itself
    // when its spouse is missing.
    std::shared_ptr<GEDCOMRecord> individual;
    std::shared_ptr<INDIRecord> person;  // the individual when it is a person
    std::shared_ptr<FAMRecord> family;   // a family box's family
    // A person box below a family: that family (what "Detach from Parents"
    // leaves).
    std::shared_ptr<GEDCOMRecord> parentNodeRecord;
    bool hasParentNode = false;

    static BoxRecords of(const TreeItem& item);
};

// One item of the groups put in front of a box's base menu; a negative tag
// is a disabled label, an empty title a separator.
struct BoxMenuItem {
    std::string title;
    int tag = -1;
    bool operator==(const BoxMenuItem&) const = default;
};

// A record the user must pick before a command can finish.
struct BoxSelection {
    std::vector<std::shared_ptr<GEDCOMRecord>> candidates;
    Dictionary options;
};

class ChartBoxCommands {
public:
    enum Tag {
        OpenFamily = 0,
        OpenIndividual = 2,
        OpenParentsFamily = 3,
        NewFamilyWithMother = 4,
        NewFamilyWithFather = 5,
        AttachExistingFamily = 6,
        DetachMother = 7,
        DetachFather = 8,
        AttachMother = 9,
        AttachFather = 10,
        DetachFromParentsFamily = 11,
        DetachTreePerson = 12,
        AttachMissingSpouse = 13,
        DetachShownSpouse = 14,
        AttachChild = 15,
        DetachChild = 16,
        DetachFromParents = 17,
        NewFamilyWithKnownSpouse = 18,
        NewFamilyWithUnknownSpouse = 19,
        ViewRelationship = 20,
        NewFamilyWithNewSpouses = 21,
    };
    static constexpr const char* kNoNewAncestor =
        "You must enter at least one new ancestor to attach a new family with new spouses";

    // The open group and the command group, top to bottom, each followed by
    // a separator when not empty.
    static std::vector<BoxMenuItem> menuItems(const BoxRecords& box);

    // The commands that change the records at once (7, 8, 11, 12, 14, 17,
    // 19), each one undo step; false for another tag or nothing to do.
    static bool perform(int tag, const BoxRecords& box, GEDCOMModel& model);

    // What the user must pick for tags 4-6, 9, 10, 13, 15, 16 and 18;
    // nullopt for another tag.
    static std::optional<BoxSelection> selection(int tag, const BoxRecords& box, GEDCOMModel& model);
    // The picker's answer: the chosen record, or none when a new-record
    // button was used, with the picker's "newrecord", "FindText" and
    // "RecordActionClick". One undo step.
    static void finishSelection(int tag, const BoxRecords& box, GEDCOMModel& model,
                                const std::shared_ptr<GEDCOMRecord>& chosen, const Dictionary& info);

    // The new-family sheet's answer for tag 21: false when it named no new
    // person (the caller beeps and alerts kNoNewAncestor).
    static bool newFamilyWithNewSpouses(const BoxRecords& box, GEDCOMModel& model, const Array& settings);
};

}  // namespace kl
