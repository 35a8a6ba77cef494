#pragma once
// DocumentScriptHost: the part of a document's script host that the record
// store can answer itself: record-path expressions evaluated against the
// store (KLExpression). The document's windows (browsers, the index window's
// merge and data replacement) and the application's commands are left to the
// class that derives from it in the layer that has them.
//
// Ownership: made by the document and installed on its store with
// GEDCOMModel::setScriptHost; outlives the store's records' script calls.
// Thread: evaluateExpression on the script's thread (it only reads); the
// rest on the main thread.
#include <string>

#include "model/RecordScriptHost.h"

namespace kl {

class DocumentScriptHost : public RecordScriptHost {
public:
    std::string evaluateExpression(const GEDCOMObject& node, const std::string& expression) override;
};

}  // namespace kl
