#include "charts/DateCheckReport.h"

#include "charts/ReportHost.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "model/INDIRecord.h"
#include "model/LibraryServices.h"

namespace kl {

DateCheckReport::DateCheckReport(GEDCOMDocument& document, ReportHost& host) : ReportController(document, host) {}

void DateCheckReport::setDateLimits(const Dictionary& limits) {
    auto read = [&limits](const char* key, int32_t& value) {
        if (const Value* given = limits.get(key)) value = static_cast<int32_t>(given->toInteger(value));
    };
    read("maxPersonAge", limits_.maxPersonAge);
    read("minParentAge", limits_.minParentAge);
    read("maxMotherAge", limits_.maxMotherAge);
    read("maxFatherAge", limits_.maxFatherAge);
    read("minSpouseAge", limits_.minSpouseAge);
}

bool DateCheckReport::reportPreparation() {
    setTheTitle("Date Verification Report");
    setReport(theTitle() + " for " + host().displayName());
    indis_.clear();
    auto keepIndividuals = [this](const std::vector<RecordPtr>& records) {
        for (const auto& record : records)
            if (auto person = std::dynamic_pointer_cast<INDIRecord>(record)) indis_.push_back(std::move(person));
    };
    const auto chosen = getWhichRecords();
    if (chosen && !(whichRecords() == kSelectedRecords && chosen->empty())) {
        keepIndividuals(*chosen);
    } else if (const auto people = recordsIndex().listForType("INDI")) {
        keepIndividuals(people->order());
    }
    if (indis_.empty()) {
        host().alert(kNoIndividuals, kNoIndividualsInformation);
        return false;
    }
    return true;
}

void DateCheckReport::compileReport() {
    const std::size_t headingEnd = report().size();
    const auto library = LibraryServices::current();
    auto eventName = [&library](const std::string& tag) { return library->localString(tag); };
    int errors = 0;
    int warnings = 0;
    for (const auto& person : indis_) {
        if (!stillRunning()) break;
        const DateFindings findings = checkPersonDates(datesOfIndividual(*person, eventName), limits_);
        if (!findings.messages.empty()) {
            errors += findings.errors;
            warnings += findings.warnings;
            reportText() += "<li>";
            addLink(reportText(), *person);
            reportText() += "\n<ul>\n";
            for (const auto& message : findings.messages) reportText() += "<li>" + message + "</li>\n";
            reportText() += "\n</ul>\n</li>\n";
        }
        incrementDone();
    }
    finishNumberDone();
    const std::string checked = std::to_string(indis_.size());
    if (report().size() > headingEnd) {
        reportText().insert(headingEnd, "<p>Found " + std::to_string(errors) + " date errors and " +
                                            std::to_string(warnings) + " implausible dates (warnings) in " + checked +
                                            " checked individual records.</p>\n<ol>\n");
        reportText() += "</ol>\n";
    } else {
        reportText() +=
            "<p>All dates checked in " + checked + " individual records in this file are valid and plausible.</p>";
    }
    reportText() += "</div>";
}

}  // namespace kl
