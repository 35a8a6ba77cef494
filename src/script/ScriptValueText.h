#pragma once
// How the script value types see a Value as text and as a number: texts as
// they stand, numbers in the language's eight-digit form, objects by their
// view name. Shared by lists and dictionaries.
#include <optional>
#include <string>

#include "foundation/Value.h"

namespace kl {

// Text of a text or number value; nullopt for anything else.
std::optional<std::string> scriptTextOf(const Value& value);
// Text for ordering: scriptTextOf, else an object's view name, else empty.
std::string scriptSortTextOf(const Value& value);
// One item of a command or variable list as text; numbers in their shortest form.
std::string commandItemText(const Value& value);
// A number value, or a text that reads wholly as a number.
std::optional<double> scriptNumberOf(const Value& value);

}  // namespace kl
