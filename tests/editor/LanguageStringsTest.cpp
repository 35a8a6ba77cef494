// Language keys found in templates, synchronising, and the translators'
// table going out and coming back.
#include <gtest/gtest.h>

#include "editor/ItemList.h"
#include "editor/LanguageStrings.h"

namespace kl {
namespace {

Dictionary strings(std::initializer_list<std::pair<const char*, const char*>> entries) {
    Dictionary d;
    for (const auto& [key, text] : entries) d.set(key, Value(text));
    return d;
}

std::vector<std::string> keysOf(const Dictionary& d) { return d.keys(); }

TEST(LanguageStrings, CallsGiveKeysOrAreIgnored) {
    struct Case {
        const char* text;
        std::vector<std::string> keys;
        std::vector<std::string> ignored;
    };
    const Case cases[] = {
        {"x = local(\"Birth\")", {"Birth"}, {}},
        {"local(#name)", {}, {"#name"}},
        {"local(@field)", {}, {"@field"}},
        {"local(#a&\" b\")", {"#a&\" b\""}, {}},
        {"local(Death) and local(Death)", {"Death"}, {}},
        {"local(\"Closing ) inside\")", {"Closing ) inside"}, {}},
        {"local(\"unclosed", {}, {}},
        {"Local(Birth)", {}, {}},
    };
    for (const Case& c : cases) {
        KeyCollection keys, ignored;
        findStrings("local(", c.text, keys, ignored);
        EXPECT_EQ(keys.keys(), c.keys) << c.text;
        EXPECT_EQ(ignored.keys(), c.ignored) << c.text;
    }
}

TEST(LanguageStrings, ColourAndFontNamesEndingInDarkAreNoKeys) {
    ItemList properties("Properties", PropertyListType);
    properties.addTemplate(Value(strings({{"Label", ""}, {"Label Dark", ""}})), "Editing Fonts", EditingFontsType);
    Dictionary events;
    events.set("BIRT", Array{Value("Birth"), Value("x")});
    properties.addTemplate(Value(events), "INDIEvents", PropertyListType);
    const CollectedKeys collected = collectFormatKeys(nullptr, nullptr, nullptr, &properties);
    EXPECT_EQ(collected.keys.keys(), (std::vector<std::string>{"Label", "Birth"}));
}

TEST(LanguageStrings, SynchronisingACompleteFormatReportsNothing) {
    CollectedKeys collected;
    collected.keys.add("Birth");
    const auto result =
        synchronizeLanguages({{"English", strings({{"Birth", "Birth"}, {"<LANG>", "English"}})}}, collected, {"<LANG>"});
    EXPECT_TRUE(result.report.empty());
    EXPECT_FALSE(result.changed.at(0));
}

TEST(LanguageStrings, AMissingLanguageNameIsAddedWithoutMissingKeys) {
    CollectedKeys collected;
    collected.keys.add("Birth");
    const auto result = synchronizeLanguages({{"French", strings({{"Birth", "Naissance"}})}}, collected, {});
    ASSERT_TRUE(result.changed.at(0));
    EXPECT_EQ(result.changed[0]->get("<LANG>")->toString(), "French");
}

TEST(LanguageStrings, TheReportHasItsThreeSectionsInOrder) {
    CollectedKeys collected;
    collected.keys.add("Birth");
    collected.ignored.add("#name");
    const auto result = synchronizeLanguages(
        {{"English", strings({{"<LANG>", "English"}, {"Old", "Old"}, {"NAME", "Name"}})}}, collected, {"NAME"});
    const std::string line(83, '-');
    const std::string expected =
        line + "\nThe following language keys were ignored when synchronizing the strings\n" + line + "\n\n#name" +
        "\n\n" + line + "\nThe following existing keys were not found in any template and are not GEDCOM tags\n" +
        line + "\n\n***** English Language *****\nOld" + "\n\n" + line +
        "\nThe following keys were added to languages\n" + line + "\nAdded 'Birth' to 'English'";
    EXPECT_EQ(result.report, expected);
    EXPECT_EQ(keysOf(*result.changed.at(0)), (std::vector<std::string>{"<LANG>", "Old", "NAME", "Birth"}));
}

TEST(LanguageStrings, ExportPadsRowsOnlyUpToTheirLastText) {
    const std::string table = exportLanguageTable(
        {{"English", strings({{"Both", "Both"}, {"First", "One"}})}, {"French", strings({{"Both", "Deux"}, {"Second", "Deuxieme"}})}});
    EXPECT_EQ(table, "Key\tEnglish\tFrench\nBoth\tBoth\tDeux\nFirst\tOne\nSecond\t\tDeuxieme\n");
}

TEST(LanguageStrings, TablesThatCannotHoldStringsAreRefused) {
    struct Case {
        const char* bytes;
        const char* refusal;
    };
    const Case cases[] = {
        {"Key\tFrench", "The selected file does not have any content."},
        {"Key\nBirth\n", "The selected file does not have enough columns for strings."},
        {"Word\tFrench\nBirth\tNaissance\n", "The file may not have strings because the first column is not labeled 'Key'."},
    };
    for (const Case& c : cases) {
        const auto read = readLanguageTable(c.bytes);
        ASSERT_TRUE(std::holds_alternative<std::string>(read)) << c.bytes;
        EXPECT_EQ(std::get<std::string>(read), c.refusal);
    }
}

TEST(LanguageStrings, ImportStylesReplaceMergeOrAdd) {
    const auto read = readLanguageTable("KEY\tContext\t French \nBirth\tevent\tNaissance\nDeath\t\t\nMarriage\tx\tMariage\r\n");
    ASSERT_TRUE(std::holds_alternative<LanguageTable>(read));
    const LanguageTable& table = std::get<LanguageTable>(read);
    ASSERT_EQ(table.languageColumns.size(), 1u);
    EXPECT_EQ(table.languageColumns[0].second, "French");
    EXPECT_EQ(describeLanguageTable(table), "The selected file has 3 strings to import for the following languages: <French>");
    const Dictionary french = strings({{"Birth", "Naiss."}, {"Old", "Vieux"}});

    const auto added = importLanguageColumn(french, table, 2, ImportStyle::Add);
    ASSERT_TRUE(added);
    EXPECT_EQ(added->get("Birth")->toString(), "Naiss.");
    EXPECT_EQ(added->get("Marriage")->toString(), "Mariage");

    const auto replaced = importLanguageColumn(french, table, 2, ImportStyle::Replace);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(*replaced, strings({{"Birth", "Naissance"}, {"Marriage", "Mariage"}}));

    const auto merged = importLanguageColumn(*replaced, table, 2, ImportStyle::Merge);
    EXPECT_EQ(merged, *replaced);  // stored again, same texts
}

TEST(LanguageStrings, ImportedBytesThatAreNotUTF8ReadAsMacRoman) {
    // 0x8E is e-acute in Mac OS Roman (and no character in Latin-1).
    const auto read = readLanguageTable("Key\tFrench\nBirth\tN\x8E" "e\n");
    ASSERT_TRUE(std::holds_alternative<LanguageTable>(read));
    EXPECT_EQ(std::get<LanguageTable>(read).lines[1][1], "N\xC3\xA9" "e");
}

}  // namespace
}  // namespace kl
