#include "script/RepeatEachObject.h"

namespace kl {

const Value* RepeatEachObject::nextItem() {
    if (index_ < static_cast<int>(objects_.size())) ++index_;
    return index_ < static_cast<int>(objects_.size()) ? &objects_[index_] : nullptr;
}

Value RepeatEachObject::incrementRepeatVariable(RepeatObject&) {
    const Value* item = nextItem();
    if (!item) return Value();
    if (contents_) {
        auto text = contents_(*item);
        return text ? Value(*text) : Value(std::string());
    }
    return item->isString() ? *item : Value(std::string());
}

}  // namespace kl
