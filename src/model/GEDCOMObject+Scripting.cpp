// The scripting surface every node shares: the node's attribute keys, the
// child list as a script element, and the commands any record or structure
// answers.
#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <map>
#include <typeinfo>

#include "model/GEDCOMObject.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/LibraryServices.h"
#include "model/RecordScriptHost.h"
#include "model/RecordStore.h"
#include "foundation/TextCase.h"

namespace kl {

namespace {

constexpr const char* kPlaceholderTag = "@@@@";
constexpr const char* kNeedsName = "You must provide the name property when creating a new structure";

using NodeGetter = std::string (*)(const GEDCOMObject&);

const std::map<std::string, NodeGetter, std::less<>>& nodeGetters() {
    static const std::map<std::string, NodeGetter, std::less<>> table{
        {"firstLine", [](const GEDCOMObject& n) { return n.structureLine(); }},
        {"gedcom", [](const GEDCOMObject& n) { return n.gedcomString(); }},
        {"level", [](const GEDCOMObject& n) { return std::to_string(n.glevel()); }},
        {"tag", [](const GEDCOMObject& n) { return n.gtag(); }},
        {"class", [](const GEDCOMObject& n) { return n.scriptClassName(); }},
    };
    return table;
}

// The tags whose direct children the link-list attributes read.
const std::map<std::string, std::string, std::less<>>& linkListTags() {
    static const std::map<std::string, std::string, std::less<>> table{
        {"citations", "SOUR"}, {"notations", "NOTE"}, {"objects", "OBJE"}, {"logs", "_LOG"}};
    return table;
}

const char* const kApplicationCommands[] = {
    "scriptDateParts",       "scriptUserDate",          "scriptCustomDate",
    "scriptExtractDate",     "scriptYearFromDate",      "scriptNameParts",
    "scriptDateToday",       "scriptSDNRangeFromDate",  "scriptDateFromSDN",
    "scriptFormatName",      "scriptFractionDone",      "scriptUserOptionScriptCommand",
    "scriptUserOpenFile",    "scriptUserOpenFolder",    "scriptUserSaveFile",
    "scriptUserInputCommand", "scriptUserChoiceCommand", "handlePrintScriptCommand",
    "scriptLocalCommand",    "scriptRunScriptCommand",  "scriptSoundexCodeCommand",
    "scriptInstallExtension", "scriptUniqueFileName",   "scriptMakeFolder",
    "scriptOpenURL",
};

std::string textArgument(const Dictionary& arguments, std::string_view key) {
    const Value* value = arguments.get(key);
    return value ? value->toString() : std::string();
}

// [contents, path positions...] for each structure below `root` with the
// tag (and the contents, when given), depth first.
Array positionsOf(const GEDCOMObject& root, const std::string& tag, const std::optional<std::string>& contents) {
    Array found;
    struct Frame {
        const GEDCOMObject* node;
        std::size_t next;
    };
    std::vector<Frame> stack{{&root, 0}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next >= top.node->structures().size()) {
            stack.pop_back();
            continue;
        }
        const GEDCOMStructure* child = top.node->structures()[top.next++].get();
        if (child->gtag() == tag && (!contents || child->contents() == *contents)) {
            Array row{Value(child->contents())};
            for (const Frame& f : stack) row.emplace_back(static_cast<long long>(f.next));
            found.emplace_back(std::move(row));
        }
        if (!child->structures().empty()) stack.push_back({child, 0});
    }
    return found;
}

}  // namespace

// ---- attributes

std::optional<std::string> GEDCOMObject::nodeAttribute(const std::string& name) const {
    auto it = nodeGetters().find(name);
    if (it == nodeGetters().end()) return std::nullopt;
    return it->second(*this);
}

std::optional<std::string> GEDCOMObject::klis_getAttribute(const std::string& name, ISInterpreter*) {
    return nodeAttribute(name);
}

bool GEDCOMObject::klis_setAttribute(const std::string&, const std::string&, ISInterpreter*) { return false; }

std::shared_ptr<Object> GEDCOMObject::nodeObjectAttribute(const std::string& name, ISInterpreter* sender) const {
    if (name == "structures") {
        Array children(structures().begin(), structures().end());
        return listValue(sender, std::move(children));
    }
    if (name == "gedcomArray") return listValue(sender, gedcomArray());
    auto it = linkListTags().find(name);
    if (it == linkListTags().end()) return nullptr;
    Array records;
    for (auto& record : linkedRecs(it->second)) records.emplace_back(std::move(record));
    return listValue(sender, std::move(records));
}

std::shared_ptr<Object> GEDCOMObject::klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) {
    return nodeObjectAttribute(name, sender);
}

std::shared_ptr<Object> GEDCOMObject::noneValue(ISInterpreter* sender) {
    return sender ? sender->scriptObject("None") : nullptr;
}

std::shared_ptr<Object> GEDCOMObject::listValue(ISInterpreter* sender, Array items) {
    return sender ? sender->makeList(std::move(items)) : nullptr;
}

std::string GEDCOMObject::scriptClassName() const {
    const char* mangled = typeid(*this).name();
    int status = 0;
    char* plain = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = status == 0 && plain ? plain : mangled;
    std::free(plain);
    const auto colons = name.rfind("::");
    return colons == std::string::npos ? name : name.substr(colons + 2);
}

RecordScriptHost* GEDCOMObject::scriptHost() const {
    const GEDCOMRecord* record = theRecord();
    return record && record->model() ? record->model()->scriptHost() : nullptr;
}

std::string GEDCOMObject::klis_evaluateExpression(const std::string& expression) const {
    RecordScriptHost* host = scriptHost();
    return host ? host->evaluateExpression(*this, expression) : std::string();
}

std::optional<ScriptSpecifier> GEDCOMObject::objectSpecifier() { return std::nullopt; }

// ---- the child list as a script element

std::optional<std::string> GEDCOMObject::adoptNewStructure(const std::shared_ptr<GEDCOMStructure>& structure) {
    if (!structure) return std::string(kNeedsName);
    if (structure->gtag() == kPlaceholderTag) return std::string(kNeedsName);
    structure->fixLevel(glevel() + 1, theRecord());
    return std::nullopt;
}

std::optional<std::string> GEDCOMObject::insertInKlStructures(const std::shared_ptr<GEDCOMStructure>& structure) {
    return insertObjectInKlStructuresAtIndex(structure, structures().size());
}

std::optional<std::string> GEDCOMObject::insertObjectInKlStructuresAtIndex(
    const std::shared_ptr<GEDCOMStructure>& structure, std::size_t index) {
    // Index 0 goes first (no anchor); past the end counts as the end.
    const GEDCOMObject* after = nullptr;
    if (index > 0 && !structures().empty())
        after = structures()[std::min(index, structures().size()) - 1].get();
    return insertObjectInKlStructuresAfterStructure(structure, after);
}

std::optional<std::string> GEDCOMObject::insertObjectInKlStructuresAfterStructure(
    const std::shared_ptr<GEDCOMStructure>& structure, const GEDCOMObject* after) {
    if (auto refusal = adoptNewStructure(structure)) return refusal;
    GEDCOMRecord* record = theRecord();
    if (!record) {
        insertChild(structure, after);
        return std::nullopt;
    }
    record->addStructure(structure, this, after, false);
    record->setChangeDate();
    return std::nullopt;
}

void GEDCOMObject::removeObjectFromKlStructuresAtIndex(std::size_t index) {
    if (index >= structures().size()) return;
    auto child = structures()[index];
    if (GEDCOMRecord* record = theRecord()) {
        record->removeStructure(child, this, nullptr);
        record->setChangeDate();
    }
}

// Below a structure the record's replacement (which works on its level-1
// children) would hit the wrong structure, so a replacement there is a
// removal and an insertion at the same place, both undoable.
std::optional<std::string> GEDCOMObject::replaceObjectInKlStructuresAtIndex(
    std::size_t index, const std::shared_ptr<GEDCOMStructure>& structure) {
    if (index >= structures().size()) return insertObjectInKlStructuresAtIndex(structure, index);
    if (auto refusal = adoptNewStructure(structure)) return refusal;
    GEDCOMRecord* record = theRecord();
    if (!record) return std::nullopt;
    if (record == this) {
        record->replaceStructuresAtIndexes({index}, {structure});
        return std::nullopt;
    }
    auto old = structures()[index];
    const GEDCOMObject* after = index > 0 ? structures()[index - 1].get() : nullptr;
    record->removeStructure(old, this, nullptr);
    record->addStructure(structure, this, after, false);
    record->setChangeDate();
    return std::nullopt;
}

// ---- the child list for internal scripts

void GEDCOMObject::klis_insertObjectInKlStructures(const Array& arguments) {
    if (arguments.size() < 2) return;
    auto structure = arguments[0].objectAs<GEDCOMStructure>();
    if (!structure) return;
    const Value& position = arguments[1];
    if (auto anchor = position.objectAs<GEDCOMObject>()) {
        if (insertObjectInKlStructuresAfterStructure(structure, anchor.get())) return;
    } else {
        const auto index = position.toInteger(std::numeric_limits<std::int64_t>::max());
        const std::size_t at = index < 0 ? structures().size() : static_cast<std::size_t>(index);
        if (insertObjectInKlStructuresAtIndex(structure, at)) return;
    }
    GEDCOMRecord* record = theRecord();
    RecordStore* store = record ? record->model() : nullptr;
    const std::string& tag = structure->gtag();
    if (!store || (tag != "NOTE" && tag != "SOUR" && tag != "OBJE" && tag != "_LOG")) return;
    if (auto linked = store->recordWithID(structure->contents(), tag)) linked->attachCrossRef(*record);
}

void GEDCOMObject::klis_moveObjectInKlStructures(const Array& arguments) {
    if (arguments.empty()) return;
    auto structure = arguments[0].objectAs<GEDCOMStructure>();
    if (!structure) return;
    std::shared_ptr<GEDCOMObject> before = arguments.size() > 1 ? arguments[1].objectAs<GEDCOMObject>() : nullptr;
    moveStructure(structure, before.get());
    if (GEDCOMRecord* record = theRecord()) record->setChangeDate();
}

void GEDCOMObject::klis_removeObjectFromKlStructures(ISInterpreter* server) {
    GEDCOMRecord* record = theRecord();
    auto self = std::dynamic_pointer_cast<GEDCOMStructure>(weak_from_this().lock());
    auto parent = record && self ? record->findParentOfStructure(this) : nullptr;
    if (!parent) {
        if (server) server->setReturnValue(Value("error"));
        return;
    }
    record->removeStructure(self, parent.get(), nullptr);
    record->setChangeDate();
    if (server) server->setReturnValue(Value(""));
}

// ---- commands

bool GEDCOMObject::isApplicationCommand(std::string_view command) {
    return std::find(std::begin(kApplicationCommands), std::end(kApplicationCommands), command) !=
           std::end(kApplicationCommands);
}

ScriptReply GEDCOMObject::scriptValueInRecord(const Dictionary& arguments) const {
    return ScriptReply::answer(Value(klis_evaluateExpression(textArgument(arguments, "klExpression"))));
}

ScriptReply GEDCOMObject::scriptFindStructures(const Dictionary& arguments) {
    const std::string tag = textArgument(arguments, "lookTag");
    const Value* contentsArgument = arguments.get("lookContents");
    const std::optional<std::string> contents =
        contentsArgument ? std::optional<std::string>(contentsArgument->toString()) : std::nullopt;
    const Value* output = arguments.get("output");
    const bool asStructures = output && textcase::lower(output->toString()) != "list";

    Array found;
    if (auto tagList = LibraryServices::current()->tagList(tag)) {
        if (theRecord() != this) return ScriptReply::answer(Value(Array{}));
        for (std::size_t i = 0; i < structures().size(); ++i) {
            const auto& child = structures()[i];
            if (std::find(tagList->begin(), tagList->end(), child->gtag()) == tagList->end()) continue;
            if (asStructures)
                found.emplace_back(child);
            else
                found.emplace_back(Array{Value(child->contents()), Value(std::to_string(i + 1))});
        }
        return ScriptReply::answer(Value(std::move(found)));
    }
    if (!asStructures) return ScriptReply::answer(Value(positionsOf(*this, tag, contents)));
    if (contents) {
        for (auto& hit : findAllStructuresWithTag(tag, contents)) found.emplace_back(std::move(hit.structure));
    } else {
        for (auto& node : findAllChildren(tag)) found.emplace_back(std::move(node));
    }
    return ScriptReply::answer(Value(std::move(found)));
}

ScriptReply GEDCOMObject::handleScriptCommand(const std::string& command, const Dictionary& arguments) {
    if (command == "scriptValueInRecord") return scriptValueInRecord(arguments);
    if (command == "scriptFindStructures") return scriptFindStructures(arguments);
    if (command != "scriptHTMLSafeText" && !isApplicationCommand(command))
        return ScriptReply::failure("The command '" + command + "' is not understood by a " + scriptClassName());
    RecordScriptHost* host = scriptHost();
    if (!host) return ScriptReply::failure("The command '" + command + "' needs an open document");
    return host->applicationCommand(command, arguments);
}

}  // namespace kl
