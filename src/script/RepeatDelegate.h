#pragma once
// The enumerator of a repeat-with loop: asked once per pass for the value
// the loop variable receives. Called on the thread of the parser that owns
// the loop.
#include "foundation/Value.h"

namespace kl {

class RepeatObject;

class RepeatDelegate {
public:
    virtual ~RepeatDelegate() = default;
    // The next value; a null Value when there is none, which ends the loop.
    virtual Value incrementRepeatVariable(RepeatObject& loop) = 0;
};

}  // namespace kl
