// The scripting surface of a record: its attribute keys and setters for
// internal scripts, its script properties, and the commands a script sends
// to a record (sorting, report prose, merging, replacing its data, drops).
// Setters that change the tree run on the main thread while the script's
// thread waits; the context slot alone is stored on the script's thread.
#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <unordered_map>

#include "foundation/HTMLText.h"
#include "foundation/MainThread.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/RecordScriptHost.h"
#include "model/RecordStore.h"
#include "model/ReportOptions.h"
#include "model/wex.h"

namespace kl {

namespace {

// The context values of all records, by record: a script thread sets them
// while the main thread may read or destroy records.
struct ContextSlots {
    std::mutex mutex;
    std::unordered_map<const GEDCOMRecord*, Value> values;
    std::atomic<std::size_t> count{0};
};

ContextSlots& contextSlots() {
    static ContextSlots* slots = new ContextSlots;  // outlives records destroyed at exit
    return *slots;
}

using RecordGetter = std::string (*)(GEDCOMRecord&);

const std::map<std::string, RecordGetter, std::less<>>& recordGetters() {
    static const std::map<std::string, RecordGetter, std::less<>> table{
        {"name", [](GEDCOMRecord& r) { return r.viewName(); }},
        {"alternateName", [](GEDCOMRecord& r) { return r.altViewName(); }},
        {"id", [](GEDCOMRecord& r) { return r.grecordID(); }},
        {"recordType", [](GEDCOMRecord& r) { return r.recordType(); }},
        {"connected", [](GEDCOMRecord& r) { return std::string(r.isConnected() ? "true" : "false"); }},
        {"contextInfo", [](GEDCOMRecord& r) { return r.asContextInfo().toString(); }},
        {"restriction", [](GEDCOMRecord& r) { return r.resnString(); }},
        {"ipnName", [](GEDCOMRecord& r) { return r.ipnName(); }},
        {"ipnSearch", [](GEDCOMRecord& r) { return r.ipnSearch(); }},
    };
    return table;
}

struct SortCode {
    const char* code;
    int kind;
};

constexpr SortCode kSortCodes[] = {
    {"skCH", SortChildren}, {"skSP", SortSpouseFamilies}, {"skEV", SortEvents}, {"skMM", SortMultimediaLinks}};

std::string textArgument(const Dictionary& arguments, std::string_view key, std::string fallback = {}) {
    const Value* value = arguments.get(key);
    return value && !value->isNull() ? value->toString() : fallback;
}

// The bytes of the line end at `at`: CR LF, CR, LF, NEL, LS or PS.
std::size_t lineEndLength(std::string_view text, std::size_t at) {
    const std::string_view end = text.substr(std::min(at, text.size()));
    if (end.starts_with("\r\n")) return 2;
    if (end.starts_with("\r") || end.starts_with("\n")) return 1;
    if (end.starts_with("\xC2\x85")) return 2;
    if (end.starts_with("\xE2\x80\xA8") || end.starts_with("\xE2\x80\xA9")) return 3;
    return 0;
}

}  // namespace

// ---- the context slot

Value GEDCOMRecord::contextInfo() const {
    ContextSlots& slots = contextSlots();
    if (slots.count.load(std::memory_order_acquire) == 0) return Value();
    std::lock_guard lock(slots.mutex);
    auto it = slots.values.find(this);
    return it == slots.values.end() ? Value() : it->second;
}

void GEDCOMRecord::setContextInfo(Value info) {
    ContextSlots& slots = contextSlots();
    if (info.isNull() && slots.count.load(std::memory_order_acquire) == 0) return;
    Value old;  // released outside the lock: it may hold a record
    {
        std::lock_guard lock(slots.mutex);
        auto it = slots.values.find(this);
        if (info.isNull()) {
            if (it == slots.values.end()) return;
            old = std::move(it->second);
            slots.values.erase(it);
        } else if (it != slots.values.end()) {
            old = std::exchange(it->second, std::move(info));
        } else {
            slots.values.emplace(this, std::move(info));
        }
        slots.count.store(slots.values.size(), std::memory_order_release);
    }
}

Value GEDCOMRecord::asContextInfo() const {
    Value info = contextInfo();
    return info.isNull() ? Value("") : info;
}

void GEDCOMRecord::setAsContextInfo(Value info) {
    const std::string* text = info.string();
    setContextInfo(text && text->empty() ? Value() : std::move(info));
}

// ---- attributes

std::optional<std::string> GEDCOMRecord::klis_getAttribute(const std::string& name, ISInterpreter*) {
    auto it = recordGetters().find(name);
    if (it != recordGetters().end()) return it->second(*this);
    return nodeAttribute(name);
}

bool GEDCOMRecord::klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) {
    if (name == "contextInfo") {
        setAsContextInfo(Value(value));
        return true;
    }
    auto self = holdRecord();
    if (name == "name") {
        Dispatcher::current().postAndWait([self, value] { self->setViewName(value); });
        return true;
    }
    if (name == "gedcom") {
        std::optional<std::string> refusal;
        Dispatcher::current().postAndWait([self, value, &refusal] { refusal = self->setGedcomString(value); });
        return !refusal;
    }
    if (name == "keywords") {
        auto list = sender ? std::dynamic_pointer_cast<ISScripting>(sender->scriptObject(value)) : nullptr;
        auto items = list ? list->klis_listItems() : std::nullopt;
        if (!items) return false;
        Dispatcher::current().postAndWait([self, &items] { self->setKeywords(*items); });
        return true;
    }
    return false;
}

std::shared_ptr<Object> GEDCOMRecord::klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) {
    if (name == "keywords") {
        Array words;
        for (auto& word : keywords()) words.emplace_back(std::move(word));
        return listValue(sender, std::move(words));
    }
    return nodeObjectAttribute(name, sender);
}

std::string GEDCOMRecord::scriptClassName() const { return GEDCOMObject::scriptClassName(); }

std::optional<ScriptSpecifier> GEDCOMRecord::objectSpecifier() {
    if (!model()) return std::nullopt;
    return ScriptSpecifier{nullptr, scriptRecordType().value_or("gedcomRecords"), 0, grecordID()};
}

// ---- properties that only a record still outside a store may change

std::optional<std::string> GEDCOMRecord::setReadRecordID(const std::string& recordID) {
    if (model()) return std::string("You can only set a record ID using 'with properties' when making a new record");
    setGrecordID(recordID);
    return std::nullopt;
}

std::optional<std::string> GEDCOMRecord::setReadRecordType(const std::string& type) {
    if (model()) return std::string("You can only set record type using 'with properties' when making a new record");
    setRecordType(type);
    return std::nullopt;
}

// ---- replacing the data

std::optional<std::string> GEDCOMRecord::setGedcomString(const std::string& text) {
    bool more = false;
    const std::string firstLine = wex::getFirstLine(text, &more);
    if (!more) return std::string("The GEDCOM data for a record has only a single line");
    if (wex::getFirstWord(text) != "0") return std::string("The GEDCOM data for a record does not begin in '0'");
    const std::size_t rest = firstLine.size() + lineEndLength(text, firstLine.size());
    std::string gedcom = structureLine() + text.substr(std::min(rest, text.size()));
    // The waiting setter dies with the record, so it must not own it.
    if (deferUntilInstalled([this, text] { setGedcomString(text); })) return std::nullopt;
    RecordScriptHost* host = scriptHost();
    if (!host) return std::string("The record's data cannot be changed outside an open document");
    host->changeRecordData(holdRecord(), gedcom, false);
    setChangeDate();
    return std::nullopt;
}

// ---- commands

ScriptReply GEDCOMRecord::handleScriptCommand(const std::string& command, const Dictionary& arguments) {
    using Handler = ScriptReply (GEDCOMRecord::*)(const Dictionary&);
    static const std::map<std::string, Handler, std::less<>> handlers{
        {"scriptShowBrowser", &GEDCOMRecord::scriptShowBrowser},
        {"scriptShowBrowserPane", &GEDCOMRecord::scriptShowBrowserPane},
        {"handleSortRecordDataScriptCommand", &GEDCOMRecord::handleSortRecordDataScriptCommand},
        {"handleCanLinkToScriptCommand", &GEDCOMRecord::handleCanLinkToScriptCommand},
        {"handleReportDescriptionScriptCommand", &GEDCOMRecord::handleReportDescriptionScriptCommand},
        {"handleMergeRecordsScriptCommand", &GEDCOMRecord::handleMergeRecordsScriptCommand},
    };
    auto it = handlers.find(command);
    if (it != handlers.end()) return (this->*(it->second))(arguments);
    return GEDCOMObject::handleScriptCommand(command, arguments);
}

ScriptReply GEDCOMRecord::scriptShowBrowser(const Dictionary&) {
    RecordScriptHost* host = scriptHost();
    if (!host) return ScriptReply::failure("The record is not in an open document");
    host->openRecordBrowser(Value(holdRecord()));
    return ScriptReply::answer();
}

ScriptReply GEDCOMRecord::scriptShowBrowserPane(const Dictionary& arguments) {
    RecordScriptHost* host = scriptHost();
    if (!host) return ScriptReply::failure("The record is not in an open document");
    const Value* pane = arguments.get("withID");
    if (pane && !pane->isNull())
        host->openRecordBrowser(Value(Array{Value(holdRecord()), Value(pane->toString())}));
    else
        host->openRecordBrowser(Value(holdRecord()));
    return ScriptReply::answer();
}

ScriptReply GEDCOMRecord::handleSortRecordDataScriptCommand(const Dictionary& arguments) {
    const std::string code = textArgument(arguments, "targetData");
    const std::string reversed(code.rbegin(), code.rend());
    for (const SortCode& entry : kSortCodes)
        if (code == entry.code || reversed == entry.code) {
            sortEntry(entry.kind, true);
            break;
        }
    return ScriptReply::answer();
}

ScriptReply GEDCOMRecord::handleCanLinkToScriptCommand(const Dictionary& arguments) {
    return ScriptReply::answer(Value(canLinkTo(textArgument(arguments, "recordType", "****"))));
}

std::optional<std::uint32_t> GEDCOMRecord::reportOptionBit(std::string_view name) {
    for (const ReportOptionKeyword& option : kReportOptionKeywords)
        if (name == option.keyword) return option.bit;
    return std::nullopt;
}

ScriptReply GEDCOMRecord::handleReportDescriptionScriptCommand(const Dictionary& arguments) {
    std::uint32_t options = 0;
    const Value* names = arguments.get("outputOptions");
    if (names && names->array())
        for (const Value& name : *names->array()) {
            const std::string text = name.toString();
            auto bit = reportOptionBit(text);
            if (!bit) return ScriptReply::failure("Invalid option '" + text + "' was used for an individual's description");
            options |= *bit;
        }
    return ScriptReply::answer(reportDescription(options));
}

ScriptReply GEDCOMRecord::handleMergeRecordsScriptCommand(const Dictionary& arguments) {
    const Value* given = arguments.get("otherRecord");
    std::shared_ptr<Object> other;
    if (given && given->string()) {
        auto found = model() ? model()->recordWithID(*given->string(), recordType()) : nullptr;
        if (!found) return ScriptReply::failure("Could not find the other record of the same type using the provided id.");
        other = std::move(found);
    } else if (given) {
        other = given->object();
    }
    auto otherRecord = std::dynamic_pointer_cast<GEDCOMRecord>(other);
    if (otherRecord.get() == this) return ScriptReply::failure("Records cannot merge with themselves.");
    if (!otherRecord) return ScriptReply::failure("Records can only be merged with other records of the same type.");
    const GEDCOMRecord& otherKind = *otherRecord;
    if (typeid(otherKind) != typeid(*this))
        return ScriptReply::failure("Records can only be merged with other records of the same type.");
    if (isLocked() || otherRecord->isLocked())
        return ScriptReply::failure("One (or both) of the records is locked and therefore they cannot be merged.");
    const Value* force = arguments.get("forceit");
    if (!(force && force->toBool()) && !canMergeWith(*otherRecord))
        return ScriptReply::failure(
            "The target record cannot merge with suggested record because of certain conflicting data.");
    RecordScriptHost* host = scriptHost();
    if (!host) return ScriptReply::failure("The records cannot be merged outside an open document.");
    prepareToMergeWith(*otherRecord);
    host->mergeRecordsNow(otherRecord, Dictionary{{"mergeRecord", Value(holdRecord())}, {"noBrowser", Value("NO")}});
    return ScriptReply::answer();
}

// ---- drops and report text

std::optional<std::string> GEDCOMRecord::finishMoveToTarget(const std::shared_ptr<GEDCOMRecord>& target) {
    if (target && target->canLinkTo(recordType()) && target->respondsToDrop(dropOperationName(recordType())))
        return target->drop(holdRecord());
    return "Can't move or copy a " + recordType() + " record to a " + (target ? target->recordType() : "") +
           " record.";
}

std::string GEDCOMRecord::formatForReport(const std::string& text, bool forHtml) {
    if (text.empty()) return text;
    std::string joined;
    if (wex::isOneLine(text)) {
        joined = text;
    } else {
        for (const auto& line : wex::linesToArray(text)) {
            if (!joined.empty()) joined += "; ";
            joined += line;
        }
    }
    if (!forHtml) return joined;
    return safeHTMLText(joined, false, false);
}

std::string GEDCOMRecord::removeReturns(const std::string& text) {
    std::string out = text;
    std::replace(out.begin(), out.end(), '\r', '\n');
    return out;
}

}  // namespace kl
