#include "script/RepeatObject.h"

#include "foundation/Numbers.h"

namespace kl {

RepeatObject::RepeatObject(const std::optional<std::string>& variable, double from, double to,
                           double step)
    : rmin_(from), rmax_(to), rstep_(step), current_(from) {
    if (variable && !variable->empty() && (*variable)[0] == '^')
        repeatObjVar_ = variable->substr(1);
    else
        repeatVar_ = variable;
}

bool RepeatObject::incrementValue() {
    if (repeatDelegate_) {
        delegateValue_ = repeatDelegate_->incrementRepeatVariable(*this);
        return !delegateValue_.isNull();
    }
    if (!repeatVar_ && !repeatObjVar_) return true;
    current_ += rstep_;
    if (rstep_ > 0) return current_ <= rmax_;
    if (rstep_ < 0) return current_ >= rmax_;
    return false;
}

Value RepeatObject::currentValue() const {
    if (repeatDelegate_) return delegateValue_;
    return Value(formatGeneral(current_, 8));
}

}  // namespace kl
