// What both whole-database writers put after the fixed record types.
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "model/GEDCOMRecord.h"

namespace kl {

void RecordsIndices::appendRestToGEDCOM(std::string& text, bool allowCache, std::atomic<int32_t>& recs,
                                        bool forExport) const {
    const bool stoppable = model_ != nullptr;
    for (const auto& list : lists_) {
        if (stoppable && model_->writingStopped()) return;
        if (list->listType() == ListUserDefinedType) list->exportGEDCOM(text, allowCache, recs, forExport);
    }
    ListPtr corrupted = listForType(kCorrupted);
    if (!corrupted) return;
    // A record damaged otherwise stays in its type list and was written there.
    for (const auto& record : corrupted->order()) {
        if (stoppable && model_->writingStopped()) return;
        if (!record->isCorrupt(CorruptDuplicateID | CorruptExtraRecord)) continue;
        if (forExport)
            record->appendGEDCOMRecordExport(text, allowCache);
        else
            record->appendGEDCOMRecord(text, allowCache);
        ++recs;
    }
}

}  // namespace kl

namespace kl {

void RecordsIndices::writeType(const std::string& type, ByteSink& sink, std::string& buffer,
                               std::atomic<int32_t>& recs) const {
    if (ListPtr list = listForType(type)) list->writeGEDCOM(buffer, sink, recs);
}

}  // namespace kl
