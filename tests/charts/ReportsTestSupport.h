#pragma once
// A document read from GEDCOM text with a host that stores finished reports
// the way the program does (as report records) and keeps the alerts, for
// the std-only tests of the reports.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "charts/ReportCommands.h"
#include "charts/ReportHost.h"
#include "document/DocumentUI.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "foundation/InlineDispatcher.h"
#include "foundation/ResourceFolder.h"
#include "model/GEDCOMRecord.h"
#include "model/ReportRecord.h"

namespace kl::test {

// Records what the report asked of the panel.
struct RecordingUI : DocumentUI {
    bool pauseIn(KLProgress& task, double seconds) override {
        if (onPause) onPause(task);
        return DocumentUI::pauseIn(task, seconds);
    }
    void runProgress(KLProgress& task, const std::string& title, const std::string& label, double interval) override {
        ++panels;
        panelTitle = title;
        if (onPanel) onPanel(task);
        DocumentUI::runProgress(task, title, label, interval);
    }
    std::function<void(KLProgress&)> onPause, onPanel;
    int panels = 0;
    std::string panelTitle;
};

struct RecordingHost : ReportHost {
    explicit RecordingHost(GEDCOMDocument& document) : doc(document) {}
    DocumentUI& ui() override { return panel; }
    std::string displayName() override { return "Family <Tree>"; }
    std::vector<RecordPtr> selectedRecords() override { return selection; }
    void alert(const std::string& message, const std::string& information) override {
        alerts.push_back({message, information});
    }
    void addOpenReport(const std::string& body, const std::string& title) override {
        stored.push_back(ReportCommands::addReport(doc.gedcomModel(), body, title));
    }
    // The body of the one stored report ("" and a failure when not one).
    std::string body() const {
        EXPECT_EQ(stored.size(), 1u);
        return stored.size() == 1 ? stored.front()->body() : std::string();
    }

    GEDCOMDocument& doc;
    RecordingUI panel;
    std::vector<RecordPtr> selection;
    std::vector<std::pair<std::string, std::string>> alerts;
    std::vector<std::shared_ptr<ReportRecord>> stored;
};

struct ReportFixture {
    InlineDispatcher dispatcher;
    Dispatcher::Scope scope{dispatcher};
    std::filesystem::path savedResources = ResourceFolder::folder();
    GEDCOMDocument doc;
    RecordingHost host{doc};

    explicit ReportFixture(const std::string& records = "") {
        ResourceFolder::setFolder(std::filesystem::path(KL_SOURCE_DIR) / "resources");
        read(records);
    }
    ~ReportFixture() { ResourceFolder::setFolder(savedResources); }

    void read(const std::string& records) {
        doc.undo().disableUndoRegistration();
        doc.gedcomModel().setInputGed("0 HEAD\n1 CHAR UTF-8\n" + records + "0 TRLR\n");
        doc.gedcomModel().setRecordsFromStringVerifyIDs(true, false);
        doc.undo().enableUndoRegistration();
    }
    std::shared_ptr<GEDCOMRecord> record(const std::string& id) { return doc.gedcomModel().recordWithID(id); }
    template <class Report>
    std::shared_ptr<Report> make() {
        return std::make_shared<Report>(doc, host);
    }
};

}  // namespace kl::test
