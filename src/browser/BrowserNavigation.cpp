#include "browser/BrowserNavigation.h"

#include <algorithm>
#include <cctype>

#include "document/GEDCOMModel.h"
#include "document/RecordsList.h"
#include "document/RecordsListForPanel.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMRecord.h"
#include "model/INDIRecord.h"

namespace kl {

const std::vector<BrowserNavigation::LinkCommand>& BrowserNavigation::linkCommands() {
    using L = RecordLinkLists;
    static const std::vector<LinkCommand> commands{
        {kFatherTag, &L::fatherOrHusband, "View Father of %@", nullptr},
        {kMotherTag, &L::motherOrWife, "View Mother of %@", nullptr},
        {kFamiliesTag, &L::families, "View Families of %@", nullptr},
        {kSpouseTag, &L::spouses, "View Spouses of %@", nullptr},
        {kChildrenTag, &L::children, "View Children of %@", nullptr},
        {kSiblingsTag, &L::siblings, "View Siblings of %@", nullptr},
        {kSourcesTag, &L::sources, "View Sources for %@", "SOUR"},
        {kPlacesTag, &L::places, "View Places for %@", "_PLC"},
        {kMultimediaTag, &L::multimedia, "Multimedia for %@", "OBJE"},
        {kReferencedByTag, nullptr, "View Records citing %@", "@_REF"},
    };
    return commands;
}

const BrowserNavigation::LinkCommand* BrowserNavigation::linkCommand(int tag) {
    for (const auto& command : linkCommands())
        if (command.tag == tag) return &command;
    return nullptr;
}

std::string BrowserNavigation::message(const char* format, const GEDCOMRecord& record) {
    std::string text = format;
    if (auto at = text.find("%@"); at != std::string::npos) text.replace(at, 2, record.altViewName());
    return text;
}

std::optional<Dictionary> BrowserNavigation::optionsFor(const LinkCommand& command, const GEDCOMRecord& record) {
    if (!command.recordType) return std::nullopt;
    Dictionary options;
    options.set("message", Value(message(command.message, record)));
    options.set("mustSelect", Value("YES"));
    options.set("recordType", Value(command.recordType));
    if (command.tag == kMultimediaTag) {
        options.set("newrecord", Value("Set No Portrait"));
        options.set("recordaction", Value("Set As Portrait"));
        options.set("newrecordhelp",
                    Value("Click if none of the attached multimedia are appropriate as a portrait for this record"));
        options.set("recordactionhelp", Value("Set this multimedia object as the portrait for this record"));
    }
    return options;
}

BrowserNavigation::Selection BrowserNavigation::selectRecordFromArray(const std::vector<std::string>& ids,
                                                                      const std::optional<std::string>& message,
                                                                      const std::optional<Dictionary>& options,
                                                                      GEDCOMModel& model) {
    Selection selection;
    Array items;
    for (const auto& id : ids) items.emplace_back(id);
    auto list = GEDCOMModel::getListFromArray(items, true, options ? &*options : nullptr, &model);
    if (!list) {
        const Value* type = options ? options->get("recordType") : nullptr;
        const Value* must = options ? options->get("mustSelect") : nullptr;
        if (!type || !must || must->toString() != "YES") {
            selection.failure = kRecordNotFound;
            return selection;
        }
        list = RecordsListForPanel::listWithType(type->toString(), &model);
    }
    if (!options && list->count() == 1) {
        selection.kind = Selection::Direct;
        selection.record = list->recordWithIndex(0);
        return selection;
    }
    selection.kind = Selection::Sheet;
    selection.list = std::move(list);
    if (options) selection.options = *options;
    else if (message) selection.options.set("message", Value(*message));
    return selection;
}

BrowserNavigation::RecordPtr BrowserNavigation::moveRecord(const RecordsList* list, int step, const RecordPtr& from) {
    if (!list || !from) return nullptr;
    auto record = list->stepRecord(step, from);
    return record == from ? nullptr : record;
}

BrowserNavigation::RecordPtr BrowserNavigation::moveRecordInAlbum(const RecordsList* list, int step,
                                                                  const RecordPtr& shown,
                                                                  const RecordPtr& listSelection) {
    if (!list || list->count() == 0) return nullptr;
    RecordPtr record = list->stepRecord(step, shown);
    if (!record) record = listSelection;
    if (!record) record = list->order().front();
    return record == shown ? nullptr : record;
}

namespace {

bool notEmpty(const BrowserNavigation::Facts& facts, std::vector<std::string> RecordLinkLists::*list) {
    return facts.lists && !(facts.lists->*list).empty();
}

// The name of the partner in a spouse slot of a family.
std::string partnerName(const FAMRecord& family, const char* tag) {
    return family.isUnmarried() ? family.unmarriedName(tag) : family.marriedName(tag);
}

std::string firstEntrySex(const BrowserNavigation::Facts& facts, std::vector<std::string> RecordLinkLists::*list) {
    if (!facts.lists || !facts.model || (facts.lists->*list).empty()) return {};
    auto person = std::dynamic_pointer_cast<INDIRecord>(facts.model->recordWithID((facts.lists->*list).front()));
    return person ? person->sex() : std::string();
}

}  // namespace

std::optional<std::string> BrowserNavigation::relationTitle(int tag, const Facts& facts) {
    if (tag != kFatherTag && tag != kMotherTag) return std::nullopt;
    const bool father = tag == kFatherTag;
    if (auto family = std::dynamic_pointer_cast<FAMRecord>(facts.record))
        return partnerName(*family, father ? "HUSB" : "WIFE");
    if (father) return firstEntrySex(facts, &RecordLinkLists::fatherOrHusband) == "F" ? "Mother" : "Father";
    return firstEntrySex(facts, &RecordLinkLists::motherOrWife) == "M" ? "Father" : "Mother";
}

std::optional<DocumentMenuAnswer> BrowserNavigation::validateMenuTag(int tag, const Facts& facts) {
    DocumentMenuAnswer answer;
    switch (tag) {
    case kFatherTag:
    case kMotherTag:
        answer.enabled = notEmpty(facts, tag == kFatherTag ? &RecordLinkLists::fatherOrHusband
                                                           : &RecordLinkLists::motherOrWife);
        answer.title = relationTitle(tag, facts);
        return answer;
    case kReferencedByTag: answer.enabled = facts.record && facts.record->hasCrossRefs(); return answer;
    case kGoBackTag: answer.enabled = facts.canGoBack; return answer;
    case kGoForwardTag: answer.enabled = facts.canGoForward; return answer;
    case kPreviousRecordTag:
    case kNextRecordTag:
        answer.enabled = facts.canStepRecord && facts.canStepRecord(tag - 3105);
        return answer;
    case 3110:
    case kAlbumPreviousTag:
    case kAlbumNextTag:
    case 3114: answer.enabled = facts.displayingAlbum; return answer;
    default: break;
    }
    if (const LinkCommand* command = linkCommand(tag); command && command->list) {
        answer.enabled = notEmpty(facts, command->list);
        return answer;
    }
    return std::nullopt;
}

std::optional<std::string> BrowserNavigation::contextHelpTopic(const GEDCOMRecord* record, GEDCOMModel* model) {
    if (!record) return std::string("Editing/browser");
    const std::string& type = record->recordType();
    if (type == "OBJE") return std::string("Editing/multimedia");
    if (type == "_LOG") return std::string("Editing/research");
    if (type == "_PLC") return std::string("Editing/places");
    if (type == "_BOK") return std::string("Exporting/bookrecords");
    std::string name = model ? model->singularNameForType(type) : std::string();
    if (name.empty()) return std::nullopt;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return "Editing/" + name;
}

}  // namespace kl
