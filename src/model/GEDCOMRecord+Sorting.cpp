// "Sort Data": children, spouse families, events and multimedia links put in
// date order in place, as one undoable replacement.
#include <algorithm>
#include <cctype>

#include "dates/DateBridge.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/LibraryServices.h"
#include "model/ModelAlerts.h"

namespace kl {

namespace {

std::shared_ptr<GEDCOMStructure> firstChild(const GEDCOMObject& node, std::string_view tag) {
    for (const auto& child : node.structures())
        if (child->gtag() == tag) return child;
    return nullptr;
}

std::vector<std::string> tagLists(std::initializer_list<const char*> names) {
    std::vector<std::string> tags;
    auto services = LibraryServices::current();
    for (const char* name : names)
        if (auto list = services->tagList(name)) tags.insert(tags.end(), list->begin(), list->end());
    return tags;
}

bool contains(const std::vector<std::string>& tags, const std::string& tag) {
    return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

// The day number of the date one level below a node, 0 without one.
std::int64_t dateBelow(const GEDCOMObject& node, const std::string& dateTag, bool sortForm) {
    auto date = firstChild(node, dateTag);
    if (!date) return 0;
    return sortForm ? sortSdnForDate(date->contents()) : midSdnForDate(date->contents());
}

// Which level-1 lines a sort takes, and how their dates are found.
struct SortPlan {
    GEDCOMObject::StructureList entries;
    std::string dateTag = "DATE";
    std::optional<std::vector<std::string>> parents;
    std::optional<std::string> recordType;
};

GEDCOMObject::StructureList childrenWithTags(const GEDCOMRecord& record, const std::vector<std::string>& tags) {
    GEDCOMObject::StructureList out;
    for (const auto& child : record.structures())
        if (contains(tags, child->gtag())) out.push_back(child);
    return out;
}

std::optional<std::vector<std::string>> eventTagsOf(const GEDCOMRecord& record) {
    if (record.isType("INDI")) return tagLists({"INDIEvents", "INDIAttributes", "INDIOrdinances"});
    if (record.isType("FAM")) return tagLists({"FAMEvents", "FAMOrdinances"});
    if (record.isType("_PLC")) return std::vector<std::string>{"_PFACT"};
    return std::nullopt;
}

bool noPortraitSet(const GEDCOMRecord& record) {
    auto line = firstChild(record, "_NOPOR");
    return line && line->contents().size() == 1 && std::tolower(static_cast<unsigned char>(line->contents()[0])) == 'y';
}

// nullopt when the kind cannot be sorted for this record.
std::optional<SortPlan> planFor(const GEDCOMRecord& record, int kind) {
    SortPlan plan;
    switch (kind) {
        case SortChildren:
            plan.entries = childrenWithTags(record, {"CHIL"});
            plan.parents = std::vector<std::string>{"BIRT", "BAPM", "CHR"};
            plan.recordType = "INDI";
            return plan;
        case SortSpouseFamilies:
            plan.entries = childrenWithTags(record, {"FAMS"});
            plan.parents = std::vector<std::string>{"MARR"};
            plan.recordType = "FAM";
            return plan;
        case SortEvents: {
            auto tags = eventTagsOf(record);
            if (!tags) return std::nullopt;
            plan.entries = childrenWithTags(record, *tags);
            return plan;
        }
        case SortMultimediaLinks: {
            if (!record.isType("INDI") && !record.isType("FAM")) return std::nullopt;
            plan.entries = childrenWithTags(record, {"OBJE"});
            // The portrait keeps its place.
            if (!plan.entries.empty() && !noPortraitSet(record)) plan.entries.erase(plan.entries.begin());
            plan.dateTag = "_DATE";
            plan.recordType = "OBJE";
            return plan;
        }
        default: return SortPlan{};
    }
}

void beepUnless(bool silent) {
    if (!silent) ModelAlerts::current()->beep();
}

}  // namespace

std::vector<GEDCOMRecord::DatedStructure> GEDCOMRecord::getSDNs(
    const StructureList& list, const std::string& dateTag, const std::optional<std::vector<std::string>>& parents,
    const std::optional<std::string>& recordType) const {
    std::vector<DatedStructure> pairs;
    pairs.reserve(list.size());
    const std::vector<std::string> attributes =
        recordType ? std::vector<std::string>{} : tagLists({"INDIAttributes"});
    for (const auto& structure : list) {
        std::int64_t sdn = 0;
        if (recordType) {
            if (auto linked = linkedRecord(structure->contents(), *recordType)) {
                if (!parents) {
                    if (auto line = firstChild(*linked, dateTag)) sdn = midSdnForDate(line->contents());
                } else {
                    for (const auto& tag : *parents) {
                        auto event = firstChild(*linked, tag);
                        if (event && (sdn = dateBelow(*event, dateTag, false)) != 0) break;
                    }
                }
            }
        } else {
            sdn = dateBelow(*structure, dateTag, isType("INDI") && contains(attributes, structure->gtag()));
        }
        pairs.emplace_back(structure, sdn);
    }
    return pairs;
}

void GEDCOMRecord::sortEntry(int kind, bool silent) {
    auto plan = planFor(*this, kind);
    if (!plan) return beepUnless(silent);
    const auto unsorted = getSDNs(plan->entries, plan->dateTag, plan->parents, plan->recordType);
    if (unsorted.size() < 2) return beepUnless(silent);
    auto sorted = unsorted;
    // Undated entries go after every dated one; equal dates keep their order.
    std::stable_sort(sorted.begin(), sorted.end(), [](const DatedStructure& a, const DatedStructure& b) {
        if (a.second == 0 || b.second == 0) return a.second != 0 && b.second == 0;
        return a.second < b.second;
    });
    std::vector<std::size_t> indexes;
    StructureList replacements;
    for (std::size_t i = 0; i < unsorted.size(); ++i) {
        if (unsorted[i].first == sorted[i].first) continue;
        indexes.push_back(indexOfStructure(unsorted[i].first.get()));
        replacements.push_back(sorted[i].first);
    }
    if (indexes.empty()) return beepUnless(silent);
    replaceStructuresAtIndexes(indexes, replacements);
    if (UndoManager* um = undoManager()) um->setActionName("Sort Data");
}

}  // namespace kl
