#include "cells/ui/KLPopupEditView.h"

#include <QGraphicsDropShadowEffect>
#include <QKeyEvent>
#include <QAbstractTextDocumentLayout>
#include <QTimer>

#include <cmath>

#include "cells/CustomCell.h"
#include "cells/QuickComment.h"
#include "model/GEDCOMStructure.h"
#include "model/ModelNotifications.h"

namespace kl {

KLPopupEditView::KLPopupEditView(const QRect& frame, const QFont& font, QWidget* parent) : QPlainTextEdit(parent) {
    setGeometry(frame);
    setFont(font);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setToolTip(tr(QuickComment::kToolTip));
    // Pale yellow, as a note stuck on the pane.
    setStyleSheet("QPlainTextEdit{background-color:rgb(255,255,204);color:black;border:1px solid darkgray;"
                  "padding:1px 3px;}");
    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setBlurRadius(20);
    shadow->setOffset(2, 2);
    shadow->setColor(Qt::black);
    setGraphicsEffect(shadow);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!loading_) changed_ = true;
        fitToText();
    });
}

KLPopupEditView::~KLPopupEditView() = default;

void KLPopupEditView::setStructure(const std::shared_ptr<GEDCOMStructure>& structure) {
    contents_.reset();
    removal_.reset();
    structure_ = structure;
    updateStructure();
    if (!structure) return;
    const GEDCOMObject* node = structure.get();
    auto& center = NotificationCenter::defaultCenter();
    contents_ = center.addObserver(notification_names::RecordStructureContentsChanged, node,
                                   [this](const Notification&) { updateStructure(); });
    // A comment on a structure that goes is not saved.
    removal_ = center.addObserver(notification_names::RecordStructureWillRemove, node, [this](const Notification&) {
        changed_ = false;
        structure_.reset();
    });
}

void KLPopupEditView::updateStructure() {
    const auto structure = structure_.lock();
    const QString comment = structure ? QString::fromStdString(QuickComment::shown(*structure)) : QString();
    if (comment != toPlainText()) {
        loading_ = true;
        setPlainText(comment);
        loading_ = false;
    }
    changed_ = false;
}

int KLPopupEditView::endStructureEditing() {
    if (!changed_) return EditSet;
    changed_ = false;
    if (const auto structure = structure_.lock()) {
        QuickComment::save(*structure, toPlainText().toStdString());
        // The field's mark and tooltip follow.
        if (sourceCell_) sourceCell_->refresh();
    }
    return EditSet;
}

void KLPopupEditView::finish() {
    if (finished_) return;
    finished_ = true;
    endStructureEditing();
    contents_.reset();
    removal_.reset();
    hide();
    deleteLater();
}

void KLPopupEditView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        CustomCell* back = sourceCell_;
        finish();
        if (back && back->view()) back->view()->takeFocus();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void KLPopupEditView::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    // The context menu of the editor itself keeps it open.
    if (event->reason() != Qt::PopupFocusReason) finish();
}

void KLPopupEditView::fitToText() {
    const QFontMetricsF metrics(font());
    // The plain-text layout measures its document in lines, wrapped ones
    // included.
    const double lines = std::max(1.0, document()->documentLayout()->documentSize().height());
    const int wanted = int(std::ceil(lines * metrics.lineSpacing() * 1.1 + 10));
    if (wanted == height()) return;
    QRect frame = geometry();
    frame.setHeight(wanted);
    if (QWidget* pane = parentWidget()) {
        const int overflow = frame.bottom() + 1 - pane->height();
        if (overflow > 0) frame.moveTop(std::max(0, frame.top() - overflow));
    }
    setGeometry(frame);
}

}  // namespace kl
