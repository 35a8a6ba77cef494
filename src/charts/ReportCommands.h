#pragma once
// ReportCommands: the document's report commands. The multimedia summary,
// HTML links and file information reports start at once; validation and
// the date check start from their options sheets' answers; the relatives
// reports from the relatives sheet's answer through the registry. A
// finished report is stored by addOpenReport as a report record "<title>
// (<n>)", n from the application's report counter.
//
// Ownership: borrows the document and the host, which outlive it.
// Thread: main thread.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "foundation/Value.h"
#include "model/ReportRecord.h"

namespace kl {

class GEDCOMDocument;
class GEDCOMModel;
class ReportHost;

class ReportCommands {
public:
    ReportCommands(GEDCOMDocument& document, ReportHost& host) : document_(document), host_(host) {}

    void multimediaReport();
    void htmlLinksReport();
    void fileInformationReport();
    // The sheets' answers; a null answer (the sheet was cancelled) starts
    // nothing.
    void validateRecords(const Value& options);
    void checkFileDates(const Value& options);
    // "outputFlags", "maxGenerations", "theRecord"; false when no report of
    // the kind is registered.
    bool relativesReport(const std::string& kind, const Value& options);
    bool ahnentafel(const Value& options);
    bool allRelatives(const Value& options);
    bool familyTree(const Value& options);

    // The custom-tag option of the validation sheet's choice: 0, 1 or 3.
    static int flagsForCustomChoice(int64_t choice);
    // Makes the report record; a font with a print size above 0 adds
    // "_PSIZE". The caller opens it.
    static std::shared_ptr<ReportRecord> addReport(GEDCOMModel& model, const std::string& body,
                                                   const std::string& title,
                                                   const std::optional<std::string>& font = std::nullopt,
                                                   double printSize = 9);
    // The same with a font of its own size (a script's report shows in one
    // size and prints in another).
    static std::shared_ptr<ReportRecord> addReportWithFont(GEDCOMModel& model, const std::string& body,
                                                           const std::string& title,
                                                           const std::optional<ReportRecord::Font>& font,
                                                           double printSize);

private:
    GEDCOMDocument& document_;
    ReportHost& host_;
};

}  // namespace kl
