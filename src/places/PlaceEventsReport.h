#pragma once
// PlaceEventsReport: for one place record, lists the individuals and
// families whose events cite the place (a level-2 PLAC with the place's
// name) and, under each, the citing events with their dates and addresses.
// The citations are gathered on the main thread before the worker starts;
// the worker only reads them.
//
// Ownership and thread: as ReportController. The place is held weakly (a
// report does not keep a deleted place alive); the citing records and their
// PLAC structures are held for the length of the run.
#include <memory>
#include <string>
#include <vector>

#include "charts/ReportController.h"

namespace kl {

class GEDCOMStructure;
class PlaceRecord;

class PlaceEventsReport : public ReportController {
public:
    PlaceEventsReport(GEDCOMDocument& document, ReportHost& host);

    void setRecord(const std::shared_ptr<PlaceRecord>& place) { record_ = place; }

    bool reportPreparation() override;
    void compileReport() override;
    int32_t totalReportTasks() override { return numStructures_; }
    std::string progressTitle() override { return "Find Events for Place"; }
    std::string progressMessage() override { return "Events Found"; }

    // The sentence that opens the report in the format's language
    // ("French", "Swedish", "Finnish", English for any other), the name
    // already made safe for the page.
    static std::string summarySentence(const std::string& language, const std::string& name, int events,
                                       long records);

private:
    std::string eventLine(const GEDCOMRecord& record, const GEDCOMStructure& place) const;

    std::weak_ptr<PlaceRecord> record_;
    std::string placeName_;
    std::string language_;
    std::vector<RecordPtr> records_;
    std::vector<std::vector<std::shared_ptr<GEDCOMStructure>>> structures_;
    int32_t numStructures_ = 0;
};

}  // namespace kl
