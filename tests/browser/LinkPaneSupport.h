#pragma once
// A pane of invented people whose browser is a recording LinkHost: what the
// link buttons, multimedia cells and pane bars ask of it is written to a
// log, one line per request.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "PaneTestSupport.h"
#include "cells/LinkHost.h"
#include "cells/MultimediaCell.h"
#include "document/ModelDocument.h"
#include "foundation/UndoManager.h"
#include "foundation/UserDefaults.h"
#include "model/GEDCOMRecord.h"
#include "model/GroupedRecord.h"

namespace kl::test {

class RecordingHost : public LinkHost {
public:
    GEDCOMModel* linkModel() override { return model; }
    UserDefaults& linkDefaults() override { return *defaults; }
    void openLinkedRecord(const std::shared_ptr<GEDCOMRecord>& record, Open where,
                          const std::optional<std::string>& paneID) override {
        static constexpr const char* names[] = {"this", "child", "new"};
        log.push_back(std::string("open ") + record->grecordID() + " " + names[static_cast<int>(where)] +
                      (paneID ? " " + *paneID : std::string()));
    }
    std::optional<std::string> browserPaneID() const override { return paneID; }
    void recordNotOpened(const std::string& message) override { log.push_back("alert " + message); }
    void reloadLinkRecord() override { log.push_back("reload"); }
    void beep() override { log.push_back("beep"); }
    bool performMenuItem(int menu, int submenu, int item) override {
        log.push_back("menu " + std::to_string(menu) + " " + std::to_string(submenu) + " " + std::to_string(item));
        return menuAnswer;
    }
    void runScript(const std::string& name, int type, const std::optional<std::string>& message) override {
        log.push_back("script " + name + " " + std::to_string(type) + " " + message.value_or("(none)"));
    }
    void detachEventNow(const std::shared_ptr<GEDCOMObject>& parent, const std::shared_ptr<GEDCOMObject>& link) override {
        log.push_back("detach " + parent->gtag() + " " + link->gtag());
    }
    void changeOBJERecord(const std::shared_ptr<GEDCOMRecord>& record) override {
        log.push_back("portrait " + record->grecordID());
    }
    void confirmHelper(const std::string& application, int option, const std::string& file,
                       const std::string& format) override {
        log.push_back("helper [" + application + "] " + std::to_string(option) + " " +
                      std::filesystem::path(file).filename().string() + " " + format);
    }

    std::shared_ptr<GroupedRecord> childGroupRecord() const override { return childGroup; }
    void bringChildWindowForward() override { log.push_back("forward"); }
    void showGroupInChildWindow(const std::shared_ptr<GroupedRecord>& group, bool restoring,
                                const std::shared_ptr<GEDCOMObject>& created) override {
        log.push_back(std::string(restoring ? "restore " : "show ") + group->recordType() + " [" +
                      group->grecordID() + "] " + std::to_string(group->structures().size()) +
                      (created ? " " + created->gtag() : std::string()));
        childGroup = group;
    }

    std::vector<std::string> log;
    std::optional<std::string> paneID;
    std::shared_ptr<GroupedRecord> childGroup;
    bool menuAnswer = true;
    GEDCOMModel* model = nullptr;
    UserDefaults* defaults = nullptr;
};

// The desktop as the cells see it: what they open and say.
struct RecordingWorkspace {
    RecordingWorkspace() {
        MultimediaCell::Workspace desk;
        desk.openFileWithApplication = [this](const std::string& path, const std::string& application) {
            log.push_back("app " + application + " " + std::filesystem::path(path).filename().string());
            return applicationOpens;
        };
        desk.openFile = [this](const std::string& path) {
            log.push_back("default " + std::filesystem::path(path).filename().string());
            return std::filesystem::exists(path);
        };
        desk.openURL = [this](const std::string& address) { log.push_back("url " + address); };
        desk.beep = [this] { log.push_back("beep"); };
        desk.criticalAlert = [this](const std::string& message, const std::string& information) {
            log.push_back("alert " + message + " / " + information);
        };
        MultimediaCell::setWorkspace(std::move(desk));
    }
    ~RecordingWorkspace() { MultimediaCell::setWorkspace({}); }
    std::vector<std::string> log;
    bool applicationOpens = false;
};

class LinkPaneTest : public PaneTest {
protected:
    void SetUp() override {
        PaneTest::SetUp();
        folder = std::filesystem::temp_directory_path() / ("kl-links-" + std::to_string(::getpid()) + "-" +
                                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
        defaults = std::make_unique<UserDefaults>("links-test", folder / "config");
        host.defaults = defaults.get();
        host.model = model.get();
        background.setLinkHost(&host);
    }
    void TearDown() override {
        background.removeCustomCells(false);
        model.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    // Reads records and keeps the host's model pointing at them.
    void readRecords(const std::string& records) {
        read(records);
        host.model = model.get();
        // Changes post their notifications only while they can be undone.
        model->setDocument(&document);
    }
    // Structures the template does not show are left out.
    bool build(const std::string& recordTemplate, std::map<std::string, std::string> tagTemplates = {}) {
        tagTemplates.emplace("_Unknown_", "");
        return PaneTest::build(recordTemplate, tagTemplates);
    }
    template <class Cell>
    std::vector<Cell*> cellsOf() const {
        std::vector<Cell*> found;
        for (const auto& cell : background.customCells())
            if (auto* typed = dynamic_cast<Cell*>(cell.get())) found.push_back(typed);
        return found;
    }

    std::filesystem::path folder;
    std::unique_ptr<UserDefaults> defaults;
    // The document of the model: its undo.
    struct UndoDocument : ModelDocument {
        UndoManager* undoManager() override { return &undo; }
        UndoManager undo;
    } document;
    RecordingHost host;
};

}  // namespace kl::test
