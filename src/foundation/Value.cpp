#include "foundation/Value.h"

#include "foundation/Numbers.h"

namespace kl {

Dictionary::Dictionary(std::initializer_list<std::pair<std::string, Value>> entries) {
    for (const auto& [k, v] : entries) set(k, v);
}

long Dictionary::find(std::string_view key) const {
    for (std::size_t i = 0; i < keys_.size(); ++i)
        if (keys_[i] == key) return static_cast<long>(i);
    return -1;
}

const Value* Dictionary::get(std::string_view key) const {
    long i = find(key);
    return i < 0 ? nullptr : &values_[static_cast<std::size_t>(i)];
}

Value* Dictionary::get(std::string_view key) {
    long i = find(key);
    return i < 0 ? nullptr : &values_[static_cast<std::size_t>(i)];
}

void Dictionary::set(std::string key, Value value) {
    long i = find(key);
    if (i >= 0) {
        values_[static_cast<std::size_t>(i)] = std::move(value);
        return;
    }
    keys_.push_back(std::move(key));
    values_.push_back(std::move(value));
}

bool Dictionary::remove(std::string_view key) {
    long i = find(key);
    if (i < 0) return false;
    keys_.erase(keys_.begin() + i);
    values_.erase(values_.begin() + i);
    return true;
}

void Dictionary::clear() {
    keys_.clear();
    values_.clear();
}

bool Dictionary::operator==(const Dictionary& other) const {
    return keys_ == other.keys_ && values_ == other.values_;
}

bool Value::toBool(bool fallback) const {
    switch (type()) {
    case Type::Bool: return std::get<bool>(v_);
    case Type::Integer: return std::get<std::int64_t>(v_) != 0;
    case Type::Real: return std::get<double>(v_) != 0;
    case Type::String: {
        // Property lists written by hand say "YES"/"true"/"1".
        const auto& s = std::get<std::string>(v_);
        if (s.empty()) return fallback;
        char c = s[0];
        return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
    }
    default: return fallback;
    }
}

std::int64_t Value::toInteger(std::int64_t fallback) const {
    switch (type()) {
    case Type::Bool: return std::get<bool>(v_) ? 1 : 0;
    case Type::Integer: return std::get<std::int64_t>(v_);
    case Type::Real: return saturatingInteger(std::get<double>(v_));
    case Type::String: {
        auto d = parseDouble(std::get<std::string>(v_));
        return d ? saturatingInteger(*d) : fallback;
    }
    default: return fallback;
    }
}

double Value::toReal(double fallback) const {
    switch (type()) {
    case Type::Bool: return std::get<bool>(v_) ? 1 : 0;
    case Type::Integer: return static_cast<double>(std::get<std::int64_t>(v_));
    case Type::Real: return std::get<double>(v_);
    case Type::String: {
        auto d = parseDouble(std::get<std::string>(v_));
        return d ? *d : fallback;
    }
    default: return fallback;
    }
}

std::string Value::toString(std::string fallback) const {
    switch (type()) {
    case Type::String: return std::get<std::string>(v_);
    case Type::Bool: return std::get<bool>(v_) ? "1" : "0";
    case Type::Integer: return std::to_string(std::get<std::int64_t>(v_));
    case Type::Real: return formatNumber(std::get<double>(v_));
    default: return fallback;
    }
}

std::shared_ptr<Object> Value::object() const {
    if (auto p = std::get_if<std::shared_ptr<Object>>(&v_)) return *p;
    return nullptr;
}

bool Value::operator==(const Value& other) const { return v_ == other.v_; }

}  // namespace kl
