// The map settings from the published version list: the background read,
// a map page's own read with the built-in fall-back, and the key's
// unscrambling.
#include <gtest/gtest.h>

#include <thread>

#include "app/MapSettings.h"

namespace kl {
namespace {

const std::string kBuiltInPlain = "kl-builtin-map-key-0000-1111-2222-33334";

struct CountingReader {
    std::optional<Dictionary> list;
    int reads = 0;
    MapSettings::Reader reader() {
        return [this] {
            ++reads;
            return list;
        };
    }
};

TEST(MapSettings, TheKeyUnscramblesAndAKeyThatCannotLeavesTheOldOne) {
    EXPECT_EQ(MapSettings::unscramble(MapSettings::kBuiltInKey), kBuiltInPlain);
    MapSettings settings;
    settings.setMapInfo("ol.js", MapSettings::kBuiltInKey);
    settings.setMapInfo("other.js", "caf\xC3\xA9");
    EXPECT_EQ(settings.apiKey(), kBuiltInPlain) << "not 7-bit";
    settings.setMapInfo("long.js", std::string(80, 'z'));
    EXPECT_EQ(settings.apiKey(), kBuiltInPlain) << "80 bytes";
    EXPECT_EQ(settings.olPath(), "long.js") << "the location is taken all the same";
}

TEST(MapSettings, ABackgroundReadTakesBothValuesOrNone) {
    MapSettings settings;
    CountingReader web{Dictionary{{"OpenLayers", Value("https://maps.example/ol.js")}}};
    settings.readMapInfoThread(web.reader());
    EXPECT_FALSE(settings.readMap());
    EXPECT_EQ(settings.olPath(), "") << "one value alone is not taken";

    web.list->set("CurrentKey", Value(MapSettings::kBuiltInKey));
    std::thread worker([&] { settings.readMapInfoThread(web.reader()); });
    worker.join();
    EXPECT_TRUE(settings.readMap());
    EXPECT_EQ(settings.readMapInfo(web.reader()), (std::array<std::string, 2>{kBuiltInPlain, "https://maps.example/ol.js"}));
    EXPECT_EQ(web.reads, 2) << "a page after a successful read does not read again";
}

TEST(MapSettings, APageBeforeAnyReadFallsBackAndAsksAgainNextTime) {
    MapSettings settings;
    CountingReader web;
    EXPECT_EQ(settings.readMapInfo(web.reader()),
              (std::array<std::string, 2>{kBuiltInPlain, MapSettings::kBuiltInOpenLayers}));
    EXPECT_FALSE(settings.readMap());
    web.list = Dictionary{{"OpenLayers", Value("https://maps.example/ol.js")}, {"CurrentKey", Value("iqbd")}};
    EXPECT_EQ(settings.readMapInfo(web.reader())[1], "https://maps.example/ol.js");
    EXPECT_EQ(web.reads, 2);
    EXPECT_TRUE(settings.readMap());
}

}  // namespace
}  // namespace kl
