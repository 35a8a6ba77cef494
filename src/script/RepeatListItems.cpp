#include "script/RepeatListItems.h"

namespace kl {

Value RepeatListItems::incrementRepeatVariable(RepeatObject&) {
    const Value* item = nextItem();
    return item ? *item : Value();
}

}  // namespace kl
