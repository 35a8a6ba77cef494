#pragma once
// PaneScroller: the record window's large text pane. It lives as long as
// its window and shows, for the EditPaneCell of each build, either the text
// view (HTMLTextView) or, for an HTML block the window shows rendered, the
// page (WebPaneView, made on first use and kept). The cell's view is a
// small CellView that refers to this scroller; when that view goes with
// its cell, the scroller forgets the cell (removeDelegates).
//
// Ownership: a child of the window's split view. Thread: main thread.
#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>

#include "cells/ui/HTMLTextView.h"

class QStackedLayout;

namespace kl {

class CellView;
class EditPaneCell;
class GEDCOMModel;
class WebPaneView;

class PaneScroller : public QWidget {
    Q_OBJECT
public:
    explicit PaneScroller(QWidget* parent = nullptr);

    HTMLTextView* textPane() const { return textPane_; }
    // nullptr until a page was first shown.
    WebPaneView* webPane() const { return webPane_; }
    // 1 the text view, 2 the page.
    int viewType() const { return viewType_; }
    void setDocumentType(int type);
    bool hasHTMLText() const { return textPane_->isHTMLTextContainer(); }
    bool isFirstResponder() const { return textPane_->hasFocus(); }
    // The page file whose load last started ("" before the first).
    const std::string& currentURL() const { return currentURL_; }
    void loadURLDocument(const std::string& path);

    // The window's services for the text view and the page's links.
    void setTextHost(HTMLTextView::Host host) { textPane_->setHost(std::move(host)); }
    void setModel(std::function<const GEDCOMModel*()> model);
    void setRecordOpener(std::function<void(const std::shared_ptr<GEDCOMRecord>&)> opener);

    // The view of a build's pane cell; the cell becomes the text view's
    // delegate.
    std::unique_ptr<CellView> bind(EditPaneCell& cell);
    EditPaneCell* cell() const { return textPane_->paneCell(); }
    void removeDelegates() { textPane_->setPaneCell(nullptr); }
    // Shows what the cell holds now (text, look, page).
    void showCell(const EditPaneCell& cell);

private:
    QStackedLayout* stack_ = nullptr;
    HTMLTextView* textPane_ = nullptr;
    WebPaneView* webPane_ = nullptr;
    int viewType_ = 1;
    std::string currentURL_;
    std::function<const GEDCOMModel*()> model_;
    std::function<void(const std::shared_ptr<GEDCOMRecord>&)> opener_;
};

}  // namespace kl
