#include "calculator/ui/DataEntryField.h"

#include <QKeyEvent>

#include "calculator/ui/TPController.h"

namespace kl {

DataEntryField::DataEntryField(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textEdited, this, &DataEntryField::controlTextDidChange);
}

void DataEntryField::controlTextDidChange() {
    if (tpController_) tpController_->textEdited(text());
}

void DataEntryField::cancelOperation() {
    clear();
    controlTextDidChange();
}

// Tab would move the focus before keyPressEvent sees it.
bool DataEntryField::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            commitEntry(key->key());
            return true;
        }
    }
    return QLineEdit::event(event);
}

void DataEntryField::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Enter && (event->modifiers() & Qt::KeypadModifier)) || key == Qt::Key_Return) {
        commitEntry(key);
        return;
    }
    if (key == Qt::Key_Escape) {
        cancelOperation();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DataEntryField::commitEntry(int key) {
    if (!tpController_) return;
    if (key == Qt::Key_Enter)
        tpController_->EnterDateTime();
    else if (key == Qt::Key_Return)
        tpController_->readGregorianDate();
    else
        tpController_->beep();
}

void DataEntryField::insertGEDCOMWord(const QString& word) {
    QString value = text();
    int start = selectionStart() >= 0 ? selectionStart() : cursorPosition();
    const int length = selectedText().size();
    const QString head = value.left(3).toUpper();
    static const QStringList kQualifiers = {"BEF", "AFT", "BET", "INT", "ABT", "EST", "CAL"};
    int removed = 0;
    if (value.size() >= 3 && kQualifiers.contains(head))
        removed = 3;
    else if (value.size() >= 4 && head == "FRO" && value.at(3).toUpper() == 'M')
        removed = 4;
    value.remove(0, removed);
    QString inserted = word;
    if (value.isEmpty() || value.at(0) != ' ') inserted += ' ';
    value.insert(0, inserted);
    start = std::max(0, start + int(inserted.size()) - removed);
    setText(value);
    setFocus();
    if (length > 0)
        setSelection(start, length);
    else
        setCursorPosition(std::min(start, int(value.size())));
    controlTextDidChange();
}

void DataEntryField::typeWord(const QString& word) {
    setFocus();
    QString value = text();
    int start = selectionStart() >= 0 ? selectionStart() : cursorPosition();
    const int length = selectedText().size();
    QString inserted = word;
    if (start > 0 && value.at(start - 1) != ' ') {
        value.insert(start, ' ');
        ++start;
    }
    value.replace(start, length, inserted);
    int after = start + int(inserted.size());
    if (after < value.size() && value.at(after) == ' ')
        ++after;
    else {
        value.insert(after, ' ');
        ++after;
    }
    setText(value);
    setCursorPosition(after);
    controlTextDidChange();
}

}  // namespace kl
