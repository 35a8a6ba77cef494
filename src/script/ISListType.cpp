#include "script/ISListType.h"

#include <algorithm>
#include <cctype>

#include "foundation/AsciiText.h"
#include "foundation/Exception.h"
#include "foundation/TextCompare.h"
#include "script/ISDictType.h"
#include "script/ScriptValueText.h"

namespace kl {

namespace {

bool isNumericWord(const std::vector<std::string>& words, std::size_t i) {
    return i < words.size() && asciiLower(words[i]) == "numeric";
}

// One key of two sort objects: true when a sorts after b, nullopt when
// equal. Empty texts sort after every other text.
std::optional<bool> keyAfter(const Value& a, const Value& b, bool textKey) {
    if (!textKey) {
        const double x = a.toReal(), y = b.toReal();
        if (x == y) return std::nullopt;
        return x > y;
    }
    const std::string& x = *a.string();
    const std::string& y = *b.string();
    if (x.empty() || y.empty()) {
        if (x.empty() == y.empty()) return std::nullopt;
        return x.empty();
    }
    const int c = compareLocalized(x, y);
    if (c == 0) return std::nullopt;
    return c > 0;
}

Value sortValue(const Value& stored, bool textKey) {
    if (!textKey) return Value(scriptNumberOf(stored).value_or(stored.toReal()));
    return Value(scriptSortTextOf(stored));
}

}  // namespace

ISListType::ISListType(std::shared_ptr<Array> list)
    : list_(list ? std::move(list) : std::make_shared<Array>()) {}

std::shared_ptr<ISListType> ISListType::initWithCopiedList(const Array* items) {
    return std::make_shared<ISListType>(items ? std::make_shared<Array>(*items) : nullptr);
}

std::shared_ptr<ISListType> ISListType::listWithList(std::shared_ptr<Array> list) {
    return std::make_shared<ISListType>(std::move(list));
}

std::shared_ptr<ISListType> ISListType::listWithList(const Array& items) {
    return initWithCopiedList(&items);
}

bool ISListType::supportsCommand(std::string_view word, const Value& listObject) {
    static const char* const editing[] = {"addobject", "addstring", "insertobject", "insertstring",
                                          "sort", "join", "remove", "addlist", "pop",
                                          "putpasteboard"};
    const std::string w = asciiLower(word);
    if (w == "sublist" || w == "get") return true;
    if (listObject.isArray()) return false;
    return std::find(std::begin(editing), std::end(editing), w) != std::end(editing);
}

void ISListType::klis_addObject(Value item) { list_->push_back(std::move(item)); }

bool ISListType::klis_insertObject(Value item, long index) {
    if (index < 0 || index > static_cast<long>(list_->size())) return false;
    list_->insert(list_->begin() + index, std::move(item));
    return true;
}

bool ISListType::klis_removeObjectAtIndex(long index) {
    if (index < 0 || index >= static_cast<long>(list_->size())) return false;
    list_->erase(list_->begin() + index);
    return true;
}

Value ISListType::getRemoveLastObject() {
    if (list_->empty()) return Value();
    Value last = std::move(list_->back());
    list_->pop_back();
    return last;
}

std::string ISListType::klis_join(std::string_view separator) const {
    std::string out;
    for (std::size_t i = 0; i < list_->size(); ++i) {
        if (i > 0) out += separator;
        out += scriptSortTextOf((*list_)[i]);
    }
    return out;
}

void ISListType::klis_sort(const std::vector<std::string>& words) {
    if (list_->size() < 2) return;
    if (words.empty()) {
        std::stable_sort(list_->begin(), list_->end(), [](const Value& a, const Value& b) {
            return compareCaseInsensitive(scriptSortTextOf(a), scriptSortTextOf(b)) < 0;
        });
        return;
    }
    key1_ = words[0];
    type1_ = isNumericWord(words, 1) ? 0 : 1;
    key2_ = words.size() > 2 ? std::optional<std::string>(words[2]) : std::nullopt;
    type2_ = isNumericWord(words, 3) ? 0 : 1;
    shellSortUsingDelegate(*list_, *this, false, static_cast<long>(list_->size()) - 1);
}

Array ISListType::getShellSortObjectFor(const Value& item) {
    auto dict = item.objectAs<ISDictType>();
    if (!dict)
        raise(exception_names::ArrayShellSortError,
              "Error reading objects to be sorted. Probably an item in the list is not a dictionary");
    Value primary = dict->klis_objectForKey(key1_);
    if (primary.isNull())
        raise(exception_names::ArrayShellSortError,
              "A dictionary in the list is missing a value for primary key being sorted");
    Array keys{sortValue(primary, type1_ == 1)};
    if (key2_) {
        Value secondary = dict->klis_objectForKey(*key2_);
        if (secondary.isNull())
            raise(exception_names::ArrayShellSortError,
                  "A dictionary in the list is missing a value for secondary key being sorted");
        keys.push_back(sortValue(secondary, type2_ == 1));
    }
    return keys;
}

bool ISListType::checkShellObj1(const Array& a, const Array& b) {
    if (auto after = keyAfter(a[0], b[0], type1_ == 1)) return *after;
    if (a.size() < 2 || b.size() < 2) return false;
    return keyAfter(a[1], b[1], type2_ == 1).value_or(false);
}

std::optional<Value> ISListType::propertyList() const {
    Array out;
    out.reserve(list_->size());
    for (const Value& item : *list_) {
        if (item.isString() || item.isNumber()) {
            out.push_back(item);
            continue;
        }
        std::optional<Value> converted;
        if (auto nested = item.objectAs<ISListType>())
            converted = nested->propertyList();
        else if (auto dict = item.objectAs<ISDictType>())
            converted = std::nullopt;
        else if (auto scripting = item.objectAs<ISScripting>())
            converted = scripting->pasteboardPropertyList();
        if (!converted) return std::nullopt;
        out.push_back(std::move(*converted));
    }
    return Value(std::move(out));
}

std::optional<std::string> ISListType::klis_getAttribute(const std::string& name, ISInterpreter*) {
    if (name == "count" || name == "length") return std::to_string(list_->size());
    if (name == "class") return std::string("list");
    if (name == "contains") raise(exception_names::BadAttribute, "contains");
    return std::nullopt;
}

bool ISListType::klis_setAttribute(const std::string&, const std::string&, ISInterpreter*) {
    return false;
}

std::shared_ptr<Object> ISListType::klis_getObjectAttribute(const std::string&, ISInterpreter*) {
    return nullptr;
}

}  // namespace kl
