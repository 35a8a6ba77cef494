#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <regex>
#include <thread>
#include <vector>

#include "foundation/GermanLocale.h"
#include "foundation/Logger.h"
#include "foundation/UUID.h"

namespace kl {
namespace {

struct FormatCase {
    std::string expected;
    std::string actual;
};

TEST(Logger, FormatSubstitutesInOrder) {
    const FormatCase cases[] = {
        {"Start reading file a.ged at 3", Logger::format("Start reading file {} at {}", "a.ged", 3)},
        {"...done reading in 1.5 seconds, status 2",
         Logger::format("...done reading in {} seconds, status {}", 1.5, 2)},
        {"flag YES NO", Logger::format("flag {} {}", true, false)},
        {"path /tmp/x y", Logger::format("path {} {}", std::filesystem::path("/tmp/x"), std::string("y"))},
        {"{} x", Logger::format("{} {}", "{}", "x")},  // substituted text is not scanned again
        {"missing {}", Logger::format("missing {}")},
        {"extra", Logger::format("extra", 1, 2)},
        {"{ alone }", Logger::format("{ alone }", 1)},
        {"-9223372036854775808", Logger::format("{}", std::numeric_limits<long long>::min())},
        {"", Logger::format("")},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected);
}

TEST(Logger, NumbersKeepThePointUnderAGermanLocale) {
    locale_t german = test::GermanLocale::get();
    if (!german) GTEST_SKIP() << "no German locale on this machine";
    test::ThreadLocaleScope scope(german);
    EXPECT_EQ(Logger::format("{} seconds", 45.5), "45.5 seconds");
}

TEST(Logger, SinkReceivesMessagesAndIsRestored) {
    std::vector<std::string> seen;
    Logger::Sink previous = Logger::setSink([&](const std::string& m) { seen.push_back(m); });
    Logger::log("plain");
    Logger::log("status {}", 3);
    Logger::Sink mine = Logger::setSink(previous);
    EXPECT_TRUE(mine);
    EXPECT_EQ(seen, (std::vector<std::string>{"plain", "status 3"}));
}

TEST(Logger, LinesOfManyThreadsArriveWhole) {
    std::mutex mutex;
    std::vector<std::string> seen;
    Logger::Sink previous = Logger::setSink([&](const std::string& m) {
        std::lock_guard lock(mutex);
        seen.push_back(m);
    });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 200; ++i) Logger::log("thread {} line {}", t, i);
        });
    for (auto& t : threads) t.join();
    Logger::setSink(previous);
    ASSERT_EQ(seen.size(), 800u);
    const std::regex whole("thread [0-3] line [0-9]{1,3}");
    for (const auto& line : seen) EXPECT_TRUE(std::regex_match(line, whole)) << line;
}

TEST(Logger, TimestampHasDateTimeAndMilliseconds) {
    EXPECT_TRUE(std::regex_match(Logger::timestamp(),
                                 std::regex("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}")))
        << Logger::timestamp();
}

TEST(UUID, UpperCaseEightFourFourFourTwelveAndUnique) {
    const std::regex shape("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
    std::vector<std::string> seen;
    for (int i = 0; i < 1000; ++i) {
        std::string id = newUUIDString();
        ASSERT_TRUE(std::regex_match(id, shape)) << id;
        seen.push_back(std::move(id));
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
}

}  // namespace
}  // namespace kl
