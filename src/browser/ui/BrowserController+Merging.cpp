// Records > Merge Two Records... in a record window: the index window's
// merge, with this window's record as the one that stays and this window
// showing the picker and the refusals.
#include <QApplication>

#include "app/ui/AppAlerts.h"
#include "browser/ui/BrowserController.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "index/IndexView.h"
#include "index/ui/SelectRecordController.h"
#include "model/GEDCOMRecord.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

// What the index window's merge asks of the window it runs from.
class BrowserMergeView : public IndexView {
public:
    explicit BrowserMergeView(BrowserController& browser) : browser_(browser) {}
    void beep() override { browser_.beep(); }
    int criticalAlert(const std::string& message, const std::string& information,
                      const std::vector<std::string>&) override {
        AppAlerts::criticalAlert(message, information, &browser_);
        return 0;
    }
    void runRecordPicker(const std::shared_ptr<RecordsListForPanel>& list, const Dictionary& options,
                         PickerAnswer chosen) override {
        browser_.getRecordPicker()->selectRecordFrom(list, options, &browser_, std::move(chosen));
    }

private:
    BrowserController& browser_;
};

}  // namespace

std::optional<std::string> BrowserController::mergeTwoRecordsTitle() const {
    if (!record_ || record_->isType("_RPT")) return std::nullopt;
    const std::string type = record_->recordType();
    if (doc_.gedcomModel().numberOfType(type) < 2) return std::nullopt;
    std::string title = LibraryServices::localized("Merge Two %@ Records...");
    if (const auto at = title.find("%@"); at != std::string::npos)
        title.replace(at, 2, doc_.gedcomModel().singularNameForType(type));
    return title;
}

void BrowserController::mergeTwoRecords() {
    if (endActiveCell(0) == EditRefused) return;
    auto* index = dynamic_cast<IndexController*>(windows_.indexController());
    if (!index || !mergeTwoRecordsTitle()) {
        beep();
        return;
    }
    BrowserMergeView view(*this);
    index->mergeTwoRecords(record_, view);
}

}  // namespace kl
