#pragma once
// One open repeat loop of a command parser: counted, endless (no variable)
// or enumerated (a delegate hands out the values). Owned by the parser's
// loop stack; lives from its repeat command to the end of its loop.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "foundation/Value.h"
#include "script/RepeatDelegate.h"

namespace kl {

class RepeatObject {
public:
    // A variable written "^name" is an object loop variable.
    RepeatObject(const std::optional<std::string>& variable, double from, double to, double step);

    // Advances to the next pass; false when there is none.
    bool incrementValue();
    // What the loop variable receives: the delegate's value, or the counter
    // as number text.
    Value currentValue() const;
    void setRepeatDelegate(std::shared_ptr<RepeatDelegate> delegate) { repeatDelegate_ = std::move(delegate); }

    const std::optional<std::string>& repeatVar() const { return repeatVar_; }
    const std::optional<std::string>& repeatObjVar() const { return repeatObjVar_; }
    double rmin() const { return rmin_; }
    double rmax() const { return rmax_; }
    double rstep() const { return rstep_; }
    double current() const { return current_; }
    std::size_t loopStart() const { return loopStart_; }
    void setLoopStart(std::size_t loc) { loopStart_ = loc; }
    std::size_t loopEnd() const { return loopEnd_; }
    void setLoopEnd(std::size_t loc) { loopEnd_ = loc; }
    const std::shared_ptr<RepeatDelegate>& repeatDelegate() const { return repeatDelegate_; }
    const Value& delegateValue() const { return delegateValue_; }
    void setDelegateValue(Value value) { delegateValue_ = std::move(value); }

private:
    std::optional<std::string> repeatVar_;
    std::optional<std::string> repeatObjVar_;
    double rmin_;
    double rmax_;
    double rstep_;
    double current_;
    std::size_t loopStart_ = 0;
    std::size_t loopEnd_ = 0;  // 0 until the loop's endrepeat was reached
    std::shared_ptr<RepeatDelegate> repeatDelegate_;
    Value delegateValue_;
};

}  // namespace kl
