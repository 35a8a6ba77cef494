#pragma once
// PairToolbarItem: a toolbar item whose view holds two buttons side by
// side, each carrying a menu tag by which its window enables it (the
// window's validator, asked with the tag and never retitling). The record
// browser's back/forward and previous/next items are made of it.
//
// Ownership: a Qt child of its toolbar; owns its buttons. Thread: main thread.
#include <QWidget>

#include <functional>

#include "app/ui/DLDelayedPopUpButton.h"

namespace kl {

class PairToolbarItem : public QWidget {
    Q_OBJECT
public:
    using Validator = std::function<bool(int tag)>;

    PairToolbarItem(int firstTag, int secondTag, QWidget* parent = nullptr);

    DLDelayedPopUpButton* firstButton() const { return first_; }
    DLDelayedPopUpButton* secondButton() const { return second_; }
    // The window that answers the buttons' tags.
    void setValidator(Validator validator) { validator_ = std::move(validator); }
    // Enables each button by its tag.
    void validate();

signals:
    // A button was clicked, with its tag.
    void buttonClicked(int tag);

private:
    DLDelayedPopUpButton* makeButton(int tag);

    DLDelayedPopUpButton* first_;
    DLDelayedPopUpButton* second_;
    Validator validator_;
};

// Back and forward through the records a browser window showed.
class BackForwardToolbarItem : public PairToolbarItem {
    Q_OBJECT
public:
    static constexpr int kBackTag = 3101;
    static constexpr int kForwardTag = 3102;
    explicit BackForwardToolbarItem(QWidget* parent = nullptr);
    DLDelayedPopUpButton* backButton() const { return firstButton(); }
    DLDelayedPopUpButton* forwardButton() const { return secondButton(); }
};

// The previous and next record of the shown record's type.
class PrevNextToolbarItem : public PairToolbarItem {
    Q_OBJECT
public:
    static constexpr int kPrevTag = 3104;
    static constexpr int kNextTag = 3106;
    explicit PrevNextToolbarItem(QWidget* parent = nullptr);
    DLDelayedPopUpButton* prevButton() const { return firstButton(); }
    DLDelayedPopUpButton* nextButton() const { return secondButton(); }
};

}  // namespace kl
