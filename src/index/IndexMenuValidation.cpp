#include "index/IndexMenuValidation.h"

#include <functional>
#include <map>

#include "document/RecordsList.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "document/RecordsIndices.h"

namespace kl {

namespace {

using State = IndexMenuState;
using Handler = std::function<MenuAnswer(const State&)>;

MenuAnswer enabledIf(bool on) { return MenuAnswer{on, std::nullopt}; }
MenuAnswer titled(bool on, std::string title) { return MenuAnswer{on, std::move(title)}; }

bool selectedIs(const State& s, const char* type) { return s.selected && s.selected->recordType == type; }
bool isAlbum(const State& s) { return s.listType == ListUserAlbum; }

MenuAnswer deleteRecords(const State& s) {
    const bool can = s.selected.has_value() && s.selectedRows > 0 && s.recordsFocused;
    if (s.selectedRows > 1)
        return titled(can, s.listType < ListReports ? "Delete " + std::to_string(s.selectedRows) + " Records"
                                                    : std::string("Delete Records"));
    if (!s.selected) return enabledIf(false);
    if (s.selected->deleteRefusal) return titled(false, "Delete Locked Record");
    return titled(can, "Delete " + s.selected->singularName + " Record");
}

MenuAnswer mergeTwo(const State& s) {
    const bool can = s.selected && (s.selectedRows == 1 || s.selectedRows == 2) && s.listCount >= 2;
    if (!s.selected) return enabledIf(false);
    return titled(can, "Merge Two " + s.selected->singularName + " Records...");
}

const std::map<int, Handler>& handlers() {
    using T = IndexMenuValidation;
    static const std::map<int, Handler> table{
        {T::DeleteAlbum, [](const State& s) { return enabledIf(isAlbum(s)); }},
        {T::IndexData, [](const State&) { return titled(true, "Index Data..."); }},
        {T::DeleteRecords, deleteRecords},
        {T::RemoveFromAlbum,
         [](const State& s) { return enabledIf(s.selectedRows > 0 && s.recordsFocused && isAlbum(s)); }},
        {T::Sources, [](const State& s) { return enabledIf(s.selected && s.selected->hasSources); }},
        {T::Multimedia, [](const State& s) { return enabledIf(s.selected && s.selected->hasMultimedia); }},
        {T::ShowHideSource,
         [](const State& s) { return titled(true, s.sourceShown ? "Hide Source Editor" : "Show Source Editor"); }},
        {T::ReferencedBy, [](const State& s) { return enabledIf(s.selected && s.selected->hasCrossRefs); }},
        {T::Places,
         [](const State& s) {
             return enabledIf((selectedIs(s, "INDI") || selectedIs(s, "FAM")) && s.selected->hasPlaces);
         }},
        {T::EditColumn, [](const State& s) { return enabledIf(s.columnHighlighted); }},
        {T::DeleteColumn, [](const State& s) { return enabledIf(s.columnHighlighted); }},
        {T::PortraitColumn,
         [](const State& s) {
             return titled(true, s.styleHasPortrait ? "Hide Portrait Column" : "Show Portrait Column");
         }},
        {T::MergeTwoRecords, mergeTwo},
        {T::AhnentafelReport, [](const State& s) { return enabledIf(selectedIs(s, "INDI")); }},
        {T::AllRelativesReport, [](const State& s) { return enabledIf(selectedIs(s, "INDI")); }},
        {T::PlaceEventsReport, [](const State& s) { return enabledIf(selectedIs(s, "_PLC")); }},
    };
    return table;
}

}  // namespace

SelectedRecordFacts SelectedRecordFacts::of(GEDCOMRecord& record) {
    SelectedRecordFacts f;
    f.recordType = record.recordType();
    f.singularName = RecordsIndices::singularNameForRecordType(f.recordType, &record);
    f.deleteRefusal = record.canBeDeleted(0);
    f.hasSources = record.findStructureWithTag("SOUR") != nullptr;
    f.hasMultimedia = record.findStructureWithTag("OBJE") != nullptr;
    f.hasCrossRefs = record.hasCrossRefs();
    f.hasPlaces = record.findStructureWithTag("PLAC") != nullptr;
    return f;
}

MenuAnswer IndexMenuValidation::validateMenuTag(int tag, const IndexMenuState& state) {
    const auto& table = handlers();
    if (auto h = table.find(tag); h != table.end()) return h->second(state);
    return MenuAnswer{};
}

}  // namespace kl
