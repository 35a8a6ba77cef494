#pragma once
// VariablesList: one named group of a format's setting variables, as the
// editing settings read them from "Editing.plist" and the preferences
// outline shows them. Each entry is an array whose first four items are
// label, variable name, type and value (text or number); entries are held
// here and edited in place. Owned through shared_ptr by the editing
// settings, whose outline rows point at groups. Main thread.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Value.h"

namespace kl {

class VariablesList {
public:
    explicit VariablesList(std::string name = {}) : listName_(std::move(name)) {}

    static std::shared_ptr<VariablesList> listNamed(std::string name);

    void addVariable(Array entry) { variables_.push_back(std::move(entry)); }
    // Appends, for each entry, a new array of its first four items followed
    // by a running number: the caller's count plus one at the time of
    // appending. Missing items are written as empty texts.
    void getVariables(Array& into) const;

    std::size_t count() const { return variables_.size(); }
    // nullptr past the end.
    Array* variableAtIndex(std::size_t i) { return i < variables_.size() ? &variables_[i] : nullptr; }
    const Array* variableAtIndex(std::size_t i) const { return i < variables_.size() ? &variables_[i] : nullptr; }

    const std::string& listName() const { return listName_; }
    void setListName(std::string name) { listName_ = std::move(name); }
    const std::vector<Array>& variables() const { return variables_; }
    void setVariables(std::vector<Array> variables) { variables_ = std::move(variables); }

    // "Name: <name>\n    Variables: <entries>", for logs.
    std::string description() const;

private:
    std::string listName_;
    std::vector<Array> variables_;
};

}  // namespace kl
