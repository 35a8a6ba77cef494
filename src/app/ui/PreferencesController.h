#pragma once
// PreferencesController: the preferences window of Kinlore II. Its tabs
// edit the user defaults: general switches, the user's name and address,
// autosave, restoring the System resources; the program's and the current
// format's fonts (tab 1) and colours (tab 2), each with a light and a dark
// variant; date display; tree charts; the helper applications of
// multimedia formats; and the current format's layout variables. Every
// control hands its change to Preferences (app/Preferences.h), which
// stores it and passes it on at once; the window keeps no copy of a
// setting. Faces and colours are picked in a font and a colour panel that
// follow the selected row; colours may also be dropped on a row.
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
class QColorDialog;
class QFontDialog;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace kl {

class PreferencesController : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* frameName = "PreferencesWindow";
    enum Tab { GeneralTab = 0, FontsTab = 1, ColorsTab = 2 };
    enum FontColumn { FontNameColumn, FontFaceColumn, FontUnderlineColumn, FontColorsColumn };
    enum ColorColumn { ColorNameColumn, ColorSwatchColumn };
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
    QTableWidget* fontTable() const { return fontTable_; }
    QTableWidget* colorTable() const { return colorTable_; }
    QTreeWidget* editingProperties() const { return editingProperties_; }
    // The panels, made the first time a row asks for one; nullptr before.
    QFontDialog* fontPanel() const { return fontPanel_; }
    QColorDialog* colorPanel() const { return colorPanel_; }
    // Which variant the colour panel edits: the half of the swatch last
    // clicked (true: the left, light one).
    bool lightSide() const { return lightSide_; }
    void setLightSide(bool light) { lightSide_ = light; }
    int beeps() const { return beeps_; }

    // The format or its language changed: its tables, variables and
    // languages are shown again.
    void changeFormat();
    // From the panels: applied to the selected row of the tab shown.
    void changeFont(const QFont& font);
    void changeColor(const QColor& color);
    // A colour dropped on a row, on its dark half or not; false when the
    // row takes no colour.
    bool dropColor(QTableWidget* table, int row, bool dark, const QColor& color);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildGeneralTab();
    QWidget* buildDatesTab();
    QWidget* buildChartsTab();
    QWidget* buildHelpersTab();
    QWidget* buildFontsTab();
    QWidget* buildColorsTab();
    QWidget* buildVariablesTab();
    void reloadFontTable();
    void reloadColorTable();
    void reloadVariables();
    // Double-click or a click on a swatch: the panel for the row.
    void editFontRow(int row, int column);
    void editColorRow(int row);
    // Points the open panels at the selected row.
    void fontSelectionChanged();
    void colorSelectionChanged();
    QFontDialog* showFontPanel();
    QColorDialog* showColorPanel(bool withAlpha);
    void showInColorPanel(const QColor& color);
    void changeUnderline(int row, bool on);
    void variableEdited(QTreeWidgetItem* item, int column);
    int selectedRow(QTableWidget* table) const;
    void beep();
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
    QTableWidget* fontTable_ = nullptr;
    QTableWidget* colorTable_ = nullptr;
    QTreeWidget* editingProperties_ = nullptr;
    QFontDialog* fontPanel_ = nullptr;
    QColorDialog* colorPanel_ = nullptr;
    bool lightSide_ = true;
    // Set while the window itself moves a panel to a row, so the panel's
    // change signal is not taken for the user's choice.
    bool pointingPanels_ = false;
    int beeps_ = 0;
    bool addressChanged_ = false;
    bool reloading_ = false;
};

}  // namespace kl
