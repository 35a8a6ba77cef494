#include "app/ui/PreferencesController.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "app/ui/WindowCascade.h"
#include "cells/MultimediaCell.h"

namespace kl {
namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

using Field = Preferences::TextField;

enum HelperColumn { FormatColumn, ActionColumn, ApplicationColumn, AskColumn };

QString autosaveTitle(int minutes) {
    return minutes >= Preferences::autosaveNever ? QObject::tr("Autosave: never")
                                                 : QObject::tr("Autosave every %1 min").arg(minutes);
}

}  // namespace

PreferencesController::PreferencesController(UserDefaults& defaults, QWidget* parent)
    : QWidget(parent, Qt::Window), prefs_(defaults) {
    setObjectName(frameName);
    setWindowTitle(tr("Preferences"));
    preferenceTabs_ = new QTabWidget(this);
    preferenceTabs_->addTab(buildGeneralTab(), tr("General"));
    preferenceTabs_->addTab(buildFontsTab(), tr("Fonts"));
    preferenceTabs_->addTab(buildColorsTab(), tr("Colours"));
    preferenceTabs_->addTab(buildDatesTab(), tr("Dates"));
    preferenceTabs_->addTab(buildChartsTab(), tr("Charts"));
    preferenceTabs_->addTab(buildHelpersTab(), tr("Helpers"));
    preferenceTabs_->addTab(buildVariablesTab(), tr("Format Layout"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(preferenceTabs_);
    changeDateDisplay(false);
    loadTreePreferences();
    // The window comes back where the user left it, at the size it had.
    resize(760, 540);
    WindowCascade& frames = WindowCascade::shared();
    frames.setFrameUsingName(this, frameName);
    frames.setFrameAutosaveName(this, frameName);
}

PreferencesController::~PreferencesController() = default;

void PreferencesController::showWindow() {
    // The browser's helper sheet edits the same default, and the format
    // may have changed since.
    reloadHelpers();
    changeFormat();
    preferenceTabs_->setCurrentIndex(0);
    show();
    raise();
    activateWindow();
}

int PreferencesController::currentTabIndex() const { return preferenceTabs_->currentIndex(); }

// ---- Controls that write through

QCheckBox* PreferencesController::checkBox(const QString& title, int tag, const char* key) {
    auto* box = new QCheckBox(title);
    box->setProperty("tag", tag);
    box->setChecked(prefs_.defaults().boolForKey(key));
    connect(box, &QCheckBox::toggled, this, [this, tag](bool on) { prefs_.changeCheckBox(tag, on); });
    if (tag == Preferences::AssumeDayFirst || tag == Preferences::SearchUserMonths)
        connect(box, &QCheckBox::toggled, this, [this] { changeDateDisplay(false); });
    return box;
}

QComboBox* PreferencesController::popupMenu(const QStringList& items, int tag) {
    auto* menu = new QComboBox;
    menu->setProperty("tag", tag);
    menu->addItems(items);
    if (const auto item = prefs_.selectedItem(tag)) menu->setCurrentIndex(*item);
    connect(menu, &QComboBox::activated, this, [this, tag](int index) {
        prefs_.changePopupMenu(tag, index);
        changeDateDisplay(false);
    });
    return menu;
}

QLineEdit* PreferencesController::textBox(Field field) {
    auto* text = new QLineEdit;
    text->setValidator(new QDoubleValidator(text));
    text->setText(QString::number(prefs_.textBoxValue(field)));
    connect(text, &QLineEdit::editingFinished, this, [this, text, field] {
        bool number = false;
        const double value = text->text().toDouble(&number);
        if (number) {
            prefs_.changeTextBox(field, value);
            if (field == Field::AssumedCentury) changeDateDisplay(false);
        }
        // What was stored, or what stands when the entry was refused.
        text->setText(QString::number(prefs_.textBoxValue(field)));
    });
    return text;
}

QButtonGroup* PreferencesController::radioGroup(QWidget* parent, Preferences::RadioGroup group,
                                                const QStringList& titles, const QList<int>& tags) {
    auto* buttons = new QButtonGroup(parent);
    auto* layout = new QVBoxLayout(parent);
    for (int i = 0; i < titles.size(); ++i) {
        auto* radio = new QRadioButton(titles[i], parent);
        buttons->addButton(radio, tags[i]);
        layout->addWidget(radio);
    }
    if (QAbstractButton* chosen = buttons->button(prefs_.radioGroupValue(group))) chosen->setChecked(true);
    connect(buttons, &QButtonGroup::idClicked, this, [this, group](int tag) { prefs_.changeRadioGroup(group, tag); });
    return buttons;
}

// ---- General

QWidget* PreferencesController::buildGeneralTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    const struct {
        const char* title;
        int tag;
    } boxes[] = {{"Track the date records were changed", Preferences::TrackChangeDates},
                 {"Add a creation date to new records", Preferences::AddCreationDate},
                 {"Insert UUIDs in new records", Preferences::InsertUUIDs},
                 {"Allow fast saves", Preferences::AllowFastSaves},
                 {"Reuse windows", Preferences::ReuseWindows},
                 {"Check for updates", Preferences::CheckForUpdates},
                 {"Open help in the browser", Preferences::HelpInBrowser},
                 {"Warn on a link to a file outside the library", Preferences::WarnNonLibraryFile},
                 {"Warn before creating a new place from typed text", Preferences::WarnBeforeCreatingPlace}};
    auto* grid = new QGridLayout;
    int index = 0;
    for (const auto& box : boxes) {
        grid->addWidget(checkBox(tr(box.title), box.tag, Preferences::checkBoxKey(box.tag)), index / 2, index % 2);
        ++index;
    }
    layout->addLayout(grid);

    auto* autosave = new QHBoxLayout;
    auto* autosaveLabel = new QLabel;
    autoSaveTimeSlider_ = new QSlider(Qt::Horizontal);
    autoSaveTimeSlider_->setRange(1, Preferences::autosaveNever);
    const int minutes = static_cast<int>(prefs_.defaults().integerForKey("Autosave minutes"));
    autoSaveTimeSlider_->setValue(minutes);
    autosaveLabel->setText(autosaveTitle(minutes));
    autoSavePromptBtn_ = checkBox(tr("Ask before autosaving"), Preferences::AutosavePrompts, "Autosave prompts");
    autoSavePromptBtn_->setEnabled(Preferences::autoSavePromptsEnabled(minutes));
    connect(autoSaveTimeSlider_, &QSlider::valueChanged, this, [this, autosaveLabel](int value) {
        autosaveLabel->setText(autosaveTitle(value));
        changeAutoSaveTime(value);
    });
    autosave->addWidget(autosaveLabel);
    autosave->addWidget(autoSaveTimeSlider_, 1);
    autosave->addWidget(autoSavePromptBtn_);
    layout->addLayout(autosave);

    auto* form = new QFormLayout;
    userNameButton_ = new QPushButton;
    userNameButton_->setText(qt(prefs_.defaults().stringForKey("User Name").value_or("")));
    if (userNameButton_->text().isEmpty()) userNameButton_->setText("?");
    connect(userNameButton_, &QPushButton::clicked, this, &PreferencesController::changeUserName);
    form->addRow(tr("User name:"), userNameButton_);
    userAddressText_ = new QPlainTextEdit;
    userAddressText_->setPlainText(qt(prefs_.defaults().stringForKey("User Address").value_or("")));
    userAddressText_->setMaximumHeight(80);
    userAddressText_->installEventFilter(this);
    connect(userAddressText_, &QPlainTextEdit::textChanged, this, [this] { addressChanged_ = true; });
    form->addRow(tr("Address:"), userAddressText_);
    auto* python = new QLineEdit(qt(prefs_.defaults().stringForKey("Path to python").value_or("")));
    connect(python, &QLineEdit::editingFinished, this,
            [this, python] { prefs_.changePythonPath(python->text().toStdString()); });
    form->addRow(tr("Python:"), python);
    form->addRow(tr("Toolbar style:"),
                 popupMenu({tr("Automatic"), tr("Expanded"), tr("Preference"), tr("Unified")}, Preferences::ToolbarStyle));
    form->addRow(tr("Maps:"), popupMenu({tr("OpenLayers"), tr("Local place data")}, Preferences::MappingAPI));
    formatLanguage_ = new QComboBox;
    connect(formatLanguage_, &QComboBox::activated, this, [this](int index) {
        LibraryFolder* library = AppController::sharedLibrary();
        if (!library) return;
        prefs_.changeLanguage(*library, formatLanguage_->itemText(index).toStdString());
        changeFormat();
    });
    form->addRow(tr("Format language:"), formatLanguage_);
    layout->addLayout(form);

    auto* restoreBox = new QGroupBox(tr("System resources"));
    auto* restoreLayout = new QHBoxLayout(restoreBox);
    restoreLayout->addWidget(
        new QLabel(tr("Restore the scripts, formats and sample database of the System folder.")), 1);
    auto* restoreDefaultsButton = new QPushButton(tr("Restore…"));
    connect(restoreDefaultsButton, &QPushButton::clicked, this, [this] {
        if (restore_) restore_();
    });
    restoreLayout->addWidget(restoreDefaultsButton);
    layout->addWidget(restoreBox);
    layout->addStretch();
    return tab;
}

void PreferencesController::loadLanguages() {
    formatLanguage_->clear();
    LibraryFolder* library = AppController::sharedLibrary();
    if (!library) return;
    for (const std::string& language : library->templates().languages()) formatLanguage_->addItem(qt(language));
    formatLanguage_->setCurrentText(qt(library->templates().language()));
}

void PreferencesController::changeAutoSaveTime(int minutes) {
    if (prefs_.changeAutoSaveTime(minutes)) autoSavePromptBtn_->setEnabled(Preferences::autoSavePromptsEnabled(minutes));
}

void PreferencesController::changeUserName() {
    bool ok = false;
    const QString name = QInputDialog::getText(this, tr("User Name"), tr("Your name:"), QLineEdit::Normal,
                                               qt(prefs_.defaults().stringForKey("User Name").value_or("")), &ok);
    if (!ok) return;
    prefs_.defaults().setObject(Value(name.trimmed().toStdString()), "User Name");
    userNameButton_->setText(name.trimmed().isEmpty() ? "?" : name.trimmed());
}

void PreferencesController::commitAddress() {
    if (!addressChanged_) return;
    prefs_.storeAddress(userAddressText_->toPlainText().toStdString());
    addressChanged_ = false;
}

// ---- Dates

QWidget* PreferencesController::buildDatesTab() {
    auto* tab = new QWidget;
    auto* form = new QFormLayout(tab);
    QStringList styles{tr("GEDCOM")};
    for (const char* style : {"25 May 1985", "May 25 1985", "May 25, 1985", "25-May-1985", "May-25-1985", "25/May/1985",
                              "May/25/1985", "25.May.1985", "May.25.1985", "GEDCOM", "1985 May 25", "1985-May-25",
                              "1985/May/25", "1985.May.25", "GEDCOM", "25/5/1985", "5/25/1985", "1985/5/25",
                              "25-5-1985", "5-25-1985", "1985-5-25", "25.5.1985", "5.25.1985", "1985.5.25"})
        styles << QString::fromLatin1(style);
    form->addRow(tr("Date style:"), popupMenu(styles, Preferences::DateStyle));
    form->addRow(tr("Month names:"), popupMenu({tr("Standard"), tr("lower case"), tr("Capitalised"), tr("CAPITALS")},
                                               Preferences::DateMonthCase));
    form->addRow(tr("Day and month numbers:"),
                 popupMenu({tr("Standard"), tr("With leading zeros"), tr("Without leading zeros")},
                           Preferences::DateLeadingZeros));
    form->addRow(tr("Calendar names:"),
                 popupMenu({tr("Standard"), tr("Never shown"), tr("Always shown"), tr("Shown when not Gregorian"),
                            tr("GEDCOM escapes")},
                           Preferences::DateEscapeCode));
    form->addRow(tr("Era:"), popupMenu({tr("Standard"), tr("AD and BC"), tr("BC only")}, Preferences::DateEra));
    form->addRow(tr("Date words:"),
                 popupMenu({tr("Standard"), tr("abt, bef, aft"), tr("Abt, Bef, Aft"), tr("ABT, BEF, AFT"),
                            tr("Symbols, lower case"), tr("Symbols, capitalised"), tr("Symbols as written")},
                           Preferences::DateWordsFormat));
    form->addRow(tr("Assume century:"), textBox(Field::AssumedCentury));
    const struct {
        const char* title;
        int tag;
    } boxes[] = {{"Assume dd/mm/yy when ambiguous", Preferences::AssumeDayFirst},
                 {"Show dates as entered", Preferences::IgnoreUserDateFormat},
                 {"Use my own month names", Preferences::SearchUserMonths}};
    for (const auto& box : boxes) form->addRow(checkBox(tr(box.title), box.tag, Preferences::checkBoxKey(box.tag)));
    sampleDatesText_ = new QLabel;
    form->addRow(sampleDatesText_);
    return tab;
}

void PreferencesController::changeDateDisplay(bool apply) {
    if (sampleDatesText_) sampleDatesText_->setText(qt(prefs_.changeDateDisplay(apply)));
}

// ---- Charts

QWidget* PreferencesController::buildChartsTab() {
    auto* tab = new QWidget;
    auto* layout = new QHBoxLayout(tab);
    auto* form = new QFormLayout;
    form->addRow(checkBox(tr("Open trees as charts"), Preferences::ChartModeFirst, "Use Tree Chart Mode First"));
    form->addRow(tr("Initial generations:"), textBox(Field::InitialGenerations));
    form->addRow(tr("Maximum generations:"), textBox(Field::MaximumGenerations));
    const struct {
        const char* title;
        Field field;
    } sizes[] = {{"Top margin:", Field::TopMargin},          {"Left margin:", Field::LeftMargin},
                 {"Row spacing:", Field::RowSpacing},        {"Box width:", Field::RowWidth},
                 {"Least box height:", Field::RowMinimumHeight}, {"Column spacing:", Field::ColumnSpacing},
                 {"Box padding:", Field::CellPadding},       {"Portrait height:", Field::PortraitHeight},
                 {"Spouse indent:", Field::SpouseIndent},    {"Box border:", Field::BorderLine},
                 {"Generation lines:", Field::GenerationLines}};
    for (const auto& size : sizes) form->addRow(tr(size.title), textBox(size.field));
    form->addRow(tr("Name alignment:"),
                 popupMenu({tr("Left"), tr("Centre"), tr("Right")}, Preferences::TreeNameAlignment));
    layout->addLayout(form);

    auto* orientations = new QVBoxLayout;
    const QStringList layouts{tr("Horizontal"), tr("Horizontal, centred"), tr("Vertical"), tr("Vertical, centred")};
    const QList<int> flags{2, 3, 0, 1};
    const QStringList portraits{tr("Portrait beside the name"), tr("Portrait above the name")};
    const struct {
        const char* title;
        Preferences::RadioGroup group;
        bool portrait;
    } groups[] = {{"Ancestor charts", Preferences::RadioGroup::Ancestor, false},
                  {"Ancestor portraits", Preferences::RadioGroup::AncestorPortrait, true},
                  {"Descendant charts", Preferences::RadioGroup::Descendant, false},
                  {"Descendant portraits", Preferences::RadioGroup::DescendantPortrait, true}};
    for (const auto& group : groups) {
        auto* box = new QGroupBox(tr(group.title));
        if (group.portrait)
            radioGroup(box, group.group, portraits, {1, 0});
        else
            radioGroup(box, group.group, layouts, flags);
        orientations->addWidget(box);
    }
    orientations->addStretch();
    layout->addLayout(orientations);
    return tab;
}

// The chart-mode box only follows a stored YES: a preset applied
// elsewhere never turns it off behind the user's back.
void PreferencesController::loadTreePreferences() {
    if (!prefs_.defaults().boolForKey("Use Tree Chart Mode First")) return;
    for (QCheckBox* box : findChildren<QCheckBox*>())
        if (box->property("tag").toInt() == Preferences::ChartModeFirst) box->setChecked(true);
}

// ---- Helpers

QWidget* PreferencesController::buildHelpersTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    helpersTable_ = new QTableWidget(0, 4, tab);
    helpersTable_->setHorizontalHeaderLabels({tr("Format"), tr("Action"), tr("Helper Application"), tr("Ask First")});
    helpersTable_->horizontalHeader()->setSectionResizeMode(ApplicationColumn, QHeaderView::Stretch);
    helpersTable_->verticalHeader()->hide();
    helpersTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(helpersTable_, &QTableWidget::cellDoubleClicked, this, &PreferencesController::changeHelper);
    layout->addWidget(helpersTable_);
    layout->addWidget(new QLabel(tr("Double-click a helper application to choose another.")));
    reloadHelpers();
    return tab;
}

void PreferencesController::reloadHelpers() {
    const Dictionary helpers = prefs_.defaults().dictionaryForKey(MultimediaCell::kHelperApplicationsKey).value_or(Dictionary{});
    helpersTable_->setRowCount(static_cast<int>(helpers.size()));
    for (int row = 0; row < helpersTable_->rowCount(); ++row) {
        const std::string format = helpers.keyAt(static_cast<std::size_t>(row));
        const auto choice = MultimediaCell::helperChoice(format, prefs_.defaults());
        helpersTable_->setItem(row, FormatColumn, new QTableWidgetItem(qt(format)));
        helpersTable_->setItem(row, ApplicationColumn, new QTableWidgetItem(qt(choice.application)));
        auto* action = new QComboBox;
        action->addItems({tr("Open with helper"), tr("Open with default application"), tr("Do not open")});
        action->setCurrentIndex(choice.option >= 0 && choice.option <= 2 ? choice.option : 0);
        connect(action, &QComboBox::activated, this, [this, format](int index) {
            auto entry = MultimediaCell::helperChoice(format, prefs_.defaults());
            entry.option = index;
            MultimediaCell::storeHelperChoice(format, entry, prefs_.defaults());
            QMetaObject::invokeMethod(this, &PreferencesController::reloadHelpers, Qt::QueuedConnection);
        });
        helpersTable_->setCellWidget(row, ActionColumn, action);
        auto* ask = new QCheckBox;
        ask->setChecked(choice.askAgain);
        connect(ask, &QCheckBox::toggled, this, [this, format](bool on) {
            auto entry = MultimediaCell::helperChoice(format, prefs_.defaults());
            entry.askAgain = on;
            MultimediaCell::storeHelperChoice(format, entry, prefs_.defaults());
        });
        helpersTable_->setCellWidget(row, AskColumn, ask);
    }
}

void PreferencesController::changeHelper(int row, int column) {
    if (column != ApplicationColumn || !chooser_) return;
    const QTableWidgetItem* item = helpersTable_->item(row, FormatColumn);
    if (!item) return;
    const std::string application = chooser_();
    if (application.empty()) return;
    const std::string format = item->text().toStdString();
    auto entry = MultimediaCell::helperChoice(format, prefs_.defaults());
    entry.application = application;
    MultimediaCell::storeHelperChoice(format, entry, prefs_.defaults());
    reloadHelpers();
}

// ---- Ending edits

void PreferencesController::prefTerminate() {
    QWidget* focus = QApplication::focusWidget();
    if (auto* text = qobject_cast<QLineEdit*>(focus); text && isAncestorOf(text)) emit text->editingFinished();
    if (focus == userAddressText_ || (focus && userAddressText_->isAncestorOf(focus))) commitAddress();
}

bool PreferencesController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == userAddressText_ && event->type() == QEvent::FocusOut) commitAddress();
    return QWidget::eventFilter(watched, event);
}

void PreferencesController::hideEvent(QHideEvent* event) {
    commitAddress();
    QWidget::hideEvent(event);
}

}  // namespace kl
