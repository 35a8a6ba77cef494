// A list's records in the stored form, streamed to the package file.
#include "document/GEDCOMModel.h"
#include "document/RecordsList.h"
#include "model/GEDCOMRecord.h"

namespace kl {

void RecordsList::writeGEDCOM(std::string& buffer, ByteSink& sink, std::atomic<int32_t>& recs) const {
    if (listType_ > ListUserDefinedType || !model_) return;
    const bool allowCache = GEDCOMModel::allowCache();
    for (const auto& record : order_) {
        record->appendGEDCOMRecord(buffer, allowCache);
        ++recs;
        if (buffer.size() >= GEDCOMModel::kFlushThreshold) model_->flushGedcomBuffer(buffer, sink);
    }
}

}  // namespace kl
