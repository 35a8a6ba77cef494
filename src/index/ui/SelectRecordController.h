#pragma once
// SelectRecordController: the record picker, a sheet over a document window
// that lists a picker list's records and hands the chosen one back. Its
// options: "message" (the text above the list, by default "Select a record
// for viewing"), "mustSelect" ("YES": the choose button needs a selected
// row), "newrecord" (the title of a button that answers no record, with
// "RecordType" and any typed "FindText" in the options), "recordaction"
// (the title of a button that answers the selected record with
// "RecordActionClick"), their help texts "newrecordhelp" and
// "recordactionhelp", "lastAttached" (the record selected at the start),
// "typeSelect" (text typed at the start), "pedigree" (shows the pedigree
// pop-up at that index), "assolink" (shows the reverse-link box, answered
// as "YES" or "NO") and "helpTag" (shows the help button). Other keys come
// back untouched.
//
// Typing in the list types into the find field, which selects the first
// record whose name starts with the text; Return chooses it.
//
// Ownership: a child of the window it was made for; holds the shown list
// until it is shown again. Thread: main thread.
#include <functional>
#include <memory>

#include "app/ui/KLSheet.h"
#include "foundation/Value.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace kl {

class GEDCOMRecord;
class RecordsListForPanel;

class SelectRecordController : public KLSheet {
    Q_OBJECT
public:
    using Answer = std::function<void(const std::shared_ptr<GEDCOMRecord>&, const Dictionary&)>;

    explicit SelectRecordController(QWidget* parent = nullptr);

    // Shows the list on the window; `answer` runs when a choice is made.
    void selectRecordFrom(const std::shared_ptr<RecordsListForPanel>& list, const Dictionary& options, QWidget* window,
                          Answer answer);

    QTableView* table() const { return table_; }
    QLabel* message() const { return message_; }
    QPushButton* chooseButton() const { return choose_; }
    QPushButton* newRecordButton() const { return newRecord_; }
    QPushButton* recordActionButton() const { return recordAction_; }
    QLineEdit* findField() const { return find_; }
    QComboBox* selectPedigree() const { return pedigree_; }
    QCheckBox* reverseLink() const { return reverseLink_; }
    QPushButton* helpButton() const { return help_; }
    // Whether a choice is pending.
    bool sheetVisible() const { return list_ != nullptr; }
    // Cancels a pending choice whose list holds the record (it was
    // deleted: choosing it would bring it back into view).
    void cancelIfInSelection(const GEDCOMRecord* record);

    // The row of the first record whose name starts with the text
    // (case ignored); -1 when none, -2 for no text.
    int findRowForString(const QString& text) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::shared_ptr<GEDCOMRecord> selectedRecord() const;
    std::shared_ptr<GEDCOMRecord> selectedRecord(const std::shared_ptr<RecordsListForPanel>& list) const;
    void finish(int choice);
    void updateButtons();
    void findString();
    // Typed text that names no selected record may mean a new record was
    // wanted: false when the user goes back to the picker.
    bool confirmTypedText();

    QLabel* message_;
    QTableView* table_;
    QStandardItemModel* rows_;
    QPushButton* choose_;
    QPushButton* newRecord_;
    QPushButton* recordAction_;
    QLineEdit* find_;
    QComboBox* pedigree_;
    QCheckBox* reverseLink_;
    QPushButton* help_;
    std::shared_ptr<RecordsListForPanel> list_;
    Dictionary options_;
    Answer answer_;
    bool mustSelect_ = false;
};

}  // namespace kl
