// The validation and date-check reports over the 100,000-person generated
// tree, each run whole (preparation, compile on its worker, storing) on a
// document read once.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "RelativesBench.h"
#include "charts/DateCheckReport.h"
#include "charts/ReportHost.h"
#include "charts/ValidateGEDCOMReport.h"
#include "document/DocumentUI.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "foundation/InlineDispatcher.h"
#include "foundation/ResourceFolder.h"

namespace {

// Keeps the report's text; stores nothing.
struct BenchHost : kl::ReportHost {
    kl::DocumentUI& ui() override { return kl::DocumentUI::headless(); }
    std::string displayName() override { return "gen100k"; }
    std::vector<RecordPtr> selectedRecords() override { return {}; }
    void alert(const std::string& message, const std::string&) override { failure = message; }
    void addOpenReport(const std::string& body, const std::string&) override { bytes = body.size(); }
    std::size_t bytes = 0;
    std::string failure;
};

template <class Report>
void runReport(benchmark::State& state) {
    if (bench::treeText().empty()) {
        state.SkipWithError("generated tree missing");
        return;
    }
    kl::InlineDispatcher dispatcher;
    kl::Dispatcher::Scope scope(dispatcher);
    kl::ResourceFolder::setFolder(std::filesystem::path(KL_SOURCE_DIR) / "resources");
    kl::GEDCOMDocument& doc = bench::generatedDocument();
    BenchHost host;
    for (auto _ : state) {
        auto report = std::make_shared<Report>(doc, host);
        report->beginReport();
        if (!host.failure.empty()) state.SkipWithError(host.failure.c_str());
    }
    state.counters["records"] = static_cast<double>(doc.gedcomModel().recordsIndex().numberOfRecords());
    state.counters["report bytes"] = static_cast<double>(host.bytes);
}

void BM_ValidateAllRecords(benchmark::State& state) { runReport<kl::ValidateGEDCOMReport>(state); }
void BM_CheckDatesOfAllIndividuals(benchmark::State& state) { runReport<kl::DateCheckReport>(state); }

}  // namespace

BENCHMARK(BM_ValidateAllRecords)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CheckDatesOfAllIndividuals)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
