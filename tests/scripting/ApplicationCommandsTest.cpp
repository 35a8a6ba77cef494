// Plain commands on the application, its dialogs and child processes, and
// the attributes of "klapp", run by the interpreter against an application
// whose dialogs answer what the test set.
#include <atomic>
#include <set>

#include "ScriptTestSupport.h"
#include "scripting/ScriptApplication.h"

namespace kl::test {
namespace {

// Records every request and answers each dialog with the value set.
class AnsweringApplication : public ScriptApplication {
public:
    float appVersionNumber() const override { return version; }
    int appBuildNumber() const override { return build; }
    std::size_t openDocumentCount() override { return documents; }
    bool messageVisible() override { return visible; }
    void setMessageVisible(bool on) override { visible = on; }
    bool hasFont(const std::string& family) const override { return family == "Serif"; }

    std::string doUserOptionCommand(const Dictionary& arguments, ISInterpreter* target) override {
        return answer("option", arguments, target, Value(optionAnswer)).toString();
    }
    std::string argsOpenFile(const Dictionary& arguments, ISInterpreter* target) override {
        return answer("open", arguments, target, openAnswer).toString();
    }
    std::string argsUserSaveFile(const Dictionary& arguments, ISInterpreter* target) override {
        return answer("save", arguments, target, Value(saveAnswer)).toString();
    }
    Array doUserInputCommand(const Dictionary& arguments, ISInterpreter* target) override {
        return *answer("input", arguments, target, Value(inputAnswer)).array();
    }
    Array userChoiceCommand(const Dictionary& arguments, ISInterpreter* target) override {
        return *answer("choice", arguments, target, Value(choiceAnswer)).array();
    }
    void createDocument() override { requests.push_back("createDocument"); }
    void urlOpenURL(const std::string& address) override { requests.push_back("open " + address); }
    bool openPath(const std::string& path) override {
        requests.push_back("show " + path);
        return openablePaths.contains(path);
    }
    void openDocumentFile(const std::string& path) override {
        requests.push_back("openFile " + path + " while " + std::to_string(openingError()));
        setOpeningError(path.ends_with(".ged") ? 0 : 1);
    }
    void buildScriptsMenu() override { requests.push_back("buildScriptsMenu"); }
    void scriptFractionDone(const std::optional<double>& fraction, const std::optional<std::string>& message) override {
        requests.push_back("progress " + (fraction ? std::to_string(*fraction) : std::string("-")) + " " +
                           message.value_or("-"));
    }

    Value answer(const std::string& dialog, const Dictionary& arguments, ISInterpreter* target, Value value) {
        asked.push_back({dialog, arguments});
        if (target) target->setReturnValue(value);
        return value;
    }

    float version = 3.1f;
    int build = 5;
    std::size_t documents = 1;
    bool visible = false;
    std::string optionAnswer = "OK";
    Value openAnswer{""};
    std::string saveAnswer;
    Array inputAnswer{Value("OK"), Value("typed")};
    Array choiceAnswer{Value("OK"), Value(Array{}), Value(Array{})};
    std::set<std::string> openablePaths;
    std::vector<std::pair<std::string, Dictionary>> asked;
    std::vector<std::string> requests;
};

class ApplicationCommands : public ::testing::Test {
protected:
    ScriptOutcome run(const std::string& script) { return harness.run(script); }
    const Dictionary& lastAsked() {
        static const Dictionary none;
        return app->asked.empty() ? none : app->asked.back().second;
    }

    std::shared_ptr<AnsweringApplication> app = std::make_shared<AnsweringApplication>();
    ScriptHarness harness{nullptr, app};
};

// ---- Version and document check ------------------------------------------------------------

TEST_F(ApplicationCommands, PrechecksCompareVersionAndBuild) {
    struct Case {
        float running;
        int build;
        const char* arguments;
        const char* refusal;  // nullptr: the run goes on
    };
    const Case cases[] = {
        {3.1f, 5, "", nullptr},
        {3.1f, 5, ", 3.1", nullptr},
        {3.1f, 5, ", 3.1, 5", nullptr},
        {3.1f, 5, ", 3.1, 6", "The script 'Tree' requires Kinlore II, version 3.1, build 6 or newer"},
        {3.2f, 1, ", 3.1, 9", nullptr},
        {3.1f, 5, ", 3.2", "The script 'Tree' requires Kinlore II, version 3.2, build 1 or newer"},
        // Below 3.05 the first build counts as build 2.
        {3.0f, 1, ", 3.0", "The script 'Tree' requires Kinlore II, version 3, build 2 or newer"},
        {3.0f, 2, ", 3.0", nullptr},
        {3.0f, 2, ", 2.5", nullptr},
        {3.0f, 1, ", 2.5", "The script 'Tree' requires Kinlore II, version 3, build 2 or newer"},
    };
    for (const Case& c : cases) {
        app->version = c.running;
        app->build = c.build;
        app->asked.clear();
        const ScriptOutcome outcome = run(std::string("prechecks Tree") + c.arguments + "\nwrite \"on\"");
        EXPECT_EQ(outcome.report, "") << c.arguments;
        if (!c.refusal) {
            EXPECT_EQ(outcome.output, "on") << c.arguments;
            EXPECT_TRUE(app->asked.empty()) << c.arguments;
            continue;
        }
        EXPECT_EQ(outcome.output, "") << c.arguments;
        ASSERT_EQ(app->asked.size(), 1u) << c.arguments;
        EXPECT_EQ(lastAsked().get("title")->toString(), c.refusal);
        EXPECT_EQ(lastAsked().get("message")->toString(), "Please upgrade and try again");
    }
}

TEST_F(ApplicationCommands, PrechecksWantAnOpenDocument) {
    app->documents = 0;
    const ScriptOutcome outcome = run("prechecks Tree\nwrite \"on\"");
    EXPECT_EQ(outcome.output, "");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(lastAsked().get("title")->toString(), "The script 'Tree' requires a document to be open");
    EXPECT_EQ(lastAsked().get("message")->toString(), "Please open a document and try again.");
}

TEST_F(ApplicationCommands, PrechecksRefuseAVersionThatIsNoNumber) {
    const ScriptOutcome outcome = run("prechecks Tree, new");
    EXPECT_TRUE(outcome.report.starts_with("CheckVersionAndDocument command requires a valid version number"))
        << outcome.report;
}

// ---- Dialogs -------------------------------------------------------------------------------------

TEST_F(ApplicationCommands, UserOptionOffersTheNonEmptyButtons) {
    app->optionAnswer = "No";
    const ScriptOutcome outcome = run("useroption \"#b\", \"Go on?\", \"\", Yes, \"\", No\nwrite #b");
    EXPECT_EQ(outcome.output, "No");
    EXPECT_EQ(lastAsked().get("title")->toString(), "Go on?");
    EXPECT_EQ(lastAsked().get("message")->toString(), "");
    EXPECT_EQ(*lastAsked().get("buttons"), Value(Array{Value("Yes"), Value("No")}));
}

TEST_F(ApplicationCommands, UserOptionWithoutButtonsLeavesThemToTheDialog) {
    run("useroption \"#b\"");
    EXPECT_EQ(lastAsked().get("buttons"), nullptr);
    EXPECT_EQ(lastAsked().get("title")->toString(), "");
}

TEST_F(ApplicationCommands, UserInputStoresButtonAndText) {
    const ScriptOutcome outcome = run("userinput \"#in\", Name, \"Your name\", Anna, OK, \"\"\nwrite #in[0], #in[1], #in[2]");
    EXPECT_EQ(outcome.output, "2,OK,typed");
    EXPECT_EQ(lastAsked().get("initialText")->toString(), "Anna");
    // Empty button titles are kept for text input.
    EXPECT_EQ(*lastAsked().get("buttons"), Value(Array{Value("OK"), Value("")}));
}

TEST_F(ApplicationCommands, UserChoiceStoresItemsThenPositions) {
    app->choiceAnswer = Array{Value("Pick"), Value(Array{Value("b"), Value("c")}), Value(Array{Value(2), Value(3)})};
    const ScriptOutcome outcome = run(
        "createlist l a b c\nuserchoice \"#c\", \"Which?\", l, Title, TRUE, Pick\n"
        "write #c[0], #c[1], #c[2], #c[3], #c[4], #c[5]");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "5,Pick,b,c,2,3");
    EXPECT_EQ(*lastAsked().get("listItems"), Value(Array{Value("a"), Value("b"), Value("c")}));
    EXPECT_EQ(*lastAsked().get("multiple"), Value(true));
}

TEST_F(ApplicationCommands, UserChoiceNeedsAList) {
    const ScriptOutcome outcome = run("userchoice \"#c\", \"Which?\", nosuch");
    EXPECT_TRUE(outcome.report.starts_with("Third parameter in UserChoice command must be a list object."))
        << outcome.report;
}

TEST_F(ApplicationCommands, UserOpenFileArguments) {
    app->openAnswer = Value("/tmp/a.ged");
    const ScriptOutcome outcome = run("createlist ext ged txt\nuseropenfile \"#f\", ext, \"\", \"/tmp\"\nwrite #f");
    EXPECT_EQ(outcome.output, "/tmp/a.ged");
    const Dictionary& asked = lastAsked();
    EXPECT_EQ(asked.get("ForFile")->toString(), "files");
    EXPECT_EQ(*asked.get("extensions"), Value(Array{Value("ged"), Value("txt")}));
    EXPECT_EQ(asked.get("prompt"), nullptr);
    EXPECT_EQ(asked.get("start")->toString(), "/tmp");
    EXPECT_EQ(asked.get("multiple"), nullptr);
}

TEST_F(ApplicationCommands, UserOpenFolderWithMultipleChoice) {
    struct Case {
        Array chosen;
        const char* output;
    };
    const Case cases[] = {{{Value("/a"), Value("/b")}, "2,/a,/b,/a"}, {{}, "0,[]"}};
    for (const Case& c : cases) {
        app->openAnswer = Value(c.chosen);
        const ScriptOutcome outcome =
            run("useropenfolder \"#f\", Pick, \"\", \"\", yes\nif #f[0]>0\nwrite #f[0], #f[1], #f[2], #f\n"
                "else\nwrite #f[0], \"[\"&#f&\"]\"\nendif");
        EXPECT_EQ(outcome.report, "");
        EXPECT_EQ(outcome.output, c.output);
        EXPECT_EQ(lastAsked().get("ForFile"), nullptr);
        EXPECT_EQ(lastAsked().get("multiple")->toString(), "true");
    }
}

TEST_F(ApplicationCommands, UserSaveFile) {
    app->saveAnswer = "/tmp/out.html";
    const ScriptOutcome outcome = run("usersavefile \"#s\", nosuch, Save, \"\", Report\nwrite #s");
    EXPECT_EQ(outcome.output, "/tmp/out.html");
    EXPECT_EQ(lastAsked().get("extensions"), nullptr);
    EXPECT_EQ(lastAsked().get("title")->toString(), "Report");
}

TEST_F(ApplicationCommands, DialogsNeedAVariable) {
    expectRefusals([this](const std::string& script) { return run(script); },
                   {
        {"useroption b", "First parameter to UserOption must evaluate to a variable name starting in '#'"},
        {"userinput b", "First parameter to UserInput must evaluate to a variable name starting in '#'."},
        {"userchoice b, p, l", "First parameter to UserChoice must evaluate to a variable name starting in '#'."},
        {"useropenfile b",
         "First parameter to UserOpenFile or UserOpenFolder must evaluate to a variable name starting in '#'."},
        {"usersavefile b", "First parameter to UserSaveFile must evaluate to a variable name starting in '#'"},
        {"subprocess b, l", "First parameter to SubProcess must evaluate to a variable name starting in '#'."},
                   });
    EXPECT_TRUE(app->asked.empty());
}

// ---- Desktop services -----------------------------------------------------------------------------

TEST_F(ApplicationCommands, DesktopRequests) {
    app->openablePaths = {"/data"};
    const ScriptOutcome outcome = run(
        "createdocument\nopenurl \"https://example.org\"\nrefreshscripts\nrefreshformats\n"
        "notifyprogress 0.5, Halfway\nnotifyprogress Halfway\nrevealinfinder \"/data/x.ged\"");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(app->requests, (std::vector<std::string>{"createDocument", "open https://example.org",
                                                        "buildScriptsMenu", "buildScriptsMenu",
                                                        "progress 0.500000 Halfway", "progress - -",
                                                        "show /data/x.ged", "show /data/x.ged", "show /data"}));
}

TEST_F(ApplicationCommands, DesktopRefusals) {
    expectRefusals([this](const std::string& script) { return run(script); },
                   {
        {"openurl \"\"", "The URL is missing from an OpenURL command"},
        {"openfile", "The file name is missing from an OpenFile command"},
        {"revealinfinder", "The file name is missing from an RevealInFinder command"},
        {"revealinfinder \"/nowhere/x\"", "The Finder cannot open the your selected file, folder, or its parent folder"},
        {"notifyprogress", "Command needs more than 0 arguments"},
                   });
}

TEST_F(ApplicationCommands, OpenFileIsFollowedThroughOpening) {
    // The main thread runs its requests in order: the opening has ended
    // once the request after it has been answered.
    const ScriptOutcome outcome =
        run("openfile \"/tmp/x.txt\"\nrefreshscripts\nwrite @klapp.opening\nopenfile \"/tmp/x.ged\"\n"
            "refreshscripts\nwrite \",\"&@klapp.opening");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "false,true");
    EXPECT_EQ(app->requests, (std::vector<std::string>{"openFile /tmp/x.txt while -1", "buildScriptsMenu",
                                                        "openFile /tmp/x.ged while -1", "buildScriptsMenu"}));
}

// ---- Child processes ------------------------------------------------------------------------------

TEST_F(ApplicationCommands, SubprocessCollectsOutput) {
    const struct {
        const char* script;
        const char* output;
    } cases[] = {
        {"createlist cmd echo \"two words\"\nsubprocess \"#o\", cmd\nwrite #o", "two words\n"},
        {"createlist cmd sh \"-c\" \"echo bad; exit 1\"\nsubprocess \"#o\", cmd\nwrite #o", "ERROR\nbad\n"},
        {"createlist cmd\nsubprocess \"#o\", cmd\nwrite #o", "ERROR\nSubProess: No arguments provided for the subprocess"},
        {"createlist cmd pwd\nsubprocess \"#o\", cmd, \"/tmp\"\nwrite #o", "/tmp\n"},
        {"createlist cmd printenv KL_ONLY\ncreatedictionary env\nenv.setstringforkey here, KL_ONLY\n"
         "subprocess \"#o\", cmd, \"\", env\nwrite #o",
         "here\n"},
    };
    for (const auto& c : cases) {
        const ScriptOutcome outcome = run(c.script);
        EXPECT_EQ(outcome.report, "") << c.script;
        EXPECT_EQ(outcome.output, c.output) << c.script;
    }
}

TEST_F(ApplicationCommands, SubprocessRefusals) {
    expectRefusals([this](const std::string& script) { return run(script); },
                   {
        {"subprocess \"#o\", nosuch", "Second parameter in Subprocess command must be a list object of arguments."},
        {"createlist cmd pwd\nsubprocess \"#o\", cmd, \"/tmp\", cmd",
         "Fourth parameter in Subprocess command must be a dictionary object of environment variables."},
                   });
}

// ---- "klapp" ----------------------------------------------------------------------------------------

TEST_F(ApplicationCommands, ApplicationAttributes) {
    app->version = 3.125f;
    const ScriptOutcome outcome = run(
        "write @klapp.version, @klapp.betaNumber, @klapp.buildNumber, @klapp.class, @klapp.name, "
        "@klapp.opening, @klapp.hasFontSerif, @klapp.hasFontNone, @klapp.messageVisible");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "3.1,5,5,application,Kinlore II,true,Yes,No,false");
}

TEST_F(ApplicationCommands, SettableAttributes) {
    const ScriptOutcome outcome = run(
        "@klapp.scriptMessage = \"from a link\"\n@klapp.volume = 0.25\n@klapp.messageVisible = \"TRUE\"\n"
        "write @klapp.scriptMessage, @klapp.volume, @klapp.messageVisible");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "from a link,0.25,true");
    EXPECT_TRUE(app->visible);
    EXPECT_EQ(app->scriptMessage(), "from a link");
}

TEST_F(ApplicationCommands, UnknownAttributeIsRefused) {
    EXPECT_NE(run("write @klapp.nosuch").report, "");
    EXPECT_TRUE(run("@klapp.version = 4").report.starts_with(
        "class AnsweringApplication cannot set the requested property or value not valid"));
}

TEST_F(ApplicationCommands, ScreenRectIsAListOfFourNumbers) {
    const ScriptOutcome outcome = run("klapp.get r, screenRect\nwrite @r.count, @r.0");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "4,0");
}

}  // namespace
}  // namespace kl::test
