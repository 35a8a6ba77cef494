#include "charts/ReportCommands.h"


#include "charts/DateCheckReport.h"
#include "charts/FileInformationReport.h"
#include "charts/GenRelativesReport.h"
#include "charts/HTMLLinksReport.h"
#include "charts/MultimediaSummaryReport.h"
#include "charts/ValidateGEDCOMReport.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "foundation/Numbers.h"
#include "model/GEDCOMStructure.h"
#include "model/ReportRecord.h"

namespace kl {

namespace {

template <class Report>
std::shared_ptr<Report> make(GEDCOMDocument& document, ReportHost& host) {
    return std::make_shared<Report>(document, host);
}

int64_t integerOption(const Dictionary& options, const char* key, int64_t fallback) {
    const Value* value = options.get(key);
    return value ? value->toInteger(fallback) : fallback;
}

}  // namespace

void ReportCommands::multimediaReport() { make<MultimediaSummaryReport>(document_, host_)->beginReport(); }
void ReportCommands::htmlLinksReport() { make<HTMLLinksReport>(document_, host_)->beginReport(); }
void ReportCommands::fileInformationReport() { make<FileInformationReport>(document_, host_)->beginReport(); }

int ReportCommands::flagsForCustomChoice(int64_t choice) { return choice == 1 ? 1 : choice == 2 ? 3 : 0; }

void ReportCommands::validateRecords(const Value& options) {
    const Dictionary* answer = options.dictionary();
    if (!answer) return;
    auto report = make<ValidateGEDCOMReport>(document_, host_);
    report->setFlags(flagsForCustomChoice(integerOption(*answer, "customTags", 0)));
    report->setWhichRecords(
        static_cast<int32_t>(integerOption(*answer, "whichRecords", ReportController::kAllRecords)));
    report->beginReport();
}

void ReportCommands::checkFileDates(const Value& options) {
    const Dictionary* answer = options.dictionary();
    if (!answer) return;
    auto report = make<DateCheckReport>(document_, host_);
    report->setDateLimits(*answer);
    report->setWhichRecords(
        static_cast<int32_t>(integerOption(*answer, "whichRecords", ReportController::kAllRecords)));
    report->beginReport();
}

bool ReportCommands::relativesReport(const std::string& kind, const Value& options) {
    const Dictionary* answer = options.dictionary();
    const auto maker = RelativesReportRegistry::maker(kind);
    if (!answer || !maker) return false;
    auto report = maker(document_, host_);
    if (!report) return false;
    report->setFlags(integerOption(*answer, "outputFlags", 0));
    report->setMaxGen(static_cast<int32_t>(integerOption(*answer, "maxGenerations", 10)));
    if (const Value* subject = answer->get("theRecord")) report->setRecord(subject->object());
    report->beginReport();
    return true;
}

bool ReportCommands::ahnentafel(const Value& options) {
    return relativesReport(RelativesReportRegistry::kAhnentafel, options);
}
bool ReportCommands::allRelatives(const Value& options) {
    return relativesReport(RelativesReportRegistry::kAllRelatives, options);
}
bool ReportCommands::familyTree(const Value& options) {
    return relativesReport(RelativesReportRegistry::kFamilyTree, options);
}

std::shared_ptr<ReportRecord> ReportCommands::addReport(GEDCOMModel& model, const std::string& body,
                                                        const std::string& title,
                                                        const std::optional<std::string>& font, double printSize) {
    return addReportWithFont(model, body, title,
                             font ? std::optional<ReportRecord::Font>(ReportRecord::Font{*font, printSize})
                                  : std::nullopt,
                             printSize);
}

std::shared_ptr<ReportRecord> ReportCommands::addReportWithFont(GEDCOMModel& model, const std::string& body,
                                                                const std::string& title,
                                                                const std::optional<ReportRecord::Font>& font,
                                                                double printSize) {
    auto report = std::dynamic_pointer_cast<ReportRecord>(model.createNewRecordOfType("_RPT"));
    if (!report) return nullptr;
    report->setViewName(title + " (" + std::to_string(ReportRecord::reportCounter()) + ")");
    report->setBody(body, font);
    if (font && printSize > 0) {
        report->addStructure(std::make_shared<GEDCOMStructure>(report.get(), 1, "_PSIZE", formatFixed(printSize, 6)),
                             report.get(),
                             report->lastStructure().get(), false);
    }
    return report;
}

}  // namespace kl
