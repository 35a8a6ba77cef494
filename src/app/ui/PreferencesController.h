#pragma once
// PreferencesController: the preferences window of Kinlore II. Its tabs
// edit the user defaults: general switches, the user's name and address,
// autosave, restoring the System resources; date display; tree charts;
// and the helper applications of multimedia formats. Every control hands
// its change to Preferences (app/Preferences.h), which stores it and
// passes it on at once; the window keeps no copy of a setting.
//
// Ownership: the application makes it on first demand and keeps it for the
// run; it is shown and hidden, never rebuilt. Thread: main thread.
#include <QWidget>

#include <functional>
#include <string>

#include "app/Preferences.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTabWidget;
class QTableWidget;

namespace kl {

class PreferencesController : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* frameName = "PreferencesWindow";
    // Lets the user pick an application for the helper table; an empty
    // answer means cancelled. Tests replace it.
    using ApplicationChooser = std::function<std::string()>;
    // Tells the library folder to restore the System resources.
    using RestoreResources = std::function<void()>;

    explicit PreferencesController(UserDefaults& defaults, QWidget* parent = nullptr);
    ~PreferencesController() override;

    void setApplicationChooser(ApplicationChooser chooser) { chooser_ = std::move(chooser); }
    void setRestoreResources(RestoreResources restore) { restore_ = std::move(restore); }

    // Brings the window forward on the first tab's current state.
    void showWindow();
    // Commits an edit in progress before quitting.
    void prefTerminate();

    int currentTabIndex() const;
    bool currentTabIndexIs(int index) const { return currentTabIndex() == index; }
    QTabWidget* preferenceTabs() const { return preferenceTabs_; }
    QTableWidget* helpersTable() const { return helpersTable_; }
    QLabel* sampleDatesText() const { return sampleDatesText_; }
    QSlider* autoSaveTimeSlider() const { return autoSaveTimeSlider_; }
    QCheckBox* autoSavePromptBtn() const { return autoSavePromptBtn_; }
    QComboBox* formatLanguage() const { return formatLanguage_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildGeneralTab();
    QWidget* buildDatesTab();
    QWidget* buildChartsTab();
    QWidget* buildHelpersTab();
    QCheckBox* checkBox(const QString& title, int tag, const char* key);
    QComboBox* popupMenu(const QStringList& items, int tag);
    QLineEdit* textBox(Preferences::TextField field);
    QButtonGroup* radioGroup(QWidget* parent, Preferences::RadioGroup group, const QStringList& titles,
                             const QList<int>& tags);
    void loadTreePreferences();
    // The current format's languages, the one in force selected.
    void loadLanguages();
    void changeDateDisplay(bool apply);
    void changeAutoSaveTime(int minutes);
    void changeUserName();
    void reloadHelpers();
    void changeHelper(int row, int column);
    void commitAddress();

    Preferences prefs_;
    ApplicationChooser chooser_;
    RestoreResources restore_;
    QTabWidget* preferenceTabs_ = nullptr;
    QTableWidget* helpersTable_ = nullptr;
    QLabel* sampleDatesText_ = nullptr;
    QSlider* autoSaveTimeSlider_ = nullptr;
    QCheckBox* autoSavePromptBtn_ = nullptr;
    QPushButton* userNameButton_ = nullptr;
    QComboBox* formatLanguage_ = nullptr;
    QPlainTextEdit* userAddressText_ = nullptr;
    bool addressChanged_ = false;
    bool reloading_ = false;
};

}  // namespace kl
