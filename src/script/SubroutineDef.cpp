#include "script/SubroutineDef.h"

#include <cctype>

#include "script/Expression.h"

namespace kl {

namespace {

constexpr long maxLocalRange = 10000;

bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

}  // namespace

bool SubroutineDef::addVariable(const std::string& name, bool requireNum) {
    auto plain = [requireNum](std::string_view n) {
        if (!Expression::validVarbase(n) || n.empty()) return false;
        if (!requireNum) return n != "#";
        return n.size() >= 2 && n[0] == '#';
    };
    if (plain(name)) {
        subVars_.push_back(name);
        return true;
    }
    if (name.size() >= 4 && name.ends_with("[]") && !varArg_) {
        std::string base = name.substr(0, name.size() - 2);
        if (plain(base)) {
            varArg_ = base;
            return true;
        }
    }
    return false;
}

bool SubroutineDef::addLocalName(const std::string& name, bool requireNum) {
    if (!Expression::validVarname(name, requireNum)) return false;
    const auto open = name.find('[');
    if (open == std::string::npos) {
        localVars_.push_back(name);
        return true;
    }
    if (name.back() != ']' || name.find('[', open + 1) != std::string::npos) return false;
    const std::string base = name.substr(0, open);
    const std::string index = name.substr(open + 1, name.size() - open - 2);
    if (allDigits(index)) {
        localVars_.push_back(name);
        return true;
    }
    const auto dash = index.find('-');
    if (dash == std::string::npos || dash == 0 || dash + 1 == index.size()) return false;
    const std::string first = index.substr(0, dash), last = index.substr(dash + 1);
    if (!allDigits(first) || !allDigits(last) || first.size() > 9 || last.size() > 9) return false;
    const long low = std::stol(first), high = std::stol(last);
    // A typo such as "#cell[1-99999999]" must not declare a hundred million
    // locals and exhaust memory; such a range is refused like a bad name.
    if (high - low >= maxLocalRange) return false;
    for (long n = low; n <= high; ++n)
        localVars_.push_back(base + "[" + std::to_string(n) + "]");
    return true;
}

std::size_t SubroutineDef::addLocal(const Command& command, std::size_t from, bool requireNum) {
    for (std::size_t i = from; i < command.size(); ++i) {
        const std::string* name = command[i].string();
        if (!name || !addLocalName(*name, requireNum)) return i;
    }
    return 0;
}

}  // namespace kl
