#include "model/GroupedRecord.h"

#include "model/RecordStore.h"

namespace kl {

GroupedRecord::GroupedRecord(const StructureList& structures, int level, RecordStore* model, std::string type)
    : GEDCOMRecord(std::string(), std::move(type)) {
    setStructures(structures);
    setGlevel(level);
    setModel(model);
}

}  // namespace kl
