#include "calculator/ui/PreferencesController.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "calculator/TPPreferences.h"
#include "foundation/NotificationCenter.h"
#include "foundation/UserDefaults.h"

namespace kl::tempolin {

PreferencesController::PreferencesController(UserDefaults& defaults, QWidget* parent)
    : QWidget(parent, Qt::Window), defaults_(defaults) {
    setWindowTitle(tr("Tempolin Preferences"));
    auto* form = new QFormLayout(this);
    formatFld_ = new QLineEdit(this);
    formatFld_->setToolTip(tr("%d day, %M month code, %y year, %b era before Christ"));
    form->addRow(tr("Date display format:"), formatFld_);

    auto* century = new QHBoxLayout;
    centuryCheck_ = new QCheckBox(tr("Add an assumed century to two-digit years:"), this);
    centuryFld_ = new QLineEdit(this);
    centuryFld_->setValidator(new QIntValidator(0, 99, centuryFld_));
    centuryFld_->setMaximumWidth(50);
    century->addWidget(centuryCheck_);
    century->addWidget(centuryFld_);
    century->addWidget(new QLabel(tr("00"), this));
    form->addRow(century);

    assumeMmdd_ = new QButtonGroup(this);
    auto* order = new QHBoxLayout;
    auto* monthFirst = new QRadioButton(tr("Month first (3/1/1900)"), this);
    auto* dayFirst = new QRadioButton(tr("Day first (1/3/1900)"), this);
    assumeMmdd_->addButton(monthFirst, 0);
    assumeMmdd_->addButton(dayFirst, 1);
    order->addWidget(monthFirst);
    order->addWidget(dayFirst);
    form->addRow(tr("Numeric dates:"), order);

    timePopup_ = new QComboBox(this);
    timePopup_->addItems({tr("Days"), tr("Years, months and days"), tr("Years and days"), tr("Months and days"),
                          tr("Number of days")});
    form->addRow(tr("Time spans in:"), timePopup_);

    connect(centuryCheck_, &QCheckBox::toggled, this, &PreferencesController::toggleCentury);
    connect(formatFld_, &QLineEdit::textEdited, this, &PreferencesController::controlTextDidChange);
    windowDidLoad();
}

void PreferencesController::windowDidLoad() {
    formatFld_->setText(QString::fromStdString(displayFormat(defaults_)));
    const auto century = defaults_.integerForKey(kAssumedCentury);
    centuryFld_->setText(QString::number(century / 100));
    centuryCheck_->setChecked(century != 0);
    toggleCentury();
    const int order = defaults_.integerForKey(kAssumedMonthDayOrder) == 0 ? 0 : 1;
    assumeMmdd_->button(order)->setChecked(true);
    const auto style = defaults_.integerForKey(kTimeDisplayTag);
    timePopup_->setCurrentIndex(style >= 1 && style <= 5 ? int(style) - 1 : 0);
}

void PreferencesController::toggleCentury() { centuryFld_->setEnabled(centuryCheck_->isChecked()); }

void PreferencesController::controlTextDidChange() {
    defaults_.setObject(Value(formatFld_->text().toStdString()), kDateDisplayFormat);
    NotificationCenter::defaultCenter().post(kFormatJustChanged, nullptr);
}

void PreferencesController::windowDidResignKey(bool atTermination) {
    defaults_.setObject(Value(timePopup_->currentIndex() + 1), kTimeDisplayTag);
    defaults_.setObject(Value(centuryCheck_->isChecked() ? centuryFld_->text().toInt() * 100 : 0), kAssumedCentury);
    defaults_.setObject(Value(assumeMmdd_->checkedId() == 0 ? 0 : 1), kAssumedMonthDayOrder);
    defaults_.synchronize();
    // Windows still close and lose focus after the application has begun
    // to end; nobody is left to tell then.
    terminating_ = terminating_ || atTermination;
    if (!terminating_) NotificationCenter::defaultCenter().post(kPrefsJustChanged, nullptr);
}

bool PreferencesController::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate) windowDidResignKey();
    return QWidget::event(event);
}

void PreferencesController::closeEvent(QCloseEvent* event) {
    windowDidResignKey();
    QWidget::closeEvent(event);
}

}  // namespace kl::tempolin
