#pragma once
// The record browser tests' fixture: the running program with the index
// window and browser factories installed, the sample database opened, a
// record selected in the index window, and the cells a browser shows.
#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "app/LibraryFolder.h"
#include "app/ui/DocController.h"
#include "app/ui/KinloreApplication.h"
#include "app/ui/QtDispatcher.h"
#include "app/ui/UiTestSupport.h"
#include "browser/ui/BrowserController.h"
#include "cells/CustomCell.h"
#include "cells/LinkButton.h"
#include "cells/ui/WidgetCellView.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "index/ui/IndexWindow.h"
#include "index/ui/RecordsTableModel.h"
#include "model/GEDCOMRecord.h"
#include "script/Templates.h"

namespace kl {

class BrowserWindows : public test::AppHome {
protected:
    void SetUp() override {
        AppHome::SetUp();
        scope.emplace(dispatcher);
        application = std::make_unique<KinloreApplication>(*defaults);
        application->setAlertPresenter([](const std::string&, const std::string&) {});
        application->setInfoPresenter([](const std::string&, const std::string&) {});
        ASSERT_TRUE(application->launch());
        IndexWindow::installWindowFactory(application->docController(), *defaults);
        IndexWindow::installBrowserFactory(&BrowserController::makeBrowser);
        defaults->setObject(Value(true), "Reuse Windows");
    }
    void TearDown() override {
        BrowserController::setEditFormatHandler(nullptr);
        IndexWindow::installBrowserFactory(nullptr);
        application.reset();
        scope.reset();
        AppHome::TearDown();
    }
    IndexWindow* open(const std::filesystem::path& file) {
        std::string error;
        GEDCOMDocument* opened = application->docController().openDocument(file, &error);
        EXPECT_NE(opened, nullptr) << error;
        if (!opened) return nullptr;
        doc = opened;
        auto* window = dynamic_cast<IndexWindow*>(application->docController().windowForDocument(*opened));
        settle();
        return window;
    }
    IndexWindow* openSample() {
        return open(shipped() / "KinloreIIAppSupport" / "Radavizu" / "Brennow.gedpkg");
    }
    static void settle() {
        for (int i = 0; i < 6; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    std::vector<BrowserController*> browsers(IndexWindow& window) {
        std::vector<BrowserController*> found;
        for (const auto& c : window.documentWindows().windowControllers())
            if (auto* handle = dynamic_cast<BrowserController::Handle*>(c.get())) found.push_back(handle->controller());
        return found;
    }
    void selectRecord(IndexWindow& window, const std::string& id) {
        const auto listed = window.controller().listedRecords();
        auto it = std::find_if(listed.begin(), listed.end(), [&](const auto& r) { return r->grecordID() == id; });
        ASSERT_NE(it, listed.end()) << id;
        const int row = int(it - listed.begin());
        window.recordsTable()->setCurrentIndex(window.recordsModel()->index(row, 0));
        window.recordsTable()->setFocus();
    }
    static std::vector<std::string> texts(BrowserController& browser) {
        std::vector<std::string> all;
        for (const auto& cell : browser.backgroundView().customCells()) all.push_back(cell->text());
        return all;
    }
    static bool shows(BrowserController& browser, const std::string& text) {
        const auto all = texts(browser);
        return std::find(all.begin(), all.end(), text) != all.end();
    }
    // The pane's link to a structure of that tag.
    static LinkButton* linkOf(BrowserController& browser, const std::string& tag) {
        for (const auto& cell : browser.backgroundView().customCells())
            if (auto* link = dynamic_cast<LinkButton*>(cell.get()))
                if (auto structure = link->linkStructure(); structure && structure->gtag() == tag) return link;
        return nullptr;
    }
    static QToolButton* buttonOf(CustomCell& cell) {
        auto* view = dynamic_cast<WidgetCellView*>(cell.view());
        return view ? qobject_cast<QToolButton*>(view->widget()) : nullptr;
    }
    static void click(CustomCell& cell, Qt::KeyboardModifiers modifiers = {}) {
        QToolButton* button = buttonOf(cell);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton, modifiers);
        settle();
    }
    // The File menu's item of that title.
    static QAction* fileItem(BrowserController& browser, const QString& title) {
        for (QAction* top : browser.menuBar()->actions())
            if (top->menu() && top->text().remove('&') == "File")
                for (QAction* item : top->menu()->actions())
                    if (item->text() == title) return item;
        return nullptr;
    }
    // Opens `text` into `window` once (as `fileName` in the test's home),
    // closes any record window, and opens the one of record `id`.
    BrowserController* openOnly(IndexWindow*& window, const char* text, const char* fileName, const std::string& id) {
        if (!window) {
            const auto file = root() / fileName;
            std::ofstream(file) << text;
            window = open(file);
            if (!window) return nullptr;
        }
        for (BrowserController* b : browsers(*window)) b->close();
        settle();
        window->documentWindows().openRecordBrowser(doc->gedcomModel().recordWithID(id));
        if (!test::processUntil([&] {
                auto all = browsers(*window);
                return all.size() == 1 && all[0]->builds() > 0 && all[0]->theRecord()->grecordID() == id;
            }))
            return nullptr;
        settle();
        return browsers(*window)[0];
    }
    // The item of a tag in a menu or its submenus, validated as on showing.
    static QAction* menuItem(QMenu& menu, int tag) {
        emit menu.aboutToShow();
        for (QAction* action : menu.actions()) {
            if (QMenu* sub = action->menu()) {
                if (QAction* found = menuItem(*sub, tag)) return found;
            }
            if (!action->menu() && action->data().toInt() == tag) return action;
        }
        return nullptr;
    }
    // Replaces one template of the current format.
    static void useTemplate(const std::string& name, const std::string& text) {
        Templates& templates = AppController::sharedLibrary()->templates();
        Dictionary all = templates.templatesByName();
        all.set(name, Value(text));
        templates.setTemplatesByName(std::move(all));
    }

    QtDispatcher dispatcher;
    std::optional<Dispatcher::Scope> scope;
    std::unique_ptr<KinloreApplication> application;
    GEDCOMDocument* doc = nullptr;
};

}  // namespace kl
