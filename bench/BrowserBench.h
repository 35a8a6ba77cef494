#pragma once
// The record window of the widget benchmarks: the program launched in a
// temporary home with the shipped resources, a document read from GEDCOM
// text, and the browser of its individual @I1@ open and laid out.
#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/AppController.h"
#include "app/ui/KinloreApplication.h"
#include "app/ui/QtDispatcher.h"
#include "browser/ui/BrowserController.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "foundation/ResourceFolder.h"
#include "foundation/UserDefaults.h"
#include "index/DocumentWindows.h"
#include "model/GEDCOMRecord.h"

namespace bench {

struct BrowserWindow {
    QTemporaryDir home;
    kl::QtDispatcher dispatcher;
    kl::Dispatcher::Scope scope{dispatcher};
    std::unique_ptr<kl::UserDefaults> defaults;
    std::unique_ptr<kl::KinloreApplication> application;
    kl::GEDCOMDocument doc;
    std::unique_ptr<kl::DocumentWindows> windows;
    kl::BrowserController* browser = nullptr;
    std::shared_ptr<kl::GEDCOMRecord> person;

    explicit BrowserWindow(const std::string& gedcom) {
        const std::string root = home.path().toStdString();
        setenv("HOME", root.c_str(), 1);
        setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
        setenv("XDG_CACHE_HOME", (root + "/cache").c_str(), 1);
        const auto resources = std::filesystem::path(KL_SOURCE_DIR) / "resources";
        kl::ResourceFolder::setFolder(resources);
        kl::AppController::setResourcesFolder(resources);
        defaults = std::make_unique<kl::UserDefaults>("Kinlore II", root + "/config");
        application = std::make_unique<kl::KinloreApplication>(*defaults);
        application->setAlertPresenter([](const std::string&, const std::string&) {});
        application->setInfoPresenter([](const std::string&, const std::string&) {});
        application->launch();
        doc.undo().disableUndoRegistration();
        doc.gedcomModel().setInputGed(gedcom);
        doc.gedcomModel().setRecordsFromStringVerifyIDs(true, false);
        doc.undo().enableUndoRegistration();
        person = doc.gedcomModel().recordWithID("@I1@");
        kl::DocumentWindows::Platform platform;
        platform.makeBrowser = [this](const auto& record, kl::BrowserWindow* parent, const std::string& pane) {
            return kl::BrowserController::makeBrowser(doc, *windows, record, parent, pane);
        };
        windows = std::make_unique<kl::DocumentWindows>(*defaults, platform);
        auto* handle = static_cast<kl::BrowserController::Handle*>(windows->openRecordBrowser(person));
        browser = handle->controller();
        browser->resize(620, 800);
        settle();
    }
    ~BrowserWindow() {
        windows.reset();
        application.reset();
    }
    BrowserWindow(const BrowserWindow&) = delete;
    BrowserWindow& operator=(const BrowserWindow&) = delete;
    static void settle() {
        for (int i = 0; i < 4; ++i) QCoreApplication::processEvents();
    }
};

}  // namespace bench
