// A database opened and saved end to end through the document: the
// generated tree of 100,000 individuals as a plain GEDCOM file (detection,
// decode, parse, records, adjustments on the read worker) and as a package,
// and saved as a package (write, plists, rename), and exported to a plain
// GEDCOM file (model text, post-processing, encoding, atomic write). Opening
// the plain file tidies every record as a read does. The bare scan of the
// same text with a reader that keeps nothing is the yardstick in the same run.
#include <benchmark/benchmark.h>

#include "BenchCorpus.h"
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "document/DocumentUI.h"
#include "document/ExportOptions.h"
#include "document/GEDCOMDocument.h"
#include "foundation/UserDefaults.h"
#include "model/GEDCOMParser.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMReader.h"

namespace {

namespace fs = std::filesystem;
using bench::NullReader;
using bench::treeText;

// A scratch folder holding the unpacked file and a package made from it.
struct Files {
    fs::path folder = fs::temp_directory_path() / ("kl-bench-document-" + std::to_string(::getpid()));
    fs::path plain = folder / "gen100k.ged";
    fs::path package = folder / "Gen100k.gedpkg";
    fs::path exported = folder / "exported.ged";
    Files() {
        fs::create_directories(folder);
        std::ofstream(plain, std::ios::binary) << treeText();
    }
    ~Files() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

Files& files() {
    static Files f;
    return f;
}

// Polls the worker closely instead of sleeping a second before the panel.
class BenchUI : public kl::DocumentUI {
public:
    bool pauseIn(kl::KLProgress& task, double) override { return task.stillRunning(); }
    void runProgress(kl::KLProgress& task, const std::string&, const std::string&, double) override {
        while (task.stillRunning()) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
};

BenchUI& benchUI() {
    static BenchUI ui;
    return ui;
}

std::unique_ptr<kl::GEDCOMDocument> open(const fs::path& path, const char* type) {
    auto document = std::make_unique<kl::GEDCOMDocument>();
    document->setUI(&benchUI());
    std::string error;
    if (!document->readFromURL(path, type, &error)) return nullptr;
    return document;
}

void report(benchmark::State& state, size_t bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

// CPU seconds of every thread of the process so far. The work runs on
// worker threads that the benchmark's own CPU time (of the main thread)
// does not see; on a shared machine this stays steadier than wall time.
double processCPUSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Adds the process's CPU milliseconds per iteration spent in `timed`.
class ProcessCPU {
public:
    void start() { started_ = processCPUSeconds(); }
    void stop() { total_ += processCPUSeconds() - started_; }
    void report(benchmark::State& state) const {
        state.counters["process_cpu_ms"] = 1e3 * total_ / static_cast<double>(std::max<int64_t>(state.iterations(), 1));
    }

private:
    double started_ = 0;
    double total_ = 0;
};

void BM_BareScan(benchmark::State& state) {
    if (treeText().empty()) return state.SkipWithError("generated tree not found");
    for (auto _ : state) {
        NullReader reader;
        kl::GEDCOMParser parser(treeText());
        parser.setDelegate(&reader);
        benchmark::DoNotOptimize(parser.parse());
    }
    report(state, treeText().size());
}
BENCHMARK(BM_BareScan)->Unit(benchmark::kMillisecond);

// Argument 1: every record gets its _KLID identifier as the read tidies it
// (the preference's default in the program); 0: none. The target is at most
// 10% more with them.
void BM_OpenPlainFile(benchmark::State& state) {
    if (treeText().empty()) return state.SkipWithError("generated tree not found");
    const bool before = kl::GEDCOMRecord::insertingUUIDs();
    kl::GEDCOMRecord::setInsertingUUIDs(state.range(0) != 0);
    size_t records = 0;
    files();  // unpacked once, outside the timing
    ProcessCPU cpu;
    for (auto _ : state) {
        cpu.start();
        auto document = open(files().plain, kl::GEDCOMDocument::kGEDCOMType);
        cpu.stop();
        if (!document) return state.SkipWithError("open failed");
        records = document->gedcomModel().recordsIndex().numberOfRecords();
        state.PauseTiming();
        document.reset();  // freeing the tree is not part of opening
        state.ResumeTiming();
    }
    kl::GEDCOMRecord::setInsertingUUIDs(before);
    report(state, treeText().size());
    cpu.report(state);
    state.counters["records"] = static_cast<double>(records);
}
// The work runs on the document's worker: wall time is what counts.
BENCHMARK(BM_OpenPlainFile)->ArgName("identifiers")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SavePackage(benchmark::State& state) {
    if (treeText().empty()) return state.SkipWithError("generated tree not found");
    auto document = open(files().plain, kl::GEDCOMDocument::kGEDCOMType);
    if (!document) return state.SkipWithError("open failed");
    for (auto _ : state) {
        std::string error;
        if (!document->saveToURL(files().package, &error)) return state.SkipWithError(error.c_str());
    }
    report(state, fs::file_size(files().package / "Gen100k.ged"));
}
// The work runs on the document's worker: wall time is what counts.
BENCHMARK(BM_SavePackage)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenPackage(benchmark::State& state) {
    if (treeText().empty()) return state.SkipWithError("generated tree not found");
    if (!fs::exists(files().package)) {
        auto document = open(files().plain, kl::GEDCOMDocument::kGEDCOMType);
        if (!document || !document->saveToURL(files().package)) return state.SkipWithError("no package");
    }
    for (auto _ : state) {
        auto document = open(files().package, kl::GEDCOMDocument::kPackageType);
        if (!document) return state.SkipWithError("open failed");
        state.PauseTiming();
        document.reset();
        state.ResumeTiming();
    }
    report(state, fs::file_size(files().package / "Gen100k.ged"));
}
// The work runs on the document's worker: wall time is what counts.
BENCHMARK(BM_OpenPackage)->Unit(benchmark::kMillisecond)->UseRealTime();

// Argument: the export style (0 standard GEDCOM without the program's own
// records, 3 every record), in UTF-8 with LF.
void BM_ExportGEDCOM(benchmark::State& state) {
    if (treeText().empty()) return state.SkipWithError("generated tree not found");
    auto document = open(files().plain, kl::GEDCOMDocument::kGEDCOMType);
    if (!document) return state.SkipWithError("open failed");
    kl::UserDefaults defaults("Kinlore II Bench", files().folder);
    kl::ExportOptions::setExportCharacterSet("UTF-8");
    kl::ExportOptions::setCurrentLineEndingByIndex(1, defaults);
    kl::ExportOptions::setExportStyle(static_cast<int>(state.range(0)), defaults);
    kl::ExportOptions::setAlbumIndex(0);
    ProcessCPU cpu;
    for (auto _ : state) {
        cpu.start();
        if (!document->exportFinally(files().exported)) return state.SkipWithError("export failed");
        cpu.stop();
    }
    report(state, fs::file_size(files().exported));
    cpu.report(state);
}
// The work runs on the document's worker: wall time is what counts.
BENCHMARK(BM_ExportGEDCOM)->ArgName("style")->Arg(0)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
