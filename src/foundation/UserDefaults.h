#pragma once
// UserDefaults: the user's preferences of one program. Values come from the
// stored property list "<domain>.plist" under the configuration folder
// ($XDG_CONFIG_HOME/Kinlore II/, by default ~/.config/Kinlore II/) or, when
// none is stored, from the defaults registered at start. Reading never
// touches the disk after the constructor has loaded the file; changes are
// written by synchronize() and, when still unsaved, by the destructor.
//
// Thread-safe: the main thread sets values while workers read them. Getters
// answer copies, never references into the store.
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/Value.h"

namespace kl {

class UserDefaults {
public:
    static constexpr const char* defaultDomain = "Kinlore II";

    // An empty folder means configFolder().
    explicit UserDefaults(std::string domain = defaultDomain, std::filesystem::path folder = {});
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // The process-wide defaults of the running program.
    static UserDefaults& standard();
    // Points standard() at another domain and folder (a program at start, a
    // test at its temporary folder): unsaved changes are written to the old
    // file first, then registrations and stored values are dropped and the
    // new file is read.
    static void configureStandard(std::string domain, std::filesystem::path folder = {});
    // $XDG_CONFIG_HOME/Kinlore II, or ~/.config/Kinlore II.
    static std::filesystem::path configFolder();

    // Adds to the registered defaults; a key registered again takes the new value.
    void registerDefaults(const Dictionary& defaults);

    // The stored value, else the registered one, else Null.
    Value objectForKey(std::string_view key) const;
    // Typed reads: a stored value of another type answers the registered
    // default, and that failing, nullopt or zero.
    std::optional<std::string> stringForKey(std::string_view key) const;
    std::int64_t integerForKey(std::string_view key) const;
    double doubleForKey(std::string_view key) const;
    bool boolForKey(std::string_view key) const;
    std::optional<Array> arrayForKey(std::string_view key) const;
    std::optional<Dictionary> dictionaryForKey(std::string_view key) const;
    std::optional<Data> dataForKey(std::string_view key) const;

    // A Null value removes the key. Objects cannot be stored and are refused
    // (answering false); so are values the property list cannot hold.
    bool setObject(Value value, std::string_view key);
    void removeObjectForKey(std::string_view key);

    // Writes the stored values when changed. Answers false (and logs) when
    // the file could not be written; the changes stay pending.
    bool synchronize();

    // Registered defaults overlaid with stored values.
    Dictionary dictionaryRepresentation() const;
    std::filesystem::path filePath() const;
    bool hasUnsavedChanges() const;

private:
    void load();
    bool writeLocked(bool quiet);
    void reconfigure(std::string domain, std::filesystem::path folder);
    template <class T, class Convert>
    T typed(std::string_view key, T fallback, Convert convert) const;

    mutable std::mutex mutex_;
    std::string domain_;
    std::filesystem::path folder_;
    Dictionary registered_;
    Dictionary stored_;
    bool dirty_ = false;
};

}  // namespace kl
