#include "scripting/ui/UserInputPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "index/ui/TableScrolling.h"
#include "scripting/ui/ScriptDialogs.h"

namespace kl {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

UserInputPanel::UserInputPanel(const std::string& title, const std::string& prompt,
                               const std::vector<std::string>& buttons, QWidget* parent)
    : QDialog(parent), buttons_(buttons) {
    setWindowTitle(qt(title));
    setModal(true);
    body_ = new QVBoxLayout(this);
    body_->setContentsMargins(20, 16, 20, 12);
    body_->setSpacing(8);
    userPromptText_ = new QLabel(qt(prompt), this);
    userPromptText_->setWordWrap(true);
    userPromptText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    body_->addWidget(userPromptText_);
}

UserInputPanel::UserInputPanel(const ScriptDialogArguments::Input& question, QWidget* parent)
    : UserInputPanel(question.title, question.prompt, question.buttons, parent) {
    userInputText_ = new QLineEdit(qt(question.initialText), this);
    userInputText_->setMinimumWidth(320);
    body_->addWidget(userInputText_);
    // Return in the field commits as OK.
    connect(userInputText_, &QLineEdit::returnPressed, this, [this] { finish(1); });
    placeButtons();
    userInputText_->setFocus();
}

void UserInputPanel::placeButtons() {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    // Right to left: OK, Cancel, alternate; a wider title grows its button
    // to the left.
    static constexpr int clicks[] = {1, 0, 2};
    std::vector<QPushButton*> made;
    for (std::size_t n = 0; n < buttons_.size() && n < 3; ++n) {
        auto* button = new QPushButton(qt(buttons_[n]), this);
        button->setMinimumWidth(smallestButtonWidth);
        button->setAutoDefault(false);
        const int click = clicks[n];
        connect(button, &QPushButton::clicked, this, [this, click] { finish(click); });
        made.push_back(button);
    }
    if (!made.empty()) made.front()->setDefault(true);
    for (auto it = made.rbegin(); it != made.rend(); ++it) row->addWidget(*it);
    buttonWidgets_ = made;
    body_->addLayout(row);
}

QPushButton* UserInputPanel::button(int index) const {
    return index >= 0 && index < static_cast<int>(buttonWidgets_.size()) ? buttonWidgets_[static_cast<std::size_t>(index)]
                                                                         : nullptr;
}

void UserInputPanel::finish(int click) {
    finalClick_ = click;
    accept();
}

Array UserInputPanel::userSelection() const {
    return {Value(userInputText_ ? userInputText_->text().toStdString() : std::string())};
}

Array UserInputPanel::runModalUserInput() {
    adjustSize();
    ScriptDialogs::positionWindow(*this);
    finalClick_ = 0;
    exec();
    const std::size_t index = finalClick_ == 1 ? 0 : finalClick_ == 0 ? 1 : 2;
    Array result{Value(index < buttons_.size() ? buttons_[index] : std::string())};
    for (Value& value : userSelection()) result.push_back(std::move(value));
    return result;
}

UserListPanel::UserListPanel(const ScriptDialogArguments::List& question, QWidget* parent)
    : UserInputPanel(question.title, question.prompt, question.buttons, parent) {
    userListBox_ = new QListWidget(this);
    for (const std::string& item : question.items) userListBox_->addItem(qt(item));
    userListBox_->setSelectionMode(question.multiple ? QAbstractItemView::ExtendedSelection
                                                     : QAbstractItemView::SingleSelection);
    userListBox_->setUniformItemSizes(true);
    const int rows = std::min(static_cast<int>(question.items.size()), mostRowsShown);
    const int rowHeight = std::max(userListBox_->sizeHintForRow(0), 1);
    userListBox_->setFixedHeight(rowHeight * std::max(rows, 1) + 2 * userListBox_->frameWidth());
    userListBox_->setMinimumWidth(320);
    body_->addWidget(userListBox_);
    connect(userListBox_, &QListWidget::itemDoubleClicked, this, [this] { finish(1); });
    placeButtons();
    for (int row : question.initialRows)
        if (QListWidgetItem* item = userListBox_->item(row)) item->setSelected(true);
    if (!question.initialRows.empty()) centerScroll(*userListBox_, question.initialRows.front());
    userListBox_->setFocus();
}

int UserListPanel::rowsShown() const {
    const int rowHeight = std::max(userListBox_->sizeHintForRow(0), 1);
    return (userListBox_->height() - 2 * userListBox_->frameWidth()) / rowHeight;
}

Array UserListPanel::userSelection() const {
    Array items;
    Array rows;
    for (int row = 0; row < userListBox_->count(); ++row) {
        if (!userListBox_->item(row)->isSelected()) continue;
        items.emplace_back(userListBox_->item(row)->text().toStdString());
        rows.emplace_back(static_cast<std::int64_t>(row + 1));
    }
    return {Value(std::move(items)), Value(std::move(rows))};
}

}  // namespace kl
