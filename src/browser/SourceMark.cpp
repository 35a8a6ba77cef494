#include "browser/SourceMark.h"

#include "model/GEDCOMRecord.h"

namespace kl {

std::shared_ptr<GEDCOMObject> sourceStructureToMark(const GEDCOMRecord& windowRecord, const GEDCOMRecord& shownRecord,
                                                    std::shared_ptr<GEDCOMObject> focused) {
    if (&windowRecord != &shownRecord)
        if (auto parent = windowRecord.parentStructure(); parent && parent.get() != &shownRecord) return parent;
    return focused;
}

}  // namespace kl
