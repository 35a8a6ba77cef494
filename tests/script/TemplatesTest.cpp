// Loading interface formats and compiling their templates against the
// template command set, with small formats written by each test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "foundation/Exception.h"
#include "foundation/PropertyList.h"
#include "foundation/ResourceFolder.h"
#include "script/CustomExpression.h"
#include "script/TemplateCommandSet.h"
#include "script/Templates.h"

namespace kl {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

// Records what a format load asks of the library folder.
class RecordingLibrary : public TemplatesDelegate {
public:
    Texts calls;
    std::set<std::string> readableLanguages{"English.plist"};
    Texts alerts;
    bool failPrefs = false;
    void saveCurrentFormat() override { calls.push_back("save"); }
    void createEditingPreferences(const fs::path& list) override {
        if (failPrefs) raise(exception_names::FileReadError, "The format file is missing editing preferences.");
        calls.push_back("prefs " + list.filename().string());
    }
    bool createEditingStrings(const fs::path& list) override {
        calls.push_back("strings " + list.filename().string());
        return readableLanguages.contains(list.filename().string());
    }
    void createIndiFamEvents(const fs::path& list, const std::string& type) override {
        calls.push_back("events " + type + " " + list.filename().string());
    }
    void checkCurrentFormat() override { calls.push_back("check"); }
    void infoAlert(const std::string& message, const std::string& information) override {
        alerts.push_back(message + " | " + information);
    }
};

class FormatTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("kl-formats-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(format());
        fs::create_directories(root_ / "resources");
        fs::create_directories(root_ / "config");
        savedResources_ = ResourceFolder::folder();
        ResourceFolder::setFolder(root_ / "resources");
        defaults_ = std::make_unique<UserDefaults>("Kinlore II", root_ / "config");
        write("Editing.plist", "");
    }
    void TearDown() override {
        defaults_.reset();
        ResourceFolder::setFolder(savedResources_);
        fs::remove_all(root_);
    }
    fs::path format() const { return root_ / "Test.kfrmt"; }
    void write(const std::string& name, const std::string& text, const fs::path& folder = {}) const {
        std::ofstream(folder.empty() ? format() / name : folder / name) << text;
    }
    void writeList(const std::string& name, const Dictionary& list) const {
        ASSERT_TRUE(PropertyList::writeFile(Value(list), format() / name));
    }
    Templates& loaded() {
        templates_.readFormatAtPath(format().string());
        return templates_;
    }
    std::string loadError() {
        try {
            templates_.readFormatAtPath(format().string());
        } catch (const NamedException& e) {
            return e.name() + ": " + e.message();
        }
        return "loaded";
    }

    fs::path root_;
    fs::path savedResources_;
    std::unique_ptr<UserDefaults> defaults_;
    RecordingLibrary library_;
    Templates templates_{&library_, nullptr};

    void useDefaults() { templates_ = Templates(&library_, defaults_.get()); }
};

// The words of a compiled template: handler names and, for each command,
// its arguments' source texts.
Texts shape(const CompiledCommands& commands) {
    Texts out;
    for (const Command& command : commands) {
        std::string line = command[0].toString();
        for (std::size_t i = 2; i < command.size(); ++i) {
            if (auto e = command[i].objectAs<CustomExpression>())
                line += " {" + e->string() + "}";
            else
                line += " " + command[i].toString();
        }
        out.push_back(line);
    }
    return out;
}

// ---- The command table --------------------------------------------------

TEST(TemplateCommandSet, HoldsEveryCommandOnceWithItsHandlerName) {
    std::set<std::string> handlers;
    for (const auto& info : TemplateCommandSet::commands()) {
        handlers.insert(TemplateCommandSet::handlerName(info.word));
        EXPECT_EQ(TemplateCommandSet::handlerName(info.word), std::string("do") + info.word + ":");
    }
    EXPECT_EQ(handlers.size(), 108u);
    EXPECT_EQ(TemplateCommandSet::cellKinds().size(), 21u);
}

TEST(TemplateCommandSet, MatchesWordsInAnyCase) {
    struct Case {
        const char* word;
        bool known;
    } cases[] = {{"VMOVETO", true}, {"vmoveto", true}, {"VmoveTo", true}, {"cell", true},
                 {"Repeatwith", true}, {"load", false}, {"sub", false}, {"", false}, {"do", false}};
    for (const Case& c : cases) EXPECT_EQ(TemplateCommandSet::isCommand(c.word), c.known) << c.word;
    EXPECT_TRUE(TemplateCommandSet::isCellKind("EditValue"));
    EXPECT_FALSE(TemplateCommandSet::isCellKind("editvalues"));
    TemplateCommandSet::Group group;
    ASSERT_TRUE(TemplateCommandSet::groupOf("doPalfilloval:", group));
    EXPECT_EQ(group, TemplateCommandSet::Group::PaletteDrawing);
}

// ---- Compiling ----------------------------------------------------------

struct CompileCase {
    const char* name;
    const char* source;
    Texts shape;
};

class Compiling : public FormatTest, public ::testing::WithParamInterface<CompileCase> {};

TEST_P(Compiling, MakesHandlerCommands) {
    write("T Editing.txt", GetParam().source);
    write("Mod.txt", "sub modsub #a\nendsub\n");
    auto compiled = loaded().getTemplate("T", Templates::TagTemplate, std::nullopt, false, "");
    ASSERT_TRUE(compiled);
    EXPECT_EQ(shape(*compiled), GetParam().shape);
}

INSTANTIATE_TEST_SUITE_P(Rules, Compiling, ::testing::Values(
    CompileCase{"WordsInAnyCase", "CELL Label \"Born\"\nnewLine", {"doCell: {Label} {\"Born\"}", "doNewline:"}},
    CompileCase{"SetSplitsIntoPairs", "cell static\nset Font Helvetica FontSize 12",
                {"doCell: {static}", "doFont: {Helvetica}", "doFontsize: {12}"}},
    CompileCase{"SetWithOnePropertyAloneIsDropped", "set Font\nnewline", {"doNewline:"}},
    CompileCase{"SetTrailingPropertyIgnored", "set Width 10 Height", {"doWidth: {10}"}},
    CompileCase{"Assignment", "#a = 1+2", {" #a {=} {1+2}"}},
    CompileCase{"SubroutineWord", "sub mine #a\nnewline\nendsub\nmine 3",
                {"sub mine #a", "doNewline:", "endsub", "doGosub: {mine} {3}"}},
    CompileCase{"SubroutineWithParentheses", "sub mysub #a #b\nendsub\nmysub(1,2)",
                {"sub mysub #a #b", "endsub", "doGosub: {mysub} {1} {2}"}},
    CompileCase{"GosubWord", "sub s\nendsub\ngosub s", {"sub s", "endsub", "doGosub: {s}"}},
    CompileCase{"LoadedModule", "load Mod\nmodsub 1", {"sub modsub #a", "endsub", "doGosub: {modsub} {1}"}},
    CompileCase{"ConditionKeepsOperators", "if #a == 1 && #b\nelse if #c\nendif",
                {"doIf: {#a} == {1} && {#b}", "doIf: {#c}", "endif"}},
    CompileCase{"RepeatFamily", "repeat #i 1 3\nendrepeat\nrepeatwith #s from @NAME\nendrepeat",
                {"doRepeat: {#i} {1} {3}", "doEndrepeat:", "doRepeatwith: {#s} {from} {@NAME}", "doEndrepeat:"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ErrorCase {
    const char* name;
    const char* source;
    const char* message;
};

class CompileFailure : public FormatTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(CompileFailure, RaisesATemplateError) {
    write("T Editing.txt", GetParam().source);
    loaded();
    try {
        templates_.getTemplate("T", Templates::TagTemplate, std::nullopt, false, "");
        ADD_FAILURE() << "compiled";
    } catch (const NamedException& e) {
        EXPECT_EQ(e.name(), "KLCustomEditError");
        EXPECT_EQ(e.message(), GetParam().message);
    }
    EXPECT_FALSE(templates_.isCompiled("T Editing.txt"));
}

INSTANTIATE_TEST_SUITE_P(Messages, CompileFailure, ::testing::Values(
    ErrorCase{"UnknownSetProperty", "set Font X Colour red",
              "Unrecognized property option in set command (command 'set Font X Colour red' in template 'T Editing.txt')"},
    ErrorCase{"UnknownWord", "newline\nfrobnicate 1 2",
              "Unrecognized command (command 'frobnicate 1 2' in template 'T Editing.txt')"},
    ErrorCase{"ParserError", "endif", "endif without matching if command: (command 'endif' in template 'T Editing.txt')"},
    ErrorCase{"MissingModule", "load Nowhere\nnewline",
              "Could not load preamble data in template 'T Editing.txt': Load subroutines in 'Nowhere' not found"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormatTest, BadExpressionNamesItsCommand) {
    write("T Editing.txt", "width (1+");
    loaded();
    try {
        templates_.getTemplate("T", Templates::TagTemplate, std::nullopt, false, "");
        ADD_FAILURE() << "compiled";
    } catch (const NamedException& e) {
        EXPECT_NE(e.message().find("in template 'T Editing.txt')"), std::string::npos) << e.message();
    }
}

TEST_F(FormatTest, CompileAllReportsEachFailingTemplate) {
    write("Good Editing.txt", "newline");
    write("Bad Editing.txt", "frobnicate");
    write("Module.txt", "sub m\nendsub");
    auto failures = loaded().compileAllTemplates();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].first, "Bad Editing.txt");
    EXPECT_EQ(failures[0].second, "Unrecognized command (command 'frobnicate' in template 'Bad Editing.txt')");
    EXPECT_TRUE(templates_.isCompiled("Good Editing.txt"));
    EXPECT_TRUE(templates_.templateStack().empty());
}

// ---- Finding templates ----------------------------------------------------

TEST_F(FormatTest, FindsTemplatesWithTheirFallbacks) {
    write("INDI Record Editing.txt", "newline");
    write("_Unknown_ Record Editing.txt", "tab");
    write("NAME Editing.txt", "hskip 5");
    write("NAME_Extra Record Editing.txt", "hskip 9");
    Templates& t = loaded();

    auto pane = t.getTemplate("INDI", Templates::RecordTemplate, std::string("Events"), false, "");
    ASSERT_TRUE(pane);
    EXPECT_EQ(t.templateStack(), Texts{"INDI Record Editing.txt"});
    EXPECT_EQ(shape(*pane), Texts{"doNewline:"});
    EXPECT_EQ(t.getTemplate("INDI", 0, std::nullopt, false, ""), pane) << "compiled once, shared";

    t.startStack();
    EXPECT_TRUE(t.getTemplate("_Unknown_", 0, std::nullopt, false, ""));
    EXPECT_FALSE(t.getTemplate("FAM", 0, std::nullopt, false, ""));
    EXPECT_EQ(t.templateStack(), (Texts{"_Unknown_ Record Editing.txt", "FAM Record Editing.txt"}));
    auto tag = t.getTemplate("NAME", Templates::TagTemplate, std::string("Extra"), false, "");
    ASSERT_TRUE(tag);
    EXPECT_EQ(shape(*tag), Texts{"doHskip: {5}"}) << "a tag template is never looked up by pane";
    EXPECT_FALSE(t.getTemplate("NAME", 7, std::nullopt, false, ""));
}

TEST_F(FormatTest, KeepsTheTagStack) {
    write("A Editing.txt", "newline");
    Templates& t = loaded();
    t.getTemplate("A", 1, std::nullopt, true, "BIRT");
    t.getTemplate("A", 1, std::nullopt, true, "DATE");
    t.getTemplate("A", 1, std::nullopt, false, "IGNORED");
    EXPECT_EQ(t.currentTagPath(), "BIRT DATE");
    EXPECT_EQ(t.parentTag(), "BIRT");
    t.removeLastTemplate(false);
    t.removeLastTemplate(true);
    EXPECT_EQ(t.currentTagPath(), "BIRT");
    EXPECT_EQ(t.parentTag(), "");
    EXPECT_EQ(t.currentTemplate(), std::optional<std::string>("A Editing.txt"));
}

TEST_F(FormatTest, TemplateUsingItselfIsStoppedAtTheNestingCap) {
    write("Loop Editing.txt", "use Loop");
    Templates& t = loaded();
    try {
        // What the pane builder's Use does for a template that uses itself.
        for (std::size_t i = 0; i <= Templates::maxTemplateNesting; ++i)
            ASSERT_TRUE(t.getTemplate("Loop", 1, std::nullopt, false, ""));
        ADD_FAILURE() << "no cap";
    } catch (const NamedException& e) {
        EXPECT_EQ(e.name(), "KLCustomEditError");
        EXPECT_EQ(e.message(),
                  "Templates nested too deeply (a template that uses itself?) (command 'Loop Editing.txt' in "
                  "template 'Loop Editing.txt')");
    }
    EXPECT_EQ(t.templateStack().size(), Templates::maxTemplateNesting);
}

TEST_F(FormatTest, EditedTemplateIsCompiledAgainOnlyAfterALoad) {
    write("A Editing.txt", "newline");
    Templates& t = loaded();
    auto first = t.getTemplate("A", 1, std::nullopt, false, "");
    write("A Editing.txt", "tab");
    EXPECT_EQ(shape(*t.getTemplate("A", 1, std::nullopt, false, "")), Texts{"doNewline:"});
    loaded();
    EXPECT_EQ(shape(*t.getTemplate("A", 1, std::nullopt, false, "")), Texts{"doTab:"});
}

// ---- Loading formats ------------------------------------------------------

TEST_F(FormatTest, LoadFailures) {
    fs::remove(format() / "Editing.plist");
    EXPECT_EQ(loadError(), "KLFileReadError: The format file is missing or empty.");
    write("A Editing.txt", "newline");
    EXPECT_EQ(loadError(), "KLFileReadError: The format file is missing required Editing properties element.");
    fs::remove_all(format());
    EXPECT_EQ(loadError(), "KLFileReadError: The format file is missing or empty.");
}

TEST_F(FormatTest, FailedLoadLeavesThePreviousFormatWhole) {
    write("A Editing.txt", "newline");
    Templates& t = loaded();
    ASSERT_TRUE(t.getTemplate("A", 1, std::nullopt, false, ""));
    struct Case {
        const char* name;
        std::function<void()> breakIt;
        const char* error;
    } cases[] = {
        {"unreadable settings", [&] { library_.failPrefs = true; },
         "KLFileReadError: The format file is missing editing preferences."},
        {"template not UTF-8", [&] { library_.failPrefs = false; write("C Editing.txt", "caf\xe9"); },
         "KLFileReadError: Error reading template 'C Editing.txt': the text is not UTF-8"},
    };
    write("B Editing.txt", "tab");
    for (const Case& c : cases) {
        c.breakIt();
        EXPECT_EQ(loadError(), c.error) << c.name;
        EXPECT_EQ(t.templatesByName().keys(), Texts{"A Editing.txt"}) << c.name;
        EXPECT_TRUE(t.isCompiled("A Editing.txt")) << c.name;
    }
}

TEST_F(FormatTest, LoadAsksTheLibraryInOrderAndStoresThePath) {
    useDefaults();
    write("A Editing.txt", "newline");
    writeList("English.plist", {});
    writeList("Deutsch.plist", {});
    writeList("INDIEvents.plist", {});
    write("button.png", "x");
    write("_RPT Record Editing.txt", "format copy");
    write("_RPT Record Editing.txt", "newline", root_ / "resources");
    defaults_->setObject(Value("Deutsch"), "Preferred format language");
    Templates& t = loaded();
    EXPECT_EQ(library_.calls, (Texts{"save", "prefs Editing.plist", "strings Deutsch.plist", "strings English.plist",
                                     "events INDI INDIEvents.plist", "events FAM FAMEvents.plist", "check"}));
    EXPECT_EQ(t.language(), "English") << "the library could not read Deutsch";
    EXPECT_EQ(t.languages(), (Texts{"Deutsch", "English"}));
    EXPECT_EQ(t.templatesByName().keys(), (Texts{"A Editing.txt", "_RPT Record Editing.txt"}));
    EXPECT_EQ(t.templatesByName().get("_RPT Record Editing.txt")->toString(), "newline");
    EXPECT_EQ(t.templateFolder(), format().string() + "/");
    EXPECT_EQ(t.templateFilePath("button.png"), format() / "button.png");
    EXPECT_EQ(defaults_->stringForKey("Path to current editing format"), format().string());
    EXPECT_TRUE(library_.alerts.empty()) << "no formatVersion.plist reads as version 0";
}

TEST_F(FormatTest, LanguageFallsBackToEnglish) {
    useDefaults();
    library_.readableLanguages.insert("Deutsch.plist");
    defaults_->setObject(Value("Deutsch"), "Preferred format language");
    EXPECT_EQ(loaded().language(), "Deutsch");
    templates_.changeLanguage("Klingon");
    EXPECT_EQ(templates_.language(), "English");
    templates_.changeLanguage("Deutsch");
    EXPECT_EQ(templates_.language(), "Deutsch");
}

TEST_F(FormatTest, NewerFormatVersionLoadsWithAWord) {
    struct Case {
        Value version;
        bool alert;
    } cases[] = {{Value(Templates::applicationFormatVersion + 1), true},
                 {Value(Templates::applicationFormatVersion), false},
                 {Value("99.5"), true},
                 {Value(1), false}};
    for (const Case& c : cases) {
        library_.alerts.clear();
        writeList("formatVersion.plist", {{"KLFormatVersionID", c.version}});
        loaded();
        ASSERT_EQ(library_.alerts.size(), c.alert ? 1u : 0u) << c.version.toString();
        if (c.alert) {
            EXPECT_EQ(library_.alerts[0],
                      "The interface format 'Test' was created by a newer version of Kinlore II meaning some "
                      "features may not work. | Updating to the latest version of Kinlore II will solve this "
                      "problem.");
        }
    }
}

TEST_F(FormatTest, InstallFormatReplacesTheWholePackage) {
    write("A Editing.txt", "newline");
    const fs::path target = root_ / "System" / "Copy.kfrmt";
    fs::create_directories(target);
    write("stale.txt", "old", target);
    Templates::installFormat(format(), target, fs::perms(0755));
    EXPECT_TRUE(fs::exists(target / "A Editing.txt"));
    EXPECT_FALSE(fs::exists(target / "stale.txt"));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms(0755));
    try {
        Templates::installFormat(root_ / "missing.kfrmt", target);
        ADD_FAILURE();
    } catch (const NamedException& e) {
        EXPECT_EQ(e.message(), "Could not install format in Application Support folder.");
    }
}

}  // namespace
}  // namespace kl
