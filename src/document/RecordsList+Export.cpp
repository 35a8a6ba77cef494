// A list's records as GEDCOM text for an export or for the user-defined and
// damaged records of a save.
#include "document/GEDCOMModel.h"
#include "document/RecordsList.h"
#include "model/GEDCOMRecord.h"

namespace kl {

namespace {

bool writesRecords(int32_t listType) { return listType <= ListUserDefinedType; }

}  // namespace

void RecordsList::exportGEDCOM(std::string& text, bool allowCache, std::atomic<int32_t>& recs,
                               bool forExport) const {
    if (!writesRecords(listType_)) return;
    for (const auto& record : order_) {
        if (model_ && model_->writingStopped()) return;
        if (forExport)
            record->appendGEDCOMRecordExport(text, allowCache);
        else
            record->appendGEDCOMRecord(text, allowCache);
        ++recs;
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
