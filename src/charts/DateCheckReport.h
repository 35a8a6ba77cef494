#pragma once
// DateCheckReport: lists, per individual, the dates that do not parse and
// those that are impossible (errors) or implausible (warnings) against the
// individual's own life, the parents', the marriages and the other events
// (DateCheck.h). The limits and the record set come from the options sheet.
//
// Ownership and thread: as ReportController.
#include <memory>
#include <vector>

#include "charts/DateCheck.h"
#include "charts/ReportController.h"
#include "foundation/Value.h"

namespace kl {

class INDIRecord;

class DateCheckReport : public ReportController {
public:
    static constexpr const char* kNoIndividuals = "The records to check do not include any individual records.";
    static constexpr const char* kNoIndividualsInformation =
        "The 'Check Dates...' report is based on dates in individual records.";

    DateCheckReport(GEDCOMDocument& document, ReportHost& host);

    // Reads "maxPersonAge", "minParentAge", "maxMotherAge", "maxFatherAge"
    // and "minSpouseAge"; a missing key keeps its default.
    void setDateLimits(const Dictionary& limits);
    const DateLimits& dateLimits() const { return limits_; }

    bool reportPreparation() override;
    void compileReport() override;
    int32_t totalReportTasks() override { return static_cast<int32_t>(indis_.size()); }
    std::string progressTitle() override { return "Verifying Dates in the File"; }
    std::string progressMessage() override { return "Individuals Checked"; }

private:
    std::vector<std::shared_ptr<INDIRecord>> indis_;
    DateLimits limits_;
};

}  // namespace kl
