#include "script/ISDictType.h"

#include <algorithm>
#include <functional>
#include <unordered_map>

#include "foundation/TextCompare.h"
#include "script/ISListType.h"
#include "script/ScriptValueText.h"

namespace kl {

namespace {

using KeyOrder = std::function<bool(const std::string&, const std::string&)>;

std::shared_ptr<ISListType> keyList(std::vector<std::string> keys, const KeyOrder& before) {
    if (before) std::stable_sort(keys.begin(), keys.end(), before);
    auto items = std::make_shared<Array>();
    items->reserve(keys.size());
    for (auto& key : keys) items->push_back(Value(std::move(key)));
    return ISListType::listWithList(items);
}

}  // namespace

Value ISDictType::klis_objectForKey(const std::string& key) const {
    const Value* v = dict_.get(key);
    return v ? *v : Value();
}

std::optional<std::string> ISDictType::klis_getAttribute(const std::string& name, ISInterpreter*) {
    if (name == "count") return std::to_string(dict_.size());
    if (name == "class") return std::string("dictionary");
    const Value* v = dict_.get(name);
    return v ? scriptTextOf(*v) : std::nullopt;
}

bool ISDictType::klis_setAttribute(const std::string& name, const std::string& value,
                                   ISInterpreter*) {
    if (name == "count" || name == "class") return false;
    dict_.set(name, Value(value));
    return true;
}

std::shared_ptr<Object> ISDictType::klis_getObjectAttribute(const std::string& name,
                                                            ISInterpreter*) {
    if (name == "allKeys") return keyList(dict_.keys(), nullptr);
    if (name == "sortedKeys")
        return keyList(dict_.keys(), [](const std::string& a, const std::string& b) {
            return compareCaseInsensitive(a, b) < 0;
        });
    if (name == "keysSortedByNumericValues") return keysSortedByNumericValues();
    if (name == "keysSortedByStringValues") return keysSortedByStringValues();
    if (name == "allValues") return ISListType::initWithCopiedList(&dict_.values());
    const Value* v = dict_.get(name);
    return v ? v->object() : nullptr;
}

std::shared_ptr<ISListType> ISDictType::keysSortedByNumericValues() const {
    std::unordered_map<std::string, std::optional<double>> numbers;
    for (std::size_t i = 0; i < dict_.size(); ++i)
        numbers[dict_.keyAt(i)] = scriptNumberOf(dict_.valueAt(i));
    return keyList(dict_.keys(), [&](const std::string& a, const std::string& b) {
        const auto& x = numbers.at(a);
        const auto& y = numbers.at(b);
        if (!x || !y) return !x && y.has_value();
        return *x < *y;
    });
}

std::shared_ptr<ISListType> ISDictType::keysSortedByStringValues() const {
    std::unordered_map<std::string, std::string> texts;
    for (std::size_t i = 0; i < dict_.size(); ++i)
        texts[dict_.keyAt(i)] = scriptSortTextOf(dict_.valueAt(i));
    return keyList(dict_.keys(), [&](const std::string& a, const std::string& b) {
        return compareLocalized(texts.at(a), texts.at(b)) < 0;
    });
}

std::optional<Value> ISDictType::propertyList() const {
    Dictionary out;
    for (std::size_t i = 0; i < dict_.size(); ++i) {
        const Value& v = dict_.valueAt(i);
        if (v.isString() || v.isNumber()) {
            out.set(dict_.keyAt(i), v);
            continue;
        }
        if (v.objectAs<ISListType>() || v.objectAs<ISDictType>()) return std::nullopt;
        auto scripting = v.objectAs<ISScripting>();
        std::optional<Value> converted = scripting ? scripting->pasteboardPropertyList() : std::nullopt;
        if (!converted) return std::nullopt;
        out.set(dict_.keyAt(i), std::move(*converted));
    }
    return Value(std::move(out));
}

}  // namespace kl
