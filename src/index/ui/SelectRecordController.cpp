#include "index/ui/SelectRecordController.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "document/RecordsListForPanel.h"
#include "model/GEDCOMRecord.h"

namespace kl {

namespace {

enum Choice { Chosen = 1, NoRecord = 2, RecordAction = 3 };

QString optionText(const Dictionary& options, const char* key) {
    const Value* value = options.get(key);
    return value ? QString::fromStdString(value->toString()) : QString();
}

}  // namespace

SelectRecordController::SelectRecordController(QWidget* parent) : KLSheet("SelectRecord", parent) {
    message_ = new QLabel(this);
    message_->setWordWrap(true);
    table_ = new QTableView(this);
    rows_ = new QStandardItemModel(this);
    table_->setModel(rows_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setShowGrid(false);
    auto* buttons = new QDialogButtonBox(this);
    newRecord_ = buttons->addButton(QString(), QDialogButtonBox::ResetRole);
    recordAction_ = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    choose_ = buttons->addButton(tr("Select"), QDialogButtonBox::AcceptRole);
    choose_->setDefault(true);
    connect(choose_, &QPushButton::clicked, this, [this] { finish(Chosen); });
    connect(newRecord_, &QPushButton::clicked, this, [this] { finish(NoRecord); });
    connect(recordAction_, &QPushButton::clicked, this, [this] { finish(RecordAction); });
    connect(buttons, &QDialogButtonBox::rejected, this, &KLSheet::cancelClick);
    connect(table_, &QAbstractItemView::doubleClicked, this, [this] { finish(Chosen); });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SelectRecordController::updateButtons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(460, 360);
}

void SelectRecordController::selectRecordFrom(const std::shared_ptr<RecordsListForPanel>& list,
                                              const Dictionary& options, QWidget* window, Answer answer) {
    list_ = list;
    options_ = options;
    answer_ = std::move(answer);
    mustSelect_ = optionText(options, "mustSelect") == "YES";
    message_->setText(optionText(options, "message"));
    rows_->clear();
    rows_->setHorizontalHeaderLabels({tr("Record"), tr("ID")});
    for (const auto& record : list_->order())
        rows_->appendRow({new QStandardItem(QString::fromStdString(record->viewName())),
                          new QStandardItem(QString::fromStdString(record->grecordID()))});
    const QString newTitle = optionText(options, "newrecord");
    newRecord_->setText(newTitle);
    newRecord_->setToolTip(optionText(options, "newrecordhelp"));
    newRecord_->setVisible(!newTitle.isEmpty());
    const QString actionTitle = optionText(options, "recordaction");
    recordAction_->setText(actionTitle);
    recordAction_->setToolTip(optionText(options, "recordactionhelp"));
    recordAction_->setVisible(!actionTitle.isEmpty());
    if (rows_->rowCount() > 0) table_->selectRow(0);
    updateButtons();
    startSheet(window, [this](KLSheet&, const Value& code) {
        const int choice = static_cast<int>(code.toInteger(0));
        if (choice == CancelCode || !answer_) return;
        const auto record = selectedRecord();
        Dictionary info = options_;
        if (choice == RecordAction) info.set("RecordActionClick", "YES");
        answer_(choice == NoRecord ? nullptr : record, info);
    });
}

std::shared_ptr<GEDCOMRecord> SelectRecordController::selectedRecord() const {
    const QModelIndexList rows = table_->selectionModel()->selectedRows();
    if (rows.isEmpty() || !list_) return nullptr;
    return list_->recordWithIndex(rows.front().row());
}

void SelectRecordController::updateButtons() {
    const bool selected = !table_->selectionModel()->selectedRows().isEmpty();
    choose_->setEnabled(selected || !mustSelect_);
    recordAction_->setEnabled(selected);
}

void SelectRecordController::finish(int choice) {
    if (choice != NoRecord && !selectedRecord()) return;
    endWithCode(choice);
}

}  // namespace kl
