#include <cmath>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "foundation/Logger.h"
#include "foundation/UserDefaults.h"
#include "support/CaseName.h"

namespace kl {
namespace {

using testing::AppHomeTest;

// ---- Soundex ----------------------------------------------------------------

struct SoundexCase {
    const char* text;
    const char* code;
};

class SoundexTest : public ::testing::TestWithParam<SoundexCase> {};

TEST_P(SoundexTest, GivesTheAmericanCode) {
    EXPECT_EQ(AppController::soundexForString(GetParam().text), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Names, SoundexTest,
                         ::testing::Values(SoundexCase{"Robert", "R163"}, SoundexCase{"Ashcraft", "A261"},
                                           SoundexCase{"Pfister", "P236"}, SoundexCase{"Tymczak", "T522"},
                                           SoundexCase{"", "Z000"}, SoundexCase{"1234 !?", "Z000"},
                                           SoundexCase{"Aeiou", "A000"}, SoundexCase{"O'Hara", "O600"},
                                           SoundexCase{"lee", "L000"}), ::kl::test::CaseName());

// ---- Counters ---------------------------------------------------------------

using CounterTest = AppHomeTest;

TEST_F(CounterTest, CountersStartAtTheirDefaultAndAdvance) {
    UserDefaults defaults("Kinlore II", config());
    AppController::initialize(defaults);
    EXPECT_EQ(AppController::reportCounter(defaults), 1);
    EXPECT_EQ(AppController::reportCounter(defaults), 2);
    EXPECT_EQ(AppController::dragIndex(defaults), 1);
    EXPECT_EQ(defaults.integerForKey("Report counter"), 3);
}

struct WrapCase {
    std::int64_t stored;
    std::int64_t answer;
    std::int64_t storedAfter;
};

TEST_F(CounterTest, CountersWrapAtTheLimit) {
    const WrapCase cases[] = {
        {99999999, 99999999, 100000000},
        {100000000, 0, 1},
        {250000000, 0, 1},
        {-7, 0, 1},
    };
    UserDefaults defaults("Kinlore II", config());
    for (const char* key : {"Report counter", "Drag File Index"}) {
        for (const auto& c : cases) {
            defaults.setObject(Value(c.stored), key);
            const auto answer = std::string(key) == "Report counter" ? AppController::reportCounter(defaults)
                                                                    : AppController::dragIndex(defaults);
            EXPECT_EQ(answer, c.answer) << key << " " << c.stored;
            EXPECT_EQ(defaults.integerForKey(key), c.storedAfter) << key << " " << c.stored;
        }
    }
}

// ---- Version numbers --------------------------------------------------------

struct VersionCase {
    float value;
    double version;
    int beta;
};

TEST(DecodeVersionNumber, SplitsVersionAndBetaDigit) {
    const VersionCase cases[] = {{2.345f, 2.3, 5}, {2.3f, 2.3, 0}, {1.0f, 1.0, 0}, {3.101f, 3.1, 1}, {0.009f, 0.0, 9}};
    for (const auto& c : cases) {
        int beta = -1;
        EXPECT_DOUBLE_EQ(AppController::decodeVersionNumber(c.value, &beta), c.version) << c.value;
        EXPECT_EQ(beta, c.beta) << c.value;
    }
}

// ---- Outside searches -------------------------------------------------------

struct SearchCase {
    const char* text;
    const char* terms;
};

TEST(OutsideSearch, WordsAreTrimmedJoinedAndEncoded) {
    const SearchCase cases[] = {
        {"Smith, John", "Smith+John"},
        {"\"John Smith\" Boston", "John%20Smith+Boston"},
        {"a Smith b", "Smith"},
        {"/Smith/ ;Boston: +Mass+", "Smith+Boston+Mass"},
        {"Zoë Ørsted", "Zo%C3%AB+%C3%98rsted"},
        {"É x Éa", "%C3%89a"},
        {"AT&T a=b c+d", "AT%26T+a%3Db+c%2Bd"},
        {"", ""},
        {", ; x", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(AppController::searchTerms(c.text), c.terms) << c.text;
}

TEST(OutsideSearch, TagChoosesWebOrMapSearchAndOpensTheAddress) {
    std::vector<std::string> opened;
    AppController::setAddressOpener([&](const std::string& address) { opened.push_back(address); });
    std::vector<std::string> logged;
    auto old = Logger::setSink([&](const std::string& line) { logged.push_back(line); });
    AppController::launchGoogleSearch("Boston, Mass", AppController::webSearchTag);
    AppController::launchGoogleSearch("Boston", 10002);
    Logger::setSink(old);
    AppController::setAddressOpener(nullptr);

    ASSERT_EQ(opened.size(), 2u);
    EXPECT_NE(opened[0].find("/search?hl=en&client=safari&rls=en&q=Boston+Mass"), std::string::npos) << opened[0];
    EXPECT_NE(opened[1].find("/maps?hl=en&client=safari&rls=en&q=Boston"), std::string::npos) << opened[1];
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0], "URL:" + opened[0]);
}

// ---- Archives of fonts and colours ------------------------------------------

TEST(Archives, FontsAndColoursRoundTrip) {
    const Font fonts[] = {{"Courier", 12, 0}, {"DejaVu Sans", 10.5, Font::Bold | Font::Italic}, {"Zoë Sans", 7, 0}};
    for (const auto& f : fonts) EXPECT_EQ(AppController::unarchive(AppController::archive(f), Font{}), f);
    const Color colors[] = {{0, 0, 0.72, 1}, {1, 0, 0, 0.08}, Color::lightGray()};
    for (const auto& c : colors) EXPECT_EQ(AppController::unarchive(AppController::archive(c), Color{}), c);
}

TEST(Archives, UnreadableArchivesGiveTheDefault) {
    const Font fontDefault{"Fallback", 9, 0};
    const Color colorDefault{0.1, 0.2, 0.3, 1};
    const std::string notAList = "bplist-not-really";
    const std::string damagedFont =
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>$class</key><string>KLFont</string>"
        "<key>family</key><string>Courier</string><key>size</key><real>-3</real></dict></plist>";
    const std::vector<std::optional<Data>> unreadable = {
        std::nullopt,
        Data{},
        Data(notAList.begin(), notAList.end()),
        Data(damagedFont.begin(), damagedFont.end()),
        AppController::archive(Color{1, 1, 1, 1}),
    };
    auto old = Logger::setSink([](const std::string&) {});
    for (const auto& data : unreadable) EXPECT_EQ(AppController::unarchive(data, fontDefault), fontDefault);
    EXPECT_EQ(AppController::unarchive(AppController::archive(Font{}), colorDefault), colorDefault);
    Logger::setSink(old);
}

}  // namespace
}  // namespace kl
