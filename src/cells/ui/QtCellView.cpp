#include "cells/ui/QtCellView.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTextDocument>
#include <QTextOption>

#include <cmath>

#include "cells/CustomCell.h"
#include "cells/ChoiceCells.h"
#include "cells/EditPlaceCell.h"
#include "cells/EditValueCell.h"
#include "cells/ExpressionCell.h"
#include "cells/ExpressionFieldCell.h"
#include "cells/CellPane.h"
#include "cells/LinkHost.h"
#include "cells/ui/WebPaneView.h"
#include "foundation/MainThread.h"
#include "cells/TextCell.h"
#include "cells/TextFieldCell.h"
#include "cells/ui/KLComboBox.h"
#include "cells/ui/KLTextField.h"
#include "document/PlaceIndex.h"
#include "cells/ui/LinkViews.h"
#include "model/GEDCOMObject.h"
#include "cells/ui/NoTabTextView.h"

namespace kl {

namespace {

QString css(const Color& color) {
    return QString("rgba(%1,%2,%3,%4)")
        .arg(int(std::lround(color.red * 255)))
        .arg(int(std::lround(color.green * 255)))
        .arg(int(std::lround(color.blue * 255)))
        .arg(color.alpha);
}

// Pane lengths are device-independent pixels, fonts included, so what
// the layout measured is what is drawn.
QFont qtFont(const std::optional<Font>& font, const QFont& fallback) {
    if (!font) return fallback;
    QFont made(QString::fromStdString(font->family));
    made.setPixelSize(std::max(1, int(std::lround(font->size))));
    made.setBold((font->traits & Font::Bold) != 0);
    made.setItalic((font->traits & Font::Italic) != 0);
    return made;
}

}  // namespace

QtCellView::QtCellView(const CustomCell& cell) : guard_(std::make_unique<QObject>()) {
    if (auto* box = dynamic_cast<const CheckBoxEditValue*>(&cell)) {
        auto* target = const_cast<CheckBoxEditValue*>(box);
        checkBox_ = new QCheckBox;
        QObject::connect(checkBox_, &QCheckBox::clicked, guard_.get(),
                         [target](bool checked) { target->buttonClick(checked); });
        widget_ = checkBox_;
    } else if (dynamic_cast<const PopupMenuEditValue*>(&cell)) {
        popup_ = new QPushButton;
        popup_->setMenu(new QMenu(popup_));
        widget_ = popup_;
    } else if (auto* field = dynamic_cast<const ExpressionFieldCell*>(&cell);
               field && field->viewMode() == ExpressionFieldCell::kWebMode) {
        // An HTML block shows as its page; its record links open records
        // through the pane's browser while this view (and so its cell) lives.
        page_ = new WebPaneView;
        page_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        page_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        QPointer<QObject> alive(guard_.get());
        auto* shown = const_cast<CustomCell*>(&cell);
        page_->setModel([alive, shown]() -> const GEDCOMModel* {
            return alive ? OtherRecordWatch::paneModel(shown->pane()) : nullptr;
        });
        page_->setRecordOpener([alive, shown](const std::shared_ptr<GEDCOMRecord>& record) {
            LinkHost* host = alive && shown->pane() ? shown->pane()->linkHost() : nullptr;
            if (host) host->openLinkedRecord(record, LinkHost::Open::NewWindow, host->browserPaneID());
        });
        widget_ = page_;
    } else if (cell.isBoxSubclass()) {
        auto* box = new QGroupBox;
        widget_ = box;
    } else if (auto* lines = dynamic_cast<const TextFieldCell*>(&cell)) {
        textView_ = new NoTabTextView(const_cast<TextFieldCell*>(lines));
        textView_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        textView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        if (!lines->editable()) textView_->setUndoRedoEnabled(false);
        widget_ = textView_;
    } else if (auto* place = dynamic_cast<const EditPlaceCell*>(&cell)) {
        auto* target = const_cast<EditPlaceCell*>(place);
        auto* box = new KLComboBox(target);
        // Asked through the cell each time: the index is the store's now.
        box->setNames([box]() -> const std::vector<std::string>* {
            auto* shown = dynamic_cast<EditPlaceCell*>(box->parentCell());
            const PlaceIndex* places = shown ? shown->places() : nullptr;
            return places ? &places->order() : nullptr;
        });
        field_ = box->lineEdit();
        widget_ = box;
    } else if (auto* value = dynamic_cast<const EditValueCell*>(&cell)) {
        field_ = new KLTextField(const_cast<EditValueCell*>(value));
        widget_ = field_;
    } else {
        label_ = new QLabel;
        label_->setTextFormat(Qt::PlainText);
        label_->setWordWrap(false);
        widget_ = label_;
    }
    widget_->setAttribute(Qt::WA_DeleteOnClose, false);
}

QtCellView::~QtCellView() {
    // The field may outlive its cell until the pane drops the widgets.
    if (auto* field = qobject_cast<KLTextField*>(widget_.data())) field->setParentCell(nullptr);
    if (auto* box = qobject_cast<KLComboBox*>(widget_.data())) box->setParentCell(nullptr);
    if (auto* lines = qobject_cast<NoTabTextView*>(widget_.data())) lines->setParentCell(nullptr);
    // A widget that never reached a pane is still ours.
    if (widget_ && !widget_->parent()) delete widget_.data();
}

namespace {
std::vector<QtCellView::ViewMaker>& viewMakers() {
    static std::vector<QtCellView::ViewMaker> makers;
    return makers;
}
}  // namespace

void QtCellView::addViewMaker(ViewMaker maker) {
    if (maker) viewMakers().push_back(std::move(maker));
}

std::unique_ptr<CellView> QtCellView::make(CustomCell& cell) {
    for (const ViewMaker& maker : viewMakers())
        if (auto made = maker(cell)) return made;
    if (auto linked = makeLinkView(cell)) return linked;
    return std::make_unique<QtCellView>(cell);
}

void QtCellView::setFrame(const CellRect& frame) {
    if (!widget_) return;
    widget_->setGeometry(int(std::lround(frame.x)), int(std::lround(frame.y)), int(std::lround(frame.width)),
                         int(std::lround(frame.height)));
}

void QtCellView::refresh(const CustomCell& cell) {
    if (!widget_) return;
    const CellLook& look = cell.look();
    widget_->setFont(qtFont(look.font, QApplication::font()));
    // A style sheet costs a parse and a style of its own per widget, which
    // a pane of a hundred fields pays on every rebuild: only a cell with a
    // border gets one; fills and text colours go through the palette.
    QString style;
    if (look.borderWidth > 0) {
        if (look.backgroundColor) style += "background-color:" + css(*look.backgroundColor) + ";";
        style += QString("border:%1px solid %2;").arg(look.borderWidth).arg(css(look.borderColor.value_or(Color::black())));
        if (look.cornerRadius > 0) style += QString("border-radius:%1px;").arg(look.cornerRadius);
        if (look.textColor) style += "color:" + css(*look.textColor) + ";";
    }
    if (style != widget_->styleSheet()) widget_->setStyleSheet(style);
    if (style.isEmpty() && (look.textColor || look.backgroundColor)) {
        QPalette shade = widget_->palette();
        auto qt = [](const Color& c) { return QColor::fromRgbF(float(c.red), float(c.green), float(c.blue), float(c.alpha)); };
        if (look.textColor) {
            shade.setColor(QPalette::WindowText, qt(*look.textColor));
            shade.setColor(QPalette::Text, qt(*look.textColor));
        }
        if (look.backgroundColor) {
            // Fields draw their Base, labels and boxes their Window.
            shade.setColor(QPalette::Base, qt(*look.backgroundColor));
            shade.setColor(QPalette::Window, qt(*look.backgroundColor));
            widget_->setAutoFillBackground(true);
        }
        widget_->setPalette(shade);
    }
    if (look.underline) {
        QFont underlined = widget_->font();
        underlined.setUnderline(true);
        widget_->setFont(underlined);
    }
    widget_->setToolTip(QString::fromStdString(look.help));
    if (auto* box = qobject_cast<QGroupBox*>(widget_.data())) {
        box->setTitle(QString::fromStdString(cell.text()));
        return;
    }
    if (page_) {
        auto& field = const_cast<ExpressionFieldCell&>(dynamic_cast<const ExpressionFieldCell&>(cell));
        if (!field.pageFile().empty() && field.pageFile() != page_->htmlDocURL()) {
            page_->loadURLDocument(field.pageFile());
            // A cell that fits its contents takes the page's height once the
            // pane is built and the cell placed, as a web page reports its
            // height when it has loaded.
            QPointer<QObject> alive(guard_.get());
            WebPaneView* page = page_;
            Dispatcher::current().postDeferred(page, [alive, page, &field] {
                if (alive && field.frameNeedsResize()) field.finishLoadForFrame(page->pageHeight());
            });
        }
        return;
    }
    if (checkBox_) {
        const auto& box = dynamic_cast<const CheckBoxEditValue&>(cell);
        checkBox_->setText(QString::fromStdString(cell.text()));
        if (checkBox_->isChecked() != box.checked()) checkBox_->setChecked(box.checked());
        return;
    }
    if (popup_) {
        const auto& menu = dynamic_cast<const PopupMenuEditValue&>(cell);
        if (shownItems_ != menu.titles()) {
            shownItems_ = menu.titles();
            popup_->menu()->clear();
            auto* target = const_cast<PopupMenuEditValue*>(&menu);
            for (std::size_t i = 0; i < shownItems_.size(); ++i) {
                QAction* item = popup_->menu()->addAction(QString::fromStdString(shownItems_[i]));
                QObject::connect(item, &QAction::triggered, guard_.get(), [target, i] { target->buttonClick(int(i)); });
            }
        }
        const int selected = menu.selectedItem();
        const bool valid = selected >= 0 && selected < int(shownItems_.size());
        popup_->setText(valid ? QString::fromStdString(shownItems_[std::size_t(selected)]) : QString());
        popup_->setFlat(!menu.bordered());
        return;
    }
    static constexpr Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter, Qt::AlignJustify};
    if (textView_) {
        const auto& lines = dynamic_cast<const TextFieldCell&>(cell);
        textView_->showText(QString::fromStdString(cell.text()));
        textView_->setReadOnly(!lines.editable());
        textView_->setFrameShape(lines.borderStyle() == 0 ? QFrame::NoFrame : QFrame::StyledPanel);
        QTextOption option = textView_->document()->defaultTextOption();
        option.setAlignment(horizontal[std::clamp(look.alignment, 0, 3)]);
        textView_->document()->setDefaultTextOption(option);
        return;
    }
    if (field_) {
        field_->setAlignment(horizontal[std::clamp(look.alignment, 0, 3)] | Qt::AlignVCenter);
        const QString shown = QString::fromStdString(cell.text());
        // Rewriting the same text would lose the cursor and the selection.
        if (field_->text() != shown) field_->setText(shown);
        if (auto* value = dynamic_cast<const EditValueCell*>(&cell)) field_->setReadOnly(!value->fieldEditable());
        field_->update();
        return;
    }
    const auto* label = dynamic_cast<const LabelTextCell*>(&cell);
    const Qt::Alignment vertical = !label || label->centresText() ? Qt::AlignVCenter : Qt::AlignTop;
    label_->setAlignment(horizontal[std::clamp(look.alignment, 0, 3)] | vertical);
    label_->setText(QString::fromStdString(cell.text()));
}

double QtCellView::textWidth(const std::string& text) const {
    if (!widget_) return 0;
    return QFontMetricsF(widget_->font()).horizontalAdvance(QString::fromStdString(text));
}

double QtCellView::textHeight() const {
    if (!widget_) return 0;
    const QFontMetricsF metrics(widget_->font());
    return metrics.ascent() + metrics.descent() + 3;
}

double QtCellView::textBlockHeight(const std::string& text, double width) const {
    if (!widget_) return 0;
    const QFontMetricsF metrics(widget_->font());
    const QRectF room(0, 0, std::max(1.0, width - 8), 1e6);
    const QRectF used = metrics.boundingRect(room, Qt::TextWordWrap, QString::fromStdString(text));
    return std::max(used.height(), metrics.lineSpacing()) + 8;
}

std::string QtCellView::text() const {
    if (textView_) return textView_->toPlainText().toStdString();
    if (field_) return field_->text().toStdString();
    return label_ ? label_->text().toStdString() : std::string();
}

void QtCellView::setEditable(bool editable) {
    if (textView_) {
        if (auto* lines = textView_->parentCell()) textView_->setReadOnly(!lines->editable());
        return;
    }
    auto* line = qobject_cast<KLTextField*>(field_);
    if (line && line->parentCell()) line->setReadOnly(!line->parentCell()->fieldEditable());
    else if (field_) field_->setReadOnly(!editable);
    else if (checkBox_ || popup_) widget_->setEnabled(editable);
}

bool QtCellView::hasFocus() const { return widget_ && widget_->hasFocus(); }

void QtCellView::takeFocus() {
    if (widget_) widget_->setFocus(Qt::OtherFocusReason);
}

void QtCellView::beep() { QApplication::beep(); }

void QtCellView::writeStringToPasteboard(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

}  // namespace kl
