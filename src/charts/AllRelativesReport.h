#pragma once
// AllRelativesReport: every blood relative of one individual within a
// number of generations, with the ancestors' step-parents, each named by
// its relationship to the subject: grouped under relationship headings as
// numbered list items (prose or a sub-list of details), or one table
// sorted by name.
//
// The family links are copied into a RelativesGraph on the main thread
// before the run, and the walk keeps each person's place in its own map, so
// the worker never writes to the records and leaves nothing in them.
//
// Ownership and thread: as ReportController.
#include <memory>
#include <vector>

#include "charts/GenRelativesReport.h"
#include "charts/Relative.h"

namespace kl {

class INDIRecord;
class RelativesGraph;

class AllRelativesReport : public GenRelativesReport {
public:
    using GenRelativesReport::GenRelativesReport;

    // Registers the maker under RelativesReportRegistry::kAllRelatives.
    static void registerReport();

    bool reportPreparation() override;
    void compileReport() override;
    void reportCompletion() override {}
    std::string progressTitle() override { return "Compiling List of Relatives"; }
    std::string progressMessage() override { return "Relatives Found"; }

private:
    void writeTable(std::vector<Relative>& relatives);
    void writeLists(std::vector<Relative>& relatives);

    std::shared_ptr<INDIRecord> subject_;
    std::shared_ptr<const RelativesGraph> graph_;
};

}  // namespace kl
