#pragma once
// Where an expression finds the one-line def functions it may call: the
// command parser that collected them. Held as a plain pointer by the
// expression; the parser outlives the expressions of its script or pane.
#include <string>
#include <vector>

namespace kl {

class DefFunctionSource {
public:
    virtual ~DefFunctionSource() = default;
    // [type letters, body expression, default values...], or nullptr when no
    // def of that name exists (names compared exactly). The pointer stays
    // valid as long as the source is not changed.
    virtual const std::vector<std::string>* defByName(const std::string& name) const = 0;
};

}  // namespace kl
