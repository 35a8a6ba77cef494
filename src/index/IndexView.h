#pragma once
// IndexView: what the index window's logic asks of the widgets that show it:
// the lists table on the left, the records table on the right, the source
// pane, the add-column menu and the system beep. Every call has a do-nothing
// default, so the logic runs (and is tested) without a display; the Qt
// window overrides what it shows.
//
// Thread: main thread.
#include <vector>

#include "index/AddColumnMenu.h"
#include "index/TableSetupPlan.h"

namespace kl {

class IndexView {
public:
    virtual ~IndexView() = default;

    virtual void reloadLists() {}
    // Selects a row of the lists table without reporting it back.
    virtual void selectListRow(long) {}
    // Rebuilds the records table's columns and row height.
    virtual void applyTablePlan(const TableSetupPlan&, double /*rowHeight*/) {}
    virtual void reloadRecords() {}
    // Reloads the records table before returning.
    virtual void reloadRecordsNow() { reloadRecords(); }
    // Both tables take their fonts and row heights again.
    virtual void resetFonts() {}
    virtual void markSortColumn(int /*styleColumn*/, SortIndicator) {}
    // Replaces the records table's selection without reporting it back.
    virtual void showRecordSelection(const std::vector<long>&) {}
    virtual void scrollToRow(long) {}
    virtual void refreshSource(bool /*keepSelection*/) {}
    virtual void focusRecords() {}
    virtual void fillAddColumnMenu(const std::vector<AddColumnItem>&) {}
    virtual void beep() {}
    // The index font's line height, the narrowest a column may be.
    virtual double lineHeight() const { return 17.0; }
};

}  // namespace kl
