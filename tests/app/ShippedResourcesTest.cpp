// The property lists and format files that ship in resources/: each parses
// and has the shape its reader expects, the default format's settings need
// no repair when read, and every text and variable its templates use is
// defined by the format.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/EditingPrefs.h"
#include "foundation/PropertyList.h"
#include "support/CaseName.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

fs::path resources() { return fs::path(KL_SOURCE_DIR) / "resources"; }
fs::path support() { return resources() / "KinloreIIAppSupport"; }
fs::path defaultFormat() { return support() / "Formats" / "Default Format.kfrmt"; }

Dictionary readDictionary(const fs::path& path) {
    std::string error;
    auto dictionary = PropertyList::readDictionaryFile(path, &error);
    EXPECT_TRUE(dictionary) << path << ": " << error;
    return dictionary ? *dictionary : Dictionary{};
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every template of the default format and the two application templates.
std::vector<fs::path> templateFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(defaultFormat()))
        if (entry.path().extension() == ".txt") files.push_back(entry.path());
    files.push_back(resources() / "_RPT Record Editing.txt");
    files.push_back(resources() / "_BODY Editing.txt");
    return files;
}

bool allStrings(const Array& items) {
    for (const Value& item : items)
        if (!item.isString()) return false;
    return !items.empty();
}

// ---- Application resource lists -------------------------------------------

// Index and PanelIndex hold, per record type, the column dictionaries of
// a column style.
class ColumnStyleList : public ::testing::TestWithParam<const char*> {};

TEST_P(ColumnStyleList, EveryTypeHasLabelledColumns) {
    const Dictionary list = readDictionary(resources() / (std::string(GetParam()) + ".plist"));
    EXPECT_GE(list.size(), 5u) << "fewer entries make the panel styles count as damaged";
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Array* columns = list.valueAt(i).array();
        ASSERT_TRUE(columns && !columns->empty()) << list.keyAt(i);
        for (const Value& column : *columns) {
            const Dictionary* d = column.dictionary();
            ASSERT_TRUE(d) << list.keyAt(i);
            for (const char* key : {"Label", "Expression", "Justification", "Width"})
                EXPECT_TRUE(d->get(key) && d->get(key)->isString()) << list.keyAt(i) << " " << key;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Resources, ColumnStyleList, ::testing::Values("Index", "PanelIndex"), ::kl::test::CaseName());

TEST(ShippedResources, IndexHoldsTheChartOutlineStyles) {
    const Dictionary index = readDictionary(resources() / "Index.plist");
    for (const char* type : {"INDI", "FAM", "Ancest", "Descend"}) EXPECT_TRUE(index.contains(type)) << type;
}

TEST(ShippedResources, HelperApplicationsAreNameOptionAndAskAgain) {
    const Dictionary helpers = readDictionary(resources() / "HelperApps.plist");
    ASSERT_FALSE(helpers.empty());
    for (std::size_t i = 0; i < helpers.size(); ++i) {
        const Array* entry = helpers.valueAt(i).array();
        ASSERT_TRUE(entry && entry->size() == 3) << helpers.keyAt(i);
        EXPECT_TRUE((*entry)[0].isString());
        EXPECT_TRUE((*entry)[1].isInteger());
        EXPECT_GE((*entry)[1].toInteger(), 0);
        EXPECT_LE((*entry)[1].toInteger(), 2);
        EXPECT_TRUE((*entry)[2].isBool());
    }
}

TEST(ShippedResources, LibraryDataHasTheTagListsAndMenuCommands) {
    const Dictionary data = readDictionary(resources() / "KLLibraryData.plist");
    for (const char* list : {"INDIEvents", "INDIAttributes", "INDIOrdinances", "FAMEvents", "FAMOrdinances"}) {
        const Value* tags = data.get(list);
        ASSERT_TRUE(tags && tags->array()) << list;
        EXPECT_TRUE(allStrings(*tags->array())) << list;
    }
    const Value* menus = data.get("MenuCommands");
    ASSERT_TRUE(menus && menus->dictionary());
    for (const Value& tag : menus->dictionary()->values()) EXPECT_TRUE(tag.isInteger());
}

TEST(ShippedResources, CountryCodesNameEachTwoLetterCode) {
    const Dictionary codes = readDictionary(resources() / "CountryCodes.plist");
    EXPECT_GT(codes.size(), 200u);
    const std::regex twoLetters("[A-Z]{2}");
    for (std::size_t i = 0; i < codes.size(); ++i) {
        EXPECT_TRUE(std::regex_match(codes.keyAt(i), twoLetters)) << codes.keyAt(i);
        EXPECT_TRUE(codes.valueAt(i).isString() && !codes.valueAt(i).string()->empty()) << codes.keyAt(i);
    }
}

TEST(ShippedResources, SystemVersionIsAnIntegerFirstInAnArray) {
    const Dictionary version = readDictionary(support() / "version.plist");
    const Value* id = version.get("System Version ID");
    ASSERT_TRUE(id && id->array() && !id->array()->empty());
    EXPECT_TRUE(id->array()->front().isInteger());
}

// ---- The default format ---------------------------------------------------

TEST(DefaultFormat, EditingSettingsNeedNoRepairWhenRead) {
    EditingPrefs prefs;
    std::string error;
    ASSERT_TRUE(prefs.readFormat(defaultFormat(), &error)) << error;
    // Every font and colour comes with its dark variant and every required
    // font is there, so reading made nothing up.
    EXPECT_FALSE(prefs.changed());
    for (const std::string& font : EditingPrefs::requiredFonts()) {
        EXPECT_TRUE(prefs.fontNamed(font)) << font;
        prefs.setInDarkMode(true);
        EXPECT_TRUE(prefs.fontColorNamed(font)) << font;
        prefs.setInDarkMode(false);
    }
    for (const char* color : {"Window Background", "Editing Background"})
        EXPECT_TRUE(prefs.colorNamedAsIs(std::string(color) + " Dark")) << color;
    EXPECT_EQ(prefs.numberOfFonts(), 2 * prefs.numberOfFontLines());
    // The archives themselves read back, not their fallbacks.
    const auto title = prefs.fontNamed("Title Text");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->family, "Helvetica");
    EXPECT_EQ(title->size, 16);
    EXPECT_NE(prefs.colorNamedAsIs("Editing Background Dark"), prefs.colorNamedAsIs("Editing Background"));
}

TEST(DefaultFormat, VersionIsANumber) {
    const Dictionary version = readDictionary(defaultFormat() / "formatVersion.plist");
    const Value* id = version.get("KLFormatVersionID");
    ASSERT_TRUE(id && id->isNumber());
    EXPECT_GT(id->toReal(), 0);
}

// The event lists map a tag (or an EVEN.../FACT... key) to its name key,
// and every tag of the GEDCOM vocabulary lists is offered.
TEST(DefaultFormat, EventListsOfferEveryGEDCOMEvent) {
    const Dictionary data = readDictionary(resources() / "KLLibraryData.plist");
    const Dictionary english = readDictionary(defaultFormat() / "English.plist");
    struct Case {
        const char* file;
        std::vector<const char*> lists;
    };
    for (const Case& c : {Case{"INDIEvents.plist", {"INDIEvents", "INDIAttributes", "INDIOrdinances"}},
                          Case{"FAMEvents.plist", {"FAMEvents", "FAMOrdinances"}}}) {
        const Dictionary events = readDictionary(defaultFormat() / c.file);
        for (std::size_t i = 0; i < events.size(); ++i) {
            const Array* entry = events.valueAt(i).array();
            ASSERT_TRUE(entry && !entry->empty() && entry->front().isString()) << events.keyAt(i);
            EXPECT_TRUE(english.contains(*entry->front().string())) << *entry->front().string();
        }
        for (const char* list : c.lists)
            for (const Value& tag : *data.get(list)->array())
                EXPECT_TRUE(events.contains(*tag.string())) << c.file << " lacks " << *tag.string();
    }
}

TEST(DefaultFormat, EveryTranslatedTextHasAnEnglishString) {
    const Dictionary english = readDictionary(defaultFormat() / "English.plist");
    // local("...") and the label subroutines of the shared module translate
    // their first argument.
    const std::regex translated(
        R"re(local\("([^"]*)"\)|gosub\s+(?:FieldLabel|ValueRow|Section|RecordTitle|RecordLink)\("([^"]*)")re");
    std::size_t seen = 0;
    for (const fs::path& file : templateFiles()) {
        const std::string text = readText(file);
        for (auto m = std::sregex_iterator(text.begin(), text.end(), translated); m != std::sregex_iterator(); ++m) {
            const std::string key = (*m)[1].matched ? (*m)[1].str() : (*m)[2].str();
            EXPECT_TRUE(english.contains(key)) << file.filename() << ": \"" << key << "\"";
            ++seen;
        }
    }
    EXPECT_GT(seen, 50u);
    // Structures without a template of their own are labelled by tag.
    const Dictionary data = readDictionary(resources() / "KLLibraryData.plist");
    for (const char* list : {"INDIEvents", "INDIAttributes", "INDIOrdinances", "FAMEvents", "FAMOrdinances"})
        for (const Value& tag : *data.get(list)->array()) EXPECT_TRUE(english.contains(*tag.string())) << *tag.string();
}

// A "#" variable that a template reads must be a format setting, a
// subroutine parameter or one of the argument variables that Show and Use
// fill; a misspelt setting would stop the pane build.
TEST(DefaultFormat, TemplatesReadOnlyDefinedVariables) {
    EditingPrefs prefs;
    ASSERT_TRUE(prefs.readFormat(defaultFormat()));
    const Variables settings = prefs.initializeVariables();
    std::set<std::string> defined;
    const std::regex subLine(R"(^\s*sub\s+\S+(.*)$)", std::regex::multiline);
    const std::regex name(R"(#[A-Za-z_][A-Za-z0-9_]*)");
    std::vector<std::string> texts;
    for (const fs::path& file : templateFiles()) texts.push_back(readText(file));
    for (const std::string& text : texts)
        for (auto m = std::sregex_iterator(text.begin(), text.end(), subLine); m != std::sregex_iterator(); ++m) {
            const std::string params = (*m)[1].str();
            for (auto p = std::sregex_iterator(params.begin(), params.end(), name); p != std::sregex_iterator(); ++p)
                defined.insert(p->str());
        }
    const std::regex used(R"(#[A-Za-z_][A-Za-z0-9_]*\$?)");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::istringstream lines(texts[i]);
        for (std::string line; std::getline(lines, line);) {
            const std::string code = line.substr(0, line.find('!'));
            for (auto m = std::sregex_iterator(code.begin(), code.end(), used); m != std::sregex_iterator(); ++m) {
                const std::string v = m->str();
                if (v.back() == '$' || defined.count(v) || settings.count(v)) continue;
                if (v.rfind("#msg", 0) == 0 || v.rfind("#use", 0) == 0) continue;
                ADD_FAILURE() << templateFiles()[i].filename() << " reads undefined " << v << " in: " << line;
            }
        }
    }
}

}  // namespace
}  // namespace kl
