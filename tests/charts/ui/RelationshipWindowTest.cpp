// Trees > Find Relationship... of the running program: the picker's
// message, the finder's rows while and after it searches, the done button,
// and the chart stored as a report and opened in its window.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QTextBrowser>

#include <fstream>

#include "browser/ui/BrowserTestSupport.h"
#include "charts/RelationshipSearch.h"
#include "charts/ui/RelationshipPanel.h"
#include "charts/ui/ReportsMenu.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "index/IndexController.h"
#include "index/ui/SelectRecordController.h"
#include "model/INDIRecord.h"
#include "model/ReportRecord.h"

namespace kl {
namespace {

// Ilse's parents Arvo and Britt; Arvo's second wife Cleo with their son
// Dag; Britt's sister Eda's son Finn; Gale has no relatives at all.
const char* kFamily =
    "0 HEAD\n1 CHAR UTF-8\n"
    "0 @I1@ INDI\n1 NAME Ilse /Marr/\n1 SEX F\n1 FAMC @F1@\n"
    "0 @I2@ INDI\n1 NAME Arvo /Marr/\n1 SEX M\n1 FAMS @F1@\n1 FAMS @F2@\n"
    "0 @I3@ INDI\n1 NAME Britt /Sollen/\n1 SEX F\n1 FAMC @F3@\n1 FAMS @F1@\n"
    "0 @I4@ INDI\n1 NAME Cleo /Ruud/\n1 SEX F\n1 FAMS @F2@\n"
    "0 @I5@ INDI\n1 NAME Dag /Marr/\n1 SEX M\n1 FAMC @F2@\n"
    "0 @I6@ INDI\n1 NAME Eda /Sollen/\n1 SEX F\n1 FAMC @F3@\n1 FAMS @F4@\n"
    "0 @I7@ INDI\n1 NAME Finn /Kask/\n1 SEX M\n1 FAMC @F4@\n"
    "0 @I8@ INDI\n1 NAME Gale /Orr/\n1 SEX F\n"
    "0 @F1@ FAM\n1 HUSB @I2@\n1 WIFE @I3@\n1 CHIL @I1@\n"
    "0 @F2@ FAM\n1 HUSB @I2@\n1 WIFE @I4@\n1 CHIL @I5@\n"
    "0 @I9@ INDI\n1 NAME Hal /Sollen/\n1 SEX M\n1 FAMS @F3@\n"
    "0 @F3@ FAM\n1 HUSB @I9@\n1 CHIL @I3@\n1 CHIL @I6@\n"
    "0 @F4@ FAM\n1 WIFE @I6@\n1 CHIL @I7@\n"
    "0 TRLR\n";

class RelationshipWindow : public BrowserWindows {
protected:
    void SetUp() override {
        BrowserWindows::SetUp();
        ReportsMenu::addToIndexWindows(application->docController());
        RelationshipPanel::install();
        const auto file = root() / "family.ged";
        std::ofstream(file) << kFamily;
        window = open(file);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        IndexWindow::setRelationshipFinder(nullptr);
        BrowserWindows::TearDown();
    }
    QAction* findItem() {
        for (QAction* top : window->menuBar()->actions())
            if (top->menu() && top->menu()->title().remove('&') == "Trees")
                for (QAction* item : top->menu()->actions())
                    if (item->text() == "Find Relationship...") return item;
        return nullptr;
    }
    // Chooses Find Relationship... with `to` selected and picks `from`.
    RelationshipPanel* find(const std::string& to, const std::string& from) {
        window->controller().selectRecordType("INDI");
        window->controller().selectByRecordIDs(std::vector<std::string>{to});
        settle();
        QAction* item = findItem();
        EXPECT_NE(item, nullptr);
        if (!item) return nullptr;
        window->validateAction(item, true);
        EXPECT_TRUE(item->isEnabled());
        item->trigger();
        SelectRecordController* picker = window->recordPicker();
        EXPECT_TRUE(picker && picker->isVisible());
        if (!picker) return nullptr;
        pickerMessage = picker->message()->text().toStdString();
        auto* rows = picker->table()->model();
        for (int row = 0; row < rows->rowCount(); ++row)
            if (rows->index(row, 1).data().toString().toStdString() == from) picker->table()->selectRow(row);
        picker->chooseButton()->click();
        RelationshipPanel* panel = nullptr;
        test::processUntil([&] {
            panel = window->findChild<RelationshipPanel*>();
            return panel && panel->isVisible();
        });
        return panel;
    }
    static std::vector<std::string> rows(RelationshipPanel& panel) {
        std::vector<std::string> out;
        for (int row = 0; row < panel.relationships()->rowCount(); ++row)
            out.push_back(panel.relationships()->item(row, 0)->text().toStdString());
        return out;
    }
    bool finished(RelationshipPanel& panel) {
        return test::processUntil([&] { return panel.doneButton()->text() == "Close"; });
    }
    std::vector<std::shared_ptr<GEDCOMRecord>> reports() {
        const auto list = doc->gedcomModel().recordsIndex().listForType("_RPT");
        return list ? list->order() : std::vector<std::shared_ptr<GEDCOMRecord>>{};
    }
    IndexWindow* window = nullptr;
    std::string pickerMessage;
};

TEST_F(RelationshipWindow, FindsTheRelationshipsAndChartsTheChosenOne) {
    RelationshipPanel* panel = find("@I1@", "@I7@");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(pickerMessage, "Find relationship of " + doc->gedcomModel().recordWithID("@I1@")->altViewName() + " to");
    EXPECT_EQ(panel->toNameText()->text().toStdString(), doc->gedcomModel().recordWithID("@I1@")->altViewName());
    EXPECT_EQ(panel->fromNameText()->text().toStdString(), doc->gedcomModel().recordWithID("@I7@")->altViewName());
    ASSERT_TRUE(finished(*panel));
    EXPECT_EQ(rows(*panel), std::vector<std::string>{"1st cousin"});
    EXPECT_FALSE(panel->searchProgress()->isVisible());
    EXPECT_TRUE(panel->chartButton()->isEnabled());
    panel->resize(420, 260);
    settle();
    EXPECT_TRUE(panel->grab().save(QString::fromStdString(
        (std::filesystem::path(KL_BINARY_DIR) / "relationship-finder.png").string())));

    QPointer<RelationshipPanel> alive(panel);
    panel->chartButton()->click();
    ASSERT_TRUE(test::processUntil([&] { return !reports().empty(); }));
    settle();
    const auto report = std::dynamic_pointer_cast<ReportRecord>(reports().back());
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->viewName().starts_with("Relationship of ")) << report->viewName();
    EXPECT_NE(report->body().find("<p>Relationship: 1st cousin</p>"), std::string::npos);
    EXPECT_TRUE(test::processUntil([&] { return alive.isNull(); })) << "one result: the finder closes";

    BrowserController* shown = nullptr;
    for (BrowserController* browser : browsers(*window))
        if (browser->theRecord() == report) shown = browser;
    ASSERT_NE(shown, nullptr);
    auto* page = shown->window()->findChild<QTextBrowser*>();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->toPlainText().contains("Relationship: 1st cousin"));
    shown->window()->resize(700, 600);
    settle();
    EXPECT_TRUE(shown->window()->grab().save(QString::fromStdString(
        (std::filesystem::path(KL_BINARY_DIR) / "relationship-chart.png").string())));
}

TEST_F(RelationshipWindow, EachPairShowsItsRowsAndTheDoneButtonCloses) {
    struct Case {
        const char* to;
        const char* from;
        std::vector<std::string> rows;
    } cases[] = {
        {"@I1@", "@I1@", {"Self"}},
        {"@I2@", "@I4@", {"Spouse"}},
        {"@I1@", "@I4@", {"Step Mother"}},
        {"@I1@", "@I5@", {"Brother"}},
        {"@I7@", "@I3@", {"Aunt"}},
        {"@I1@", "@I8@", {"No relationships were found"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.to) + " " + c.from);
        RelationshipPanel* panel = find(c.to, c.from);
        ASSERT_NE(panel, nullptr);
        ASSERT_TRUE(finished(*panel));
        EXPECT_EQ(rows(*panel), c.rows);
        EXPECT_EQ(panel->chartButton()->isEnabled(), c.rows.front() != "No relationships were found");
        QPointer<RelationshipPanel> alive(panel);
        panel->doneButton()->click();
        ASSERT_TRUE(test::processUntil([&] { return alive.isNull(); }));
    }
}

TEST_F(RelationshipWindow, ADoubleClickOnAnEmptyRowBeepsAndNothingIsStored) {
    RelationshipPanel* panel = find("@I1@", "@I8@");
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(finished(*panel));
    emit panel->relationships()->cellDoubleClicked(0, 0);
    panel->getChart(panel->chartButton());
    EXPECT_EQ(panel->beeps(), 2);
    settle();
    EXPECT_TRUE(reports().empty());
    // Without an individual selected the command only beeps.
    window->controller().selectRecordType("FAM");
    window->controller().selectByRecordIDs(std::vector<std::string>{"@F1@"});
    settle();
    const int before = window->beeps();
    panel->doneButton()->click();
    settle();
    window->validateAction(findItem(), true);
    EXPECT_FALSE(findItem()->isEnabled());
    window->performCommand(3013);
    EXPECT_EQ(window->beeps(), before + 1);
}

}  // namespace
}  // namespace kl
