#include "app/MapSettings.h"

#include "foundation/Logger.h"

namespace kl {

namespace {
constexpr unsigned char kTable[32] = {7, 3, 11, 5, 2, 13, 1, 9, 4, 12, 6, 10, 8, 14, 3, 5,
                                      9, 2, 7,  11, 4, 6, 13, 1, 10, 8, 12, 5, 3, 9, 2, 6};

const std::string* textOf(const Dictionary& list, std::string_view key) {
    const Value* value = list.get(key);
    return value ? value->string() : nullptr;
}
}  // namespace

MapSettings& MapSettings::shared() {
    static MapSettings settings;
    return settings;
}

std::optional<std::string> MapSettings::unscramble(std::string_view scrambled) {
    if (scrambled.size() >= 80) return std::nullopt;
    std::string key;
    for (std::size_t i = 0; i < scrambled.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(scrambled[i]);
        const int plain = int(c) - kTable[i % 32];
        if (c >= 0x80 || plain < 0x20) return std::nullopt;
        key += char(plain);
    }
    return key;
}

void MapSettings::setMapInfo(const std::string& location, const std::string& scrambledKey) {
    const auto key = unscramble(scrambledKey);
    std::lock_guard guard(lock_);
    olPath_ = location;
    if (key) apiKey_ = *key;
}

void MapSettings::readMapInfoThread(const Reader& reader) {
    const auto list = reader ? reader() : std::nullopt;
    const std::string* location = list ? textOf(*list, "OpenLayers") : nullptr;
    const std::string* key = list ? textOf(*list, "CurrentKey") : nullptr;
    if (!location || !key) {
        Logger::log("Failed to read map info on startup. Will try again later");
        return;
    }
    setMapInfo(*location, *key);
    std::lock_guard guard(lock_);
    readMap_ = true;
}

std::array<std::string, 2> MapSettings::readMapInfo(const Reader& reader) {
    if (!readMap()) {
        const auto list = reader ? reader() : std::nullopt;
        const std::string* location = list ? textOf(*list, "OpenLayers") : nullptr;
        const std::string* key = list ? textOf(*list, "CurrentKey") : nullptr;
        setMapInfo(location ? *location : kBuiltInOpenLayers, key ? *key : kBuiltInKey);
        if (location && key) {
            std::lock_guard guard(lock_);
            readMap_ = true;
        }
    }
    std::lock_guard guard(lock_);
    return {apiKey_, olPath_};
}

bool MapSettings::readMap() const {
    std::lock_guard guard(lock_);
    return readMap_;
}

std::string MapSettings::apiKey() const {
    std::lock_guard guard(lock_);
    return apiKey_;
}

std::string MapSettings::olPath() const {
    std::lock_guard guard(lock_);
    return olPath_;
}

}  // namespace kl
