#pragma once
// The fixture of the editing tests: the sample database's record opened by
// Return in the index window, its fields found by tag, typed into as the
// user types, and the Edit menu's items as shown when the menu opens.
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <functional>

#include "browser/ui/BrowserTestSupport.h"
#include "browser/ui/QtModelAlerts.h"
#include "cells/ChoiceCells.h"
#include "cells/EditValueCell.h"
#include "cells/ui/QtCellView.h"
#include "foundation/UserDefaults.h"
#include "model/ModelAlerts.h"

namespace kl {

class ValueFields : public BrowserWindows {
protected:
    // The browser that Return in the index window opens for a record.
    BrowserController* openWithReturn(const std::string& id,
                                      const std::function<void(GEDCOMRecord&)>& prepare = nullptr) {
        index = openSample();
        if (!index) return nullptr;
        if (prepare) prepare(*doc->gedcomModel().recordWithID(id));
        selectRecord(*index, id);
        QTest::keyClick(index->recordsTable(), Qt::Key_Return);
        if (!test::processUntil([&] { return browsers(*index).size() == 1 && browsers(*index)[0]->builds() > 0; }))
            return nullptr;
        settle();
        return browsers(*index)[0];
    }
    // The value field of the structure with this tag at this level.
    static QLineEdit* field(BrowserController& browser, const std::string& tag, int level) {
        for (const auto& cell : browser.backgroundView().customCells()) {
            auto* value = dynamic_cast<EditValueCell*>(cell.get());
            if (!value || value->editTag() != tag || value->editLevel() != level || !value->view()) continue;
            if (auto* view = dynamic_cast<QtCellView*>(value->view())) return qobject_cast<QLineEdit*>(view->widget());
        }
        return nullptr;
    }
    // The date field under the level-1 structure of this tag.
    static QLineEdit* dateField(BrowserController& browser, const std::string& event) {
        std::string under;
        for (const auto& cell : browser.backgroundView().customCells()) {
            if (cell->editLevel() == 1 && cell->holdsDataCell()) under = cell->editTag();
            auto* value = dynamic_cast<EditValueCell*>(cell.get());
            if (!value || under != event || value->editTag() != "DATE" || value->editLevel() != 2) continue;
            if (auto* view = dynamic_cast<QtCellView*>(value->view())) return qobject_cast<QLineEdit*>(view->widget());
        }
        return nullptr;
    }
    static QPushButton* popup(BrowserController& browser, const std::string& tag) {
        for (const auto& cell : browser.backgroundView().customCells())
            if (dynamic_cast<PopupMenuEditValue*>(cell.get()) && cell->editTag() == tag)
                if (auto* view = dynamic_cast<QtCellView*>(cell->view()))
                    return qobject_cast<QPushButton*>(view->widget());
        return nullptr;
    }
    static void pick(QPushButton* button, const QString& title) {
        for (QAction* item : button->menu()->actions())
            if (item->text() == title) {
                item->trigger();
                return;
            }
        ADD_FAILURE() << "no item " << title.toStdString();
    }
    // The Edit menu's item as shown when the menu opens; the menu closes
    // again on the next call of closeEditMenu.
    static QAction* editItem(BrowserController& browser, int row) {
        for (QAction* top : browser.menuBar()->actions())
            if (top->menu() && top->menu()->title().remove('&') == "Edit") {
                emit top->menu()->aboutToShow();
                return top->menu()->actions().value(row);
            }
        return nullptr;
    }
    static void closeEditMenu(QAction* item) {
        if (auto* menu = qobject_cast<QMenu*>(item->parent())) emit menu->aboutToHide();
    }
    static void typeInto(QLineEdit* line, const QString& text) {
        QTest::mouseClick(line, Qt::LeftButton);
        line->setFocus();
        line->selectAll();
        QTest::keyClick(line, Qt::Key_Backspace);
        QTest::keyClicks(line, text);
        QTest::keyClick(line, Qt::Key_Tab);
    }

    IndexWindow* index = nullptr;
};

// Typing that may raise the program's alerts, with settings of its own.
class AlertingValueFields : public ValueFields {
protected:
    void SetUp() override {
        ValueFields::SetUp();
        UserDefaults::configureStandard(UserDefaults::defaultDomain, (root() / "standard").string());
        ModelAlerts::install(std::make_shared<QtModelAlerts>());
    }
    void TearDown() override {
        UserDefaults::configureStandard(UserDefaults::defaultDomain);
        ModelAlerts::install(nullptr);
        ValueFields::TearDown();
    }
};

}  // namespace kl
