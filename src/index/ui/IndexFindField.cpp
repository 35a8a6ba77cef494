#include "index/ui/IndexFindField.h"

#include <QApplication>
#include <QKeyEvent>

#include "app/ui/AppAlerts.h"
#include "foundation/Logger.h"
#include "foundation/Utf8.h"

namespace kl {

namespace {

// Between the field's characters and Qt's UTF-16 positions.
int qtPosition(const std::string& text, std::size_t characters) {
    return static_cast<int>(QString::fromStdString(text.substr(0, utf8::advance(text, 0, characters))).size());
}

std::size_t characterPosition(const QString& text, int position) {
    return utf8::countCharacters(text.left(position).toStdString());
}

}  // namespace

IndexFindField::IndexFindField(QWidget* parent) : QLineEdit(parent) {
    setClearButtonEnabled(true);
    connect(this, &QLineEdit::textEdited, this, [this] { textWasEdited(); });
    connect(this, &QLineEdit::returnPressed, this, [this] { editingEnded(); });
    setupField();
}

void IndexFindField::setupField() { completion_.setupField(); }

std::string IndexFindField::userStringValue() const { return completion_.userStringValue(text().toStdString()); }

FindCompletion::Field IndexFindField::field() const {
    const QString shown = text();
    FindCompletion::Field f;
    f.text = shown.toStdString();
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int end = hasSelectedText() ? selectionEnd() : cursorPosition();
    f.selectionStart = characterPosition(shown, start);
    f.selectionEnd = characterPosition(shown, end);
    return f;
}

void IndexFindField::setField(const FindCompletion::Field& f) {
    ++quiet_;
    const QString shown = QString::fromStdString(f.text);
    if (shown != text()) setText(shown);
    const int start = qtPosition(f.text, f.selectionStart);
    const int end = qtPosition(f.text, f.selectionEnd);
    if (end > start)
        setSelection(start, end - start);
    else
        setCursorPosition(start);
    --quiet_;
}

void IndexFindField::completeString(const std::optional<std::string>& match) {
    FindCompletion::Field f = field();
    const bool active = hasFocus();
    if (!active && match) {
        Logger::log("...Has no responder");
        setFocus(Qt::OtherFocusReason);
    }
    completion_.completeString(match, f, active);
    setField(f);
}

void IndexFindField::fieldUseAlert() {
    QApplication::beep();
    AppAlerts::infoAlert("To find entries using this field, you have choose which column to search.",
                         std::string("Click in the header cell of one of the columns to select it."), window());
}

void IndexFindField::textWasEdited() {
    if (quiet_) return;
    FindCompletion::Field f = field();
    completion_.controlTextDidChange(f);
    setField(f);
    if (finder_) finder_(*this, f.text, completion_.recentEndEditing());
}

void IndexFindField::editingEnded() {
    completion_.setRecentEndEditing(true);
    if (finder_) finder_(*this, text().toStdString(), true);
}

bool IndexFindField::doCommand(FindCompletion::Command command) {
    FindCompletion::Field f = field();
    if (!completion_.doCommandBySelector(command, f)) return false;
    setField(f);
    return true;
}

bool IndexFindField::event(QEvent* e) {
    // Tab reaches the field before focus moves on only through event().
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Tab &&
        doCommand(FindCompletion::Command::InsertTab))
        return true;
    return QLineEdit::event(e);
}

void IndexFindField::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Right && e->modifiers() == Qt::NoModifier && doCommand(FindCompletion::Command::MoveRight))
        return;
    QLineEdit::keyPressEvent(e);
}

void IndexFindField::focusInEvent(QFocusEvent* e) {
    completion_.setRecentEndEditing(false);
    QLineEdit::focusInEvent(e);
}

}  // namespace kl
