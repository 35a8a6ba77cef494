#pragma once
// An index window without widgets: a document read from GEDCOM text, the
// style library over user defaults in a scratch folder, an inline
// dispatcher whose deferred turns the test runs, and a view that records
// what the logic asked it to show.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/GEDCOMDocument.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "document/RecordsListForPanel.h"
#include "foundation/InlineDispatcher.h"
#include "foundation/UserDefaults.h"
#include "foundation/NotificationCenter.h"
#include "index/ColumnEditing.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "index/IndexStyleLibrary.h"
#include "index/IndexView.h"
#include "model/GEDCOMRecord.h"

namespace kl::test {

class RecordingView : public IndexView {
public:
    void reloadLists() override { ++listReloads; }
    void selectListRow(long row) override { listRow = row; }
    void applyTablePlan(const TableSetupPlan& plan, double height) override {
        lastPlan = plan;
        rowHeight = height;
        ++builds;
    }
    void reloadRecords() override { ++recordReloads; }
    void reloadRecordsNow() override { ++immediateReloads; }
    void resetFonts() override { ++fontResets; }
    void markSortColumn(int column, SortIndicator indicator) override {
        marked = column;
        arrow = indicator;
    }
    void showRecordSelection(const std::vector<long>& rows) override { selection = rows; }
    void scrollToRow(long row) override { scrolledTo = row; }
    void showSourceText(const std::optional<std::string>& text, bool) override {
        ++sourceRefreshes;
        paneText = text.value_or("");
        paneEditable = text.has_value();
    }
    std::string sourceText() const override { return paneText; }
    int criticalAlert(const std::string& message, const std::string&, const std::vector<std::string>&) override {
        alerts.push_back(message);
        if (answers.empty()) return 0;
        const int answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    void fillAddColumnMenu(const std::vector<AddColumnItem>& items) override { menu = items; }
    void beep() override { ++beeps; }

    int listReloads = 0, recordReloads = 0, builds = 0, sourceRefreshes = 0, beeps = 0;
    int immediateReloads = 0, fontResets = 0;
    long listRow = -1, scrolledTo = -1;
    int marked = -1;
    SortIndicator arrow = SortIndicator::None;
    double rowHeight = 0;
    TableSetupPlan lastPlan;
    std::vector<long> selection;
    std::vector<AddColumnItem> menu;
    std::string paneText;
    bool paneEditable = false;
    std::vector<std::string> alerts;
    std::vector<int> answers;  // the buttons the user presses, in order
};

// A record browser that only remembers what it shows.
struct BrowserDouble : BrowserWindow {
    explicit BrowserDouble(std::shared_ptr<GEDCOMRecord> r, std::string p) : record(std::move(r)), pane(std::move(p)) {}
    std::shared_ptr<GEDCOMRecord> theRecord() const override { return record; }
    std::string paneID() const override { return pane; }
    BrowserWindow* linkedBrowser() const override { return nullptr; }
    void changeRecord(const std::shared_ptr<GEDCOMRecord>& r, const std::string& p) override {
        record = r;
        pane = p;
    }
    void browserClose() override {}
    void showWindow() override {}
    void close() override {}
    const void* window() const override { return this; }
    void moveOrCopyMM(std::vector<std::string> queue) override { queues.push_back(std::move(queue)); }
    std::shared_ptr<GEDCOMRecord> record;
    std::string pane;
    // The rest of each multimedia queue this window was asked to go on with.
    std::vector<std::vector<std::string>> queues;
};

// Every browser is made at once as a double, behind no other window.
inline DocumentWindows::Platform browserDoublePlatform() {
    DocumentWindows::Platform platform;
    platform.windowsFrontToBack = [] { return std::vector<const void*>{}; };
    platform.keyWindow = []() -> const void* { return nullptr; };
    platform.newWindowModifierHeld = [] { return false; };
    platform.makeBrowser = [](const std::shared_ptr<GEDCOMRecord>& r, BrowserWindow*, const std::string& pane) {
        return std::make_shared<BrowserDouble>(r, pane);
    };
    return platform;
}

// User defaults kept in a folder of their own, removed afterwards.
struct ScratchDefaults {
    ScratchDefaults()
        : folder(std::filesystem::temp_directory_path() /
                 ("kl-index-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)))),
          defaults(std::make_unique<UserDefaults>("Kinlore II", folder)) {}
    ~ScratchDefaults() {
        defaults.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::filesystem::path folder;
    std::unique_ptr<UserDefaults> defaults;
};

struct IndexFixture {
    InlineDispatcher dispatcher;
    Dispatcher::Scope scope{dispatcher};
    ScratchDefaults scratch;
    GEDCOMDocument doc;
    IndexStyleLibrary styles{*scratch.defaults};
    RecordingView view;
    std::unique_ptr<IndexController> index;

    // Reads the records (level-0 lines and below) and opens the window.
    void open(const std::string& records) {
        read(records);
        index = std::make_unique<IndexController>(doc, styles, &view);
        index->windowDidLoad();
    }
    void read(const std::string& records) {
        doc.undo().disableUndoRegistration();
        doc.gedcomModel().setInputGed("0 HEAD\n1 CHAR UTF-8\n" + records + "0 TRLR\n");
        doc.gedcomModel().setRecordsFromStringVerifyIDs(true, false);
        doc.undo().enableUndoRegistration();
    }
    RecordsIndices& lists() { return doc.gedcomModel().recordsIndex(); }
    std::shared_ptr<GEDCOMRecord> record(const std::string& id) { return doc.gedcomModel().recordWithID(id); }
    long rowOfList(const std::string& key) { return lists().recordTypeIndex(key); }
    std::vector<std::string> shownIDs() {
        std::vector<std::string> ids;
        for (const auto& r : index->listedRecords()) ids.push_back(r->grecordID());
        return ids;
    }
};

// "0 @I<n>@ INDI / 1 NAME <name>" for each name.
inline std::string people(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += "0 @I" + std::to_string(i + 1) + "@ INDI\n1 NAME " + names[i] + "\n";
    return text;
}

// Names given in descending order, so a sorted list starts with the last.
inline std::string descendingPeople(int count) {
    std::string text;
    text.reserve(static_cast<std::size_t>(count) * 32);
    char line[64];
    for (int i = 0; i < count; ++i) {
        std::snprintf(line, sizeof line, "0 @I%d@ INDI\n1 NAME N%05d\n", i + 1, count - i);
        text += line;
    }
    return text;
}

// A list shown with this many records, and whether it comes up sorted.
struct ShowCase {
    const char* name;
    int count;
    bool sorted;
};

// The column-style notifications, as they arrive.
struct Posted {
    Posted() {
        for (const char* name : {IndexController::kIndexStyleChanged, ColumnEditing::kTreeStyleChanged,
                                 IndexController::kIndexStyleNeedsReload})
            observations.push_back(NotificationCenter::defaultCenter().addObserver(
                name, nullptr, [this](const Notification& n) { notes.push_back(n); }));
    }
    std::vector<Notification> notes;
    std::vector<Observation> observations;
};

// Answers each question with the next of its answers, and keeps what was asked.
struct AskingView : test::RecordingView {
    int criticalAlert(const std::string& message, const std::string& information,
                      const std::vector<std::string>& buttons) override {
        alerts.push_back({message, information, buttons});
        if (answers.empty()) return 0;
        const int answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    void runRecordPicker(const std::shared_ptr<RecordsListForPanel>& list, const Dictionary& options,
                         PickerAnswer chosen) override {
        picked = list;
        pickerOptions = options;
        answer = std::move(chosen);
    }
    struct Alert {
        std::string message, information;
        std::vector<std::string> buttons;
    };
    std::vector<Alert> alerts;
    std::vector<int> answers;
    std::shared_ptr<RecordsListForPanel> picked;
    Dictionary pickerOptions;
    PickerAnswer answer;
};

struct CommandsFixture : IndexFixture {
    AskingView asking;
    void openAsking(const std::string& records) {
        read(records);
        index = std::make_unique<IndexController>(doc, styles, &asking);
        index->windowDidLoad();
        index->selectRecordType("INDI");
    }
    // Selects the rows of the records with these IDs ("I1") in the shown list.
    void selectIDs(const std::vector<std::string>& ids) {
        std::vector<std::string> linked;
        for (const auto& id : ids) linked.push_back(id.front() == '@' ? id : "@" + id + "@");
        index->selectByRecordIDs(linked);
    }
    std::vector<std::string> selectedIDs() {
        std::vector<std::string> ids;
        for (const auto& r : index->selectedRecords()) ids.push_back(r->grecordID().substr(1, r->grecordID().size() - 2));
        return ids;
    }
};

}  // namespace kl::test
