#include "script/SubroutineCall.h"

namespace kl {

void SubroutineCall::saveLocal(const std::vector<std::string>& locals, Variables& variables) {
    origVariables_ = &variables;
    for (const std::string& name : locals) {
        // A name declared twice must keep the value saved the first time.
        if (savedVariables_.contains(name) || noneVariables_.contains(name)) continue;
        auto it = variables.find(name);
        if (it == variables.end()) {
            noneVariables_.emplace(name, std::string());
        } else {
            savedVariables_.insert_or_assign(name, std::move(it->second));
            variables.erase(it);
        }
    }
}

void SubroutineCall::restoreVariables() {
    if (!origVariables_) return;
    for (auto& [name, value] : savedVariables_) origVariables_->insert_or_assign(name, value);
    for (const auto& entry : noneVariables_) origVariables_->erase(entry.first);
}

}  // namespace kl
