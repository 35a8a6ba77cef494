// Object commands that reach a document's windows: a script closes the
// front child window or a window it holds, prints the front window,
// replaces its selected text, fills an album from it, asks the user to
// pick a record, and makes text safe for HTML with the document's links.
#include "ScriptTestSupport.h"
#include "DocumentScriptSupport.h"

#include <algorithm>
#include <map>
#include <set>

#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "index/DocumentScripting.h"
#include "index/IndexTestSupport.h"
#include "model/GEDCOMRecord.h"
#include "scripting/DocumentsApplication.h"

namespace kl::test {
namespace {

// The desktop side: titles of the test's windows, and what was printed or
// typed into which window.
class DesktopDouble : public DocumentsApplication {
public:
    using DocumentsApplication::DocumentsApplication;
    std::string windowTitle(const void* window) override {
        auto found = titles.find(window);
        return found == titles.end() ? std::string() : found->second;
    }
    bool setSelectedText(const void* window, const std::string& text) override {
        if (!window || !editable.contains(window)) return false;
        typed.emplace_back(window, text);
        return true;
    }
    std::optional<std::string> printWindow(const void* window, bool showDialog,
                                           const std::optional<Dictionary>& settings) override {
        printed.push_back({window, showDialog, settings.value_or(Dictionary())});
        return std::nullopt;
    }
    struct Print {
        const void* window;
        bool showDialog;
        Dictionary settings;
    };
    std::map<const void*, std::string> titles;
    std::set<const void*> editable;
    std::vector<std::pair<const void*, std::string>> typed;
    std::vector<Print> printed;
};

// A record window that leaves its document's windows when it closes.
struct ClosingBrowser : BrowserDouble {
    ClosingBrowser(std::shared_ptr<GEDCOMRecord> record, DocumentWindows& owner)
        : BrowserDouble(std::move(record), ""), windows(owner) {}
    void browserClose() override {
        ++closes;
        windows.removeWindowController(this);
    }
    DocumentWindows& windows;
    int closes = 0;
};

// Three people in a document whose index window has a picker, with record
// windows stacked as the test says; scripts get the document as "doc".
struct WindowedView : AskingView {
    const void* platformWindow() const override { return this; }
};

struct WindowScript {
    WindowedView asking;  // outlives the index window that shows through it
    IndexFixture window;
    DocumentWindows windows{*window.scratch.defaults, stackedPlatform()};
    std::vector<const void*> stack;  // front to back
    std::shared_ptr<DesktopDouble> desktop =
        std::make_shared<DesktopDouble>([this] { return std::vector<GEDCOMDocument*>{&window.doc}; });
    ScriptHarness harness{nullptr, desktop};

    WindowScript() {
        window.read(people({"Ann /Apple/", "Bea /Birch/", "Cid /Cedar/"}));
        window.index = std::make_unique<IndexController>(window.doc, window.styles, &asking);
        window.index->windowDidLoad();
        window.index->selectRecordType("INDI");
        windows.makeWindowControllers(
            std::shared_ptr<DocumentWindowController>(window.index.get(), [](DocumentWindowController*) {}));
        window.index->setWindows(&windows);
        desktop->titles[window.index->window()] = "Untitled";
    }
    ~WindowScript() { window.index->setWindows(nullptr); }
    DocumentWindows::Platform stackedPlatform() {
        DocumentWindows::Platform platform = browserDoublePlatform();
        platform.windowsFrontToBack = [this] { return stack; };
        return platform;
    }
    // A record window in front of the others.
    std::shared_ptr<ClosingBrowser> openInFront(const std::string& id, const std::string& title) {
        auto browser = std::make_shared<ClosingBrowser>(window.record(id), windows);
        windows.addWindowController(browser);
        stack.insert(stack.begin(), browser->window());
        desktop->titles[browser->window()] = title;
        return browser;
    }
    ScriptOutcome run(const std::string& script) { return harness.run(script, documentObjects(*window.index)); }
    std::vector<std::string> albumIDs(const std::string& name) { return albumRecordIDs(window.lists(), name); }
};

class WindowCommandRefusals : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(WindowCommandRefusals, ReportWhatIsWrong) {
    WindowScript f;
    expectOutcome(f.run(GetParam().script), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowCommandRefusals,
    ::testing::Values(
        ScriptCase{"CloseChildOnAList", "createlist l\nl.closechild", "", "closeChild command only allowed for documents"},
        ScriptCase{"CloseChildIntoNoVariable", "doc.closechild title", "",
                   "First parameter to closeChild (if provided) must evaluate to a variable name starting in '#'."},
        ScriptCase{"PrintOnAList", "createlist l\nl.print", "", "The print command can only be used with documents"},
        ScriptCase{"PrintWithMissingSettings", "doc.print false, nosuch", "", "The print settings object is invalid."},
        ScriptCase{"PrintWithAListOfSettings", "createlist l\ndoc.print false, l", "",
                   "The print settings object mus ba a dictionary."},
        ScriptCase{"PopulateADocument", "doc.populate", "", "The populate command can only be used with albums"},
        ScriptCase{"UserSelectOnAList", "createlist l\nl.userselect INDI", "",
                   "UserSelect command only allowed for documents"},
        ScriptCase{"UserSelectOfAnUnknownType", "doc.userselect _XYZ", "",
                   "The command must specify valid 'by type' or 'from list' argument"},
        ScriptCase{"UserSelectFromNothing", "doc.userselect \"\", nosuch", "",
                   "Second parameter for UserSelect from list not a valid object."},
        ScriptCase{"UserSelectFromADictionary", "createdictionary d\ndoc.userselect \"\", d", "",
                   "Second parameter for UserSelect is not a list object."},
        ScriptCase{"UserSelectFromAnEmptyList", "createlist l\ndoc.userselect \"\", l", "",
                   "The provided list does not have any records"},
        ScriptCase{"UserSelectFromMissingIDs", "createlist l nobody none\ndoc.userselect \"\", l", "",
                   "The provided list does not have any records or the records are missing or corrupted"},
        ScriptCase{"SafeHtmlOnAList", "createlist l\nl.safehtml \"#h\", x", "", "SafeHtml command must target a document."},
        ScriptCase{"SafeHtmlLinksInAList", "createlist l\ndoc.safehtml \"#h\", x, \"\", l", "",
                   "Reformat links parameter in SafeHTML is not a dictionary object."},
        ScriptCase{"SelectedTextWithNothingFocused", "doc.set selectedText \"new\"", "",
                   "class DocumentScripting cannot set the requested property or value not valid"}),
    caseName);

TEST(WindowCommands, CloseChildClosesTheFrontRecordWindowButNeverTheIndexWindow) {
    WindowScript f;
    auto back = f.openInFront("@I1@", "Apple, Ann");
    auto front = f.openInFront("@I2@", "Birch, Bea");
    ScriptOutcome outcome = f.run("doc.closechild \"#t\"\nwrite #t");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "Birch, Bea");
    EXPECT_EQ(front->closes, 1);
    EXPECT_EQ(back->closes, 0);

    // With the index window in front nothing closes and the title is empty.
    f.stack = {f.window.index->window(), back->window()};
    outcome = f.run("doc.closechild \"#t\"\nwrite \"[\"&#t&\"]\"\ndoc.closechild");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "[]");
    EXPECT_EQ(back->closes, 0);
}

TEST(WindowCommands, CloseOnAHeldWindowClosesItOnceEvenWhenAskedAgain) {
    WindowScript f;
    auto browser = f.openInFront("@I3@", "Cedar, Cid");
    const ScriptOutcome outcome = f.run("getobject ws klapp.windows\nwrite @ws.count\nws.0.close\nws.0.close");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "2") << "the record window and the index window";
    EXPECT_EQ(browser->closes, 1) << "a closed window is not touched again";
}

TEST(WindowCommands, PrintHandsTheFrontWindowTheDialogChoiceAndSettings) {
    WindowScript f;
    const ScriptOutcome first = f.run("doc.print");
    auto browser = f.openInFront("@I1@", "Apple, Ann");
    const ScriptOutcome second =
        f.run("createdictionary s\ns.setstringforkey 2, NSFirstPage\ndoc.print FALSE, s\ndoc.print no");
    EXPECT_EQ(first.report, "");
    EXPECT_EQ(second.report, "");
    ASSERT_EQ(f.desktop->printed.size(), 3u);
    EXPECT_EQ(f.desktop->printed[0].window, f.window.index->window());
    EXPECT_TRUE(f.desktop->printed[0].showDialog);
    EXPECT_EQ(f.desktop->printed[1].window, browser->window());
    EXPECT_FALSE(f.desktop->printed[1].showDialog);
    EXPECT_EQ(f.desktop->printed[1].settings.get("NSFirstPage")->toString(), "2");
    EXPECT_TRUE(f.desktop->printed[2].showDialog) << "only \"false\" hides the dialog";
}

TEST(WindowCommands, SelectedTextGoesToTheFrontWindow) {
    WindowScript f;
    auto browser = f.openInFront("@I1@", "Apple, Ann");
    f.desktop->editable.insert(browser->window());
    const ScriptOutcome outcome = f.run("doc.set selectedText \"1 JAN 1900\"");
    EXPECT_EQ(outcome.report, "");
    ASSERT_EQ(f.desktop->typed.size(), 1u);
    EXPECT_EQ(f.desktop->typed[0].first, browser->window());
    EXPECT_EQ(f.desktop->typed[0].second, "1 JAN 1900");
}

TEST(WindowCommands, PopulateTakesWhatTheFrontWindowHasSelected) {
    WindowScript f;
    ScriptOutcome outcome = f.run("doc.addalbum a, Picked");
    f.window.index->selectRecordType("INDI");
    f.window.index->selectByRecordIDs(std::vector<std::string>{"@I1@", "@I3@"});
    outcome = f.run("getobject all doc.albums\nall.0.populate");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(f.albumIDs("Picked"), (std::vector<std::string>{"@I1@", "@I3@"}));

    f.openInFront("@I2@", "Birch, Bea");
    outcome = f.run("getobject all doc.albums\nall.0.populate");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(f.albumIDs("Picked"), (std::vector<std::string>{"@I1@", "@I2@", "@I3@"})) << "the record window's record";
}

TEST(WindowCommands, UserSelectShowsThePickerAndThePickIsReadLater) {
    WindowScript f;
    ScriptOutcome outcome = f.run("doc.userselect INDI, \"Whose?\"\ngetobject p doc.pickedRecord\nwrite @p.count");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "0") << "nothing while the picker shows";
    ASSERT_TRUE(f.asking.picked);
    EXPECT_EQ(f.asking.picked->order().size(), 3u);
    EXPECT_EQ(f.asking.pickerOptions.get("message")->toString(), "Whose?");
    f.asking.answer(f.window.record("@I2@"), {});
    outcome = f.run("getobject p doc.pickedRecord\nwrite @p.0, @p.1.name");
    EXPECT_EQ(outcome.output, "OK,Birch, Bea");

    // From a list of IDs, with the default prompt; the new-record answer
    // counts as no pick.
    outcome = f.run("getobject p doc.individuals\ncreatelist l\nl.addstring @p.2.id\nl.addstring @p.0.id\n"
                    "doc.userselect \"\", l");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(f.asking.picked->order().size(), 2u);
    EXPECT_EQ(f.asking.pickerOptions.get("message")->toString(), "Select one record");
    f.asking.answer(nullptr, {});
    outcome = f.run("getobject p doc.pickedRecord\nwrite @p.count, @p.0");
    EXPECT_EQ(outcome.output, "1,Cancel");

    // A picker that goes without answering (Cancel) is no pick either.
    f.run("doc.userselect INDI");
    EXPECT_EQ(f.run("getobject p doc.pickedRecord\nwrite @p.count").output, "0") << "the replaced picker is no answer";
    f.asking.answer = nullptr;
    EXPECT_EQ(f.run("getobject p doc.pickedRecord\nwrite @p.0").output, "Cancel");
}

TEST(WindowCommands, SafeHtmlRewritesRecordLinksForTheDocument) {
    WindowScript f;
    const std::string html = "<div><a href='//@I1@'>Ann</a> met <a href='@I9@'>someone</a></div>";
    const ScriptOutcome outcome = f.run("createdictionary d\nd.setstringforkey \"p%@.html\", INDI\n"
                                        "doc.safehtml \"#linked\", \"" + html + "\", \"\", d\n"
                                        "safehtml \"#plain\", \"" + html + "\"\n"
                                        "write #linked, #plain");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "<div><a href='pI1.html'>Ann</a> met someone</div>,<div>Ann met someone</div>");
}

}  // namespace
}  // namespace kl::test
