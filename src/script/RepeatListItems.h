#pragma once
// Enumerator of a script's repeat-with loop over a list, an array or a
// dictionary's values: each pass hands out the next item itself.
#include "script/RepeatEachObject.h"

namespace kl {

class RepeatListItems : public RepeatEachObject {
public:
    explicit RepeatListItems(Array objects) : RepeatEachObject(std::move(objects)) {}
    Value incrementRepeatVariable(RepeatObject& loop) override;
};

}  // namespace kl
