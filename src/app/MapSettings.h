#pragma once
// MapSettings: where the map pages find the OpenLayers library and the key
// of the hosted map service, as published in the product's version list
// ("OpenLayers" and "CurrentKey", the key kept there in a scrambled form).
// A background read at start-up fills them; a map page that asks before it
// has succeeded reads the list itself, and falls back to the built-in
// values until a read succeeds.
//
// Thread: any; the values are handed over under a lock, so a reader on the
// main thread never sees a value the worker is replacing.
#include <array>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/Value.h"

namespace kl {

class MapSettings {
public:
    static constexpr const char* kBuiltInOpenLayers = "https://cdn.jsdelivr.net/npm/ol@5.3.0/dist/ol.js";
    // The built-in key, scrambled like "CurrentKey".
    static constexpr const char* kBuiltInKey = "ro8gwvm}mz3wi~0pn{4;46=.;9=60;4890>85@5";

    // Reads the version list; nullopt when it cannot be read.
    using Reader = std::function<std::optional<Dictionary>()>;

    static MapSettings& shared();

    // The background read: takes both values only when the list has both.
    void readMapInfoThread(const Reader& reader);
    // [key, library location]: reads the list first while no read has
    // succeeded, each missing value the built-in one.
    std::array<std::string, 2> readMapInfo(const Reader& reader);
    // Stores the location and the unscrambled key (a key that does not
    // unscramble leaves the key as it was).
    void setMapInfo(const std::string& location, const std::string& scrambledKey);

    bool readMap() const;
    std::string apiKey() const;
    std::string olPath() const;

    // The key of its scrambled form; nullopt for a text that is not 7-bit
    // or not under 80 bytes.
    static std::optional<std::string> unscramble(std::string_view scrambled);

private:
    mutable std::mutex lock_;
    std::string olPath_;
    std::string apiKey_;
    bool readMap_ = false;
};

}  // namespace kl
