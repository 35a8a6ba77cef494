#pragma once
// UserInputPanel and UserListPanel: the one-line text input and the list
// choice scripts put up, run modally. The prompt sits on top, the field or
// list below it, the buttons (up to three, first = default) at the bottom
// right: a button grows to the left to fit its title and never becomes
// smaller than the panel's own button size. The list shows at most 10 rows
// and scrolls; a double click answers OK.
//
// Ownership: made for one question on the stack of the worker that asks
// it. Thread: GUI thread.
#include <QDialog>

#include <string>
#include <vector>

#include "foundation/Value.h"
#include "scripting/ScriptDialogArguments.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QVBoxLayout;

namespace kl {

class UserInputPanel : public QDialog {
    Q_OBJECT
public:
    static constexpr int smallestButtonWidth = 82;

    explicit UserInputPanel(const ScriptDialogArguments::Input& question, QWidget* parent = nullptr);

    // Shows the panel modally; [clicked title, text] (with the rows of a
    // list panel as a third element).
    Array runModalUserInput();

    QLineEdit* field() const { return userInputText_; }
    QPushButton* button(int index) const;  // 0 OK, 1 Cancel, 2 alternate
    // 1 OK, 0 Cancel, 2 alternate.
    int finalClick() const { return finalClick_; }

protected:
    UserInputPanel(const std::string& title, const std::string& prompt, const std::vector<std::string>& buttons,
                   QWidget* parent);
    virtual Array userSelection() const;
    void finish(int click);

    QLabel* userPromptText_;
    QLineEdit* userInputText_ = nullptr;
    std::vector<std::string> buttons_;
    std::vector<QPushButton*> buttonWidgets_;
    int finalClick_ = 0;
    QVBoxLayout* body_;
    void placeButtons();
};

class UserListPanel : public UserInputPanel {
    Q_OBJECT
public:
    static constexpr int mostRowsShown = 10;

    explicit UserListPanel(const ScriptDialogArguments::List& question, QWidget* parent = nullptr);

    QListWidget* list() const { return userListBox_; }
    int rowsShown() const;

protected:
    Array userSelection() const override;

private:
    QListWidget* userListBox_;
};

}  // namespace kl
