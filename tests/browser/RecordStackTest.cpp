// A browser's history: visits push and drop the forward entries, back and
// forward skip deleted records and do not push again, a change of pane
// rewrites the current entry, and the pop-up lists what can be reached.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "browser/RecordStack.h"
#include "model/GEDCOMRecord.h"

namespace kl {
namespace {

// A browser that shows what the history hands it and, like the record
// browser, pushes a visit only when the record differs from the shown one.
class FakeBrowser : public RecordStack::Browser {
public:
    FakeBrowser() {
        for (const char* id : {"@I1@", "@I2@", "@I3@", "@I4@"})
            records[id] = std::make_shared<GEDCOMRecord>(id, "INDI");
    }
    RecordStack::RecordPtr historyRecordWithID(const std::string& id) const override {
        if (deleted.count(id)) return nullptr;
        auto it = records.find(id);
        return it == records.end() ? nullptr : it->second;
    }
    std::optional<std::string> historyPaneID() const override { return pane; }
    void changeRecordFromHistory(const RecordStack::RecordPtr& record,
                                 const std::optional<std::string>& paneID) override {
        if (refuse) return;  // the focused cell kept its entry
        pane = paneID;
        show(record);
    }
    void visit(const std::string& id, std::optional<std::string> paneID = std::nullopt) {
        pane = std::move(paneID);
        show(records.at(id));
    }
    void show(const RecordStack::RecordPtr& record) {
        if (record == shown) history.updateCurrentItem(*record);
        else history.addRecordToStack(*record);
        shown = record;
    }
    std::vector<std::string> ids() const {
        std::vector<std::string> all;
        for (const auto& entry : history.stack()) all.push_back(entry.recordID);
        return all;
    }
    std::string shownID() const { return shown ? shown->grecordID() : ""; }

    std::map<std::string, RecordStack::RecordPtr> records;
    std::set<std::string> deleted;
    std::optional<std::string> pane;
    RecordStack::RecordPtr shown;
    bool refuse = false;
    RecordStack history{*this};
};

TEST(RecordStack, StartsEmptyAndCannotMove) {
    FakeBrowser browser;
    EXPECT_EQ(browser.history.currentItem(), -1);
    EXPECT_FALSE(browser.history.canGoBack());
    EXPECT_FALSE(browser.history.canGoForward());
    EXPECT_FALSE(browser.history.goToRecord(-1));
}

TEST(RecordStack, VisitAfterGoingBackDropsTheForwardEntries) {
    FakeBrowser browser;
    for (const char* id : {"@I1@", "@I2@", "@I3@"}) browser.visit(id);
    browser.history.goToBackRecord();
    browser.history.goToBackRecord();
    EXPECT_EQ(browser.shownID(), "@I1@");
    EXPECT_EQ(browser.ids(), (std::vector<std::string>{"@I1@", "@I2@", "@I3@"}));
    EXPECT_TRUE(browser.history.canGoForward());
    browser.visit("@I4@");
    EXPECT_EQ(browser.ids(), (std::vector<std::string>{"@I1@", "@I4@"}));
    EXPECT_EQ(browser.history.currentItem(), 1);
    EXPECT_FALSE(browser.history.canGoForward());
}

TEST(RecordStack, BackAndForwardSkipDeletedRecords) {
    FakeBrowser browser;
    for (const char* id : {"@I1@", "@I2@", "@I3@"}) browser.visit(id);
    browser.deleted.insert("@I2@");
    browser.history.goToBackRecord();
    EXPECT_EQ(browser.shownID(), "@I1@");
    EXPECT_EQ(browser.history.currentItem(), 0);
    browser.history.goToForwardRecord();
    EXPECT_EQ(browser.shownID(), "@I3@");
    browser.deleted.insert("@I1@");
    EXPECT_FALSE(browser.history.canGoBack());
    EXPECT_FALSE(browser.history.goToRecord(-1));
    EXPECT_EQ(browser.history.currentItem(), 2);
}

TEST(RecordStack, AMoveThatPushesNothingDoesNotSwallowTheNextVisit) {
    struct Case {
        const char* name;
        bool refuse;
    };
    for (const Case& c : {Case{"onto the record shown", false}, Case{"refused by the focused cell", true}}) {
        SCOPED_TRACE(c.name);
        FakeBrowser browser;
        for (const char* id : {"@I1@", "@I2@", "@I1@"}) browser.visit(id);
        browser.deleted.insert("@I2@");
        browser.refuse = c.refuse;
        browser.history.goToBackRecord();
        EXPECT_FALSE(browser.history.blockAddRecord());
        browser.refuse = false;
        browser.visit("@I3@");
        EXPECT_EQ(browser.ids(), (std::vector<std::string>{"@I1@", "@I3@"}));
    }
}

TEST(RecordStack, EntriesKeepTheirPane) {
    FakeBrowser browser;
    browser.visit("@I1@", "Research");
    browser.visit("@I2@");
    // The same record in another pane rewrites its entry.
    browser.visit("@I2@", "Notes");
    EXPECT_EQ(browser.history.stack().size(), 2u);
    EXPECT_EQ(browser.history.stack()[1], (RecordStack::Entry{"@I2@", "Notes"}));
    browser.visit("@I2@");
    EXPECT_EQ(browser.history.stack()[1], (RecordStack::Entry{"@I2@", std::nullopt}));
    browser.visit("@I3@");
    browser.history.goToBackRecord();
    EXPECT_EQ(browser.pane, std::nullopt);
    browser.history.goToBackRecord();
    EXPECT_EQ(browser.shownID(), "@I1@");
    EXPECT_EQ(browser.pane, std::optional<std::string>("Research"));
}

TEST(RecordStack, PopUpListsReachableRecordsNearestFirstAndJumps) {
    FakeBrowser browser;
    for (const char* id : {"@I1@", "@I2@", "@I3@", "@I4@"}) browser.visit(id);
    browser.history.goToBackRecord();
    browser.deleted.insert("@I2@");
    auto ids = [](const std::vector<RecordStack::Reachable>& items) {
        std::vector<std::string> out;
        for (const auto& item : items) out.push_back(item.record->grecordID());
        return out;
    };
    EXPECT_EQ(ids(browser.history.reachable(-1)), (std::vector<std::string>{"@I1@"}));
    EXPECT_EQ(ids(browser.history.reachable(+1)), (std::vector<std::string>{"@I4@"}));
    EXPECT_TRUE(browser.history.goToIndex(0));
    EXPECT_EQ(browser.shownID(), "@I1@");
    EXPECT_EQ(browser.ids().size(), 4u);
    EXPECT_FALSE(browser.history.goToIndex(1));
    EXPECT_FALSE(browser.history.goToIndex(9));
    EXPECT_EQ(browser.history.currentItem(), 0);
}

}  // namespace
}  // namespace kl
