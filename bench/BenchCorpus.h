#pragma once
// What the benchmarks share: the unpacked generated tree (read once per
// process), the peak resident size, a reader that only scans, and a document
// with an undo manager and nothing else.
#include <sys/resource.h>
#include <zlib.h>

#include <string>

#include "document/ModelDocument.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMReader.h"

namespace bench {

inline const std::string& treeText() {
    static const std::string text = [] {
        std::string out;
        gzFile file = gzopen(KL_TESTDATA "/gedcom/generated/gen100k_seed20240601.ged.gz", "rb");
        if (!file) return out;
        char buffer[1 << 16];
        for (int got; (got = gzread(file, buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<size_t>(got));
        gzclose(file);
        return out;
    }();
    return text;
}

inline double peakResidentBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0;  // kilobytes on Linux
}

class NullReader : public kl::GEDCOMReader {
public:
    void parserDidStart() override {}
    void parserDidEnd() override {}
    void parserFoundHEAD() override {}
    void parserStartRecord(std::string, std::string, std::string, bool) override {}
    void parserLevel(int32_t, std::string, std::string, bool) override {}
    bool parserFoundTRLR() override { return true; }
    void parserClearMemory() override {}
    void parserInvalidRecordID(std::string) override {}
    void parserInvalidLevelOrder() override {}
    void parserInvalidTag() override {}
    void parserNoLevelLine(std::string) override {}
};

class QuietDocument : public kl::ModelDocument {
public:
    kl::UndoManager* undoManager() override { return &undo; }
    kl::UndoManager undo;
};

}  // namespace bench
