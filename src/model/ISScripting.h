#pragma once
// The attribute interface through which internal scripts read and change any
// object they address: records and structures, documents and albums, windows
// and the script's own values. Every call comes from the script thread; an
// implementation that must touch the user interface hops to the main thread
// itself and waits.
#include <memory>
#include <optional>
#include <string>

#include "foundation/Value.h"

namespace kl {

// What the addressed objects may ask of the running interpreter: its named
// script objects and the slot through which a main-thread helper hands a
// result back to the waiting script thread.
class ISInterpreter {
public:
    virtual ~ISInterpreter() = default;
    // The named object of the running script ("None" is always there);
    // nullptr when there is none of that name.
    virtual std::shared_ptr<Object> scriptObject(const std::string& name) = 0;
    virtual void setReturnValue(Value value) = 0;
    virtual Value returnValue() = 0;
    // A script list value over the items, in the interpreter's own list
    // type; nullptr from an interpreter that makes no lists.
    virtual std::shared_ptr<Object> makeList(Array items) {
        (void)items;
        return nullptr;
    }
    // A script dictionary value over the entries, in the interpreter's own
    // dictionary type; nullptr from an interpreter that makes none.
    virtual std::shared_ptr<Object> makeDictionary(Dictionary entries) {
        (void)entries;
        return nullptr;
    }
};

// A scripted object is an Object itself, so that an object that is both has
// one vtable pointer: records and structures are made by the million.
class ISScripting : public Object {
public:
    ~ISScripting() override = default;
    // The attribute as text; nullopt when the object has no such attribute.
    virtual std::optional<std::string> klis_getAttribute(const std::string& name,
                                                         ISInterpreter* sender) = 0;
    // False when the attribute cannot be set or the value is refused.
    virtual bool klis_setAttribute(const std::string& name, const std::string& value,
                                   ISInterpreter* sender) = 0;
    // nullptr when the object has no object of that name.
    virtual std::shared_ptr<Object> klis_getObjectAttribute(const std::string& name,
                                                            ISInterpreter* sender) = 0;

    // The text a script sees where an object stands among texts (sorting a
    // dictionary's keys by their values); records answer their view name.
    virtual std::string viewName() const { return {}; }
    // The form put on the pasteboard: records and structures answer their
    // GEDCOM line array; objects that cannot travel answer nullopt.
    virtual std::optional<Value> pasteboardPropertyList() const { return std::nullopt; }
    // The items of a script list value; nullopt for any other object.
    virtual std::optional<Array> klis_listItems() const { return std::nullopt; }
};

}  // namespace kl
