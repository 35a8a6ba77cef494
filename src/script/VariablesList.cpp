#include "script/VariablesList.h"

#include "foundation/Numbers.h"
#include "script/ScriptValueText.h"

namespace kl {

std::shared_ptr<VariablesList> VariablesList::listNamed(std::string name) {
    return std::make_shared<VariablesList>(std::move(name));
}

void VariablesList::getVariables(Array& into) const {
    for (const Array& entry : variables_) {
        Array row;
        for (std::size_t i = 0; i < 4; ++i) row.push_back(i < entry.size() ? entry[i] : Value(""));
        row.push_back(Value(static_cast<long long>(into.size() + 1)));
        into.push_back(Value(std::move(row)));
    }
}

std::string VariablesList::description() const {
    std::string text = "Name: " + listName_ + "\n    Variables: (";
    for (std::size_t i = 0; i < variables_.size(); ++i) {
        text += i ? "), (" : "(";
        for (std::size_t j = 0; j < variables_[i].size(); ++j) text += (j ? ", " : "") + commandItemText(variables_[i][j]);
        if (i + 1 == variables_.size()) text += ")";
    }
    return text + ")";
}

}  // namespace kl
