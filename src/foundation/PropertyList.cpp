#include "foundation/PropertyList.h"

#include <fcntl.h>
#include <locale.h>
#include <plist/plist.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <system_error>

namespace kl {

namespace {

struct PlistFree {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

struct CFree {
    void operator()(void* p) const { std::free(p); }
};

// libplist parses and prints reals with strtod/snprintf, which follow
// LC_NUMERIC. The GUI sets the user's locale, so every call into the library
// runs with the thread switched to "C" for its length.
class CNumericScope {
public:
    CNumericScope() : previous_(uselocale(cLocale())) {}
    ~CNumericScope() { uselocale(previous_); }
    CNumericScope(const CNumericScope&) = delete;
    CNumericScope& operator=(const CNumericScope&) = delete;

private:
    static locale_t cLocale() {
        static locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
        return c;
    }
    locale_t previous_;
};

void setError(std::string* error, std::string message) {
    if (error) *error = std::move(message);
}

// ---- reading ----

struct Reader {
    std::string error;

    std::optional<Value> convert(plist_t node, int depth);

private:
    std::optional<Value> array(plist_t node, int depth);
    std::optional<Value> dictionary(plist_t node, int depth);
};

Value readString(plist_t node) {
    std::uint64_t length = 0;
    const char* p = plist_get_string_ptr(node, &length);
    return p ? Value(std::string(p, length)) : Value(std::string());
}

Value readKey(plist_t node) {
    char* key = nullptr;
    plist_get_key_val(node, &key);
    std::unique_ptr<char, CFree> owned(key);
    return Value(std::string(key ? key : ""));
}

Value readData(plist_t node) {
    std::uint64_t length = 0;
    const char* p = plist_get_data_ptr(node, &length);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(p);
    return p ? Value(Data(bytes, bytes + length)) : Value(Data());
}

Value readDate(plist_t node) {
    std::int32_t sec = 0, usec = 0;
    plist_get_date_val(node, &sec, &usec);
    return Value(Date{double(sec) + double(usec) / 1e6});
}

Value readInteger(plist_t node) {
    std::uint64_t v = 0;
    plist_get_uint_val(node, &v);
    // libplist keeps signed integers in two's complement.
    return Value(static_cast<long long>(v));
}

Value readUID(plist_t node) {
    std::uint64_t v = 0;
    plist_get_uid_val(node, &v);
    return Value(static_cast<long long>(v));
}

Value readBool(plist_t node) {
    std::uint8_t v = 0;
    plist_get_bool_val(node, &v);
    return Value(v != 0);
}

Value readReal(plist_t node) {
    double v = 0;
    plist_get_real_val(node, &v);
    return Value(v);
}

std::optional<Value> Reader::convert(plist_t node, int depth) {
    if (depth > PropertyList::maxDepth) {
        error = "The property list is nested too deeply.";
        return std::nullopt;
    }
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: return readBool(node);
    case PLIST_UINT: return readInteger(node);
    case PLIST_REAL: return readReal(node);
    case PLIST_STRING: return readString(node);
    case PLIST_KEY: return readKey(node);
    case PLIST_DATA: return readData(node);
    case PLIST_DATE: return readDate(node);
    case PLIST_UID: return readUID(node);
    case PLIST_ARRAY: return array(node, depth);
    case PLIST_DICT: return dictionary(node, depth);
    default: break;
    }
    error = "The property list holds a value of unknown type.";
    return std::nullopt;
}

std::optional<Value> Reader::array(plist_t node, int depth) {
    Array out;
    const std::uint32_t n = plist_array_get_size(node);
    out.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        auto item = convert(plist_array_get_item(node, i), depth + 1);
        if (!item) return std::nullopt;
        out.push_back(std::move(*item));
    }
    return Value(std::move(out));
}

std::optional<Value> Reader::dictionary(plist_t node, int depth) {
    Dictionary out;
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(node, &it);
    std::unique_ptr<void, CFree> ownedIter(it);
    for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, it, &key, &item);
        std::unique_ptr<char, CFree> ownedKey(key);
        if (!item) break;
        auto v = convert(item, depth + 1);
        if (!v) return std::nullopt;
        out.set(key ? key : "", std::move(*v));
    }
    return Value(std::move(out));
}

// ---- writing ----

struct Writer {
    std::string error;
    std::vector<std::string> path;

    PlistPtr convert(const Value& v);

private:
    PlistPtr fail(const char* what);
    PlistPtr array(const Array& a);
    PlistPtr dictionary(const Dictionary& d);
    PlistPtr date(Date d);
};

PlistPtr Writer::fail(const char* what) {
    std::string where;
    for (const auto& part : path) where += (where.empty() ? "" : "/") + part;
    error = std::string(what) + (where.empty() ? "" : " at \"" + where + "\"") + ".";
    return nullptr;
}

PlistPtr Writer::array(const Array& a) {
    PlistPtr out(plist_new_array());
    for (std::size_t i = 0; i < a.size(); ++i) {
        path.push_back(std::to_string(i));
        PlistPtr item = convert(a[i]);
        if (!item) return nullptr;
        path.pop_back();
        plist_array_append_item(out.get(), item.release());
    }
    return out;
}

PlistPtr Writer::dictionary(const Dictionary& d) {
    PlistPtr out(plist_new_dict());
    for (std::size_t i = 0; i < d.size(); ++i) {
        path.push_back(d.keyAt(i));
        PlistPtr item = convert(d.valueAt(i));
        if (!item) return nullptr;
        path.pop_back();
        plist_dict_set_item(out.get(), d.keyAt(i).c_str(), item.release());
    }
    return out;
}

PlistPtr Writer::date(Date d) {
    const double whole = std::floor(d.seconds);
    double usec = std::round((d.seconds - whole) * 1e6);
    double sec = whole;
    if (usec >= 1e6) {
        sec += 1;
        usec = 0;
    }
    if (!std::isfinite(sec) || sec < std::numeric_limits<std::int32_t>::min() ||
        sec > std::numeric_limits<std::int32_t>::max())
        return fail("A date lies outside the range a property list can store");
    return PlistPtr(plist_new_date(static_cast<std::int32_t>(sec), static_cast<std::int32_t>(usec)));
}

PlistPtr Writer::convert(const Value& v) {
    if (path.size() > std::size_t(PropertyList::maxDepth)) return fail("The value is nested too deeply");
    switch (v.type()) {
    case Value::Type::Null: return fail("A null value cannot be written to a property list");
    case Value::Type::Object: return fail("An object value cannot be written to a property list");
    case Value::Type::Bool: return PlistPtr(plist_new_bool(v.toBool() ? 1 : 0));
    case Value::Type::Integer: return PlistPtr(plist_new_uint(static_cast<std::uint64_t>(v.toInteger())));
    case Value::Type::Real: return PlistPtr(plist_new_real(v.toReal()));
    case Value::Type::String: return PlistPtr(plist_new_string(v.string()->c_str()));
    case Value::Type::Data: {
        const Data& data = *v.data();
        return PlistPtr(plist_new_data(reinterpret_cast<const char*>(data.data()), data.size()));
    }
    case Value::Type::Date: return date(*v.date());
    case Value::Type::Array: return array(*v.array());
    case Value::Type::Dictionary: return dictionary(*v.dictionary());
    }
    return fail("A value of unknown type cannot be written");
}

// ---- files ----

std::optional<std::string> readWholeFile(const std::filesystem::path& path, std::string* error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        setError(error, "\"" + path.string() + "\" is a folder, not a property list.");
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        setError(error, "Could not open \"" + path.string() + "\": " + std::strerror(errno) + ".");
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        setError(error, "Could not read \"" + path.string() + "\".");
        return std::nullopt;
    }
    return bytes;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool writeDirect(const std::filesystem::path& path, std::string_view bytes, std::string* error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        setError(error, "Could not write \"" + path.string() + "\": " + std::strerror(errno) + ".");
        return false;
    }
    const bool ok = writeAll(fd, bytes);
    const int saved = errno;
    const bool closed = ::close(fd) == 0;
    if (!ok || !closed) {
        setError(error, "Could not write \"" + path.string() + "\": " + std::strerror(ok ? errno : saved) + ".");
        return false;
    }
    return true;
}

// The temporary file takes the target's permissions when it replaces one,
// as mkstemp's 0600 would otherwise hide a shared package file from others.
void adoptMode(int fd, const std::filesystem::path& target) {
    struct stat st {};
    const mode_t mode = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    (void)::fchmod(fd, mode);
}

bool writeAtomically(const std::filesystem::path& path, std::string_view bytes, std::string* error) {
    std::string pattern = path.string() + ".XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        setError(error, "Could not write \"" + path.string() + "\": " + std::strerror(errno) + ".");
        return false;
    }
    adoptMode(fd, path);
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int saved = errno;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(pattern.c_str(), path.c_str()) == 0) return true;
    const int reason = ok ? errno : saved;
    ::unlink(pattern.c_str());
    setError(error, "Could not write \"" + path.string() + "\": " + std::strerror(reason) + ".");
    return false;
}

}  // namespace

std::optional<Value> PropertyList::read(std::string_view bytes, std::string* error) {
    if (bytes.empty()) {
        setError(error, "The property list is empty.");
        return std::nullopt;
    }
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        setError(error, "The property list is too large.");
        return std::nullopt;
    }
    plist_t root = nullptr;
    {
        CNumericScope cLocale;
        plist_from_memory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
    }
    PlistPtr owned(root);
    if (!root) {
        setError(error, "The data is not a readable property list.");
        return std::nullopt;
    }
    Reader reader;
    auto value = reader.convert(root, 0);
    if (!value) setError(error, reader.error);
    return value;
}

std::optional<Value> PropertyList::read(const Data& bytes, std::string* error) {
    return read(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error);
}

std::optional<Value> PropertyList::readFile(const std::filesystem::path& path, std::string* error) {
    auto bytes = readWholeFile(path, error);
    if (!bytes) return std::nullopt;
    std::string why;
    auto value = read(*bytes, &why);
    if (!value) setError(error, "\"" + path.string() + "\": " + why);
    return value;
}

std::optional<Dictionary> PropertyList::readDictionaryFile(const std::filesystem::path& path,
                                                           std::string* error) {
    auto value = readFile(path, error);
    if (!value) return std::nullopt;
    if (auto* d = value->dictionary()) return std::move(*d);
    setError(error, "\"" + path.string() + "\" does not hold a dictionary.");
    return std::nullopt;
}

std::optional<std::string> PropertyList::writeXML(const Value& value, std::string* error) {
    Writer writer;
    PlistPtr root = writer.convert(value);
    if (!root) {
        setError(error, writer.error);
        return std::nullopt;
    }
    char* xml = nullptr;
    std::uint32_t length = 0;
    {
        CNumericScope cLocale;
        plist_to_xml(root.get(), &xml, &length);
    }
    if (!xml) {
        setError(error, "The property list could not be written.");
        return std::nullopt;
    }
    std::string out(xml, length);
    plist_to_xml_free(xml);
    return out;
}

bool PropertyList::writeFile(const Value& value, const std::filesystem::path& path, std::string* error,
                             bool atomically) {
    auto xml = writeXML(value, error);
    if (!xml) return false;
    return atomically ? writeAtomically(path, *xml, error) : writeDirect(path, *xml, error);
}

bool PropertyList::writeBytesAtomically(std::string_view bytes, const std::filesystem::path& path,
                                        std::string* error) {
    return writeAtomically(path, bytes, error);
}

}  // namespace kl
