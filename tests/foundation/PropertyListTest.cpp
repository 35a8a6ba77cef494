#include <gtest/gtest.h>
#include <plist/plist.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>

#include "foundation/GermanLocale.h"
#include "foundation/Numbers.h"
#include "foundation/PropertyList.h"
#include "foundation/ValuePrinter.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

struct Marker : Object {};

Data allBytes() {
    Data d;
    for (int i = 0; i < 256; ++i) d.push_back(std::uint8_t(i));
    return d;
}

Dictionary nestedDictionary() {
    Array inner{Value(1), Value("two"), Value(Array{Value(3.5), Value(Array{})})};
    Dictionary leaf{{"zeta", Value(true)}, {"alpha", Value(Data{1, 2, 3})}};
    return Dictionary{{"zeta", Value(1)},
                      {"Alpha", Value(inner)},
                      {"mid", Value(leaf)},
                      {"", Value("empty key")},
                      {"date", Value(Date{86400})}};
}

struct RoundTripCase {
    const char* name;
    Value value;
};

class PropertyListRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(PropertyListRoundTrip, XmlWrittenReadsBackEqual) {
    const Value& value = GetParam().value;
    std::string error;
    auto xml = PropertyList::writeXML(value, &error);
    ASSERT_TRUE(xml) << error;
    auto back = PropertyList::read(*xml, &error);
    ASSERT_TRUE(back) << error << "\n" << *xml;
    EXPECT_EQ(*back, value) << *xml;
}

const RoundTripCase roundTripCases[] = {
    {"true", Value(true)},
    {"false", Value(false)},
    {"zero", Value(0)},
    {"negative", Value(-5)},
    {"int64max", Value(std::numeric_limits<long long>::max())},
    {"int64min", Value(std::numeric_limits<long long>::min())},
    {"real", Value(45.5)},
    {"tenth", Value(0.1)},
    {"tiny", Value(-1.234567890123e-300)},
    {"huge", Value(1e300)},
    {"emptyString", Value("")},
    {"markup", Value("a<b & c>d \"q\" 'a'")},
    {"unicode", Value("Bräutigam \xE2\x82\xAC \xF0\x9D\x84\x9E")},
    {"emptyData", Value(Data{})},
    {"allBytes", Value(allBytes())},
    {"epoch", Value(Date{0})},
    {"before2001", Value(Date{-1e9})},
    {"after2001", Value(Date{7e8})},
    {"emptyArray", Value(Array{})},
    {"emptyDictionary", Value(Dictionary{})},
    {"mixedArray", Value(Array{Value(1), Value("x"), Value(false), Value(Date{60})})},
    {"nested", Value(nestedDictionary())},
    {"arrayOfDictionaries", Value(Array{Value(nestedDictionary()), Value(Dictionary{{"b", 1}, {"a", 2}})})},
};

INSTANTIATE_TEST_SUITE_P(AllTypes, PropertyListRoundTrip, ::testing::ValuesIn(roundTripCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PropertyListRead, DictionaryKeepsKeyOrderOfTheFile) {
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
        "<key>b</key><integer>1</integer><key>a</key><integer>2</integer>"
        "<key>c</key><string>3</string></dict></plist>";
    auto v = PropertyList::read(xml);
    ASSERT_TRUE(v && v->dictionary());
    EXPECT_EQ(v->dictionary()->keys(), (std::vector<std::string>{"b", "a", "c"}));
}

TEST(PropertyListWrite, DictionaryIsWrittenInInsertionOrder) {
    auto xml = PropertyList::writeXML(Value(Dictionary{{"zeta", 1}, {"alpha", 2}, {"mid", 3}}));
    ASSERT_TRUE(xml);
    const auto z = xml->find("<key>zeta</key>"), a = xml->find("<key>alpha</key>"), m = xml->find("<key>mid</key>");
    ASSERT_NE(z, std::string::npos);
    EXPECT_LT(z, a);
    EXPECT_LT(a, m);
}

TEST(PropertyListWrite, DatesAndDataUseTheirOwnElements) {
    auto xml = PropertyList::writeXML(Value(Array{Value(Date{0}), Value(Data{'h', 'i'})}));
    ASSERT_TRUE(xml);
    EXPECT_NE(xml->find("<date>2001-01-01T00:00:00Z</date>"), std::string::npos) << *xml;
    const auto data = xml->find("<data>");
    ASSERT_NE(data, std::string::npos) << *xml;
    EXPECT_LT(xml->find("aGk=", data), xml->find("</data>", data)) << *xml;
}

// ---- binary lists, made by the format library itself ----

struct PlistDeleter {
    void operator()(void* p) const { plist_free(static_cast<plist_t>(p)); }
};
using Plist = std::unique_ptr<void, PlistDeleter>;

std::string toBinary(plist_t root) {
    char* bin = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(root, &bin, &length);
    std::string out(bin, length);
    plist_to_bin_free(bin);
    return out;
}

std::string sampleBinary() {
    Plist root(plist_new_dict());
    plist_dict_set_item(root.get(), "zeta", plist_new_string("last letter"));
    plist_dict_set_item(root.get(), "alpha", plist_new_uint(static_cast<std::uint64_t>(-42)));
    plist_t list = plist_new_array();
    plist_array_append_item(list, plist_new_real(45.5));
    plist_array_append_item(list, plist_new_bool(1));
    plist_array_append_item(list, plist_new_data("\0\1\2", 3));
    plist_array_append_item(list, plist_new_date(3600, 0));
    plist_t inner = plist_new_dict();
    plist_dict_set_item(inner, "k", plist_new_string("Gr\xC3\xBC\xC3\x9F" "e"));
    plist_array_append_item(list, inner);
    plist_dict_set_item(root.get(), "list", list);
    return toBinary(root.get());
}

TEST(PropertyListRead, BinaryListReadsEveryType) {
    const std::string bin = sampleBinary();
    ASSERT_EQ(bin.substr(0, 6), "bplist");
    std::string error;
    auto v = PropertyList::read(bin, &error);
    ASSERT_TRUE(v) << error;
    const Value expected(Dictionary{
        {"zeta", "last letter"},
        {"alpha", -42},
        {"list", Array{Value(45.5), Value(true), Value(Data{0, 1, 2}), Value(Date{3600}),
                       Value(Dictionary{{"k", "Gr\xC3\xBC\xC3\x9F" "e"}})}}});
    EXPECT_EQ(*v, expected);
}

// ---- damaged input answers an error, never a crash ----

struct BadInputCase {
    const char* name;
    std::string bytes;
};

std::string deeplyNested(int depth) {
    std::string s = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    for (int i = 0; i < depth; ++i) s += "<array>";
    for (int i = 0; i < depth; ++i) s += "</array>";
    return s + "</plist>";
}

class PropertyListBadInput : public ::testing::TestWithParam<BadInputCase> {};

TEST_P(PropertyListBadInput, AnswersAnError) {
    std::string error;
    auto v = PropertyList::read(GetParam().bytes, &error);
    EXPECT_FALSE(v);
    EXPECT_FALSE(error.empty());
}

const BadInputCase badInputCases[] = {
    {"empty", ""},
    {"text", "this is not a property list"},
    {"unclosedXml", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key>"},
    {"unknownElement", "<?xml version=\"1.0\"?><plist version=\"1.0\"><thing/></plist>"},
    {"binaryMagicOnly", "bplist00"},
    {"binaryJunk", std::string("bplist00\xff\xff\xff\xff\x00\x01garbage-garbage-garbage-garbage", 42)},
    {"tooDeep", deeplyNested(PropertyList::maxDepth + 10)},
};

INSTANTIATE_TEST_SUITE_P(Garbage, PropertyListBadInput, ::testing::ValuesIn(badInputCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PropertyListRead, EveryTruncationOfABinaryListIsSurvived) {
    const std::string bin = sampleBinary();
    for (std::size_t n = 0; n < bin.size(); ++n) {
        auto v = PropertyList::read(std::string_view(bin).substr(0, n));
        EXPECT_FALSE(v) << "prefix of " << n << " bytes";
    }
}

TEST(PropertyListRead, EveryCorruptedByteOfABinaryListIsSurvived) {
    const std::string bin = sampleBinary();
    for (std::size_t i = 0; i < bin.size(); ++i) {
        for (unsigned char flip : {0x01, 0x80, 0xff}) {
            std::string damaged = bin;
            damaged[i] = char(damaged[i] ^ flip);
            (void)PropertyList::read(damaged);  // any answer but a crash
        }
    }
}

TEST(PropertyListRead, EveryTruncationOfAnXmlListIsSurvived) {
    auto xml = PropertyList::writeXML(Value(nestedDictionary()));
    ASSERT_TRUE(xml);
    for (std::size_t n = 0; n < xml->size(); ++n) (void)PropertyList::read(std::string_view(*xml).substr(0, n));
}

// ---- values a property list cannot hold ----

struct UnwritableCase {
    const char* name;
    Value value;
    const char* messagePart;
};

class PropertyListUnwritable : public ::testing::TestWithParam<UnwritableCase> {};

TEST_P(PropertyListUnwritable, AnswersAnErrorNamingThePlace) {
    std::string error;
    EXPECT_FALSE(PropertyList::writeXML(GetParam().value, &error));
    EXPECT_NE(error.find(GetParam().messagePart), std::string::npos) << error;
}

const UnwritableCase unwritableCases[] = {
    {"objectAtTop", Value(std::make_shared<Marker>()), "object"},
    {"objectInDictionary",
     Value(Dictionary{{"ok", 1}, {"albums", Array{Value(1), Value(std::make_shared<Marker>())}}}), "albums/1"},
    {"nullInArray", Value(Array{Value(1), Value()}), "null"},
    {"dateTooLate", Value(Date{1e10}), "date"},
    {"dateNotANumber", Value(Date{std::numeric_limits<double>::quiet_NaN()}), "date"},
};

INSTANTIATE_TEST_SUITE_P(Values, PropertyListUnwritable, ::testing::ValuesIn(unwritableCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- files ----

class PropertyListFiles : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("kl-plist-" + std::to_string(::getpid()) + "-" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    fs::path folder_;
};

TEST_F(PropertyListFiles, WrittenFileReadsBackAndLeavesNoTemporaryFile) {
    for (bool atomically : {true, false}) {
        const fs::path path = folder_ / "settings.plist";
        std::string error;
        ASSERT_TRUE(PropertyList::writeFile(Value(nestedDictionary()), path, &error, atomically)) << error;
        auto back = PropertyList::readDictionaryFile(path, &error);
        ASSERT_TRUE(back) << error;
        EXPECT_EQ(*back, nestedDictionary());
        EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
    }
}

TEST_F(PropertyListFiles, FailedWriteKeepsTheOldFile) {
    const fs::path path = folder_ / "attributes.plist";
    ASSERT_TRUE(PropertyList::writeFile(Value(Dictionary{{"a", 1}}), path));
    std::string error;
    EXPECT_FALSE(PropertyList::writeFile(Value(Dictionary{{"a", std::make_shared<Marker>()}}), path, &error));
    auto back = PropertyList::readDictionaryFile(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, (Dictionary{{"a", 1}}));
}

TEST_F(PropertyListFiles, UnreadableFilesAnswerErrors) {
    std::ofstream(folder_ / "garbage.plist") << "not a list";
    ASSERT_TRUE(PropertyList::writeFile(Value(Array{Value(1)}), folder_ / "array.plist"));
    const struct {
        const char* name;
        fs::path path;
    } cases[] = {
        {"missing", folder_ / "missing.plist"},
        {"folder", folder_},
        {"garbage", folder_ / "garbage.plist"},
        {"notADictionary", folder_ / "array.plist"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(PropertyList::readDictionaryFile(c.path, &error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
    }
}

TEST_F(PropertyListFiles, WritingIntoAMissingFolderFails) {
    std::string error;
    EXPECT_FALSE(PropertyList::writeFile(Value(1), folder_ / "no" / "such.plist", &error));
    EXPECT_FALSE(error.empty());
}

// ---- number text under a decimal-comma locale ----

TEST(NumberTextUnderGermanLocale, StaysWithThePoint) {
    locale_t german = test::GermanLocale::get();
    if (!german) GTEST_SKIP() << "no German locale on this machine";
    test::ThreadLocaleScope scope(german);
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 45.5);
    if (std::string(probe) != "45,5") GTEST_SKIP() << "locale has no decimal comma";

    EXPECT_EQ(formatNumber(45.5), "45.5");
    EXPECT_EQ(parseDouble("45.5"), 45.5);
    auto xml = PropertyList::writeXML(Value(45.5));
    ASSERT_TRUE(xml);
    EXPECT_NE(xml->find("<real>45.5</real>"), std::string::npos) << *xml;
    auto back = PropertyList::read(
        std::string("<?xml version=\"1.0\"?><plist version=\"1.0\"><real>45.5</real></plist>"));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, Value(45.5));
}

}  // namespace
}  // namespace kl
