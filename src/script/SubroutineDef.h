#pragma once
// One subroutine of a script or template: where its body starts, its
// parameter names, its variable-length list and its locals. Owned by the
// parser that collected it; lives as long as the parser.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "script/CommandCode.h"

namespace kl {

class SubroutineDef {
public:
    explicit SubroutineDef(std::size_t loc) : subStart_(loc) {}

    // Adds a parameter: a plain name, or "name[]" for the variable-length
    // list (one only). With requireNum the name must begin with "#".
    bool addVariable(const std::string& name, bool requireNum);
    // Adds the local names of a "local" command from item `from` on; ranges
    // "#row[1-3]" add one name per element. 0 when all were taken, else the
    // index of the first refused item.
    std::size_t addLocal(const Command& command, std::size_t from, bool requireNum);

    std::size_t numberOfArgs() const { return subVars_.size(); }
    const std::string& argAtIndex(std::size_t i) const { return subVars_.at(i); }
    std::size_t subStart() const { return subStart_; }
    const std::vector<std::string>& subVars() const { return subVars_; }
    const std::vector<std::string>& localVars() const { return localVars_; }
    const std::optional<std::string>& varArg() const { return varArg_; }

private:
    bool addLocalName(const std::string& name, bool requireNum);

    std::size_t subStart_;
    std::vector<std::string> subVars_;
    std::vector<std::string> localVars_;
    std::optional<std::string> varArg_;
};

}  // namespace kl
