// Tree windows as charts: the index toolbar opens them in chart mode, the
// toolbar's ToggleView and the Trees menu switch to the outline and back
// with the same branches open, the expand buttons, Ctrl-click zoom and
// double clicks work on the boxes, and the chart exports as PDF.
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDrag>
#include <QMimeData>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "RelativesWindowFixture.h"
#include "charts/ChartsTestSupport.h"
#include "charts/ui/TreeChartScrollView.h"
#include "charts/ui/TreeChartView.h"
#include "document/RecordIdsDrag.h"
#include "foundation/Logger.h"
#include "foundation/UndoManager.h"
#include "index/ui/IndexPrintView.h"
#include "index/ui/IndexWindow.h"
#include "index/ui/SelectRecordController.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"

namespace kl {
namespace {

class TreeChartWindowTest : public test::RelativesWindowTest {
protected:
    bool opensCharts() const override { return true; }

    // The sample database's index window, with the person who has most
    // ancestors (or descendants) within three generations selected.
    IndexWindow* openSample(DocController& controller, bool ancestors) {
        IndexWindow::installWindowFactory(controller, *defaults);
        std::string error;
        GEDCOMDocument* opened =
            controller.openDocument(shipped() / "KinloreIIAppSupport" / "Radavizu" / "Brennow.gedpkg", &error);
        EXPECT_NE(opened, nullptr) << error;
        if (!opened) return nullptr;
        auto* shown = dynamic_cast<IndexWindow*>(controller.windowForDocument(*opened));
        settle();
        int most = -1;
        for (const auto& record : opened->gedcomModel().recordsOfType("INDI"))
            if (auto individual = std::dynamic_pointer_cast<INDIRecord>(record))
                if (const int count = ancestors ? test::ancestorsOf(*individual, 3) : test::descendantsOf(*individual, 3);
                    count > most) {
                    most = count;
                    person = individual;
                }
        select(*shown, person->grecordID());
        return shown;
    }
    static void save(QWidget& window, const char* name) {
        window.resize(900, 560);
        settle();
        const auto path = std::filesystem::path(KL_BINARY_DIR) / name;
        EXPECT_TRUE(window.grab().save(QString::fromStdString(path.string())));
    }
    static QAction* treesItem(RelativesController& tree, int tag) {
        for (QAction* menu : tree.menuBar()->actions())
            if (menu->menu())
                for (QAction* item : menu->menu()->findChildren<QAction*>())
                    if (item->data().toInt() == tag && !item->menu()) return item;
        return nullptr;
    }
    static std::vector<const TreeItem*> openNodes(RelativesController& tree) {
        std::vector<const TreeItem*> open;
        for (const auto& row : tree.shownRows()) open.push_back(row.item);
        return open;
    }
    static QPoint centreOf(TreeChartView& chart, const ChartRect& r) { return chart.widgetRect(r).center(); }

    std::shared_ptr<INDIRecord> person;
};

TEST_F(TreeChartWindowTest, SampleAncestorsChartTogglesToItsOutlineAndBack) {
    DocController controller(*defaults);
    IndexWindow* shown = openSample(controller, true);
    ASSERT_NE(shown, nullptr);
    click(*shown, "Ancestors");
    RelativesController* tree = treeWindow(*shown, person->grecordID(), "Ancest");
    ASSERT_NE(tree, nullptr);
    ASSERT_TRUE(tree->chartMode());
    ASSERT_NE(tree->chart(), nullptr);
    EXPECT_TRUE(tree->chart()->layout().orientation().horizontal);
    EXPECT_TRUE(tree->chart()->layout().orientation().portraitLeft);
    EXPECT_EQ(tree->chartScrollView()->rulerUnits(), "Generations");
    save(*tree, "ancestors-chart.png");

    const auto chartRows = openNodes(*tree);
    EXPECT_GT(chartRows.size(), 4u);
    QAction* toggle = tree->toolbar()->actionForIdentifier("ToggleView");
    ASSERT_NE(toggle, nullptr);
    ASSERT_TRUE(toggle->isEnabled());
    toggle->trigger();
    settle();
    EXPECT_FALSE(tree->chartMode());
    EXPECT_EQ(static_cast<QStackedWidget*>(tree->centralWidget())->currentWidget(), tree->relatives());
    EXPECT_EQ(openNodes(*tree), chartRows);

    // Closing a row in the outline closes the branch in the chart.
    const QModelIndex root = tree->outlineModel()->index(0, 0);
    const QModelIndex father = tree->outlineModel()->index(0, 0, root);
    ASSERT_TRUE(tree->relatives()->isExpanded(father));
    tree->relatives()->collapse(father);
    const auto outlineRows = openNodes(*tree);
    toggle->trigger();
    settle();
    EXPECT_TRUE(tree->chartMode());
    EXPECT_EQ(openNodes(*tree), outlineRows);
    EXPECT_FALSE(RelativesOutlineModel::itemOf(father)->expanded());

    // A new window opens in the mode last chosen.
    toggle->trigger();
    click(*shown, "Descendants");
    RelativesController* descendants = treeWindow(*shown, person->grecordID(), "Descend");
    ASSERT_NE(descendants, nullptr);
    EXPECT_FALSE(descendants->chartMode());
    controller.closeAllDocuments();
    settle();
}

TEST_F(TreeChartWindowTest, SampleDescendantsChartVerticalAndCentred) {
    DocController controller(*defaults);
    IndexWindow* shown = openSample(controller, false);
    ASSERT_NE(shown, nullptr);
    click(*shown, "Descendants");
    RelativesController* tree = treeWindow(*shown, person->grecordID(), "Descend");
    ASSERT_NE(tree, nullptr);
    ASSERT_TRUE(tree->chartMode());
    QAction* vertical = treesItem(*tree, 4604);
    ASSERT_NE(vertical, nullptr);
    vertical->trigger();
    settle();
    const ChartOrientation o = tree->chart()->layout().orientation();
    EXPECT_FALSE(o.horizontal);
    EXPECT_TRUE(o.centered);
    EXPECT_EQ(tree->chartScrollView()->rulerUnits(), "HGenerations");
    // The kind's default follows; the ancestors' stays.
    EXPECT_EQ(ChartOrientation::defaultFor(1).flags(), 1);
    EXPECT_EQ(ChartOrientation::defaultFor(0).flags(), 2);
    // A centred chart puts its person over the middle of the children.
    tree->resize(900, 560);
    settle();
    tree->chart()->scrollCellToVisible(tree->tree().rootItem());
    EXPECT_GT(tree->chartScrollView()->horizontalScrollBar()->value(), 0);
    save(*tree, "descendants-chart.png");

    // The preferences set the ancestors' default: this chart keeps its own;
    // then the descendants' default: it follows.
    ChartOrientation::setDefaultFor(0, ChartOrientation::forTag(4602, true));
    ChartOrientation::setOrientationChangeType(0);
    NotificationCenter::defaultCenter().post(RelativesController::kOrientationChanged, nullptr);
    EXPECT_FALSE(tree->chart()->layout().orientation().horizontal);
    ChartOrientation::setDefaultFor(1, {});
    ChartOrientation::setOrientationChangeType(1);
    NotificationCenter::defaultCenter().post(RelativesController::kOrientationChanged, nullptr);
    EXPECT_TRUE(tree->chart()->layout().orientation().horizontal);
    EXPECT_EQ(tree->chartScrollView()->rulerUnits(), "Generations");
    ChartOrientation::setDefaultFor(0, {});
    controller.closeAllDocuments();
    settle();
}

TEST_F(TreeChartWindowTest, ButtonsOpenBranchesAndDoubleClicksOpenOrRevealRecords) {
    // Emil is Arno's child and Cal's: his second box reveals the first.
    open("0 @I1@ INDI\n1 NAME Arno /Velk/\n1 SEX M\n1 FAMS @F1@\n"
         "0 @I2@ INDI\n1 NAME Bea /Orm/\n1 SEX F\n1 FAMS @F1@\n"
         "0 @I3@ INDI\n1 NAME Cal /Velk/\n1 SEX M\n1 FAMC @F1@\n1 FAMS @F3@\n"
         "0 @I6@ INDI\n1 NAME Gia /Tarn/\n1 SEX F\n1 FAMS @F3@\n"
         "0 @I8@ INDI\n1 NAME Ilse /Velk/\n1 SEX F\n1 FAMC @F3@\n"
         "0 @I9@ INDI\n1 NAME Emil /Velk/\n1 SEX M\n1 FAMC @F1@\n1 FAMC @F3@\n"
         "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n1 CHIL @I9@\n"
         "0 @F3@ FAM\n1 HUSB @I3@\n1 WIFE @I6@\n1 CHIL @I8@\n1 CHIL @I9@\n");
    defaults->setObject(Value(1), RelativesController::kInitialGenerations);
    RelativesController* tree = showRelatives("@I1@", "Descendants");
    ASSERT_NE(tree, nullptr);
    TreeChartView& chart = *tree->chart();
    tree->resize(800, 500);
    settle();
    TreeItem* f3 = tree->tree().famMembers().at("@F3@").front();
    ASSERT_TRUE(f3->chartBox().shown);
    ASSERT_FALSE(f3->expanded());
    const int generations = chart.layout().totalGenerations();
    QTest::mouseClick(&chart, Qt::LeftButton, {}, centreOf(chart, f3->chartBox().button));
    settle();
    EXPECT_TRUE(f3->expanded());
    EXPECT_EQ(chart.layout().totalGenerations(), generations + 1);
    TreeItem* later = tree->tree().members().at("@I9@").back();
    ASSERT_LT(later->crossRefNum(), 0);
    ASSERT_TRUE(later->chartBox().shown);

    QTest::mouseClick(&chart, Qt::LeftButton, {}, centreOf(chart, later->chartBox().frame));
    EXPECT_EQ(chart.selectedCell(), later);
    EXPECT_EQ(tree->selectedRecord()->grecordID(), "@I9@");
    QTest::mouseDClick(&chart, Qt::LeftButton, {}, centreOf(chart, later->chartBox().frame));
    settle();
    EXPECT_EQ(chart.selectedCell(), tree->tree().firstNode("@I9@"));

    // Shift (for Alt) on a family box's double click opens the family; on a
    // person's box it opens the person, as a plain one does.
    std::vector<std::string> opened;
    window->documentWindows().setPlatform({nullptr, nullptr, nullptr,
                                           [&](const DocumentWindows::RecordPtr& record, BrowserWindow*,
                                               const std::string&) -> std::shared_ptr<BrowserWindow> {
                                               opened.push_back(record->grecordID());
                                               return nullptr;
                                           }});
    QTest::mouseDClick(&chart, Qt::LeftButton, Qt::ShiftModifier, centreOf(chart, f3->chartBox().frame));
    QTest::mouseDClick(&chart, Qt::LeftButton, {}, centreOf(chart, f3->chartBox().frame));
    TreeItem* cal = tree->tree().firstNode("@I3@");
    QTest::mouseDClick(&chart, Qt::LeftButton, Qt::ShiftModifier, centreOf(chart, cal->chartBox().frame));
    settle();
    EXPECT_EQ(opened, (std::vector<std::string>{"@F3@", "@I6@", "@I3@"}));

    // The box's menu: its commands act on the box.
    const auto menu = chart.boxMenu(*later);
    std::vector<std::pair<QString, int>> items;
    for (QAction* action : menu->actions())
        if (!action->isSeparator()) items.emplace_back(action->text(), action->data().toInt());
    EXPECT_EQ(items, (std::vector<std::pair<QString, int>>{{"Open Individual Record", 2},
                                                           {"View Relationship...", 20},
                                                           {"Make New Family with Known Wife", 18},
                                                           {"Make New Family with Unknown Wife", 19},
                                                           {"Detach from Parents", 17},
                                                           {"Show Ancestors", 4001},
                                                           {"Show Descendants", 4002},
                                                           {"Read To Me", 3014}}));
    QTest::mouseClick(&chart, Qt::LeftButton, {}, centreOf(chart, later->chartBox().frame));
    tree->performCommand(4001);
    settle();
    EXPECT_NE(treeWindow(*window, "@I9@", "Ancest"), nullptr);

    // A Shift-click closes the branch and everything open in it.
    QTest::mouseClick(&chart, Qt::LeftButton, Qt::ShiftModifier, centreOf(chart, f3->chartBox().button));
    EXPECT_FALSE(f3->expanded());
    EXPECT_FALSE(later->chartBox().shown);
}

TEST_F(TreeChartWindowTest, AChartFollowsEditsAndForgetsASelectedBoxWhoseRecordGoes) {
    open(test::kThreeGenerations);
    RelativesController* tree = showRelatives("@I1@", "Descendants");
    ASSERT_NE(tree, nullptr);
    TreeChartView& chart = *tree->chart();
    TreeItem* ilse = tree->tree().firstNode("@I8@");
    ASSERT_TRUE(ilse && ilse->chartBox().shown);
    QTest::mouseClick(&chart, Qt::LeftButton, {}, centreOf(chart, ilse->chartBox().frame));
    ASSERT_EQ(chart.selectedCell(), ilse);
    const std::size_t boxes = chart.layout().shownNodes().size();

    doc->gedcomModel().deleteRecord(doc->gedcomModel().recordWithID("@I8@"));
    settle();
    EXPECT_EQ(chart.selectedCell(), nullptr);
    EXPECT_EQ(chart.layout().shownNodes().size(), boxes - 1);
    EXPECT_FALSE(chart.grab().isNull());

    // A family that loses its other spouse keeps its box.
    doc->gedcomModel().deleteRecord(doc->gedcomModel().recordWithID("@I6@"));
    settle();
    EXPECT_EQ(chart.layout().shownNodes().size(), boxes - 1);
    EXPECT_FALSE(chart.grab().isNull());
}

TEST_F(TreeChartWindowTest, CtrlClicksZoomAndBeepAtEitherEnd) {
    open(test::kThreeGenerations);
    RelativesController* tree = showRelatives("@I1@", "Ancestors");
    ASSERT_NE(tree, nullptr);
    tree->resize(900, 600);
    settle();
    TreeChartScrollView& scroll = *tree->chartScrollView();
    TreeChartView& chart = *tree->chart();
    const auto ctrlClick = [&](Qt::KeyboardModifiers extra) {
        QTest::mouseClick(&chart, Qt::LeftButton, Qt::ControlModifier | extra, QPoint(5, 5));
        settle();
    };
    scroll.showZoomCursor(Qt::ControlModifier);
    EXPECT_EQ(scroll.zoomCursorName(), "ZoomPlus");
    EXPECT_EQ(chart.cursor().hotSpot(), QPoint(6, 6));
    scroll.showZoomCursor(Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(scroll.zoomCursorName(), "ZoomMinus");
    for (int i = 0; i < 2; ++i) ctrlClick({});
    EXPECT_DOUBLE_EQ(scroll.scaleFactor(), 2.0);
    scroll.showZoomCursor(Qt::ControlModifier);
    EXPECT_EQ(scroll.zoomCursorName(), "ZoomNo");
    scroll.showZoomCursor(Qt::NoModifier);
    EXPECT_EQ(scroll.zoomCursorName(), "");
    EXPECT_EQ(scroll.zoomButton()->currentIndex(), 6);
    int beeps = tree->beeps();
    ctrlClick({});
    EXPECT_EQ(tree->beeps(), beeps + 1);
    EXPECT_DOUBLE_EQ(scroll.scaleFactor(), 2.0);
    for (int i = 0; i < 6; ++i) ctrlClick(Qt::AltModifier);
    EXPECT_DOUBLE_EQ(scroll.scaleFactor(), 0.1);
    beeps = tree->beeps();
    ctrlClick(Qt::ShiftModifier);
    EXPECT_EQ(tree->beeps(), beeps + 1);
    EXPECT_DOUBLE_EQ(scroll.scaleFactor(), 0.1);

    // A one-box chart fits the window above 200 %: Ctrl-click beeps.
    scroll.zoomButton()->setCurrentIndex(ChartZoom::kFitWindow);
    emit scroll.zoomButton()->activated(ChartZoom::kFitWindow);
    EXPECT_GT(scroll.scaleFactor(), 2.0);
    EXPECT_EQ(scroll.zoomButton()->currentIndex(), ChartZoom::kFitWindow);
    beeps = tree->beeps();
    ctrlClick({});
    EXPECT_EQ(tree->beeps(), beeps + 1);
}

TEST_F(TreeChartWindowTest, PdfExportShowsNoSelectionAndKeepsIt) {
    open(test::kThreeGenerations);
    RelativesController* tree = showRelatives("@I8@", "Ancestors");
    ASSERT_NE(tree, nullptr);
    TreeChartView& chart = *tree->chart();
    TreeItem* rootNode = tree->tree().rootItem();
    chart.selectCell(rootNode);
    const auto path = root() / "chart.pdf";
    ASSERT_TRUE(tree->exportChartTo(path.string()));
    EXPECT_EQ(chart.selectedCell(), rootNode);
    std::ifstream pdf(path, std::ios::binary);
    std::string head(4, '\0');
    pdf.read(head.data(), 4);
    EXPECT_EQ(head, "%PDF");

    // What the PDF draws: no ring round the selected box, no buttons.
    const QSizeF size = chart.chartSize();
    QImage printed(size.toSize(), QImage::Format_ARGB32);
    QImage screen(size.toSize(), QImage::Format_ARGB32);
    for (auto [image, toScreen] : {std::pair{&printed, false}, std::pair{&screen, true}}) {
        QPainter painter(image);
        chart.renderChart(painter, QRectF(QPointF(0, 0), size), toScreen);
    }
    const ChartRect f = rootNode->chartBox().frame;
    const QPoint ring(static_cast<int>(f.x + f.width / 2), static_cast<int>(f.y - 2));
    EXPECT_EQ(printed.pixelColor(ring), chart.colors().background);
    EXPECT_NE(screen.pixelColor(ring), chart.colors().background);
    const ChartRect b = rootNode->chartBox().button;
    const QPoint button(static_cast<int>(b.x + 5), static_cast<int>(b.y + 6));
    EXPECT_EQ(printed.pixelColor(button), chart.colors().background);
    EXPECT_NE(screen.pixelColor(button), chart.colors().background);
}

TEST_F(TreeChartWindowTest, AChartPdfThatCannotBeWrittenAlertsAndLeavesNoFile) {
    open(test::kThreeGenerations);
    RelativesController* tree = showRelatives("@I8@", "Ancestors");
    ASSERT_NE(tree, nullptr);
    const auto notAFolder = root() / "plain";
    std::ofstream(notAFolder) << "x";
    const auto target = notAFolder / "chart.pdf";
    QString title, told;
    test::whenModal<QMessageBox>([&](QMessageBox& alert) {
        title = alert.text();
        told = alert.informativeText();
        alert.accept();
    });
    EXPECT_FALSE(tree->exportChartTo(target.string()));
    EXPECT_TRUE(test::processUntil([&] { return !told.isEmpty(); }));
    EXPECT_EQ(title, "File Error");
    EXPECT_TRUE(told.startsWith(QString::fromStdString("When saving file '" + target.string() + "': ")))
        << told.toStdString();
    EXPECT_GT(told.size(), static_cast<qsizetype>(target.string().size() + 20));
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(TreeChartWindowTest, ABoxOfUnknownSexIsFilledMaleToFemaleAndWrittenInTheMaleColour) {
    open("0 @I1@ INDI\n1 NAME Sasha /Oun/\n");
    defaults->setObject(Value(AppController::archive(Color{1, 0, 0, 1})), "Male Tree Chart Text Color");
    defaults->setObject(Value(AppController::archive(Color{0, 1, 0, 1})), "Female Tree Chart Text Color");
    RelativesController* tree = showRelatives("@I1@", "Ancestors");
    ASSERT_NE(tree, nullptr);
    TreeChartView& chart = *tree->chart();
    chart.getFontFeatures();
    const QSizeF size = chart.chartSize();
    QImage image(size.toSize(), QImage::Format_ARGB32);
    {
        QPainter painter(&image);
        chart.renderChart(painter, QRectF(QPointF(0, 0), size), false);
    }
    const ChartRect f = tree->tree().rootItem()->chartBox().frame;
    const int middle = static_cast<int>(f.y + f.height - 3);
    // The gradient's ends: near the two cell colours.
    const auto near = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) < 8 && std::abs(a.green() - b.green()) < 8 && std::abs(a.blue() - b.blue()) < 8;
    };
    EXPECT_TRUE(near(image.pixelColor(static_cast<int>(f.x + 3), middle), chart.colors().maleCell));
    EXPECT_TRUE(near(image.pixelColor(static_cast<int>(f.right() - 3), middle), chart.colors().femaleCell));
    int red = 0, green = 0;
    for (int y = static_cast<int>(f.y); y < static_cast<int>(f.bottom()); ++y)
        for (int x = static_cast<int>(f.x); x < static_cast<int>(f.right()); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 60 && c.blue() < 60;
            green += c.green() > 200 && c.red() < 60 && c.blue() < 60;
        }
    EXPECT_GT(red, 10);
    EXPECT_EQ(green, 0);
}

// The box's own menu, opened by a right click, with one of its items chosen
// by the keyboard as a user would.
QAction* chooseFromBoxMenu(TreeChartView& chart, const TreeItem& item, const QString& title) {
    QAction* chosen = nullptr;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* action : menu->actions())
            if (action->text() == title) chosen = action;
        if (chosen) {
            menu->setActiveAction(chosen);
            QTest::keyClick(menu, Qt::Key_Return);
        } else {
            QTest::keyClick(menu, Qt::Key_Escape);
        }
    });
    const QPoint at = chart.widgetRect(item.chartBox().frame).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, chart.mapToGlobal(at));
    QApplication::sendEvent(&chart, &event);
    return chosen;
}

// How many pixels of the box are the portrait's own blue.
int bluePixels(TreeChartView& chart, const ChartRect& f) {
    const QSizeF size = chart.chartSize();
    QImage image(size.toSize(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        chart.renderChart(painter, QRectF(QPointF(0, 0), size), false);
    }
    int blue = 0;
    for (int y = static_cast<int>(f.y); y < static_cast<int>(f.bottom()); ++y)
        for (int x = static_cast<int>(f.x); x < static_cast<int>(f.right()); ++x) {
            const QColor c = image.pixelColor(x, y);
            blue += c.blue() > 200 && c.red() < 40 && c.green() < 40;
        }
    return blue;
}

TEST_F(TreeChartWindowTest, ABoxShowsItsPortraitUntilSetNoPortraitAndReadsItsPerson) {
    const auto picture = root() / "portrait.png";
    QImage blue(60, 80, QImage::Format_RGB32);
    blue.fill(QColor(0, 0, 255));
    ASSERT_TRUE(blue.save(QString::fromStdString(picture.string())));
    open("0 @I1@ INDI\n1 NAME Pia /Bildt/\n1 SEX F\n1 OBJE @O1@\n"
         "0 @O1@ OBJE\n1 FILE " + picture.string() + "\n2 FORM png\n");
    RelativesController* tree = showRelatives("@I1@", "Ancestors");
    ASSERT_NE(tree, nullptr);
    QAction* portraits = treesItem(*tree, 3304);
    ASSERT_NE(portraits, nullptr);
    portraits->trigger();
    settle();
    TreeChartView& chart = *tree->chart();
    TreeItem& root = *tree->tree().rootItem();
    EXPECT_GT(bluePixels(chart, root.chartBox().frame), 48 * 30);
    settle();
    EXPECT_GE(root.chartBox().frame.height, 55.6 - 0.01) << "a box grows to hold its portrait";
    save(*tree, "chart-portrait.png");

    // Read To Me speaks the box's person (no engine here: a beep and the log).
    std::vector<std::string> logged;
    const Logger::Sink saved = Logger::setSink([&](const std::string& line) { logged.push_back(line); });
    EXPECT_NE(chooseFromBoxMenu(chart, root, "Read To Me"), nullptr);
    settle();
    Logger::setSink(saved);
    ASSERT_FALSE(logged.empty());
    EXPECT_NE(logged.front().find("Bildt"), std::string::npos) << logged.front();

    ASSERT_NE(chooseFromBoxMenu(chart, root, "Set No Portrait"), nullptr);
    settle();
    EXPECT_EQ(doc->undo().undoActionName(), "Set No Portrait");
    EXPECT_EQ(bluePixels(chart, root.chartBox().frame), 0);
    EXPECT_EQ(chooseFromBoxMenu(chart, root, "Set No Portrait"), nullptr) << "only while a portrait is shown";
    doc->undo().undo();
    settle();
    EXPECT_GT(bluePixels(chart, root.chartBox().frame), 48 * 30);
}

// A box's edit commands, chosen from its menu: a picked father joins the
// mother's family, detaching both parents takes the person out of it, and
// View Relationship... asks for the second person.
TEST_F(TreeChartWindowTest, ABoxMenuAttachesAndDetachesParentsAndFindsRelationships) {
    open("0 @I1@ INDI\n1 NAME Kid /Moss/\n1 SEX M\n1 FAMC @F1@\n"
         "0 @I2@ INDI\n1 NAME Mae /Moss/\n1 SEX F\n1 FAMS @F1@\n"
         "0 @I3@ INDI\n1 NAME Rob /Moss/\n1 SEX M\n"
         "0 @F1@ FAM\n1 WIFE @I2@\n1 CHIL @I1@\n");
    RelativesController* tree = showRelatives("@I1@", "Ancestors");
    ASSERT_NE(tree, nullptr);
    TreeChartView& chart = *tree->chart();
    auto kid = std::dynamic_pointer_cast<INDIRecord>(doc->gedcomModel().recordWithID("@I1@"));

    EXPECT_EQ(chooseFromBoxMenu(chart, *tree->tree().rootItem(), "Detach Father"), nullptr) << "there is none";
    ASSERT_NE(chooseFromBoxMenu(chart, *tree->tree().rootItem(), "Attach Father"), nullptr);
    settle();
    auto* picker = tree->findChild<SelectRecordController*>();
    ASSERT_TRUE(picker && picker->isVisible());
    EXPECT_EQ(picker->message()->text(), "Select male to attach as a father");
    auto* rows = picker->table()->model();
    ASSERT_EQ(rows->rowCount(), 2) << "the men";
    for (int row = 0; row < rows->rowCount(); ++row)
        if (rows->index(row, 1).data().toString() == "@I3@") picker->table()->selectRow(row);
    picker->chooseButton()->click();
    settle();
    ASSERT_TRUE(kid->parentsFAM());
    EXPECT_EQ(kid->parentsFAM()->husbandRecord()->grecordID(), "@I3@");
    EXPECT_NE(tree->tree().firstNode("@I3@"), nullptr) << "the chart shows the new father";
    save(*tree, "chart-box-commands.png");

    ASSERT_NE(chooseFromBoxMenu(chart, *tree->tree().rootItem(), "Detach Both Parents"), nullptr);
    settle();
    EXPECT_EQ(kid->parentsFAM(), nullptr);
    EXPECT_EQ(tree->tree().firstNode("@I2@"), nullptr);
    doc->undo().undo();
    settle();
    EXPECT_NE(kid->parentsFAM(), nullptr) << "one undo step";

    ASSERT_NE(chooseFromBoxMenu(chart, *tree->tree().rootItem(), "View Relationship..."), nullptr);
    settle();
    SelectRecordController* finder = window->recordPicker();
    ASSERT_TRUE(finder && finder->isVisible());
    EXPECT_EQ(finder->message()->text(), "Find relationship of Kid Moss to");
    finder->reject();
}

// File > Print... prints the chart in chart mode and the outline's open
// rows in outline mode.
TEST_F(TreeChartWindowTest, PrintPrintsTheChartOrTheOutline) {
    open("0 @I1@ INDI\n1 NAME Ola /Print/\n1 FAMC @F1@\n0 @I2@ INDI\n1 NAME Per /Print/\n1 FAMS @F1@\n"
         "0 @F1@ FAM\n1 HUSB @I2@\n1 CHIL @I1@\n");
    RelativesController* tree = showRelatives("@I1@", "Ancestors");
    ASSERT_NE(tree, nullptr);
    const auto pdf = root() / "tree.pdf";
    int asked = 0;
    IndexPrintView::setPrintPanel([&](QPrinter& printer, QWidget*) {
        ++asked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        return true;
    });
    QAction* print = nullptr;
    for (QAction* menu : tree->menuBar()->actions())
        if (menu->menu() && menu->text() == "&File")
            for (QAction* item : menu->menu()->actions())
                if (item->text() == "Print...") print = item;
    ASSERT_NE(print, nullptr);
    ASSERT_TRUE(tree->chartMode());
    print->trigger();
    EXPECT_EQ(asked, 1);
    EXPECT_GT(std::filesystem::file_size(pdf), 0u);
    tree->toolbar()->actionForIdentifier("ToggleView")->trigger();
    settle();
    ASSERT_FALSE(tree->chartMode());
    std::filesystem::remove(pdf);
    print->trigger();
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(std::filesystem::exists(pdf));
    EXPECT_FALSE(doc->printingStatusFlag());
    IndexPrintView::setPrintPanel(nullptr);
}

// Dragging the selected box hands its individual's record ID to the drop.
TEST_F(TreeChartWindowTest, TheSelectedBoxDragsItsRecordID) {
    open("0 @I1@ INDI\n1 NAME Ola /Drag/\n1 FAMC @F1@\n0 @I2@ INDI\n1 NAME Per /Drag/\n1 FAMS @F1@\n"
         "0 @F1@ FAM\n1 HUSB @I2@\n1 CHIL @I1@\n");
    RelativesController* tree = showRelatives("@I1@", "Ancestors");
    ASSERT_NE(tree, nullptr);
    tree->resize(700, 400);
    settle();
    TreeChartView& chart = *tree->chart();
    const TreeItem& father = *tree->tree().firstNode("@I2@");
    const QPoint from = chart.widgetRect(father.chartBox().frame).center();
    std::optional<RecordIdsDrag> dragged;
    QTimer::singleShot(0, [&] {
        if (auto* drag = chart.findChild<QDrag*>()) {
            const QByteArray bytes = drag->mimeData()->data(kRecordIdsMimeType);
            dragged = decodeRecordIdsDrag(bytes.toStdString());
        }
        QTest::keyClick(&chart, Qt::Key_Escape);
    });
    QTest::mousePress(&chart, Qt::LeftButton, {}, from);
    QTest::mouseMove(&chart, from + QPoint(30, 0));
    QTest::mouseRelease(&chart, Qt::LeftButton, {}, from + QPoint(30, 0));
    settle();
    ASSERT_TRUE(dragged);
    EXPECT_EQ(dragged->ids, std::vector<std::string>{"@I2@"});
    EXPECT_EQ(dragged->documentKey, documentKeyFor(doc.get()));
}

TEST(TreeChartFont, AFontThatIsNotInstalledFallsBackToAnInstalledSansFont) {
    const QFont font = TreeChartView::resolveChartFont("No Such Chart Font", 10);
    EXPECT_TRUE(QFontDatabase::hasFamily(font.family())) << font.family().toStdString();
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 10);
}

}  // namespace
}  // namespace kl
