#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "foundation/PropertyList.h"
#include "foundation/UserDefaults.h"
#include "foundation/ValuePrinter.h"
#include "support/CaseName.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

struct Marker : Object {};

// Each test gets its own XDG_CONFIG_HOME, so nothing reaches the user's files.
class UserDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = fs::temp_directory_path() / ("kl-defaults-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(home_);
        fs::create_directories(home_);
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) saved_ = old;
        ::setenv("XDG_CONFIG_HOME", home_.c_str(), 1);
    }
    void TearDown() override {
        if (saved_)
            ::setenv("XDG_CONFIG_HOME", saved_->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        fs::remove_all(home_);
    }
    fs::path folder() const { return home_ / "Kinlore II"; }
    fs::path file(const std::string& domain = "Kinlore II") const { return folder() / (domain + ".plist"); }

    static Dictionary registered() {
        return Dictionary{{"Show Startup Screen", true},
                          {"Font Size", 12},
                          {"Zoom", 1.25},
                          {"Date Format", "DD MMM YYYY"},
                          {"Recent", Array{Value("a.gedpkg"), Value("b.gedpkg")}},
                          {"Colours", Dictionary{{"fg", "black"}}},
                          {"Bookmark", Data{1, 2, 3}}};
    }

    fs::path home_;
    std::optional<std::string> saved_;
};

TEST_F(UserDefaultsTest, FileLivesUnderXdgConfigHome) {
    UserDefaults defaults("Tempolin");
    EXPECT_EQ(defaults.filePath(), file("Tempolin"));
}

TEST_F(UserDefaultsTest, RegisteredDefaultsReadBackThroughEveryGetter) {
    UserDefaults defaults;
    defaults.registerDefaults(registered());
    EXPECT_TRUE(defaults.boolForKey("Show Startup Screen"));
    EXPECT_EQ(defaults.integerForKey("Font Size"), 12);
    EXPECT_DOUBLE_EQ(defaults.doubleForKey("Zoom"), 1.25);
    EXPECT_EQ(defaults.stringForKey("Date Format"), "DD MMM YYYY");
    EXPECT_EQ(defaults.arrayForKey("Recent"), (Array{Value("a.gedpkg"), Value("b.gedpkg")}));
    EXPECT_EQ(defaults.dictionaryForKey("Colours"), (Dictionary{{"fg", "black"}}));
    EXPECT_EQ(defaults.dataForKey("Bookmark"), (Data{1, 2, 3}));
    EXPECT_EQ(defaults.objectForKey("Font Size"), Value(12));
}

TEST_F(UserDefaultsTest, AbsentKeysAnswerNothing) {
    UserDefaults defaults;
    EXPECT_TRUE(defaults.objectForKey("nope").isNull());
    EXPECT_FALSE(defaults.stringForKey("nope"));
    EXPECT_EQ(defaults.integerForKey("nope"), 0);
    EXPECT_EQ(defaults.doubleForKey("nope"), 0.0);
    EXPECT_FALSE(defaults.boolForKey("nope"));
    EXPECT_FALSE(defaults.arrayForKey("nope"));
    EXPECT_FALSE(defaults.dictionaryForKey("nope"));
    EXPECT_FALSE(defaults.dataForKey("nope"));
}

TEST_F(UserDefaultsTest, ReadingWritesNothing) {
    {
        UserDefaults defaults;
        defaults.registerDefaults(registered());
        const Dictionary all = registered();
        for (const auto& key : all.keys()) (void)defaults.objectForKey(key);
        EXPECT_TRUE(defaults.synchronize());
        defaults.removeObjectForKey("Font Size");  // nothing stored: no change
        EXPECT_FALSE(defaults.hasUnsavedChanges());
    }
    EXPECT_FALSE(fs::exists(folder()));
}

TEST_F(UserDefaultsTest, SynchronizedValuesReachANewInstance) {
    const Dictionary values{{"Show Startup Screen", false},
                            {"Font Size", 14},
                            {"Zoom", 0.5},
                            {"Date Format", "YYYY-MM-DD"},
                            {"Recent", Array{Value("c.gedpkg")}},
                            {"Colours", Dictionary{{"fg", "red"}, {"bg", "white"}}},
                            {"Bookmark", Data{9}},
                            {"Checked", Date{1000}}};
    {
        UserDefaults defaults;
        for (std::size_t i = 0; i < values.size(); ++i) ASSERT_TRUE(defaults.setObject(values.valueAt(i), values.keyAt(i)));
        EXPECT_TRUE(defaults.hasUnsavedChanges());
        EXPECT_TRUE(defaults.synchronize());
        EXPECT_FALSE(defaults.hasUnsavedChanges());
    }
    ASSERT_TRUE(fs::exists(file()));
    UserDefaults again;
    again.registerDefaults(registered());
    EXPECT_EQ(again.dictionaryRepresentation().size(), registered().size() + 1);
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(again.objectForKey(values.keyAt(i)), values.valueAt(i)) << values.keyAt(i);
    EXPECT_EQ(again.stringForKey("Date Format"), "YYYY-MM-DD");
    EXPECT_FALSE(again.boolForKey("Show Startup Screen"));
}

TEST_F(UserDefaultsTest, UnsavedChangesAreWrittenOnDestruction) {
    { UserDefaults("Kinlore Editor").setObject(7, "Tab Width"); }
    UserDefaults again("Kinlore Editor");
    EXPECT_EQ(again.integerForKey("Tab Width"), 7);
    EXPECT_FALSE(fs::exists(file()));  // other domains untouched
}

TEST_F(UserDefaultsTest, RemovedValueFallsBackToTheRegisteredOne) {
    UserDefaults defaults;
    defaults.registerDefaults(registered());
    defaults.setObject(20, "Font Size");
    EXPECT_EQ(defaults.integerForKey("Font Size"), 20);
    defaults.removeObjectForKey("Font Size");
    EXPECT_EQ(defaults.integerForKey("Font Size"), 12);
    defaults.setObject(30, "Font Size");
    defaults.setObject(Value(), "Font Size");
    EXPECT_EQ(defaults.integerForKey("Font Size"), 12);
}

struct WrongTypeCase {
    const char* key;
    Value stored;
};

class UserDefaultsWrongType : public UserDefaultsTest, public ::testing::WithParamInterface<WrongTypeCase> {};

// A value edited by hand or left by an older version must not leak a
// wrong type into the program: the typed getters answer the default.
TEST_P(UserDefaultsWrongType, TypedGetterAnswersTheRegisteredDefault) {
    {
        UserDefaults writer;
        writer.setObject(GetParam().stored, GetParam().key);
    }
    UserDefaults defaults;
    defaults.registerDefaults(registered());
    const std::string key = GetParam().key;
    EXPECT_EQ(defaults.objectForKey(key), GetParam().stored);  // the raw value stays visible
    const Value expected = *registered().get(key);
    switch (expected.type()) {
    case Value::Type::Bool: EXPECT_EQ(defaults.boolForKey(key), expected.toBool()); break;
    case Value::Type::Integer: EXPECT_EQ(defaults.integerForKey(key), expected.toInteger()); break;
    case Value::Type::Real: EXPECT_EQ(defaults.doubleForKey(key), expected.toReal()); break;
    case Value::Type::String: EXPECT_EQ(defaults.stringForKey(key), *expected.string()); break;
    case Value::Type::Array: EXPECT_EQ(defaults.arrayForKey(key), *expected.array()); break;
    case Value::Type::Dictionary: EXPECT_EQ(defaults.dictionaryForKey(key), *expected.dictionary()); break;
    case Value::Type::Data: EXPECT_EQ(defaults.dataForKey(key), *expected.data()); break;
    default: FAIL() << "no getter for this type";
    }
}

const WrongTypeCase wrongTypeCases[] = {
    {"Show Startup Screen", Value("maybe")},
    {"Show Startup Screen", Value(Array{})},
    {"Font Size", Value("twelve")},
    {"Font Size", Value("12abc")},
    {"Font Size", Value(Data{1})},
    {"Zoom", Value(Dictionary{{"a", 1}})},
    {"Date Format", Value(Array{Value("x")})},
    {"Date Format", Value(Date{5})},
    {"Recent", Value("a.gedpkg")},
    {"Colours", Value(Array{Value("black")})},
    {"Bookmark", Value("AQID")},
};

INSTANTIATE_TEST_SUITE_P(Stored, UserDefaultsWrongType, ::testing::ValuesIn(wrongTypeCases), ::kl::test::CaseName());

TEST_F(UserDefaultsTest, NumbersAndFlagsStoredAsTextStillRead) {
    UserDefaults defaults;
    defaults.registerDefaults(registered());
    const struct {
        Value stored;
        bool flag;
        std::int64_t integer;
    } cases[] = {{Value("YES"), true, 0}, {Value("no"), false, 0}, {Value(" 42 "), true, 42}, {Value(1), true, 1}};
    for (const auto& c : cases) {
        defaults.setObject(c.stored, "Show Startup Screen");
        defaults.setObject(c.stored, "Font Size");
        EXPECT_EQ(defaults.boolForKey("Show Startup Screen"), c.flag);
        if (c.integer) {
            EXPECT_EQ(defaults.integerForKey("Font Size"), c.integer);
        }
    }
}

TEST_F(UserDefaultsTest, ValuesAListCannotHoldAreRefused) {
    UserDefaults defaults;
    EXPECT_FALSE(defaults.setObject(Value(std::make_shared<Marker>()), "Window"));
    EXPECT_FALSE(defaults.setObject(Value(Array{Value(1), Value()}), "Window"));
    EXPECT_TRUE(defaults.objectForKey("Window").isNull());
    EXPECT_FALSE(defaults.hasUnsavedChanges());
}

TEST_F(UserDefaultsTest, DamagedFileGivesTheRegisteredDefaults) {
    fs::create_directories(folder());
    std::ofstream(file()) << "<plist><dict><key>Font Size";
    UserDefaults defaults;
    defaults.registerDefaults(registered());
    EXPECT_EQ(defaults.integerForKey("Font Size"), 12);
}

TEST_F(UserDefaultsTest, StandardCanBePointedAtAFolder) {
    const fs::path elsewhere = home_ / "elsewhere";
    UserDefaults::configureStandard("Tempolin", elsewhere);
    UserDefaults& standard = UserDefaults::standard();
    EXPECT_EQ(standard.filePath(), elsewhere / "Tempolin.plist");
    standard.registerDefaults(registered());
    standard.setObject(3, "Registers");
    EXPECT_TRUE(standard.synchronize());
    EXPECT_TRUE(fs::exists(elsewhere / "Tempolin.plist"));

    // Repointing drops what was registered and read for the old domain.
    UserDefaults::configureStandard("Kinlore II");
    EXPECT_EQ(standard.filePath(), file());
    EXPECT_TRUE(standard.objectForKey("Registers").isNull());
    EXPECT_TRUE(standard.objectForKey("Font Size").isNull());
    UserDefaults::configureStandard("Tempolin", elsewhere);
    EXPECT_EQ(standard.integerForKey("Registers"), 3);
    UserDefaults::configureStandard("Kinlore II", home_ / "unused");
}

TEST_F(UserDefaultsTest, WorkersReadWhileTheMainThreadWrites) {
    UserDefaults defaults;
    defaults.registerDefaults(registered());
    std::atomic<bool> stop{false};
    std::atomic<long> badReads{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t)
        readers.emplace_back([&] {
            while (!stop) {
                const auto size = defaults.integerForKey("Font Size");
                if (size < 12) ++badReads;
                (void)defaults.arrayForKey("Recent");
            }
        });
    for (int i = 0; i < 2000; ++i) {
        defaults.setObject(12 + i, "Font Size");
        defaults.setObject(Array{Value(i)}, "Recent");
    }
    stop = true;
    for (auto& t : readers) t.join();
    EXPECT_EQ(badReads, 0);
    EXPECT_EQ(defaults.integerForKey("Font Size"), 12 + 1999);
    defaults.removeObjectForKey("Font Size");
    defaults.removeObjectForKey("Recent");
}

}  // namespace
}  // namespace kl
