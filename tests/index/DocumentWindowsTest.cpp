// The document's windows over doubles of the record browser: opening,
// reusing and fronting browsers, the finders, the key window's record, and
// closing every window but the index window.
#include <gtest/gtest.h>

#include <algorithm>

#include "IndexTestSupport.h"
#include "index/DocumentWindows.h"
#include "model/ISScripting.h"

namespace kl {
namespace {

using RecordPtr = std::shared_ptr<GEDCOMRecord>;

// Every double stands for its own platform window (its own address).
class FakeBrowser : public BrowserWindow {
public:
    FakeBrowser(RecordPtr record, std::string pane, BrowserWindow* linked, bool child, std::vector<std::string>& log)
        : record_(std::move(record)), pane_(std::move(pane)), linked_(linked), child_(child), log_(log) {}
    RecordPtr theRecord() const override { return record_; }
    std::string paneID() const override { return pane_; }
    BrowserWindow* linkedBrowser() const override { return child_ ? nullptr : linked_; }
    BrowserWindow* parentBrowser() const override { return child_ ? linked_ : nullptr; }
    bool isChildBrowser() const override { return child_; }
    void changeRecord(const RecordPtr& record, const std::string& pane) override {
        record_ = record;
        pane_ = pane;
        log_.push_back("change " + record->grecordID() + " " + pane);
    }
    void browserClose() override { log_.push_back("close " + record_->grecordID()); }
    void showWindow() override { log_.push_back("front " + record_->grecordID()); }
    void close() override { log_.push_back("close?"); }
    const void* window() const override { return this; }
    bool startLinkMmPanel() override {
        log_.push_back("link " + record_->grecordID());
        return canLink;
    }
    bool canLink = true;

private:
    RecordPtr record_;
    std::string pane_;
    BrowserWindow* linked_;
    bool child_;
    std::vector<std::string>& log_;
};

class FakeWindow : public DocumentWindowController {
public:
    FakeWindow(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
    void showWindow() override {}
    void close() override { log_.push_back("close " + name_); }
    const void* window() const override { return this; }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

class FakeTree : public RelativesWindow {
public:
    FakeTree(RecordPtr root, std::string style) : root_(std::move(root)), style_(std::move(style)) {}
    RecordPtr rootRecord() const override { return root_; }
    std::string viewStyle() const override { return style_; }
    void showWindow() override {}
    void close() override {}

private:
    RecordPtr root_;
    std::string style_;
};

class FakeServer : public ISInterpreter {
public:
    std::shared_ptr<Object> scriptObject(const std::string&) override { return nullptr; }
    void setReturnValue(Value value) override { returned = std::move(value); }
    Value returnValue() override { return returned; }
    Value returned;
};

struct WindowsFixture : test::IndexFixture {
    std::vector<std::string> log;
    std::vector<const void*> frontToBack;
    bool optionHeld = false;
    DocumentWindows windows{*scratch.defaults};

    WindowsFixture() {
        read(test::people({"A", "B", "C"}) + "0 @R1@ _RPT\n1 TITL Report\n");
        windows.makeWindowControllers(std::make_shared<FakeWindow>("index", log));
        DocumentWindows::Platform platform;
        platform.windowsFrontToBack = [this] { return frontToBack; };
        platform.keyWindow = [this] { return frontToBack.empty() ? nullptr : frontToBack.front(); };
        platform.newWindowModifierHeld = [this] { return optionHeld; };
        platform.makeBrowser = [this](const RecordPtr& r, BrowserWindow* parent, const std::string& pane) {
            auto b = std::make_shared<FakeBrowser>(r, pane, parent, false, log);
            frontToBack.insert(frontToBack.begin(), b.get());
            return b;
        };
        windows.setPlatform(platform);
    }
    void reuse(bool on) { scratch.defaults->setObject(on, DocumentWindows::kReuseWindows); }
    std::size_t browsers() const { return windows.windowControllers().size() - 1; }
};

TEST(OpenBrowser, AnOpenRecordIsFrontedAndSwitchesPane) {
    WindowsFixture f;
    auto* first = f.windows.openRecordBrowser(f.record("@I1@"), std::string("Main"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(f.windows.openRecordBrowser(f.record("@I1@"), std::string("Main")), first);
    EXPECT_EQ(f.browsers(), 1u);
    f.log.clear();
    f.windows.openRecordBrowser(f.record("@I1@"), std::string("Events"));
    EXPECT_EQ(f.log, (std::vector<std::string>{"front @I1@", "change @I1@ Events"}));
}

TEST(OpenBrowser, ANewMultimediaRecordIsLinkedInItsOwnMainBrowser) {
    WindowsFixture f;
    EXPECT_FALSE(f.windows.linkNewMMRecord(f.record("@I1@"))) << "no browser shows it";
    auto* browser = static_cast<FakeBrowser*>(f.windows.openRecordBrowser(f.record("@I1@")));
    f.log.clear();
    EXPECT_TRUE(f.windows.linkNewMMRecord(f.record("@I1@")));
    EXPECT_EQ(f.log, std::vector<std::string>{"link @I1@"});
    browser->canLink = false;
    EXPECT_FALSE(f.windows.linkNewMMRecord(f.record("@I1@"))) << "a browser without the sheet";
    EXPECT_FALSE(f.windows.linkNewMMRecord(nullptr));
}

TEST(OpenBrowser, ReuseReplacesTheFrontmostMainBrowser) {
    WindowsFixture f;
    f.reuse(true);
    auto* browser = f.windows.openRecordBrowser(f.record("@I1@"));
    EXPECT_EQ(f.windows.openRecordBrowser(f.record("@I2@")), browser);
    EXPECT_EQ(browser->theRecord(), f.record("@I2@"));
    EXPECT_EQ(f.browsers(), 1u);
}

struct ReuseCase {
    const char* name;
    bool reuseOn;
    bool option;
    bool allowReuse;
    const char* second;
    std::size_t browsers;
};

class ReuseRule : public testing::TestWithParam<ReuseCase> {};

TEST_P(ReuseRule, NewWindowWhenTheUserOrTheRecordAsks) {
    const ReuseCase& c = GetParam();
    WindowsFixture f;
    f.reuse(c.reuseOn);
    f.windows.openRecordBrowser(f.record("@I1@"));
    f.optionHeld = c.option;
    f.windows.openRecordBrowser(f.record(c.second), std::nullopt, nullptr, c.allowReuse);
    EXPECT_EQ(f.browsers(), c.browsers);
}

INSTANTIATE_TEST_SUITE_P(DocumentWindows, ReuseRule,
                         testing::Values(ReuseCase{"ReuseOn", true, false, true, "@I2@", 1},
                                         ReuseCase{"ReuseOff", false, false, true, "@I2@", 2},
                                         ReuseCase{"OptionHeld", true, true, true, "@I2@", 2},
                                         ReuseCase{"NewBrowserCommand", true, false, false, "@I2@", 2},
                                         ReuseCase{"ReportGetsItsOwn", true, false, true, "@R1@", 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OpenBrowser, AReportWindowIsNeverReusedAndNeitherIsALinkedBrowser) {
    WindowsFixture f;
    f.reuse(true);
    auto* report = f.windows.openRecordBrowser(f.record("@R1@"));
    EXPECT_EQ(f.windows.findRecordWindow(nullptr, nullptr), nullptr);
    auto* linked = f.windows.openAssociatedRecordBrowser(f.record("@I3@"), report);
    ASSERT_NE(linked, nullptr);
    EXPECT_EQ(f.windows.findRecordWindow(nullptr, nullptr), nullptr) << "a linked browser is not reusable";
    EXPECT_EQ(f.windows.openAssociatedRecordBrowser(f.record("@I3@"), report), linked);
    f.windows.openRecordBrowser(f.record("@I2@"));
    EXPECT_EQ(f.browsers(), 3u);
}

TEST(OpenBrowser, AScriptServerReceivesTheNewBrowser) {
    WindowsFixture f;
    FakeServer server;
    auto* browser = f.windows.openRecordBrowser(f.record("@I1@"), std::nullopt, &server);
    EXPECT_EQ(server.returned.objectAs<BrowserWindow>().get(), browser);
}

TEST(OpenBrowser, WithoutARecordBrowserNothingOpens) {
    test::ScratchDefaults scratch;
    test::IndexFixture f;
    f.read(test::people({"A"}));
    DocumentWindows bare(*scratch.defaults);
    EXPECT_EQ(bare.openRecordBrowser(f.record("@I1@")), nullptr);
    EXPECT_EQ(bare.openRecordBrowser(nullptr), nullptr);
}

TEST(Finders, ChildBrowsersTreesAndTheKeyWindow) {
    WindowsFixture f;
    auto* parent = f.windows.openRecordBrowser(f.record("@I1@"));
    auto child = std::make_shared<FakeBrowser>(f.record("@I1@"), "Child", parent, true, f.log);
    f.windows.addWindowController(child);
    EXPECT_EQ(f.windows.findWindowWithParent(parent), child.get());
    EXPECT_EQ(f.windows.findRecordWindow(f.record("@I1@"), nullptr), parent) << "a child is never the main browser";
    auto tree = std::make_shared<FakeTree>(f.record("@I2@"), "Ancest");
    f.windows.addWindowController(tree);
    EXPECT_EQ(f.windows.findRecordTree(f.record("@I2@"), "Ancest"), tree.get());
    EXPECT_EQ(f.windows.findRecordTree(f.record("@I2@"), "Descend"), nullptr);
    EXPECT_EQ(f.windows.keyWindowController(), parent);
    EXPECT_EQ(f.windows.keyWindowRecord(), f.record("@I1@"));
    EXPECT_EQ(f.windows.keyWindowRecords().size(), 1u);
    f.frontToBack.insert(f.frontToBack.begin(), tree.get());
    EXPECT_EQ(f.windows.keyWindowRecord(), nullptr) << "a tree window answers no selection here";
    EXPECT_EQ(f.windows.findWindowController(nullptr), nullptr);
}

TEST(Closing, CloseAllBrowsersLeavesOnlyTheIndexWindowWhateverTheOrder) {
    WindowsFixture f;
    f.windows.openRecordBrowser(f.record("@I1@"));
    f.windows.addWindowController(std::make_shared<FakeWindow>("search", f.log));
    f.windows.openRecordBrowser(f.record("@I2@"));
    auto* index = f.windows.indexController();
    f.log.clear();
    f.windows.closeAllBrowsers();
    ASSERT_EQ(f.windows.windowControllers().size(), 1u);
    EXPECT_EQ(f.windows.indexController(), index);
    EXPECT_EQ(f.log, (std::vector<std::string>{"close @I1@", "close search", "close @I2@"}));
}

TEST(Closing, CloseMeWaitsForTheNextTurn) {
    WindowsFixture f;
    auto* browser = f.windows.openRecordBrowser(f.record("@I1@"));
    f.windows.closeMe(browser);
    EXPECT_EQ(f.browsers(), 1u);
    f.dispatcher.drain();
    EXPECT_EQ(f.browsers(), 0u);
}

TEST(Closing, TheIndexControllerOpensRecordsThroughTheWindows) {
    WindowsFixture f;
    auto index = std::make_shared<IndexController>(f.doc, f.styles, &f.view);
    index->setWindows(&f.windows);
    index->windowDidLoad();
    EXPECT_FALSE(index->shouldEditRecordRow(0));
    EXPECT_EQ(f.browsers(), 0u) << "the browser opens on the next turn";
    f.dispatcher.drain();
    ASSERT_EQ(f.browsers(), 1u);
    EXPECT_EQ(f.windows.findRecordWindow(index->listedRecords()[0], nullptr)->theRecord(), index->listedRecords()[0]);
}

}  // namespace
}  // namespace kl
