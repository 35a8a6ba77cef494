#include "scripting/ScriptNames.h"

#include <cxxabi.h>

#include <cstdlib>
#include <typeinfo>

#include "script/ISListType.h"
#include "script/ScriptValueText.h"

namespace kl {

std::string scriptClassName(const Value& value) {
    if (value.isString()) return "NSString";
    if (value.isNumber()) return "NSNumber";
    if (value.isArray()) return "NSArray";
    auto object = value.object();
    if (!object) return "nil";
    const Object& ref = *object;
    int status = 0;
    char* demangled = abi::__cxa_demangle(typeid(ref).name(), nullptr, nullptr, &status);
    std::string name = status == 0 && demangled ? demangled : typeid(ref).name();
    std::free(demangled);
    if (auto colon = name.rfind("::"); colon != std::string::npos) name.erase(0, colon + 2);
    return name;
}

std::shared_ptr<ISListType> scriptListOf(const Value& value) { return value.objectAs<ISListType>(); }

const Array* listItemsOf(const Value& value) {
    if (const Array* plain = value.array()) return plain;
    if (auto list = scriptListOf(value)) return list->list().get();
    return nullptr;
}

std::vector<std::string> splitPath(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const auto dot = text.find('.', start);
        parts.push_back(text.substr(start, dot - start));
        if (dot == std::string::npos) return parts;
        start = dot + 1;
    }
}

std::string trimmedText(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string joinCommand(const Array& command, std::size_t from, const std::string& separator) {
    std::string out;
    for (std::size_t i = from; i < command.size(); ++i) {
        if (i > from) out += separator;
        out += commandItemText(command[i]);
    }
    return out;
}

}  // namespace kl
