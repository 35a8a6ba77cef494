#include "index/ui/IndexToolbarWidget.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>

#include <algorithm>
#include <memory>
#include <vector>

#include "app/ui/UiTestSupport.h"
#include "document/IndexStyle.h"
#include "index/IndexTestSupport.h"
#include "app/ui/AppToolbars.h"
#include "index/ui/AddColumnToolButton.h"
#include "index/ui/ToolbarCustomizeDialog.h"

namespace kl {
namespace {

using test::processUntil;

class ToolbarTest : public test::AppHome {
protected:
    std::unique_ptr<IndexToolbarWidget> toolbar() { return std::make_unique<IndexToolbarWidget>(*defaults); }
};

TEST_F(ToolbarTest, NewToolbarShowsTheDefaultItemsInOrder) {
    auto bar = toolbar();
    EXPECT_EQ(bar->objectName(), "indexToolBar");
    EXPECT_EQ(bar->itemIdentifiers(), IndexToolbar::toolbarDefaultItemIdentifiers());
    EXPECT_EQ(bar->itemIdentifiers().front(), "AddAlbum");
    EXPECT_EQ(bar->itemIdentifiers().back(), "TypeFindField");
    ASSERT_TRUE(bar->addColumnButton());
    EXPECT_EQ(bar->addColumnButton()->toolTip(), "Add index column");
    ASSERT_TRUE(bar->findField());
    ASSERT_TRUE(bar->actionForIdentifier("EditColumn"));
    EXPECT_EQ(bar->actionForIdentifier("EditColumn")->text(), "Modify Column");
    EXPECT_EQ(bar->actionForIdentifier("EditColumn")->toolTip(), "Edit the selected column properties");
    EXPECT_FALSE(bar->actionForIdentifier("SaveDocument"));
}

TEST_F(ToolbarTest, AddColumnButtonFollowsTheWindowsToolbarStyle) {
    QMainWindow window;
    auto* bar = new IndexToolbarWidget(*defaults, &window);
    window.addToolBar(bar);
    ASSERT_TRUE(bar->addColumnButton());
    struct Case {
        int style;
        int edge;
        Qt::ToolButtonStyle buttons;
    };
    for (const Case& c : {Case{4, 22, Qt::ToolButtonIconOnly}, Case{2, 32, Qt::ToolButtonTextUnderIcon},
                          Case{3, 28, Qt::ToolButtonIconOnly}}) {
        AppToolbars::applyToolbarStyle(window, c.style);
        EXPECT_EQ(bar->addColumnButton()->iconSize(), QSize(c.edge, c.edge)) << "style " << c.style;
        EXPECT_EQ(bar->addColumnButton()->toolButtonStyle(), c.buttons) << "style " << c.style;
    }
}

TEST_F(ToolbarTest, CustomisedOrderComesBackInTheNextToolbar) {
    QMainWindow window;
    auto* bar = new IndexToolbarWidget(*defaults, &window);
    window.addToolBar(bar);
    window.show();
    QPointer<ToolbarCustomizeDialog> dialog = bar->runCustomizationPalette();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->itemIdentifiers(), IndexToolbar::toolbarDefaultItemIdentifiers());
    // Take "AddAlbum" out, put "SaveDocument" after "DeleteAlbum", move
    // "WindowHelp" up one place.
    dialog->currentList()->setCurrentRow(0);
    dialog->removeItem();
    dialog->allowedList()->setCurrentRow(6);
    ASSERT_EQ(dialog->allowedList()->currentItem()->data(Qt::UserRole).toString(), "SaveDocument");
    dialog->currentList()->setCurrentRow(0);
    dialog->addItem();
    const std::vector<std::string> ids = dialog->itemIdentifiers();
    const auto help = std::find(ids.begin(), ids.end(), "WindowHelp") - ids.begin();
    dialog->currentList()->setCurrentRow(static_cast<int>(help));
    dialog->moveUp();
    const std::vector<std::string> chosen = dialog->itemIdentifiers();
    EXPECT_EQ(std::vector<std::string>(chosen.begin(), chosen.begin() + 3),
              (std::vector<std::string>{"DeleteAlbum", "SaveDocument", "Ancestors"}));
    dialog->accept();
    EXPECT_TRUE(processUntil([&] { return dialog.isNull(); }));

    EXPECT_EQ(bar->itemIdentifiers(), chosen) << "the toolbar rebuilds";
    EXPECT_EQ(toolbar()->itemIdentifiers(), chosen) << "and the next window shows the same";
    ASSERT_TRUE(defaults->synchronize());
    UserDefaults again("Kinlore II", root() / "config");
    EXPECT_EQ(IndexToolbar::itemIdentifiers(again), chosen) << "kept in the stored defaults";
}

TEST_F(ToolbarTest, UseDefaultSetAndCancel) {
    IndexToolbar::saveItemIdentifiers(*defaults, {"AddColumn", IndexToolbar::kSeparator, "WindowHelp"});
    QMainWindow window;
    auto* bar = new IndexToolbarWidget(*defaults, &window);
    window.addToolBar(bar);
    window.show();
    const auto stored = bar->itemIdentifiers();
    EXPECT_EQ(stored, (std::vector<std::string>{"AddColumn", IndexToolbar::kSeparator, "WindowHelp"}));

    QPointer<ToolbarCustomizeDialog> dialog = bar->runCustomizationPalette();
    dialog->useDefaultSet();
    dialog->reject();
    EXPECT_TRUE(processUntil([&] { return dialog.isNull(); }));
    EXPECT_EQ(bar->itemIdentifiers(), stored) << "cancel keeps the order";

    dialog = bar->runCustomizationPalette();
    dialog->useDefaultSet();
    dialog->accept();
    EXPECT_TRUE(processUntil([&] { return dialog.isNull(); }));
    EXPECT_EQ(bar->itemIdentifiers(), IndexToolbar::toolbarDefaultItemIdentifiers());
}

TEST_F(ToolbarTest, SingleItemAddedAgainMovesInsteadOfRepeating) {
    ToolbarCustomizeDialog dialog({"AddColumn", "EditColumn", IndexToolbar::kSpace});
    auto select = [&](QListWidget* list, const char* id) {
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->data(Qt::UserRole).toString() == id) return list->setCurrentRow(i);
    };
    select(dialog.allowedList(), "AddColumn");
    select(dialog.currentList(), IndexToolbar::kSpace);
    dialog.addItem();
    select(dialog.allowedList(), IndexToolbar::kSpace);
    dialog.addItem();
    EXPECT_EQ(dialog.itemIdentifiers(), (std::vector<std::string>{"EditColumn", IndexToolbar::kSpace, "AddColumn",
                                                                  IndexToolbar::kSpace}));
}

TEST_F(ToolbarTest, ItemsReachTheHandlerAndFollowValidation) {
    auto bar = toolbar();
    std::vector<ToolbarItemSpec> reached;
    bar->setHandler([&](const ToolbarItemSpec& item) { reached.push_back(item); });
    bool columnHighlighted = false;
    bar->setValidator([&](int tag) {
        MenuAnswer answer;
        if (tag == 3302 || tag == 3303) answer.enabled = columnHighlighted;
        return answer;
    });
    EXPECT_FALSE(bar->actionForIdentifier("EditColumn")->isEnabled());
    EXPECT_FALSE(bar->actionForIdentifier("DeleteColumn")->isEnabled());
    EXPECT_TRUE(bar->actionForIdentifier("AddAlbum")->isEnabled());
    columnHighlighted = true;
    bar->validateVisibleItems();
    EXPECT_TRUE(bar->actionForIdentifier("EditColumn")->isEnabled());

    bar->actionForIdentifier("AddAlbum")->trigger();
    bar->actionForIdentifier("EditColumn")->trigger();
    bar->actionForIdentifier("Ancestors")->trigger();
    bar->addColumnButton()->click();
    ASSERT_EQ(reached.size(), 4u);
    EXPECT_EQ(reached[0].tag, 1007);
    EXPECT_EQ(reached[0].action, "createAlbum");
    EXPECT_EQ(reached[1].tag, 3302);
    EXPECT_EQ(reached[1].target, ToolbarItemSpec::Target::Window);
    EXPECT_EQ(reached[2].tag, 4001);
    EXPECT_EQ(reached[2].target, ToolbarItemSpec::Target::Document);
    EXPECT_EQ(reached[3].identifier, "AddColumn");
    EXPECT_EQ(reached[3].tag, 3301);
    EXPECT_EQ(reached[3].action, "editIndexColumn");
}

TEST_F(ToolbarTest, FindViewTakesTheSlotAndSurvivesRebuilds) {
    auto bar = toolbar();
    QPointer<QLineEdit> find = new QLineEdit;
    bar->setFindView(find);
    EXPECT_FALSE(bar->findField()) << "the placeholder gives way";
    IndexToolbar::saveItemIdentifiers(*defaults, {"AddAlbum"});
    bar->rebuild();
    ASSERT_TRUE(find) << "a toolbar without the find item keeps the view";
    IndexToolbar::saveItemIdentifiers(*defaults, {"TypeFindField"});
    bar->rebuild();
    ASSERT_TRUE(find);
    EXPECT_TRUE(bar->isAncestorOf(find));
    bar.reset();
    EXPECT_TRUE(find.isNull()) << "the toolbar owns it";
}

// ---- the held add-column menu

class HeldMenu : public ::testing::Test {
protected:
    void SetUp() override {
        f.open(test::people({"Ann", "Bob"}));
        f.index->setDefinedColumns(&defined);
        window.show();
        button = new AddColumnToolButton(&window);
        button->setController(f.index.get());
        button->setAddColumnCommand([this] { ++sheets; });
    }
    // The menu's items as the user sees them when holding the button.
    std::vector<QAction*> held() {
        button->showHeldMenu();
        EXPECT_TRUE(processUntil([&] { return button->addColumnMenu()->isVisible(); }));
        auto actions = button->addColumnMenu()->actions();
        return {actions.begin(), actions.end()};
    }
    void choose(QAction* item) {
        item->trigger();
        button->addColumnMenu()->close();
        QCoreApplication::processEvents();
    }

    Dictionary defined{{"INDI", Array{"view", "Record description", "NAME.surname", "Surname (family name)", "",
                                      "Custom expression"}}};
    test::IndexFixture f;
    QWidget window;
    AddColumnToolButton* button = nullptr;
    int sheets = 0;
};

TEST_F(HeldMenu, ShownColumnsAreCheckedAndChoosingOneAddsIt) {
    EXPECT_EQ(button->addColumnMenu()->title(), "Add Index Columns");
    auto items = held();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_TRUE(items[0]->isChecked()) << "the style shows \"view\"";
    EXPECT_FALSE(items[1]->isChecked());
    EXPECT_EQ(items[1]->toolTip(), "NAME.surname");
    choose(items[1]);
    const auto style = f.index->shownStyle();
    ASSERT_EQ(style->numberOfColumns(), 2u);
    EXPECT_EQ(style->columns()[1].label, "Surname");
    EXPECT_TRUE(held()[1]->isChecked()) << "the menu is refilled when it opens";
    button->addColumnMenu()->close();
}

TEST_F(HeldMenu, CustomItemOpensTheSheetAndAShownColumnAsksBeforeGoing) {
    choose(held()[2]);
    EXPECT_EQ(sheets, 1);
    choose(held()[1]);
    ASSERT_EQ(f.index->shownStyle()->numberOfColumns(), 2u);
    choose(held()[1]);
    QMessageBox* box = nullptr;
    ASSERT_TRUE(processUntil([&] {
        const auto boxes = window.findChildren<QMessageBox*>();
        box = boxes.isEmpty() ? nullptr : boxes.back();
        return box != nullptr;
    }));
    EXPECT_EQ(box->text(), "Are you sure you want to delete the 'Surname' column?");
    EXPECT_EQ(f.index->shownStyle()->numberOfColumns(), 2u);
    for (QAbstractButton* b : box->buttons())
        if (b->text() == "OK") b->click();
    EXPECT_EQ(f.index->shownStyle()->expressionColumn("NAME.surname"), -1);
    EXPECT_FALSE(held()[1]->isChecked());
    button->addColumnMenu()->close();
}

TEST_F(HeldMenu, AClickRunsTheAddColumnCommandOnly) {
    button->click();
    EXPECT_EQ(sheets, 1);
    EXPECT_FALSE(button->addColumnMenu()->isVisible());
}

}  // namespace
}  // namespace kl
