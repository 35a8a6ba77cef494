// The search window and the index window's record commands on screen:
// Ctrl+F opens the search of the database, rows change with their kind,
// searches run while the window stays usable and can be stopped, hits are
// grouped, dragged, saved into albums and follow deletions; Edit > Delete
// Record and Edit > Undo act on the selection.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTreeView>

#include <filesystem>
#include <fstream>

#include "app/AppController.h"
#include "app/ui/DocController.h"
#include "app/ui/EditMenu.h"
#include "app/ui/UiTestSupport.h"
#include "document/GEDCOMDocument.h"
#include "document/RecordIdsDrag.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/UndoManager.h"
#include "index/IndexController.h"
#include "index/IndexStyleLibrary.h"
#include "index/IndexTestSupport.h"
#include "index/SearchCriteria.h"
#include "index/ui/IndexWindow.h"
#include "index/ui/IndexWindowFixture.h"
#include "index/ui/RecordsTableModel.h"
#include "index/ui/SearchPanel.h"
#include "index/ui/SelectRecordController.h"
#include "model/GEDCOMRecord.h"

namespace kl {
namespace {

using C = SearchCriteria;
using Tag = IndexMenuValidation::Tag;

class SearchWindowTest : public test::IndexWindowFixture {
protected:
    SearchPanel* openSearch(IndexWindow& shown) {
        shown.activateWindow();
        QTest::keyClick(&shown, Qt::Key_F, Qt::ControlModifier);
        settle();
        return shown.searchPanel();
    }
    static void setRow(SearchCriterionView* row, int kind, int comparison, const QString& text) {
        row->changeOption(kind);
        row->changeCompare(comparison);
        row->searchTextFld()->setText(text);
    }
    static bool searchTo(SearchPanel* panel) {
        panel->searchButton()->click();
        return test::processUntil([panel] { return !panel->isSearching(); });
    }
    static QAction* menuItem(QMainWindow& w, const QString& menu, const QString& title) {
        for (QAction* top : w.menuBar()->actions())
            if (top->menu() && top->menu()->title().remove('&') == menu)
                for (QAction* item : top->menu()->actions())
                    if (item->text().startsWith(title)) return item;
        return nullptr;
    }
    std::vector<std::string> groupNames(SearchPanel* panel) {
        std::vector<std::string> names;
        for (int i = 0; i < panel->hitsModel()->rowCount(); ++i)
            names.push_back(panel->hitsModel()->item(i)->text().toStdString());
        return names;
    }

};

const char* kPeopleAndNotes =
    "0 @I1@ INDI\n1 NAME Anna /Berg/\n"
    "0 @I2@ INDI\n1 NAME Annabel /Dahl/\n"
    "0 @I3@ INDI\n1 NAME Cora /Falk/\n"
    "0 @N1@ NOTE Anna wrote this\n";

TEST_F(SearchWindowTest, CtrlFSearchesTheSampleDatabase) {
    AppController::initialize(*defaults);
    DocController controller(*defaults);
    IndexWindow::installWindowFactory(controller, *defaults);
    std::string error;
    GEDCOMDocument* opened =
        controller.openDocument(shipped() / "KinloreIIAppSupport" / "Radavizu" / "Brennow.gedpkg", &error);
    ASSERT_NE(opened, nullptr) << error;
    auto* shown = dynamic_cast<IndexWindow*>(controller.windowForDocument(*opened));
    ASSERT_NE(shown, nullptr);
    settle();
    SearchPanel* panel = openSearch(*shown);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->windowTitle(), "Brennow Search");

    auto* first = panel->searchOptions()->rows().front();
    first->addButton()->click();
    ASSERT_EQ(panel->searchOptions()->rows().size(), 2u);
    setRow(first, C::NameTitle, C::Contains, "an");
    auto* second = panel->searchOptions()->rows()[1];
    second->changeOption(C::BirthDate);
    second->changeCompare(C::IsAfter);
    second->searchTextFld()->setText("1800");
    ASSERT_TRUE(searchTo(panel));
    ASSERT_GT(panel->searchHits(), 0);
    EXPECT_EQ(groupNames(panel).size(), 1u) << "only individuals have birth dates";
    EXPECT_EQ(panel->noResultsField()->text(), QString("%1 Matches").arg(panel->searchHits()));
    const QModelIndex hit = panel->hitsModel()->index(0, 1, panel->hitsModel()->index(0, 0));
    EXPECT_FALSE(hit.data().toString().isEmpty()) << "the second column shows what made the hit";

    panel->resize(760, 520);
    settle();
    const auto path = std::filesystem::path(KL_BINARY_DIR) / "search-window.png";
    EXPECT_TRUE(panel->grab().save(QString::fromStdString(path.string())));
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(SearchWindowTest, RowsShowWhatTheirKindAndComparisonNeed) {
    open(kPeopleAndNotes);
    SearchPanel* panel = window->showSearchPanel();
    auto* row = panel->searchOptions()->rows().front();
    row->changeCompare(C::Is);
    row->changeOption(C::GEDCOMText);
    EXPECT_EQ(row->displayState(), 4);
    EXPECT_EQ(row->conditionalMenu()->currentIndex(), C::Contains) << "'is' turns into 'contains'";
    auto* items = qobject_cast<QStandardItemModel*>(row->conditionalMenu()->model());
    for (int i = 0; i < row->conditionalMenu()->count(); ++i)
        EXPECT_EQ(items->item(i)->isEnabled(), C::isTextSearchComparison(i)) << i;
    row->changeOption(C::NameTitle);
    row->changeCompare(C::IsAnyText);
    EXPECT_FALSE(row->searchTextFld()->isVisibleTo(row)) << "'is any text' needs no text";
    row->changeOption(C::RecordType);
    EXPECT_EQ(row->displayState(), 1);
    EXPECT_TRUE(row->recordTypeMenu()->isVisibleTo(row));
    row->changeOption(C::InAlbum);
    EXPECT_EQ(row->albumNamesMenu()->itemText(0), "(no albums available)");
    // The ideas item opens the help's sample expressions, in the browser
    // or the help viewer, as the preference says.
    std::vector<std::string> help;
    AppController::setAddressOpener([&](const std::string& address) { help.push_back(address); });
    AppController::setHelpViewer([&](const std::filesystem::path& page, const std::string&) { help.push_back(page.string()); });
    row->changeOption(C::ExpressionIdeas);
    AppController::setAddressOpener(nullptr);
    AppController::setHelpViewer(nullptr);
    EXPECT_EQ(row->optionsMenu()->currentIndex(), C::Expression);
    EXPECT_EQ(row->displayState(), 2);
    ASSERT_EQ(help.size(), 1u);
    EXPECT_TRUE(help[0].ends_with("Editing/sampleexpressions.html")) << help[0];

    const int beeps = panel->searchOptions()->beeps();
    row->removeButton()->click();
    EXPECT_EQ(panel->searchOptions()->beeps(), beeps + 1) << "the only row stays";
    EXPECT_EQ(panel->searchOptions()->rows().size(), 1u);
}

TEST_F(SearchWindowTest, InvalidCriteriaAreRefusedWithAnAlert) {
    open(kPeopleAndNotes);
    SearchPanel* panel = window->showSearchPanel();
    auto* row = panel->searchOptions()->rows().front();
    struct Case {
        int kind, comparison;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {C::NameTitle, C::MatchesRegex, "[a-", "Invalid regular expression"},
        {C::AnyDate, C::IsAfter, "xyz", "Cannot search for date 'xyz' because it is an invalid date."},
        {C::NameTitle, C::Contains, "", "Required search text is empty."},
    };
    for (const Case& c : cases) {
        setRow(row, c.kind, c.comparison, c.text);
        panel->startSearching();
        EXPECT_FALSE(panel->isSearching());
        const auto boxes = panel->findChildren<QMessageBox*>();
        ASSERT_EQ(boxes.size(), 1) << c.message;
        EXPECT_EQ(boxes.front()->text(), c.message);
        EXPECT_EQ(boxes.front()->icon(), QMessageBox::Critical);
        delete boxes.front();
    }
}

TEST_F(SearchWindowTest, HitsAreGroupedByTypeFollowDeletionsAndDragOnlyRecords) {
    open(kPeopleAndNotes);
    SearchPanel* panel = window->showSearchPanel();
    setRow(panel->searchOptions()->rows().front(), C::GEDCOMText, C::Contains, "anna");
    ASSERT_TRUE(searchTo(panel));
    EXPECT_EQ(groupNames(panel), (std::vector<std::string>{"Individuals", "Notes"}));
    EXPECT_EQ(panel->noResultsField()->text(), "3 Matches");
    auto* model = panel->hitsModel();
    const QModelIndex people = model->index(0, 0);
    const QModelIndex notes = model->index(1, 0);
    EXPECT_EQ(model->rowCount(people), 2);

    EXPECT_EQ(model->mimeData({notes}), nullptr) << "a group alone writes nothing";
    std::unique_ptr<QMimeData> dragged(model->mimeData({notes, model->index(0, 0, notes), model->index(1, 0, people)}));
    ASSERT_TRUE(dragged);
    const auto drag = decodeRecordIdsDrag(dragged->data(kRecordIdsMimeType).toStdString());
    ASSERT_TRUE(drag);
    EXPECT_EQ(drag->ids, (std::vector<std::string>{"@N1@", "@I2@"}));

    doc->gedcomModel().deleteRecord(doc->gedcomModel().recordWithID("@N1@"));
    EXPECT_EQ(model->rowCount(), 2) << "the heading stays";
    EXPECT_EQ(model->rowCount(notes), 0);

    setRow(panel->searchOptions()->rows().front(), C::NameTitle, C::Is, "nobody");
    ASSERT_TRUE(searchTo(panel));
    EXPECT_EQ(panel->noResultsField()->text(), "No Results");
}

TEST_F(SearchWindowTest, SavingHitsIntoANewAlbumIsOneUndoStep) {
    open(kPeopleAndNotes);
    SearchPanel* panel = window->showSearchPanel();
    panel->saveToAlbum(4501, true);
    ASSERT_EQ(panel->findChildren<QMessageBox*>().size(), 1);
    EXPECT_EQ(panel->findChildren<QMessageBox*>().front()->text(), "No search hits available for saving to an album.");
    delete panel->findChildren<QMessageBox*>().front();
    EXPECT_TRUE(doc->gedcomModel().recordsIndex().albums().empty());

    setRow(panel->searchOptions()->rows().front(), C::GEDCOMText, C::Contains, "anna");
    ASSERT_TRUE(searchTo(panel));
    ASSERT_EQ(panel->searchHits(), 3);
    const int newAlbum = panel->albumMenu()->findData(4501);
    ASSERT_GE(newAlbum, 0);
    panel->albumMenu()->activated(newAlbum);
    const auto albums = doc->gedcomModel().recordsIndex().albums();
    ASSERT_EQ(albums.size(), 1u);
    EXPECT_EQ(albums.front()->count(), 3u);
    settle();
    EXPECT_EQ(doc->undo().undoActionName(), "Move Records to an Album");
    EXPECT_EQ(panel->albumMenu()->count(), SearchPanel::kSaveMenuFixedItems + 1) << "the new album is offered";
    doc->undo().undo();
    EXPECT_TRUE(doc->gedcomModel().recordsIndex().albums().empty()) << "album and filling go together";
}

TEST_F(SearchWindowTest, StopGivesTheButtonBackAndKeepsTheHits) {
    open(test::descendingPeople(40000));
    SearchPanel* panel = window->showSearchPanel();
    setRow(panel->searchOptions()->rows().front(), C::GEDCOMText, C::MatchesRegex, "N[0-9]+");
    panel->startSearching();
    ASSERT_EQ(panel->searchButton()->text(), "Stop Searching");
    test::spinUntil([panel] { return panel->searchHits() > 0 || !panel->isSearching(); });
    ASSERT_TRUE(panel->isSearching()) << "the search ended before it could be stopped";
    panel->startSearching();
    ASSERT_TRUE(test::processUntil([panel] { return panel->searchButton()->text() == "Search"; }));
    const int kept = panel->searchHits();
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, 40000);
    EXPECT_EQ(panel->listedRecords(false).size(), static_cast<std::size_t>(kept));
}

TEST_F(SearchWindowTest, EditDeleteRecordThenEditUndo) {
    open(kPeopleAndNotes);
    window->controller().selectRecordType("INDI");
    window->controller().selectByRecordIDs(std::vector<std::string>{"@I1@", "@I3@"});
    window->recordsTable()->setFocus();
    settle();
    QAction* remove = menuItem(*window, "Edit", "Delete");
    ASSERT_NE(remove, nullptr);
    remove->trigger();
    EXPECT_FALSE(doc->gedcomModel().recordWithID("@I1@"));
    EXPECT_FALSE(doc->gedcomModel().recordWithID("@I3@"));
    settle();
    QAction* undo = menuItem(*window, "Edit", "Undo");
    ASSERT_NE(undo, nullptr);
    EXPECT_EQ(EditMenu::undoTitle(doc->undo()), "Undo Delete Records");
    undo->trigger();
    settle();
    EXPECT_TRUE(doc->gedcomModel().recordWithID("@I1@"));
    EXPECT_TRUE(doc->gedcomModel().recordWithID("@I3@"));
    EXPECT_EQ(EditMenu::redoTitle(doc->undo()), "Redo Delete Records");
    EXPECT_EQ(window->recordsModel()->rowCount(), 3);
}

TEST_F(SearchWindowTest, OneTurnOfEditsIsOneUndoStep) {
    open(kPeopleAndNotes);
    auto album = window->controller().createAlbumNamed(std::string("Trips"));
    album->setName("Letters");
    settle();
    EXPECT_EQ(doc->undo().undoCount(), 1u) << "made and renamed in one turn";
    doc->undo().undo();
    EXPECT_TRUE(doc->gedcomModel().recordsIndex().albums().empty());
}

TEST_F(SearchWindowTest, ARefusedDeletionAsksAndContinues) {
    open("0 @I1@ INDI\n1 NAME Ada\n0 @I2@ INDI\n1 NAME Bea\n1 RESN locked\n0 @I3@ INDI\n1 NAME Cy\n");
    window->controller().selectRecordType("INDI");
    window->controller().selectByRecordIDs(std::vector<std::string>{"@I1@", "@I2@", "@I3@"});
    QString asked;
    test::whenModal<QMessageBox>([&asked](QMessageBox& box) {
        asked = box.text();
        for (QAbstractButton* button : box.buttons())
            if (button->text() == "Continue") button->click();
    });
    window->performCommand(Tag::DeleteRecords);
    EXPECT_EQ(asked, "The record 'Bea' cannot be deleted because it is locked.");
    EXPECT_FALSE(doc->gedcomModel().recordWithID("@I3@"));
    settle();
    EXPECT_EQ(doc->undo().undoActionName(), "Delete Records");
    EXPECT_EQ(window->controller().currentRecordID(), "@I2@");
}

TEST_F(SearchWindowTest, IndexDataIsWrittenAsTabSeparatedText) {
    open(kPeopleAndNotes);
    window->controller().selectRecordType("INDI");
    const auto path = root() / "index.txt";
    ASSERT_TRUE(window->exportWindowDataTo(path.string()));
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Annabel"), std::string::npos);
    EXPECT_FALSE(window->exportWindowDataTo((root() / "missing" / "index.txt").string()));
    const auto boxes = window->findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.front()->text(), "The data cannot be exported to a text file.");
}

TEST_F(SearchWindowTest, TheMultimediaPickerSetsAndClearsThePortrait) {
    open("0 @I1@ INDI\n1 NAME Ada\n1 OBJE @O1@\n1 OBJE @O2@\n"
         "0 @O1@ OBJE\n1 FILE a.jpg\n0 @O2@ OBJE\n1 FILE b.jpg\n");
    window->controller().selectRecordType("INDI");
    window->controller().selectByRecordIDs(std::vector<std::string>{"@I1@"});
    settle();
    QAction* multimedia = menuItem(*window, "Records", "Multimedia");
    ASSERT_NE(multimedia, nullptr);
    multimedia->trigger();
    SelectRecordController* picker = window->recordPicker();
    ASSERT_NE(picker, nullptr);
    ASSERT_TRUE(picker->isVisible());
    EXPECT_EQ(picker->message()->text(), "Multimedia for Ada");
    EXPECT_EQ(picker->table()->model()->rowCount(), 2);
    picker->table()->selectRow(1);
    picker->recordActionButton()->click();
    settle();
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(doc->gedcomModel().recordWithID("@I1@")->portraitImage(), doc->gedcomModel().recordWithID("@O2@"));
    EXPECT_EQ(doc->undo().undoActionName(), "Change Portrait");

    multimedia->trigger();
    ASSERT_TRUE(picker->newRecordButton()->isVisible());
    EXPECT_EQ(picker->newRecordButton()->text(), "Set No Portrait");
    picker->newRecordButton()->click();
    settle();
    EXPECT_EQ(doc->gedcomModel().recordWithID("@I1@")->portraitImage(), nullptr);
    EXPECT_EQ(doc->undo().undoActionName(), "Set No Portrait");
}

TEST_F(SearchWindowTest, FileExportIndexDataAsksForTheFileAndWritesIt) {
    open(kPeopleAndNotes);
    window->controller().selectRecordType("INDI");
    settle();
    QAction* exportData = nullptr;
    for (QAction* top : window->menuBar()->actions())
        if (top->menu() && top->menu()->title() == "&File")
            for (QAction* item : top->menu()->actions())
                if (item->menu() && item->menu()->title() == "Export") exportData = item->menu()->actions().value(0);
    ASSERT_NE(exportData, nullptr);
    EXPECT_EQ(exportData->text(), "Index Data...");
    exportData->trigger();
    auto dialogs = window->findChildren<QFileDialog*>();
    ASSERT_EQ(dialogs.size(), 1);
    const auto path = root() / "people.txt";
    dialogs.front()->selectFile(QString::fromStdString(path.string()));
    static_cast<QDialog*>(dialogs.front())->accept();
    settle();
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Number: 3"), std::string::npos) << text;
    EXPECT_NE(text.find("Annabel"), std::string::npos) << text;
}

// The search window reaches Close and Quit from its own File menu, so the
// program can be left from whichever window is in front.
TEST_F(SearchWindowTest, FileMenuClosesTheWindowAndQuitsTheProgram) {
    DocController controller(*defaults);
    open(kPeopleAndNotes);
    SearchPanel* panel = openSearch(*window);
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(panel->isVisible());
    QAction* close = menuItem(*panel, "File", "&Close Window");
    ASSERT_NE(close, nullptr);
    close->trigger();
    EXPECT_TRUE(test::processUntil([&] { return !panel->isVisible(); }));
    EXPECT_TRUE(window->isVisible()) << "closing the search leaves its database open";

    window->showSearchPanel();
    settle();
    ASSERT_TRUE(panel->isVisible());
    QSignalSpy quits(&controller, &DocController::quitRequested);
    QAction* quit = menuItem(*panel, "File", "&Quit");
    ASSERT_NE(quit, nullptr);
    quit->trigger();
    EXPECT_TRUE(test::processUntil([&] { return quits.count() == 1; }));
}

}  // namespace
}  // namespace kl
