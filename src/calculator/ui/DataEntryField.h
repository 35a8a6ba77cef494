#pragma once
// DataEntryField: register a of the calculator, the one field the user
// types into. Keypad Enter enters the text, Return reads it as a Gregorian
// date, Tab beeps, Escape clears; any typing drops a's value and labels.
//
// Thread: main thread. The controller is not owned.
#include <QLineEdit>

namespace kl {

class TPController;

class DataEntryField : public QLineEdit {
    Q_OBJECT
public:
    explicit DataEntryField(QWidget* parent = nullptr);

    void setController(TPController* controller) { tpController_ = controller; }
    void selectAllText() { selectAll(); }
    // Escape and the Clear button: the text goes, and with it a's value.
    void cancelOperation();
    // A qualifier word replaces the one the text begins with, else goes in
    // front of it.
    void insertGEDCOMWord(const QString& word);
    // A conjunction or month word typed at the insertion point, spaced from
    // its neighbours.
    void typeWord(const QString& word);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void commitEntry(int key);
    void controlTextDidChange();

    TPController* tpController_ = nullptr;
};

}  // namespace kl
