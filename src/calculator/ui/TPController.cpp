#include "calculator/ui/TPController.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "app/ui/AppAlerts.h"
#include "calculator/TPPreferences.h"
#include "calculator/ui/DataEntryField.h"
#include "foundation/UserDefaults.h"

namespace kl {

namespace {

constexpr const char* kRegisterNames[TPModel::kRegisterCount] = {"e", "d", "c", "b", "a"};
constexpr const char* kSpanStyleTitles[] = {"Days", "Y M D", "Y D", "M D", "Number"};
constexpr const char* kQualifierWords[] = {"ABT", "EST", "CAL", "INT", "BEF", "AFT", "BET", "AND", "FROM", "TO"};
constexpr const char* kMonthWords[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                       "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

QString qt(const std::string& text) { return QString::fromStdString(text); }

QPushButton* button(const QString& title, const QString& tip, QWidget* parent) {
    auto* b = new QPushButton(title, parent);
    b->setToolTip(tip);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

// A row of buttons in a group whose ids are 1, 2, ... or the given ids.
QButtonGroup* buttonRow(QWidget* parent, QGridLayout* grid, int row, const char* const* titles, int count,
                        int perRow) {
    auto* group = new QButtonGroup(parent);
    for (int i = 0; i < count; ++i) {
        auto* b = button(titles[i], QString(), parent);
        group->addButton(b, i + 1);
        grid->addWidget(b, row + i / perRow, i % perRow);
    }
    return group;
}

}  // namespace

TPController::TPController(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle("Tempolin");
    model_.beep = [this] { beep(); };
    model_.alert = [this](const std::string& message, const std::string& information) {
        emit alerted(qt(message), qt(information));
        AppAlerts::infoAlert(message, information, this);
    };
    buildWindow();
    regA_->setController(this);
    regA_->setText(tr("Enter a date or a time"));
    model_.editText(regA_->text().toStdString());
    regA_->selectAllText();
    regA_->setFocus();
    prefsChanged();
    formatChanged();
    prefsObservation_ = NotificationCenter::defaultCenter().addObserver(
        tempolin::kPrefsJustChanged, nullptr, [this](const Notification&) { prefsChanged(); });
    formatObservation_ = NotificationCenter::defaultCenter().addObserver(
        tempolin::kFormatJustChanged, nullptr, [this](const Notification&) { formatChanged(); });
    refresh();
}

TPController::~TPController() = default;

void TPController::buildWindow() {
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->addWidget(buildRegisters());
    column->addWidget(buildButtons());
    column->addWidget(buildWords());
    setCentralWidget(central);

    QMenu* calculator = menuBar()->addMenu(tr("&Calculator"));
    auto add = [this, calculator](const QString& title, const QKeySequence& keys, void (TPController::*slot)()) {
        QAction* action = calculator->addAction(title, this, slot);
        action->setShortcut(keys);
    };
    add(tr("Enter"), QKeySequence(Qt::CTRL | Qt::Key_Return), &TPController::EnterDateTime);
    add(tr("Roll Down"), QKeySequence(Qt::CTRL | Qt::Key_D), &TPController::RegistersDown);
    add(tr("Swap a and b"), QKeySequence(Qt::CTRL | Qt::Key_B), &TPController::SwapRegisters);
    add(tr("Clear a"), QKeySequence(Qt::CTRL | Qt::Key_K), &TPController::ClearRegA);
    calculator->addSeparator();
    add(tr("Difference b - a"), QKeySequence(Qt::CTRL | Qt::Key_Minus), &TPController::DiffDateTime);
    add(tr("Sum b + a"), QKeySequence(Qt::CTRL | Qt::Key_Equal), &TPController::SumDateTime);
    add(tr("Change Sign"), QKeySequence(Qt::CTRL | Qt::Key_I), &TPController::ChangeTimeSign);
}

QWidget* TPController::buildRegisters() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    regA_ = new DataEntryField(box);
    for (int i = 0; i < TPModel::kRegisterCount; ++i) {
        grid->addWidget(new QLabel(kRegisterNames[i], box), i, 0);
        if (i == TPModel::kA) {
            regs_[i] = regA_;
        } else {
            regs_[i] = new QLineEdit(box);
            regs_[i]->setReadOnly(true);
            regs_[i]->setFocusPolicy(Qt::NoFocus);
        }
        regs_[i]->setMinimumWidth(300);
        grid->addWidget(regs_[i], i, 1);
        calFields_[i] = new QLabel(box);
        calFields_[i]->setMinimumWidth(80);
        dowFields_[i] = new QLabel(box);
        dowFields_[i]->setMinimumWidth(40);
        grid->addWidget(calFields_[i], i, 2);
        grid->addWidget(dowFields_[i], i, 3);
    }
    return box;
}

QWidget* TPController::buildButtons() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    enter_ = button(tr("Enter"), tr("Push a onto the stack (keypad Enter)"), box);
    roll_ = button(tr("Roll"), tr("Roll the registers down"), box);
    swap_ = button(tr("a ↔ b"), tr("Swap a and b"), box);
    clear_ = button(tr("Clear"), tr("Clear register a (Escape)"), box);
    diffAandB_ = button(tr("b − a"), tr("Difference of b and a"), box);
    addAandB_ = button(tr("b + a"), tr("Sum of b and a"), box);
    changeSign_ = button(tr("±"), tr("Change the sign of the span in a"), box);
    const QList<QPushButton*> top = {enter_, roll_, swap_, clear_, diffAandB_, addAandB_, changeSign_};
    for (int i = 0; i < top.size(); ++i) grid->addWidget(top[i], 0, i);
    connect(enter_, &QPushButton::clicked, this, &TPController::EnterDateTime);
    connect(roll_, &QPushButton::clicked, this, &TPController::RegistersDown);
    connect(swap_, &QPushButton::clicked, this, &TPController::SwapRegisters);
    connect(clear_, &QPushButton::clicked, this, &TPController::ClearRegA);
    connect(diffAandB_, &QPushButton::clicked, this, &TPController::DiffDateTime);
    connect(addAandB_, &QPushButton::clicked, this, &TPController::SumDateTime);
    connect(changeSign_, &QPushButton::clicked, this, &TPController::ChangeTimeSign);

    auto* calendars = new QGridLayout;
    convertBtns_ = buttonRow(box, calendars, 0, TPModel::kCalendarTitles.data(), 4, 4);
    convertTime_ = buttonRow(box, calendars, 1, kSpanStyleTitles, 5, 5);
    grid->addLayout(calendars, 1, 0, 1, 7);
    connect(convertBtns_, &QButtonGroup::idClicked, this, &TPController::selectCalendar);
    connect(convertTime_, &QButtonGroup::idClicked, this, &TPController::ConvertTime);
    return box;
}

QWidget* TPController::buildWords() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    gedcomWords_ = buttonRow(box, grid, 0, kQualifierWords, 10, 10);
    monthWords_ = buttonRow(box, grid, 1, kMonthWords, 12, 6);
    connect(gedcomWords_, &QButtonGroup::buttonClicked, this,
            [this](QAbstractButton* b) { SetGEDCOMWord(b->text()); });
    connect(monthWords_, &QButtonGroup::buttonClicked, this, [this](QAbstractButton* b) { SetMonth(b->text()); });

    auto* memories = new QHBoxLayout;
    auto* store = button(tr("Store"), tr("Store a in a memory"), box);
    auto* recall = button(tr("Recall"), tr("Recall a memory into a"), box);
    storeMenu_ = new QMenu(store);
    recallMenu_ = new QMenu(recall);
    for (int slot = 0; slot < TPModel::kMemorySlots; ++slot) {
        storeMenu_->addAction(QString::number(slot), this, [this, slot] { StoreMemory(slot); });
        recallMenu_->addAction(QString(), this, [this, slot] { RecallMemory(slot); });
    }
    store->setMenu(storeMenu_);
    recall->setMenu(recallMenu_);
    visitKinlore_ = button(tr("Kinlore"), tr("Visit the Kinlore web site"), box);
    visitKinlore_->setStyleSheet("font-weight: bold; font-size: 14pt; color: rgb(17, 99, 27);");
    visitTempolin_ = button(tr("Tempolin Page"), tr("Visit Tempolin's web page"), box);
    connect(visitKinlore_, &QPushButton::clicked, this, &TPController::visitKinlorePage);
    connect(visitTempolin_, &QPushButton::clicked, this, &TPController::visitTempolinPage);
    memories->addWidget(store);
    memories->addWidget(recall);
    memories->addStretch();
    memories->addWidget(visitTempolin_);
    memories->addWidget(visitKinlore_);
    grid->addLayout(memories, 3, 0, 1, 10);
    return box;
}

void TPController::refresh() {
    for (int i = 0; i < TPModel::kRegisterCount; ++i) {
        const QString text = qt(model_.text(i));
        if (regs_[i]->text() != text) regs_[i]->setText(text);
        calFields_[i]->setText(qt(model_.calValue(i)));
        dowFields_[i]->setText(qt(model_.dowValue(i)));
    }
    const TPModel::Enabled& enabled = model_.enabled();
    for (QAbstractButton* b : convertBtns_->buttons()) b->setEnabled(enabled.calendars);
    for (QAbstractButton* b : convertTime_->buttons()) b->setEnabled(enabled.spanStyles);
    changeSign_->setEnabled(enabled.sign);
    addAandB_->setEnabled(enabled.sum);
    diffAandB_->setEnabled(enabled.difference);
    const QList<QAction*> recalls = recallMenu_->actions();
    for (int slot = 0; slot < recalls.size(); ++slot) recalls[slot]->setText(qt(model_.memories()[slot]));
}

// Actions that read a first leave the focus in it, as typing goes on there.
void TPController::afterAction() {
    regA_->setFocus();
    refresh();
}

void TPController::EnterDateTime() {
    model_.EnterDateTime();
    afterAction();
    regA_->selectAllText();
}

void TPController::RegistersDown() {
    model_.RegistersDown();
    afterAction();
}

void TPController::SwapRegisters() {
    model_.SwapRegisters();
    afterAction();
}

void TPController::ClearRegA() { regA_->cancelOperation(); }

void TPController::EnterRegA(const QString& text) {
    regA_->cancelOperation();
    regA_->insert(text);
    textEdited(regA_->text());
    EnterDateTime();
}

void TPController::DiffDateTime() {
    model_.DiffDateTime();
    afterAction();
}

void TPController::SumDateTime() {
    model_.SumDateTime();
    afterAction();
}

void TPController::ChangeTimeSign() {
    model_.ChangeTimeSign();
    afterAction();
}

void TPController::selectCalendar(int calendar) {
    model_.selectCalendar(calendar);
    afterAction();
}

void TPController::ConvertTime(int style) {
    model_.ConvertTime(style);
    afterAction();
}

void TPController::SetGEDCOMWord(const QString& word) {
    if (word == "AND" || word == "TO")
        regA_->typeWord(word);
    else
        regA_->insertGEDCOMWord(word);
}

void TPController::SetMonth(const QString& word) { regA_->typeWord(word); }

void TPController::StoreMemory(int slot) {
    model_.StoreMemory(slot);
    refresh();
}

void TPController::RecallMemory(int slot) {
    model_.RecallMemory(slot);
    afterAction();
}

void TPController::visitKinlorePage() { QDesktopServices::openUrl(QUrl(kKinloreSite)); }

void TPController::visitTempolinPage() { QDesktopServices::openUrl(QUrl(kTempolinPage)); }

void TPController::textEdited(const QString& text) {
    model_.editText(text.toStdString());
    refresh();
}

void TPController::readGregorianDate() {
    model_.parceDate(kCalendarGregorian);
    afterAction();
}

void TPController::beep() {
    QApplication::beep();
    emit beeped();
}

void TPController::prefsChanged() {
    tempolin::applyPrefs(model_.engine(), UserDefaults::standard());
}

void TPController::formatChanged() {
    model_.formatChanged(tempolin::displayFormat(UserDefaults::standard()));
    refresh();
}

// The calculator is the application: closing it quits.
void TPController::closeEvent(QCloseEvent* event) {
    emit closing();
    event->accept();
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

}  // namespace kl
