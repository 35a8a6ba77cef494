#include "index/ui/SearchPanel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

#include "app/AppController.h"
#include "app/ui/AppAlerts.h"
#include "app/ui/EditMenu.h"
#include "app/ui/WindowFileMenu.h"
#include "document/DocumentNotifications.h"
#include "document/GEDCOMDocument.h"
#include "document/RecordIdsDrag.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/UndoManager.h"
#include "index/AlbumsMenu.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "index/SearchRun.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

const GEDCOMRecord* recordOfNode(const void* object) {
    return object ? static_cast<const GEDCOMObject*>(object)->theRecord() : nullptr;
}

void fillCombo(QComboBox* combo, const std::vector<std::string>& titles) {
    for (const auto& title : titles) combo->addItem(QObject::tr(title.c_str()));
}

}  // namespace

// ---- one row

SearchCriterionView::SearchCriterionView(SearchView& parent, GEDCOMDocument& doc)
    : QWidget(&parent), parent_(parent), doc_(doc) {
    options_ = new QComboBox(this);
    fillCombo(options_, SearchCriteria::mainOptions());
    recordTypes_ = new QComboBox(this);
    fillCombo(recordTypes_, SearchCriteria::recordTypeTitles());
    albums_ = new QComboBox(this);
    expression_ = new QLineEdit(this);
    expression_->setFixedWidth(120);
    expression_->setPlaceholderText(tr("expression"));
    compare_ = new QComboBox(this);
    fillCombo(compare_, SearchCriteria::compareOptions());
    text_ = new QLineEdit(this);
    add_ = new QPushButton("+", this);
    remove_ = new QPushButton("-", this);
    for (QPushButton* button : {add_, remove_}) {
        button->setFixedSize(22, 22);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
    }
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 1, 6, 1);
    layout->setSpacing(6);
    for (QWidget* w : std::initializer_list<QWidget*>{options_, recordTypes_, albums_, expression_, compare_})
        layout->addWidget(w);
    layout->addWidget(text_, 1);
    layout->addStretch(0);
    layout->addWidget(add_);
    layout->addWidget(remove_);
    recordTypes_->hide();
    albums_->hide();
    expression_->hide();

    connect(options_, &QComboBox::activated, this, [this](int index) { changeOption(index); });
    connect(compare_, &QComboBox::activated, this, [this](int index) { changeCompare(index); });
    connect(add_, &QPushButton::clicked, this, [this] { parent_.addCriterion(this); });
    connect(remove_, &QPushButton::clicked, this, [this] { parent_.removeCriterion(this); });
    connect(text_, &QLineEdit::returnPressed, &parent_, &SearchView::returnInSearchField);
    connect(expression_, &QLineEdit::returnPressed, &parent_, &SearchView::returnInSearchField);
    auto& center = NotificationCenter::defaultCenter();
    auto refill = [this](const Notification&) { updateAlbumMenu(); };
    observations_.push_back(center.addObserver(notification_names::RecordsListNameChanged, nullptr, refill));
    observations_.push_back(center.addObserver(IndexController::kUserAlbumAddedOrDeleted, nullptr, refill));
}

void SearchCriterionView::changeOption(int kind) {
    if (kind == SearchCriteria::ExpressionIdeas) {
        // The ideas item stands for the expression row itself, and shows
        // the help's sample expressions.
        kind = SearchCriteria::Expression;
        options_->setCurrentIndex(kind);
        AppController::showAnchor("Editing/sampleexpressions", "index_");
    } else if (options_->currentIndex() != kind) {
        options_->setCurrentIndex(kind);
    }
    const int state = SearchCriteria::displayStateForKind(kind);
    const bool textShown = compare_->currentIndex() != SearchCriteria::IsAnyText;
    switch (state) {
    case 0:
    case 4:
        recordTypes_->hide();
        albums_->hide();
        expression_->hide();
        compare_->show();
        enableCompareOptions(state == 0);
        text_->setVisible(state == 4 || textShown);
        break;
    case 1:
        compare_->hide();
        text_->hide();
        expression_->hide();
        albums_->hide();
        recordTypes_->show();
        enableCompareOptions(true);
        break;
    case 2:
        recordTypes_->hide();
        albums_->hide();
        expression_->show();
        compare_->show();
        enableCompareOptions(true);
        text_->setVisible(textShown);
        break;
    case 5:
        compare_->hide();
        text_->hide();
        expression_->hide();
        recordTypes_->hide();
        albums_->show();
        updateAlbumMenu();
        enableCompareOptions(true);
        break;
    default: break;
    }
    displayState_ = state;
    parent_.setTabKeyLoop();
}

void SearchCriterionView::changeCompare(int comparison) {
    if (compare_->currentIndex() != comparison) compare_->setCurrentIndex(comparison);
    const bool show = comparison != SearchCriteria::IsAnyText;
    if (text_->isVisibleTo(this) == show) return;
    text_->setVisible(show);
    parent_.setTabKeyLoop();
}

void SearchCriterionView::enableCompareOptions(bool all) {
    auto* model = qobject_cast<QStandardItemModel*>(compare_->model());
    for (int i = 0; i < compare_->count(); ++i)
        if (QStandardItem* item = model ? model->item(i) : nullptr)
            item->setEnabled(all || SearchCriteria::isTextSearchComparison(i));
    if (!all && !SearchCriteria::isTextSearchComparison(compare_->currentIndex())) changeCompare(SearchCriteria::Contains);
}

void SearchCriterionView::updateAlbumMenu() {
    const int remembered = albums_->currentIndex();
    albums_->clear();
    const auto items = AlbumsMenu::loadAlbumsMenu({}, 0, doc_.gedcomModel().recordsIndex());
    for (const auto& item : items) albums_->addItem(qt(item.title), item.tag);
    if (items.empty()) albums_->addItem(tr("(no albums available)"), 0);
    albums_->setCurrentIndex(remembered >= 1 && remembered < albums_->count() ? remembered : 0);
}

CriterionRow SearchCriterionView::readRow() const {
    CriterionRow row;
    row.kind = options_->currentIndex();
    row.comparison = compare_->currentIndex();
    row.text = text_->text().toStdString();
    row.expression = expression_->text().toStdString();
    row.recordTypeTitle = recordTypes_->currentText().toStdString();
    const int tag = albums_->currentData().toInt();
    row.albumIndex = tag >= AlbumsMenu::kFirstAlbumTag ? tag - AlbumsMenu::kFirstAlbumTag : -1;
    return row;
}

std::vector<QWidget*> SearchCriterionView::tabFields() const {
    std::vector<QWidget*> fields;
    if (displayState_ == 2) fields.push_back(expression_);
    if ((displayState_ == 0 || displayState_ == 2 || displayState_ == 4) && text_->isVisibleTo(this))
        fields.push_back(text_);
    return fields;
}

// ---- the rows

SearchView::SearchView(GEDCOMDocument& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->setSpacing(0);
    addCriterion(nullptr);
}

void SearchView::addCriterion(SearchCriterionView* after) {
    auto* row = new SearchCriterionView(*this, doc_);
    auto it = std::find(rows_.begin(), rows_.end(), after);
    const auto at = it == rows_.end() ? rows_.size() : static_cast<std::size_t>(it - rows_.begin()) + 1;
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), row);
    static_cast<QVBoxLayout*>(layout())->insertWidget(static_cast<int>(at), row);
    setTabKeyLoop();
}

void SearchView::removeCriterion(SearchCriterionView* row) {
    if (rows_.size() <= 1) {
        ++beeps_;
        QApplication::beep();
        return;
    }
    auto it = std::find(rows_.begin(), rows_.end(), row);
    if (it == rows_.end()) return;
    rows_.erase(it);
    layout()->removeWidget(row);
    row->hide();
    row->deleteLater();
    setTabKeyLoop();
}

std::vector<CriterionRow> SearchView::readRows() const {
    std::vector<CriterionRow> out;
    for (const auto* row : rows_) out.push_back(row->readRow());
    return out;
}

void SearchView::setTabKeyLoop() {
    std::vector<QWidget*> chain;
    for (const auto* row : rows_)
        for (QWidget* field : row->tabFields()) chain.push_back(field);
    for (std::size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
    if (chain.empty()) return;
    QWidget* focused = QApplication::focusWidget();
    if (focused && isAncestorOf(focused) && std::find(chain.begin(), chain.end(), focused) == chain.end())
        chain.front()->setFocus(Qt::TabFocusReason);
}

// ---- the hits

QStringList SearchHitsModel::mimeTypes() const { return {kRecordIdsMimeType}; }

Qt::ItemFlags SearchHitsModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QStandardItemModel::flags(index) & ~Qt::ItemIsEditable;
    return index.isValid() && index.parent().isValid() ? f | Qt::ItemIsDragEnabled : f & ~Qt::ItemIsDragEnabled;
}

QMimeData* SearchHitsModel::mimeData(const QModelIndexList& indexes) const {
    RecordIdsDrag drag{documentKeyFor(document_), {}};
    for (const QModelIndex& index : indexes) {
        if (index.column() != 0 || !index.parent().isValid()) continue;
        const auto* record = reinterpret_cast<const GEDCOMRecord*>(index.data(kRecordRole).value<quintptr>());
        if (record) drag.ids.push_back(record->grecordID());
    }
    // Groups alone carry nothing.
    if (drag.ids.empty()) return nullptr;
    auto* data = new QMimeData;
    data->setData(kRecordIdsMimeType, QByteArray::fromStdString(encodeRecordIdsDrag(drag)));
    return data;
}

// The search window as one of the document's windows.
class SearchPanel::Controller : public DocumentWindowController {
public:
    explicit Controller(SearchPanel& panel) : panel_(panel) {}
    void showWindow() override { panel_.showSearch(); }
    void close() override { panel_.close(); }
    const void* window() const override { return static_cast<const QWidget*>(&panel_); }
    bool answersSelectedRecord() const override { return true; }
    RecordPtr selectedRecord() override { return panel_.selectedRecord(); }
    std::vector<RecordPtr> selectedRecords() override { return panel_.selectedRecords().value_or(Records{}); }
    Array listedRecords(bool forScript) override {
        Array items;
        for (const auto& record : panel_.listedRecords(forScript)) items.emplace_back(std::static_pointer_cast<Object>(record));
        return items;
    }

private:
    SearchPanel& panel_;
};

SearchPanel::SearchPanel(GEDCOMDocument& doc, IndexController& index, DocumentWindows& windows, QWidget* parent)
    : GEDCOMWindowController(parent), doc_(doc), index_(index), windows_(windows) {
    setWindowFlag(Qt::Window);
    setObjectName("SearchPanel");
    controller_ = std::make_shared<Controller>(*this);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    searchOptions_ = new SearchView(doc_, central);
    layout->addWidget(searchOptions_);

    auto* bar = new QHBoxLayout;
    searchButton_ = new QPushButton(tr("Search"), central);
    searchButton_->setDefault(true);
    statusWheel_ = new QProgressBar(central);
    statusWheel_->setRange(0, 1);
    statusWheel_->setTextVisible(false);
    statusWheel_->setFixedWidth(80);
    statusWheel_->hide();  // shown, spinning, while a search runs
    noResults_ = new QLabel(central);
    noResults_->hide();
    albumMenu_ = new QComboBox(central);
    albumMenu_->addItem(tr("Save Hits to Album"), 0);
    albumMenu_->addItem(tr("New Album"), AlbumsMenu::kNewAlbumTag);
    albumMenu_->insertSeparator(2);
    bar->addWidget(searchButton_);
    bar->addWidget(statusWheel_);
    bar->addWidget(noResults_);
    bar->addStretch(1);
    bar->addWidget(albumMenu_);
    layout->addLayout(bar);

    results_ = new QTreeView(central);
    hits_ = new SearchHitsModel(static_cast<const ModelDocument*>(&doc_), this);
    hits_->setHorizontalHeaderLabels({tr("Record"), tr("Found Text")});
    results_->setModel(hits_);
    results_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    results_->setSelectionBehavior(QAbstractItemView::SelectRows);
    results_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    results_->setDragEnabled(true);
    results_->setDragDropMode(QAbstractItemView::DragOnly);
    results_->header()->resizeSection(0, 260);
    layout->addWidget(results_, 1);
    setCentralWidget(central);
    resize(720, 520);

    timer_ = new QTimer(this);
    timer_->setInterval(250);
    connect(timer_, &QTimer::timeout, this, &SearchPanel::trackSearchProgress);
    connect(searchButton_, &QPushButton::clicked, this, &SearchPanel::startSearching);
    connect(searchOptions_, &SearchView::returnInSearchField, this, &SearchPanel::startSearching);
    connect(results_, &QAbstractItemView::activated, this, &SearchPanel::openHit);
    connect(results_, &QAbstractItemView::doubleClicked, this, &SearchPanel::openHit);
    connect(albumMenu_, &QComboBox::activated, this, [this](int item) {
        const int tag = albumMenu_->itemData(item).toInt();
        albumMenu_->setCurrentIndex(0);
        if (tag != 0) saveToAlbum(tag, true);
    });
    reloadAlbumMenu();
    WindowFileMenu::addCloseAndQuit(*menuBar()->addMenu(tr("&File")), *this);
    EditMenu::addEditMenu(*this, doc_.undo());
    QMenu* send = menuBar()->addMenu(tr("&Albums"))->addMenu(tr("Send Selected to Album"));
    connect(send, &QMenu::aboutToShow, this, [this, send] {
        send->clear();
        send->addAction(tr("New Album"))->setData(AlbumsMenu::kNewAlbumTag);
        send->addSeparator();
        for (const auto& item : AlbumsMenu::loadAlbumsMenu({}, 0, doc_.gedcomModel().recordsIndex()))
            send->addAction(qt(item.title))->setData(item.tag);
    });
    connect(send, &QMenu::triggered, this, [this](QAction* item) {
        if (const int tag = item->data().toInt(); tag != 0) saveToAlbum(tag, false);
    });

    auto& center = NotificationCenter::defaultCenter();
    const void* document = static_cast<const ModelDocument*>(&doc_);
    observations_.push_back(center.addObserver(notification_names::RecordsListNameChanged, document,
                                               [this](const Notification&) { reloadAlbumMenu(); }));
    observations_.push_back(center.addObserver(IndexController::kUserAlbumAddedOrDeleted, document,
                                               [this](const Notification&) { reloadAlbumMenu(); }));
    observations_.push_back(center.addObserver(notification_names::GEDCOMRecordDeleted, &doc_.gedcomModel(),
                                               [this](const Notification& n) { recordDeleted(n); }));
    auto edits = [this](const Notification& n) {
        const GEDCOMRecord* record = recordOfNode(n.object);
        if (record && record->model() == static_cast<const RecordStore*>(&doc_.gedcomModel())) refreshFoundTexts();
    };
    observations_.push_back(center.addObserver(notification_names::RecordStructuresChanged, nullptr, edits));
    observations_.push_back(center.addObserver(notification_names::RecordStructureContentsChanged, nullptr, edits));
}

SearchPanel::~SearchPanel() {
    observations_.clear();
    run_.reset();
    windows_.removeWindowController(controller_.get());
}

void SearchPanel::showSearch() {
    const auto& windows = windows_.windowControllers();
    if (std::find(windows.begin(), windows.end(), controller_) == windows.end()) windows_.addWindowController(controller_);
    if (const auto& file = doc_.myFileName())
        setWindowTitle(tr("%1 Search").arg(qt(file->stem().string())));
    else
        setWindowTitle(tr("Search"));
    show();
    raise();
    activateWindow();
    searchOptions_->setTabKeyLoop();
}

void SearchPanel::closeEvent(QCloseEvent* event) {
    // The controller and its hits stay for the next search command.
    windows_.removeWindowController(controller_.get());
    GEDCOMWindowController::closeEvent(event);
}

void SearchPanel::beep() {
    ++beeps_;
    QApplication::beep();
}

void SearchPanel::alert(const std::string& message, const std::string& information) {
    beep();
    AppAlerts::criticalAlert(message, information, this);
}

bool SearchPanel::isSearching() const { return run_ && timer_->isActive(); }

void SearchPanel::startSearching() {
    if (run_ && run_->running()) {
        run_->stop();
        return;
    }
    if (run_) return;  // stopped; the timer is ending it on screen
    auto criteria = SearchCriteria::readCriteria(searchOptions_->readRows(), doc_.gedcomModel().recordsIndex());
    if (!criteria) {
        alert("Required search text is empty.", "At least one search criterion needs some text to make sense.");
        return;
    }
    if (auto failure = criteria->validate()) {
        alert(failure->message, failure->information);
        return;
    }
    noResults_->hide();
    foundRecords_.clear();
    hits_->removeRows(0, hits_->rowCount());
    searchHits_ = lastHits_ = 0;
    auto records = criteria->recordsToSearch(doc_.gedcomModel().recordsIndex());
    run_ = std::make_unique<SearchRun>(std::move(*criteria), std::move(records), &doc_.gedcomModel());
    searchButton_->setText(tr("Stop Searching"));
    statusWheel_->setRange(0, 0);
    statusWheel_->show();
    timer_->start();
}

void SearchPanel::trackSearchProgress() {
    if (!run_) {
        timer_->stop();
        return;
    }
    if (!run_->running()) {
        finishSearch();
        return;
    }
    if (run_->hitCount() != lastHits_) {
        addHits();
        lastHits_ = searchHits_;
        expandGroups();
    }
}

void SearchPanel::finishSearch() {
    // The worker has seen its last record, or stops before the next one.
    run_->stop();
    addHits();
    run_.reset();
    timer_->stop();
    statusWheel_->setRange(0, 1);
    statusWheel_->hide();
    searchButton_->setText(tr("Search"));
    expandGroups();
    lastHits_ = searchHits_;
    noResults_->setText(foundRecords_.empty() ? tr("No Results") : tr("%1 Matches").arg(searchHits_));
    noResults_->show();
}

void SearchPanel::addHits() {
    for (auto& hit : run_->takeHits()) {
        if (hit.opensGroup || foundRecords_.empty()) {
            auto* group = new QStandardItem(qt(hit.groupName));
            group->setBackground(palette().highlight().color().lighter(170));
            hits_->appendRow({group, new QStandardItem()});
            foundRecords_.push_back(Group{hit.groupName, {}, group});
        }
        Group& group = foundRecords_.back();
        // Written here, on the main thread, which alone reads it.
        hit.record->setFoundText(hit.text);
        auto* name = new QStandardItem(qt(hit.record->viewName()));
        name->setData(QVariant::fromValue(reinterpret_cast<quintptr>(hit.record.get())), SearchHitsModel::kRecordRole);
        group.item->appendRow({name, new QStandardItem(qt(hit.text))});
        group.records.push_back(std::move(hit.record));
        ++searchHits_;
    }
}

void SearchPanel::expandGroups() {
    for (auto it = foundRecords_.rbegin(); it != foundRecords_.rend(); ++it) {
        const QModelIndex index = hits_->indexFromItem(it->item);
        if (results_->isExpanded(index)) break;
        results_->expand(index);
    }
}

SearchPanel::Record SearchPanel::recordOf(const QModelIndex& index) const {
    if (!index.isValid() || !index.parent().isValid()) return nullptr;
    const auto* raw = reinterpret_cast<const GEDCOMRecord*>(
        hits_->index(index.row(), 0, index.parent()).data(SearchHitsModel::kRecordRole).value<quintptr>());
    for (const auto& group : foundRecords_)
        for (const auto& record : group.records)
            if (record.get() == raw) return record;
    return nullptr;
}

void SearchPanel::openHit(const QModelIndex& index) {
    Record record = recordOf(index);
    if (!record) return;
    QTimer::singleShot(0, this, [this, record] { windows_.openRecordBrowser(record); });
}

SearchPanel::Record SearchPanel::selectedRecord() {
    const auto records = selectedRecords();
    return records && !records->empty() ? records->front() : nullptr;
}

std::optional<SearchPanel::Records> SearchPanel::selectedRecords() {
    QModelIndexList rows = results_->selectionModel()->selectedRows();
    if (rows.isEmpty()) return std::nullopt;
    std::sort(rows.begin(), rows.end(), [this](const QModelIndex& a, const QModelIndex& b) {
        return results_->visualRect(a).top() < results_->visualRect(b).top();
    });
    Records out;
    for (const QModelIndex& row : rows)
        if (auto record = recordOf(row)) out.push_back(record);
    return out;
}

SearchPanel::Records SearchPanel::listedRecords(bool) {
    Records out;
    for (const auto& group : foundRecords_) out.insert(out.end(), group.records.begin(), group.records.end());
    return out;
}

void SearchPanel::saveToAlbum(int tag, bool allHits) {
    if (foundRecords_.empty()) {
        alert("No search hits available for saving to an album.", "");
        return;
    }
    const Records records = allHits ? listedRecords(false) : selectedRecords().value_or(Records{});
    if (records.empty()) {
        alert("No search hits selected for saving to an album.", "");
        return;
    }
    UndoManager& undo = doc_.undo();
    undo.beginUndoGrouping();
    if (auto album = index_.albumForItemTag(tag))
        for (const auto& record : records) album->addRecordToAlbum(record);
    undo.setActionName("Move Records to an Album");
    undo.endUndoGrouping();
}

void SearchPanel::recordDeleted(const Notification& note) {
    const Value* value = note.userInfo.get(user_info_keys::TheRecord);
    const auto record = value ? value->objectAs<GEDCOMRecord>() : nullptr;
    if (!record) return;
    for (auto& group : foundRecords_) {
        auto it = std::find(group.records.begin(), group.records.end(), record);
        if (it == group.records.end()) continue;
        group.item->removeRow(static_cast<int>(it - group.records.begin()));
        group.records.erase(it);
        return;
    }
}

void SearchPanel::refreshFoundTexts() {
    for (const auto& group : foundRecords_)
        for (std::size_t i = 0; i < group.records.size(); ++i)
            if (QStandardItem* name = group.item->child(static_cast<int>(i), 0))
                name->setText(qt(group.records[i]->viewName()));
}

void SearchPanel::reloadAlbumMenu() {
    std::vector<AlbumMenuItem> items;
    for (int i = 0; i < albumMenu_->count(); ++i)
        items.push_back({albumMenu_->itemText(i).toStdString(), albumMenu_->itemData(i).toInt()});
    items = AlbumsMenu::loadAlbumsMenu(std::move(items), kSaveMenuFixedItems, doc_.gedcomModel().recordsIndex());
    while (albumMenu_->count() > kSaveMenuFixedItems) albumMenu_->removeItem(albumMenu_->count() - 1);
    for (std::size_t i = kSaveMenuFixedItems; i < items.size(); ++i)
        albumMenu_->addItem(qt(items[i].title), items[i].tag);
}

}  // namespace kl
