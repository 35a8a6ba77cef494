#pragma once
// IndexView: what the index window's logic asks of the widgets that show it:
// the lists table on the left, the records table on the right, the source
// pane, the add-column menu and the system beep. Every call has a do-nothing
// default, so the logic runs (and is tested) without a display; the Qt
// window overrides what it shows.
//
// Thread: main thread.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Value.h"
#include "index/AddColumnMenu.h"
#include "index/TableSetupPlan.h"

namespace kl {

class GEDCOMRecord;
class RecordsListForPanel;

class IndexView {
public:
    virtual ~IndexView() = default;
    // The platform window that shows the index; nullptr without one.
    virtual const void* platformWindow() const { return nullptr; }

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
    // Brings the row into view, to the middle when the table had to scroll.
    virtual void centerScrollToRow(long row) { scrollToRow(row); }
    // The source pane shows a record's text, editable, or (nullopt) stays
    // empty and read-only. The pane's own typing undo goes with its text.
    virtual void showSourceText(const std::optional<std::string>& /*text*/, bool /*keepSelection*/) {}
    // The pane's text as the user left it.
    virtual std::string sourceText() const { return {}; }
    virtual void focusRecords() {}
    virtual void fillAddColumnMenu(const std::vector<AddColumnItem>&) {}
    virtual void beep() {}
    // A critical alert on the window. With two or more buttons it is a
    // question and answers the index of the pressed button (0 the default);
    // without a window it answers 0.
    virtual int criticalAlert(const std::string& /*message*/, const std::string& /*information*/,
                              const std::vector<std::string>& /*buttons*/) {
        return 0;
    }
    // The record picker on the window over the list, with the picker's
    // options; `chosen` gets the record, or nullptr for its new-record
    // button, and the options. Closing it otherwise calls nothing.
    using PickerAnswer = std::function<void(const std::shared_ptr<GEDCOMRecord>&, const Dictionary&)>;
    virtual void runRecordPicker(const std::shared_ptr<RecordsListForPanel>& /*list*/, const Dictionary& /*options*/,
                                 PickerAnswer /*chosen*/) {}
    // The index font's line height, the narrowest a column may be.
    virtual double lineHeight() const { return 17.0; }
};

}  // namespace kl
