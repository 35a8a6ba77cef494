#pragma once
// IndexMenuValidation: which menu and toolbar commands of the index window
// are enabled, and the titles its menu items take, as a pure function of
// what the window shows: the list type, the selected records, the focused
// table, the highlighted column and the source pane. Tags not handled here
// are enabled.
//
// Ownership: values only. Thread: main thread (the facts read records).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kl {

class GEDCOMRecord;

// What the menus need to know of the first selected record.
struct SelectedRecordFacts {
    std::string recordType;
    std::string singularName;
    std::optional<std::string> deleteRefusal;  // why it may not be deleted
    bool hasSources = false;                   // a SOUR anywhere below it
    bool hasMultimedia = false;                // an OBJE anywhere below it
    bool hasCrossRefs = false;
    bool hasPlaces = false;                    // a PLAC anywhere below it

    static SelectedRecordFacts of(GEDCOMRecord& record);
};

struct IndexMenuState {
    int32_t listType = 0;
    std::size_t listCount = 0;
    std::size_t selectedRows = 0;
    std::optional<SelectedRecordFacts> selected;  // the first selected record
    bool recordsFocused = false;                  // the records table or the source pane has the focus
    bool columnHighlighted = false;
    bool sourceShown = false;
    bool styleHasPortrait = false;
};

struct MenuAnswer {
    bool enabled = true;
    std::optional<std::string> title;  // applied to menu items, not to toolbar items
};

class IndexMenuValidation {
public:
    enum Tag : int {
        CreateAlbum = 1007, DeleteAlbum = 1008, IndexData = 1102, DeleteRecords = 2007, RemoveFromAlbum = 2008,
        Sources = 3007, Multimedia = 3008, ShowHideSource = 3009, ReferencedBy = 3010, Places = 3015,
        AddColumn = 3301, EditColumn = 3302, DeleteColumn = 3303, PortraitColumn = 3304, MergeTwoRecords = 4007,
        AhnentafelReport = 9004, AllRelativesReport = 9007, PlaceEventsReport = 9009
    };

    static MenuAnswer validateMenuTag(int tag, const IndexMenuState& state);
};

}  // namespace kl
