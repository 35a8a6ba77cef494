#pragma once
// A list value of internal scripts. The items are texts, numbers and objects
// (records, structures, lists, dictionaries). A list made over an owner's
// array shares it, so a script that changes the list changes the owner's
// array too. Used by the one script thread that made it; not locked.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/ShellSort.h"
#include "foundation/Value.h"
#include "model/ISScripting.h"

namespace kl {

class ISListType : public ISScripting,
                   public WXShellSorter<Value, Array> {
public:
    // Shares the array (a new empty one when null).
    explicit ISListType(std::shared_ptr<Array> list = nullptr);
    // A list over a copy of the items.
    static std::shared_ptr<ISListType> initWithCopiedList(const Array* items);
    // Over the owner's array itself.
    static std::shared_ptr<ISListType> listWithList(std::shared_ptr<Array> list);
    // Over a copy of an array the caller cannot share.
    static std::shared_ptr<ISListType> listWithList(const Array& items);

    // Whether the list command word applies: "sublist" and "get" to any list
    // object, the editing commands only to a script list (a plain array
    // value is read-only).
    static bool supportsCommand(std::string_view word, const Value& listObject);

    void klis_addObject(Value item);
    bool klis_insertObject(Value item, long index);
    bool klis_removeObjectAtIndex(long index);
    // The last item, removed; a null Value when the list is empty.
    Value getRemoveLastObject();
    std::string klis_join(std::string_view separator) const;
    // Sort words: [primary key ["numeric"|word [secondary key ["numeric"|word]]]];
    // none sorts texts case-insensitively. Raises "WXArrayShellSortError".
    void klis_sort(const std::vector<std::string>& words);

    std::size_t count() const { return list_->size(); }
    const Value& objectAtIndex(std::size_t index) const { return list_->at(index); }
    void removeObjectAtIndex(std::size_t index) { list_->erase(list_->begin() + index); }
    const std::shared_ptr<Array>& list() const { return list_; }
    void setList(std::shared_ptr<Array> list) { list_ = list ? std::move(list) : std::make_shared<Array>(); }

    // The pasteboard form; nullopt when an item cannot travel.
    std::optional<Value> propertyList() const;
    std::optional<Value> pasteboardPropertyList() const override { return propertyList(); }
    std::optional<Array> klis_listItems() const override { return *list_; }

    std::optional<std::string> klis_getAttribute(const std::string& name,
                                                 ISInterpreter* sender) override;
    bool klis_setAttribute(const std::string& name, const std::string& value,
                           ISInterpreter* sender) override;
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string& name,
                                                    ISInterpreter* sender) override;

    // Sort keys of a keyed sort: [primary] or [primary, secondary].
    Array getShellSortObjectFor(const Value& item) override;
    bool checkShellObj1(const Array& a, const Array& b) override;

private:
    std::shared_ptr<Array> list_;
    std::string key1_;
    long type1_ = 1;  // 1 text, 0 numbers
    std::optional<std::string> key2_;
    long type2_ = 1;
};

}  // namespace kl
