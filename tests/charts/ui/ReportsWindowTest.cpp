// The Reports menu of the running program: "Validate Now" after an import,
// each Reports item on the sample database, the options sheets and what
// they remember, and the stored report's window with its links.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QMenu>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include "browser/ui/BrowserTestSupport.h"
#include <QMenuBar>
#include <QToolBar>
#include <QTreeView>

#include "charts/GenRelativesReport.h"
#include "charts/TreeItem.h"
#include "charts/ui/RelativesController.h"
#include "index/DocumentWindows.h"
#include "index/ui/IndexToolbarWidget.h"
#include "model/INDIRecord.h"
#include "model/FAMRecord.h"
#include "charts/ui/ReportSheets.h"
#include "charts/ui/ReportsMenu.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "model/GEDCOMStructure.h"
#include "model/ReportRecord.h"

namespace kl {
namespace {

class ReportsWindow : public BrowserWindows {
protected:
    void SetUp() override {
        BrowserWindows::SetUp();
        ReportsMenu::addToIndexWindows(application->docController());
        ValidateOptions::resetRemembered();
        CheckDatesOptions::resetRemembered();
        RelativesReportOptions::resetRemembered();
    }
    void TearDown() override {
        IndexWindow::setValidateStarter(nullptr);
        BrowserWindows::TearDown();
    }
    std::vector<std::shared_ptr<GEDCOMRecord>> reports() {
        const auto list = doc->gedcomModel().recordsIndex().listForType("_RPT");
        return list ? list->order() : std::vector<std::shared_ptr<GEDCOMRecord>>{};
    }
    // Answers the window's alerts in turn until one offers `button`.
    bool pressInAlerts(QWidget* window, const QString& button) {
        for (int shown = 0; shown < 5; ++shown) {
            QPointer<QMessageBox> box;
            if (!test::processUntil([&] {
                    for (QMessageBox* b : window->findChildren<QMessageBox*>())
                        if (b->isVisible()) box = b;
                    return !box.isNull();
                }))
                return false;
            QAbstractButton* wanted = nullptr;
            for (QAbstractButton* b : box->buttons())
                if (b->text().remove('&') == button) wanted = b;
            (wanted ? wanted : box->buttons().front())->click();
            settle();
            if (wanted) return true;
        }
        return false;
    }
    template <class Sheet>
    Sheet* sheetOn(QWidget* window) {
        Sheet* sheet = nullptr;
        test::processUntil([&] {
            for (Sheet* s : window->findChildren<Sheet*>())
                if (s->isVisible()) sheet = s;
            return sheet != nullptr;
        });
        return sheet;
    }
    // Runs a Reports item (confirming its sheet) and answers the new report.
    std::shared_ptr<GEDCOMRecord> runItem(IndexWindow& window, int tag) {
        const std::size_t before = reports().size();
        ReportsMenu::of(window)->action(tag)->trigger();
        if (tag == ReportsMenu::ValidateTag) sheetOn<ValidateOptions>(&window)->okClick();
        if (tag == ReportsMenu::CheckDatesTag) sheetOn<CheckDatesOptions>(&window)->okClick();
        if (!test::processUntil([&] { return reports().size() > before; })) return nullptr;
        settle();
        return reports().back();
    }
    BrowserController* browserOf(IndexWindow& window, const std::shared_ptr<GEDCOMRecord>& record) {
        for (BrowserController* browser : browsers(window))
            if (browser->theRecord() == record) return browser;
        return nullptr;
    }
};

TEST_F(ReportsWindow, ValidateNowAfterAnImportStoresTheReportAndOpensIt) {
    IndexWindow* window = open(std::filesystem::path(KL_TESTDATA) / "gedcom" / "eichmann" / "ALLGED.GED");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(pressInAlerts(window, "Validate Now"));
    ValidateOptions* sheet = sheetOn<ValidateOptions>(window);
    ASSERT_NE(sheet, nullptr);
    sheet->okClick();
    ASSERT_TRUE(test::processUntil([&] { return !reports().empty(); }));
    settle();
    const auto report = reports().back();
    EXPECT_TRUE(report->viewName().starts_with("GEDCOM Validation Report (")) << report->viewName();
    BrowserController* browser = browserOf(*window, report);
    ASSERT_NE(browser, nullptr);
    auto* page = browser->window()->findChild<QTextBrowser*>();
    ASSERT_NE(page, nullptr) << "the report's page";
    EXPECT_TRUE(page->toPlainText().contains("GEDCOM Validation Report for")) << page->toPlainText().toStdString();
    browser->window()->resize(900, 700);
    settle();
    const auto path = std::filesystem::path(KL_BINARY_DIR) / "validation-report.png";
    EXPECT_TRUE(browser->window()->grab().save(QString::fromStdString(path.string())));
}

TEST_F(ReportsWindow, EachReportsItemRunsOnTheSampleDatabase) {
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    struct Case {
        int tag;
        const char* title;
    } cases[] = {{ReportsMenu::ValidateTag, "GEDCOM Validation Report ("},
                 {ReportsMenu::CheckDatesTag, "Date Verification Report ("},
                 {ReportsMenu::MultimediaTag, "Summary of Multimedia Objects ("},
                 {ReportsMenu::FileInformationTag, "File Information ("},
                 {ReportsMenu::HTMLLinksTag, "Validation of HTML Links Report ("}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const auto report = runItem(*window, c.tag);
        ASSERT_NE(report, nullptr);
        EXPECT_TRUE(report->viewName().starts_with(c.title)) << report->viewName();
        EXPECT_NE(browserOf(*window, report), nullptr);
    }
    EXPECT_NE(std::dynamic_pointer_cast<ReportRecord>(reports().front())->body().find("All GEDCOM data in "),
              std::string::npos)
        << "the sample is valid";
}

// What a click on the page's first record link hands on.
QUrl firstLink(QTextBrowser& page) {
    for (QTextBlock block = page.document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isAnchor()) return QUrl(it.fragment().charFormat().anchorHref());
    return {};
}

TEST_F(ReportsWindow, ReportLinksOpenTheirRecords) {
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    const auto person = doc->gedcomModel().recordWithID("@I1@");
    ASSERT_NE(person, nullptr);
    person->addStructure(std::make_shared<GEDCOMStructure>(person.get(), 1, "_ODD", "x"), person.get(),
                         person->lastStructure().get());
    const auto report = runItem(*window, ReportsMenu::ValidateTag);
    ASSERT_NE(report, nullptr);
    auto* page = browserOf(*window, report)->window()->findChild<QTextBrowser*>();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->toPlainText().contains("INDI._ODD with value 'x' is an unrecognized custom GEDCOM tag."));
    const QUrl link = firstLink(*page);
    ASSERT_TRUE(link.isValid()) << link.toString().toStdString();
    emit page->anchorClicked(link);
    EXPECT_TRUE(test::processUntil([&] { return browserOf(*window, person) != nullptr; }));
}

TEST_F(ReportsWindow, TheValidationSheetRemembersItsLastChoices) {
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    window->controller().createAlbumNamed(std::string("Friends"));
    ReportsMenu& menu = *ReportsMenu::of(*window);

    menu.validateGEDCOMData();
    auto* sheet = sheetOn<ValidateOptions>(window);
    ASSERT_NE(sheet, nullptr);
    ASSERT_EQ(sheet->whichRecords()->count(), 4) << "three fixed items and the album";
    sheet->customOption(2)->setChecked(true);
    sheet->whichRecords()->setCurrentIndex(3);
    EXPECT_EQ(sheet->sheetContextInfo(KLSheet::OKCode),
              Value(Dictionary{{"customTags", Value(2)}, {"whichRecords", Value(0)}}));
    sheet->done(KLSheet::CancelCode);
    settle();

    menu.validateGEDCOMData();
    sheet = sheetOn<ValidateOptions>(window);
    EXPECT_TRUE(sheet->customOption(2)->isChecked());
    EXPECT_EQ(sheet->whichRecords()->currentIndex(), 3);
    sheet->customOption(0)->setChecked(true);
    sheet->cancelClick();
    settle();
    EXPECT_EQ(ValidateOptions::rememberedColumn(), 2) << "Cancel keeps the last values";

    window->controller().deleteAlbum(doc->gedcomModel().recordsIndex().albums().front());
    menu.validateGEDCOMData();
    sheet = sheetOn<ValidateOptions>(window);
    EXPECT_EQ(sheet->whichRecords()->currentIndex(), 0) << "an index past the pop-up becomes the first item";
    EXPECT_EQ(sheet->sheetContextInfo(KLSheet::OKCode).dictionary()->get("whichRecords")->toInteger(), -2);
    sheet->done(KLSheet::CancelCode);
    settle();
}

TEST_F(ReportsWindow, TheDateSheetRemembersItsLimits) {
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    ReportsMenu& menu = *ReportsMenu::of(*window);
    menu.checkFileDates();
    auto* sheet = sheetOn<CheckDatesOptions>(window);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->dateLimits(0)->value(), 105);
    EXPECT_EQ(sheet->dateLimits(4)->value(), 12);
    sheet->dateLimits(0)->setValue(99);
    sheet->okClick();
    ASSERT_TRUE(test::processUntil([&] { return !reports().empty(); }));
    settle();
    EXPECT_EQ(CheckDatesOptions::rememberedLimits().maxPersonAge, 99);

    menu.checkFileDates();
    sheet = sheetOn<CheckDatesOptions>(window);
    EXPECT_EQ(sheet->dateLimits(0)->value(), 99);
    sheet->dateLimits(0)->setValue(50);
    sheet->cancelClick();
    settle();
    EXPECT_EQ(CheckDatesOptions::rememberedLimits().maxPersonAge, 99);
    EXPECT_EQ(reports().size(), 1u) << "Cancel starts no report";
}

TEST_F(ReportsWindow, TheRelativesSheetGivesFlagsAndRemembersThem) {
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    std::shared_ptr<GenRelativesReport> made;
    RelativesReportRegistry::registerMaker(RelativesReportRegistry::kAhnentafel,
                                           [&made](GEDCOMDocument& d, ReportHost& h) {
                                               made = std::make_shared<GenRelativesReport>(d, h);
                                               return made;
                                           });
    selectRecord(*window, "@I1@");
    settle();
    ReportsMenu& menu = *ReportsMenu::of(*window);
    emit menu.menu()->aboutToShow();
    ASSERT_TRUE(menu.action(ReportsMenu::AhnentafelTag)->isEnabled());
    EXPECT_TRUE(menu.action(ReportsMenu::AllRelativesTag)->isEnabled());
    menu.action(ReportsMenu::AhnentafelTag)->trigger();
    auto* sheet = sheetOn<RelativesReportOptions>(window);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->groupBox()->title(), "Ahnentafel Ancestors Report Options");
    EXPECT_EQ(sheet->numberGenerations()->text(), "10");
    for (int i = 0; i < 8; ++i) EXPECT_EQ(sheet->checkBox(i)->isChecked(), i < 4) << i;
    EXPECT_TRUE(sheet->outputStyle(0)->isChecked());
    for (int i = 0; i < 8; ++i) sheet->checkBox(i)->setChecked(true);
    sheet->outputStyle(2)->setChecked(true);
    sheet->numberGenerations()->setText("6");
    const Value options = sheet->sheetContextInfo(KLSheet::OKCode);
    EXPECT_EQ(options.dictionary()->get("outputFlags")->toInteger(), 0xFF | 0x20000);
    EXPECT_EQ(options.dictionary()->get("maxGenerations")->toInteger(), 6);
    sheet->done(KLSheet::CancelCode);
    settle();

    menu.action(ReportsMenu::AhnentafelTag)->trigger();
    sheet = sheetOn<RelativesReportOptions>(window);
    EXPECT_EQ(sheet->numberGenerations()->text(), "6");
    EXPECT_TRUE(sheet->checkBox(7)->isChecked());
    EXPECT_TRUE(sheet->outputStyle(2)->isChecked());
    sheet->checkBox(7)->setChecked(false);
    sheet->cancelClick();
    settle();
    menu.action(ReportsMenu::AhnentafelTag)->trigger();
    sheet = sheetOn<RelativesReportOptions>(window);
    EXPECT_TRUE(sheet->checkBox(7)->isChecked()) << "Cancel keeps the last values";
    sheet->okClick();
    ASSERT_TRUE(test::processUntil([&] { return made && made->status() != ReportController::Running; }));
    EXPECT_EQ(made->flags(), 0xFF | 0x20000);
    EXPECT_EQ(made->maxGen(), 6);
    EXPECT_EQ(made->record(), std::shared_ptr<void>(doc->gedcomModel().recordWithID("@I1@")));
    RelativesReportRegistry::registerMaker(RelativesReportRegistry::kAhnentafel, nullptr);
}

// The text of a stored report's page; then a screenshot of its window.
QString reportPage(BrowserController* browser, const char* screenshot) {
    if (!browser) return {};
    auto* page = browser->window()->findChild<QTextBrowser*>();
    if (!page) return {};
    const QString text = page->toPlainText();
    browser->window()->resize(900, 700);
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    const auto path = std::filesystem::path(KL_BINARY_DIR) / screenshot;
    EXPECT_TRUE(browser->window()->grab().save(QString::fromStdString(path.string())));
    return text;
}

TEST_F(ReportsWindow, TheAhnentafelAndAllRelativesItemsReportOnTheSelectedPerson) {
    struct Case {
        int tag;
        const char* sheetTitle;
        const char* titleStart;
        const char* screenshot;
        std::vector<const char*> sections;
    };
    const Case cases[] = {
        {ReportsMenu::AhnentafelTag, "Ahnentafel Ancestors Report Options", "Ahnentafel Report for ",
         "ahnentafel-report.png", {"Grandparents"}},
        {ReportsMenu::AllRelativesTag, "All Relatives Report Options", "All Relatives of ", "all-relatives-report.png",
         {"Individual", "Parents", "Grandparents"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.screenshot);
        IndexWindow* window = openSample();
        ASSERT_NE(window, nullptr);
        // Someone with a grandparent.
        std::shared_ptr<INDIRecord> person;
        for (const auto& record : doc->gedcomModel().recordsOfType("INDI"))
            if (auto individual = std::dynamic_pointer_cast<INDIRecord>(record)) {
                auto parents = individual->parentsFAM();
                auto father = parents ? parents->husbandRecord() : nullptr;
                if (father && father->parentsFAM()) {
                    person = individual;
                    break;
                }
            }
        ASSERT_TRUE(person);
        selectRecord(*window, person->grecordID());
        settle();
        ReportsMenu& menu = *ReportsMenu::of(*window);
        emit menu.menu()->aboutToShow();
        ASSERT_TRUE(menu.action(c.tag)->isEnabled());
        const std::size_t before = reports().size();
        menu.action(c.tag)->trigger();
        auto* sheet = sheetOn<RelativesReportOptions>(window);
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->groupBox()->title(), c.sheetTitle);
        sheet->okClick();
        ASSERT_TRUE(test::processUntil([&] { return reports().size() > before; }));
        settle();
        const auto report = reports().back();
        EXPECT_TRUE(report->viewName().starts_with(c.titleStart + person->altViewName() + " (")) << report->viewName();
        const QString text = reportPage(browserOf(*window, report), c.screenshot);
        for (const char* section : c.sections) EXPECT_TRUE(text.contains(section)) << section;
        EXPECT_TRUE(text.contains(QString::fromStdString("1. " + person->viewName()))) << text.toStdString();
    }
}

TEST_F(ReportsWindow, TheTreeWindowsFamilyTreeItemReportsTheRowsItShows) {
    RelativesController::install(*defaults);
    defaults->setObject(Value(3), RelativesController::kInitialGenerations);
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    // The person with the most children.
    std::shared_ptr<INDIRecord> person;
    std::size_t most = 0;
    for (const auto& record : doc->gedcomModel().recordsOfType("INDI"))
        if (auto individual = std::dynamic_pointer_cast<INDIRecord>(record)) {
            std::size_t children = 0;
            for (const auto& family : individual->spouseFamsRecs()) children += family->children().size();
            if (children > most) {
                most = children;
                person = individual;
            }
        }
    ASSERT_TRUE(person);
    ASSERT_GE(most, 2u);
    selectRecord(*window, person->grecordID());
    window->toolbar()->actionForIdentifier("Descendants")->trigger();
    settle();
    RelativesWindow* entry = window->documentWindows().findRecordTree(person, "Descend");
    ASSERT_NE(entry, nullptr);
    auto* tree = qobject_cast<RelativesController*>(static_cast<QWidget*>(const_cast<void*>(entry->window())));
    ASSERT_NE(tree, nullptr);
    std::size_t people = 0;
    for (const auto& row : tree->shownRows()) people += !row.item->spouseRecord();

    QMenu* reportsMenu = nullptr;
    for (QAction* item : tree->menuBar()->actions())
        if (item->menu() && item->text() == "Re&ports") reportsMenu = item->menu();
    ASSERT_NE(reportsMenu, nullptr);
    emit reportsMenu->aboutToShow();
    QAction* familyTree = nullptr;
    for (QAction* item : reportsMenu->actions())
        if (item->text() == "Family Tree Report...") familyTree = item;
    ASSERT_NE(familyTree, nullptr);
    ASSERT_TRUE(familyTree->isEnabled());
    const std::size_t before = reports().size();
    familyTree->trigger();
    auto* sheet = sheetOn<RelativesReportOptions>(tree);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->groupBox()->title(), "Descendants Family Tree Report Options");
    sheet->okClick();
    ASSERT_TRUE(test::processUntil([&] { return reports().size() > before; }));
    settle();
    const auto report = std::dynamic_pointer_cast<ReportRecord>(reports().back());
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->viewName().starts_with("Descendants Family Tree Report for ")) << report->viewName();
    std::size_t items = 0;
    for (std::size_t at = report->body().find("<li"); at != std::string::npos; at = report->body().find("<li", at + 3))
        ++items;
    EXPECT_EQ(items, people) << "one item per person shown";
    const QString text = reportPage(browserOf(*window, report), "family-tree-report.png");
    EXPECT_TRUE(text.contains(QString::fromStdString(person->viewName())));
}

}  // namespace
}  // namespace kl
