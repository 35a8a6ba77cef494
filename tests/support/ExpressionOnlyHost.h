#pragma once
// A document's script host of which only record paths answer: the windows
// of a document do not exist in these tests.
#include <memory>
#include <string>

#include "document/DocumentScriptHost.h"

namespace kl::test {

class ExpressionOnlyHost : public DocumentScriptHost {
public:
    void openRecordBrowser(const Value&) override {}
    void mergeRecordsNow(const std::shared_ptr<GEDCOMRecord>&, const Dictionary&) override {}
    void changeRecordData(const std::shared_ptr<GEDCOMRecord>&, const std::string&, bool) override {}
    ScriptReply applicationCommand(const std::string&, const Dictionary&) override { return {}; }
};

}  // namespace kl::test
