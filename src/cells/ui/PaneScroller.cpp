#include "cells/ui/PaneScroller.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QStackedLayout>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>

#include "app/ui/AppDrawing.h"
#include "cells/EditPaneCell.h"
#include "cells/ui/WebPaneView.h"

namespace kl {

namespace {

// The cell's view: everything goes to the window's scroller, which the
// cell does not own.
class PaneScrollerView : public CellView {
public:
    PaneScrollerView(PaneScroller& scroller, EditPaneCell& cell) : scroller_(&scroller), cell_(&cell) {}
    ~PaneScrollerView() override {
        if (scroller_ && scroller_->cell() == cell_) scroller_->removeDelegates();
    }
    PaneScrollerView(const PaneScrollerView&) = delete;
    PaneScrollerView& operator=(const PaneScrollerView&) = delete;

    void setFrame(const CellRect&) override {}
    void refresh(const CustomCell& cell) override {
        if (scroller_ && scroller_->cell() == cell_) scroller_->showCell(dynamic_cast<const EditPaneCell&>(cell));
    }
    double textWidth(const std::string& text) const override {
        return scroller_ ? QFontMetricsF(scroller_->textPane()->font()).horizontalAdvance(QString::fromStdString(text))
                         : 0;
    }
    double textHeight() const override {
        return scroller_ ? QFontMetricsF(scroller_->textPane()->font()).lineSpacing() : 0;
    }
    std::string text() const override {
        return scroller_ ? scroller_->textPane()->toPlainText().toStdString() : cell_->loadedText();
    }
    bool hasFocus() const override { return scroller_ && scroller_->isFirstResponder(); }
    void takeFocus() override {
        if (scroller_ && scroller_->viewType() == PaneShowsText) scroller_->textPane()->setFocus(Qt::OtherFocusReason);
    }
    void beep() override { QApplication::beep(); }
    void setEditable(bool) override {
        if (scroller_) scroller_->showCell(*cell_);
    }

private:
    QPointer<PaneScroller> scroller_;
    EditPaneCell* cell_;
};

}  // namespace

PaneScroller::PaneScroller(QWidget* parent) : QWidget(parent) {
    stack_ = new QStackedLayout(this);
    stack_->setContentsMargins(0, 0, 0, 0);
    textPane_ = new HTMLTextView(this);
    textPane_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textPane_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    stack_->addWidget(textPane_);
}

void PaneScroller::setModel(std::function<const GEDCOMModel*()> model) {
    model_ = std::move(model);
    if (webPane_) webPane_->setModel(model_);
}

void PaneScroller::setRecordOpener(std::function<void(const std::shared_ptr<GEDCOMRecord>&)> opener) {
    opener_ = std::move(opener);
    if (webPane_) webPane_->setRecordOpener(opener_);
}

void PaneScroller::setDocumentType(int type) {
    if (type == viewType_) return;
    viewType_ = type;
    if (type == PaneShowsText) {
        stack_->setCurrentWidget(textPane_);
        return;
    }
    if (!webPane_) {
        webPane_ = new WebPaneView(this);
        webPane_->setModel(model_);
        webPane_->setRecordOpener(opener_);
        stack_->addWidget(webPane_);
    }
    stack_->setCurrentWidget(webPane_);
}

void PaneScroller::loadURLDocument(const std::string& path) {
    setDocumentType(PaneShowsPage);
    currentURL_ = path;
    webPane_->loadURLDocument(path);
}

std::unique_ptr<CellView> PaneScroller::bind(EditPaneCell& cell) {
    textPane_->setPaneCell(&cell);
    return std::make_unique<PaneScrollerView>(*this, cell);
}

void PaneScroller::showCell(const EditPaneCell& cell) {
    const CellLook& look = cell.look();
    QFont font = look.font ? AppDrawing::qtFont(*look.font) : QApplication::font();
    textPane_->setFont(font);
    QPalette shade = textPane_->palette();
    if (look.textColor) shade.setColor(QPalette::Text, AppDrawing::qtColor(*look.textColor));
    if (look.backgroundColor) shade.setColor(QPalette::Base, AppDrawing::qtColor(*look.backgroundColor));
    textPane_->setPalette(shade);
    static constexpr Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter, Qt::AlignJustify};
    QTextOption option = textPane_->document()->defaultTextOption();
    option.setAlignment(horizontal[std::clamp(look.alignment, 0, 3)]);
    textPane_->document()->setDefaultTextOption(option);
    textPane_->setReadOnly(!cell.editable());
    textPane_->setToolTip(viewType_ == PaneShowsText ? QString::fromStdString(look.help) : QString());
    // The cell's text changes by loads, commits and its own edits (a
    // style sheet attached), never under the user's typing.
    textPane_->loadText(QString::fromStdString(cell.text()));
    if (cell.viewType() == PaneShowsPage) {
        if (!cell.pageFile().empty() && cell.pageFile() != currentURL_) loadURLDocument(cell.pageFile());
        else setDocumentType(PaneShowsPage);
    } else {
        setDocumentType(PaneShowsText);
    }
}

}  // namespace kl
