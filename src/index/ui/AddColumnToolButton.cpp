#include "index/ui/AddColumnToolButton.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>

#include "index/IndexController.h"
#include "index/ui/ColumnSheet.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

QString qlocalized(const std::string& key) {
    return QString::fromStdString(LibraryServices::current()->localString(key));
}

}  // namespace

AddColumnToolButton::AddColumnToolButton(QWidget* parent) : QToolButton(parent) {
    setIconSize(QSize(kPopUpIconSize, kPopUpIconSize));
    setAutoRaise(true);
    menu_ = new QMenu(qlocalized(kMenuTitle), this);
    menu_->setToolTipsVisible(true);
    connect(menu_, &QMenu::aboutToShow, this, [this] {
        if (controller_) updateAddColumnMenu(controller_->addColumnMenu());
    });
    hold_.setSingleShot(true);
    hold_.setInterval(kHoldMilliseconds);
    connect(&hold_, &QTimer::timeout, this, &AddColumnToolButton::showHeldMenu);
    connect(this, &QToolButton::clicked, this, &AddColumnToolButton::runAddColumn);
}

AddColumnToolButton::~AddColumnToolButton() = default;

void AddColumnToolButton::updateAddColumnMenu(const std::vector<AddColumnItem>& items) {
    menu_->clear();
    for (const auto& item : items) {
        AddColumnItem shown = item;
        shown.title = qlocalized(item.title).toStdString();
        QAction* action = menu_->addAction(QString::fromStdString(shown.title));
        action->setToolTip(QString::fromStdString(item.expression));
        action->setCheckable(true);
        action->setChecked(item.checked);
        // Run once the menu has closed: the choice rebuilds this very menu.
        connect(action, &QAction::triggered, this, [this, shown] { addPredefinedColumn(shown); },
                Qt::QueuedConnection);
    }
}

void AddColumnToolButton::showHeldMenu() {
    hold_.stop();
    // The press becomes the menu's: the release must not click.
    setDown(false);
    menu_->popup(mapToGlobal(QPoint(1, height() + 5)));
}

void AddColumnToolButton::addPredefinedColumn(const AddColumnItem& item) {
    if (!controller_) {
        if (chosen_) chosen_(item);
        return;
    }
    const auto choice = controller_->addPredefinedColumn(item);
    switch (choice.action) {
    case AddColumnMenu::Choice::Action::OpenSheet: runAddColumn(); break;
    case AddColumnMenu::Choice::Action::DeleteColumn:
        ColumnCommands::deleteIndexColumn(window(), *controller_, choice.column);
        break;
    case AddColumnMenu::Choice::Action::AppendColumn: break;
    }
}

void AddColumnToolButton::runAddColumn() {
    if (addColumn_) addColumn_();
}

void AddColumnToolButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) hold_.start();
    QToolButton::mousePressEvent(event);
}

void AddColumnToolButton::mouseMoveEvent(QMouseEvent* event) {
    // Only a mouse held still shows the menu: a drag waits anew.
    if (hold_.isActive()) hold_.start();
    QToolButton::mouseMoveEvent(event);
}

void AddColumnToolButton::mouseReleaseEvent(QMouseEvent* event) {
    hold_.stop();
    QToolButton::mouseReleaseEvent(event);
}

}  // namespace kl
