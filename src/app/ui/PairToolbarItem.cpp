#include "app/ui/PairToolbarItem.h"

#include <QHBoxLayout>
#include <QStyle>

namespace kl {

PairToolbarItem::PairToolbarItem(int firstTag, int secondTag, QWidget* parent) : QWidget(parent) {
    first_ = makeButton(firstTag);
    second_ = makeButton(secondTag);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(first_);
    layout->addWidget(second_);
}

DLDelayedPopUpButton* PairToolbarItem::makeButton(int tag) {
    auto* button = new DLDelayedPopUpButton(this);
    button->setProperty("klTag", tag);
    button->setIconSize(QSize(20, 20));
    connect(button, &QToolButton::clicked, this, [this, tag] { emit buttonClicked(tag); });
    return button;
}

void PairToolbarItem::validate() {
    if (!validator_) return;
    for (DLDelayedPopUpButton* button : {first_, second_})
        button->setEnabled(validator_(button->property("klTag").toInt()));
}

BackForwardToolbarItem::BackForwardToolbarItem(QWidget* parent) : PairToolbarItem(kBackTag, kForwardTag, parent) {
    backButton()->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    backButton()->setToolTip(tr("Back"));
    forwardButton()->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    forwardButton()->setToolTip(tr("Forward"));
}

PrevNextToolbarItem::PrevNextToolbarItem(QWidget* parent) : PairToolbarItem(kPrevTag, kNextTag, parent) {
    prevButton()->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    prevButton()->setToolTip(tr("Previous"));
    nextButton()->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    nextButton()->setToolTip(tr("Next"));
}

}  // namespace kl
