// The index window on screen: lists and records shown from the store,
// header clicks that sort and beep, column drags and resizes through the
// header, selections that follow a re-sorted record, reloads done once per
// turn of the event loop, menu validation, the album commands, the column
// deletion question, portraits, the warnings after opening, the first
// people of a new database, and the window made for each document the
// program opens (with its screenshot).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QHeaderView>
#include <QLineEdit>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QTableView>
#include <QTest>
#include <QUrl>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <filesystem>
#include <memory>

#include "app/AppController.h"
#include "app/ui/DocController.h"
#include "app/ui/ExportOptionsDialog.h"
#include "app/ui/NewFileOptions.h"
#include "app/ui/QtDispatcher.h"
#include "app/ui/QtDocumentUI.h"
#include "app/ui/UiTestSupport.h"
#include "document/RecordIdsDrag.h"
#include "index/ui/GEDCOMTextView.h"
#include "index/ui/IndexFindField.h"
#include <QScrollBar>
#include <QTextCursor>
#include "dates/DateBridge.h"
#include "document/GEDCOMDocument.h"
#include "document/IndexStyle.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/NotificationCenter.h"
#include "foundation/UserDefaults.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "index/IndexTestSupport.h"
#include "index/IndexStyleLibrary.h"
#include "index/ui/AddColumnToolButton.h"
#include "index/ui/ColumnSheet.h"
#include "index/ui/IndexToolbarWidget.h"
#include "index/ui/IndexWindow.h"
#include "index/ui/IndexWindowFixture.h"
#include "index/ui/ListsTableModel.h"
#include "index/ui/RecordsTableModel.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

using test::descendingPeople;
using test::ShowCase;

using Tag = IndexMenuValidation::Tag;

// "0 @I<n>@ INDI / 1 NAME <name>" for each name.
std::string people(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += "0 @I" + std::to_string(i + 1) + "@ INDI\n1 NAME " + names[i] + "\n";
    return text;
}

class IndexWindowTest : public test::IndexWindowFixture {
protected:
    IndexController& index() { return window->controller(); }
    QHeaderView* header() { return window->recordsTable()->horizontalHeader(); }
    void clickHeader(int section) {
        const QPoint at(header()->sectionViewportPosition(section) + header()->sectionSize(section) / 2,
                        header()->height() / 2);
        QTest::mouseClick(header()->viewport(), Qt::LeftButton, {}, at);
        settle();
    }
    std::vector<std::string> shownIDs() {
        std::vector<std::string> ids;
        for (const auto& r : index().listedRecords()) ids.push_back(r->grecordID());
        return ids;
    }
    std::vector<long> viewSelection() {
        std::vector<long> rows;
        for (const QModelIndex& i : window->recordsTable()->selectionModel()->selectedRows()) rows.push_back(i.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    QString cell(int row, int column) {
        return window->recordsModel()->data(window->recordsModel()->index(row, column)).toString();
    }
    std::vector<std::string> headerTitles() {
        std::vector<std::string> titles;
        for (int v = 0; v < header()->count(); ++v)
            titles.push_back(
                window->recordsModel()->headerData(header()->logicalIndex(v), Qt::Horizontal).toString().toStdString());
        return titles;
    }
    void selectRows(std::initializer_list<int> rows) {
        QItemSelection selection;
        for (int row : rows) selection.select(window->recordsModel()->index(row, 0), window->recordsModel()->index(row, 0));
        window->recordsTable()->selectionModel()->select(selection,
                                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    void clickListRow(long row) {
        window->listsTable()->selectionModel()->setCurrentIndex(window->listsModel()->index(static_cast<int>(row), 0),
                                                                QItemSelectionModel::ClearAndSelect);
        settle();
    }

    QtDispatcher dispatcher;
    Dispatcher::Scope scope{dispatcher};
};

// ---- sorting


class SortOnShow : public IndexWindowTest, public testing::WithParamInterface<ShowCase> {};

TEST_P(SortOnShow, TheHeaderMarksTheSortAndTheFirstRowFollowsIt) {
    const ShowCase& c = GetParam();
    open(descendingPeople(c.count));
    ASSERT_EQ(window->recordsModel()->rowCount(), c.count);
    EXPECT_EQ(header()->sortIndicatorSection(), c.sorted ? 0 : -1);
    EXPECT_TRUE(window->validateMenuTag(Tag::DeleteColumn).enabled) << "the column commands work at every size";
    EXPECT_EQ(index().listedRecords().front()->grecordID(), c.sorted ? "@I" + std::to_string(c.count) + "@" : "@I1@");
    EXPECT_TRUE(cell(0, 0).contains("00001") == c.sorted) << cell(0, 0).toStdString();
}

INSTANTIATE_TEST_SUITE_P(IndexWindow, SortOnShow,
                         testing::Values(ShowCase{"OneUnderTheLimit", 24999, true}, ShowCase{"AtTheLimit", 25000, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(IndexWindowTest, HeaderClickSortsASecondReversesAndThePortraitColumnBeeps) {
    open(people({"B", "C", "A"}));
    ASSERT_EQ(shownIDs(), (std::vector<std::string>{"@I3@", "@I1@", "@I2@"})) << "sorted by name on show";
    clickHeader(0);
    EXPECT_EQ(shownIDs(), (std::vector<std::string>{"@I2@", "@I1@", "@I3@"}));
    EXPECT_EQ(header()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_TRUE(cell(0, 0).contains("C"));
    clickHeader(0);
    EXPECT_EQ(shownIDs(), (std::vector<std::string>{"@I3@", "@I1@", "@I2@"}));
    EXPECT_EQ(header()->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(window->beeps(), 0);

    ASSERT_TRUE(window->performCommand(Tag::PortraitColumn));
    settle();
    ASSERT_EQ(window->recordsModel()->plan().portraitColumn, 0);
    clickHeader(0);
    EXPECT_EQ(window->beeps(), 1);
    EXPECT_EQ(shownIDs(), (std::vector<std::string>{"@I3@", "@I1@", "@I2@"}));
    EXPECT_EQ(header()->sortIndicatorSection(), 1) << "the arrow stays on the sorted name column";
    EXPECT_EQ(header()->sortIndicatorOrder(), Qt::AscendingOrder);
}

// ---- following the store

TEST_F(IndexWindowTest, SelectionFollowsARecordThatSortsElsewhere) {
    std::vector<std::string> names;
    for (int i = 0; i < 12; ++i) names.push_back("M" + std::to_string(10 + i));
    open(people(names));
    selectRows({5, 10});
    ASSERT_EQ(index().selectedRows(), (std::vector<long>{5, 10}));
    auto moving = index().listedRecords()[10];
    moving->findStructureWithTag("NAME")->setContents("M115");  // between rows 1 and 2
    settle();
    EXPECT_EQ(index().listedRecords()[2], moving);
    EXPECT_EQ(viewSelection(), (std::vector<long>{2, 6}));
    EXPECT_EQ(index().selectedRows(), (std::vector<long>{2, 6}));
}

TEST_F(IndexWindowTest, ManyNotificationsInOneTurnReloadEachTableOnce) {
    open(people({"A", "B", "C"}));
    QSignalSpy records(window->recordsModel(), &QAbstractItemModel::modelReset);
    QSignalSpy lists(window->listsModel(), &QAbstractItemModel::modelReset);
    for (int i = 0; i < 3; ++i) doc->gedcomModel().createNewRecordOfType("INDI", Value(true));
    for (const auto& r : index().listedRecords())
        if (auto name = r->findStructureWithTag("NAME")) name->setContents("Z" + r->grecordID());
    EXPECT_EQ(records.count(), 0) << "nothing is reloaded while the notifications arrive";
    settle();
    EXPECT_EQ(records.count(), 1);
    EXPECT_EQ(lists.count(), 1);
    EXPECT_EQ(window->recordsModel()->rowCount(), 6);
}

TEST_F(IndexWindowTest, FontsAreTakenAgainAndDatesReloadAtOnce) {
    open(people({"A", "B"}));
    const QFont before = QApplication::font();
    QFont larger = before;
    larger.setPointSizeF(before.pointSizeF() * 2);
    QApplication::setFont(larger);
    NotificationCenter::defaultCenter().post(IndexController::kSourceFontChanged, nullptr);
    settle();
    QApplication::setFont(before);
    EXPECT_EQ(window->recordsTable()->font().pointSizeF(), larger.pointSizeF());
    EXPECT_EQ(window->listsTable()->font().pointSizeF(), larger.pointSizeF());
    EXPECT_EQ(window->recordsTable()->verticalHeader()->defaultSectionSize(),
              static_cast<int>(std::lround(window->lineHeight())));

    QSignalSpy records(window->recordsModel(), &QAbstractItemModel::modelReset);
    NotificationCenter::defaultCenter().post(IndexController::kDateFormatChanged, nullptr);
    EXPECT_EQ(records.count(), 1) << "reloaded before the notification returns";
    settle();
    EXPECT_EQ(records.count(), 1);
}

TEST_F(IndexWindowTest, DeletingTheLastRecordOfTheShownTypeShowsRowZero) {
    open(people({"A"}) + "0 @N1@ NOTE only\n");
    const long noteRow = doc->gedcomModel().recordsIndex().recordTypeIndex("NOTE");
    ASSERT_GT(noteRow, 0);
    clickListRow(noteRow);
    ASSERT_EQ(index().currentType(), "NOTE");
    doc->gedcomModel().deleteRecord(doc->gedcomModel().recordWithID("@N1@"));
    settle();
    const auto& lists = doc->gedcomModel().recordsIndex().lists();
    EXPECT_EQ(window->listsModel()->rowCount(), static_cast<int>(lists.size()));
    EXPECT_EQ(window->listsTable()->currentIndex().row(), 0);
    EXPECT_EQ(window->recordsModel()->list(), lists.front());
    EXPECT_EQ(window->recordsModel()->rowCount(), static_cast<int>(lists.front()->count()));
}

// ---- menus

TEST_F(IndexWindowTest, MenuItemsAreValidatedAndRetitledThroughTheController) {
    open(people({"A", "B"}) + "0 @I9@ INDI\n1 NAME Z\n1 RESN locked\n");
    window->recordsTable()->setFocus();
    QAction deleteItem("Delete");
    deleteItem.setData(int(Tag::DeleteRecords));
    index().selectByRecordIDs(std::vector<std::string>{"@I9@"});
    window->validateAction(&deleteItem, true);
    EXPECT_FALSE(deleteItem.isEnabled());
    EXPECT_EQ(deleteItem.text(), "Delete Locked Record");

    selectRows({0, 1});
    window->validateAction(&deleteItem, true);
    EXPECT_TRUE(deleteItem.isEnabled());
    EXPECT_EQ(deleteItem.text(), "Delete 2 Records");

    window->listsTable()->setFocus();
    window->validateAction(&deleteItem, true);
    EXPECT_FALSE(deleteItem.isEnabled()) << "records are deleted only from the focused records table";

    QAction toolbarItem("Show or Hide");
    toolbarItem.setData(int(Tag::ShowHideSource));
    window->validateAction(&toolbarItem, false);
    EXPECT_EQ(toolbarItem.text(), "Show or Hide") << "toolbar items keep their titles";
}

TEST_F(IndexWindowTest, TheFileMenuComesFirstInTheProgramsWindow) {
    DocController controller(*defaults);
    IndexWindow::installWindowFactory(controller, *defaults);
    GEDCOMDocument* made = controller.newDocument();
    ASSERT_NE(made, nullptr);
    auto* shown = dynamic_cast<IndexWindow*>(controller.windowForDocument(*made));
    ASSERT_NE(shown, nullptr);
    const QList<QAction*> menus = shown->menuBar()->actions();
    ASSERT_GT(menus.size(), 1);
    EXPECT_EQ(menus.front()->text(), "&File");
}

// ---- columns through the header

class ColumnsTest : public IndexWindowTest {
protected:
    // Style columns A B C, then the filler at table place 3.
    void SetUp() override {
        IndexWindowTest::SetUp();
        auto style = styles->indexStyleForType("INDI", nullptr);
        style->setProperties(Dictionary{{"Label", "A"}}, 0);
        style->addColumn(Dictionary{{"Label", "B"}, {"Expression", "id"}});
        style->addColumn(Dictionary{{"Label", "C"}, {"Expression", "rec"}});
        open(people({"P", "Q"}));
    }
    std::vector<std::string> labels() { return index().shownStyle()->label(); }
    bool inTableOrder() {
        for (int v = 0; v < header()->count(); ++v)
            if (header()->logicalIndex(v) != v) return false;
        return true;
    }
    void drag(int from, int to) {
        header()->moveSection(from, to);
        settle();
    }
};

TEST_F(ColumnsTest, DraggedColumnsMoveInTheStyleAndTheFillerSpringsBack) {
    drag(3, 1);
    EXPECT_EQ(labels(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_TRUE(inTableOrder()) << "the filler went back";
    drag(0, 3);
    EXPECT_EQ(labels(), (std::vector<std::string>{"B", "C", "A"})) << "dropped after the filler: just before it";
    EXPECT_EQ(headerTitles(), (std::vector<std::string>{"B", "C", "A", ""}));
    drag(0, 1);
    EXPECT_EQ(labels(), (std::vector<std::string>{"C", "B", "A"})) << "the next drag is not ignored";
    EXPECT_EQ(headerTitles(), (std::vector<std::string>{"C", "B", "A", ""}));
    EXPECT_TRUE(inTableOrder());
}

TEST_F(ColumnsTest, ResizingStoresTheWidthAndAPortraitColumnSetsTheRowHeight) {
    header()->resizeSection(1, 150);
    EXPECT_EQ(index().shownStyle()->widthForColumn(1), 150);
    window->performCommand(Tag::PortraitColumn);
    settle();
    ASSERT_EQ(window->recordsModel()->plan().portraitColumn, 0);
    header()->resizeSection(0, 64);
    EXPECT_EQ(window->recordsTable()->verticalHeader()->defaultSectionSize(), 64);
}

TEST_F(ColumnsTest, DeletingAColumnAsksFirst) {
    clickHeader(1);
    ASSERT_EQ(index().highlightedColumn(), 1);
    auto answer = [this](const char* button) {
        window->performCommand(Tag::DeleteColumn);
        const auto boxes = window->findChildren<QMessageBox*>();
        ASSERT_EQ(boxes.size(), 1);
        QPointer<QMessageBox> box = boxes.front();
        EXPECT_EQ(box->text(), "Are you sure you want to delete the 'B' column?");
        EXPECT_EQ(box->informativeText(), "The column deletion cannot be undone");
        for (QAbstractButton* b : box->buttons())
            if (b->text() == button) b->click();
        EXPECT_TRUE(test::processUntil([&] { return box.isNull(); }));
        settle();
    };
    answer("Cancel");
    EXPECT_EQ(labels(), (std::vector<std::string>{"A", "B", "C"}));
    answer("OK");
    EXPECT_EQ(labels(), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(headerTitles(), (std::vector<std::string>{"A", "C", ""}));
}

TEST_F(ColumnsTest, ChoosingAShownPredefinedColumnAsksToDeleteIt) {
    ASSERT_FALSE(window->addColumnItems().empty());
    const AddColumnItem id{"Record ID", "id", true};
    window->choosePredefinedColumn(id);
    const auto boxes = window->findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.front()->text(), "Are you sure you want to delete the 'B' column?");
    for (QAbstractButton* b : boxes.front()->buttons())
        if (b->text() == "OK") b->click();
    settle();
    EXPECT_EQ(labels(), (std::vector<std::string>{"A", "C"}));
}

// ---- the toolbar and the column sheet

TEST_F(ColumnsTest, ToolbarItemsRunTheWindowsCommandsAndFollowItsState) {
    IndexToolbarWidget* toolbar = window->toolbar();
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(toolbar->itemIdentifiers(), IndexToolbar::toolbarDefaultItemIdentifiers());
    QAction* deleteAlbum = toolbar->actionForIdentifier("DeleteAlbum");
    ASSERT_NE(deleteAlbum, nullptr);
    EXPECT_FALSE(deleteAlbum->isEnabled()) << "no album shown";
    toolbar->actionForIdentifier("AddAlbum")->trigger();
    settle();
    EXPECT_TRUE(index().isDisplayingAnAlbum());
    EXPECT_TRUE(deleteAlbum->isEnabled());
    deleteAlbum->trigger();
    settle();
    EXPECT_FALSE(index().isDisplayingAnAlbum());
    EXPECT_FALSE(deleteAlbum->isEnabled());
}

TEST_F(ColumnsTest, EditColumnOpensTheSheetOnTheHighlightedColumn) {
    clickHeader(2);
    window->toolbar()->actionForIdentifier("EditColumn")->trigger();
    ColumnSheet* sheet = window->columnSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet->columnName()->text(), "C");
    sheet->columnName()->setText("Kind");
    sheet->okButton()->click();
    settle();
    EXPECT_EQ(labels(), (std::vector<std::string>{"A", "B", "Kind"}));
    EXPECT_EQ(headerTitles(), (std::vector<std::string>{"A", "B", "Kind", ""}));
}

TEST_F(ColumnsTest, TheAddColumnMenuChecksTheShownColumnsAndAsksBeforeRemovingOne) {
    AddColumnToolButton* button = window->toolbar()->addColumnButton();
    ASSERT_NE(button, nullptr);
    QAction* shownItem = nullptr;
    for (QAction* action : button->addColumnMenu()->actions())
        if (action->toolTip() == "rec") shownItem = action;
    ASSERT_NE(shownItem, nullptr) << "the built-in list offers the record type";
    EXPECT_TRUE(shownItem->isChecked());
    shownItem->trigger();
    settle();
    const auto boxes = window->findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.front()->text(), "Are you sure you want to delete the 'C' column?");
    for (QAbstractButton* b : boxes.front()->buttons())
        if (b->text() == "OK") b->click();
    settle();
    EXPECT_EQ(labels(), (std::vector<std::string>{"A", "B"}));
    for (QAction* action : button->addColumnMenu()->actions()) {
        if (action->toolTip() == "rec") {
            EXPECT_FALSE(action->isChecked()) << "the menu follows the style";
        }
    }
}

// ---- albums and records

TEST_F(IndexWindowTest, AlbumsAreAddedRenamedInPlaceAndDeleted) {
    open(people({"A", "B"}));
    const int before = window->listsModel()->rowCount();
    window->performCommand(Tag::CreateAlbum);
    settle();
    ASSERT_EQ(window->listsModel()->rowCount(), before + 1);
    EXPECT_EQ(window->listsTable()->currentIndex().row(), before);
    ASSERT_TRUE(index().isDisplayingAnAlbum());
    const QModelIndex albumRow = window->listsModel()->index(before, 0);
    EXPECT_TRUE(window->listsModel()->flags(albumRow) & Qt::ItemIsEditable);
    EXPECT_FALSE(window->listsModel()->flags(window->listsModel()->index(0, 0)) & Qt::ItemIsEditable);
    ASSERT_TRUE(window->listsModel()->setData(albumRow, "Trips"));
    EXPECT_EQ(index().currentList()->name(), "Trips");
    doc->undo().undo();
    settle();
    EXPECT_EQ(window->listsModel()->data(albumRow).toString(), "New Album");

    window->performCommand(Tag::DeleteAlbum);
    settle();
    EXPECT_EQ(window->listsModel()->rowCount(), before);
    EXPECT_EQ(window->listsTable()->currentIndex().row(), before - 1);
}

TEST_F(IndexWindowTest, OpeningARecordOpensNothingUntilTheRecordBrowserExists) {
    open(people({"A", "B"}));
    window->activateWindow();
    selectRows({1});
    window->recordsTable()->setFocus();
    QTest::keyClick(window->recordsTable(), Qt::Key_Return);
    settle();
    EXPECT_EQ(window->documentWindows().windowControllers().size(), 1u);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "and says nothing";
    EXPECT_EQ(window->documentWindows().findWindowController(static_cast<QWidget*>(window.get())), &index());
    EXPECT_EQ(window->documentWindows().indexController(), &index());
}

TEST_F(IndexWindowTest, SplitPositionsAreKeptForTheNextWindow) {
    open(people({"A"}));
    window->resize(900, 600);
    window->verticalSplit()->setSizes({300, 600});
    window.reset();
    auto second = std::make_unique<GEDCOMDocument>();
    window = std::make_unique<IndexWindow>(*second, styles, *defaults);
    window->resize(900, 600);
    window->show();
    settle();
    EXPECT_EQ(window->verticalSplit()->sizes().front(), 300);
    window.reset();
}

// ---- portraits

TEST_F(IndexWindowTest, ThePortraitColumnShowsThumbnailsAndImageFilesFittedToIt) {
    auto picture = [](int width, int height, const char* format) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    };
    const auto file = root() / "tall.png";
    {
        const QByteArray bytes = picture(40, 80, "PNG");
        std::ofstream(file, std::ios::binary).write(bytes.constData(), bytes.size());
    }
    open("0 @I1@ INDI\n1 NAME A\n1 OBJE @O1@\n0 @I2@ INDI\n1 NAME B\n1 OBJE @O2@\n"
         "0 @I3@ INDI\n1 NAME C\n0 @I4@ INDI\n1 NAME D\n1 OBJE @O3@\n"
         "0 @O1@ OBJE\n1 FILE nowhere.png\n0 @O2@ OBJE\n1 FILE " + file.string() + "\n"
         "0 @O3@ OBJE\n1 FILE missing.png\n");
    const QByteArray wide = picture(100, 50, "PNG");
    doc->setThumbnail(std::string(wide.constData(), static_cast<std::size_t>(wide.size())), "@O1@");
    window->performCommand(Tag::PortraitColumn);
    settle();
    ASSERT_EQ(window->recordsModel()->plan().portraitColumn, 0);
    auto pictureOf = [this](const std::string& id) {
        const auto& order = index().listedRecords();
        for (std::size_t row = 0; row < order.size(); ++row)
            if (order[row]->grecordID() == id)
                return window->recordsModel()->data(window->recordsModel()->index(static_cast<int>(row), 0),
                                                    Qt::DecorationRole).value<QPixmap>();
        return QPixmap();
    };
    struct Case {
        const char* id;
        QSize size;
    } cases[] = {{"@I1@", {50, 25}},   // the stored thumbnail
                 {"@I2@", {25, 50}},   // the image file
                 {"@I3@", {0, 0}},     // no portrait
                 {"@I4@", {0, 0}}};    // a file found nowhere
    for (const Case& c : cases) EXPECT_EQ(pictureOf(c.id).size(), c.size) << c.id;
    EXPECT_FALSE(window->recordsModel()->data(window->recordsModel()->index(0, 0)).isValid()) << "no text";

    header()->resizeSection(0, 80);
    EXPECT_EQ(pictureOf("@I1@").size(), QSize(80, 40)) << "a wider column fits the pictures again";
}

// ---- warnings after opening

struct Shown {
    std::string text, information;
    std::vector<std::string> buttons;
};

// Waits for the window's one alert sheet, notes it and presses `button`
// (empty: its only button).
Shown answerAlert(QWidget* window, const QString& button = {}) {
    Shown shown;
    QPointer<QMessageBox> box;
    if (!test::processUntil([&] {
            const auto boxes = window->findChildren<QMessageBox*>();
            if (boxes.size() == 1 && boxes.front()->isVisible()) box = boxes.front();
            return !box.isNull();
        })) {
        ADD_FAILURE() << "no alert";
        return shown;
    }
    shown.text = box->text().toStdString();
    shown.information = box->informativeText().toStdString();
    const auto buttons = box->buttons();
    for (QAbstractButton* b : buttons) shown.buttons.push_back(b->text().remove('&').toStdString());
    for (QAbstractButton* b : buttons)
        if (button.isEmpty() || b->text().remove('&') == button) {
            b->click();
            break;
        }
    EXPECT_TRUE(test::processUntil([&] { return box.isNull(); }));
    return shown;
}

TEST_F(IndexWindowTest, FlawedRecordsAndTheReadMessageAreToldInTurnOnceTheWindowIsUp) {
    doc = std::make_unique<GEDCOMDocument>();
    doc->undo().disableUndoRegistration();
    doc->gedcomModel().setInputGed("0 HEAD\n1 CHAR UTF-8\n" + people({"A", "B"}) + "0 @I1@ INDI\n1 NAME C\n0 TRLR\n");
    doc->gedcomModel().setRecordsFromStringVerifyIDs(true, false);
    doc->undo().enableUndoRegistration();
    doc->setReadWriteMessage(std::string("Changes: added Submitter"));
    window = std::make_unique<IndexWindow>(*doc, styles, *defaults);
    EXPECT_TRUE(window->findChildren<QMessageBox*>().isEmpty()) << "nothing is said before the window is up";
    window->show();

    const Shown flaws = answerAlert(window.get());
    EXPECT_EQ(flaws.text, "This file has flaws in the GEDCOM Data");
    EXPECT_EQ(flaws.information, "The 'Corrupted Records' item lists GEDCOM records with flawed data.");
    EXPECT_EQ(index().currentType(), RecordsIndices::kCorrupted);
    EXPECT_EQ(window->listsTable()->currentIndex().row(), doc->gedcomModel().recordsIndex().corruptedIndex());
    const Shown added = answerAlert(window.get());
    EXPECT_EQ(added.text, "Some required or requested GEDCOM elements were added to the file");
    EXPECT_EQ(added.information, "Changes: added Submitter");
    settle();
    EXPECT_TRUE(window->findChildren<QMessageBox*>().isEmpty()) << "a file from our own program is not questioned";
}

TEST_F(IndexWindowTest, AFileImportedFromOtherSoftwareIsOfferedValidation) {
    AppController::initialize(*defaults);
    DocController controller(*defaults);
    IndexWindow::installWindowFactory(controller, *defaults);
    const auto file = root() / "elsewhere.ged";
    {
        std::ofstream out(file, std::ios::binary);
        out << "0 HEAD\n1 SOUR OTHERPROG\n1 CHAR UTF-8\n1 SUBM @U1@\n0 @U1@ SUBM\n1 NAME U\n"
               "0 @I1@ INDI\n1 NAME Ann /Smith/\n0 TRLR\n";
    }
    std::string error;
    GEDCOMDocument* opened = controller.openDocument(file, &error);
    ASSERT_NE(opened, nullptr) << error;
    QWidget* shown = controller.windowForDocument(*opened);
    EXPECT_EQ(shown->windowTitle(), "Untitled (from elsewhere)[*]");
    const Shown alert = answerAlert(shown, "Validate Now");
    EXPECT_EQ(alert.text, "Do you want to validate this imported GEDCOM data?");
    EXPECT_EQ(alert.information,
              "Whenever you import GEDCOM data from an unknown source, it is a good idea to validate the data to "
              "check for errors");
    EXPECT_EQ(alert.buttons, (std::vector<std::string>{"Validate Now", "Validate Later"}));
    settle();
    EXPECT_TRUE(shown->findChildren<QMessageBox*>().isEmpty());
}

// ---- a new database

// The new-file sheet once it is up on the window; nullptr when none came.
NewFileOptions* newFileSheetOf(QWidget* window) {
    NewFileOptions* sheet = nullptr;
    test::processUntil([&] {
        const auto sheets = window->findChildren<NewFileOptions*>();
        if (sheets.size() == 1 && sheets.front()->isVisible()) sheet = sheets.front();
        return sheet != nullptr;
    });
    return sheet;
}

TEST_F(IndexWindowTest, ANewDatabaseAsksForItsFirstPeople) {
    struct Case {
        const char* name;
        bool ok;
        std::size_t people;
    } cases[] = {{"OK", true, 2}, {"EmptyFile", false, 0}};
    AppController::initialize(*defaults);
    DocController controller(*defaults);
    IndexWindow::installWindowFactory(controller, *defaults);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GEDCOMDocument* made = controller.newDocument();
        ASSERT_NE(made, nullptr);
        auto* shown = dynamic_cast<IndexWindow*>(controller.windowForDocument(*made));
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(shown->findChildren<NewFileOptions*>().isEmpty()) << "asked once the window is up";
        QPointer<NewFileOptions> sheet = newFileSheetOf(shown);
        ASSERT_FALSE(sheet.isNull());
        if (c.ok) {
            sheet->person1()->setText("Jan /Novak/");
            sheet->person2()->setText("Eva /Novak/");
            sheet->okButton()->click();
        } else {
            sheet->emptyFile()->click();
        }
        EXPECT_TRUE(test::processUntil([&] { return sheet.isNull(); }));
        settle();
        EXPECT_EQ(made->gedcomModel().numberOfType("INDI"), c.people);
        if (c.ok) {
            EXPECT_EQ(shown->controller().currentType(), "INDI");
            EXPECT_EQ(shown->listsTable()->currentIndex().row(), 0);
            EXPECT_EQ(shown->recordsModel()->rowCount(), 2);
            EXPECT_EQ(made->gedcomModel().numberOfType("FAM"), 1u);
        }
    }
    // A database read from a file is not asked, even without people.
    open("0 @N1@ NOTE n\n");
    settle();
    EXPECT_TRUE(window->findChildren<NewFileOptions*>().isEmpty());
}

// A date the engine cannot read keeps the sheet up with its reason; once
// mended, OK makes the people with the date as typed.
TEST_F(IndexWindowTest, TheNewFileSheetKeepsADateItCannotReadAndSaysWhy) {
    struct Case {
        const char* name;
        bool death;
        const char* typed;
        const char* message;  // nullptr: whatever the engine says
        const char* mended;
    } cases[] = {{"DeathDayTooLarge", true, "31 feb 1920", "The day number is too large for that month.", "28 FEB 1920"},
                 {"BirthWithQuestionMark", false, "1930?", nullptr, "ABT 1930"}};
    AppController::initialize(*defaults);
    DocController controller(*defaults);
    IndexWindow::installWindowFactory(controller, *defaults);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GEDCOMDocument* made = controller.newDocument();
        ASSERT_NE(made, nullptr);
        auto* shown = dynamic_cast<IndexWindow*>(controller.windowForDocument(*made));
        ASSERT_NE(shown, nullptr);
        QPointer<NewFileOptions> sheet = newFileSheetOf(shown);
        ASSERT_FALSE(sheet.isNull());
        QLineEdit* field = c.death ? sheet->died1() : sheet->born1();
        sheet->person1()->setText("Jan /Novak/");
        QTest::keyClicks(field, c.typed);
        sheet->okButton()->click();
        settle();
        ASSERT_FALSE(sheet.isNull());
        EXPECT_TRUE(sheet->isVisible());
        EXPECT_TRUE(sheet->dateMessage()->isVisible());
        bool valid = true;
        const std::string reason = validateDateString(c.typed, valid);
        EXPECT_FALSE(valid);
        EXPECT_EQ(sheet->dateMessage()->text().toStdString(), c.message ? c.message : reason);
        EXPECT_EQ(field->selectedText().toStdString(), c.typed) << "the field is selected for mending";
        EXPECT_EQ(made->gedcomModel().numberOfType("INDI"), 0u) << "nothing made yet";

        field->setText(c.mended);
        sheet->okButton()->click();
        EXPECT_TRUE(test::processUntil([&] { return sheet.isNull(); }));
        settle();
        ASSERT_EQ(made->gedcomModel().numberOfType("INDI"), 1u);
        const std::string source = made->gedcomModel().firstRecordOfType("INDI")->gedcomString();
        EXPECT_NE(source.find(std::string(c.death ? "1 DEAT\n2 DATE " : "1 BIRT\n2 DATE ") + c.mended), std::string::npos)
            << source;
    }
}

// ---- the program's window for a database, with its screenshot

TEST_F(IndexWindowTest, TheSampleDatabaseShowsItsListsAndRecords) {
    // The program's registered defaults carry the bundled column styles, so
    // the window shows what a user sees at first launch.
    AppController::initialize(*defaults);
    DocController controller(*defaults);
    IndexWindow::installWindowFactory(controller, *defaults);
    const auto sample = shipped() / "KinloreIIAppSupport" / "Radavizu" / "Brennow.gedpkg";
    std::string error;
    GEDCOMDocument* opened = controller.openDocument(sample, &error);
    ASSERT_NE(opened, nullptr) << error;
    auto* shown = dynamic_cast<IndexWindow*>(controller.windowForDocument(*opened));
    ASSERT_NE(shown, nullptr);
    shown->resize(1000, 640);
    settle();
    EXPECT_EQ(shown->listsModel()->rowCount(), static_cast<int>(opened->gedcomModel().recordsIndex().count()));
    EXPECT_GT(shown->listsModel()->rowCount(), 1);
    ASSERT_GT(shown->recordsModel()->rowCount(), 0);
    EXPECT_FALSE(shown->recordsModel()->data(shown->recordsModel()->index(0, 0)).toString().isEmpty());
    EXPECT_GT(shown->recordsModel()->columnCount(), 2) << "the bundled individual columns";
    EXPECT_TRUE(shown->findChildren<QMessageBox*>().isEmpty()) << "a sound package opens without a word";

    const auto path = std::filesystem::path(KL_BINARY_DIR) / "index-window.png";
    EXPECT_TRUE(shown->grab().save(QString::fromStdString(path.string())));
    EXPECT_TRUE(std::filesystem::exists(path));
}

// ---- the sample database as a user works with it

class SampleWindowTest : public IndexWindowTest {
protected:
    void SetUp() override {
        IndexWindowTest::SetUp();
        AppController::initialize(*defaults);
        controller = std::make_unique<DocController>(*defaults);
        IndexWindow::installWindowFactory(*controller, *defaults);
        // Reads and saves wait behind the program's own progress panel.
        controller->setProgressUI(&progress);
        DocController::Prompts prompts;
        prompts.alert = [](const QString& message, const QString& information) {
            ADD_FAILURE() << message.toStdString() << " | " << information.toStdString();
        };
        controller->setPrompts(prompts);
        // A copy, so saving never touches the shipped one.
        sample = root() / "Brennow.gedpkg";
        std::filesystem::copy(shipped() / "KinloreIIAppSupport" / "Radavizu" / "Brennow.gedpkg", sample,
                              std::filesystem::copy_options::recursive);
    }
    void TearDown() override {
        controller.reset();
        IndexWindowTest::TearDown();
    }
    IndexWindow* openSample() {
        std::string error;
        GEDCOMDocument* opened = controller->openDocument(sample, &error);
        EXPECT_NE(opened, nullptr) << error;
        if (!opened) return nullptr;
        auto* shown = dynamic_cast<IndexWindow*>(controller->windowForDocument(*opened));
        settle();
        return shown;
    }
    // Runs a menu item of the window's menu bar as a click on it does:
    // validated when its menu opens, then triggered.
    static void chooseMenuItem(IndexWindow* shown, const QString& menuTitle, const QString& item) {
        for (QAction* menu : shown->menuBar()->actions()) {
            if (!menu->menu() || menu->text() != menuTitle) continue;
            emit menu->menu()->aboutToShow();
            for (QAction* action : menu->menu()->actions()) {
                if (action->text() != item) continue;
                ASSERT_TRUE(action->isEnabled()) << item.toStdString();
                action->trigger();
                settle();
                return;
            }
        }
        ADD_FAILURE() << "no menu item " << menuTitle.toStdString() << " > " << item.toStdString();
    }
    static void showList(IndexWindow* shown, const std::string& type) {
        const long row = shown->document().gedcomModel().recordsIndex().recordTypeIndex(type);
        ASSERT_GE(row, 0) << type;
        QTableView* lists = shown->listsTable();
        const QRect cell = lists->visualRect(shown->listsModel()->index(static_cast<int>(row), 0));
        QTest::mouseClick(lists->viewport(), Qt::LeftButton, {}, cell.center());
        settle();
    }
    static void clickRecordRow(IndexWindow* shown, int row) {
        QTableView* records = shown->recordsTable();
        records->scrollTo(shown->recordsModel()->index(row, 0));
        const QRect cell = records->visualRect(shown->recordsModel()->index(row, 0));
        QTest::mouseClick(records->viewport(), Qt::LeftButton, {}, cell.center());
        settle();
    }
    // The record of the highlighted row, and the ID the source pane shows.
    static std::string highlightedID(IndexWindow* shown) {
        const QModelIndexList rows = shown->recordsTable()->selectionModel()->selectedRows();
        if (rows.size() != 1) return {};
        const auto listed = shown->controller().listedRecords();
        return listed.at(static_cast<std::size_t>(rows.front().row()))->grecordID();
    }
    static std::string paneID(IndexWindow* shown) {
        const QString text = shown->sourcePane()->toPlainText();
        const qsizetype at = text.indexOf('@');
        const qsizetype end = at < 0 ? -1 : text.indexOf('@', at + 1);
        return end < 0 ? std::string() : text.mid(at, end - at + 1).toStdString();
    }

    QtDocumentUI progress;
    std::unique_ptr<DocController> controller;
    std::filesystem::path sample;
};

// An album made with the Albums menu comes back after Save and reopening
// with its name, its records in their order and its place in the lists,
// empty or not.
TEST_F(SampleWindowTest, AnAlbumIsListedAgainWithItsRecordsAfterSaveAndReopen) {
    struct Case {
        const char* name;
        std::vector<std::size_t> people;  // indexes into the sample's people
    } cases[] = {{"TwoRecords", {2, 0}}, {"Empty", {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IndexWindow* shown = openSample();
        ASSERT_NE(shown, nullptr);
        GEDCOMDocument* document = &shown->document();
        const auto people = document->gedcomModel().recordsOfType("INDI");
        ASSERT_GE(people.size(), 3u);
        chooseMenuItem(shown, "&Albums", "Add Album");
        ASSERT_TRUE(shown->controller().isDisplayingAnAlbum());
        const auto album = shown->controller().currentList();
        const int albumRow = shown->listsTable()->currentIndex().row();
        const QString name = QString("Trip ") + c.name;
        ASSERT_TRUE(shown->listsModel()->setData(shown->listsModel()->index(albumRow, 0), name));
        for (std::size_t person : c.people) album->addRecordToAlbum(people[person]);
        settle();
        ASSERT_EQ(shown->recordsModel()->rowCount(), static_cast<int>(c.people.size()));
        std::vector<std::string> saved;
        for (const auto& record : album->albumRecords()) saved.push_back(record->grecordID());
        // An album's columns of its own go with it.
        shown->choosePredefinedColumn({"Record ID", "id", false});
        settle();
        const auto columns = shown->controller().shownStyle()->label();

        ASSERT_TRUE(controller->saveDocument(*document));
        ASSERT_TRUE(controller->closeDocument(*document));
        settle();
        IndexWindow* reopened = openSample();
        ASSERT_NE(reopened, nullptr);
        const auto& index = reopened->document().gedcomModel().recordsIndex();
        const auto again = index.userAlbumNamed(name.toStdString());
        ASSERT_NE(again, nullptr) << "the album is listed again";
        std::vector<std::string> ids;
        for (const auto& record : again->albumRecords()) ids.push_back(record->grecordID());
        EXPECT_EQ(ids, saved);
        EXPECT_EQ(reopened->listsModel()->data(reopened->listsModel()->index(albumRow, 0)).toString(), name)
            << "in its place in the lists table";
        showList(reopened, again->recordType());
        EXPECT_EQ(reopened->controller().shownStyle()->label(), columns);
        ASSERT_TRUE(controller->closeDocument(reopened->document()));
        settle();
    }
}

TEST_F(SampleWindowTest, TheSourcePaneShowsTheHighlightedRecordWhateverTheColumnsDo) {
    IndexWindow* shown = openSample();
    ASSERT_NE(shown, nullptr);
    if (!shown->sourceShown()) chooseMenuItem(shown, "&View", "Show Source Editor");
    ASSERT_TRUE(shown->sourceShown());
    showList(shown, "INDI");
    ASSERT_GT(shown->recordsModel()->rowCount(), 5);
    clickRecordRow(shown, 3);
    const std::string picked = highlightedID(shown);
    ASSERT_FALSE(picked.empty());
    EXPECT_EQ(paneID(shown), picked);

    struct Step {
        const char* name;
        std::function<void()> act;
    } steps[] = {
        {"RemoveTheSortColumn",
         [&] {
             ASSERT_GE(shown->controller().highlightedColumn(), 0);
             chooseMenuItem(shown, "&Columns", "Delete Column");
             answerAlert(shown, "OK");
             settle();
         }},
        {"AddAColumn", [&] { shown->choosePredefinedColumn({"Record ID", "id", false}); settle(); }},
        {"SortByAnotherColumn",
         [&] {
             // The column just added, left of the filler.
             QHeaderView* h = shown->recordsTable()->horizontalHeader();
             const int added = h->logicalIndex(h->count() - 2);
             QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                               QPoint(h->sectionViewportPosition(added) + h->sectionSize(added) / 2, h->height() / 2));
             settle();
         }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        EXPECT_EQ(highlightedID(shown), picked) << "the selection follows its record";
        EXPECT_EQ(paneID(shown), picked) << "and the pane shows it";
    }

    // Another list, and an empty album, show what they select: nothing.
    chooseMenuItem(shown, "&Albums", "Add Album");
    EXPECT_TRUE(shown->recordsTable()->selectionModel()->selectedRows().isEmpty());
    EXPECT_TRUE(shown->sourcePane()->toPlainText().isEmpty());
    showList(shown, "FAM");
    EXPECT_EQ(paneID(shown), highlightedID(shown));
}

// The Places list names each place, and reversed, with its screenshot.
TEST_F(SampleWindowTest, ThePlacesListShowsEachPlacesName) {
    IndexWindow* shown = openSample();
    ASSERT_NE(shown, nullptr);
    shown->resize(1000, 640);
    showList(shown, "_PLC");
    ASSERT_EQ(shown->controller().currentType(), "_PLC");
    RecordsTableModel* model = shown->recordsModel();
    ASSERT_GT(model->rowCount(), 0);
    const std::vector<std::string> titles{model->headerData(0, Qt::Horizontal).toString().toStdString(),
                                          model->headerData(1, Qt::Horizontal).toString().toStdString()};
    ASSERT_EQ(titles, (std::vector<std::string>{"Place", "Reversed"}));
    bool found = false;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QString place = model->data(model->index(row, 0)).toString();
        EXPECT_FALSE(place.startsWith("Record ID") || place.startsWith("Place ID")) << place.toStdString();
        if (place == "Radavizu, Lower Vessmark, Vessland") {
            found = true;
            EXPECT_EQ(model->data(model->index(row, 1)).toString(), "Vessland, Lower Vessmark, Radavizu");
        }
    }
    EXPECT_TRUE(found);
    settle();
    const auto path = std::filesystem::path(KL_BINARY_DIR) / "index-window-places.png";
    EXPECT_TRUE(shown->grab().save(QString::fromStdString(path.string())));
}

// File > Export > GEDCOM File... (Ctrl+Shift+E): the options sheet, the
// save panel, the export on a worker; the file reads back with the same
// records.
TEST_F(SampleWindowTest, FileExportGEDCOMFileWritesAFileThatReadsBack) {
    IndexWindow* shown = openSample();
    ASSERT_NE(shown, nullptr);
    auto countsOf = [](GEDCOMDocument& document) {
        std::map<std::string, std::size_t> counts;
        for (const auto& list : document.gedcomModel().recordsIndex().lists())
            if (list->listType() != ListUserDefinedType) counts[list->recordType()] = list->count();
        return counts;
    };
    const auto before = countsOf(shown->document());
    QAction* exportGEDCOM = nullptr;
    for (QAction* top : shown->menuBar()->actions())
        if (top->menu() && top->menu()->title() == "&File")
            for (QAction* item : top->menu()->actions())
                if (item->menu() && item->menu()->title() == "Export")
                    for (QAction* sub : item->menu()->actions())
                        if (sub->text() == "GEDCOM File...") exportGEDCOM = sub;
    ASSERT_NE(exportGEDCOM, nullptr);
    EXPECT_EQ(exportGEDCOM->shortcut(), QKeySequence("Ctrl+Shift+E"));
    exportGEDCOM->trigger();
    settle();
    const auto sheets = shown->findChildren<ExportOptionsDialog*>();
    ASSERT_EQ(sheets.size(), 1);
    ExportOptionsDialog* sheet = sheets.front();
    sheet->charSetMenu()->setCurrentIndex(sheet->charSetMenu()->findText("ANSEL"));
    sheet->lineEndingMenu()->setCurrentIndex(2);
    sheet->exportStyle()->button(3)->click();
    sheet->adjustSize();
    settle();
    const auto shot = std::filesystem::path(KL_BINARY_DIR) / "export-options.png";
    EXPECT_TRUE(sheet->grab().save(QString::fromStdString(shot.string())));
    sheet->okButton()->click();
    settle();
    const auto panels = shown->findChildren<QFileDialog*>();
    ASSERT_EQ(panels.size(), 1);
    EXPECT_EQ(panels.front()->windowTitle(), "Select name for exported GEDCOM file");
    const auto path = root() / "Brennow-export.ged";
    // Typed into the panel's name field, as a user does.
    auto* name = panels.front()->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    name->setText(QString::fromStdString(path.string()));
    static_cast<QDialog*>(panels.front())->accept();
    ASSERT_TRUE(test::spinUntil([&] { return std::filesystem::exists(path); }));
    settle();
    for (auto* box : shown->findChildren<QMessageBox*>())
        ADD_FAILURE() << box->text().toStdString() << " | " << box->informativeText().toStdString();
    settle();
    EXPECT_EQ(shown->document().readWriteStatus(), GEDCOMDocument::Done);
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(bytes.find("1 CHAR ANSEL\r\n"), std::string::npos);

    std::string error;
    GEDCOMDocument* reopened = controller->openDocument(path, &error);
    ASSERT_NE(reopened, nullptr) << error;
    EXPECT_EQ(countsOf(*reopened), before);
}

// However large the last window was made, File > New opens each new
// window on the screen's free area.
TEST_F(SampleWindowTest, NewWindowsAfterAMaximisedOneStayOnTheScreen) {
    IndexWindow* first = openSample();
    ASSERT_NE(first, nullptr);
    const QRect free = first->screen()->availableGeometry();
    first->setGeometry(free);  // maximised by the user
    settle();
    QMainWindow* front = first;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        QAction* item = nullptr;
        for (QAction* menu : front->menuBar()->actions())
            if (menu->menu() && menu->text() == "&File")
                for (QAction* action : menu->menu()->actions())
                    if (action->text() == "&New") item = action;
        ASSERT_NE(item, nullptr);
        const std::size_t before = controller->documents().size();
        item->trigger();
        ASSERT_TRUE(test::processUntil([&] { return controller->documents().size() == before + 1; }));
        front = controller->windowForDocument(*controller->documents().back());
        ASSERT_NE(front, nullptr);
        EXPECT_TRUE(free.contains(front->frameGeometry())) << "frame and all"
            << front->geometry().x() << "," << front->geometry().y() << " " << front->geometry().width() << "x"
            << front->geometry().height();
    }
}


// ---- the source pane and the find field, typed into

TEST_F(IndexWindowTest, TheEmptyPaneBeepsAtTypingAndCtrlReturnBeepsWithoutARecord) {
    open(people({"Ann /Apple/", "Bea /Birch/"}));
    window->showGEDCOMEditor(true);
    GEDCOMTextView* pane = window->sourcePane();
    window->recordsTable()->selectAll();
    settle();
    EXPECT_EQ(index().sourceChanged(), IndexController::SourceNone);
    int beeps = window->beeps();
    pane->setFocus();
    QTest::keyClicks(pane, "x");
    EXPECT_EQ(window->beeps(), beeps + 1);
    EXPECT_TRUE(pane->toPlainText().isEmpty());

    window->recordsTable()->clearSelection();
    settle();
    beeps = window->beeps();
    QTest::keyClick(pane, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(window->beeps(), beeps + 1);

    // A record shown: Tab beeps instead of going into the text.
    window->recordsTable()->selectRow(0);
    settle();
    ASSERT_EQ(index().sourceChanged(), IndexController::SourceShown);
    const QString shownText = pane->toPlainText();
    beeps = window->beeps();
    QTest::keyClick(pane, Qt::Key_Tab);
    EXPECT_EQ(window->beeps(), beeps + 1);
    EXPECT_EQ(pane->toPlainText(), shownText);
    EXPECT_EQ(index().sourceChanged(), IndexController::SourceShown);
}

TEST_F(IndexWindowTest, HidingAndShowingThePaneKeepsItsShareOfTheSplit) {
    open(people({"Ann /Apple/"}));
    window->resize(900, 700);
    window->showGEDCOMEditor(true);
    settle();
    QSplitter* split = window->recordsSplit();
    const int whole = split->sizes().value(0) + split->sizes().value(1);
    split->setSizes({whole - whole * 4 / 10, whole * 4 / 10});
    settle();
    window->performCommand(Tag::ShowHideSource);
    EXPECT_FALSE(window->sourceShown());
    EXPECT_FALSE(defaults->boolForKey(IndexWindow::kShowSourceEditor));
    window->performCommand(Tag::ShowHideSource);
    settle();
    ASSERT_TRUE(window->sourceShown());
    EXPECT_TRUE(defaults->boolForKey(IndexWindow::kShowSourceEditor));
    const double share = static_cast<double>(split->sizes().value(1)) / (split->height() - split->handleWidth());
    EXPECT_NEAR(share, 0.4, 0.02);
}

TEST_F(IndexWindowTest, TheFindFieldCompletesDeletesTheTailAndOpensOnReturn) {
    std::vector<std::shared_ptr<GEDCOMRecord>> opened;
    IndexWindow::installBrowserFactory([&](GEDCOMDocument&, DocumentWindows&, const std::shared_ptr<GEDCOMRecord>& r,
                                           BrowserWindow*, const std::string& pane) {
        opened.push_back(r);
        return std::make_shared<test::BrowserDouble>(r, pane);
    });
    open(people({"Ann /Apple/", "Bo /Smithson/", "Al /Smithson/", "Cy /Smith/", "John /Doe/"}));
    ASSERT_FALSE(index().currentList()->howSorted().empty());
    window->resize(1600, 700);  // the field is the toolbar's last item
    settle();
    IndexFindField* field = window->findField();
    ASSERT_NE(field, nullptr);
    ASSERT_TRUE(field->isVisible());
    QApplication::setActiveWindow(window.get());
    field->setFocus();
    ASSERT_TRUE(field->hasFocus());
    QTest::keyClicks(field, "smi");
    settle();
    ASSERT_TRUE(index().selectedRecord());
    EXPECT_EQ(field->text().left(3), "Smi");
    EXPECT_EQ(field->selectedText(), field->text().mid(3));
    EXPECT_TRUE(field->matchesRecord());
    // The first of the values that start so: "Smith" sorts before "Smithson".
    EXPECT_EQ(index().selectedRecord()->grecordID(), "@I4@") << field->text().toStdString();

    QTest::keyClick(field, Qt::Key_Backspace);
    settle();
    EXPECT_EQ(field->userStringValue(), "Sm");

    // "Doe, John" from "d": Tab takes "Doe, " and selects "John", a second
    // Tab goes to the end.
    field->clear();
    QTest::keyClicks(field, "d");
    settle();
    ASSERT_EQ(field->text(), "Doe, John");
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_EQ(field->selectedText(), "John");
    EXPECT_TRUE(field->hasFocus());
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_FALSE(field->hasSelectedText());
    EXPECT_EQ(field->cursorPosition(), 9);

    QTest::keyClick(field, Qt::Key_Return);
    settle();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened.front(), index().selectedRecord());
    IndexWindow::installBrowserFactory(nullptr);
}

TEST_F(IndexWindowTest, FindingARowFarBelowBringsItToTheMiddle) {
    open(descendingPeople(400));
    window->resize(900, 600);
    settle();
    QTableView* table = window->recordsTable();
    const int before = table->verticalScrollBar()->value();
    window->centerScrollToRow(1);  // visible: nothing moves
    EXPECT_EQ(table->verticalScrollBar()->value(), before);
    window->centerScrollToRow(300);
    settle();
    const int middle = table->rowAt(table->viewport()->height() / 2);
    EXPECT_NEAR(middle, 300, 2);
    window->centerScrollToRow(399);
    settle();
    EXPECT_EQ(table->verticalScrollBar()->value(), table->verticalScrollBar()->maximum());
}

TEST_F(SampleWindowTest, TypingFindingAndEditingABirthDateInTheSourcePane) {
    IndexWindow* shown = openSample();
    ASSERT_NE(shown, nullptr);
    showList(shown, "INDI");
    IndexController& index = shown->controller();
    ASSERT_FALSE(index.currentList()->howSorted().empty());
    if (!shown->sourceShown()) chooseMenuItem(shown, "&View", "Show Source Editor");
    ASSERT_TRUE(shown->sourceShown());

    // The find field picks a person by the first letters of the sorted value.
    shown->resize(1400, 800);  // room for the whole toolbar, the field last
    settle();
    IndexFindField* field = shown->findField();
    ASSERT_TRUE(field->isVisible());
    QApplication::setActiveWindow(shown);
    field->setFocus();
    QTest::keyClicks(field, "b");
    settle();
    ASSERT_TRUE(index.selectedRecord());
    EXPECT_TRUE(field->text().startsWith('b', Qt::CaseInsensitive));

    // The first person with a birth date from there on.
    const auto listed = index.listedRecords();
    long row = static_cast<long>(index.selectedRows().front());
    auto birthOf = [](const std::shared_ptr<GEDCOMRecord>& r) {
        const std::string text = r->gedcomString();
        const auto birth = text.find("1 BIRT\n");
        return birth == std::string::npos ? std::string::npos : text.find("2 DATE ", birth);
    };
    while (row < static_cast<long>(listed.size()) && birthOf(listed[static_cast<std::size_t>(row)]) == std::string::npos)
        ++row;
    ASSERT_LT(row, static_cast<long>(listed.size()));
    clickRecordRow(shown, static_cast<int>(row));
    auto person = index.selectedRecord();
    ASSERT_TRUE(person);
    const std::string id = person->grecordID();

    // Select the date's text and type a new one, as a user does.
    GEDCOMTextView* pane = shown->sourcePane();
    const QString text = pane->toPlainText();
    const int at = text.indexOf("2 DATE ", text.indexOf("1 BIRT\n")) + 7;
    const int end = text.indexOf('\n', at);
    QTextCursor cursor = pane->textCursor();
    cursor.setPosition(at);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    pane->setTextCursor(cursor);
    pane->setFocus();
    QTest::keyClicks(pane, "12 MAR 1801");
    EXPECT_TRUE(pane->isChanged());
    const auto path = std::filesystem::path(KL_BINARY_DIR) / "source-pane.png";
    EXPECT_TRUE(shown->grab().save(QString::fromStdString(path.string())));

    // Another row: the edit goes to the person it was typed for.
    clickRecordRow(shown, row == 0 ? 1 : 0);
    EXPECT_NE(shown->document().gedcomModel().recordWithID(id)->gedcomString().find("2 DATE 12 MAR 1801"),
              std::string::npos);
    EXPECT_EQ(shown->document().undo().undoActionName(), "GEDCOM Data Edits");
    EXPECT_NE(paneID(shown), id);
}

TEST_F(IndexWindowTest, RowsDraggedOntoAnAlbumJoinItButNotOntoTheirOwnAlbum) {
    open(people({"Ann /Apple/", "Bea /Birch/", "Cal /Cedar/"}));
    auto album = index().createAlbum();
    settle();
    const long albumRow = doc->gedcomModel().recordsIndex().recordTypeIndex(album->recordType());
    index().selectRecordType("INDI");
    settle();
    RecordsTableModel* records = window->recordsModel();
    std::unique_ptr<QMimeData> dragged(records->mimeData({records->index(0, 0), records->index(2, 0)}));
    ASSERT_TRUE(dragged);
    ListsTableModel* lists = window->listsModel();
    const QModelIndex onAlbum = lists->index(static_cast<int>(albumRow), 0);
    EXPECT_FALSE(lists->canDropMimeData(dragged.get(), Qt::CopyAction, -1, -1, lists->index(0, 0)))
        << "a list of a record type takes no drops";
    ASSERT_TRUE(lists->dropMimeData(dragged.get(), Qt::CopyAction, -1, -1, onAlbum));
    EXPECT_EQ(album->count(), 2u);
    EXPECT_EQ(doc->undo().undoActionName(), "Move Record(s) to an Album");

    // Dragged from the album itself: refused.
    index().selectRecordType(album->recordType());
    settle();
    std::unique_ptr<QMimeData> fromAlbum(records->mimeData({records->index(0, 0)}));
    EXPECT_FALSE(lists->canDropMimeData(fromAlbum.get(), Qt::CopyAction, -1, -1, onAlbum));
}

TEST_F(IndexWindowTest, ARecordDroppedOnThePaneShowsItsTextOnlyFromThisDocument) {
    open(people({"Ann /Apple/", "Bea /Birch/"}) + "0 @R1@ _RPT\n1 TITL Report\n");
    window->showGEDCOMEditor(true);
    GEDCOMTextView* pane = window->sourcePane();
    auto dragOf = [](const std::string& key, const std::string& id) {
        auto* data = new QMimeData;
        data->setData(kRecordIdsMimeType, QByteArray::fromStdString(encodeRecordIdsDrag({key, {id}})));
        return std::unique_ptr<QMimeData>(data);
    };
    const std::string ours = documentKeyFor(doc.get());
    EXPECT_TRUE(pane->acceptsRecordDrag(dragOf(ours, "@I2@").get()));
    EXPECT_FALSE(pane->acceptsRecordDrag(dragOf("0xother", "@I2@").get())) << "another document's";
    EXPECT_FALSE(pane->acceptsRecordDrag(dragOf(ours, "@R1@").get())) << "a report";
    EXPECT_FALSE(pane->acceptsRecordDrag(dragOf(ours, "@I9@").get())) << "no such record";

    auto drop = [&](const std::string& id) {
        auto data = dragOf(ours, id);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pane->viewport(), &enter);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pane->viewport(), &event);
        settle();
    };
    drop("@I2@");
    ASSERT_TRUE(index().selectedRecord());
    EXPECT_EQ(index().selectedRecord()->grecordID(), "@I2@");
    EXPECT_TRUE(pane->toPlainText().startsWith("0 @I2@ INDI"));
    // A drag naming no record is refused on entering: the pane stays.
    drop("@I9@");
    EXPECT_EQ(index().selectedRecord()->grecordID(), "@I2@");
    EXPECT_TRUE(pane->toPlainText().startsWith("0 @I2@ INDI"));
}

// Drags dropped on a table as the window system hands them over: entering,
// moving, then the drop at one point of the viewport. Answers whether the
// drop was taken.
bool dropOn(QAbstractItemView& table, QPoint at, const QMimeData& data) {
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(table.viewport(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(table.viewport(), &move);
    if (!move.isAccepted()) return false;
    QDropEvent drop(QPointF(at), move.dropAction(), &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(table.viewport(), &drop);
    return drop.isAccepted();
}

TEST_F(IndexWindowTest, ImageFilesAndWebAddressesDroppedOnTheTablesBecomeSelectedMultimediaRecords) {
    open(people({"Ann /Apple/"}));
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    const auto hall = root() / "hall.png", barn = root() / "barn.png";
    ASSERT_TRUE(picture.save(QString::fromStdString(hall.string())));
    ASSERT_TRUE(picture.save(QString::fromStdString(barn.string())));
    QTableView* lists = window->listsTable();
    const QPoint pastTheLastList(20, lists->viewport()->height() - 5);

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(hall.string())),
                   QUrl::fromLocalFile(QString::fromStdString(barn.string()))});
    const QModelIndex people = window->listsModel()->index(static_cast<int>(index().selectedListRow()), 0);
    EXPECT_FALSE(dropOn(*lists, lists->visualRect(people).center(), files)) << "the individuals take no files";
    ASSERT_TRUE(dropOn(*lists, pastTheLastList, files));
    settle();
    EXPECT_EQ(index().currentType(), "OBJE");
    EXPECT_EQ(doc->gedcomModel().recordsOfType("OBJE").size(), 2u);
    EXPECT_EQ(window->recordsTable()->selectionModel()->selectedRows().size(), 2);
    EXPECT_EQ(doc->undo().undoActionName(), "Drop Multimedia Files or URLs");

    // Onto the multimedia list's own records: a web address with the
    // title a browser gives it.
    QMimeData link;
    link.setUrls({QUrl("https://example.org/mill.jpg")});
    const QString moz = "https://example.org/mill.jpg\nThe old mill";
    link.setData("text/x-moz-url", QByteArray(reinterpret_cast<const char*>(moz.utf16()), moz.size() * 2));
    ASSERT_TRUE(dropOn(*window->recordsTable(), QPoint(20, 20), link));
    settle();
    ASSERT_EQ(doc->gedcomModel().recordsOfType("OBJE").size(), 3u);
    const auto selected = index().selectedRecord();
    ASSERT_TRUE(selected);
    EXPECT_NE(selected->gedcomString().find("TITL The old mill"), std::string::npos) << selected->gedcomString();

    // Picture data without a file makes nothing and beeps.
    QMimeData bare;
    bare.setImageData(picture);
    const int beeps = window->beeps();
    dropOn(*window->recordsTable(), QPoint(20, 20), bare);
    settle();
    EXPECT_EQ(doc->gedcomModel().recordsOfType("OBJE").size(), 3u);
    EXPECT_EQ(window->beeps(), beeps + 1);
}

TEST_F(IndexWindowTest, AListDraggedOntoAnotherMovesAboveItAsOneUndoStep) {
    open(people({"Ann /Apple/", "Bea /Birch/"}));
    auto album = index().createAlbum();
    settle();
    auto& lists = doc->gedcomModel().recordsIndex();
    const long albumRow = lists.recordTypeIndex(album->recordType());
    ASSERT_GT(albumRow, 0);
    ListsTableModel* model = window->listsModel();
    std::unique_ptr<QMimeData> dragged(model->mimeData({model->index(static_cast<int>(albumRow), 0)}));
    ASSERT_TRUE(dragged);
    QTableView* table = window->listsTable();
    EXPECT_FALSE(dropOn(*table, table->visualRect(model->index(static_cast<int>(albumRow), 0)).center(), *dragged))
        << "onto itself";
    ASSERT_TRUE(dropOn(*table, table->visualRect(model->index(0, 0)).center(), *dragged));
    settle();
    EXPECT_EQ(lists.recordTypeIndex(album->recordType()), 0);
    EXPECT_EQ(index().currentList(), album) << "the album stays the shown list";
    EXPECT_EQ(table->selectionModel()->selectedRows().front().row(), 0);
    EXPECT_EQ(doc->undo().undoActionName(), "Move an Album");
    doc->undo().undo();
    settle();
    EXPECT_EQ(lists.recordTypeIndex(album->recordType()), albumRow);

    // Another database's list never moves here.
    dragged->setData(ListsTableModel::kRecordListDocumentMimeType, "0xother");
    EXPECT_FALSE(dropOn(*table, table->visualRect(model->index(0, 0)).center(), *dragged));
}

}  // namespace
}  // namespace kl
