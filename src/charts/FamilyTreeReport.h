#pragma once
// FamilyTreeReport: what an ancestors or descendants window shows at this
// moment, row by row in outline order and nesting, as nested lists or as an
// indented table. Collapsed branches are not in it, and rows deeper than
// the sheet's generation limit are left out.
//
// The subject is a FamilyTreeSubject that the tree window hands over. The
// outline belongs to the main thread, so the rows are copied from it while
// the report is prepared there; the worker reads only that copy and the
// model.
//
// Ownership and thread: as ReportController.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "charts/GenRelativesReport.h"
#include "charts/RelativesTree.h"
#include "foundation/Value.h"

namespace kl {

class GEDCOMRecord;
class INDIRecord;

// A tree window as the report's subject: its root, its kind and the rows it
// shows. Asked on the main thread only.
class FamilyTreeSubject : public Object {
public:
    FamilyTreeSubject(std::shared_ptr<INDIRecord> root, std::string viewStyle,
                      std::function<std::vector<OutlineRow>()> shownRows)
        : root_(std::move(root)), viewStyle_(std::move(viewStyle)), shownRows_(std::move(shownRows)) {}

    const std::shared_ptr<INDIRecord>& rootRecord() const { return root_; }
    const std::string& viewStyle() const { return viewStyle_; }
    std::vector<OutlineRow> shownRows() const { return shownRows_ ? shownRows_() : std::vector<OutlineRow>{}; }

private:
    std::shared_ptr<INDIRecord> root_;
    std::string viewStyle_;
    std::function<std::vector<OutlineRow>()> shownRows_;
};

class FamilyTreeReport : public GenRelativesReport {
public:
    // One outline row as the report reads it: the row's individual (a
    // family record where the other spouse is missing), whether it is a
    // spouse row, and its cross-reference (+k first of several
    // appearances, -k a later one).
    struct Row {
        int level = 0;
        std::shared_ptr<GEDCOMRecord> individual;
        bool spouse = false;
        int crossRefNum = 0;
    };

    using GenRelativesReport::GenRelativesReport;

    // Registers the maker under RelativesReportRegistry::kFamilyTree.
    static void registerReport();
    static std::vector<Row> rowsOf(const std::vector<OutlineRow>& rows);

    bool reportPreparation() override;
    void compileReport() override;
    std::string progressTitle() override { return "Compiling " + reportType_ + " Family Tree Report"; }
    std::string progressMessage() override { return reportType_ + " Found"; }

    const std::string& reportType() const { return reportType_; }

private:
    // Takes the text back off the end of the report when it ends with it.
    void erase(const std::string& text);
    void writeRow(const Row& row, bool table, const std::string& blankCells, long& rowCounter);

    std::string reportType_;
    std::vector<Row> rows_;
};

}  // namespace kl
