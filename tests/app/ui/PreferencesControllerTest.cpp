// The preferences window as the user reaches it: File ▸ Preferences… of a
// running Kinlore II, its controls writing their defaults at once, and the
// helper table rewriting "Helper Applications".
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTabWidget>
#include <QColorDialog>
#include <QFontDialog>
#include <QMimeData>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include "UiTestSupport.h"
#include "app/LibraryFolder.h"
#include "app/ui/KinloreApplication.h"
#include "app/ui/PreferencesController.h"
#include "app/ui/WindowCascade.h"
#include "cells/MultimediaCell.h"
#include "dates/DateBridge.h"
#include "foundation/NotificationCenter.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

class PreferencesWindow : public test::AppHome {
protected:
    void SetUp() override {
        AppHome::SetUp();
        application = std::make_unique<KinloreApplication>(*defaults);
        application->setAlertPresenter([](const std::string&, const std::string&) {});
        application->setInfoPresenter([](const std::string&, const std::string&) {});
        ASSERT_TRUE(application->launch());
        ASSERT_TRUE(test::spinUntil([&] { return application->emptyWindow() != nullptr; }));
        QAction* item = nullptr;
        for (QAction* action : application->emptyWindow()->findChildren<QAction*>())
            if (action->text() == "Preferences…") item = action;
        ASSERT_NE(item, nullptr);
        item->trigger();
        ASSERT_TRUE(test::spinUntil([&] { return application->preferences() && application->preferences()->isVisible(); }));
        window = application->preferences();
    }
    void TearDown() override {
        initDateDisplaySettings("%e %d %M %y %b", false, 20, 2, false);
        application.reset();
        AppHome::TearDown();
    }
    template <class W>
    W* tagged(int tag) const {
        for (W* widget : window->findChildren<W*>())
            if (widget->property("tag").isValid() && widget->property("tag").toInt() == tag) return widget;
        return nullptr;
    }

    std::unique_ptr<KinloreApplication> application;
    PreferencesController* window = nullptr;
};

TEST_F(PreferencesWindow, OpensFromTheFileMenuOnceAndShowsTheStoredSettings) {
    EXPECT_EQ(window->currentTabIndex(), 0);
    EXPECT_TRUE(tagged<QCheckBox>(Preferences::ReuseWindows)->isChecked());
    EXPECT_EQ(window->autoSaveTimeSlider()->value(), 61);
    EXPECT_FALSE(window->autoSavePromptBtn()->isEnabled());
    EXPECT_EQ(tagged<QComboBox>(Preferences::DateWordsFormat)->currentIndex(), 3);
    EXPECT_TRUE(window->sampleDatesText()->text().startsWith("Current: "));
    window->resize(720, 520);
    const fs::path shot = fs::path(KL_BINARY_DIR) / "preferences-window.png";
    EXPECT_TRUE(window->grab().save(QString::fromStdString(shot.string())));
    application->showPreferences();
    EXPECT_EQ(application->preferences(), window);
}

TEST_F(PreferencesWindow, ControlsWriteTheirDefaultsAtOnce) {
    std::vector<std::string> posted;
    auto observe = NotificationCenter::defaultCenter().addObserver(
        Preferences::resetAutoSaveTimers, nullptr, [&](const Notification& n) { posted.push_back(n.name); });
    tagged<QCheckBox>(Preferences::ReuseWindows)->click();
    EXPECT_FALSE(defaults->boolForKey("Reuse Windows"));

    window->autoSaveTimeSlider()->setValue(15);
    EXPECT_EQ(defaults->integerForKey("Autosave minutes"), 15);
    EXPECT_TRUE(window->autoSavePromptBtn()->isEnabled());
    EXPECT_EQ(posted.size(), 1u);

    QComboBox* words = tagged<QComboBox>(Preferences::DateWordsFormat);
    words->setCurrentIndex(6);
    emit words->activated(6);
    EXPECT_EQ(defaults->integerForKey("GEDCOM Date Words Format"), 4);

    QComboBox* style = tagged<QComboBox>(Preferences::DateStyle);
    emit style->activated(16);
    tagged<QComboBox>(Preferences::DateLeadingZeros)->activated(1);
    EXPECT_TRUE(window->sampleDatesText()->text().contains("25/05/1985")) << window->sampleDatesText()->text().toStdString();
}

TEST_F(PreferencesWindow, RefusedFieldEntriesShowTheStoredValueAgain) {
    window->preferenceTabs()->setCurrentIndex(2);
    QLineEdit* generations = nullptr;
    QLineEdit* padding = nullptr;
    for (QLineEdit* field : window->findChildren<QLineEdit*>()) {
        if (field->text() == "100") generations = field;
        if (field->text() == "3") padding = field;
    }
    ASSERT_NE(generations, nullptr);
    ASSERT_NE(padding, nullptr);
    generations->setText("0");
    emit generations->editingFinished();
    EXPECT_EQ(defaults->integerForKey("Maximum Generations"), 1);
    EXPECT_EQ(generations->text(), "1");
    padding->setText("-4");
    emit padding->editingFinished();
    EXPECT_EQ(defaults->doubleForKey("Tree Cell Padding"), 3);
    EXPECT_EQ(padding->text(), "3");
}

TEST_F(PreferencesWindow, HelperTableRewritesTheHelperApplications) {
    defaults->setObject(Value(Dictionary{{"jpg", Value(Array{Value("viewer"), Value(0), Value(true)})},
                                         {"mov", Value(Array{Value(""), Value(1), Value(false)})}}),
                        MultimediaCell::kHelperApplicationsKey);
    // The browser's helper sheet edits the same default: showing the
    // window again reads it afresh.
    application->showPreferences();
    QTableWidget* table = window->helpersTable();
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(1, 0)->text(), "mov");

    auto* action = qobject_cast<QComboBox*>(table->cellWidget(1, 1));
    ASSERT_NE(action, nullptr);
    action->setCurrentIndex(2);
    emit action->activated(2);
    auto choice = MultimediaCell::helperChoice("mov", *defaults);
    EXPECT_EQ(choice.option, 2);
    EXPECT_EQ(MultimediaCell::helperChoice("jpg", *defaults).application, "viewer");

    // A cancelled chooser leaves the entry alone; a chosen one is stored.
    std::string answer;
    window->setApplicationChooser([&] { return answer; });
    emit table->cellDoubleClicked(0, 2);
    EXPECT_EQ(MultimediaCell::helperChoice("jpg", *defaults).application, "viewer");
    answer = "imageviewer";
    emit table->cellDoubleClicked(0, 2);
    EXPECT_EQ(MultimediaCell::helperChoice("jpg", *defaults).application, "imageviewer");
    EXPECT_EQ(table->item(0, 2)->text(), "imageviewer");
}

TEST_F(PreferencesWindow, LanguageMenuSwitchesTheFormatAndStoresTheLanguageInForce) {
    LibraryFolder* library = AppController::sharedLibrary();
    ASSERT_NE(library, nullptr);
    QComboBox* menu = window->formatLanguage();
    ASSERT_EQ(menu->count(), static_cast<int>(library->templates().languages().size()));
    ASSERT_GT(menu->count(), 0);
    EXPECT_EQ(menu->currentText().toStdString(), library->templates().language());
    const int last = menu->count() - 1;
    emit menu->activated(last);
    EXPECT_EQ(library->templates().language(), library->templates().languages()[last]);
    EXPECT_EQ(defaults->stringForKey("Preferred format language"), library->templates().language());
    EXPECT_EQ(menu->currentText().toStdString(), library->templates().language());
}

TEST_F(PreferencesWindow, QuittingStoresTheAddressBeingTyped) {
    QPlainTextEdit* address = window->findChild<QPlainTextEdit*>();
    ASSERT_NE(address, nullptr);
    address->setFocus();
    address->setPlainText("1 Lane\nSmalltown");
    ASSERT_TRUE(application->quit());
    EXPECT_EQ(defaults->stringForKey("User Address"), "1 Lane\nSmalltown");
}

// ---- Font and colour tables, the layout variables, the frame

class PreferencesTables : public PreferencesWindow {
protected:
    void SetUp() override {
        PreferencesWindow::SetUp();
        library = AppController::sharedLibrary();
        ASSERT_NE(library, nullptr);
        ASSERT_GT(library->editingPrefs().numberOfFontLines(), 0);
        ASSERT_GT(library->editingPrefs().numberOfColorLines(), 0);
        window->resize(760, 540);
        observation = NotificationCenter::defaultCenter().addObserver(
            EditingPrefs::fontChangedNotification, nullptr, [this](const Notification&) { ++fontNotes; });
    }
    void TearDown() override {
        observation.reset();
        PreferencesWindow::TearDown();
    }
    // A press on the left or right half of a row's swatch, as the user
    // clicks it.
    static void clickSwatch(QTableWidget* table, int row, bool rightHalf) {
        const QRect cell = table->visualItemRect(table->item(row, table->columnCount() - 1));
        const QPoint at(rightHalf ? cell.right() - 3 : cell.left() + 3, cell.center().y());
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    }
    // A colour dragged onto a row's swatch half; answers whether the table
    // took it.
    static bool dropOn(QTableWidget* table, int row, bool rightHalf, const QColor& color) {
        table->scrollToItem(table->item(row, 0));
        const QRect cell = table->visualItemRect(table->item(row, table->columnCount() - 1));
        const QPointF at(rightHalf ? cell.right() - 3 : cell.left() + 3, cell.center().y());
        QMimeData data;
        data.setColorData(color);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(table->viewport(), &enter);
        QDragMoveEvent move(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(table->viewport(), &move);
        if (!move.isAccepted()) return false;
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(table->viewport(), &drop);
        return true;
    }
    int firstFormatFontRow() const { return LibraryFolder::systemFontRows; }
    int firstFormatColorRow() const { return LibraryFolder::systemColorRows; }
    int fontLines() const { return library->editingPrefs().numberOfFontLines(); }

    LibraryFolder* library = nullptr;
    Observation observation;
    int fontNotes = 0;
};

TEST_F(PreferencesTables, TablesListTheProgramsRowsThenTheFormats) {
    window->preferenceTabs()->setCurrentIndex(PreferencesController::FontsTab);
    QTableWidget* fonts = window->fontTable();
    ASSERT_EQ(fonts->rowCount(), 4 + fontLines());
    EXPECT_EQ(fonts->item(0, 0)->text(), "Source Editor Font");
    // The program's fonts: a disabled, empty underline box and one white swatch.
    EXPECT_FALSE(fonts->item(2, PreferencesController::FontUnderlineColumn)->flags() & Qt::ItemIsEnabled);
    EXPECT_EQ(fonts->item(2, PreferencesController::FontUnderlineColumn)->checkState(), Qt::Unchecked);
    EXPECT_EQ(fonts->item(2, PreferencesController::FontColorsColumn)->data(Qt::UserRole).toList().size(), 1);
    EXPECT_EQ(fonts->item(firstFormatFontRow(), PreferencesController::FontColorsColumn)->data(Qt::UserRole).toList().size(), 2);
    EXPECT_TRUE(fonts->item(firstFormatFontRow(), 1)->text().endsWith(" pt"));
    const fs::path fontShot = fs::path(KL_BINARY_DIR) / "preferences-fonts.png";
    EXPECT_TRUE(window->grab().save(QString::fromStdString(fontShot.string())));

    window->preferenceTabs()->setCurrentIndex(PreferencesController::ColorsTab);
    QTableWidget* colors = window->colorTable();
    ASSERT_EQ(colors->rowCount(), 12 + library->editingPrefs().numberOfColorLines());
    EXPECT_EQ(colors->item(10, 1)->data(Qt::UserRole).toList().size(), 1);
    EXPECT_EQ(colors->item(5, 1)->data(Qt::UserRole).toList().size(), 2);
    const fs::path colorShot = fs::path(KL_BINARY_DIR) / "preferences-colours.png";
    EXPECT_TRUE(window->grab().save(QString::fromStdString(colorShot.string())));
}

TEST_F(PreferencesTables, FontPanelChangesTheSelectedRowsFaceInBothVariants) {
    window->preferenceTabs()->setCurrentIndex(PreferencesController::FontsTab);
    QTableWidget* fonts = window->fontTable();
    const int row = firstFormatFontRow();
    fonts->selectRow(row);
    emit fonts->cellDoubleClicked(row, PreferencesController::FontFaceColumn);
    ASSERT_NE(window->fontPanel(), nullptr);
    EXPECT_TRUE(window->fontPanel()->isVisible());
    EXPECT_FALSE(library->editingPrefs().changed()) << "showing the row's font changes nothing";

    window->fontPanel()->setCurrentFont(QFont("DejaVu Serif", 17));
    const EditingPrefs& prefs = library->editingPrefs();
    EXPECT_EQ(prefs.fontAtIndex(row - 4)->size, 17);
    EXPECT_EQ(prefs.fontAtIndex(row - 4 + fontLines())->size, 17);
    EXPECT_TRUE(fonts->item(row, 1)->text().endsWith("17 pt"));
    EXPECT_GT(fontNotes, 0);

    // The program's own font row: stored under its default.
    fonts->selectRow(0);
    window->fontPanel()->setCurrentFont(QFont("DejaVu Sans Mono", 11));
    EXPECT_EQ(library->systemFont(0).size, 11);
    EXPECT_TRUE(defaults->dataForKey("Source Editor Font").has_value());

    // The font panel means nothing on another tab.
    window->preferenceTabs()->setCurrentIndex(PreferencesController::ColorsTab);
    const int beeps = window->beeps();
    window->fontPanel()->setCurrentFont(QFont("DejaVu Sans", 9));
    EXPECT_EQ(window->beeps(), beeps + 1);
    EXPECT_EQ(library->systemFont(0).size, 11);
}

TEST_F(PreferencesTables, SwatchHalvesPickTheVariantTheColourPanelChanges) {
    window->preferenceTabs()->setCurrentIndex(PreferencesController::FontsTab);
    QTableWidget* fonts = window->fontTable();
    const int row = firstFormatFontRow();
    const QList<Color> before{library->fontColorsForRow(row)[0], library->fontColorsForRow(row)[1]};
    fonts->selectRow(row);
    clickSwatch(fonts, row, true);
    EXPECT_FALSE(window->lightSide());
    ASSERT_NE(window->colorPanel(), nullptr);
    window->colorPanel()->setCurrentColor(QColor(10, 200, 30));
    const auto after = library->fontColorsForRow(row);
    EXPECT_EQ(after[0], before[0]) << "the light colour stays";
    EXPECT_NEAR(after[1].green, 200 / 255.0, 1e-3);

    // Rows 0-3 have no text colour to change.
    const int beeps = window->beeps();
    fonts->selectRow(1);
    clickSwatch(fonts, 1, false);
    EXPECT_EQ(window->beeps(), beeps + 1);

    window->preferenceTabs()->setCurrentIndex(PreferencesController::ColorsTab);
    QTableWidget* colors = window->colorTable();
    colors->selectRow(3);
    clickSwatch(colors, 3, false);
    EXPECT_TRUE(window->lightSide());
    window->colorPanel()->setCurrentColor(QColor(0, 0, 0, 128));
    EXPECT_NEAR(library->systemColor(3).alpha, 128 / 255.0, 1e-2);
    EXPECT_TRUE(defaults->dataForKey("Male Tree Chart Cell Color").has_value());
}

TEST_F(PreferencesTables, DroppedColoursLandOnTheHalfTheyFallOn) {
    window->preferenceTabs()->setCurrentIndex(PreferencesController::FontsTab);
    EXPECT_FALSE(dropOn(window->fontTable(), 2, false, Qt::red)) << "the program's fonts refuse colours";
    const int row = firstFormatFontRow();
    const Color light = library->fontColorsForRow(row)[0];
    ASSERT_TRUE(dropOn(window->fontTable(), row, true, QColor(0, 0, 255)));
    EXPECT_EQ(library->fontColorsForRow(row)[0], light);
    EXPECT_EQ(library->fontColorsForRow(row)[1], (Color{0, 0, 1, 1}));

    window->preferenceTabs()->setCurrentIndex(PreferencesController::ColorsTab);
    const Color dark = library->systemColorDark(7);
    ASSERT_TRUE(dropOn(window->colorTable(), 7, false, QColor(255, 255, 0)));
    EXPECT_EQ(library->systemColor(7), (Color{1, 1, 0, 1}));
    EXPECT_EQ(library->systemColorDark(7), dark);
    // The map colours have one variant, whichever half takes the drop.
    ASSERT_TRUE(dropOn(window->colorTable(), 10, true, QColor(0, 255, 0)));
    EXPECT_EQ(library->systemColor(10), (Color{0, 1, 0, 1}));
    const int formatRow = firstFormatColorRow();
    ASSERT_TRUE(dropOn(window->colorTable(), formatRow, true, QColor(255, 0, 255)));
    EXPECT_EQ(library->darkColorForRow(formatRow), (Color{1, 0, 1, 1}));
}

TEST_F(PreferencesTables, EditedLayoutVariableTakesEffectAndIsMarkedChanged) {
    QTreeWidget* outline = window->editingProperties();
    const auto& groups = library->editingPrefs().formatVariables();
    ASSERT_EQ(outline->topLevelItemCount(), static_cast<int>(groups.size()));
    ASSERT_GT(outline->topLevelItemCount(), 0);
    EXPECT_FALSE(outline->topLevelItem(0)->isExpanded()) << "the margins stay folded";
    EXPECT_FALSE(outline->topLevelItem(0)->flags() & Qt::ItemIsEditable);
    // The first group holds the margins; find the left skip in it.
    QTreeWidgetItem* leftSkip = nullptr;
    for (int g = 0; g < outline->topLevelItemCount() && !leftSkip; ++g) {
        QTreeWidgetItem* group = outline->topLevelItem(g);
        for (int e = 0; e < group->childCount(); ++e) {
            const Array* entry = groups[std::size_t(g)]->variableAtIndex(std::size_t(e));
            if (entry && entry->size() > 1 && (*entry)[1].toString() == "#leftSkip") leftSkip = group->child(e);
        }
    }
    ASSERT_NE(leftSkip, nullptr);
    leftSkip->setText(1, "27");
    EXPECT_EQ(library->editingPrefs().leftSkip(), 27);
    EXPECT_TRUE(library->editingPrefs().changed());
    EXPECT_EQ(fontNotes, 1);
    window->preferenceTabs()->setCurrentWidget(outline->parentWidget());
    const fs::path shot = fs::path(KL_BINARY_DIR) / "preferences-layout.png";
    EXPECT_TRUE(window->grab().save(QString::fromStdString(shot.string())));
}

TEST_F(PreferencesTables, WindowKeepsItsFrame) {
    window->setGeometry(QRect(40, 50, 900, 620));
    window->hide();
    const auto saved = WindowCascade::savedFrame(PreferencesController::frameName, UserDefaults::standard());
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->size(), window->size());
    EXPECT_EQ(saved->size(), QSize(900, 620));
}

}  // namespace
}  // namespace kl
