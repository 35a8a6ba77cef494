#pragma once
// A dictionary value of internal scripts: keys to texts, numbers or objects.
// Text attributes read and write its text entries; object attributes give
// its key and value lists and its object entries. Script thread only.
#include <memory>
#include <optional>
#include <string>

#include "foundation/Value.h"
#include "model/ISScripting.h"

namespace kl {

class ISListType;

class ISDictType : public ISScripting {
public:
    ISDictType() = default;
    static std::shared_ptr<ISDictType> initDict() { return std::make_shared<ISDictType>(); }

    void klis_setObject(Value value, const std::string& key) { dict_.set(key, std::move(value)); }
    // A null Value when the key is missing.
    Value klis_objectForKey(const std::string& key) const;
    void klis_removeValueForKey(const std::string& key) { dict_.remove(key); }
    const Dictionary& dictionary() const { return dict_; }

    // The pasteboard form; nullopt when a value cannot travel.
    std::optional<Value> propertyList() const;
    std::optional<Value> pasteboardPropertyList() const override { return propertyList(); }

    std::optional<std::string> klis_getAttribute(const std::string& name,
                                                 ISInterpreter* sender) override;
    bool klis_setAttribute(const std::string& name, const std::string& value,
                           ISInterpreter* sender) override;
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string& name,
                                                    ISInterpreter* sender) override;

    // Keys ordered by their values: non-numbers first, then numbers ascending.
    std::shared_ptr<ISListType> keysSortedByNumericValues() const;
    // Keys ordered by their values read as text, missing texts first.
    std::shared_ptr<ISListType> keysSortedByStringValues() const;

private:
    Dictionary dict_;
};

}  // namespace kl
