#pragma once
// Enumerator of a repeat-with loop over structures: each pass hands out the
// contents of the next structure. The record browser builds it over the
// structures a template loops on and owns it through the loop record.
#include <functional>
#include <optional>
#include <string>

#include "foundation/Value.h"
#include "script/RepeatDelegate.h"

namespace kl {

class RepeatEachObject : public RepeatDelegate {
public:
    // Reads the contents of one item; texts stand for themselves by default.
    using ContentsReader = std::function<std::optional<std::string>(const Value&)>;

    explicit RepeatEachObject(Array objects, ContentsReader contents = nullptr)
        : objects_(std::move(objects)), contents_(std::move(contents)) {}

    Value incrementRepeatVariable(RepeatObject& loop) override;

    int index() const { return index_; }
    const Array& objects() const { return objects_; }

protected:
    // The item at the next index, or nullptr past the end.
    const Value* nextItem();

private:
    int index_ = -1;
    Array objects_;
    ContentsReader contents_;
};

}  // namespace kl
