// The document's menu commands over the generated 100,000-person tree:
// validating every document menu tag for a selection, and making a new
// individual that is installed and listed in the sorted list of people.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "BenchCorpus.h"
#include "document/DocumentCommands.h"
#include "document/DocumentUI.h"
#include "document/GEDCOMDocument.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/UndoManager.h"

namespace {

namespace fs = std::filesystem;

class QuietHost : public kl::DocumentCommandsHost {
public:
    std::vector<std::shared_ptr<kl::GEDCOMRecord>> selection;
    std::shared_ptr<kl::GEDCOMRecord> keyWindowRecord() override {
        return selection.empty() ? nullptr : selection.front();
    }
    std::vector<std::shared_ptr<kl::GEDCOMRecord>> keyWindowRecords() override { return selection; }
    void selectRecord(const std::shared_ptr<kl::GEDCOMRecord>&) override {}
    void openRecordLater(const std::shared_ptr<kl::GEDCOMRecord>&, bool) override {}
    void beep() override {}
    void informationalAlert(const std::string&, const std::string&) override {}
    void criticalAlert(const std::string&, const std::string&) override {}
    void askQuestion(const std::string&, const std::string&, const std::vector<std::string>&, bool, Answer) override {}
    void showNewFamilySheet(std::function<void(int, const kl::Array&)>) override {}
    void showSearchTermsSheet(const Terms&, std::function<void(int, const Terms&)>) override {}
    void setClipboardText(const std::string&) override {}
    void speak(const std::string&, double, const std::string&) override {}
    bool sendDateToTempolin(const std::string&) override { return true; }
    void openAddress(const std::string&) override {}
    void launchSearch(const std::string&, int) override {}
};

class BenchUI : public kl::DocumentUI {
public:
    bool pauseIn(kl::KLProgress& task, double) override { return task.stillRunning(); }
    void runProgress(kl::KLProgress& task, const std::string&, const std::string&, double) override {
        while (task.stillRunning()) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
};

struct Opened {
    BenchUI ui;
    QuietHost host;
    std::unique_ptr<kl::GEDCOMDocument> document;
    std::unique_ptr<kl::DocumentCommands> commands;
    Opened() {
        const fs::path path = fs::temp_directory_path() / ("kl-bench-commands-" + std::to_string(::getpid()) + ".ged");
        std::ofstream(path, std::ios::binary) << bench::treeText();
        document = std::make_unique<kl::GEDCOMDocument>();
        document->setUI(&ui);
        std::string error;
        if (!document->readFromURL(path, kl::GEDCOMDocument::kGEDCOMType, &error)) document.reset();
        fs::remove(path);
        if (!document) return;
        commands = std::make_unique<kl::DocumentCommands>(document->gedcomModel(), document->undo(), host);
        auto people = document->gedcomModel().recordsIndex().listForType("INDI");
        // A man, a woman and a family: every family item has work to do.
        for (const auto& record : people->order()) {
            if (host.selection.size() == 2) break;
            host.selection.push_back(record);
        }
        people->sortColumn(0);
    }
};

Opened& opened() {
    static Opened o;
    return o;
}

void BM_ValidateAllDocumentTags(benchmark::State& state) {
    Opened& o = opened();
    if (!o.document) return state.SkipWithError("generated tree not found");
    std::vector<int> tags = {1011, 2010, 3013, 3014, 4001, 4002, 10001, 10002};
    for (int tag = 3400; tag <= 3410; ++tag) tags.push_back(tag);
    for (int tag = 4101; tag <= 4121; ++tag) tags.push_back(tag);
    for (auto _ : state) {
        const kl::DocumentMenuFacts facts = o.commands->facts();
        int enabled = 0;
        for (int tag : tags) enabled += kl::DocumentCommands::validateMenuTag(tag, facts).enabled;
        benchmark::DoNotOptimize(enabled);
    }
    state.counters["tags"] = static_cast<double>(tags.size());
}
BENCHMARK(BM_ValidateAllDocumentTags)->Unit(benchmark::kMicrosecond);

void BM_NewIndividualInstalledAndListed(benchmark::State& state) {
    Opened& o = opened();
    if (!o.document) return state.SkipWithError("generated tree not found");
    // Undo would keep every made record alive; the command is timed alone.
    o.document->undo().disableUndoRegistration();
    for (auto _ : state) benchmark::DoNotOptimize(o.commands->makeNewRecord(kl::kNewMaleTag));
    o.document->undo().enableUndoRegistration();
    state.counters["people"] = static_cast<double>(o.document->gedcomModel().numberOfType("INDI"));
}
BENCHMARK(BM_NewIndividualInstalledAndListed)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
