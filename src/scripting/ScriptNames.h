#pragma once
// Small helpers the interpreter's command files share: how a value is
// named in a report, and how a list value is read whether it is a script
// list or a plain array.
#include <memory>
#include <string>
#include <vector>

#include "foundation/Value.h"

namespace kl {

class ISListType;

// The class name a report gives for a value ("INDIRecord", "ISListType").
std::string scriptClassName(const Value& value);
// The items of a script list or a plain array; nullptr for anything else.
const Array* listItemsOf(const Value& value);
std::shared_ptr<ISListType> scriptListOf(const Value& value);
// A path split at every "." (an empty text gives one empty part).
std::vector<std::string> splitPath(const std::string& text);
// The text without white space at either end.
std::string trimmedText(const std::string& text);
// Joins the texts of command elements with the separator.
std::string joinCommand(const Array& command, std::size_t from, const std::string& separator);

}  // namespace kl
