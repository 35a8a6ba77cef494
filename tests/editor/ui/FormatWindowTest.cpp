// The document window driven the way a user drives it: through the File,
// Edit and Templates menus and the outline, on a copy of the shipped
// Default Format opened by the program's document controller.
#include <gtest/gtest.h>

#include <QAction>
#include <QDesktopServices>
#include <QListWidget>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

#include "FormatWindowFixture.h"
#include "../EditorTestSupport.h"
#include "editor/FormatDocument.h"
#include "editor/FormatToolbar.h"
#include "index/ui/ToolbarCustomizeDialog.h"
#include "editor/ui/FormatWindow.h"
#include "editor/ui/KXDocController.h"
#include "editor/ui/PropertyTableView.h"
#include "editor/ui/WXColoredTextView.h"
#include "foundation/NotificationCenter.h"
#include "foundation/UndoManager.h"
#include "foundation/UserDefaults.h"

namespace kl {
namespace {



TEST_F(FormatWindowTest, OpensOnTheIndividualTemplateInColourAndWritesTheScreenshot) {
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(shownName(), "INDI Record Editing");
    EXPECT_EQ(window_->currentEditor(), window_->textView());
    EXPECT_FALSE(window_->textView()->isReadOnly());
    EXPECT_EQ(window_->toolbar()->objectName(), "indexToolBar");
    // Some text of the template has a colour of its own.
    bool coloured = false;
    for (int at = 0; at < text().size() && !coloured; ++at)
        coloured = window_->textView()->foregroundAt(at).isValid();
    EXPECT_TRUE(coloured);
    window_->resize(1000, 640);
    QApplication::processEvents();
    EXPECT_TRUE(window_->grab().save(QString(KL_BINARY_DIR) + "/editor-window.png"));
}

TEST_F(FormatWindowTest, AnEditSavedIsThereAfterReopeningAndAnUndoneEditChangesNothing) {
    const std::string original = test::readFile(package_ / "NAME Editing.txt");
    select("Tag Editing", "NAME Editing");
    window_->textView()->setFocus();
    QTest::keyClicks(window_->textView(), "xyz");
    EXPECT_TRUE(window_->isWindowModified());
    choose("File", "Save");
    EXPECT_EQ(test::readFile(package_ / "NAME Editing.txt"), "xyz" + original);
    reopen();
    select("Tag Editing", "NAME Editing");
    EXPECT_TRUE(text().startsWith("xyz"));

    window_->textView()->setFocus();
    QTest::keyClicks(window_->textView(), "abc");
    undo();
    EXPECT_TRUE(text().startsWith("xyz" + QString::fromStdString(original.substr(0, 3))));
    choose("File", "Save");
    EXPECT_EQ(test::readFile(package_ / "NAME Editing.txt"), "xyz" + original);
}

TEST_F(FormatWindowTest, AnAppearanceChangeShowsTheItemInItsNewColours) {
    int coloured = -1;
    for (int at = 0; at < text().size() && coloured < 0; ++at)
        if (window_->textView()->foregroundAt(at).isValid()) coloured = at;
    ASSERT_GE(coloured, 0);
    const QColor light = window_->textView()->foregroundAt(coloured);
    const QPalette saved = QApplication::palette();
    QPalette dark = saved;
    dark.setColor(QPalette::Window, Qt::black);
    dark.setColor(QPalette::WindowText, Qt::white);
    QApplication::setPalette(dark);
    NotificationCenter::defaultCenter().post("KXLightDarkModeChange", nullptr);
    EXPECT_NE(window_->textView()->foregroundAt(coloured), light);
    QApplication::setPalette(saved);
}

TEST_F(FormatWindowTest, UndoKeysInTheTextRunTheDocumentsHistory) {
    select("Tag Editing", "NAME Editing");
    const QString before = text();
    window_->activateWindow();
    window_->textView()->setFocus();
    QTest::keyClicks(window_->textView(), "abc");
    QApplication::processEvents();
    ASSERT_NE(text(), before);
    QTest::keyClick(window_->textView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text(), before);
    EXPECT_TRUE(document_->undoManager().canRedo());
    QTest::keyClick(window_->textView(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(text(), "abc" + before);
}

TEST_F(FormatWindowTest, TabInsertsFourBlanks) {
    select("Tag Editing", "NAME Editing");
    window_->textView()->setFocus();
    window_->textView()->moveCursor(QTextCursor::Start);
    QTest::keyClick(window_->textView(), Qt::Key_Tab);
    EXPECT_TRUE(text().startsWith("    "));
    EXPECT_FALSE(text().contains('\t'));
}

TEST_F(FormatWindowTest, NewItemsTakeTheirListsNamingRulesAndUndoAsNewTemplate) {
    struct Case {
        const char* menuItem;
        const char* typed;
        const char* list;
        const char* made;
        const char* prompt;
    };
    const Case cases[] = {
        {"New Record Editing...", "_ZZZ", "Record Editing", "_ZZZ Record Editing",
         "Enter tag for Record Editing template"},
        {"New Tag Editing...", "NAME", "Tag Editing", "NAME_1 Editing", "Enter tag for Tag Editing template"},
        {"New Subroutine/Script...", "Tally", "Subroutines", "Tally", "Enter one-word Subroutine name"},
        {"New Documentation File...", "notes.html", "Documentation", "notes.html",
         "Enter documentation file name (.html, .htm, or .css file)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.made);
        typedName_ = QString(c.typed);
        choose("Templates", c.menuItem);
        EXPECT_EQ(prompts_.back(), c.prompt);
        EXPECT_EQ(shownName(), c.made);
        EXPECT_EQ(undoName(), "New Template");
        undo();
        EXPECT_EQ(document_->listForName(c.list)->objectNamed(c.made), nullptr);
    }
    typedName_.reset();
    const std::size_t before = document_->listForName("Record Editing")->count();
    choose("Templates", "New Record Editing...");
    EXPECT_EQ(document_->listForName("Record Editing")->count(), before);
}

TEST_F(FormatWindowTest, RenamingUpTheListSelectsTheNewRowAndATakenNameIsRefused) {
    select("Tag Editing", "WIFE Editing");
    // Typed into the outline's row, as a user renames.
    QTreeView* outline = window_->outline();
    ASSERT_TRUE(outline->model()->flags(outline->currentIndex()) & Qt::ItemIsEditable);
    outline->model()->setData(outline->currentIndex(), "AAAA Editing");
    QApplication::processEvents();
    EXPECT_EQ(shownName(), "AAAA Editing");
    EXPECT_EQ(window_->outline()->currentIndex().row(), 0);
    EXPECT_EQ(undoName(), "Template Name Change");
    undo();
    EXPECT_EQ(shownName(), "WIFE Editing");

    window_->changeTemplateName("HUSB Editing", window_->selectedTemplate());
    EXPECT_EQ(sheets(), std::vector<QString>{"The template name could not be changed / Names must be unique and "
                                             "the new name already exists."});
    EXPECT_EQ(shownName(), "WIFE Editing");
}

TEST_F(FormatWindowTest, DeletingTheShownItemEmptiesTheEditorAndUndoBringsItBackSelected) {
    select("Tag Editing", "WIFE Editing");
    choose("Edit", "Delete Template");
    EXPECT_EQ(document_->listForName("Tag Editing")->objectNamed("WIFE Editing"), nullptr);
    EXPECT_EQ(document_->currentTemplate(), nullptr) << document_->currentTemplate()->name();
    EXPECT_TRUE(text().isEmpty());
    EXPECT_TRUE(window_->textView()->isReadOnly());
    EXPECT_FALSE(menuItem("Edit", "Delete Template")->isEnabled());
    EXPECT_EQ(undoName(), "Delete Template");
    undo();
    EXPECT_EQ(shownName(), "WIFE Editing");
    EXPECT_FALSE(text().isEmpty());

    select("Tag Editing", "_Unknown_ Editing");
    EXPECT_FALSE(menuItem("Edit", "Delete Template")->isEnabled());
}

TEST_F(FormatWindowTest, IndentingIsOneUndoStepAndOptionKeepsGroupBoxes) {
    select("Tag Editing", "WIFE Editing");
    const QString body = "GroupBox \"Spouse\"\nif #x\nShow\nendif\nEndGroup\n";
    window_->textView()->setPlainText(body);
    QApplication::processEvents();
    choose("Edit", "Indent Template Commands");
    EXPECT_EQ(text(), "GroupBox \"Spouse\"\n  if #x\n    Show\n  endif\nEndGroup\n");
    EXPECT_EQ(undoName(), "Indent Template Commands");
    undo();
    EXPECT_EQ(text(), body);
    window_->indentTemplateCommands(true);
    EXPECT_EQ(text(), "GroupBox \"Spouse\"\nif #x\n  Show\nendif\nEndGroup\n");
}

TEST_F(FormatWindowTest, SelectingAListRowKeepsTheShownItem) {
    select("Tag Editing", "WIFE Editing");
    const QString shown = text();
    QTreeView* outline = window_->outline();
    outline->setCurrentIndex(outline->model()->index(1, 0));
    QApplication::processEvents();
    EXPECT_EQ(document_->currentTemplate()->name(), "WIFE Editing");
    EXPECT_EQ(text(), shown);
}

TEST_F(FormatWindowTest, SearchListsTheDocumentationFileAndSelectsTheFirstOccurrence) {
    searchFor_ = "ZEBRAFINCH";
    choose("Edit", "Search Templates...");
    QApplication::processEvents();
    QApplication::processEvents();
    const ItemList* results = document_->listForName("Search Results");
    ASSERT_EQ(results->count(), 1u);
    EXPECT_EQ(shownName(), "guide.html");
    EXPECT_EQ(window_->textView()->textCursor().selectedText(), "zebrafinch");

    searchFor_ = "zzz";
    choose("Edit", "Search Templates...");
    EXPECT_EQ(sheets(), std::vector<QString>{"No results found / The text 'zzz' was not found in any template."});
    EXPECT_EQ(results->count(), 0u);
}

TEST_F(FormatWindowTest, PropertyRowsAreAddedAndEditedUndoablyAndSaved) {
    select("Properties", "INDIEvents");
    PropertyTableView* table = window_->shownTable();
    ASSERT_EQ(table, window_->tableView(PropertyTable::Kind::Properties));
    EXPECT_FALSE(menuItem("Templates", "Delete Property")->isEnabled());
    choose("Templates", "Add Property");
    choose("Templates", "Add Property");
    const PropertyTable& rows = table->table();
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < rows.rows().size(); ++i) keys.push_back(rows.displayText(i, "key"));
    EXPECT_NE(std::find(keys.begin(), keys.end(), "New Property 1"), keys.end());
    EXPECT_NE(std::find(keys.begin(), keys.end(), "New Property 2"), keys.end());
    EXPECT_EQ(undoName(), "Add Property");
    EXPECT_TRUE(menuItem("Templates", "Delete Property")->isEnabled());

    // A key already used is refused with a sheet; the row keeps its key.
    const auto row = *rows.indexOf(rows.rows()[0]);
    const QModelIndex key = table->model()->index(static_cast<int>(row), 0);
    const std::string before = rows.displayText(row, "key");
    EXPECT_FALSE(table->model()->setData(key, QString::fromStdString(rows.displayText(row + 1, "key"))));
    EXPECT_EQ(sheets(), std::vector<QString>{"All key names for properties must be different / The previous "
                                             "setting will be restored"});
    EXPECT_EQ(rows.displayText(row, "key"), before);

    choose("File", "Save");
    const Dictionary saved = test::readList(package_ / "INDIEvents.plist");
    EXPECT_TRUE(saved.contains("New Property 2"));

    // Showing another item drops the table's steps; item commands stay.
    select("Tag Editing", "WIFE Editing");
    choose("Edit", "Delete Template");
    select("Properties", "INDIEvents");
    undo();
    EXPECT_NE(document_->listForName("Tag Editing")->objectNamed("WIFE Editing"), nullptr);
    EXPECT_FALSE(document_->undoManager().canUndo());
}

TEST_F(FormatWindowTest, ColoursChangeThroughTheirButtonsAndVariablesKeepProtectedNames) {
    select("Properties", "Editing Colors");
    PropertyTableView* colors = window_->shownTable();
    ASSERT_EQ(colors, window_->tableView(PropertyTable::Kind::Colors));
    ASSERT_FALSE(colors->table().rows().empty());
    colors->prompts().chooseColor = [](const Color&) { return std::optional<Color>(Color{0.25, 0.5, 0.75, 1}); };
    colors->clickCell(0, "value");
    EXPECT_EQ(colors->table().rows()[0]->at("value").objectAs<ColorCell>()->color, (Color{0.25, 0.5, 0.75, 1}));
    EXPECT_EQ(undoName(), "Change Color");
    EXPECT_FALSE(colors->model()->flags(colors->model()->index(0, 1)) & Qt::ItemIsEditable);

    select("Properties", "Editing Properties");
    PropertyTableView* variables = window_->shownTable();
    ASSERT_EQ(variables, window_->tableView(PropertyTable::Kind::Variables));
    const PropertyTable& rows = variables->table();
    for (std::size_t i = 0; i < rows.rows().size(); ++i) {
        EXPECT_EQ(rows.displayText(i, "order"), std::to_string(i + 1));
        const bool builtIn = rows.displayText(i, "variable").back() == '$';
        EXPECT_EQ(bool(variables->model()->flags(variables->model()->index(int(i), 1)) & Qt::ItemIsEditable),
                  !builtIn)
            << rows.displayText(i, "variable");
    }
}

TEST_F(FormatWindowTest, NewLanguagesCopyEnglishUnderTheirOwnName) {
    typedName_ = QString("Old Norse");
    choose("Languages", "New Language...");
    EXPECT_EQ(prompts_.back(), "Enter one-word Language name");
    EXPECT_EQ(shownName(), "Old_Norse");
    const auto made = document_->listForName("Properties")->objectNamed("Old_Norse");
    ASSERT_NE(made, nullptr);
    const Dictionary* strings = made->templateObject().dictionary();
    ASSERT_NE(strings, nullptr);
    EXPECT_EQ(strings->get("<LANG>")->toString(), "Old Norse");
    EXPECT_GT(strings->size(), 100u);
    EXPECT_EQ(undoName(), "New Language");
}

TEST_F(FormatWindowTest, SynchronisingAddsMissingKeysUndoablyAndWritesTheReport) {
    select("Tag Editing", "NAME Editing");
    window_->textView()->setPlainText("Show NAME local(\"Unheard of\")\n");
    QApplication::processEvents();
    choose("Languages", "Synchronize Strings");
    const auto english = document_->listForName("Properties")->objectNamed("English");
    EXPECT_TRUE(english->templateObject().dictionary()->contains("Unheard of"));
    EXPECT_EQ(undoName(), "Language Strings Changed");
    ASSERT_FALSE(alerts_.empty());
    EXPECT_EQ(alerts_.back(), "Some keys were ignored due to their style, were not found, or were added to languages.");
    const std::string report = test::readFile(scratch("written.txt"));
    EXPECT_NE(report.find(std::string(83, '-') + "\nThe following keys were added to languages\n"), std::string::npos);
    EXPECT_NE(report.find("Added 'Unheard of' to 'English'"), std::string::npos);
    undo();
    EXPECT_FALSE(english->templateObject().dictionary()->contains("Unheard of"));
}

TEST_F(FormatWindowTest, ImportingAnUnknownLanguageMakesItFromEnglish) {
    test::writeFile(scratch("table.txt"), "Key\tContext\tFrench\nBirth\tevent\tNaissance\nZzz only\t\tSeulement\n");
    style_ = ImportStyle::Add;
    choose("Languages", "Import Languages...");
    EXPECT_EQ(prompts_.back(), "The selected file has 2 strings to import for the following languages: <French>");
    const auto french = document_->listForName("Properties")->objectNamed("French");
    ASSERT_NE(french, nullptr);
    const Dictionary& strings = *french->templateObject().dictionary();
    EXPECT_EQ(strings.get("Zzz only")->toString(), "Seulement");
    EXPECT_EQ(strings.get("<LANG>")->toString(), "French");
    // Add style keeps the text the copy of English already had.
    EXPECT_NE(strings.get("Birth")->toString(), "Naissance");
    EXPECT_EQ(window_->importStyle(), ImportStyle::Add);

    choose("Languages", "Export Languages...");
    const std::string table = test::readFile(scratch("written.txt"));
    EXPECT_EQ(table.substr(0, table.find('\n')), "Key\tEnglish\tFrench");
    EXPECT_NE(table.find("Zzz only\t\tSeulement\n"), std::string::npos);
}

TEST_F(FormatWindowTest, ImportRefusesTablesWithoutStringsAndTitlesThatLeaveThePackage) {
    struct Case {
        const char* table;
        const char* sheet;
    };
    const Case cases[] = {
        {"Key\tFrench", "The selected file does not have any content. / "},
        {"Word\tFrench\nBirth\tNaissance\n",
         "The file may not have strings because the first column is not labeled 'Key'. / "},
        {"Key\t../Evil\nBirth\tx\n",
         "The selected file could not be imported. / Names cannot contain '/' or be '.' or '..'"},
        {"Key\t..\nBirth\tx\n", "The selected file could not be imported. / Names cannot contain '/' or be '.' or '..'"},
    };
    const std::size_t before = document_->listForName("Properties")->count();
    for (const Case& c : cases) {
        test::writeFile(scratch("table.txt"), c.table);
        choose("Languages", "Import Languages...");
        EXPECT_EQ(sheets(), std::vector<QString>{c.sheet}) << c.table;
    }
    EXPECT_EQ(document_->listForName("Properties")->count(), before);
}

}  // namespace

// Receives the addresses the desktop is asked to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};

namespace {

TEST_F(FormatWindowTest, ToolbarStartsInItsDefaultOrderAndKeepsACustomisedOne) {
    EXPECT_EQ(window_->toolbarItemIdentifiers(), FormatToolbar::toolbarDefaultItemIdentifiers());
    ASSERT_TRUE(window_->toolbarItem("SaveAndRun"));
    EXPECT_TRUE(window_->toolbarItem("SaveAndRun")->isEnabled());
    EXPECT_EQ(window_->toolbarItem("SaveAndRun")->toolTip(), "Save format and launch in Kinlore II");
    EXPECT_FALSE(window_->toolbarItem("AddProp")->isEnabled()) << "a template is shown, not a table";

    // The toolbar's items run their commands.
    typedName_ = QString("Tally");
    window_->toolbarItem("NewSub")->trigger();
    EXPECT_EQ(shownName(), "Tally");
    searchFor_ = "zzz";
    window_->toolbarItem("Search")->trigger();
    EXPECT_EQ(sheets().size(), 1u);

    choose("View", "Customize Toolbar...");
    QPointer<ToolbarCustomizeDialog> dialog = window_->findChild<ToolbarCustomizeDialog*>();
    ASSERT_TRUE(dialog);
    ASSERT_EQ(dialog->allowedList()->count(), 12);
    EXPECT_EQ(dialog->allowedList()->item(4)->text(), "Save and Run");
    // Save and Run leaves; the customise item goes in at the end.
    dialog->currentList()->setCurrentRow(0);
    dialog->removeItem();
    dialog->allowedList()->setCurrentRow(3);
    dialog->currentList()->setCurrentRow(dialog->currentList()->count() - 1);
    dialog->addItem();
    std::vector<std::string> expected(FormatToolbar::toolbarDefaultItemIdentifiers().begin() + 1,
                                      FormatToolbar::toolbarDefaultItemIdentifiers().end());
    expected.push_back(IndexToolbar::kCustomize);
    dialog->accept();
    QApplication::processEvents();
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(window_->toolbarItemIdentifiers(), expected);
    EXPECT_FALSE(window_->toolbarItem("SaveAndRun"));
    EXPECT_TRUE(menuItem("File", "Save and Run")->isEnabled()) << "the menu item stays";

    reopen();
    EXPECT_EQ(window_->toolbarItemIdentifiers(), expected) << "the next window shows the chosen order";
    window_->toolbarItem(IndexToolbar::kCustomize)->trigger();
    dialog = window_->findChild<ToolbarCustomizeDialog*>();
    ASSERT_TRUE(dialog);
    dialog->useDefaultSet();
    dialog->accept();
    QApplication::processEvents();
    EXPECT_EQ(window_->toolbarItemIdentifiers(), FormatToolbar::toolbarDefaultItemIdentifiers());
}

TEST_F(FormatWindowTest, SaveAndRunSavesThenOpensTheFormatInKinloreTryingTwice) {
    const std::string original = test::readFile(package_ / "NAME Editing.txt");
    select("Tag Editing", "NAME Editing");
    window_->textView()->setFocus();
    QTest::keyClicks(window_->textView(), "xyz");
    launches_ = false;
    window_->toolbarItem("SaveAndRun")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(test::readFile(package_ / "NAME Editing.txt"), "xyz" + original) << "saved first";
    EXPECT_FALSE(window_->isWindowModified());
    EXPECT_EQ(launched_, (std::vector<path>{package_, package_}));
    EXPECT_EQ(sheets(), std::vector<QString>{"The application Kinlore II could not be launched / Running a format "
                                             "requires Kinlore II"});

    launched_.clear();
    launches_ = true;
    choose("File", "Save and Run");
    EXPECT_EQ(launched_, std::vector<path>{package_});
    EXPECT_TRUE(sheets().empty());
}

TEST_F(FormatWindowTest, ReplacingTheShownItemShowsTheNewContentAndUndoes) {
    select("Tag Editing", "WIFE Editing");
    const QString before = text();
    const auto item = window_->selectedTemplate();
    window_->replaceObject(Value(std::string("Cell static \"new\"\n")), item);
    EXPECT_EQ(text(), "Cell static \"new\"\n");
    EXPECT_EQ(shownName(), "WIFE Editing");
    EXPECT_EQ(undoName(), "Replace Template");
    EXPECT_TRUE(window_->isWindowModified());
    undo();
    EXPECT_EQ(text(), before);
    EXPECT_EQ(item->text(), before.toStdString());

    // An item not shown changes without taking the editor.
    const auto other = document_->listForName("Tag Editing")->objectNamed("NAME Editing");
    window_->replaceObject(Value(std::string("x\n")), other);
    EXPECT_EQ(other->text(), "x\n");
    EXPECT_EQ(text(), before);
}


TEST_F(ExtensionWindowTest, ClickingACarriedFileOpensItThroughTheDesktop) {
    openExtension();
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    clickOtherFile("data.csv");
    ASSERT_EQ(catcher.opened.size(), 1u);
    EXPECT_EQ(catcher.opened[0], QUrl::fromLocalFile(QString::fromStdString((extension_ / "data.csv").string())));
    EXPECT_TRUE(sheets().empty());

    test::fs::remove(extension_ / "data.csv");
    clickOtherFile("data.csv");
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_EQ(catcher.opened.size(), 1u);
    EXPECT_EQ(sheets(), std::vector<QString>{"The file manager was not able to open the clicked other file. / "
                                             "Error opening othe file named 'data.csv'."});
}

TEST_F(ExtensionWindowTest, SaveAndRunHandsTheExtensionToKinloreAndReportsItsFailure) {
    openExtension();
    struct Case {
        std::optional<std::string> error;
        std::vector<QString> alerts;
    };
    const Case cases[] = {
        {std::nullopt, {}},
        {std::string(), {"The script to run the selected script in Kinlore II failed. / Unspecified error"}},
        {std::string("No such service"),
         {"The script to run the selected script in Kinlore II failed. / No such service"}},
    };
    for (const Case& c : cases) {
        launched_.clear();
        alerts_.clear();
        scriptError_ = c.error;
        choose("File", "Save and Run");
        EXPECT_EQ(launched_, std::vector<path>{extension_});
        EXPECT_EQ(alerts_, c.alerts);
    }
}

}  // namespace
}  // namespace kl

#include "FormatWindowTest.moc"
