#pragma once
// HTMLLinksReport: counts the record links inside the records' HTML
// content, cuts the links whose record no longer exists, and lists the
// records that were repaired and those that hold HTML at all. The worker
// gathers the rewritten texts; a done run sets them on the main thread as
// one undo step ("Remove Broken Links"), so a cancelled run changes
// nothing. The walk itself does not stop for a cancel.
//
// Ownership and thread: as ReportController.
#include <vector>

#include "charts/ReportController.h"
#include "model/HREFLinks.h"

namespace kl {

class HTMLLinksReport : public ReportController {
public:
    static constexpr const char* kUndoName = "Remove Broken Links";

    HTMLLinksReport(GEDCOMDocument& document, ReportHost& host);

    bool reportPreparation() override;
    void compileReport() override;
    int32_t totalReportTasks() override { return numberOfRecords_; }
    std::string progressTitle() override { return "Validating internal HTML links"; }
    std::string progressMessage() override { return "Records Checked"; }
    void applyCollectedChanges() override;

private:
    int32_t numberOfRecords_ = 0;
    ContentEdits edits_;
};

}  // namespace kl
