#include "browser/EventCopy.h"

#include <algorithm>

#include "dates/DateBridge.h"
#include "document/GEDCOMModel.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

std::vector<const char*> listsFor(const GEDCOMRecord& record) {
    if (record.isType("INDI")) return {"INDIEvents", "INDIAttributes", "INDIOrdinances"};
    if (record.isType("FAM")) return {"FAMEvents", "FAMOrdinances"};
    return {};
}

bool takesEvents(const GEDCOMRecord& record) { return record.isType("INDI") || record.isType("FAM"); }

bool isLinkKeepingBackLinks(const std::string& tag) {
    return tag == "NOTE" || tag == "SOUR" || tag == "OBJE" || tag == "_LOG";
}

}  // namespace

bool EventCopy::acceptsTag(const GEDCOMRecord& record, const std::string& tag) {
    if (!takesEvents(record)) return true;
    const auto library = LibraryServices::current();
    for (const char* name : listsFor(record)) {
        const auto tags = library->tagList(name);
        if (tags && std::find(tags->begin(), tags->end(), tag) != tags->end()) return true;
    }
    return false;
}

std::shared_ptr<GEDCOMStructure> EventCopy::eventToCopy(GEDCOMRecord& record, const GEDCOMObject* structure) {
    if (!structure || !takesEvents(record) || structure == &record) return nullptr;
    // Climb to the line whose parent is the record itself.
    const GEDCOMObject* line = structure;
    for (;;) {
        auto parent = record.parentOfStructure(line);
        if (!parent) return nullptr;
        if (parent.get() == &record) break;
        line = parent.get();
    }
    for (const auto& child : record.structures())
        if (child.get() == line) return acceptsTag(record, child->gtag()) ? child : nullptr;
    return nullptr;
}

Array EventCopy::pasteboardArray(const GEDCOMStructure& event, const std::string& documentName) {
    Array lines;
    event.appendGEDCOMArray(lines);
    lines.push_back(Value(documentName));
    return lines;
}

std::optional<std::pair<int, int>> EventCopy::ageRange(const std::string& birthDate, const std::string& eventDate) {
    if (birthDate.empty() || eventDate.empty()) return std::nullopt;
    const SDN birthEarliest = earliestSdnForDate(birthDate);
    const SDN birthLatest = latestSdnForDate(birthDate);
    const SDN eventEarliest = earliestSdnForDate(eventDate);
    const SDN eventLatest = latestSdnForDate(eventDate);
    if (birthEarliest <= 0 || birthLatest <= 0 || eventEarliest <= 0 || eventLatest <= 0) return std::nullopt;
    const auto years = [](SDN from, SDN to) { return static_cast<int>((to - from) / 365.2425); };
    return std::pair{years(birthLatest, eventEarliest), years(birthEarliest, eventLatest)};
}

EventCopy::Paste EventCopy::paste(const Array& lines, bool sameDocument, GEDCOMRecord& record, GEDCOMModel& model) {
    // The last element names the document; an event needs at least its
    // own line before it.
    if (lines.size() < 2) return {};
    const auto line = [&](std::size_t i) -> std::optional<std::tuple<int, std::string, std::string>> {
        const Value& row = lines[i];
        const Array* parts = row.array();
        if (!parts || parts->size() < 3) return std::nullopt;
        return std::tuple{static_cast<int>((*parts)[0].toInteger()), (*parts)[1].toString(), (*parts)[2].toString()};
    };
    const auto first = line(0);
    if (!first) return {};
    const std::string tag = std::get<1>(*first);
    if (!acceptsTag(record, tag)) return {Paste::WrongTag, tag};
    const bool individual = record.isType("INDI");

    struct Line {
        int level;
        std::string tag;
        std::string contents;
        std::shared_ptr<GEDCOMRecord> linked;
    };
    std::vector<Line> kept;
    std::string eventDate;
    std::string copiedAge;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        const auto next = line(i);
        if (!next) continue;
        auto [level, lineTag, contents] = *next;
        if (level < 2) continue;  // only the event's own lines belong to it
        std::shared_ptr<GEDCOMRecord> linked;
        if (lineTag == "AGE" && level == 2 && !individual) continue;
        // A citation with text in place of an ID is no link and stays.
        const bool isLink = contents.size() > 2 && contents.front() == '@' && contents.back() == '@';
        if (isLink && (lineTag == "SOUR" || lineTag == "OBJE" || lineTag == "NOTE" || lineTag == "FAMS" ||
                       lineTag == "_LOG")) {
            const std::string type = lineTag == "FAMS" ? "FAM" : lineTag;
            linked = sameDocument ? model.recordWithID(contents, type) : nullptr;
            if (!linked) continue;
        }
        if (lineTag == "DATE" && level == 2 && eventDate.empty()) eventDate = contents;
        if (lineTag == "AGE" && level == 2 && copiedAge.empty()) copiedAge = contents;
        kept.push_back({level, std::move(lineTag), std::move(contents), std::move(linked)});
    }

    // The copied age was another person's: work it out again from this
    // one's birth, or leave it out when that cannot be done.
    std::optional<std::string> newAge;
    if (individual && !copiedAge.empty()) {
        if (const auto range = ageRange(static_cast<const INDIRecord&>(record).birthDate(), eventDate))
            newAge = range->first == range->second
                         ? std::to_string(range->first)
                         : std::to_string(range->first) + " to " + std::to_string(range->second);
    }

    auto event = std::make_shared<GEDCOMStructure>(&record, 1, tag, std::get<2>(*first));
    std::vector<std::string> newPlaces;
    std::vector<std::shared_ptr<GEDCOMRecord>> backLinked;
    bool ageDone = false;
    for (auto& kept1 : kept) {
        if (kept1.tag == "AGE" && kept1.level == 2 && individual && !ageDone) {
            ageDone = true;
            if (!newAge) continue;
            kept1.contents = *newAge;
        }
        if (kept1.tag == "PLAC" && !kept1.contents.empty() && !model.placeForName(kept1.contents))
            newPlaces.push_back(kept1.contents);
        if (kept1.linked && isLinkKeepingBackLinks(kept1.tag)) backLinked.push_back(kept1.linked);
        event->addLevel(kept1.level, kept1.tag, kept1.contents);
    }

    UndoManager* undo = record.undoManager();
    if (undo) undo->beginUndoGrouping();
    for (const auto& name : newPlaces)
        if (!model.placeForName(name)) model.createNewRecordOfType("_PLC", Value(name));
    const GEDCOMObject* last = record.structures().empty() ? nullptr : record.structures().back().get();
    record.addStructure(event, &record, last, false);
    for (const auto& linked : backLinked) linked->attachCrossRef(record);
    if (undo) {
        undo->setActionName("Paste Event");
        undo->endUndoGrouping();
    }
    return {Paste::Pasted, tag};
}

}  // namespace kl
