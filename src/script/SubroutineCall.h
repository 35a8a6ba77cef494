#pragma once
// One active subroutine call: where to resume, how deep the loop stack was,
// and the caller's values of the locals, put back when the call ends.
// Owned by the parser's call stack; works on the caller's own variables
// dictionary, which the server keeps alive for the whole run.
#include <cstddef>
#include <string>
#include <vector>

#include "script/Variables.h"

namespace kl {

class SubroutineCall {
public:
    SubroutineCall(std::size_t returnLoc, std::size_t startRepeats, std::string subName)
        : returnLoc_(returnLoc), startRepeats_(startRepeats), subName_(std::move(subName)) {}

    // Keeps and removes each local that exists, notes each that does not:
    // locals start undefined in the body.
    void saveLocal(const std::vector<std::string>& locals, Variables& variables);
    // Puts the kept values back and removes the locals that did not exist.
    void restoreVariables();

    std::size_t returnLoc() const { return returnLoc_; }
    std::size_t startRepeats() const { return startRepeats_; }
    const std::string& subName() const { return subName_; }
    const Variables& savedVariables() const { return savedVariables_; }
    const Variables& noneVariables() const { return noneVariables_; }

private:
    std::size_t returnLoc_;
    std::size_t startRepeats_;
    Variables* origVariables_ = nullptr;
    std::string subName_;
    Variables savedVariables_;
    Variables noneVariables_;
};

}  // namespace kl
