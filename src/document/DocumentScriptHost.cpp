#include "document/DocumentScriptHost.h"

#include "document/GEDCOMModel.h"
#include "document/KLExpression.h"
#include "model/GEDCOMRecord.h"

namespace kl {

// A node outside any record has no source record to start a path from.
std::string DocumentScriptHost::evaluateExpression(const GEDCOMObject& node, const std::string& expression) {
    const GEDCOMRecord* record = node.theRecord();
    if (!record) return {};
    auto* model = dynamic_cast<GEDCOMModel*>(record->model());
    return KLExpression(expression).valueInRecord(node, *record, model);
}

}  // namespace kl
