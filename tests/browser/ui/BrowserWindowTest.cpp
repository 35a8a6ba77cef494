// Record browser windows of the running program: Return, a double-click
// and Alt+Return in the index window open, reuse and add windows laid out
// by the Default Format; rebuilds come once per turn and not for a removal
// made through the window itself; a deleted record's window closes; the
// fitted height keeps to the template's range and the window's top edge; a
// broken template gives one alert and closes the window; the background
// drags the record; and the screenshot.
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <algorithm>
#include <fstream>
#include <filesystem>

#include "app/LibraryFolder.h"
#include "app/ui/DocController.h"
#include "app/ui/KinloreApplication.h"
#include "app/ui/QtDispatcher.h"
#include "app/ui/UiTestSupport.h"
#include "browser/ui/BrowserController.h"
#include "browser/ui/BrowserTestSupport.h"
#include "browser/ui/EditBackgroundWidget.h"
#include "browser/ui/QtModelAlerts.h"
#include "cells/CustomCell.h"
#include "dates/DateBridge.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordIdsDrag.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "index/ui/GEDCOMTextView.h"
#include "index/ui/IndexWindow.h"
#include "index/ui/RecordsTableModel.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "script/Templates.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

TEST_F(BrowserWindows, ReturnDoubleClickAndAltReturnOpenReuseAndAddWindows) {
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    window->resize(900, 600);
    selectRecord(*window, "@I1@");
    QTest::keyClick(window->recordsTable(), Qt::Key_Return);
    ASSERT_TRUE(test::processUntil([&] { return browsers(*window).size() == 1 && browsers(*window)[0]->builds() > 0; }));
    BrowserController* browser = browsers(*window)[0];
    settle();
    EXPECT_TRUE(browser->isVisible());
    EXPECT_NE(browser->windowTitle().indexOf("Aldric"), -1) << browser->windowTitle().toStdString();
    EXPECT_NE(browser->windowTitle().indexOf("Brennow"), -1);
    for (const char* text : {"Individual", "Name and Sex", "Events", "Families"}) EXPECT_TRUE(shows(*browser, text)) << text;
    EXPECT_TRUE(shows(*browser, userDisplayDate("@#DJULIAN@ 3 FEB 1729"))) << userDisplayDate("@#DJULIAN@ 3 FEB 1729");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    browser->resize(620, 720);
    settle();
    const auto shot = fs::path(KL_BINARY_DIR) / "record-browser.png";
    EXPECT_TRUE(browser->grab().save(QString::fromStdString(shot.string())));

    // Return again brings the same window forward.
    selectRecord(*window, "@I1@");
    QTest::keyClick(window->recordsTable(), Qt::Key_Return);
    settle();
    EXPECT_EQ(browsers(*window).size(), 1u);

    // A double-click on another row shows that record in the same window.
    selectRecord(*window, "@I2@");
    const QRect row = window->recordsTable()->visualRect(window->recordsTable()->currentIndex());
    QTest::mouseClick(window->recordsTable()->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(window->recordsTable()->viewport(), Qt::LeftButton, {}, row.center());
    settle();
    ASSERT_EQ(browsers(*window).size(), 1u);
    EXPECT_EQ(browser->theRecord()->grecordID(), "@I2@");

    // Alt held opens a second window.
    selectRecord(*window, "@I1@");
    QTest::keyClick(window->recordsTable(), Qt::Key_Return, Qt::AltModifier);
    settle();
    EXPECT_EQ(browsers(*window).size(), 2u);
}

// The browser alone, over databases read without their index windows (whose
// own warnings about imported files are not the browser's to give).
TEST_F(BrowserWindows, EveryRecordOfTheCorpusOpensWithoutAnAlert) {
    for (const fs::path& file : {shipped() / "KinloreIIAppSupport/Radavizu/Brennow.gedpkg/Brennow.ged",
                                 fs::path(KL_TESTDATA) / "gedcom/eichmann/ALLGED.GED",
                                 fs::path(KL_TESTDATA) / "gedcom/gedcom555/555SAMPLE.GED"}) {
        SCOPED_TRACE(file.string());
        std::ifstream in(file, std::ios::binary);
        ASSERT_TRUE(in);
        GEDCOMDocument database;
        database.undo().disableUndoRegistration();
        database.gedcomModel().setInputGed(std::string((std::istreambuf_iterator<char>(in)), {}));
        database.gedcomModel().setRecordsFromStringVerifyIDs(true, false);
        database.undo().enableUndoRegistration();
        DocumentWindows windows(*defaults);
        auto records = database.gedcomModel().recordsIndex().collectRecords(std::nullopt);
        ASSERT_FALSE(records.empty());
        auto handle = BrowserController::makeBrowser(database, windows, records.front(), nullptr, "");
        windows.addWindowController(handle);
        auto* browser = static_cast<BrowserController::Handle*>(handle.get())->controller();
        handle.reset();
        browser->show();
        settle();
        for (const auto& record : records) {
            browser->changeRecord(record, "");
            EXPECT_EQ(browser->builder().failure().value_or(""), "") << record->grecordID();
        }
        settle();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST_F(BrowserWindows, ChangesInOneTurnRebuildOnceAndRemovalsThroughTheWindowDoNot) {
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    auto person = doc->gedcomModel().recordWithID("@I1@");
    BrowserController* main = static_cast<BrowserController::Handle*>(
                                  window->documentWindows().openRecordBrowser(person))->controller();
    BrowserController* second = static_cast<BrowserController::Handle*>(
                                    window->documentWindows().openAssociatedRecordBrowser(person, main->handle()))
                                    ->controller();
    settle();
    ASSERT_NE(main, second);
    const int before = main->builds();
    for (const char* value : {"Miller", "Carter", "Weaver"})
        person->addStructure(std::make_shared<GEDCOMStructure>(person.get(), 1, "OCCU", value), person.get(), nullptr,
                             false);
    settle();
    EXPECT_EQ(main->builds(), before + 1);
    EXPECT_TRUE(shows(*main, "Weaver"));

    const int mainBuilds = main->builds(), secondBuilds = second->builds();
    auto occupation = person->findChild("OCCU", false);
    person->removeStructure(occupation, person.get(), main->backgroundView().mainBrowser());
    settle();
    EXPECT_EQ(main->builds(), mainBuilds);
    EXPECT_EQ(second->builds(), secondBuilds + 1);

    // Showing another record closes the windows opened from this one.
    main->changeRecord(doc->gedcomModel().recordWithID("@I2@"), "");
    settle();
    ASSERT_EQ(browsers(*window).size(), 1u);
    EXPECT_EQ(browsers(*window)[0], main);

    // Deleting the shown record closes its window.
    person = main->theRecord();
    doc->gedcomModel().deleteRecord(person);
    settle();
    EXPECT_TRUE(browsers(*window).empty());
}

TEST_F(BrowserWindows, TheFittedHeightKeepsToTheRangeAndTheTopEdge) {
    struct Case {
        const char* command;
        int expected;  // -1: the pane's own height
    } cases[] = {{"Displayheight 300", 300}, {"Displayheight >900", 900}, {"Resizewindow", -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        useTemplate("NOTE Record Editing.txt", std::string("Hideexcess\nCell static Note\n") + c.command + "\n");
        IndexWindow* window = openSample();
        ASSERT_NE(window, nullptr);
        auto note = doc->gedcomModel().recordsIndex().collectRecords(std::string("NOTE")).front();
        auto* browser = static_cast<BrowserController::Handle*>(
                            window->documentWindows().openNewRecordBrowser(note))->controller();
        browser->move(40, 60);
        const int top = browser->y();
        ASSERT_TRUE(test::processUntil([&] { return browser->builds() > 0 && !browser->needsReload(); }));
        settle();
        if (c.expected > 0) EXPECT_EQ(browser->height(), c.expected);
        else EXPECT_LT(browser->height(), 200) << "one static text";
        EXPECT_EQ(browser->y(), top);
        application->docController().closeAllDocuments();
        settle();
    }
}

TEST_F(BrowserWindows, ABrokenTemplateGivesOneAlertAndClosesTheWindow) {
    useTemplate("SOUR Record Editing.txt", "Hideexcess\nCell static x\nFontsize 0\n");
    std::vector<std::string> edited;
    BrowserController::setEditFormatHandler(
        [&](const std::optional<std::string>&, const std::string& name, const std::string& list) {
            edited.push_back(name + " / " + list);
        });
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    auto source = doc->gedcomModel().recordsIndex().collectRecords(std::string("SOUR")).front();
    int alerts = 0;
    std::string message, information;
    test::whenModal<QMessageBox>([&](QMessageBox& box) {
        ++alerts;
        message = box.text().toStdString();
        information = box.informativeText().toStdString();
        for (QAbstractButton* button : box.buttons())
            if (button->text() == "Edit Template") button->click();
    });
    window->documentWindows().openNewRecordBrowser(source);
    ASSERT_TRUE(test::processUntil([&] { return alerts == 1 && browsers(*window).empty(); }));
    settle();
    EXPECT_EQ(message, "'" + source->viewName() + "' could not be formatted for display");
    EXPECT_EQ(information,
              "fontSize must be positive. (command 'doFontsize: 0' in template 'SOUR Record Editing.txt')");
    EXPECT_EQ(edited, (std::vector<std::string>{"SOUR Record Editing / Record Editing"}));
}

TEST_F(BrowserWindows, TheBackgroundDragsTheRecord) {
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    auto person = doc->gedcomModel().recordWithID("@I1@");
    auto* browser = static_cast<BrowserController::Handle*>(
                        window->documentWindows().openRecordBrowser(person))->controller();
    settle();
    std::unique_ptr<QMimeData> data(browser->backgroundWidget()->makeDragData());
    ASSERT_TRUE(data);
    auto drag = decodeRecordIdsDrag(data->data(kRecordIdsMimeType).toStdString());
    ASSERT_TRUE(drag);
    EXPECT_EQ(drag->ids, (std::vector<std::string>{"@I1@"}));
    EXPECT_EQ(drag->documentKey, documentKeyFor(doc));
}

// A window closed before its first turn builds nothing afterwards: its
// deferred build went with it.
TEST_F(BrowserWindows, ABrowserClosedBeforeItsBuildRunsNothing) {
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    DocumentWindows windows(*defaults);
    auto handle = BrowserController::makeBrowser(*doc, windows, doc->gedcomModel().recordWithID("@I1@"), nullptr, "");
    auto* browser = static_cast<BrowserController::Handle*>(handle.get())->controller();
    handle->browserClose();
    settle();
    EXPECT_EQ(browser->builds(), 0);
    EXPECT_TRUE(browser->backgroundView().customCells().empty());
}

// A record window reaches Close and Quit from its own File menu, so the
// program can be left from whichever window is in front.
TEST_F(BrowserWindows, FileMenuClosesTheWindowAndQuitsTheProgram) {
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    auto openBrowser = [&] {
        selectRecord(*window, "@I1@");
        QTest::keyClick(window->recordsTable(), Qt::Key_Return);
        EXPECT_TRUE(test::processUntil([&] { return browsers(*window).size() == 1; }));
        settle();
        return browsers(*window).empty() ? nullptr : browsers(*window)[0];
    };
    auto fileItem = [](QMainWindow& owner, const QString& title) { return test::menuItem(owner, "&File", title); };
    BrowserController* browser = openBrowser();
    ASSERT_NE(browser, nullptr);
    QAction* close = fileItem(*browser, "&Close Window");
    ASSERT_NE(close, nullptr);
    close->trigger();
    EXPECT_TRUE(test::processUntil([&] { return browsers(*window).empty(); }));
    EXPECT_TRUE(window->isVisible()) << "closing a record window leaves its database open";

    browser = openBrowser();
    ASSERT_NE(browser, nullptr);
    ASSERT_NE(DocController::sharedDocumentController(), nullptr);
    QSignalSpy quits(DocController::sharedDocumentController(), &DocController::quitRequested);
    QAction* quit = fileItem(*browser, "&Quit");
    ASSERT_NE(quit, nullptr);
    quit->trigger();
    // The same request the index window's Quit makes.
    EXPECT_TRUE(test::processUntil([&] { return quits.count() == 1; }));
}

// Records > Edit GEDCOM Source shows the record's text in the index window's
// pane with the focused cell's lines selected.
TEST_F(BrowserWindows, EditGEDCOMSourceShowsTheFocusedCellsLinesInTheIndexWindow) {
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    window->showGEDCOMEditor(false);
    auto person = doc->gedcomModel().recordWithID("@I1@");
    BrowserController* browser =
        static_cast<BrowserController::Handle*>(window->documentWindows().openRecordBrowser(person))->controller();
    ASSERT_TRUE(test::processUntil([&] { return browser->builds() > 0; }));
    settle();
    CustomCell* cell = nullptr;
    for (CustomCell* candidate : browser->backgroundView().respondingCells())
        if (auto structure = candidate->structure(); structure && structure.get() != person.get() && candidate->view())
            cell = candidate;
    ASSERT_NE(cell, nullptr);
    cell->view()->takeFocus();
    settle();
    QAction* source = nullptr;
    for (QAction* item : browser->recordsMenu()->actions())
        if (item->text() == "Edit GEDCOM Source") source = item;
    ASSERT_NE(source, nullptr);
    ASSERT_TRUE(source->isEnabled());
    source->trigger();
    settle();
    ASSERT_TRUE(window->sourceShown());
    EXPECT_TRUE(window->sourcePane()->toPlainText().startsWith("0 @I1@ INDI"));
    std::string lines;
    cell->structure()->appendGEDCOM(lines);
    const QString selected = window->sourcePane()->textCursor().selectedText().replace(QChar(0x2029), '\n');
    EXPECT_EQ(selected.toStdString(), lines);
}

// The model's questions come up as the program's alerts; the answer is the
// index of the button pressed.
TEST(ModelQuestions, ComeUpAsTheProgramsAlerts) {
    QtModelAlerts alerts;
    std::string shown;
    test::whenModal<QMessageBox>([&](QMessageBox& box) {
        shown = box.text().toStdString() + " | " + box.informativeText().toStdString();
        for (QAbstractButton* button : box.buttons())
            if (button->text() == "Skip") button->click();
    });
    EXPECT_EQ(alerts.runAlert(ModelAlerts::Style::Critical, "Source already cited", "Cite it again?",
                              {"Add", "Skip", "Cancel"}),
              1);
    EXPECT_EQ(shown, "Source already cited | Cite it again?");
}

}  // namespace
}  // namespace kl
