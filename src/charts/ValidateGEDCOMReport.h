#pragma once
// ValidateGEDCOMReport: checks records against the "GEDCOMGrammar"
// resource, lists each record with findings, and with the delete option
// removes unrecognised custom lines. The worker only gathers the lines to
// delete; a done run removes them on the main thread as one undo step
// ("Delete Custom Tags"), so a cancelled run changes nothing.
//
// Ownership and thread: as ReportController; the ValidationReport callbacks
// come from the records on the worker.
#include <memory>
#include <optional>
#include <vector>

#include "charts/ReportController.h"
#include "foundation/Value.h"
#include "model/ValidationReport.h"

namespace kl {

class GEDCOMGrammar;
class GEDCOMObject;
class GEDCOMStructure;

class ValidateGEDCOMReport : public ReportController, public ValidationReport {
public:
    static constexpr const char* kGrammarMissing = "The dictionary of GEDCOM grammar could not be loaded.";
    static constexpr const char* kUndoName = "Delete Custom Tags";

    ValidateGEDCOMReport(GEDCOMDocument& document, ReportHost& host);
    ~ValidateGEDCOMReport() override;

    // 0 reports custom tags, 1 ignores them, 3 deletes them.
    void setFlags(int flags) { flags_ = flags; }
    int flags() const { return flags_; }
    int numBadRecords() const { return numBadRecords_; }
    int numDeletedCustomTags() const { return numDeletedCustomTags_; }
    // The grammar resource, nullopt when missing or unreadable.
    static std::optional<Dictionary> loadGrammar();

    bool reportPreparation() override;
    void compileReport() override;
    int32_t totalReportTasks() override;
    std::string progressTitle() override { return "Validating the GEDCOM Data"; }
    std::string progressMessage() override { return "Records Checked"; }
    void applyCollectedChanges() override;

    // ---- ValidationReport
    void incrementBadRecords() override { ++numBadRecords_; }
    void incrementDeletedCustomTags() override { ++numDeletedCustomTags_; }
    void checkStructures(GEDCOMObject& node, std::vector<std::string>& messages, std::vector<std::string>& tags,
                         const Dictionary& grammar, const Value* currentGrammar, int flags) override;

private:
    struct Deletion {
        std::shared_ptr<GEDCOMRecord> record;
        std::shared_ptr<GEDCOMStructure> line;
        std::shared_ptr<GEDCOMObject> parent;
    };
    void checkRecord(GEDCOMRecord& record);

    Dictionary grammar_;
    std::unique_ptr<GEDCOMGrammar> checker_;
    std::optional<std::vector<RecordPtr>> selRecords_;
    int flags_ = 0;
    int numBadRecords_ = 0;
    int numDeletedCustomTags_ = 0;
    GEDCOMRecord* current_ = nullptr;  // the record being checked
    std::vector<Deletion> deletions_;
};

}  // namespace kl
