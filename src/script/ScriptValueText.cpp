#include "script/ScriptValueText.h"

#include <charconv>

#include "foundation/Numbers.h"
#include "model/ISScripting.h"

namespace kl {

std::optional<std::string> scriptTextOf(const Value& value) {
    if (value.isString()) return *value.string();
    if (value.isReal()) return formatGeneral(value.toReal(), 8);
    if (value.isNumber()) return formatGeneral(static_cast<double>(value.toInteger()), 8);
    return std::nullopt;
}

std::string commandItemText(const Value& value) {
    if (value.isReal()) return formatNumber(value.toReal());
    return value.toString();
}

std::string scriptSortTextOf(const Value& value) {
    if (auto text = scriptTextOf(value)) return *text;
    if (auto scripting = value.objectAs<ISScripting>()) return scripting->viewName();
    return {};
}

std::optional<double> scriptNumberOf(const Value& value) {
    if (value.isNumber()) return value.toReal();
    if (!value.isString()) return std::nullopt;
    const std::string& text = *value.string();
    auto first = text.find_first_not_of(" \t\r\n");
    auto last = text.find_last_not_of(" \t\r\n");
    if (first == std::string::npos) return std::nullopt;
    std::string_view trimmed(text.data() + first, last - first + 1);
    if (trimmed.front() == '+') trimmed.remove_prefix(1);
    double number = 0;
    auto result = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), number);
    if (result.ec != std::errc() || result.ptr != trimmed.data() + trimmed.size()) return std::nullopt;
    return number;
}

}  // namespace kl
