#pragma once
// RecordScriptHost: what the scripting surface of records and structures
// needs from the layers above the GEDCOM tree: record-path expressions, the
// document's windows (record browsers, the index window's merge and data
// replacement), the application object's script commands and the place
// coordinate parser. A document installs one on its record store (see
// RecordStore::scriptHost); a record outside a store, or a store without a
// host, answers these commands with an error or an empty value.
//
// Ownership: the store owns or outlives its host; records hold it only for
// the length of a call.
// Thread: evaluateExpression and boundsToRect run on the calling script's
// thread and only read; every other call comes on the main thread.
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "foundation/Value.h"
#include "model/ScriptReply.h"

namespace kl {

class GEDCOMObject;
class GEDCOMRecord;

class RecordScriptHost {
public:
    virtual ~RecordScriptHost() = default;

    // The record-path expression's text on the node, with the node's record
    // as source record and that record's store as document.
    virtual std::string evaluateExpression(const GEDCOMObject& node, const std::string& expression) = 0;
    // Opens a record browser on the record, or on [record, pane name].
    virtual void openRecordBrowser(const Value& recordOrRecordAndPane) = 0;
    // The index window merges `other` into info's "mergeRecord".
    virtual void mergeRecordsNow(const std::shared_ptr<GEDCOMRecord>& other, const Dictionary& info) = 0;
    // The index window re-reads the record from the text, with undo.
    virtual void changeRecordData(const std::shared_ptr<GEDCOMRecord>& record, const std::string& gedcom,
                                  bool verify) = 0;
    // A command the application object handles for any record or structure
    // ("scriptDateParts", "scriptOpenURL", ...), or the document's
    // "scriptHTMLSafeText".
    virtual ScriptReply applicationCommand(const std::string& command, const Dictionary& arguments) = 0;
    // A bounding-box text as (origin x, origin y, width, height); nullopt
    // when it does not parse.
    virtual std::optional<std::array<double, 4>> boundsToRect(const std::string& bounds) {
        (void)bounds;
        return std::nullopt;
    }
};

}  // namespace kl
