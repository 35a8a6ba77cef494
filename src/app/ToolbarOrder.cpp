#include "app/ToolbarOrder.h"

#include <algorithm>
#include <set>

#include "foundation/UserDefaults.h"
#include "foundation/Value.h"

namespace kl {

ToolbarOrder::ToolbarOrder(const std::string& identifier, std::vector<std::string> allowed,
                           std::vector<std::string> defaults)
    : identifier_(identifier),
      configurationKey_("NSToolbar Configuration " + identifier),
      allowed_(std::move(allowed)),
      defaults_(std::move(defaults)) {}

bool ToolbarOrder::repeatable(const std::string& identifier) {
    return identifier == kSeparator || identifier == kSpace || identifier == kFlexibleSpace;
}

std::vector<std::string> ToolbarOrder::sanitized(const std::vector<std::string>& identifiers) const {
    std::vector<std::string> out;
    std::set<std::string> seen;
    for (const auto& id : identifiers) {
        if (std::find(allowed_.begin(), allowed_.end(), id) == allowed_.end()) continue;
        if (!repeatable(id) && !seen.insert(id).second) continue;
        out.push_back(id);
    }
    return out;
}

std::vector<std::string> ToolbarOrder::itemIdentifiers(const UserDefaults& defaults) const {
    const auto configuration = defaults.dictionaryForKey(configurationKey_);
    const Value* stored = configuration ? configuration->get(kItemIdentifiersKey) : nullptr;
    if (!stored || !stored->array()) return defaults_;
    std::vector<std::string> ids;
    for (const Value& v : *stored->array())
        if (const std::string* s = v.string()) ids.push_back(*s);
    return sanitized(ids);
}

void ToolbarOrder::saveItemIdentifiers(UserDefaults& defaults, const std::vector<std::string>& identifiers) const {
    Dictionary configuration = defaults.dictionaryForKey(configurationKey_).value_or(Dictionary{});
    Array ids;
    for (const auto& id : sanitized(identifiers)) ids.emplace_back(id);
    configuration.set(kItemIdentifiersKey, Value(std::move(ids)));
    defaults.setObject(Value(std::move(configuration)), configurationKey_);
}

}  // namespace kl
