#pragma once
// The document window's test fixtures: a copy of the shipped Default Format
// (or a small extension) opened by the program's document controller, with
// every question and panel answered by the test and its menus chosen by
// their titles.
#include <gtest/gtest.h>
#include <QAction>
#include <QDesktopServices>
#include <QListWidget>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QToolBar>
#include <QTreeView>
#include "../EditorTestSupport.h"
#include "editor/FormatDocument.h"
#include "editor/FormatToolbar.h"
#include "index/ui/ToolbarCustomizeDialog.h"
#include "editor/ui/FormatWindow.h"
#include "editor/ui/KXDocController.h"
#include "editor/ui/PropertyTableView.h"
#include "editor/ui/WXColoredTextView.h"
#include "foundation/NotificationCenter.h"
#include "foundation/UndoManager.h"
#include "foundation/UserDefaults.h"

namespace kl {

using test::fs::path;

class FormatWindowTest : public test::EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        package_ = scratch("Sample Format.kfrmt");
        test::fs::copy(test::shippedDefaultFormat(), package_, test::fs::copy_options::recursive);
        test::writeFile(package_ / "guide.html", "<p>Only the guide mentions zebrafinch here.</p>\n");
        KXDocController::Prompts prompts;
        prompts.alert = [this](const QString& message, const QString& information) {
            alerts_.push_back(message + " / " + information);
        };
        prompts.askSaveChanges = [](const QString&) { return KXDocController::SaveAnswer::DontSave; };
        prompts.openInKinlore = [this](const path& package) {
            launched_.push_back(package);
            return launches_;
        };
        prompts.runScriptInKinlore = [this](const path& package) {
            launched_.push_back(package);
            return scriptError_;
        };
        prompts.openFile = [this](const path& file) {
            // What the browser would show: the page and the style sheet it links.
            opened_.push_back(file);
            openedStyle_ = test::readFile(file.parent_path() / "helpType.css");
        };
        controller_.setPrompts(prompts);
        // The toolbar's order is kept in the defaults of this test alone.
        UserDefaults::configureStandard("Kinlore Editor", scratch("config"));
        open();
    }
    void TearDown() override {
        controller_.closeAllDocuments();
        QApplication::processEvents();
        UserDefaults::configureStandard(UserDefaults::defaultDomain);
        EditorTest::TearDown();
    }
    void open() { open(package_); }
    void open(const path& package) {
        document_ = controller_.openDocument(package);
        ASSERT_NE(document_, nullptr) << (alerts_.empty() ? "" : alerts_.back().toStdString());
        window_ = controller_.windowForDocument(*document_);
        FormatWindow::Prompts prompts;
        prompts.askName = [this](const QString& prompt) -> std::optional<QString> {
            prompts_.push_back(prompt);
            return typedName_;
        };
        prompts.askSearch = [this](const QString&, bool) -> std::optional<std::pair<QString, bool>> {
            return std::make_pair(searchFor_, false);
        };
        prompts.savePath = [this](const QString&) -> std::optional<path> { return scratch("written.txt"); };
        prompts.importPath = [this]() -> std::optional<path> { return scratch("table.txt"); };
        prompts.importStyle = [this](const QString& description, ImportStyle) -> std::optional<ImportStyle> {
            prompts_.push_back(description);
            return style_;
        };
        prompts.wantsReport = [this](const QString& message, const QString&) {
            alerts_.push_back(message);
            return true;
        };
        prompts.importFiles = [this](const QString& title) {
            prompts_.push_back(title);
            return importFiles_;
        };
        prompts.exportPath = [this](const QString& name, const QString& folder) -> std::optional<path> {
            prompts_.push_back(name + " in " + folder);
            return exportTo_;
        };
        prompts.beep = [this] { ++beeps_; };
        window_->setPrompts(prompts);
        QApplication::processEvents();
    }
    void reopen() {
        ASSERT_TRUE(controller_.closeDocument(*document_));
        QApplication::processEvents();
        open();
    }
    // A menu item by its text in the window's menu bar.
    QAction* menuItem(const QString& menuTitle, const QString& text) const {
        for (QAction* top : window_->menuBar()->actions()) {
            if (top->text().remove('&') != menuTitle || !top->menu()) continue;
            emit top->menu()->aboutToShow();
            for (QAction* action : top->menu()->actions())
                if (action->text() == text || action->text().startsWith(text + " ")) return action;
        }
        ADD_FAILURE() << "no menu item " << text.toStdString();
        return nullptr;
    }
    void choose(const QString& menuTitle, const QString& text) {
        QAction* action = menuItem(menuTitle, text);
        ASSERT_NE(action, nullptr);
        ASSERT_TRUE(action->isEnabled()) << text.toStdString();
        action->trigger();
        QApplication::processEvents();
    }
    void undo() { choose("Edit", "Undo"); }
    void select(const std::string& listName, const std::string& item) {
        ItemList* list = document_->listForName(listName);
        ASSERT_NE(list, nullptr);
        ASSERT_TRUE(window_->selectTemplate(list->objectNamed(item), list)) << item;
        QApplication::processEvents();
    }
    std::string shownName() const {
        const auto item = window_->selectedTemplate();
        return item ? item->name() : std::string();
    }
    QString text() const { return window_->textView()->toPlainText(); }
    std::vector<QString> sheets() const {
        std::vector<QString> texts;
        for (QMessageBox* box : window_->findChildren<QMessageBox*>()) {
            if (box->isVisible()) texts.push_back(box->text() + " / " + box->informativeText());
            box->close();
        }
        return texts;
    }
    std::string undoName() const { return document_->undoManager().undoActionName(); }

    path package_;
    KXDocController controller_;
    FormatDocument* document_ = nullptr;
    FormatWindow* window_ = nullptr;
    std::vector<QString> alerts_;
    std::vector<QString> prompts_;
    std::vector<path> launched_;
    std::vector<path> opened_;
    std::string openedStyle_;
    std::vector<path> importFiles_;
    std::optional<path> exportTo_;
    int beeps_ = 0;
    bool launches_ = true;
    std::optional<std::string> scriptError_;
    std::optional<QString> typedName_;
    QString searchFor_;
    ImportStyle style_ = ImportStyle::Merge;
};

class ExtensionWindowTest : public FormatWindowTest {
protected:
    void openExtension() {
        extension_ = scratch("Sample.kplug");
        test::writeFile(extension_ / "run.py", "print('x')\n");
        test::writeList(extension_ / "manifest.plist", Value(Dictionary{{"main", Dictionary{{"run.py", "Run"}}}}));
        test::writeFile(extension_ / "data.csv", "a,b\n");
        open(extension_);
    }
    // Clicks the key of the row naming a carried file in "other files".
    void clickOtherFile(const std::string& name) {
        select("Properties", "other files");
        PropertyTableView* table = window_->shownTable();
        ASSERT_NE(table, nullptr);
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            const QModelIndex key = table->model()->index(row, 0);
            if (key.data().toString().toStdString() != name) continue;
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(key).center());
            QApplication::processEvents();
            return;
        }
        ADD_FAILURE() << "no row " << name;
    }
    path extension_;
};

}  // namespace kl
