// Peak memory of reading the generated 100,000-person tree, measured fairly:
// each read runs in a child process forked from this small one, so neither a
// cached copy of the text nor a heap left warm by an earlier read counts. The
// file is unpacked to a temporary file once; each child reads it from disk,
// scans it and builds it once, and hands back its peak resident size
// (VmHWM), its resident size before reading (the baseline) and the time the
// read took. Counters: peak_MB, read_MB (peak minus baseline), and both as
// multiples of the file size.
#include <benchmark/benchmark.h>

#include "BenchCorpus.h"
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "document/GEDCOMModel.h"
#include "model/GEDCOMParser.h"

namespace {

namespace fs = std::filesystem;

// The unpacked file, removed when the process ends.
struct UnpackedFile {
    fs::path path = fs::temp_directory_path() / ("kl-bench-memory-" + std::to_string(::getpid()) + ".ged");
    std::uintmax_t size = 0;
    UnpackedFile() {
        gzFile in = gzopen(KL_TESTDATA "/gedcom/generated/gen100k_seed20240601.ged.gz", "rb");
        if (!in) return;
        std::ofstream out(path, std::ios::binary);
        char buffer[1 << 16];
        for (int got; (got = gzread(in, buffer, sizeof buffer)) > 0;) out.write(buffer, got);
        gzclose(in);
        out.close();
        size = out ? fs::file_size(path) : 0;
    }
    ~UnpackedFile() {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
};

const UnpackedFile& unpacked() {
    static const UnpackedFile file;
    return file;
}

// A field of /proc/self/status in bytes ("VmHWM", "VmRSS"); 0 when absent.
double statusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    const std::string prefix = std::string(field) + ":";
    for (std::string line; std::getline(status, line);)
        if (line.starts_with(prefix)) return std::stod(line.substr(prefix.size())) * 1024.0;
    return 0.0;
}

struct Measure {
    double seconds = 0;
    double baselineBytes = 0;
    double peakBytes = 0;
    double records = 0;
    bool ok = false;
};

// Reads the whole file into one string of its exact size.
std::string readWhole(const fs::path& path) {
    std::string text(fs::file_size(path), '\0');
    std::ifstream(path, std::ios::binary).read(text.data(), static_cast<std::streamsize>(text.size()));
    return text;
}

// The tree alone: file to text, text through the scanner into records'
// structure trees.
Measure readTree(const fs::path& path) {
    Measure m;
    std::string text = readWhole(path);
    const auto start = std::chrono::steady_clock::now();
    bench::TreeReader reader;
    kl::GEDCOMParser parser(std::move(text));
    parser.setDelegate(&reader);
    parser.setReleaseScannedText(true);  // as the record store reads
    m.ok = parser.parse();
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.records = static_cast<double>(reader.records.size());
    m.peakBytes = statusBytes("VmHWM");
    return m;
}

// The record store's own read: decoding, parsing, records, lists and the
// place index.
Measure readDocument(const fs::path& path) {
    Measure m;
    const auto start = std::chrono::steady_clock::now();
    bench::QuietDocument document;
    document.undo.disableUndoRegistration();
    kl::GEDCOMModel model(&document);
    model.setGedcomFromFile(path.string());
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.records = static_cast<double>(model.recordsIndex().numberOfRecords());
    m.peakBytes = statusBytes("VmHWM");
    m.ok = true;
    return m;
}

// Runs `read` in a forked child and collects what it measured.
std::optional<Measure> inChild(Measure (*read)(const fs::path&), const fs::path& path) {
    int fds[2];
    if (::pipe(fds) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        // The child starts with its parent's pages; its high-water mark
        // starts from there too, and is reset here where the kernel allows.
        if (FILE* clear = std::fopen("/proc/self/clear_refs", "w")) {
            std::fputs("5", clear);
            std::fclose(clear);
        }
        const double baseline = statusBytes("VmRSS");
        Measure m;
        try {
            m = read(path);
        } catch (...) {
            m.ok = false;
        }
        m.baselineBytes = baseline;
        const bool written = ::write(fds[1], &m, sizeof m) == static_cast<ssize_t>(sizeof m);
        ::_exit(written ? 0 : 1);
    }
    ::close(fds[1]);
    Measure m;
    const bool got = child > 0 && ::read(fds[0], &m, sizeof m) == static_cast<ssize_t>(sizeof m);
    ::close(fds[0]);
    int status = 0;
    if (child > 0) ::waitpid(child, &status, 0);
    if (!got || !m.ok) return std::nullopt;
    return m;
}

void freshRead(benchmark::State& state, Measure (*read)(const fs::path&)) {
    const UnpackedFile& file = unpacked();
    if (file.size == 0) return state.SkipWithError("generated tree not found");
    Measure worst;
    for (auto _ : state) {
        auto m = inChild(read, file.path);
        if (!m) return state.SkipWithError("the read failed in the child");
        state.SetIterationTime(m->seconds);
        if (m->peakBytes > worst.peakBytes) worst = *m;
    }
    const double size = static_cast<double>(file.size);
    const double readBytes = worst.peakBytes - worst.baselineBytes;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size));
    state.counters["records"] = worst.records;
    state.counters["file_MB"] = size / 1e6;
    state.counters["baseline_MB"] = worst.baselineBytes / 1e6;
    state.counters["peak_MB"] = worst.peakBytes / 1e6;
    state.counters["read_MB"] = readBytes / 1e6;
    state.counters["peak_x_file"] = worst.peakBytes / size;
    state.counters["read_x_file"] = readBytes / size;
}

void BM_FreshReadTree(benchmark::State& state) { freshRead(state, readTree); }
BENCHMARK(BM_FreshReadTree)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FreshReadDocument(benchmark::State& state) { freshRead(state, readDocument); }
BENCHMARK(BM_FreshReadDocument)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
