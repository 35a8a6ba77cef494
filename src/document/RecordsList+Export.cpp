// A list's records as GEDCOM text for an export or for the user-defined and
// damaged records of a save.
#include <algorithm>
#include <vector>

#include "document/GEDCOMModel.h"
#include "document/RecordsList.h"
#include "foundation/RunInParts.h"
#include "model/GEDCOMRecord.h"

namespace kl {

namespace {

bool writesRecords(int32_t listType) { return listType <= ListUserDefinedType; }

// What one record of a large file takes as text, to size a run's buffer.
constexpr std::size_t kBytesPerRecord = 128;

}  // namespace

void RecordsList::exportGEDCOM(std::string& text, bool allowCache, std::atomic<int32_t>& recs,
                               bool forExport) const {
    if (!writesRecords(listType_)) return;
    auto writeRun = [&](std::size_t from, std::size_t to, std::string& out) {
        for (std::size_t i = from; i < to; ++i) {
            if (model_ && model_->writingStopped()) return;
            const auto& record = order_[i];
            if (forExport)
                record->appendGEDCOMRecordExport(out, allowCache);
            else
                record->appendGEDCOMRecord(out, allowCache);
            ++recs;
        }
    };
    // Writing a record only reads its tree (and fills its own cache), so
    // runs of a large list are written side by side and joined in order:
    // walking the scattered nodes, not copying text, is what takes the time.
    const std::size_t threads =
        std::min<std::size_t>(static_cast<std::size_t>(GEDCOMModel::tidyingThreads(order_.size())), order_.size());
    if (threads <= 1) {
        writeRun(0, order_.size(), text);
        return;
    }
    std::vector<std::string> runs(threads);
    runInParts(threads, [&](std::size_t part) {
        const std::size_t from = order_.size() * part / threads;
        const std::size_t to = order_.size() * (part + 1) / threads;
        runs[part].reserve((to - from) * kBytesPerRecord);
        writeRun(from, to, runs[part]);
    });
    for (std::string& run : runs) {
        text.append(run);
        std::string().swap(run);
    }
}

void RecordsList::exportOBJEGEDCOM(std::string& text, bool allowCache, std::atomic<int32_t>& recs,
                                   bool thumbnails) const {
    for (const auto& record : order_) {
        if (model_ && model_->writingStopped()) return;
        record->appendGEDCOMRecordExport(text, allowCache);
        if (thumbnails && model_) model_->appendThumbnail(text, *record);
        ++recs;
    }
}

}  // namespace kl
