#pragma once
// Value: the one dynamic value type of the non-GUI code. Property lists, user
// defaults, notification user info and script values all speak it. Model
// objects ride along as shared Objects so that a value never outlives what
// it names.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kl {

// Base of everything a Value may hold by reference (records, structures,
// lists, documents).
class Object {
public:
    virtual ~Object() = default;
};

class Value;
using Data = std::vector<std::uint8_t>;

// A point in time as seconds since 2001-01-01 00:00:00 UTC, the epoch of
// property-list dates.
struct Date {
    double seconds = 0;
    bool operator==(const Date&) const = default;
};

// A dictionary that keeps its keys in insertion order, as stored lists of
// albums and column styles must come back in the order they were written.
class Dictionary {
public:
    Dictionary() = default;
    Dictionary(std::initializer_list<std::pair<std::string, Value>> entries);

    std::size_t size() const { return keys_.size(); }
    bool empty() const { return keys_.empty(); }
    bool contains(std::string_view key) const { return find(key) >= 0; }

    // nullptr when absent.
    const Value* get(std::string_view key) const;
    Value* get(std::string_view key);
    // Inserts at the end when new, replaces in place when present.
    void set(std::string key, Value value);
    bool remove(std::string_view key);
    void clear();

    const std::vector<std::string>& keys() const { return keys_; }
    const std::vector<Value>& values() const { return values_; }
    const std::string& keyAt(std::size_t i) const { return keys_[i]; }
    // Defined below, once Value is complete.
    const Value& valueAt(std::size_t i) const;

    bool operator==(const Dictionary& other) const;

private:
    long find(std::string_view key) const;
    std::vector<std::string> keys_;
    std::vector<Value> values_;
};

using Array = std::vector<Value>;

class Value {
public:
    enum class Type { Null, Bool, Integer, Real, String, Data, Date, Array, Dictionary, Object };

    Value() = default;
    Value(std::nullptr_t) {}
    Value(bool b) : v_(b) {}
    Value(int i) : v_(std::int64_t(i)) {}
    Value(long i) : v_(std::int64_t(i)) {}
    Value(long long i) : v_(std::int64_t(i)) {}
    Value(unsigned i) : v_(std::int64_t(i)) {}
    Value(double d) : v_(d) {}
    Value(const char* s) : v_(std::string(s)) {}
    Value(std::string s) : v_(std::move(s)) {}
    Value(std::string_view s) : v_(std::string(s)) {}
    Value(kl::Data d) : v_(std::move(d)) {}
    Value(kl::Date d) : v_(d) {}
    Value(kl::Array a) : v_(std::move(a)) {}
    Value(kl::Dictionary d) : v_(std::move(d)) {}
    Value(std::shared_ptr<Object> o) : v_(std::move(o)) {}
    template <class T, class = std::enable_if_t<std::is_base_of_v<Object, T>>>
    Value(std::shared_ptr<T> o) : v_(std::shared_ptr<Object>(std::move(o))) {}

    Type type() const { return static_cast<Type>(v_.index()); }
    bool isNull() const { return type() == Type::Null; }
    bool isBool() const { return type() == Type::Bool; }
    bool isInteger() const { return type() == Type::Integer; }
    bool isReal() const { return type() == Type::Real; }
    bool isNumber() const { return isInteger() || isReal() || isBool(); }
    bool isString() const { return type() == Type::String; }
    bool isData() const { return type() == Type::Data; }
    bool isDate() const { return type() == Type::Date; }
    bool isArray() const { return type() == Type::Array; }
    bool isDictionary() const { return type() == Type::Dictionary; }
    bool isObject() const { return type() == Type::Object; }

    // Typed reads that never throw: a wrong type answers the fallback.
    bool toBool(bool fallback = false) const;
    std::int64_t toInteger(std::int64_t fallback = 0) const;
    double toReal(double fallback = 0) const;
    std::string toString(std::string fallback = {}) const;

    // Direct access; nullptr when the value has another type.
    const std::string* string() const { return std::get_if<std::string>(&v_); }
    const kl::Data* data() const { return std::get_if<kl::Data>(&v_); }
    const kl::Date* date() const { return std::get_if<kl::Date>(&v_); }
    const kl::Array* array() const { return std::get_if<kl::Array>(&v_); }
    kl::Array* array() { return std::get_if<kl::Array>(&v_); }
    const kl::Dictionary* dictionary() const { return std::get_if<kl::Dictionary>(&v_); }
    kl::Dictionary* dictionary() { return std::get_if<kl::Dictionary>(&v_); }
    std::shared_ptr<Object> object() const;
    template <class T>
    std::shared_ptr<T> objectAs() const { return std::dynamic_pointer_cast<T>(object()); }

    bool operator==(const Value& other) const;

private:
    std::variant<std::monostate, bool, std::int64_t, double, std::string, kl::Data, kl::Date,
                 kl::Array, kl::Dictionary, std::shared_ptr<Object>>
        v_;
};

inline const Value& Dictionary::valueAt(std::size_t i) const { return values_[i]; }

}  // namespace kl
