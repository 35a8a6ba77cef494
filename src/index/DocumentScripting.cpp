#include "index/DocumentScripting.h"

#include <algorithm>
#include <mutex>

#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/IndexStyle.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/AsciiText.h"
#include "foundation/MainThread.h"
#include "foundation/UndoManager.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "model/GEDCOMRecord.h"
#include "model/HEADRecord.h"

namespace kl {

namespace {

// The record lists scripts read by name.
const std::pair<const char*, const char*> kRecordLists[] = {
    {"individuals", "INDI"}, {"families", "FAM"},      {"sources", "SOUR"},       {"multimedia", "OBJE"},
    {"notes", "NOTE"},       {"repositories", "REPO"}, {"headers", "HEAD"},       {"submitters", "SUBM"},
    {"submissions", "SUBN"}, {"researchLogs", "_LOG"}, {"reports", "_RPT"},       {"places", "_PLC"},
    {"bookStyles", "_BOK"},
};

Array valuesOf(const std::vector<std::shared_ptr<GEDCOMRecord>>& records) {
    Array items;
    items.reserve(records.size());
    for (const auto& record : records) items.emplace_back(std::static_pointer_cast<Object>(record));
    return items;
}

std::string boolText(bool value) { return value ? "true" : "false"; }

// Set on the main thread, read on a script's.
struct PickedRecord {
    std::mutex mutex;
    bool showing = false;
    std::uint64_t latest = 0;
    std::shared_ptr<GEDCOMRecord> record;
};

PickedRecord& picked() {
    static PickedRecord value;
    return value;
}

}  // namespace

bool DocumentScripting::onMain(const std::function<void(IndexController&)>& work) {
    bool open = false;
    Dispatcher::current().postAndWait([&] {
        if (!index_) return;
        open = true;
        work(*index_);
    });
    return open;
}

Value DocumentScripting::scriptList(Array items, ISInterpreter* sender) const {
    std::shared_ptr<Object> list = sender ? sender->makeList(std::move(items)) : nullptr;
    return list ? Value(list) : Value();
}

// ---- attributes

std::optional<std::string> DocumentScripting::klis_getAttribute(const std::string& name, ISInterpreter*) {
    if (name == "class") return std::string("document");
    std::optional<std::string> answer;
    onMain([&](IndexController& index) {
        GEDCOMDocument& doc = index.document();
        const auto file = doc.fileURL();
        if (name == "name") answer = file ? file->filename().string() : std::string("Untitled");
        else if (name == "path") answer = file ? file->string() : std::string();
        else if (name == "folder") answer = file ? file->parent_path().string() : std::string();
        else if (name == "modified") answer = boolText(doc.isDocumentEdited());
        else if (name == "homeRecord" || name == "mainSubmitter") {
            if (auto header = std::dynamic_pointer_cast<HEADRecord>(index.gedcomModel().header()))
                answer = name == "homeRecord" ? header->homeRecord() : header->mainSubmitter();
        }
    });
    return answer;
}

bool DocumentScripting::klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter*) {
    if (name != "homeRecord" && name != "mainSubmitter") return false;
    onMain([&](IndexController& index) {
        auto header = std::dynamic_pointer_cast<HEADRecord>(index.gedcomModel().header());
        if (!header) return;
        if (name == "homeRecord") header->setHomeRecord(value);
        else header->setMainSubmitter(value);
    });
    return true;
}

std::uint64_t DocumentScripting::pickStarted() {
    std::lock_guard lock(picked().mutex);
    picked().showing = true;
    picked().record.reset();
    return ++picked().latest;
}

void DocumentScripting::pickEnded(const RecordPtr& record, std::uint64_t pick) {
    std::lock_guard lock(picked().mutex);
    if (pick != picked().latest) return;
    picked().showing = false;
    picked().record = record;
}

std::shared_ptr<Object> DocumentScripting::klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) {
    if (name == "pickedRecord") {
        Array outcome;
        {
            std::lock_guard lock(picked().mutex);
            if (picked().record) outcome = {Value("OK"), Value(std::static_pointer_cast<Object>(picked().record))};
            else if (!picked().showing) outcome = {Value("Cancel")};
        }
        return scriptList(std::move(outcome), sender).object();
    }
    static constexpr std::string_view kRecordWithID = "recordWithID";
    Array items;
    bool known = false;
    std::shared_ptr<Object> single;
    onMain([&](IndexController& index) {
        RecordsIndices& lists = index.recordsIndex();
        for (const auto& [key, type] : kRecordLists)
            if (name == key) {
                known = true;
                if (auto list = lists.listForType(type)) items = valuesOf(list->order());
                return;
            }
        known = true;
        if (name == "gedcomRecords") items = valuesOf(lists.collectRecords(std::nullopt));
        else if (name == "albums")
            for (const auto& album : lists.albums()) items.emplace_back(std::static_pointer_cast<Object>(album));
        else if (name == "selectedRecords" || name == "listedRecords" || name == "keyRecord") {
            DocumentWindowController* front = index.windows() ? index.windows()->frontGEDCOMcontroller() : &index;
            if (!front) front = &index;
            if (name == "selectedRecords") items = valuesOf(front->selectedRecords());
            else if (name == "listedRecords") items = front->listedRecords(true);
            else single = front->selectedRecord();
            if (name == "keyRecord") known = single != nullptr;
        } else if (name.size() > kRecordWithID.size() && name.starts_with(kRecordWithID)) {
            single = index.gedcomModel().recordWithID(name.substr(kRecordWithID.size()));
            if (!single && sender) single = sender->scriptObject("None");
        } else {
            known = false;
        }
    });
    if (single) return single;
    if (name == "keyRecord" && sender) return sender->scriptObject("None");
    if (!known) return nullptr;
    return scriptList(std::move(items), sender).object();
}

// ---- commands

DocumentScripting::ListPtr DocumentScripting::ISCreateAlbum(const std::optional<std::string>& name) {
    ListPtr album;
    onMain([&](IndexController& index) { album = index.createAlbumNamed(name); });
    return album;
}

DocumentScripting::RecordPtr DocumentScripting::createRecordInIS(const std::string& type,
                                                                 const std::optional<std::string>& extra) {
    RecordPtr record;
    onMain([&](IndexController& index) {
        Value info;
        if (type == "INDI") info = Value(extra && asciiLower(*extra) == "male");
        else if (type == "_PLC" && extra && !extra->empty()) info = Value(*extra);
        record = index.gedcomModel().createNewRecordOfType(type, info);
    });
    return record;
}

void DocumentScripting::beginUndo() {
    onMain([](IndexController& index) { index.document().undo().beginUndoGrouping(); });
}

std::optional<std::string> DocumentScripting::endUndo(const std::optional<std::string>& actionName) {
    std::optional<std::string> failure = std::string("the document was closed");
    onMain([&](IndexController& index) {
        UndoManager& undo = index.document().undo();
        if (undo.groupingLevel() == 0) {
            failure = "no undo group is open";
            return;
        }
        failure.reset();
        if (actionName) undo.setActionName(*actionName);
        undo.endUndoGrouping();
    });
    return failure;
}

std::optional<std::string> DocumentScripting::saveForScript(const std::string& location) {
    std::optional<std::string> failure = std::string("the document was closed");
    onMain([&](IndexController& index) {
        std::string error;
        if (index.document().saveAndCloseDocument(location, &error)) failure.reset();
        else failure = error.empty() ? std::string("the document could not be saved") : error;
    });
    return failure;
}

bool DocumentScripting::exportFinally(const std::string& path) {
    bool written = false;
    onMain([&](IndexController& index) { written = index.document().exportFinally(path); });
    return written;
}

bool DocumentScripting::hasFile() {
    bool has = false;
    onMain([&](IndexController& index) { has = index.document().fileURL().has_value(); });
    return has;
}

void DocumentScripting::ISDeleteAlbum(const ListPtr& album) {
    onMain([&](IndexController& index) {
        index.deleteAlbum(album);
        index.document().undo().setActionName("Delete Album");
    });
}

bool DocumentScripting::clearContextInfo(const std::string& recordType) {
    bool found = false;
    onMain([&](IndexController& index) {
        auto list = index.recordsIndex().listForType(recordType);
        if (!list) return;
        found = true;
        for (const auto& record : list->order()) record->setContextInfo(Value());
    });
    return found;
}

std::optional<std::string> DocumentScripting::argsSelectRecordType(const std::string& listName,
                                                                   const std::string& recordType,
                                                                   const std::string& sortExpression) {
    std::optional<std::string> error = std::string("The record type or album name could not be found");
    onMain([&](IndexController& index) {
        const auto& lists = index.recordsIndex().lists();
        for (std::size_t row = 0; row < lists.size(); ++row) {
            const RecordsList& list = *lists[row];
            if (recordType.empty() ? list.name() != listName : list.recordType() != recordType) continue;
            index.selectRecordTypeIndex(static_cast<long>(row));
            error.reset();
            if (sortExpression.empty()) return;
            if (const auto style = index.shownStyle()) {
                const int column = style->expressionColumn(sortExpression);
                if (column >= 0) index.didClickTableColumn(column);
            }
            return;
        }
    });
    return error;
}

}  // namespace kl
