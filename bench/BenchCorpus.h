#pragma once
// What the benchmarks share: the unpacked generated tree (read once per
// process), the peak resident size, a reader that only scans, one that builds
// records' trees as a record store would, and a document with an undo manager
// and nothing else.
#include <sys/resource.h>
#include <zlib.h>

#include <memory>
#include <string>
#include <vector>

#include "document/ModelDocument.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMReader.h"
#include "model/GEDCOMRecord.h"
#include "model/NodeAllocator.h"

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

// The least a record store does with a scan: one record per level-0 line,
// every other line placed in its record's tree, damage marked.
class TreeReader : public kl::GEDCOMReader {
public:
    std::vector<std::shared_ptr<kl::GEDCOMRecord>> records;

    void parserDidStart() override {}
    void parserDidEnd() override {}
    void parserFoundHEAD() override { startRecord(std::string(), "HEAD"); }
    void parserStartRecord(std::string type, std::string recordID, std::string, bool) override {
        startRecord(std::move(recordID), std::move(type));
    }
    void parserLevel(int32_t level, std::string tag, std::string contents, bool) override {
        current_->addLevel(level, std::move(tag), std::move(contents));
    }
    bool parserFoundTRLR() override { return true; }
    void parserClearMemory() override {}
    void parserInvalidRecordID(std::string) override { current_->setCorruptBit(kl::CorruptInvalidID); }
    void parserInvalidLevelOrder() override { current_->setCorruptBit(kl::CorruptMisorderedLevels); }
    void parserInvalidTag() override { current_->setCorruptBit(kl::CorruptInvalidTag); }
    void parserNoLevelLine(std::string text) override { current_->addNoLevel(std::move(text)); }

private:
    void startRecord(std::string recordID, std::string type) {
        records.push_back(std::allocate_shared<kl::GEDCOMRecord>(kl::NodeAllocator<kl::GEDCOMRecord>(),
                                                                 std::move(recordID), std::move(type)));
        current_ = records.back().get();
    }
    kl::GEDCOMRecord* current_ = nullptr;
};

class QuietDocument : public kl::ModelDocument {
public:
    kl::UndoManager* undoManager() override { return &undo; }
    kl::UndoManager undo;
};

}  // namespace bench
