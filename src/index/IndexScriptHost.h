#pragma once
// IndexScriptHost: a document's script host on the window side. Besides the
// record paths its base answers, scripts open record browsers through the
// document's windows and replace a record's whole GEDCOM text through the
// index window, as the source pane does.
//
// Ownership: made and installed (GEDCOMModel::setScriptHost) by the index
// window, which uninstalls it before it goes; borrows the index controller
// and the document's windows, which live as long as the window.
// Thread: main thread, but evaluateExpression (see DocumentScriptHost).
#include <memory>
#include <string>

#include "document/DocumentScriptHost.h"

namespace kl {

class DocumentWindows;
class IndexController;

class IndexScriptHost : public DocumentScriptHost {
public:
    IndexScriptHost(IndexController& index, DocumentWindows& windows) : index_(index), windows_(windows) {}

    void openRecordBrowser(const Value& recordOrRecordAndPane) override;
    // The index window merges the other record into the information's
    // "mergeRecord".
    void mergeRecordsNow(const std::shared_ptr<GEDCOMRecord>& other, const Dictionary& info) override;
    void changeRecordData(const std::shared_ptr<GEDCOMRecord>& record, const std::string& gedcom,
                          bool verify) override;
    ScriptReply applicationCommand(const std::string& command, const Dictionary& arguments) override;

private:
    IndexController& index_;
    DocumentWindows& windows_;
};

}  // namespace kl
