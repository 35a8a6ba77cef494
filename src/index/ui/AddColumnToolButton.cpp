#include "index/ui/AddColumnToolButton.h"

#include <QAction>
#include <QMenu>

#include "index/IndexController.h"
#include "index/ui/ColumnSheet.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

QString qlocalized(const std::string& key) {
    return QString::fromStdString(LibraryServices::current()->localString(key));
}

}  // namespace

AddColumnToolButton::AddColumnToolButton(QWidget* parent) : DLDelayedPopUpButton(parent) {
    menu_ = new QMenu(qlocalized(kMenuTitle), this);
    menu_->setToolTipsVisible(true);
    connect(menu_, &QMenu::aboutToShow, this, [this] {
        if (controller_) updateAddColumnMenu(controller_->addColumnMenu());
    });
    setPopUpMenu(menu_);
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

}  // namespace kl
