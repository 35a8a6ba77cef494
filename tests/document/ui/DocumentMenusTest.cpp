// The document's menus in the program's window over the sample database:
// a family made from two selected people through Records > New, the
// toolbar's home record and Copy Special items, the new-family sheet (with
// its screenshot), the genealogy search sheet, the missing-Tempolin alert,
// Read to Me without a speech engine, File > Page Setup... and the
// multimedia options window (both with their screenshots).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <filesystem>

#include "app/AppController.h"
#include "app/ui/DocController.h"
#include "app/ui/EditMenu.h"
#include "app/ui/MultimediaOptions.h"
#include "app/ui/PageLayoutSheet.h"
#include "app/ui/PrintMarginsView.h"
#include "app/ui/NewFileOptions.h"
#include "app/ui/QtDispatcher.h"
#include "app/ui/TempolinClient.h"
#include "app/ui/UiTestSupport.h"
#include "document/GEDCOMDocument.h"
#include "document/ui/DocumentMenus.h"
#include "document/ui/FamilySearchTermsSheet.h"
#include "foundation/Logger.h"
#include "foundation/UserDefaults.h"
#include "index/IndexController.h"
#include "index/IndexToolbar.h"
#include "index/ui/IndexToolbarWidget.h"
#include "index/ui/IndexWindow.h"
#include "index/ui/RecordsTableModel.h"
#include "model/FAMRecord.h"
#include "model/HEADRecord.h"
#include "model/INDIRecord.h"

namespace kl {
namespace {

class DocumentMenusTest : public test::AppHome {
protected:
    void SetUp() override {
        AppHome::SetUp();
        AppController::initialize(*defaults);
        defaults->setObject(Value("https://search.example"), DocumentMenus::kGenealogySearchKey);
        IndexToolbar::saveItemIdentifiers(*defaults, {"SaveDocument", "HomeRecord", "ReadToMe", "CopySpecial", "Ancestors", "Descendants"});
        controller = std::make_unique<DocController>(*defaults);
        IndexWindow::installWindowFactory(*controller, *defaults);
        std::string error;
        doc = controller->openDocument(shipped() / "KinloreIIAppSupport" / "Radavizu" / "Brennow.gedpkg", &error);
        ASSERT_NE(doc, nullptr) << error;
        window = dynamic_cast<IndexWindow*>(controller->windowForDocument(*doc));
        ASSERT_NE(window, nullptr);
        window->show();
        settle();
    }
    void TearDown() override {
        controller.reset();
        AppHome::TearDown();
    }
    static void settle() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }
    QMenu* menu(const QString& title) {
        for (QAction* action : window->menuBar()->actions())
            if (action->menu() && action->menu()->title().remove('&') == title) return action->menu();
        return nullptr;
    }
    // Shows the menu's items as the user opening it would, then picks one.
    QAction* openAndFind(QMenu* in, int tag) {
        emit in->aboutToShow();
        for (QAction* action : in->actions())
            if (action->data().isValid() && action->data().toInt() == tag) return action;
        return nullptr;
    }
    // Selects the first man and the first woman of the shown list.
    std::pair<std::shared_ptr<INDIRecord>, std::shared_ptr<INDIRecord>> selectACouple() {
        std::shared_ptr<INDIRecord> man, woman;
        QItemSelection selection;
        const auto listed = window->controller().listedRecords();
        for (std::size_t row = 0; row < listed.size(); ++row) {
            auto person = std::dynamic_pointer_cast<INDIRecord>(listed[row]);
            if (!person) continue;
            const bool pick = (!man && person->sex() == "M") || (!woman && person->sex() == "F");
            if (!pick) continue;
            (person->sex() == "M" ? man : woman) = person;
            const auto at = window->recordsModel()->index(static_cast<int>(row), 0);
            selection.select(at, at);
        }
        window->recordsTable()->selectionModel()->select(selection,
                                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        settle();
        return {man, woman};
    }
    QMessageBox* alert() {
        const auto boxes = window->findChildren<QMessageBox*>();
        return boxes.isEmpty() ? nullptr : boxes.back();
    }

    QtDispatcher dispatcher;
    Dispatcher::Scope scope{dispatcher};
    std::unique_ptr<DocController> controller;
    GEDCOMDocument* doc = nullptr;
    IndexWindow* window = nullptr;
};

TEST_F(DocumentMenusTest, AFamilyFromTwoSelectedPeopleThenTheToolbarsHomeRecordAndCopySpecial) {
    const auto [man, woman] = selectACouple();
    ASSERT_TRUE(man && woman);
    QMenu* records = menu("Records");
    ASSERT_NE(records, nullptr);
    DocumentMenus* menus = window->documentMenus();
    ASSERT_NE(menus, nullptr);
    QAction* spouses = openAndFind(menus->newMenu(), 4120);
    ASSERT_NE(spouses, nullptr);
    EXPECT_TRUE(spouses->isEnabled());
    EXPECT_EQ(spouses->text(), "Family with Spouses");
    spouses->trigger();
    settle();

    auto family = std::dynamic_pointer_cast<FAMRecord>(window->controller().selectedRecord());
    ASSERT_TRUE(family) << "the new family is selected";
    EXPECT_EQ(family->husbandRecord(), man);
    EXPECT_EQ(family->wifeRecord(), woman);
    EXPECT_EQ(EditMenu::undoTitle(doc->undo()), "Undo New Record");

    // The toolbar's items run the document's commands and are never retitled.
    IndexToolbarWidget* toolbar = window->toolbar();
    QAction* home = toolbar->actionForIdentifier("HomeRecord");
    QAction* copy = toolbar->actionForIdentifier("CopySpecial");
    ASSERT_TRUE(home && copy);
    const QString copyTitle = copy->text();
    toolbar->validateVisibleItems();
    EXPECT_TRUE(copy->isEnabled());
    EXPECT_EQ(copy->text(), copyTitle);
    // A family has no ancestors tree, but descendants through its spouses.
    EXPECT_FALSE(toolbar->actionForIdentifier("Ancestors")->isEnabled());
    EXPECT_TRUE(toolbar->actionForIdentifier("Descendants")->isEnabled());

    // No home record yet: the offer for the selected family; "Yes" sets it.
    home->trigger();
    settle();
    QMessageBox* offer = alert();
    ASSERT_NE(offer, nullptr);
    EXPECT_EQ(offer->text(), "This document does not have the requested Home record");
    EXPECT_TRUE(offer->informativeText().contains(QString::fromStdString(family->viewName())));
    QPushButton* yes = nullptr;
    for (auto* button : offer->findChildren<QPushButton*>())
        if (button->text() == "Yes") yes = button;
    ASSERT_NE(yes, nullptr);
    yes->click();
    settle();
    auto header = std::dynamic_pointer_cast<HEADRecord>(doc->gedcomModel().header());
    ASSERT_TRUE(header);
    EXPECT_EQ(header->homeRecordAtIndex(0), family->grecordID());
    EXPECT_EQ(EditMenu::undoTitle(doc->undo()), "Undo Set Home Record");

    QApplication::clipboard()->clear();
    copy->trigger();
    settle();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), DocumentCommands::copySpecialText({family}));
    EXPECT_FALSE(QApplication::clipboard()->text().isEmpty());
}

TEST_F(DocumentMenusTest, TheNewFamilySheetMakesAFamilyWithTheTypedPeople) {
    const std::size_t families = doc->gedcomModel().numberOfType("FAM");
    QAction* sheetItem = openAndFind(window->documentMenus()->newMenu(), 4103);
    ASSERT_NE(sheetItem, nullptr);
    sheetItem->trigger();
    settle();
    const auto sheets = window->findChildren<NewFileOptions*>();
    ASSERT_EQ(sheets.size(), 1);
    NewFileOptions* sheet = sheets.front();
    sheet->person1()->setText("Adam /Neumann/");
    sheet->born1()->setText("abt 1850");
    sheet->person2()->setText("Berta /Altmann/");
    sheet->born2()->setText("no date");
    settle();
    const auto path = std::filesystem::path(KL_BINARY_DIR) / "new-family-sheet.png";
    EXPECT_TRUE(sheet->grab().save(QString::fromStdString(path.string())));
    // A date the engine cannot read keeps the sheet open, with nothing made;
    // what the user typed is never dropped without a word.
    sheet->okButton()->click();
    settle();
    EXPECT_EQ(doc->gedcomModel().numberOfType("FAM"), families);
    ASSERT_EQ(window->findChildren<NewFileOptions*>().size(), 1);
    sheet->born2()->setText("1852");
    sheet->okButton()->click();
    settle();

    EXPECT_EQ(doc->gedcomModel().numberOfType("FAM"), families + 1);
    auto family = std::dynamic_pointer_cast<FAMRecord>(window->controller().selectedRecord());
    ASSERT_TRUE(family);
    ASSERT_TRUE(family->husbandRecord());
    EXPECT_EQ(family->husbandRecord()->viewName(), "Neumann, Adam");
    ASSERT_TRUE(family->wifeRecord());
    EXPECT_EQ(EditMenu::undoTitle(doc->undo()), "Undo New Family Record");
}

TEST_F(DocumentMenusTest, TheGenealogySearchAsksForTermsAndOpensTheQuery) {
    std::vector<std::string> opened;
    AppController::setAddressOpener([&](const std::string& address) { opened.push_back(address); });
    selectACouple();
    window->documentMenus()->commands().tryFamilySearch();
    settle();
    const auto sheets = window->findChildren<FamilySearchTermsSheet*>();
    ASSERT_EQ(sheets.size(), 1);
    FamilySearchTermsSheet* sheet = sheets.front();
    EXPECT_FALSE(sheet->field(1)->text().isEmpty()) << "the surname comes from the record";
    sheet->field(0)->setText("Anna & Co");
    sheet->field(1)->setText("Berg");
    sheet->field(2)->clear();
    sheet->field(3)->clear();
    sheet->searchRecords()->click();
    settle();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened.back(),
              "https://search.example/search/all-collections/results?q.givenName=Anna%20%26%20Co&q.surname=Berg");
    EXPECT_TRUE(sheet->isHidden());

    // The map search of the selected person goes through the installed opener.
    QAction* map = openAndFind(menu("Records"), 10002);
    ASSERT_NE(map, nullptr);
    EXPECT_TRUE(map->isEnabled());
    map->trigger();
    EXPECT_EQ(opened.size(), 2u);
    AppController::setAddressOpener({});
}

TEST_F(DocumentMenusTest, TempolinThatCannotBeStartedIsReported) {
    DocumentMenus::setTempolinProgram("/nonexistent/tempolin", 100);
    ASSERT_NE(window->documentMenus()->tempolinAction(), nullptr);
    window->documentMenus()->tempolinAction()->trigger();
    settle();
    QMessageBox* shown = alert();
    if (!shown) GTEST_SKIP() << "a Tempolin is already on this session bus";
    EXPECT_EQ(shown->text(), "The Tempolin application could not be found.");
    EXPECT_EQ(shown->informativeText(), "Click Download to get and install the Tempolin application");
    shown->reject();
    DocumentMenus::setTempolinProgram(TempolinClient::defaultProgram(), 10000);
}

TEST_F(DocumentMenusTest, ReadToMeWithoutASpeechEngineBeepsAndLogsWhatItWouldSay) {
    std::vector<std::string> logged;
    const Logger::Sink saved = Logger::setSink([&](const std::string& line) { logged.push_back(line); });
    selectACouple();
    const int before = window->beeps();
    QAction* read = openAndFind(menu("Records"), 3014);
    ASSERT_NE(read, nullptr);
    ASSERT_TRUE(read->isEnabled());
    read->trigger();
    settle();
    Logger::setSink(saved);
    // No engine is installed where the tests run.
    EXPECT_EQ(window->beeps(), before + 1);
    ASSERT_FALSE(logged.empty());
    EXPECT_EQ(logged.front().rfind("Reading record ", 0), 0u) << logged.front();
}

TEST_F(DocumentMenusTest, PageSetupKeepsPaperOrientationAndMarginsOnlyWhenConfirmed) {
    QMenu* file = menu("File");
    ASSERT_NE(file, nullptr);
    QAction* pageSetup = nullptr;
    for (QAction* action : file->actions())
        if (action->text() == "Page Setup...") pageSetup = action;
    ASSERT_NE(pageSetup, nullptr);
    const Dictionary before = doc->printInfo();
    struct Case {
        bool confirm;
        double left;
        const char* paper;
    };
    for (const Case& c : {Case{false, 30, "A4"}, Case{true, 36, "A4"}}) {
        pageSetup->trigger();
        auto* sheet = window->findChild<PageLayoutSheet*>();
        ASSERT_NE(sheet, nullptr);
        ASSERT_NE(sheet->marginsView(), nullptr) << "lists print with margins";
        EXPECT_EQ(sheet->marginsView()->leftMgnFld()->value(), 72);
        sheet->paperPopup()->setCurrentIndex(sheet->paperPopup()->findData(QString(c.paper)));
        sheet->setLandscape(true);
        sheet->marginsView()->leftMgnFld()->setValue(c.left);
        if (c.confirm) {
            const auto shot = std::filesystem::path(KL_BINARY_DIR) / "page-setup-sheet.png";
            EXPECT_TRUE(sheet->grab().save(QString::fromStdString(shot.string())));
        }
        if (c.confirm)
            sheet->okClick();
        else
            sheet->cancelClick();
        settle();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    const Dictionary& after = doc->printInfo();
    EXPECT_EQ(after.get("LeftMargin")->toReal(0), 36);
    EXPECT_EQ(after.get("RightMargin")->toReal(0), before.get("RightMargin")->toReal(0));
    EXPECT_EQ(after.get("PaperName")->toString(), "A4");
    EXPECT_EQ(after.get("Orientation")->toInteger(), 1);
    const QPageLayout layout = PageLayoutSheet::pageLayout(doc->printInfo());
    EXPECT_EQ(layout.orientation(), QPageLayout::Landscape);
    EXPECT_EQ(layout.pageSize().id(), QPageSize::A4);
    EXPECT_EQ(layout.margins(QPageLayout::Point).left(), 36);
}

TEST_F(DocumentMenusTest, MultimediaOptionsOpenOncePerDocumentAndFollowItsRootFolders) {
    QAction* item = nullptr;
    for (QAction* action : menu("Records")->actions())
        if (action->text() == "Multimedia Options...") item = action;
    ASSERT_NE(item, nullptr);
    item->trigger();
    settle();
    MultimediaOptions* options = MultimediaOptions::forDocument(*doc);
    ASSERT_NE(options, nullptr);
    EXPECT_TRUE(options->isVisible());
    EXPECT_EQ(options->windowTitle(), "Brennow Multimedia Options");
    item->trigger();
    EXPECT_EQ(window->findChildren<MultimediaOptions*>().size(), 1u);

    const int rows = options->rootFolders()->count();
    doc->addMultimediaRoot("~/Pictures/", rows);
    ASSERT_EQ(options->rootFolders()->count(), rows + 1);
    EXPECT_EQ(options->rootFolders()->item(rows)->text(), "~/Pictures/");
    const auto shot = std::filesystem::path(KL_BINARY_DIR) / "multimedia-options.png";
    EXPECT_TRUE(options->grab().save(QString::fromStdString(shot.string())));

    // Made ready for a script without showing, a shown one stops and closes.
    EXPECT_EQ(window->documentMenus()->noShowMultimediaOptions(), options);
    EXPECT_FALSE(options->isVisible());
    doc->removeMultimediaRootAtIndex(rows);
    EXPECT_EQ(options->rootFolders()->count(), rows + 1) << "no updates once cancelled";
}

}  // namespace
}  // namespace kl
