#pragma once
// The variables dictionary that expressions are evaluated against. Keys are
// variable names exactly as written, "#" included; an array element is a key
// of its own ("#list[3]", "#grid[2][5]"). Values are texts. One dictionary
// belongs to each record browser and each running script; expressions only
// read it during one evaluation and never keep it.
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kl {

// Lets a lookup take a std::string_view without building a std::string.
struct VariableNameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const noexcept {
        return std::hash<std::string_view>{}(name);
    }
};

using Variables = std::unordered_map<std::string, std::string, VariableNameHash, std::equal_to<>>;

}  // namespace kl
