#include "index/ui/SelectRecordController.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "app/ui/AppAlerts.h"
#include "document/RecordsListForPanel.h"
#include "model/GEDCOMRecord.h"

namespace kl {

namespace {

enum Choice { Chosen = 1, NoRecord = 2, RecordAction = 3 };

QString optionText(const Dictionary& options, const char* key) {
    const Value* value = options.get(key);
    return value ? QString::fromStdString(value->toString()) : QString();
}

// Keys that start typing a name rather than move in the list.
bool typesIntoFind(const QString& text) {
    if (text.isEmpty()) return false;
    const QChar c = text.back();
    return c == ' ' || c.isLetterOrNumber() || c.isPunct();
}

std::string fillIn(std::string format, const std::string& value) {
    if (auto at = format.find("%@"); at != std::string::npos) format.replace(at, 2, value);
    return format;
}

}  // namespace

SelectRecordController::SelectRecordController(QWidget* parent) : KLSheet("SelectRecord", parent) {
    message_ = new QLabel(this);
    message_->setWordWrap(true);
    find_ = new QLineEdit(this);
    find_->setObjectName("typeToSelect");
    find_->setPlaceholderText(tr("Type to find a record"));
    table_ = new QTableView(this);
    rows_ = new QStandardItemModel(this);
    table_->setModel(rows_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setShowGrid(false);
    table_->installEventFilter(this);
    pedigree_ = new QComboBox(this);
    for (const char* item : {"birth", "adopted", "foster", "sealing"}) pedigree_->addItem(tr(item));
    reverseLink_ = new QCheckBox(tr("Add reverse link"), this);
    auto* buttons = new QDialogButtonBox(this);
    help_ = buttons->addButton(QDialogButtonBox::Help);
    newRecord_ = buttons->addButton(QString(), QDialogButtonBox::ResetRole);
    recordAction_ = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    choose_ = buttons->addButton(tr("Select"), QDialogButtonBox::AcceptRole);
    choose_->setDefault(true);
    connect(choose_, &QPushButton::clicked, this, [this] { finish(Chosen); });
    connect(newRecord_, &QPushButton::clicked, this, [this] { finish(NoRecord); });
    connect(recordAction_, &QPushButton::clicked, this, [this] { finish(RecordAction); });
    connect(help_, &QPushButton::clicked, this, &KLSheet::contextHelpTopic);
    connect(buttons, &QDialogButtonBox::rejected, this, &KLSheet::cancelClick);
    connect(table_, &QAbstractItemView::doubleClicked, this, [this] { finish(Chosen); });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SelectRecordController::updateButtons);
    connect(find_, &QLineEdit::textEdited, this, &SelectRecordController::findString);
    connect(find_, &QLineEdit::returnPressed, this, [this] {
        findString();
        if (selectedRecord()) finish(Chosen);
    });
    auto* extras = new QHBoxLayout;
    extras->addWidget(pedigree_);
    extras->addWidget(reverseLink_);
    extras->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_);
    layout->addWidget(find_);
    layout->addWidget(table_);
    layout->addLayout(extras);
    layout->addWidget(buttons);
    setTabOrder(find_, table_);
    resize(460, 360);
}

void SelectRecordController::selectRecordFrom(const std::shared_ptr<RecordsListForPanel>& list,
                                              const Dictionary& options, QWidget* window, Answer answer) {
    list_ = list;
    options_ = options;
    answer_ = std::move(answer);
    mustSelect_ = optionText(options, "mustSelect") == "YES";
    const QString message = optionText(options, "message");
    message_->setText(message.isEmpty() ? tr("Select a record for viewing") : message);
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
    const Value* pedigree = options.get("pedigree");
    pedigree_->setVisible(pedigree != nullptr);
    if (pedigree) pedigree_->setCurrentIndex(int(pedigree->toInteger(0)));
    reverseLink_->setVisible(options.contains("assolink"));
    reverseLink_->setChecked(false);
    const Value* helpTag = options.get("helpTag");
    help_->setVisible(helpTag != nullptr);
    if (helpTag) help_->setProperty("klTag", int(helpTag->toInteger(0)));
    find_->clear();

    // The record attached last, when the list holds that very record
    // (before anything was attached the document's value is a text).
    int row = rows_->rowCount() > 0 ? 0 : -1;
    if (const Value* last = options.get("lastAttached"))
        if (auto record = last->objectAs<GEDCOMRecord>()) {
            const auto& order = list_->order();
            if (auto it = std::find(order.begin(), order.end(), record); it != order.end()) row = int(it - order.begin());
        }
    if (row >= 0) {
        table_->selectRow(row);
        table_->scrollTo(rows_->index(row, 0));
    }
    updateButtons();
    startSheet(window, [this](KLSheet&, const Value& code) {
        const int choice = static_cast<int>(code.toInteger(0));
        const auto list = std::move(list_);
        list_.reset();
        // A cancelled picker lets its answer go: what the answer holds
        // (a script's wait for the pick) learns that nothing was picked.
        if (choice == CancelCode || !answer_) {
            answer_ = nullptr;
            return;
        }
        const auto record = choice == NoRecord ? nullptr : selectedRecord(list);
        Dictionary info = options_;
        const std::string typed = find_->text().toStdString();
        if (choice == RecordAction) info.set("RecordActionClick", "YES");
        if (choice == NoRecord) info.set("RecordType", Value(list->recordType()));
        if (choice != Chosen && !typed.empty()) info.set("FindText", Value(typed));
        if (choice != NoRecord && options_.contains("assolink"))
            info.set("assolink", Value(reverseLink_->isChecked() ? "YES" : "NO"));
        answer_(record, info);
    });
    if (const Value* typed = options.get("typeSelect"); typed && !typed->toString().empty()) {
        find_->setText(QString::fromStdString(typed->toString()));
        find_->setFocus();
        findString();
    } else {
        table_->setFocus();
    }
}

std::shared_ptr<GEDCOMRecord> SelectRecordController::selectedRecord() const { return selectedRecord(list_); }

std::shared_ptr<GEDCOMRecord> SelectRecordController::selectedRecord(
    const std::shared_ptr<RecordsListForPanel>& list) const {
    const QModelIndexList rows = table_->selectionModel()->selectedRows();
    if (rows.isEmpty() || !list) return nullptr;
    return list->recordWithIndex(rows.front().row());
}

void SelectRecordController::cancelIfInSelection(const GEDCOMRecord* record) {
    if (!list_ || !record) return;
    const auto& order = list_->order();
    if (std::any_of(order.begin(), order.end(), [record](const auto& listed) { return listed.get() == record; }))
        cancelClick();
}

void SelectRecordController::updateButtons() {
    const bool selected = !table_->selectionModel()->selectedRows().isEmpty();
    choose_->setEnabled(selected || !mustSelect_);
    recordAction_->setEnabled(selected);
}

int SelectRecordController::findRowForString(const QString& text) const {
    if (text.isEmpty()) return -2;
    for (int row = 0; row < rows_->rowCount(); ++row)
        if (rows_->item(row, 0)->text().startsWith(text, Qt::CaseInsensitive)) return row;
    return -1;
}

void SelectRecordController::findString() {
    // A pasted name of several lines is searched as one.
    QString text = find_->text();
    if (text.contains('\n') || text.contains('\r')) {
        text.replace('\r', ' ').replace('\n', ' ');
        find_->setText(text);
    }
    const int row = findRowForString(text);
    if (row >= 0) {
        table_->selectRow(row);
        table_->scrollTo(rows_->index(row, 0), QAbstractItemView::PositionAtCenter);
    } else if (row == -1 && rows_->rowCount() > 0) {
        QApplication::beep();
    }
}

bool SelectRecordController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab) {
            find_->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (typesIntoFind(key->text()) && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            find_->setText(find_->text() + key->text());
            find_->setFocus();
            findString();
            return true;
        }
    }
    return KLSheet::eventFilter(watched, event);
}

bool SelectRecordController::confirmTypedText() {
    const QString typed = find_->text();
    const auto record = selectedRecord();
    if (typed.isEmpty() || !record) return true;
    const QString name = QString::fromStdString(record->viewName());
    if (name.startsWith(typed, Qt::CaseInsensitive)) return true;
    QApplication::beep();
    const std::string shown = record->viewName();
    const int answer = AppAlerts::runCriticalAlert(
        fillIn(fillIn("You selected %@ and clicked 'OK' to use it, but also typed '%@' meaning you might want to "
                      "create a new record?",
                      shown),
               typed.toStdString()),
        fillIn("Click 'OK' to use %@ or click 'Cancel' to return to record selector and click a button to create a "
               "new record instead.",
               shown),
        std::string("OK"), std::string("Cancel"));
    return answer == AlertButtons::firstButtonResponse;
}

void SelectRecordController::finish(int choice) {
    if (choice != NoRecord && !selectedRecord()) {
        QApplication::beep();
        return;
    }
    if (choice == Chosen && !confirmTypedText()) return;
    endWithCode(choice);
}

}  // namespace kl
