#include "index/IndexScriptHost.h"

#include "index/DocumentWindows.h"
#include "document/GEDCOMModel.h"
#include "index/IndexController.h"
#include "model/GEDCOMRecord.h"

namespace kl {

void IndexScriptHost::openRecordBrowser(const Value& recordOrRecordAndPane) {
    std::shared_ptr<GEDCOMRecord> record = recordOrRecordAndPane.objectAs<GEDCOMRecord>();
    std::optional<std::string> pane;
    if (const Array* pair = recordOrRecordAndPane.array(); pair && !pair->empty()) {
        record = pair->front().objectAs<GEDCOMRecord>();
        if (pair->size() > 1 && pair->at(1).string()) pane = *pair->at(1).string();
    }
    // Only this document's records open in its windows.
    if (!record || record->model() != static_cast<const RecordStore*>(&index_.gedcomModel())) return;
    windows_.openRecordBrowser(record, pane);
}

void IndexScriptHost::mergeRecordsNow(const std::shared_ptr<GEDCOMRecord>& other, const Dictionary& info) {
    index_.mergeRecordsNow(other, info);
}

void IndexScriptHost::changeRecordData(const std::shared_ptr<GEDCOMRecord>& record, const std::string& gedcom,
                                       bool verify) {
    // Edits waiting in the source pane reach their record before the
    // script's text replaces anything.
    index_.textDidEndEditing();
    index_.changeRecordData(record, gedcom, verify);
}

ScriptReply IndexScriptHost::applicationCommand(const std::string& command, const Dictionary&) {
    return ScriptReply::failure("The command '" + command + "' is not available in this program");
}

}  // namespace kl
