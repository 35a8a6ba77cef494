#pragma once
// Which lines of a record window's record Records ▸ Edit GEDCOM Source
// marks in the index window's source pane. A window that shows a group of
// its record's structures (a child window) marks the structure the group
// hangs from, so the marked lines are the ones the whole window edits;
// every other window marks the focused cell's structure.
//
// Thread: main thread.
#include <memory>

namespace kl {

class GEDCOMObject;
class GEDCOMRecord;

// windowRecord: the record the window's pane is built from; shownRecord:
// the record whose source is shown; focused: the focused cell's structure
// (may be nullptr). nullptr marks nothing.
std::shared_ptr<GEDCOMObject> sourceStructureToMark(const GEDCOMRecord& windowRecord, const GEDCOMRecord& shownRecord,
                                                    std::shared_ptr<GEDCOMObject> focused);

}  // namespace kl
