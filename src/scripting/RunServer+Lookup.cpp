// Object names, object paths, list locators and @-references, and the
// object form of assignments (@name = path, @obj.path.key = value).
#include <algorithm>
#include <charconv>
#include <climits>

#include "foundation/Exception.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/wex.h"
#include "script/ISDictType.h"
#include "script/ISListType.h"
#include "script/ISNoneType.h"
#include "script/ScriptValueText.h"
#include "scripting/RunServer.h"
#include "scripting/ScriptNames.h"

namespace kl {

namespace {

bool allDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool sameObject(const Value& a, const Value& b) {
    auto x = a.object();
    return x && x == b.object();
}

// The name a list locator matches: a structure's tag, a record's shown
// name; other objects have none.
std::optional<std::string> locatorName(const Value& item) {
    auto object = item.object();
    if (auto structure = std::dynamic_pointer_cast<GEDCOMStructure>(object)) return structure->readTag();
    if (auto record = std::dynamic_pointer_cast<GEDCOMRecord>(object)) return record->viewName();
    return std::nullopt;
}

}  // namespace

// ---- Names ----------------------------------------------------------------------

std::shared_ptr<Object> RunServer::scriptObject(const std::string& name) {
    const Value* found = scriptObjects_.get(name);
    return found ? found->object() : nullptr;
}

std::shared_ptr<Object> RunServer::scriptObjectForKey(const std::string& name) {
    if (auto found = scriptObject(name)) return found;
    if (name.size() >= 2 && name[0] == '^') return scriptObject(derefVariable(name.substr(1), variables_));
    return nullptr;
}

std::string RunServer::grabAtom(const std::vector<std::string>& parts, std::size_t index) const {
    if (index >= parts.size()) return {};
    const std::string& part = parts[index];
    if (part.size() >= 2 && part[0] == '#') {
        auto found = variables_.find(part);
        if (found != variables_.end()) return found->second;
    }
    return part;
}

std::string RunServer::derefVariable(const std::string& name, const Variables& variables) const {
    const auto key = name == "#returnValue$" ? std::optional<std::string>(name)
                                             : Expression::getVariable(name, variables, parce_.get());
    if (key) {
        auto found = variables.find(*key);
        if (found != variables.end()) return found->second;
    }
    return name;
}

// ---- Lists --------------------------------------------------------------------------

long RunServer::decodeIndex(const std::string& locator, const Value& list) {
    const Array* items = listItemsOf(list);
    if (!items) return NotFound;
    try {
        if (locator.empty()) return 0;
        if (allDigits(locator)) {
            long index = 0;
            const auto result = std::from_chars(locator.data(), locator.data() + locator.size(), index);
            // Too many digits for an index: it names no item, like any
            // other index past the end.
            return result.ec == std::errc::result_out_of_range ? LONG_MAX : index;
        }
        if (locator.size() >= 3 && locator.front() == '@' && locator.back() == '@') {
            for (std::size_t i = 0; i < items->size(); ++i)
                if (auto record = (*items)[i].objectAs<GEDCOMRecord>(); record && record->grecordID() == locator)
                    return static_cast<long>(i);
            return NotFound;
        }
        if (ISListType::supportsCommand(locator, list)) return NotFound;
        for (std::size_t i = 0; i < items->size(); ++i)
            if (locatorName((*items)[i]) == locator) return static_cast<long>(i);
    } catch (const std::exception&) {
    }
    return NotFound;
}

std::string RunServer::checkObject(const Value& list, const std::string& text) {
    const Array* items = listItemsOf(list);
    if (!items) return "false";
    if (scriptListOf(list))
        for (const Value& item : *items)
            if (scriptTextOf(item) == text) return "true";
    const Value named = findExistingObject(text);
    if (named.isNull()) return "false";
    for (const Value& item : *items)
        if (sameObject(item, named)) return "true";
    return "false";
}

// ---- Object paths -----------------------------------------------------------------

Value RunServer::findExistingObject(const std::string& path) {
    if (const Value* whole = scriptObjects_.get(path)) return *whole;
    std::vector<std::string> parts = splitPath(trimmedText(path));
    if (parts[0].empty()) return Value();
    if (parts[0][0] == '#') parts[0] = derefVariable(parts[0], variables_);
    const Value* start = scriptObjects_.get(parts[0]);
    if (!start) return Value();
    Value current = *start;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::string part = grabAtom(parts, i);
        if (const Array* items = listItemsOf(current)) {
            const long index = decodeIndex(part, current);
            if (index == NotFound || index < 0 || static_cast<std::size_t>(index) >= items->size()) return Value();
            const Value item = (*items)[static_cast<std::size_t>(index)];
            if (item.isString() || item.isNumber()) return Value();
            current = item;
            continue;
        }
        if (auto dict = current.objectAs<ISDictType>()) {
            auto found = dict->klis_getObjectAttribute(part, this);
            if (!found) return Value();
            current = Value(found);
            continue;
        }
        auto scripting = current.objectAs<ISScripting>();
        std::shared_ptr<Object> found = scripting ? scripting->klis_getObjectAttribute(part, this) : nullptr;
        if (!found) {
            appendOutput("WARNING: '" + part + "' in '" + path + "' is not valid attribute for " +
                         scriptClassName(current) + " objects\n");
            return Value();
        }
        current = Value(found);
    }
    return current;
}

Value RunServer::objectAttribute(const Value& object, const std::string& name) {
    auto scripting = object.objectAs<ISScripting>();
    if (!scripting) return Value();
    auto found = scripting->klis_getObjectAttribute(name, this);
    return found ? Value(found) : Value();
}

// ---- @-references ---------------------------------------------------------------------

std::string RunServer::evaluateAtString(const std::string& text, const Variables& variables) {
    return finishAtString(splitPath(trimmedText(text)), variables);
}

std::string RunServer::atError(const std::string& message) {
    outputError(message, &origCmd_);
    return "Expression error";
}

std::string RunServer::finishAtString(std::vector<std::string> parts, const Variables& variables) {
    if (parts.size() < 2) return atError("an incomplete @ expression.");
    std::string first = parts[0];
    if (first.size() >= 2 && first[0] == '@') first.erase(0, 1);
    if (!first.empty() && first[0] == '#') first = derefVariable(first, variables);
    const Value* start = scriptObjects_.get(first);
    if (!start) return atError("object in @ expression is invalid.");
    Value current = *start;

    auto atom = [&](std::size_t i) {
        const std::string& part = parts[i];
        if (part.size() >= 2 && part[0] == '#')
            if (auto found = variables.find(part); found != variables.end()) return found->second;
        return part;
    };
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::string part = atom(i);
        const bool last = i + 1 == parts.size();
        if (const Array* items = listItemsOf(current)) {
            const bool scriptList = scriptListOf(current) != nullptr;
            if (part == "count" || part == "length") return std::to_string(items->size());
            if (part == "class") return scriptList ? "list" : "KL list";
            if (part == "contains") {
                if (last) return atError("list property 'contains' must be followed by string or object name.");
                return checkObject(current, atom(i + 1));
            }
            const long index = decodeIndex(part, current);
            if (index == NotFound) return atError("list objects must be followed by a valid locator or by list property.");
            if (index < 0 || static_cast<std::size_t>(index) >= items->size()) return atError("list index is out of bounds.");
            const Value item = (*items)[static_cast<std::size_t>(index)];
            const bool classNext = !last && atom(i + 1) == "class";
            if (item.isString()) return classNext ? "string-number" : *item.string();
            if (item.isNumber()) return classNext ? "string-number" : wex::DbleToString(item.toReal());
            current = item;
            continue;
        }
        auto scripting = current.objectAs<ISScripting>();
        if (!scripting) return atError("class " + scriptClassName(current) + " does not have any properties");
        std::optional<std::string> text;
        try {
            text = scripting->klis_getAttribute(part, this);
        } catch (const std::exception&) {
            return atError("class " + scriptClassName(current) + " does not have any properties");
        }
        if (text) return *text;
        if (auto dict = current.objectAs<ISDictType>()) {
            Value stored = dict->klis_objectForKey(part);
            if (!stored.isNull()) {
                current = stored;
                continue;
            }
        }
        if (auto object = scripting->klis_getObjectAttribute(part, this)) {
            current = Value(object);
            continue;
        }
        return atError("class " + scriptClassName(current) + " does not have requested property");
    }
    return atError("object expression is lacking a property");
}

// ---- Object assignment --------------------------------------------------------------------

void RunServer::assignObject() {
    std::vector<std::string> parts = splitPath(trimmedText(nextCmd_[0].toString()));
    if (parts[0].size() > 1 && parts[0][0] == '@') parts[0].erase(0, 1);
    if (!parts[0].empty() && parts[0][0] == '#') parts[0] = derefVariable(parts[0], variables_);
    const std::string value = nextCmd_.size() > 2 ? nextCmd_[2].toString() : std::string();

    if (parts.size() == 1) {
        if (!validObjectName(parts[0])) {
            outputError("an invalid object name in @object = expr format.", &origCmd_);
            return;
        }
        Value found = findExistingObject(value);
        scriptObjects_.set(parts[0], found.isNull() ? Value(getNoneType()) : found);
        return;
    }
    const std::string key = grabAtom(parts, parts.size() - 1);
    std::string path = parts[0];
    for (std::size_t i = 1; i + 1 < parts.size(); ++i) path += "." + parts[i];
    const Value target = findExistingObject(path);
    if (target.isNull() || target.objectAs<ISNoneType>()) {
        outputError("an invalid object specifier in @obj.obj... = expr format.", &origCmd_);
        return;
    }
    if (auto list = scriptListOf(target)) {
        const long index = decodeIndex(key, target);
        if (index == NotFound) {
            outputError("an invalid lisr selector in @obj.obj...list.index = expr format.", &origCmd_);
            return;
        }
        if (!list->klis_insertObject(Value(value), index)) {
            outputError("setting index for a List is out of bounds", &origCmd_);
            return;
        }
        list->klis_removeObjectAtIndex(index + 1);
        return;
    }
    if (auto dict = target.objectAs<ISDictType>()) {
        dict->klis_setObject(Value(value), key);
        return;
    }
    auto scripting = target.objectAs<ISScripting>();
    if (!scripting) {
        outputError("class " + scriptClassName(target) + " does not have properties", &origCmd_);
        return;
    }
    if (!scripting->klis_setAttribute(key, value, this))
        outputError("class " + scriptClassName(target) + " cannot set the requested property or value not valid",
                    &origCmd_);
}

}  // namespace kl
