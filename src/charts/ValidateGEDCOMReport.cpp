#include "charts/ValidateGEDCOMReport.h"

#include "charts/ReportHost.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/PropertyList.h"
#include "foundation/ResourceFolder.h"
#include "foundation/UndoManager.h"
#include "document/GEDCOMDocument.h"
#include "model/GEDCOMGrammar.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {

namespace {
// Corruption bits of records the check still reads: a duplicate ID, an
// extra header or submission record.
constexpr std::uint32_t kCheckedCorruptions = 8 | 32;
}  // namespace

ValidateGEDCOMReport::ValidateGEDCOMReport(GEDCOMDocument& document, ReportHost& host)
    : ReportController(document, host) {}

ValidateGEDCOMReport::~ValidateGEDCOMReport() = default;

std::optional<Dictionary> ValidateGEDCOMReport::loadGrammar() {
    const auto path = ResourceFolder::pathForResource("GEDCOMGrammar", "plist");
    if (!path) return std::nullopt;
    return PropertyList::readDictionaryFile(*path);
}

bool ValidateGEDCOMReport::reportPreparation() {
    setTheTitle("GEDCOM Validation Report");
    setReport(theTitle() + " for " + host().displayName());
    auto grammar = loadGrammar();
    if (!grammar) {
        host().alert(kGrammarMissing, "Your copy of Kinlore II might be corrupted.");
        return false;
    }
    grammar_ = std::move(*grammar);
    checker_ = std::make_unique<GEDCOMGrammar>(grammar_);
    numBadRecords_ = 0;
    numDeletedCustomTags_ = 0;
    deletions_.clear();
    selRecords_ = getWhichRecords();
    if (whichRecords() == kSelectedRecords && selRecords_ && selRecords_->empty()) selRecords_.reset();
    return true;
}

int32_t ValidateGEDCOMReport::totalReportTasks() {
    return static_cast<int32_t>(selRecords_ ? selRecords_->size() : recordsIndex().numberOfRecords());
}

void ValidateGEDCOMReport::checkRecord(GEDCOMRecord& record) {
    current_ = &record;
    record.checkGEDCOMOfRecord(reportText(), grammar_, flags_, *this);
    current_ = nullptr;
    incrementDone();
}

void ValidateGEDCOMReport::checkStructures(GEDCOMObject& node, std::vector<std::string>& messages,
                                           std::vector<std::string>& tags, const Dictionary&,
                                           const Value* currentGrammar, int flags) {
    GEDCOMRecord* record = current_ ? current_ : node.theRecord();
    if (!record) return;
    checker_->checkStructures(
        node, *record, messages, tags, currentGrammar, flags,
        [this, record](const std::shared_ptr<GEDCOMStructure>& line, GEDCOMObject& parent) {
            deletions_.push_back(
                {std::static_pointer_cast<GEDCOMRecord>(record->shared_from_this()), line, parent.shared_from_this()});
            incrementDeletedCustomTags();
        });
}

void ValidateGEDCOMReport::compileReport() {
    const std::size_t headingEnd = report().size();
    long examined = 0;
    if (selRecords_) {
        for (const auto& record : *selRecords_) {
            if (!stillRunning()) break;
            checkRecord(*record);
        }
        examined = static_cast<long>(selRecords_->size());
    } else {
        for (const auto& list : recordsIndex().lists()) {
            if (!stillRunning()) break;
            if (list->listType() >= ListReports) continue;
            for (const auto& record : list->order()) {
                if (!stillRunning()) break;
                checkRecord(*record);
            }
            examined += static_cast<long>(list->count());
        }
        if (const auto corrupted = recordsIndex().listForType(RecordsIndices::kCorrupted)) {
            for (const auto& record : corrupted->order()) {
                if (!stillRunning()) break;
                if (record->isCorrupt(kCheckedCorruptions)) checkRecord(*record);
            }
            examined += static_cast<long>(corrupted->count());
        }
    }
    finishNumberDone();

    std::string customTags;
    if (flags_ & GEDCOMGrammar::kDeleteCustom) {
        customTags = numDeletedCustomTags_ > 0
                         ? " " + std::to_string(numDeletedCustomTags_) +
                               " unrecognized custom tags were deleted (you can use Undo menu command now if you want "
                               "to restore them)."
                         : " No unrecognized custom tags were deleted.";
    }
    if (report().size() > headingEnd) {
        reportText().insert(headingEnd, "<p>" + std::to_string(numBadRecords_) + " of " + std::to_string(examined) +
                                            " checked records have warnings or errors in their GEDCOM data." +
                                            customTags + "</p>\n<ol>\n");
        reportText() += "</ol>\n";
    } else {
        reportText() += "<p>All GEDCOM data in " + std::to_string(examined) + " records in this file are valid." +
                        customTags + "</p>\n";
    }
    reportText() += "</div>";
}

void ValidateGEDCOMReport::applyCollectedChanges() {
    if (deletions_.empty()) return;
    UndoManager& undo = document().undo();
    undo.beginUndoGrouping();
    for (const auto& deletion : deletions_) {
        deletion.record->removeStructure(deletion.line, deletion.parent.get(), nullptr);
        deletion.record->setChangeDate();
    }
    undo.setActionName(kUndoName);
    undo.endUndoGrouping();
    deletions_.clear();
}

}  // namespace kl
