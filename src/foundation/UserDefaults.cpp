#include "foundation/UserDefaults.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "foundation/Logger.h"
#include "foundation/Numbers.h"
#include "foundation/PropertyList.h"

namespace kl {

namespace {

// The whole text must be a number: "12abc" stored by hand is a wrong type,
// not 12.
std::optional<double> strictNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double v = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return v;
}

std::optional<double> asNumber(const Value& v) {
    if (v.isNumber()) return v.toReal();
    if (auto s = v.string()) return strictNumber(*s);
    return std::nullopt;
}

std::optional<std::int64_t> asInteger(const Value& v) {
    if (v.isInteger()) return v.toInteger();
    auto d = asNumber(v);
    if (!d) return std::nullopt;
    return saturatingInteger(*d);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::optional<bool> asBool(const Value& v) {
    if (v.isNumber()) return v.toBool();
    const std::string* s = v.string();
    if (!s) return std::nullopt;
    for (const char* yes : {"YES", "true"})
        if (equalsIgnoringCase(*s, yes)) return true;
    for (const char* no : {"NO", "false"})
        if (equalsIgnoringCase(*s, no)) return false;
    if (auto d = strictNumber(*s)) return *d != 0;
    return std::nullopt;
}

std::optional<std::string> asString(const Value& v) {
    if (v.isString() || v.isNumber()) return v.toString();
    return std::nullopt;
}

std::optional<Array> asArray(const Value& v) {
    if (const Array* a = v.array()) return *a;
    return std::nullopt;
}

std::optional<Dictionary> asDictionary(const Value& v) {
    if (const Dictionary* d = v.dictionary()) return *d;
    return std::nullopt;
}

std::optional<Data> asData(const Value& v) {
    if (const Data* d = v.data()) return *d;
    return std::nullopt;
}

}  // namespace

UserDefaults::UserDefaults(std::string domain, std::filesystem::path folder)
    : domain_(std::move(domain)), folder_(folder.empty() ? configFolder() : std::move(folder)) {
    load();
}

UserDefaults::~UserDefaults() {
    std::lock_guard lock(mutex_);
    // Quiet: the process-wide instance may outlive the logger's statics.
    if (dirty_) writeLocked(true);
}

UserDefaults& UserDefaults::standard() {
    static UserDefaults instance;
    return instance;
}

void UserDefaults::configureStandard(std::string domain, std::filesystem::path folder) {
    standard().reconfigure(std::move(domain), std::move(folder));
}

void UserDefaults::reconfigure(std::string domain, std::filesystem::path folder) {
    std::lock_guard lock(mutex_);
    if (dirty_) writeLocked(false);
    domain_ = std::move(domain);
    folder_ = folder.empty() ? configFolder() : std::move(folder);
    registered_.clear();
    stored_.clear();
    dirty_ = false;
    const auto path = folder_ / (domain_ + ".plist");
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return;
    std::string error;
    auto stored = PropertyList::readDictionaryFile(path, &error);
    if (stored)
        stored_ = std::move(*stored);
    else
        Logger::log("Preferences could not be read: {}", error);
}

std::filesystem::path UserDefaults::configFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path base;
    // The XDG rules ignore a relative XDG_CONFIG_HOME.
    if (xdg && *xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home && *home ? home : ".") / ".config";
    }
    return base / "Kinlore II";
}

void UserDefaults::load() {
    // The constructor runs before any other thread can see this object; the
    // lock keeps the same code path as configureStandard.
    std::string domain = domain_;
    std::filesystem::path folder = folder_;
    reconfigure(std::move(domain), std::move(folder));
}

void UserDefaults::registerDefaults(const Dictionary& defaults) {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < defaults.size(); ++i) registered_.set(defaults.keyAt(i), defaults.valueAt(i));
}

Value UserDefaults::objectForKey(std::string_view key) const {
    std::lock_guard lock(mutex_);
    if (const Value* v = stored_.get(key)) return *v;
    if (const Value* v = registered_.get(key)) return *v;
    return Value();
}

template <class T, class Convert>
T UserDefaults::typed(std::string_view key, T fallback, Convert convert) const {
    std::lock_guard lock(mutex_);
    for (const Dictionary* source : {&stored_, &registered_}) {
        if (const Value* v = source->get(key))
            if (auto converted = convert(*v)) return std::move(*converted);
    }
    return fallback;
}

std::optional<std::string> UserDefaults::stringForKey(std::string_view key) const {
    return typed<std::optional<std::string>>(key, std::nullopt, asString);
}

std::int64_t UserDefaults::integerForKey(std::string_view key) const {
    return typed<std::int64_t>(key, 0, asInteger);
}

double UserDefaults::doubleForKey(std::string_view key) const {
    return typed<double>(key, 0.0, asNumber);
}

bool UserDefaults::boolForKey(std::string_view key) const {
    return typed<bool>(key, false, asBool);
}

std::optional<Array> UserDefaults::arrayForKey(std::string_view key) const {
    return typed<std::optional<Array>>(key, std::nullopt, asArray);
}

std::optional<Dictionary> UserDefaults::dictionaryForKey(std::string_view key) const {
    return typed<std::optional<Dictionary>>(key, std::nullopt, asDictionary);
}

std::optional<Data> UserDefaults::dataForKey(std::string_view key) const {
    return typed<std::optional<Data>>(key, std::nullopt, asData);
}

bool UserDefaults::setObject(Value value, std::string_view key) {
    if (value.isNull()) {
        removeObjectForKey(key);
        return true;
    }
    // Refuse now what synchronize could not write later.
    std::string error;
    if (!PropertyList::writeXML(value, &error)) {
        Logger::log("Preference \"{}\" not set: {}", key, error);
        return false;
    }
    std::lock_guard lock(mutex_);
    stored_.set(std::string(key), std::move(value));
    dirty_ = true;
    return true;
}

void UserDefaults::removeObjectForKey(std::string_view key) {
    std::lock_guard lock(mutex_);
    if (stored_.remove(key)) dirty_ = true;
}

bool UserDefaults::synchronize() {
    std::lock_guard lock(mutex_);
    if (!dirty_) return true;
    return writeLocked(false);
}

bool UserDefaults::writeLocked(bool quiet) {
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    std::string error;
    if (!PropertyList::writeFile(Value(stored_), folder_ / (domain_ + ".plist"), &error)) {
        if (quiet)
            std::fprintf(stderr, "Preferences not saved: %s\n", error.c_str());
        else
            Logger::log("Preferences not saved: {}", error);
        return false;
    }
    dirty_ = false;
    return true;
}

Dictionary UserDefaults::dictionaryRepresentation() const {
    std::lock_guard lock(mutex_);
    Dictionary out = registered_;
    for (std::size_t i = 0; i < stored_.size(); ++i) out.set(stored_.keyAt(i), stored_.valueAt(i));
    return out;
}

std::filesystem::path UserDefaults::filePath() const {
    std::lock_guard lock(mutex_);
    return folder_ / (domain_ + ".plist");
}

bool UserDefaults::hasUnsavedChanges() const {
    std::lock_guard lock(mutex_);
    return dirty_;
}

}  // namespace kl
