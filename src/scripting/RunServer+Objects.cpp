// Object commands: the walk along a command's path to its target, the
// commands every object, lists and dictionaries answer, the pasteboard, and
// the plain commands that make script objects.
#include <algorithm>

#include "foundation/AsciiText.h"
#include "foundation/Exception.h"
#include "foundation/PropertyList.h"
#include "model/GEDCOMObject.h"
#include "model/GEDCOMStructure.h"
#include "model/wex.h"
#include "script/ISDictType.h"
#include "script/ISListType.h"
#include "script/ISNoneType.h"
#include "script/ScriptValueText.h"
#include "scripting/ClipboardPort.h"
#include "scripting/RunServer.h"
#include "scripting/ScriptNames.h"

namespace kl {

namespace {

// A property list from the pasteboard as script values: arrays become
// script lists, at any depth.
Value scriptValueOf(const Value& stored) {
    if (const Array* items = stored.array()) {
        auto list = ISListType::listWithList(std::make_shared<Array>());
        for (const Value& item : *items) list->klis_addObject(scriptValueOf(item));
        return Value(list);
    }
    if (const Dictionary* entries = stored.dictionary()) {
        auto dict = ISDictType::initDict();
        for (std::size_t i = 0; i < entries->size(); ++i)
            dict->klis_setObject(scriptValueOf(entries->valueAt(i)), entries->keyAt(i));
        return Value(dict);
    }
    return stored;
}

}  // namespace

// ---- The walk to the target ---------------------------------------------------------

void RunServer::doObjectCommand(const Value& target, const std::string& path) {
    if (path.empty()) {
        outputError("Object command is empty", &origCmd_);
        return;
    }
    const std::vector<std::string> parts = splitPath(trimmedText(path));
    const std::string word = asciiLower(grabAtom(parts, parts.size() - 1));
    Value current = target;
    Value container = target;
    long index = NotFound;
    bool failed = false;
    for (std::size_t i = 0; i + 1 < parts.size() && !failed; ++i) {
        const std::string part = grabAtom(parts, i);
        if (const Array* items = listItemsOf(current)) {
            const long at = decodeIndex(part, current);
            if (at != NotFound) {
                if (at < 0 || static_cast<std::size_t>(at) >= items->size()) {
                    outputError("Command targeting a list has index that is out of bounds.", &origCmd_);
                    return;
                }
                container = current;
                index = at;
                current = (*items)[static_cast<std::size_t>(at)];
                continue;
            }
        }
        index = NotFound;
        if (auto dict = current.objectAs<ISDictType>()) {
            Value stored = dict->klis_objectForKey(part);
            if (!stored.isNull()) {
                current = stored;
                continue;
            }
        }
        Value attribute = objectAttribute(current, part);
        if (attribute.isNull())
            failed = true;
        else
            current = attribute;
    }
    // A path ending in "." names no command: it must not reach a handler.
    if (word.empty()) {
        outputError("Unrecognized object command", &origCmd_);
        return;
    }
    if (failed) {
        if (word != "get") {
            outputError("Command targeting an invalid cascade of objects and attributes.", &origCmd_);
            return;
        }
        const std::string name = more() ? nextCmd_[arg_].toString() : std::string();
        if (Expression::validVarname(name))
            variables_.erase(name);
        else if (validObjectName(name))
            scriptObjects_.set(name, Value(getNoneType()));
        else
            outputError("First parameter in get command must be valid variable or object name", &origCmd_);
        return;
    }
    if (word == "delete") {
        doObjectDelete(current, container, index);
        return;
    }
    const auto& handlers = commandTables().object;
    if (auto handler = handlers.find(word); handler != handlers.end()) {
        (this->*(handler->second))(current);
        return;
    }
    outputError("Unrecognized object command", &origCmd_);
}

void RunServer::setNamed(const std::string& name, bool isVariable, const Value& value) {
    if (isVariable) {
        if (auto text = scriptTextOf(value))
            variables_.insert_or_assign(name, value.isString() ? *text : wex::DbleToString(value.toReal()));
        else
            variables_.erase(name);
    } else {
        scriptObjects_.set(name, value.isNull() || value.isString() || value.isNumber() ? Value(getNoneType()) : value);
    }
}

std::shared_ptr<ISListType> RunServer::scriptListOr(const Value& target, const std::string& what) {
    auto list = scriptListOf(target);
    if (!list) outputError("class " + scriptClassName(target) + " does not respond to " + what, &origCmd_);
    return list;
}

// ---- Any object ---------------------------------------------------------------------------

void RunServer::doObjectGet(const Value& target) {
    bool isVariable = false;
    auto name = getVarOrObjName(isVariable, "get");
    if (!name) return;
    if (target.isString() || target.isNumber()) {
        setNamed(*name, isVariable, target);
        return;
    }
    if (isVariable) {
        variables_.erase(*name);
        return;
    }
    if (!more()) {
        scriptObjects_.set(*name, target);
        return;
    }
    const std::string attribute = *getString();
    auto scripting = target.objectAs<ISScripting>();
    if (!scripting) {
        outputError("class " + scriptClassName(target) + " does not have object properties", &origCmd_);
        return;
    }
    auto found = scripting->klis_getObjectAttribute(attribute, this);
    if (!found) {
        outputError("class " + scriptClassName(target) + " does not have requested object property", &origCmd_);
        return;
    }
    scriptObjects_.set(*name, Value(found));
}

void RunServer::doObjectSet(const Value& target) {
    if (!more()) {
        outputError("First parameter in set command must be property name", &origCmd_);
        return;
    }
    const std::string attribute = *getString();
    if (!more()) {
        outputError("Second parameter in set must be new property value", &origCmd_);
        return;
    }
    const std::string value = *getString();
    // The selected text lives in the document's front window, which only
    // the desktop side can reach.
    if (attribute == "selectedText" && setFrontSelectedText(target, value)) return;
    auto scripting = target.objectAs<ISScripting>();
    if (!scripting) {
        outputError("class " + scriptClassName(target) + " does not have properties", &origCmd_);
        return;
    }
    if (!scripting->klis_setAttribute(attribute, value, this))
        outputError("class " + scriptClassName(target) + " cannot set the requested property or value not valid",
                    &origCmd_);
}

void RunServer::doObjectEvaluateexpression(const Value& target) {
    auto name = getString();
    if (!name) return;
    if (!Expression::validVarname(*name)) {
        outputError("First parameter to evalutateExpression must evaluate to a variable name starting in '#'.",
                    &origCmd_);
        return;
    }
    auto expression = getString();
    if (!expression) return;
    auto node = target.objectAs<GEDCOMObject>();
    if (!node) {
        outputError("class " + scriptClassName(target) + " does not respond to evaulateExpression", &origCmd_);
        return;
    }
    // A path that finds nothing leaves the empty text, never a missing value.
    variables_.insert_or_assign(*name, node->klis_evaluateExpression(*expression));
}

// ---- Lists ----------------------------------------------------------------------------------

void RunServer::doObjectAddobject(const Value& target) {
    auto list = scriptListOr(target, "addObject");
    if (!list) return;
    while (more()) {
        const std::string name = *getString();
        const Value object = findExistingObject(name);
        if (object.isNull())
            outputError("invalid object '" + name + "' in addObject command", &origCmd_);
        else
            list->klis_addObject(object);
    }
}

void RunServer::doObjectAddstring(const Value& target) {
    auto list = scriptListOr(target, "addString");
    if (!list) return;
    while (more()) list->klis_addObject(Value(*getString()));
}

void RunServer::doObjectAddlist(const Value& target) {
    auto list = scriptListOr(target, "addList");
    if (!list) return;
    while (more()) {
        const std::string name = *getString();
        const Value other = findExistingObject(name);
        const Array* items = listItemsOf(other);
        if (!items) {
            outputError("invalid list object '" + name + "' in addList command", &origCmd_);
            continue;
        }
        const Array copied = *items;  // a list may be added to itself
        for (const Value& item : copied) list->klis_addObject(item);
    }
}

void RunServer::doObjectInsertobject(const Value& target) {
    auto list = scriptListOr(target, "addObject");
    if (!list) return;
    auto name = getString();
    if (!name) return;
    const Value object = findExistingObject(*name);
    if (object.isNull()) {
        outputError("Invalid object variable", &origCmd_);
        return;
    }
    long index = 0;
    if (!getIntarg(index)) return;
    if (!list->klis_insertObject(object, index)) outputError("insert index for a list is out of bounds", &origCmd_);
}

void RunServer::doObjectInsertstring(const Value& target) {
    if (insertIntoReport(target)) return;
    auto list = scriptListOr(target, "addString");
    if (!list) return;
    auto text = getString();
    long index = 0;
    if (!text || !getIntarg(index)) return;
    if (!list->klis_insertObject(Value(*text), index))
        outputError("insert index for a List or ScriptOutput is out of bounds", &origCmd_);
}

void RunServer::doObjectRemove(const Value& target) {
    if (removeFromAlbum(target)) return;
    auto list = scriptListOr(target, "remove");
    if (!list) return;
    long index = 0;
    if (!getIntarg(index)) return;
    if (!list->klis_removeObjectAtIndex(index)) outputError("remove index for a list is out of bounds", &origCmd_);
}

void RunServer::doObjectPop(const Value& target) {
    auto list = scriptListOr(target, "pop");
    if (!list) return;
    auto name = getString();
    if (!name) return;
    const Value item = list->getRemoveLastObject();
    const bool isVariable = Expression::validVarname(*name);
    const bool isObject = validObjectName(*name);
    if (item.isNull()) {
        if (isVariable)
            variables_.erase(*name);
        else if (isObject)
            scriptObjects_.set(*name, Value(getNoneType()));
        else
            outputError("First parameter to pop must be valid variable or object name", &origCmd_);
    } else if (item.isString() || item.isNumber()) {
        if (isVariable)
            setNamed(*name, true, item);
        else
            outputError("Popped element is a string but first parameter is not a valid variable name startubg in '#'.",
                        &origCmd_);
    } else if (isObject) {
        scriptObjects_.set(*name, item);
    } else {
        outputError("Popped element is an object but first parameter is not a valid object variable name", &origCmd_);
    }
}

void RunServer::doObjectSort(const Value& target) {
    auto list = scriptListOr(target, "sort");
    if (!list) return;
    std::vector<std::string> words;
    while (more()) words.push_back(*getString());
    try {
        list->klis_sort(words);
    } catch (const NamedException& failure) {
        outputError("list sort error: " + failure.message(), &origCmd_);
    }
}

void RunServer::doObjectJoin(const Value& target) {
    auto list = scriptListOr(target, "join");
    if (!list) return;
    auto name = getString();
    if (!name) return;
    if (!Expression::validVarname(*name)) {
        outputError("First parameter to join must evaluate to a variable name starting in '#'", &origCmd_);
        return;
    }
    const std::string separator = more() ? *getString() : std::string();
    variables_.insert_or_assign(*name, list->klis_join(separator));
}

void RunServer::doObjectSublist(const Value& target) {
    const Array* items = listItemsOf(target);
    if (!items) {
        outputError("class " + scriptClassName(target) + " does not respond to subList", &origCmd_);
        return;
    }
    auto name = getString();
    if (!name) return;
    if (!validObjectName(*name)) {
        outputError("First parameter in subList command must be a valid object variable name", &origCmd_);
        return;
    }
    long start = 0;
    if (!more() || !getIntarg(start) || start < 0) {
        outputError("Second parameter in subList command must be integer >= 0", &origCmd_);
        return;
    }
    long end = static_cast<long>(items->size());
    if (more() && !getIntarg(end)) return;
    // An end past the count stops at the count: nothing is read past the list.
    end = std::clamp(end, 0L, static_cast<long>(items->size()));
    auto part = std::make_shared<Array>();
    for (long i = start; i < end; ++i) part->push_back((*items)[static_cast<std::size_t>(i)]);
    scriptObjects_.set(*name, Value(ISListType::listWithList(part)));
}

// ---- The pasteboard -------------------------------------------------------------------------------

void RunServer::doObjectPutpasteboard(const Value& target) {
    auto list = scriptListOf(target);
    auto dict = target.objectAs<ISDictType>();
    if (!list && !dict) {
        outputError("The putPasteboard command only supported by lists and dictionaries", &origCmd_);
        return;
    }
    ClipboardPort* clipboard = ports_.clipboard.get();
    if (list && more()) {
        const std::string joined = list->klis_join(*getString());
        if (clipboard) clipboard->setString(joined);
        return;
    }
    const std::optional<Value> plist = list ? list->propertyList() : dict->propertyList();
    const std::optional<std::string> xml = plist ? PropertyList::writeXML(*plist) : std::nullopt;
    if (!xml) {
        outputError("The list or dictionary could not be converted to pasteboard property list", &origCmd_);
        return;
    }
    if (clipboard) clipboard->setData(KLISObjectPBoardType, *xml);
}

void RunServer::doReadpasteboard() {
    auto name = getString();
    if (!name) return;
    const bool isVariable = Expression::validVarname(*name);
    const bool isObject = validObjectName(*name);
    ClipboardPort* clipboard = ports_.clipboard.get();
    if (clipboard && isObject) {
        if (auto bytes = clipboard->data(KLISObjectPBoardType)) {
            auto stored = PropertyList::read(std::string_view(*bytes));
            if (stored && (stored->isArray() || stored->isDictionary())) {
                scriptObjects_.set(*name, scriptValueOf(*stored));
                return;
            }
        }
    }
    if (clipboard && isVariable) {
        if (auto text = clipboard->string()) {
            variables_.insert_or_assign(*name, *text);
            return;
        }
    }
    if (isVariable)
        variables_.erase(*name);
    else if (isObject)
        scriptObjects_.set(*name, Value(getNoneType()));
    else
        outputError("First parameter in ReadPasteboard must be variable name starting in '#' or object name",
                    &origCmd_);
}

// ---- Dictionaries ----------------------------------------------------------------------------------

void RunServer::doObjectValueforkey(const Value& target) {
    auto dict = target.objectAs<ISDictType>();
    if (!dict) {
        outputError("class " + scriptClassName(target) + " does not respond to valueForKey", &origCmd_);
        return;
    }
    auto name = getString();
    auto key = name ? getString() : std::nullopt;
    if (!key) return;
    const Value stored = dict->klis_objectForKey(*key);
    const bool isVariable = Expression::validVarname(*name);
    const bool isObject = validObjectName(*name);
    const char* misnamed = stored.isString()
                               ? "First parameter in valueForKey command must be variable startin in '#' or object name"
                               : "First parameter in valueForKey command must be variable name starting in '#' or object name";
    if (!isVariable && !isObject) {
        outputError(misnamed, &origCmd_);
        return;
    }
    setNamed(*name, isVariable, stored);
}

void RunServer::doObjectSetobjectforkey(const Value& target) {
    auto dict = target.objectAs<ISDictType>();
    if (!dict) {
        outputError("class " + scriptClassName(target) + " does not respond to setObjectForKey", &origCmd_);
        return;
    }
    auto name = getString();
    auto key = name ? getString() : std::nullopt;
    if (!key) return;
    const Value object = findExistingObject(*name);
    if (object.isNull() || object.isString() || object.isNumber()) {
        outputError("First parameter to setObjectForKey command must be valid object.", &origCmd_);
        return;
    }
    dict->klis_setObject(object, *key);
}

void RunServer::doObjectSetstringforkey(const Value& target) {
    auto dict = target.objectAs<ISDictType>();
    if (!dict) {
        outputError("class " + scriptClassName(target) + " does not respond to setStingForKey", &origCmd_);
        return;
    }
    auto text = getString();
    auto key = text ? getString() : std::nullopt;
    if (key) dict->klis_setObject(Value(*text), *key);
}

void RunServer::doObjectSetnumberforkey(const Value& target) {
    auto dict = target.objectAs<ISDictType>();
    if (!dict) {
        outputError("class " + scriptClassName(target) + " does not respond to setNumberForKey", &origCmd_);
        return;
    }
    double number = 0;
    if (!findDouble(number)) {
        outputError("First parameter for setNumberForKey must be a numeric expression", &origCmd_);
        return;
    }
    if (auto key = getString()) dict->klis_setObject(Value(number), *key);
}

void RunServer::doObjectRemovevalueforkey(const Value& target) {
    auto dict = target.objectAs<ISDictType>();
    if (!dict) {
        outputError("class " + scriptClassName(target) + " does not respond to removeValueForKey", &origCmd_);
        return;
    }
    if (auto key = getString()) dict->klis_removeValueForKey(*key);
}

// ---- Plain commands that make script objects ------------------------------------------------------

void RunServer::doCreatelist() {
    auto name = getString();
    if (!name) return;
    if (!validObjectName(*name)) {
        outputError("First parameter in CreateList must be a valid object variable name", &origCmd_);
        return;
    }
    auto list = ISListType::listWithList(std::make_shared<Array>());
    while (more()) {
        const std::string item = *getString();
        const Value object = findExistingObject(item);
        list->klis_addObject(object.isNull() ? Value(item) : object);
    }
    scriptObjects_.set(*name, Value(list));
}

void RunServer::doCreatedictionary() {
    auto name = getString();
    if (!name) return;
    if (!validObjectName(*name)) {
        outputError("First parameter in CreateDictionary must be a valid object variable name", &origCmd_);
        return;
    }
    scriptObjects_.set(*name, Value(ISDictType::initDict()));
}

void RunServer::doCreatestructure() {
    auto name = getString();
    if (!name) return;
    if (!validObjectName(*name)) {
        outputError("First parameter in CreateStructure command must be a valid object variable name", &origCmd_);
        return;
    }
    long level = 0;
    if (!getIntarg(level)) return;
    if (level < 1) {
        outputError("Second parameter in this command must integer greater than zero", &origCmd_);
        return;
    }
    auto tag = getString();
    auto contents = tag ? getString() : std::nullopt;
    if (!contents) return;
    scriptObjects_.set(*name, Value(std::make_shared<GEDCOMStructure>(nullptr, static_cast<int>(level), *tag, *contents)));
}

void RunServer::doGetobject() {
    auto name = getString();
    if (!name) return;
    if (!validObjectName(*name)) {
        outputError("First parameter in GetObject command must be a valid object variable name", &origCmd_);
        return;
    }
    auto path = getString();
    if (!path) return;
    const Value found = findExistingObject(*path);
    scriptObjects_.set(*name, found.isNull() ? Value(getNoneType()) : found);
}

}  // namespace kl
