#include "browser/RecordLinking.h"

#include <algorithm>

#include "app/LibraryFolder.h"
#include "browser/RecordEditing.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "document/RecordsListForPanel.h"
#include "model/EVENTRecord.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/OBJERecord.h"

namespace kl {

namespace {

bool contains(const std::vector<std::string>* list, const std::string& text) {
    return list && std::find(list->begin(), list->end(), text) != list->end();
}

std::string typeName(GEDCOMModel& model, const GEDCOMRecord& record) {
    const std::string name = model.singularNameForType(record.recordType());
    return name.empty() || name == "????" ? record.recordType() : name;
}

std::string textOf(const Dictionary& info, std::string_view key) {
    const Value* value = info.get(key);
    return value ? value->toString() : std::string();
}

}  // namespace

std::string RecordLinking::fill(std::string text, const std::string& value) {
    if (const auto at = text.find("%@"); at != std::string::npos) text.replace(at, 2, value);
    return text;
}

// ---- validation

std::optional<DocumentMenuAnswer> RecordLinking::validateTag(int tag, const Facts& facts) {
    GEDCOMRecord* record = facts.record;
    const bool unlocked = record && !record->isLocked();
    const bool individual = record && record->isType("INDI");
    auto* family = dynamic_cast<FAMRecord*>(record);
    const bool citeable = record && !individual && !family && record->isCiteableType();
    const auto answer = [](bool enabled, std::optional<std::string> title = std::nullopt) {
        return DocumentMenuAnswer{enabled, std::move(title)};
    };
    switch (tag) {
    case kAttachHusbandTag:
    case kAttachWifeTag:
    case kAttachChildTag: {
        std::optional<std::string> title;
        bool allowed = false;
        const bool husbandItem = tag == kAttachHusbandTag;
        if (individual) {
            title = tag == kAttachChildTag ? "As Child in New Family"
                    : husbandItem         ? "As Husband in New Family"
                                          : "As Wife in New Family";
            const std::string sex = static_cast<INDIRecord*>(record)->sex();
            allowed = tag == kAttachChildTag || sex == (husbandItem ? "M" : "F");
        } else if (family) {
            const bool hasHusband = !family->husbandID().empty();
            const bool hasWife = !family->wifeID().empty();
            if (tag == kAttachChildTag) {
                title = "Child...";
                allowed = true;
            } else {
                allowed = !hasHusband || !hasWife;
                if (husbandItem) title = hasHusband && !hasWife ? "Male Partner..." : "Husband...";
                else title = hasWife && !hasHusband ? "Female Partner..." : "Wife...";
            }
        } else if (citeable && tag != kAttachChildTag) {
            title = husbandItem ? "Link From Individual..." : "Link From Family...";
            allowed = true;
        }
        return answer(unlocked && allowed, title);
    }
    case kAssociationTag: return answer(true);
    case kAttachEventTag: return answer(unlocked && (individual || family));
    case kLinkNotesTag: return answer(unlocked && contains(facts.dropTypes, "NOTE"));
    case kLinkSourceTag: return answer(unlocked && contains(facts.dropTypes, "SOUR"));
    case kLinkMultimediaTag:
        return answer(unlocked && (record->isType("OBJE") || contains(facts.dropTypes, "OBJE")),
                      record && record->isType("OBJE") ? "Link to File or Address..." : "Multimedia Object...");
    case kLinkLogTag: return answer(unlocked && contains(facts.dropTypes, "_LOG"));
    case kOptionalDataTag: return answer(unlocked && facts.hasOptionalTags);
    case kQuickCommentTag: return answer(facts.canQuickComment);
    case SortChildren: return answer(unlocked && family && facts.children >= 2);
    case SortSpouseFamilies: return answer(unlocked && individual && record->countChildren("FAMS") >= 2);
    case SortEvents: return answer(unlocked && (individual || family || record->isType("_PLC")));
    case SortMultimediaLinks: return answer(unlocked && (individual || family) && record->countChildren("OBJE") >= 2);
    default: return std::nullopt;
    }
}

// ---- husband, wife and child

std::shared_ptr<FAMRecord> RecordLinking::attachInNewFamily(const std::shared_ptr<INDIRecord>& person, int tag,
                                                            GEDCOMModel& model) {
    if (!person) return nullptr;
    std::shared_ptr<FAMRecord> family;
    const char* name = tag == kAttachChildTag   ? "Attach Child in New Family"
                       : tag == kAttachWifeTag ? "Attach Wife in New Family"
                                               : "Attach Husband in New Family";
    RecordEditing::undoable(*person, name, [&] {
        family = std::dynamic_pointer_cast<FAMRecord>(model.createNewRecordOfType("FAM"));
        if (!family) return;
        if (tag == kAttachChildTag) family->attachChild(person, FAMRecord::PedigreeBirth);
        else family->attachSpouse(person, tag == kAttachWifeTag ? "WIFE" : "HUSB");
    });
    return family;
}

std::shared_ptr<INDIRecord> RecordLinking::newIndividual(GEDCOMModel& model, bool male, const std::string& findText) {
    auto person = std::dynamic_pointer_cast<INDIRecord>(model.createNewRecordOfType("INDI", Value(male)));
    if (person && !findText.empty()) person->insertNewUserText(findText);
    return person;
}

void RecordLinking::attachSpouse(FAMRecord& family, const std::shared_ptr<INDIRecord>& person, const std::string& role) {
    if (!person) return;
    RecordEditing::undoable(family, role == "WIFE" ? "Attach Wife" : "Attach Husband",
                            [&] { family.attachSpouse(person, role); });
}

void RecordLinking::attachChild(FAMRecord& family, const std::shared_ptr<INDIRecord>& child, int pedigree) {
    if (!child) return;
    RecordEditing::undoable(family, "Attach Child", [&] { family.attachChild(child, pedigree); });
}

std::shared_ptr<RecordsListForPanel> RecordLinking::individualsOfSex(GEDCOMModel& model, char sex) {
    auto list = RecordsListForPanel::listWithType("INDI", &model);
    const auto all = model.recordsIndex().listForType("INDI");
    if (!all) return list;
    const std::string wanted(1, sex);
    for (const auto& record : all->order())
        if (auto person = std::dynamic_pointer_cast<INDIRecord>(record); person && person->sex() == wanted)
            list->addRecord(person);
    return list;
}

std::string RecordLinking::childTypeSelect(const FAMRecord& family) {
    for (const auto& parent : {family.husbandRecord(), family.wifeRecord()})
        if (parent) return parent->surname() + ", ";
    return std::string();
}

void RecordLinking::attachCiteFrom(GEDCOMRecord& shown, const std::shared_ptr<GEDCOMRecord>& chosen) {
    if (!chosen) return;
    RecordEditing::undoable(*chosen, "Attach Link from Record", [&] {
        chosen->attachRefedLink(std::static_pointer_cast<GEDCOMRecord>(shown.shared_from_this()), shown.recordType());
    });
}

// ---- links

std::optional<std::string> RecordLinking::attachableLinkRefusal(GEDCOMRecord& shown, const std::string& tag,
                                                                const GEDCOMRecord& record) {
    if (&shown == &record) return std::string(kLinkToSelf);
    if (shown.hasLink(tag, record.grecordID())) return std::string(kAlreadyLinked);
    return std::nullopt;
}

void RecordLinking::finalDropOperation(GEDCOMRecord& shown, const std::string& tag,
                                       const std::shared_ptr<GEDCOMRecord>& record, const std::string& undoFormat,
                                       GEDCOMModel& model) {
    if (!record) return;
    auto family = std::dynamic_pointer_cast<FAMRecord>(record);
    auto person = std::dynamic_pointer_cast<INDIRecord>(shown.shared_from_this());
    if (family && tag == "FAMC" && person) {
        RecordEditing::undoable(shown, "Attach as Child", [&] { family->attachChild(person, FAMRecord::PedigreeBirth); });
        return;
    }
    const std::string name = fill(undoFormat, typeName(model, *record));
    RecordEditing::undoable(shown, name.c_str(), [&] {
        shown.attachLink(*record, tag);
        if (GEDCOMModel::shouldHaveXRef(tag)) record->attachCrossRef(shown);
    });
}

std::optional<Dictionary> RecordLinking::genericOptions(int tag, const Dictionary& lastAttached) {
    struct Row {
        int tag;
        const char* message;
        const char* newRecord;
        const char* help;
        const char* recordTag;
        int target;
        int helpTag;
    };
    static const Row rows[] = {
        {kLinkNotesTag, "Link to existing or new notes", "New Notes",
         "Create new notes record. If text was typed into the find field, it will be entered into the new notes.", "NOTE",
         4, 7512},
        {kLinkSourceTag, "Link to existing or new source", "New Source",
         "Create new source record. If text was typed into the find field, it will be used for the source title.", "SOUR",
         4, 7514},
        {kLinkMultimediaTag, "Link to existing or new multimedia object", "New Multimedia Object", nullptr, "OBJE", 5,
         7515},
        {kLinkLogTag, "Link to existing or new research log", "New Research Log",
         "Create new research log. If text was typed into the find field, it will be used for the log title.", "_LOG", 4,
         7516},
    };
    for (const Row& row : rows) {
        if (row.tag != tag) continue;
        Dictionary options;
        options.set("message", Value(row.message));
        options.set("newrecord", Value(row.newRecord));
        if (row.help) options.set("newrecordhelp", Value(row.help));
        options.set("recordTag", Value(row.recordTag));
        options.set("recordType", Value(row.recordTag));
        options.set("target", Value(row.target));
        options.set("helpTag", Value(row.helpTag));
        options.set("mustSelect", Value("YES"));
        const Value* last = lastAttached.get(row.recordTag);
        options.set("lastAttached", last ? *last : Value(""));
        return options;
    }
    return std::nullopt;
}

RecordLinking::LinkOutcome RecordLinking::attachGenericLinkNow(GEDCOMRecord& shown,
                                                               const std::shared_ptr<GEDCOMRecord>& chosen,
                                                               const Dictionary& info, GEDCOMModel& model,
                                                               const std::vector<std::string>& dropTypes,
                                                               Dictionary& lastAttached) {
    LinkOutcome outcome;
    const Value* target = info.get("target");
    outcome.target = target ? static_cast<int>(target->toInteger(6)) : 6;
    const std::string recordTag = textOf(info, "recordTag");
    const std::string linkTag = info.get("linkTag") ? textOf(info, "linkTag") : recordTag;
    const std::string backTag = textOf(info, "backTag");
    std::shared_ptr<GEDCOMRecord> record = chosen;
    if (record) {
        if (linkTag != recordTag) {
            if ((outcome.refusal = attachableLinkRefusal(shown, linkTag, *record))) return outcome;
        }
        // Opening elsewhere is for records made just now.
        if (outcome.target >= 3) outcome.target = 6;
    } else {
        std::string type = textOf(info, "RecordType");
        if (type.empty()) type = recordTag;
        bool flag = true;
        if (linkTag == "ALIA" && shown.isType("INDI")) flag = static_cast<INDIRecord&>(shown).sex() == "M";
        record = model.createNewRecordOfType(type, Value(flag));
        if (!record) {
            outcome.beep = true;
            return outcome;
        }
        outcome.isNew = true;
        if (const std::string find = textOf(info, "FindText"); !find.empty()) record->insertNewUserText(find);
    }
    if (linkTag == recordTag) {
        const DropOutcome dropped = dropRecords(shown, {record->grecordID()}, dropTypes, false, model, kAttachedFormat);
        outcome.dropFailure = dropped.failure;
        if (dropped.attached == 0) {
            outcome.beep = dropped.beeps > 0;
            return outcome;
        }
    } else {
        finalDropOperation(shown, linkTag, record, kAttachedFormat, model);
    }
    if (!backTag.empty() && !shown.isType("_BOK")) record->attachLink(shown, backTag);
    if (info.get("lastAttached")) lastAttached.set(record->recordType(), Value(record));
    outcome.record = record;
    return outcome;
}

// ---- record drops

int RecordLinking::dragOperation(const std::vector<std::string>& ids, bool linkOnly,
                                 const std::vector<std::string>& dropTypes, GEDCOMModel& model) {
    if (linkOnly) {
        if (ids.size() != 1) return 0;
        const auto record = model.recordWithID(ids.front());
        return record && contains(&dropTypes, record->recordType() + "Ctrl") ? 2 : 0;
    }
    for (const auto& id : ids)
        if (const auto record = model.recordWithID(id); record && contains(&dropTypes, record->recordType())) return 1;
    return 0;
}

RecordLinking::DropOutcome RecordLinking::dropRecords(GEDCOMRecord& shown, const std::vector<std::string>& ids,
                                                      const std::vector<std::string>& dropTypes, bool control,
                                                      GEDCOMModel& model, const std::string& undoFormat) {
    DropOutcome outcome;
    if (ids.empty()) return outcome;
    std::shared_ptr<GEDCOMRecord> last;
    UndoManager* undo = shown.undoManager();
    if (undo) undo->beginUndoGrouping();
    for (const auto& id : ids) {
        auto record = model.recordWithID(id);
        if (!record) continue;
        last = record;
        if (!contains(&dropTypes, record->recordType())) continue;
        if (!shown.respondsToDrop(GEDCOMRecord::dropOperationName(record->recordType(), control))) {
            ++outcome.beeps;
            continue;
        }
        const auto answer = shown.drop(record, control);
        if (!answer) {
            ++outcome.attached;
        } else if (*answer != "Skip") {
            outcome.failure = *answer;
            break;
        }
    }
    if (undo) {
        if (outcome.attached > 0 && !outcome.failure && last) undo->setActionName(fill(undoFormat, typeName(model, *last)));
        undo->endUndoGrouping();
    }
    return outcome;
}

int RecordLinking::dropMultimediaItems(GEDCOMRecord& shown, const std::vector<Dictionary>& items, GEDCOMModel& model,
                                       std::vector<std::string>& outside) {
    int linked = 0;
    UndoManager* undo = shown.undoManager();
    if (undo) undo->beginUndoGrouping();
    for (const Dictionary& item : items) {
        const std::string path = textOf(item, "ImagePath");
        if (path.empty()) continue;
        std::optional<std::string> caption;
        if (item.get("Caption")) caption = textOf(item, "Caption");
        const Value* web = item.get("isWebURL");
        const auto object = web && web->toBool(false) ? model.addMultimediaURL(path, caption, outside)
                                                      : model.addMultimediaRecord(path, caption, outside);
        if (!object) continue;
        if (shown.respondsToDrop(GEDCOMRecord::dropOperationName("OBJE")) && !shown.drop(object)) ++linked;
        object->addImageProperties(item);
    }
    if (undo) {
        if (linked > 0) undo->setActionName("Drop Multimedia Files or URLs");
        undo->endUndoGrouping();
    }
    return linked;
}

// ---- events and optional data

std::shared_ptr<RecordsListForPanel> RecordLinking::eventList(const std::vector<EventDefinition>& events,
                                                              GEDCOMModel& model) {
    auto list = RecordsListForPanel::listWithType("@EVT", &model);
    int number = 0;
    for (const auto& event : events) {
        if (event.tag.empty()) continue;
        auto entry = std::make_shared<EVENTRecord>("@EV" + std::to_string(++number) + "@", "@EVT");
        entry->addLevel(1, "_TAG", event.tag);
        entry->addLevel(1, "_NAM", event.name.empty() ? event.tag : event.name);
        entry->addLevel(1, event.tag, "");
        list->addRecord(entry);
    }
    return list;
}

std::shared_ptr<RecordsListForPanel> RecordLinking::optionalList(const std::vector<std::shared_ptr<EVENTRecord>>& entries,
                                                                 GEDCOMModel& model) {
    auto list = RecordsListForPanel::listWithType("@OPT", &model);
    for (const auto& entry : entries) list->addRecord(entry);
    return list;
}

std::string RecordLinking::entryTag(const GEDCOMRecord& entry) {
    const auto line = entry.lastStructure();
    return line ? line->gtag() : std::string();
}

void RecordLinking::attachLastStructure(GEDCOMRecord& shown, const GEDCOMRecord& entry, const char* undoName) {
    const auto line = entry.lastStructure();
    if (!line) return;
    RecordEditing::undoable(shown, undoName, [&] { shown.attachCopyOfStructure(*line); });
}

// ---- associations

std::optional<std::pair<std::string, std::string>> RecordLinking::attachAssociation(
    GEDCOMRecord& shown, const std::shared_ptr<GEDCOMRecord>& chosen, bool linkBack) {
    if (!chosen) return std::nullopt;
    if (shown.hasLink("ASSO", chosen->grecordID()))
        return std::pair<std::string, std::string>{kAssoFailed, kAlreadyAssociated};
    if (chosen.get() == &shown) return std::pair<std::string, std::string>{kAttachFailed, kAssoSelf};
    // One undo step, left unnamed as the Edit menu has always shown it.
    RecordEditing::undoable(shown, nullptr, [&] {
        if (linkBack) chosen->attachLink(shown, "ASSO");
        shown.attachLink(*chosen, "ASSO");
    });
    return std::nullopt;
}

}  // namespace kl
