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
#include <QTableWidget>

#include "UiTestSupport.h"
#include "app/LibraryFolder.h"
#include "app/ui/KinloreApplication.h"
#include "app/ui/PreferencesController.h"
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

}  // namespace
}  // namespace kl
