#include "cells/ui/HTMLTextView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>

#include "cells/EditPaneCell.h"
#include "document/RecordIdsDrag.h"
#include "foundation/HTMLText.h"
#include "model/GEDCOMRecord.h"

namespace kl {

namespace {

// The view counts UTF-16 positions, the editing rules UTF-8 bytes.
std::size_t bytesAt(const QString& text, int position) {
    return std::size_t(text.left(position).toUtf8().size());
}

int positionAt(const std::string& text, std::size_t bytes) {
    return int(QString::fromUtf8(text.data(), qsizetype(std::min(bytes, text.size()))).size());
}

}  // namespace

HTMLTextView::HTMLTextView(QWidget* parent) : NoTabTextView(nullptr) {
    setParent(parent);
    setAcceptDrops(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!quiet_ && cell_) cell_->setChanged(true);
    });
}

void HTMLTextView::loadText(const QString& text) {
    if (toPlainText() == text) return;
    quiet_ = true;
    setPlainText(text);
    quiet_ = false;
}

bool HTMLTextView::isHTMLTextContainer() const { return isHTMLText(utf8Text()) > 0; }

bool HTMLTextView::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
            if (!QWidget::focusNextPrevChild(forward)) QApplication::beep();
            return true;
        }
    }
    return NoTabTextView::event(event);
}

void HTMLTextView::focusOutEvent(QFocusEvent* event) {
    NoTabTextView::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason) return;
    if (cell_ && cell_->changed()) commit();
}

void HTMLTextView::commit() {
    if (!cell_) return;
    cell_->endStructureEditing(true);
    // The record change is the undo step now, not the keystrokes.
    document()->clearUndoRedoStacks();
}

// ---- the menu

QMenu* HTMLTextView::menuForEvent() {
    QMenu* menu = createStandardContextMenu();
    QAction* first = menu->actions().value(0);
    auto* html = new QMenu("HTML Editing", menu);
    addHTMLEditing(*html);
    menu->insertMenu(first, html);
    if (cell_) {
        const auto& scripts = cell_->menuScripts();
        for (std::size_t i = 0; i < scripts.size(); ++i) {
            QAction* item = new QAction(QString::fromStdString(EditValueCell::scriptTitle(scripts[i])), menu);
            connect(item, &QAction::triggered, this, [this, i] {
                if (cell_) cell_->cellMenuScript(int(i));
            });
            menu->insertAction(first, item);
        }
    }
    if (first) menu->insertSeparator(first);
    menu->addSeparator();
    addSpellingActions(menu);
    return menu;
}

void HTMLTextView::addHTMLEditing(QMenu& menu) {
    const bool editable = !isReadOnly();
    auto add = [&](const char* title, auto action) {
        QAction* item = menu.addAction(title);
        connect(item, &QAction::triggered, this, action);
        return item;
    };
    if (!isHTMLTextContainer()) {
        add("Convert to HTML Text", [this] { makeHTMLText(false); })->setEnabled(editable);
        add("Convert to HTML Text with Paragraphs", [this] { makeHTMLText(true); })->setEnabled(editable);
        return;
    }
    std::vector<QAction*> editing;
    editing.push_back(add("Make Paragraph(s)", [this] { insertParagraph(); }));
    editing.push_back(add("Insert/Convert Table", [this] { insertTableText(); }));
    editing.push_back(add("Insert/Convert Ordered List", [this] { insertListText(true); }));
    editing.push_back(add("Insert/Convert Unordered List", [this] { insertListText(false); }));
    editing.push_back(add("Insert Hyperlink", [this] { insertTag(0); }));
    editing.push_back(add("Insert Hyperlink to Individual", [this] { insertTag(7); }));
    editing.push_back(add("Insert Hyperlink to Family", [this] { insertTag(8); }));
    editing.push_back(add("Attach CSS", [this] { insertTag(9); }));
    menu.addSeparator();
    editing.push_back(add("Section 1", [this] { insertTag(4); }));
    editing.push_back(add("Section 2", [this] { insertTag(5); }));
    editing.push_back(add("Section 3", [this] { insertTag(6); }));
    menu.addSeparator();
    editing.push_back(add("Bold", [this] { insertTag(1); }));
    editing.push_back(add("Italic", [this] { insertTag(2); }));
    editing.push_back(add("Underline", [this] { insertTag(3); }));
    menu.addSeparator();
    add("View HTML Content", [this] {
        if (host_.viewHTMLContent) host_.viewHTMLContent();
    });
    for (QAction* item : editing) item->setEnabled(editable);
}

void HTMLTextView::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu(menuForEvent());
    menu->exec(event->globalPos());
}

// ---- the commands

HTMLTextEditing::Range HTMLTextView::selectedRange() const {
    const QTextCursor cursor = textCursor();
    const QString text = toPlainText();
    const std::size_t start = bytesAt(text, cursor.selectionStart());
    return {start, bytesAt(text, cursor.selectionEnd()) - start};
}

void HTMLTextView::select(HTMLTextEditing::Range range) {
    const std::string text = utf8Text();
    QTextCursor cursor = textCursor();
    cursor.setPosition(positionAt(text, range.location));
    cursor.setPosition(positionAt(text, range.end()), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

HTMLTextEditing::Range HTMLTextView::insertTextRange() {
    const HTMLTextEditing::Range range = HTMLTextEditing::insertTextRange(utf8Text(), selectedRange());
    select(range);
    return range;
}

void HTMLTextView::replaceRange(HTMLTextEditing::Range range, const std::string& text) {
    std::string whole = utf8Text();
    range.location = std::min(range.location, whole.size());
    range.length = std::min(range.length, whole.size() - range.location);
    whole.replace(range.location, range.length, text);
    setPlainText(QString::fromStdString(whole));
    if (cell_) cell_->setChanged(true);
    commit();
}

void HTMLTextView::makeHTMLText(bool paragraphs) {
    const std::string text = utf8Text();
    replaceRange({0, text.size()}, HTMLTextEditing::makeHTMLText(text, paragraphs));
}

void HTMLTextView::insertParagraph() {
    const std::string text = utf8Text();
    HTMLTextEditing::Range range = HTMLTextEditing::lineRange(text, insertTextRange());
    range = HTMLTextEditing::insertTextRange(text, range);
    replaceRange(range, HTMLTextEditing::paragraphText(std::string_view(text).substr(range.location, range.length)));
}

void HTMLTextView::insertListText(bool ordered) {
    const HTMLTextEditing::Range range = insertTextRange();
    const std::string text = utf8Text();
    replaceRange(range, HTMLTextEditing::listText(std::string_view(text).substr(range.location, range.length), ordered));
}

void HTMLTextView::insertTableText() {
    const HTMLTextEditing::Range range = insertTextRange();
    const std::string text = utf8Text();
    replaceRange(range, HTMLTextEditing::tableText(std::string_view(text).substr(range.location, range.length)));
}

void HTMLTextView::insertTag(int tag) {
    if (tag == 9) {
        if (host_.selectCSS) host_.selectCSS();
        return;
    }
    const HTMLTextEditing::Range range = insertTextRange();
    const std::string text = utf8Text();
    const std::string selected = text.substr(range.location, range.length);
    if (tag == 7 || tag == 8) {
        if (!host_.chooseRecord) return;
        const bool individual = tag == 7;
        QPointer<HTMLTextView> self(this);
        host_.chooseRecord(individual ? "INDI" : "FAM",
                           individual ? "Insert hyperlink to an existing individual record"
                                      : "Insert hyperlink to an existing family record",
                           [self, selected](const RecordPtr& record) {
                               if (self && record) self->insertRecordHyperLink(record, selected);
                           });
        return;
    }
    if (tag < 0 || tag > 6) return;
    replaceRange(range, HTMLTextEditing::tagText(selected, tag));
}

void HTMLTextView::insertRecordHyperLink(const RecordPtr& record, const std::string& linkText) {
    std::string shown = QString::fromStdString(linkText).trimmed().toStdString();
    if (shown.empty()) shown = record->altViewName();
    replaceRange(insertTextRange(), HTMLTextEditing::recordLinkText(record->grecordID(), shown));
}

// ---- record drops

void HTMLTextView::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void HTMLTextView::dragMoveEvent(QDragMoveEvent* event) {
    if (!event->mimeData()->hasFormat(kRecordIdsMimeType)) {
        NoTabTextView::dragMoveEvent(event);
        return;
    }
    // Records of another document are refused.
    if (host_.droppedRecords && host_.droppedRecords(*event->mimeData()) && !isReadOnly())
        event->acceptProposedAction();
    else
        event->ignore();
}

void HTMLTextView::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasFormat(kRecordIdsMimeType)) {
        NoTabTextView::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    const auto records = host_.droppedRecords ? host_.droppedRecords(*event->mimeData()) : std::nullopt;
    if (!records || isReadOnly()) return;
    const std::string links = HTMLTextEditing::droppedRecordsText(*records, isHTMLTextContainer());
    if (links.empty()) return;
    // The drop lands where it is let go, moved inside the block.
    setTextCursor(cursorForPosition(event->position().toPoint()));
    replaceRange(insertTextRange(), links);
}

}  // namespace kl
