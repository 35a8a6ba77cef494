#include "index/ui/ToolbarCustomizeDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "index/IndexToolbar.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

QString qlocalized(const std::string& key) {
    return QString::fromStdString(LibraryServices::current()->localString(key));
}

constexpr int kIdentifierRole = Qt::UserRole;

std::string identifierOf(const QListWidgetItem* item) { return item->data(kIdentifierRole).toString().toStdString(); }

}  // namespace

QListWidgetItem* ToolbarCustomizeDialog::makeItem(const std::string& identifier) const {
    auto* item = new QListWidgetItem(itemTitle(identifier, toolbar_));
    item->setData(kIdentifierRole, QString::fromStdString(identifier));
    const ToolbarItemSpec spec = toolbar_.itemFor(identifier);
    if (!spec.toolTip.empty()) item->setToolTip(qlocalized(spec.toolTip));
    return item;
}

QString ToolbarCustomizeDialog::itemTitle(const std::string& identifier, const ToolbarItems& items) {
    if (identifier == IndexToolbar::kSeparator) return qlocalized("Separator");
    if (identifier == IndexToolbar::kSpace) return qlocalized("Space");
    if (identifier == IndexToolbar::kFlexibleSpace) return qlocalized("Flexible Space");
    if (identifier == IndexToolbar::kCustomize) return qlocalized("Customize");
    if (identifier == IndexToolbar::kPrint) return qlocalized("Print");
    const ToolbarItemSpec spec = items.itemFor(identifier);
    return qlocalized(spec.paletteLabel.empty() ? identifier : spec.paletteLabel);
}

ToolbarCustomizeDialog::ToolbarCustomizeDialog(const std::vector<std::string>& current, QWidget* parent,
                                               const ToolbarItems& items)
    : QDialog(parent), toolbar_(items) {
    setWindowTitle(qlocalized("Customize Toolbar"));
    allowed_ = new QListWidget(this);
    for (const auto& id : toolbar_.allowed()) allowed_->addItem(makeItem(id));
    current_ = new QListWidget(this);
    setItems(current);

    auto button = [this](const char* title, void (ToolbarCustomizeDialog::*slot)()) {
        auto* b = new QPushButton(qlocalized(title), this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    auto* column = new QVBoxLayout;
    column->addStretch(1);
    column->addWidget(button("Add", &ToolbarCustomizeDialog::addItem));
    column->addWidget(button("Remove", &ToolbarCustomizeDialog::removeItem));
    column->addWidget(button("Move Up", &ToolbarCustomizeDialog::moveUp));
    column->addWidget(button("Move Down", &ToolbarCustomizeDialog::moveDown));
    column->addStretch(1);
    column->addWidget(button("Use Default Set", &ToolbarCustomizeDialog::useDefaultSet));

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(qlocalized("Available items"), this), 0, 0);
    grid->addWidget(new QLabel(qlocalized("Toolbar"), this), 0, 2);
    grid->addWidget(allowed_, 1, 0);
    grid->addLayout(column, 1, 1);
    grid->addWidget(current_, 1, 2);
    grid->addWidget(box, 2, 0, 1, 3);
}

void ToolbarCustomizeDialog::setItems(const std::vector<std::string>& identifiers) {
    current_->clear();
    for (const auto& id : toolbar_.sanitized(identifiers)) current_->addItem(makeItem(id));
}

std::vector<std::string> ToolbarCustomizeDialog::itemIdentifiers() const {
    std::vector<std::string> ids;
    for (int i = 0; i < current_->count(); ++i) ids.push_back(identifierOf(current_->item(i)));
    return ids;
}

void ToolbarCustomizeDialog::addItem() {
    const QListWidgetItem* chosen = allowed_->currentItem();
    if (!chosen) return;
    const std::string id = identifierOf(chosen);
    int at = current_->currentRow() >= 0 ? current_->currentRow() + 1 : current_->count();
    if (!ToolbarItems::repeatable(id)) {
        for (int i = 0; i < current_->count(); ++i) {
            if (identifierOf(current_->item(i)) != id) continue;
            delete current_->takeItem(i);
            if (i < at) --at;
            break;
        }
    }
    current_->insertItem(at, makeItem(id));
    current_->setCurrentRow(at);
}

void ToolbarCustomizeDialog::removeItem() {
    const int row = current_->currentRow();
    if (row < 0) return;
    delete current_->takeItem(row);
    current_->setCurrentRow(std::min(row, current_->count() - 1));
}

void ToolbarCustomizeDialog::move(int by) {
    const int row = current_->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= current_->count()) return;
    QListWidgetItem* item = current_->takeItem(row);
    current_->insertItem(to, item);
    current_->setCurrentRow(to);
}

void ToolbarCustomizeDialog::moveUp() { move(-1); }

void ToolbarCustomizeDialog::moveDown() { move(1); }

void ToolbarCustomizeDialog::useDefaultSet() { setItems(toolbar_.defaultOrder()); }

}  // namespace kl
