#pragma once
// HTMLTextView: the text view of the record window's large text pane. What
// is typed marks the pane's cell changed and leaving the view commits it;
// the commit drops the view's own typing undo, so Edit > Undo takes back the
// record change. Tab and Backtab move to the window's next or previous
// control. Its context menu starts with the "HTML Editing" submenu: for
// plain text the conversions to an HTML block, for an HTML block the
// insertions (paragraphs, lists, tables, hyperlinks, links to individual
// and family records, sections, styles), the style-sheet marker and the
// switch to the rendered page. Every insertion lands inside the block and
// is committed at once, one undo step per command. Records dragged from a
// window of the same document drop as links (their names in plain text).
//
// What needs the window (choosing a record, a style sheet, showing the page,
// telling a drag's document) it asks of its Host.
//
// Ownership: a child widget of its PaneScroller; the cell is borrowed and
// cleared when it goes. Thread: main thread.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cells/HTMLTextEditing.h"
#include "cells/ui/NoTabTextView.h"

namespace kl {

class EditPaneCell;
class GEDCOMRecord;

class HTMLTextView : public NoTabTextView {
    Q_OBJECT
public:
    using RecordPtr = std::shared_ptr<GEDCOMRecord>;
    struct Host {
        // A record of the type ("INDI", "FAM") chosen on the window's picker
        // with the message; the answer comes later, or never.
        std::function<void(const std::string& type, const std::string& message, std::function<void(const RecordPtr&)>)>
            chooseRecord;
        // The style-sheet choice; it ends in the cell's attachCSS.
        std::function<void()> selectCSS;
        std::function<void()> viewHTMLContent;
        // The records of a drag from a window of the same document; nullopt
        // for any other drag.
        std::function<std::optional<std::vector<RecordPtr>>(const QMimeData&)> droppedRecords;
    };

    explicit HTMLTextView(QWidget* parent = nullptr);
    void setHost(Host host) { host_ = std::move(host); }
    EditPaneCell* paneCell() const { return cell_; }
    void setPaneCell(EditPaneCell* cell) { cell_ = cell; }
    // Shows a text without marking the cell changed.
    void loadText(const QString& text);

    // The context menu, "HTML Editing" first.
    QMenu* menuForEvent();
    bool isHTMLTextContainer() const;

    // ---- the commands (as the menu runs them)
    void makeHTMLText(bool paragraphs);
    void insertParagraph();
    void insertListText(bool ordered);
    void insertTableText();
    // 0 hyperlink, 1 bold, 2 italic, 3 underline, 4-6 sections 1-3,
    // 7 link to an individual, 8 to a family, 9 attach a style sheet.
    void insertTag(int tag);
    void insertRecordHyperLink(const RecordPtr& record, const std::string& linkText);
    // The selection moved inside the block's body, and selected.
    HTMLTextEditing::Range insertTextRange();
    // Replaces the range (UTF-8 offsets) and commits.
    void replaceRange(HTMLTextEditing::Range range, const std::string& text);

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    std::string utf8Text() const { return toPlainText().toStdString(); }
    HTMLTextEditing::Range selectedRange() const;
    void select(HTMLTextEditing::Range range);
    void commit();
    void addHTMLEditing(QMenu& menu);

    EditPaneCell* cell_ = nullptr;
    Host host_;
    bool quiet_ = false;
};

}  // namespace kl
