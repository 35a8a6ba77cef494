#pragma once
// SelectRecordController: the record picker, a sheet over a document window
// that lists a picker list's records and hands the chosen one back. Its
// options: "message" (the text above the list), "mustSelect" ("YES": the
// choose button needs a selected row), "newrecord" (the title of a button
// that answers no record), "recordaction" (the title of a button that
// answers the selected record with "RecordActionClick" in the options),
// and their help texts "newrecordhelp" and "recordactionhelp".
//
// Ownership: a child of the window it was made for; holds the shown list
// until it is shown again. Thread: main thread.
#include <functional>
#include <memory>

#include "app/ui/KLSheet.h"
#include "foundation/Value.h"

class QLabel;
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

private:
    std::shared_ptr<GEDCOMRecord> selectedRecord() const;
    void finish(int choice);
    void updateButtons();

    QLabel* message_;
    QTableView* table_;
    QStandardItemModel* rows_;
    QPushButton* choose_;
    QPushButton* newRecord_;
    QPushButton* recordAction_;
    std::shared_ptr<RecordsListForPanel> list_;
    Dictionary options_;
    Answer answer_;
    bool mustSelect_ = false;
};

}  // namespace kl
