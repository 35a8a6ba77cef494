#include "charts/ChartBoxCommands.h"

#include "charts/AncestorItem.h"
#include "charts/DescendantItem.h"
#include "document/DocumentCommands.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/UndoManager.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"

namespace kl {

using RecordPtr = std::shared_ptr<GEDCOMRecord>;

BoxRecords BoxRecords::of(const TreeItem& item) {
    BoxRecords box;
    box.individual = item.individual();
    box.person = std::dynamic_pointer_cast<INDIRecord>(box.individual);
    if (item.isAncestor()) {
        box.kind = Kind::Ancestor;
    } else if (item.spouseRecord()) {
        box.kind = Kind::Family;
        box.family = std::dynamic_pointer_cast<FAMRecord>(item.itemRecord());
    } else {
        box.kind = Kind::Person;
        if (const TreeItem* parent = item.parentCell()) {
            box.hasParentNode = true;
            box.parentNodeRecord = parent->itemRecord();
        }
    }
    return box;
}

namespace {

// Pedigree code of a child attached as born to the family.
constexpr int kBirth = 0;

class UndoStep {
public:
    explicit UndoStep(GEDCOMModel& model, const char* name = nullptr) : undo_(model.undoManager()), name_(name) {
        if (undo_) undo_->beginUndoGrouping();
    }
    ~UndoStep() {
        if (!undo_) return;
        if (name_) undo_->setActionName(name_);
        undo_->endUndoGrouping();
    }
    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;

private:
    UndoManager* undo_;
    const char* name_;
};

bool isWoman(const INDIRecord& person) { return person.sexChar() == u'F'; }

std::vector<BoxMenuItem> commandGroup(const BoxRecords& box) {
    using T = ChartBoxCommands;
    std::vector<BoxMenuItem> items;
    switch (box.kind) {
    case BoxRecords::Kind::Ancestor: {
        if (!box.person) break;
        const auto parents = box.person->parentsFAM();
        if (!parents) {
            items = {{"Attach an Existing Family", T::AttachExistingFamily},
                     {"Make New Family with Father", T::NewFamilyWithFather},
                     {"Make New Family with Mother", T::NewFamilyWithMother},
                     {"Make New Family with New Spouses", T::NewFamilyWithNewSpouses}};
        } else if (parents->husbandRecord() && parents->wifeRecord()) {
            items = {{"Detach Father", T::DetachFather},
                     {"Detach Mother", T::DetachMother},
                     {"Detach Both Parents", T::DetachFromParentsFamily}};
        } else if (parents->husbandRecord()) {
            // With one parent, detaching it means leaving that family.
            items = {{"Detach Father", T::DetachFromParentsFamily}, {"Attach Mother", T::AttachMother}};
        } else {
            items = {{"Attach Father", T::AttachFather}, {"Detach Mother", T::DetachFromParentsFamily}};
        }
        break;
    }
    case BoxRecords::Kind::Person: {
        if (!box.person) break;
        const char16_t sex = box.person->sexChar();
        if (sex == u'F')
            items = {{"Make New Family with Known Husband", T::NewFamilyWithKnownSpouse},
                     {"Make New Family with Unknown Husband", T::NewFamilyWithUnknownSpouse}};
        else if (sex == u'M')
            items = {{"Make New Family with Known Wife", T::NewFamilyWithKnownSpouse},
                     {"Make New Family with Unknown Wife", T::NewFamilyWithUnknownSpouse}};
        if (box.hasParentNode) items.push_back({"Detach from Parents", T::DetachFromParents});
        const std::size_t families = box.person->spouseFamsRecs().size();
        if (families >= 2)
            items.push_back({"Click on Spouses for Detach Options", -1});
        else if (families == 1)
            items.push_back({"Click on Spouse for Detach Options", -1});
        break;
    }
    case BoxRecords::Kind::Family: {
        if (!box.family) break;
        const bool children = !box.family->children().empty();
        items.push_back({"Attach Child", T::AttachChild});
        if (children) items.push_back({"Detach Child", T::DetachChild});
        if (box.person) {
            const std::string who = isWoman(*box.person) ? "Wife" : "Husband";
            items.push_back({children ? "Detach this " + who + " but Keep the Children"
                                      : "Detach this " + who + " but keep Marriage Info",
                             T::DetachShownSpouse});
            items.push_back({children ? "Detach this " + who + " and the Children"
                                      : "Detach this " + who + " and Marriage Info",
                             T::DetachTreePerson});
        } else {
            items.push_back({box.family->husbandRecord() ? "Attach Wife" : "Attach Husband", T::AttachMissingSpouse});
            items.push_back({children ? "Detach this Family and the Children" : "Detach this Family", T::DetachTreePerson});
        }
        break;
    }
    }
    return items;
}

std::vector<BoxMenuItem> openGroup(const BoxRecords& box) {
    using T = ChartBoxCommands;
    std::vector<BoxMenuItem> items;
    if (box.person) items.push_back({"Open Individual Record", T::OpenIndividual});
    if (box.kind == BoxRecords::Kind::Family)
        items.push_back({"Open Family Record", T::OpenFamily});
    else if (box.kind == BoxRecords::Kind::Ancestor && box.person && box.person->firstChildWithTag("FAMC"))
        items.push_back({"Open Parent's Family Record", T::OpenParentsFamily});
    if (box.person) items.push_back({"View Relationship...", T::ViewRelationship});
    return items;
}

std::shared_ptr<RecordsList> sortedList(GEDCOMModel& model, const std::string& type) {
    return model.recordsIndex().listForType(type);
}

std::vector<RecordPtr> recordsOf(const std::shared_ptr<RecordsList>& list) {
    return list ? std::vector<RecordPtr>(list->order().begin(), list->order().end()) : std::vector<RecordPtr>();
}

std::vector<RecordPtr> singleSex(GEDCOMModel& model, char16_t sex) {
    std::vector<RecordPtr> people;
    for (const RecordPtr& record : recordsOf(sortedList(model, "INDI")))
        if (auto person = std::dynamic_pointer_cast<INDIRecord>(record); person && person->sexChar() == sex)
            people.push_back(record);
    return people;
}

// The options every individual and family selection carries, with the
// list's sort when it has one.
Dictionary selectionOptions(GEDCOMModel& model, const std::string& type, const std::string& message, int helpTag) {
    Dictionary options{{"message", Value(message)}, {"mustSelect", Value("YES")}, {"recordType", Value(type)}};
    if (const auto list = sortedList(model, type)) {
        options.set("sortOrder", Value(list->sortOrder()));
        if (!list->howSorted().empty()) {
            Array sort;
            for (const std::string& key : list->howSorted()) sort.push_back(Value(key));
            options.set("howSorted", Value(std::move(sort)));
        }
    }
    if (helpTag) options.set("helpTag", Value(helpTag));
    return options;
}

void offerNew(Dictionary& options, const char* title, const char* help) {
    options.set("newrecord", Value(title));
    options.set("newrecordhelp", Value(help));
}

std::string textOf(const Dictionary& info, const char* key) {
    const Value* value = info.get(key);
    return value ? value->toString() : std::string();
}

// The chosen person, or a new one when a new-record button answered.
std::shared_ptr<INDIRecord> chosenOrNew(GEDCOMModel& model, const RecordPtr& chosen, const Dictionary& info,
                                        bool woman) {
    if (chosen) return std::dynamic_pointer_cast<INDIRecord>(chosen);
    auto person = std::dynamic_pointer_cast<INDIRecord>(model.createNewRecordOfType("INDI", Value(!woman)));
    if (person) {
        if (const std::string typed = textOf(info, "FindText"); !typed.empty()) person->insertNewUserText(typed);
    }
    return person;
}

bool newIsWoman(const Dictionary& info) { return textOf(info, "newrecord") == "New Female"; }

}  // namespace

std::vector<BoxMenuItem> ChartBoxCommands::menuItems(const BoxRecords& box) {
    std::vector<BoxMenuItem> items;
    for (auto group : {openGroup(box), commandGroup(box)}) {
        if (group.empty()) continue;
        items.insert(items.end(), group.begin(), group.end());
        items.push_back({"", -1});
    }
    return items;
}

bool ChartBoxCommands::perform(int tag, const BoxRecords& box, GEDCOMModel& model) {
    switch (tag) {
    case DetachMother:
    case DetachFather:
    case DetachFromParentsFamily: {
        const auto parents = box.person ? box.person->parentsFAM() : nullptr;
        if (!parents) return false;
        UndoStep step(model);
        if (tag == DetachFromParentsFamily)
            parents->detachChild(box.person);
        else
            parents->detachSpouse(tag == DetachMother ? "WIFE" : "HUSB");
        return true;
    }
    case DetachTreePerson: {
        if (!box.family) return false;
        const auto husband = box.family->husbandRecord();
        UndoStep step(model);
        box.family->detachSpouse(husband && husband != box.person ? "HUSB" : "WIFE");
        return true;
    }
    case DetachShownSpouse: {
        if (!box.family || !box.person) return false;
        UndoStep step(model);
        box.family->detachSpouse(box.family->husbandRecord() == box.person ? "HUSB" : "WIFE");
        return true;
    }
    case DetachFromParents: {
        auto family = std::dynamic_pointer_cast<FAMRecord>(box.parentNodeRecord);
        if (!family || !box.person) return false;
        UndoStep step(model);
        family->detachChild(box.person);
        return true;
    }
    case NewFamilyWithUnknownSpouse: {
        if (!box.person) return false;
        UndoStep step(model);
        auto family = std::dynamic_pointer_cast<FAMRecord>(model.createNewRecordOfType("FAM"));
        if (!family) return false;
        family->attachSpouse(box.person, isWoman(*box.person) ? "WIFE" : "HUSB");
        return true;
    }
    default: return false;
    }
}

std::optional<BoxSelection> ChartBoxCommands::selection(int tag, const BoxRecords& box, GEDCOMModel& model) {
    BoxSelection ask;
    switch (tag) {
    case NewFamilyWithMother:
    case AttachMother:
    case NewFamilyWithFather:
    case AttachFather: {
        if (!box.person) return std::nullopt;
        const bool mother = tag == NewFamilyWithMother || tag == AttachMother;
        ask.candidates = singleSex(model, mother ? u'F' : u'M');
        if (ask.candidates.empty()) ask.candidates = recordsOf(sortedList(model, "INDI"));
        ask.options = selectionOptions(model, "INDI",
                                       mother ? "Select female to attach as a mother" : "Select male to attach as a father",
                                       7510);
        if (mother)
            offerNew(ask.options, "New Female",
                     "Create new individual record for the mother. If text was typed into the find field, it will be "
                     "used for the mother's name.");
        else
            offerNew(ask.options, "New Male",
                     "Create new individual record for the father. If text was typed into the find field, it will be "
                     "used for the father's name.");
        return ask;
    }
    case AttachExistingFamily:
        if (!box.person) return std::nullopt;
        ask.candidates = recordsOf(sortedList(model, "FAM"));
        ask.options = selectionOptions(model, "FAM", "Select family to attach as a child", 7510);
        return ask;
    case AttachMissingSpouse: {
        if (!box.family) return std::nullopt;
        const bool hasWife = box.family->wifeRecord() != nullptr;
        ask.candidates = singleSex(model, hasWife ? u'M' : u'F');
        ask.options = selectionOptions(model, "INDI", "Select spouse to attach to family", 7510);
        offerNew(ask.options, hasWife ? "New Male" : "New Female",
                 "Create new individual record for the spouse. If text was typed into the find field, it will be used "
                 "for the spouse's name.");
        return ask;
    }
    case AttachChild: {
        if (!box.family) return std::nullopt;
        ask.candidates = recordsOf(sortedList(model, "INDI"));
        ask.options = Dictionary{{"message", Value("Select individual to attach as a child")},
                                 {"newrecord", Value("Create Son")},
                                 {"recordaction", Value("Daughter")},
                                 {"newrecordhelp", Value("Create son. If text was typed into find field it will be "
                                                         "used for the name.")},
                                 {"recordactionhelp", Value("Create daughter. If text was typed into find field it "
                                                            "will be used for the name.")},
                                 {"mustSelect", Value("YES")},
                                 {"pedigree", Value(0)},
                                 {"helpTag", Value(7509)}};
        const auto husband = box.family->husbandRecord();
        ask.options.set("typeSelect", Value(husband ? husband->surname() + ", " : std::string()));
        return ask;
    }
    case DetachChild:
        if (!box.family) return std::nullopt;
        for (const auto& child : box.family->children()) ask.candidates.push_back(child);
        ask.options = Dictionary{{"message", Value("Select child to detach from this family")},
                                 {"mustSelect", Value("YES")},
                                 {"recordType", Value("INDI")}};
        return ask;
    case NewFamilyWithKnownSpouse: {
        if (!box.person) return std::nullopt;
        const bool woman = isWoman(*box.person);
        ask.candidates = singleSex(model, woman ? u'M' : u'F');
        ask.options = selectionOptions(model, "INDI", "Select spouse to attach to family", 7510);
        offerNew(ask.options, woman ? "New Male" : "New Female",
                 "Create new individual record for the spouse. If text was typed into the find field, it will be used "
                 "for the spouse's name.");
        return ask;
    }
    default: return std::nullopt;
    }
}

void ChartBoxCommands::finishSelection(int tag, const BoxRecords& box, GEDCOMModel& model, const RecordPtr& chosen,
                                       const Dictionary& info) {
    UndoStep step(model);
    switch (tag) {
    case NewFamilyWithMother:
    case AttachMother:
    case NewFamilyWithFather:
    case AttachFather: {
        if (!box.person) return;
        auto parent = chosenOrNew(model, chosen, info, newIsWoman(info));
        if (!parent) return;
        auto family = box.person->parentsFAM();
        const bool made = !family;
        if (made) family = std::dynamic_pointer_cast<FAMRecord>(model.createNewRecordOfType("FAM"));
        if (!family) return;
        family->attachSpouse(parent, newIsWoman(info) ? "WIFE" : "HUSB");
        if (made) family->attachChild(box.person, kBirth);
        return;
    }
    case AttachExistingFamily:
        if (auto family = std::dynamic_pointer_cast<FAMRecord>(chosen); family && box.person)
            family->attachChild(box.person, kBirth);
        return;
    case AttachChild: {
        if (!box.family) return;
        const bool daughter = info.get("RecordActionClick") != nullptr;
        auto child = chosenOrNew(model, daughter ? nullptr : chosen, info, daughter);
        if (child) box.family->attachChild(child, kBirth);
        return;
    }
    case DetachChild:
        if (auto child = std::dynamic_pointer_cast<INDIRecord>(chosen); child && box.family)
            box.family->detachChild(child);
        return;
    case NewFamilyWithKnownSpouse: {
        if (!box.person) return;
        auto spouse = chosenOrNew(model, chosen, info, newIsWoman(info));
        if (!spouse) return;
        auto family = std::dynamic_pointer_cast<FAMRecord>(model.createNewRecordOfType("FAM"));
        if (!family) return;
        const bool wife = newIsWoman(info);
        family->attachSpouse(spouse, wife ? "WIFE" : "HUSB");
        family->attachSpouse(box.person, wife ? "HUSB" : "WIFE");
        return;
    }
    case AttachMissingSpouse: {
        if (!box.family) return;
        auto spouse = chosenOrNew(model, chosen, info, newIsWoman(info));
        if (spouse) box.family->attachSpouse(spouse, box.family->wifeRecord() ? "HUSB" : "WIFE");
        return;
    }
    default: return;
    }
}

bool ChartBoxCommands::newFamilyWithNewSpouses(const BoxRecords& box, GEDCOMModel& model, const Array& settings) {
    if (!box.person) return false;
    UndoStep step(model, DocumentCommands::kNewFamilyRecord);
    const NewPeople people = DocumentCommands::makeFirstPeople(model, settings);
    if (!people.a && !people.b) return false;
    auto family = std::dynamic_pointer_cast<FAMRecord>(model.createNewRecordOfType("FAM", Value(true)));
    if (!family) return true;
    DocumentCommands::attachSpouses(*family, people);
    family->attachChild(box.person, kBirth);
    return true;
}

}  // namespace kl
