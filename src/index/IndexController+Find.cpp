// The index window's type-ahead find: the sorted column's value typed into
// the toolbar's field selects its record.
#include "document/RecordsList.h"
#include "foundation/MainThread.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "index/IndexView.h"

namespace kl {

IndexController::FindAnswer IndexController::findString(const std::string& text, bool recentEndEditing) {
    FindAnswer answer;
    if (!shown_ || shown_->howSorted().empty()) {
        answer.fieldUseAlert = true;
        return answer;
    }
    if (text.empty()) return answer;
    std::string match;
    const long row = shown_->findSortedString(text, &match);
    if (row < 0) {
        if (shown_->count() > 0) view_->beep();
        return answer;
    }
    answer.row = row;
    if (selectedRows_.size() != 1 || selectedRows_.front() != row) {
        // The pane's edit belongs to the record it shows, so it goes in
        // before the rows can move under it.
        const RecordPtr target = shown_->order()[static_cast<std::size_t>(row)];
        textDidEndEditing();
        const long found = rowOf(target.get());
        answer.row = found >= 0 ? found : row;
        setSelection({answer.row});
        insertGEDCOMSource(false);
    }
    view_->centerScrollToRow(answer.row);
    if (recentEndEditing) {
        RecordPtr record = shown_->order()[static_cast<std::size_t>(answer.row)];
        Dispatcher::current().postDeferred(this, [this, record] {
            if (windows_) windows_->openRecordBrowser(record);
        });
        return answer;
    }
    if (!match.empty()) answer.match = match;
    return answer;
}

}  // namespace kl
