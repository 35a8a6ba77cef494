// The relatives windows on screen: the index window's toolbar opens them
// for the selected person, a second click brings the open one forward, the
// outline follows edits of the document and closes with its person, and
// Refresh builds the tree again.
#include <QAbstractButton>
#include <QListWidget>
#include <QSignalSpy>

#include "index/ui/ToolbarCustomizeDialog.h"

#include "RelativesWindowFixture.h"

namespace kl {
namespace {

using test::RelativesWindowTest;
using test::kThreeGenerations;
using test::descendantsOf;

TEST_F(RelativesWindowTest, ToolbarOpensTheSampleDescendantsAndAncestorsComeForwardOnce) {
    DocController controller(*defaults);
    IndexWindow::installWindowFactory(controller, *defaults);
    std::string error;
    GEDCOMDocument* opened =
        controller.openDocument(shipped() / "KinloreIIAppSupport" / "Radavizu" / "Brennow.gedpkg", &error);
    ASSERT_NE(opened, nullptr) << error;
    auto* shown = dynamic_cast<IndexWindow*>(controller.windowForDocument(*opened));
    ASSERT_NE(shown, nullptr);
    settle();

    std::shared_ptr<INDIRecord> person;
    int most = 0;
    for (const auto& record : opened->gedcomModel().recordsOfType("INDI"))
        if (auto individual = std::dynamic_pointer_cast<INDIRecord>(record))
            if (const int count = descendantsOf(*individual, 3); count > most) {
                most = count;
                person = individual;
            }
    ASSERT_TRUE(person);
    select(*shown, person->grecordID());
    ASSERT_EQ(shown->controller().selectedRecord(), person);
    click(*shown, "Descendants");
    RelativesController* descendants = treeWindow(*shown, person->grecordID(), "Descend");
    ASSERT_NE(descendants, nullptr);
    EXPECT_TRUE(descendants->isVisible());
    EXPECT_TRUE(descendants->windowTitle().endsWith(QString::fromStdString(" - Descendants of " + person->description())))
        << descendants->windowTitle().toStdString();
    // Three generations open: every person down to great-grandchildren.
    int people = 0;
    for (const auto& row : descendants->shownRows()) people += !row.item->spouseRecord() && row.level > 0;
    EXPECT_GE(people, most);

    descendants->resize(720, 480);
    settle();
    const auto path = std::filesystem::path(KL_BINARY_DIR) / "descendants-window.png";
    EXPECT_TRUE(descendants->grab().save(QString::fromStdString(path.string())));

    const int before = treeWindows(*shown);
    click(*shown, "Ancestors");
    click(*shown, "Ancestors");
    EXPECT_EQ(treeWindows(*shown), before + 1);
    RelativesController* ancestors = treeWindow(*shown, person->grecordID(), "Ancest");
    ASSERT_NE(ancestors, nullptr);
    EXPECT_TRUE(ancestors->isVisible());
    controller.closeAllDocuments();
    settle();
}

TEST_F(RelativesWindowTest, NothingSelectedOrAFamilyWithoutSpousesBeeps) {
    open(std::string(kThreeGenerations) + "0 @F7@ FAM\n1 CHIL @I8@\n");
    // The document's validation may disable the toolbar item first; the
    // command behind it and the Trees menu still refuses with a beep.
    const int before = window->beeps();
    window->openAncestorsOrDescendants(4002);
    settle();
    EXPECT_EQ(window->beeps(), before + 1);
    EXPECT_EQ(treeWindows(*window), 0);
}

TEST_F(RelativesWindowTest, OutlineFollowsEditsAndClosesOnceWithItsPerson) {
    open(kThreeGenerations);
    RelativesController* tree = showRelatives("@I1@", "Descendants");
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(rowTexts(*tree), (std::vector<std::string>{"Arno Velk", "...Bea Orm", "  Cal Velk", "  ...Gia Tarn",
                                                         "    Ilse Velk"}));
    // Deleting Ilse takes her row; the rest stays open.
    doc->gedcomModel().deleteRecord(doc->gedcomModel().recordWithID("@I8@"));
    settle();
    EXPECT_EQ(rowTexts(*tree), (std::vector<std::string>{"Arno Velk", "...Bea Orm", "  Cal Velk", "  ...Gia Tarn"}));

    // A reload asked for in the same turn does not keep the window open.
    QPointer<RelativesController> watched(tree);
    tree->tree().reloadTreeAfterEdits();
    doc->gedcomModel().deleteRecord(doc->gedcomModel().recordWithID("@I1@"));
    EXPECT_EQ(tree->tree().redrawFlag(), 2);
    ASSERT_TRUE(test::processUntil([&] { return watched.isNull(); }));
    EXPECT_EQ(treeWindows(*window), 0);
}

TEST_F(RelativesWindowTest, RefreshBuildsTheTreeAgainToTheInitialGenerations) {
    open(kThreeGenerations);
    defaults->setObject(Value(1), RelativesController::kInitialGenerations);
    RelativesController* tree = showRelatives("@I1@", "Descendants");
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(rowTexts(*tree), (std::vector<std::string>{"Arno Velk", "...Bea Orm", "  Cal Velk", "  ...Gia Tarn"}));
    tree->relatives()->expandAll();
    EXPECT_EQ(tree->shownRows().size(), 5u);
    TreeItem* oldRoot = tree->tree().rootItem();
    QAction* refresh = tree->toolbar()->actionForIdentifier("Refresh");
    ASSERT_NE(refresh, nullptr);
    refresh->trigger();
    settle();
    EXPECT_NE(tree->tree().rootItem(), oldRoot);
    EXPECT_EQ(tree->shownRows().size(), 4u);
}

TEST_F(RelativesWindowTest, ExportWritesTheShownRowsAndDragsCarryOnlyPeople) {
    open(kThreeGenerations + std::string("0 @F5@ FAM\n1 HUSB @I8@\n") );
    RelativesController* tree = showRelatives("@I1@", "Descendants");
    ASSERT_NE(tree, nullptr);
    const auto path = root() / "tree.txt";
    ASSERT_TRUE(tree->exportWindowDataTo(path.string()));
    std::ifstream in(path);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "Descendants of Arno Velk");

    auto* model = tree->outlineModel();
    const QModelIndex root = model->index(0, 0);
    std::unique_ptr<QMimeData> data(model->mimeData({root}));
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->data(kRecordIdsMimeType).endsWith("\n@I1@"));
}

// A tree window reaches Close and Quit from its own File menu, so the
// program can be left from whichever window is in front.
TEST_F(RelativesWindowTest, FileMenuClosesTheWindowAndQuitsTheProgram) {
    DocController controller(*defaults);
    open(kThreeGenerations);
    auto fileItem = [](QMainWindow& owner, const QString& title) { return test::menuItem(owner, "&File", title); };
    QPointer<RelativesController> tree = showRelatives("@I1@", "Descendants");
    ASSERT_FALSE(tree.isNull());
    QAction* close = fileItem(*tree, "&Close Window");
    ASSERT_NE(close, nullptr);
    close->trigger();
    EXPECT_TRUE(test::processUntil([&] { return treeWindows(*window) == 0; }));
    EXPECT_TRUE(window->isVisible()) << "closing a tree window leaves its database open";

    tree = showRelatives("@I1@", "Ancestors");
    ASSERT_FALSE(tree.isNull());
    ASSERT_EQ(DocController::sharedDocumentController(), &controller);
    QSignalSpy quits(&controller, &DocController::quitRequested);
    QAction* quit = fileItem(*tree, "&Quit");
    ASSERT_NE(quit, nullptr);
    quit->trigger();
    EXPECT_TRUE(test::processUntil([&] { return quits.count() == 1; }));
}


class RelativesColumnsTest : public RelativesWindowTest {};

TEST_F(RelativesColumnsTest, AFailedExportAlertsWithTheSystemsReasonAndLeavesNoFile) {
    open(kThreeGenerations);
    RelativesController* tree = showRelatives("@I1@", "Descendants");
    ASSERT_NE(tree, nullptr);
    // A file stands where the folder should be: no one can write there.
    const auto notAFolder = root() / "plain";
    std::ofstream(notAFolder) << "x";
    const auto target = notAFolder / "tree.txt";
    QString told;
    test::whenModal<QMessageBox>([&](QMessageBox& alert) {
        told = alert.informativeText();
        alert.accept();
    });
    EXPECT_FALSE(tree->exportWindowDataTo(target.string()));
    EXPECT_TRUE(test::processUntil([&] { return !told.isEmpty(); }));
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(std::filesystem::file_size(notAFolder), 1u);
}

TEST_F(RelativesColumnsTest, TheOutlineColumnStaysFirstAndOtherMovesAreStored) {
    open(kThreeGenerations);
    RelativesController* tree = showRelatives("@I1@", "Descendants");
    ASSERT_NE(tree, nullptr);
    const auto style = tree->tree().indexStyle();
    ASSERT_GE(style->numberOfColumns(), 3u);
    const auto labels = style->label();
    int posts = 0;
    Observation watch = NotificationCenter::defaultCenter().addObserver(
        RelativesController::kTreeStyleChanged, nullptr, [&](const Notification&) { ++posts; });
    QHeaderView* header = tree->relatives()->header();
    struct Case {
        int from, to;
    };
    for (const Case& c : std::vector<Case>{{0, 2}, {1, 0}}) {
        header->moveSection(c.from, c.to);
        settle();
        EXPECT_EQ(style->label(), labels) << c.from << " to " << c.to;
        EXPECT_EQ(header->logicalIndex(0), 0);
        EXPECT_EQ(posts, 0);
    }
    header->moveSection(2, 1);
    settle();
    EXPECT_EQ(style->label()[1], labels[2]);
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(header->logicalIndex(1), 1) << "the view's columns follow the style";

    tree->treeColumnResized(1, style->widthForColumn(1));
    EXPECT_EQ(posts, 1) << "the same width stores nothing";

    // A second window of the kind shows the new order too.
    RelativesController* other = showRelatives("@I3@", "Descendants");
    ASSERT_NE(other, nullptr);
    other->relatives()->header()->moveSection(2, 1);
    settle();
    EXPECT_EQ(posts, 2);
    EXPECT_EQ(tree->outlineModel()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(),
              labels[1]);
}

TEST_F(RelativesColumnsTest, ExpandBranchShowsEveryRowBelow) {
    open(kThreeGenerations);
    defaults->setObject(Value(0), RelativesController::kInitialGenerations);
    RelativesController* tree = showRelatives("@I1@", "Descendants");
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->shownRows().size(), 2u);
    tree->relatives()->setCurrentIndex(tree->outlineModel()->index(1, 0));
    QAction* branch = nullptr;
    for (QAction* action : tree->findChildren<QAction*>())
        if (action->text() == "Expand Branch") branch = action;
    ASSERT_NE(branch, nullptr);
    branch->trigger();
    settle();
    EXPECT_EQ(tree->shownRows().size(), 5u);
}


TEST_F(RelativesWindowTest, RevertToDefaultColumnsAsksThenEveryWindowOfTheKindTakesTheBundledStyle) {
    open(kThreeGenerations);
    select(*window, "@I1@");
    click(*window, "Descendants");
    select(*window, "@I3@");
    click(*window, "Descendants");
    RelativesController* tree = treeWindow(*window, "@I1@", "Descend");
    RelativesController* other = treeWindow(*window, "@I3@", "Descend");
    ASSERT_TRUE(tree && other);
    const auto bundled = tree->tree().indexStyle()->label();
    tree->relatives()->header()->moveSection(2, 1);
    settle();
    ASSERT_NE(tree->tree().indexStyle()->label(), bundled);

    for (const bool ok : {false, true}) {
        QString asked;
        test::whenModal<QMessageBox>([&](QMessageBox& alert) {
            asked = alert.text();
            for (QAbstractButton* button : alert.buttons())
                if (button->text() == (ok ? "OK" : "Cancel")) button->click();
        });
        tree->revertToDefaultColumns();
        ASSERT_TRUE(test::processUntil([&] { return !asked.isEmpty(); }));
        settle();
        EXPECT_EQ(asked, "Are you sure you want to revert to the default columns for Descendants family trees?");
        for (RelativesController* shown : {tree, other})
            EXPECT_EQ(shown->tree().indexStyle()->label() == bundled, ok) << ok;
    }
    EXPECT_EQ(other->outlineModel()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(),
              bundled[1]);
}


TEST_F(RelativesWindowTest, ColumnItemsActOnTheHighlightedColumnInOutlineModeOnly) {
    open(kThreeGenerations);
    RelativesController* tree = showRelatives("@I1@", "Descendants");
    ASSERT_NE(tree, nullptr);
    QAction* modify = tree->toolbar()->actionForIdentifier("EditColumn");
    QAction* remove = tree->toolbar()->actionForIdentifier("DeleteColumn");
    QAction* portrait = tree->toolbar()->actionForIdentifier("PortraitColumn");
    ASSERT_TRUE(modify && remove && portrait);
    EXPECT_FALSE(modify->isEnabled());
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_TRUE(portrait->isEnabled());

    // The outline column can be highlighted but not changed.
    tree->relatives()->header()->sectionClicked(0);
    EXPECT_FALSE(remove->isEnabled());
    tree->relatives()->header()->sectionClicked(2);
    EXPECT_EQ(tree->highlightedColumn(), 2);
    EXPECT_TRUE(modify->isEnabled());
    EXPECT_TRUE(remove->isEnabled());
    tree->toggleDisplayMode();
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_EQ(tree->titleForTag(4003), "Outline Mode");
    EXPECT_EQ(tree->titleForTag(1102), "Tree Chart...");
    tree->toggleDisplayMode();
    EXPECT_TRUE(remove->isEnabled());
    EXPECT_EQ(tree->titleForTag(1102), "Tree Data...");

    const auto style = tree->tree().indexStyle();
    const auto labels = style->label();
    QString asked;
    test::whenModal<QMessageBox>([&](QMessageBox& alert) {
        asked = alert.text();
        alert.buttons().front()->click();
    });
    remove->trigger();
    ASSERT_TRUE(test::processUntil([&] { return !asked.isEmpty(); }));
    settle();
    EXPECT_EQ(asked.toStdString(), "Are you sure you want to delete the '" + labels[2] + "' column?");
    EXPECT_EQ(style->numberOfColumns(), labels.size() - 1);
    EXPECT_EQ(tree->outlineModel()->columnCount(), static_cast<int>(labels.size() - 1));

    EXPECT_EQ(tree->titleForTag(3304), "Show Portrait Column");
    portrait->trigger();
    settle();
    EXPECT_TRUE(style->hasPortraitColumn());
    EXPECT_EQ(tree->titleForTag(3304), "Hide Portrait Column");
    const int before = tree->beeps();
    tree->relatives()->header()->sectionClicked(style->portraitColumn());
    EXPECT_EQ(tree->beeps(), before + 1);
}


TEST_F(RelativesWindowTest, ACustomisedToolbarIsKeptForEveryRelativesWindowButNotTheIndexWindow) {
    open(kThreeGenerations);
    RelativesController* tree = showRelatives("@I1@", "Descendants");
    ASSERT_NE(tree, nullptr);
    ASSERT_NE(tree->toolbar()->actionForIdentifier("Refresh"), nullptr);
    const auto indexItems = window->toolbar()->itemIdentifiers();

    QPointer<ToolbarCustomizeDialog> dialog;
    test::whenModal<ToolbarCustomizeDialog>([&](ToolbarCustomizeDialog& shown) { dialog = &shown; });
    QAction* customize = tree->findChild<QAction*>("CustomizeToolbar");
    ASSERT_NE(customize, nullptr);
    customize->trigger();
    ASSERT_TRUE(test::processUntil([&] { return !dialog.isNull(); }));
    QListWidget* current = dialog->currentList();
    for (int row = 0; row < current->count(); ++row)
        if (current->item(row)->text() == "Refresh Tree") current->setCurrentRow(row);
    dialog->removeItem();
    dialog->accept();
    settle();

    EXPECT_EQ(tree->toolbar()->actionForIdentifier("Refresh"), nullptr);
    RelativesController* other = showRelatives("@I3@", "Ancestors");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->toolbar()->actionForIdentifier("Refresh"), nullptr);
    EXPECT_NE(other->toolbar()->actionForIdentifier("ToggleView"), nullptr);
    EXPECT_EQ(window->toolbar()->itemIdentifiers(), indexItems);
    EXPECT_TRUE(defaults->dictionaryForKey("NSToolbar Configuration relativesToolBar").has_value());
}

}  // namespace
}  // namespace kl
