// The per-type writers of a GEDCOM export.
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"

namespace kl {

void RecordsIndices::exportType(const std::string& type, std::string& text, std::atomic<int32_t>& recs) const {
    if (ListPtr list = listForType(type)) list->exportGEDCOM(text, GEDCOMModel::allowCache(), recs, true);
}

void RecordsIndices::exportOBJETo(std::string& text, std::atomic<int32_t>& recs, bool thumbnails, bool) const {
    if (ListPtr list = listForType("OBJE")) list->exportOBJEGEDCOM(text, GEDCOMModel::allowCache(), recs, thumbnails);
}

}  // namespace kl
