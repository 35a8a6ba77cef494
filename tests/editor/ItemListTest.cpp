// Items and item lists: the naming rules of new and renamed items, their
// default contents, the kind of text that picks the colouring, protected
// items, and name order.
#include <gtest/gtest.h>

#include <vector>

#include "EditorTestSupport.h"
#include "editor/ItemList.h"

namespace kl {
namespace {

using test::EditorTest;

struct NamingCase {
    const char* what;
    std::int32_t listType;
    bool plugin;
    std::vector<const char*> typed;     // names typed one after the other
    std::vector<const char*> expected;  // the names the items get
};

class NewItemNames : public EditorTest, public ::testing::WithParamInterface<NamingCase> {};

TEST_P(NewItemNames, FollowTheListsRules) {
    const NamingCase& c = GetParam();
    ItemList list("list", c.listType);
    list.setIsPlugin(c.plugin);
    for (std::size_t i = 0; i < c.typed.size(); ++i) {
        std::string error;
        const auto item = list.createTemplate(std::nullopt, c.typed[i], &error);
        ASSERT_TRUE(item) << error;
        EXPECT_EQ(item->name(), c.expected[i]) << "typed '" << c.typed[i] << "'";
        EXPECT_EQ(item->type(), c.listType);
        EXPECT_EQ(item->isPlugin(), c.plugin);
    }
    EXPECT_EQ(list.count(), c.typed.size());
}

INSTANTIATE_TEST_SUITE_P(
    Lists, NewItemNames,
    ::testing::Values(
        NamingCase{"RecordTemplate", RecordEditingType, false, {"FAM Spouse", "FAM Spouse"},
                   {"FAM_Spouse Record Editing", "FAM_Spouse_1 Record Editing"}},
        NamingCase{"Subroutine", SubroutinesType, false, {"Show Dates", "Show Dates"}, {"Show_Dates", "Show_Dates_1"}},
        NamingCase{"TagTemplate", TagEditingType, false, {"NOTE", "NOTE"}, {"NOTE Editing", "NOTE_1 Editing"}},
        NamingCase{"ExtensionScript", SubroutinesType, true, {"report", "report.PY", "report.py", "my script"},
                   {"report.py", "report.PY", "report_1.py", "my script.py"}},
        NamingCase{"ExtensionTextFile", TagEditingType, true, {"notes", "notes.TEX", "notes.txt"},
                   {"notes.txt", "notes.TEX", "notes_1.txt"}},
        NamingCase{"Documentation", DocumentationType, false, {"Guide", "", "", "Style.CSS", "Style.CSS"},
                   {"Guide.html", "New.html", "New_1.html", "Style.CSS", "Style_1.css"}},
        NamingCase{"FormatPropertyList", PropertyListType, false, {"Old English", "Old English"},
                   {"Old_English", "Old_English_1"}},
        NamingCase{"EmptyName", SubroutinesType, false, {""}, {"New"}},
        NamingCase{"WorkspaceKeepsNames", WorkspaceScriptType, false, {"a b.py", "a b.py"}, {"a b.py", "a b.py"}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(EditorTest, NewItemsGetTheirListsDefaultContents) {
    ItemList subroutines("Subroutines", SubroutinesType);
    EXPECT_EQ(subroutines.createTemplate(std::nullopt, "Show Dates")->text(), "sub Show_Dates\n\nendSub");

    ItemList scripts("Scripts", SubroutinesType);
    scripts.setIsPlugin(true);
    for (const char* name : {"report", "tally.klscpt"}) {
        const std::string text = scripts.createTemplate(std::nullopt, name)->text();
        const std::string bare = std::string(name) == "report" ? "report" : "tally";
        EXPECT_NE(text.find(bare + ": a Kinlore II"), std::string::npos) << text;
        EXPECT_EQ(text.find("%@"), std::string::npos) << text;
    }
    EXPECT_EQ(scripts.createTemplate(std::nullopt, "other.PY")->text().substr(0, 2), "#!");

    ItemList documentation("Documentation", DocumentationType);
    EXPECT_EQ(documentation.createTemplate(std::nullopt, "Guide")->text().substr(0, 6), "<html>");
    // A given content wins over the default.
    EXPECT_EQ(documentation.createTemplate(Value("<p>"), "Given")->text(), "<p>");

    ItemList records("Record Editing", RecordEditingType);
    EXPECT_EQ(records.createTemplate(std::nullopt, "INDI")->text(), "");
}

TEST_F(EditorTest, MissingDefaultTextsGiveEmptyItems) {
    ResourceFolder::setFolder(scratch("no-resources"));
    ItemList documentation("Documentation", DocumentationType);
    EXPECT_EQ(documentation.createTemplate(std::nullopt, "Guide")->text(), "");
    ItemList scripts("Scripts", SubroutinesType);
    scripts.setIsPlugin(true);
    EXPECT_EQ(scripts.createTemplate(std::nullopt, "report")->text(), "");
}

// A name that would put a file outside the package on the next save.
TEST(ItemNames, NamesThatLeaveThePackageAreRefused) {
    const std::string refusal = "Names cannot contain '/' or be '.' or '..'";
    for (const char* typed : {"../../evil", "a/b", ".", ".."}) {
        ItemList list("Scripts", SubroutinesType);
        list.setIsPlugin(true);
        std::string error;
        EXPECT_EQ(list.createTemplate(std::nullopt, typed, &error), nullptr) << typed;
        EXPECT_EQ(error, refusal) << typed;
        EXPECT_EQ(list.count(), 0u);
    }
    ItemList list("Documentation", DocumentationType);
    std::string error;
    EXPECT_EQ(list.createTemplate(std::nullopt, std::string("a\0b", 3), &error), nullptr);
    EXPECT_EQ(error, refusal);
}

struct RenameCase {
    const char* what;
    std::int32_t type;
    bool plugin;
    const char* typed;
    const char* result;  // nullptr: refused with message
    const char* message;
};

class Renames : public ::testing::TestWithParam<RenameCase> {};

TEST_P(Renames, AreCheckedByTheItemsType) {
    const RenameCase& c = GetParam();
    Template item("old", Value(""), c.plugin);
    item.setType(c.type);
    std::string error;
    const auto name = item.validName(c.typed, &error);
    if (c.result) {
        ASSERT_TRUE(name) << error;
        EXPECT_EQ(*name, c.result);
    } else {
        EXPECT_FALSE(name) << *name;
        EXPECT_EQ(error, c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Items, Renames,
    ::testing::Values(
        RenameCase{"RecordSpacesFold", RecordEditingType, false, "INDI   Record   Editing", "INDI Record Editing", ""},
        RenameCase{"RecordTwoWords", RecordEditingType, false, "INDI Editing", nullptr,
                   "Record templates must be three words ending in 'Record Editing'"},
        RenameCase{"Blank", RecordEditingType, false, " \t", nullptr, "The name can not be blank"},
        RenameCase{"Tag", TagEditingType, false, "NOTE\tEditing", "NOTE Editing", ""},
        RenameCase{"TagWithoutEditing", TagEditingType, false, "NOTE", nullptr,
                   "Tag templates must be two words ending in 'Editing'"},
        RenameCase{"ExtensionTextExactCase", TagEditingType, true, "a.TXT", nullptr,
                   "Extension text files must end in '.txt' or '.tex'"},
        RenameCase{"ExtensionScriptExactCase", SubroutinesType, true, "run.PY", nullptr,
                   "Extension scripts must end in '.py' or '.klscpt'"},
        RenameCase{"ExtensionScript", SubroutinesType, true, "run.klscpt", "run.klscpt", ""},
        RenameCase{"SubroutineEditingWord", SubroutinesType, false, "Editing", nullptr,
                   "Subrountines must be one word that is not 'Editing'"},
        RenameCase{"SubroutineTwoWords", SubroutinesType, false, "Show Dates", nullptr,
                   "Subrountines must be one word that is not 'Editing'"},
        RenameCase{"DocumentationAnyCase", DocumentationType, false, "Guide.HTM", "Guide.HTM", ""},
        RenameCase{"DocumentationText", DocumentationType, false, "Guide.txt", nullptr,
                   "Documentation files must have extension 'html', 'htm', or 'css'"},
        RenameCase{"Image", ImageType, false, "Logo", "Logo", ""},
        RenameCase{"ImageTwoWords", ImageType, false, "My Logo", nullptr, "Image names must be a single word"},
        RenameCase{"Fonts", EditingFontsType, false, "Fonts", nullptr,
                   "The selected type of template can not change its name"},
        RenameCase{"PropertyListUpward", PropertyListType, false, "..", nullptr,
                   "Names cannot contain '/' or be '.' or '..'"},
        RenameCase{"RecordThroughFolders", RecordEditingType, false, "../x Record Editing", nullptr,
                   "Names cannot contain '/' or be '.' or '..'"},
        RenameCase{"ScriptIntoFolder", SubroutinesType, true, "sub/run.py", nullptr,
                   "Names cannot contain '/' or be '.' or '..'"}),
    [](const auto& info) { return std::string(info.param.what); });

struct KindCase {
    const char* what;
    std::int32_t type;
    bool plugin;
    const char* name;
    const char* text;
    const char* kind;
};

class TextKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(TextKinds, PickTheColouring) {
    const KindCase& c = GetParam();
    Template item(c.name, Value(c.text), c.plugin);
    item.setType(c.type);
    EXPECT_EQ(item.templateExtension(), c.kind);
}

INSTANTIATE_TEST_SUITE_P(
    Items, TextKinds,
    ::testing::Values(KindCase{"FormatTemplate", TagEditingType, false, "NOTE Editing", "", "txt"},
                      KindCase{"ExtensionTextFile", TagEditingType, true, "a.txt", "", ""},
                      KindCase{"PythonAnyCase", SubroutinesType, true, "run.PY", "", "py"},
                      KindCase{"InternalScript", WorkspaceScriptType, false, "x.klscpt", "", "klscpt"},
                      KindCase{"AppleScript", SubroutinesType, true, "helper",
                               "Tell Application \"Finder\"\n  beep\nEnd Tell", "applescript"},
                      KindCase{"TellWithoutEnd", SubroutinesType, true, "helper", "tell application", "txt"},
                      KindCase{"DocumentationAsWritten", DocumentationType, false, "Guide.HTML", "", "HTML"},
                      KindCase{"PropertyList", PropertyListType, false, "English", "", ""}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(ItemRules, ProtectedItemsRefuseDeletion) {
    struct Case {
        std::int32_t type;
        const char* name;
        bool canDelete;
    } cases[] = {{RecordEditingType, "_Unknown_ Record Editing", false},
                 {RecordEditingType, "INDI Record Editing", true},
                 {TagEditingType, "_Unknown_ Editing", false},
                 {DocumentationType, "helpType.css", false},
                 {DocumentationType, "Guide.html", true},
                 {EditingColorsType, "Editing Colors", false},
                 {EditingFontsType, "Editing Fonts", false},
                 {EditingPropertiesType, "Editing Properties", false},
                 {PropertyListType, "English", false},
                 {PropertyListType, "other files", false},
                 {PropertyListType, "main choices SD", false},
                 {PropertyListType, "German", true},
                 {ImageType, "Logo", true}};
    for (const Case& c : cases) {
        Template item(c.name, Value(), false);
        item.setType(c.type);
        EXPECT_EQ(item.canDelete(), c.canDelete) << c.name;
    }
}

TEST(ItemRules, TitlesPreviewsAndDescriptions) {
    Template script("run.klscpt", Value(""), false);
    script.setType(WorkspaceScriptType);
    script.setScriptPath("/tmp/run.klscpt");
    EXPECT_EQ(script.nameForTitle(), "run.klscpt (/tmp/run.klscpt)");
    EXPECT_EQ(script.description(), "Template: run.klscpt, Type: 4");
    Template page("Guide.HTM", Value(""), false);
    page.setType(DocumentationType);
    EXPECT_TRUE(page.canPreview());
    page.setName("style.css");
    EXPECT_FALSE(page.canPreview());
}

std::vector<std::string> namesOf(const ItemList& list) {
    std::vector<std::string> names;
    for (const auto& item : list.templates()) names.push_back(item->name());
    return names;
}

TEST(ItemLists, ARenamedItemMovesToItsPlace) {
    ItemList list("Subroutines", SubroutinesType);
    for (const char* name : {"c", "a", "e"}) list.addTemplate(Value(""), name);
    list.sortTemplates();
    EXPECT_EQ(namesOf(list), (std::vector<std::string>{"a", "c", "e"}));
    list.objectNamed("e")->setName("b");
    list.sortTemplate(list.objectNamed("b"));
    EXPECT_EQ(namesOf(list), (std::vector<std::string>{"a", "b", "c"}));
    list.objectNamed("a")->setName("d");
    list.sortTemplate(list.objectNamed("d"));
    EXPECT_EQ(namesOf(list), (std::vector<std::string>{"b", "c", "d"}));
    // Upper case sorts before lower case.
    list.objectNamed("d")->setName("Z");
    list.sortTemplate(list.objectNamed("Z"));
    EXPECT_EQ(namesOf(list), (std::vector<std::string>{"Z", "b", "c"}));
}

TEST(ItemLists, SearchPutsTheSameItemsIntoTheResults) {
    ItemList list("Subroutines", SubroutinesType);
    const auto upper = list.addTemplate(Value("Set FONT"), "a");
    const auto lower = list.addTemplate(Value("set font"), "b");
    list.addTemplate(Value(Dictionary{{"font", "x"}}), "c");
    ItemList results("Search Results", SearchResultsType);
    EXPECT_TRUE(list.searchFor("Font", false, results));
    EXPECT_EQ(results.templates(), (std::vector<ItemList::TemplatePtr>{upper, lower}));
    results.clear();
    EXPECT_TRUE(list.searchFor("font", true, results));
    EXPECT_EQ(results.templates(), (std::vector<ItemList::TemplatePtr>{lower}));
    EXPECT_FALSE(list.searchFor("absent", false, results));
}

TEST(ItemLists, LookupsAndWorkspaceState) {
    ItemList list("Scripts", WorkspaceScriptType);
    const auto a = list.addTemplate(Value("1"), "a.py");
    a->setScriptPath("/x/a.py");
    a->setSelectedRange({3, 2});
    const auto b = list.addTemplate(Value("2"), "b.py");
    b->setScriptSaved(false);
    EXPECT_EQ(list.templateAtPath("/x/a.py"), a);
    EXPECT_EQ(list.objectAtIndex(2), nullptr);
    EXPECT_EQ(list.templateNamed("b.py")->toString(), "2");
    EXPECT_EQ(list.nameAtIndex(0), "a.py");
    EXPECT_EQ(list.lastTemplate(), b);
    EXPECT_FALSE(list.allScriptsSaved());
    const Array state = list.scriptWorkSpace();
    ASSERT_EQ(state.size(), 2u);
    EXPECT_EQ(state[0], Value(Dictionary{{"scriptPath", "/x/a.py"}, {"location", 3}, {"length", 2}}));
    list.deleteTemplate(a);
    EXPECT_EQ(list.count(), 1u);
    EXPECT_EQ(ItemList::promptForType(SubroutinesType, true), "Enter script name (.py or .klscpt file)");
    EXPECT_EQ(ItemList::promptForType(42, false), "Unknown new template option");
}

}  // namespace
}  // namespace kl
