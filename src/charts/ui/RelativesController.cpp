#include "charts/ui/RelativesController.h"

#include "app/ui/Localized.h"
#include "app/ui/WindowFileMenu.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSaveFile>
#include <QStackedWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include <functional>

#include "app/AppController.h"
#include "app/ProgressTiming.h"
#include "app/ui/AppAlerts.h"
#include "app/ui/ProgressController.h"
#include "app/ui/WindowCascade.h"
#include "charts/FamilyTreeReport.h"
#include "charts/RelativesToolbar.h"
#include "charts/ui/ReportsMenu.h"
#include "charts/ui/RelativesOutlineModel.h"
#include "charts/ui/TreeChartScrollView.h"
#include "charts/ui/TreeChartView.h"
#include "document/DocumentCommands.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/IndexStyle.h"
#include "document/ModelDocument.h"
#include "document/ui/DocumentMenus.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/NotificationCenter.h"
#include "foundation/UndoManager.h"
#include "foundation/UserDefaults.h"
#include "index/AlbumsMenu.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "index/IndexStyleLibrary.h"
#include "index/ColumnEditing.h"
#include "index/ui/ColumnSheet.h"
#include "index/ui/IndexPrintView.h"
#include "index/ui/IndexToolbarWidget.h"
#include "index/ui/IndexWindow.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

QColor qtColor(const Color& color) { return QColor::fromRgbF(color.red, color.green, color.blue, color.alpha); }

// Opens, or brings forward, the window of a kind for a person.
bool openTree(GEDCOMDocument& doc, DocumentWindows& windows, std::shared_ptr<IndexStyleLibrary> styles,
              UserDefaults& defaults, const QString& documentName, const std::shared_ptr<GEDCOMRecord>& selected,
              int tag) {
    auto person = std::dynamic_pointer_cast<INDIRecord>(selected);
    if (auto* family = dynamic_cast<FAMRecord*>(selected.get())) {
        person = family->husbandRecord();
        if (!person) person = family->wifeRecord();
    }
    if (!person) return false;
    const bool ancestors = tag == 4001;
    if (RelativesWindow* open = windows.findRecordTree(person, ancestors ? "Ancest" : "Descend")) {
        open->showWindow();
        return true;
    }
    RelativesController* window =
        ancestors ? static_cast<RelativesController*>(
                        new AncestorController(doc, windows, std::move(styles), defaults, documentName))
                  : new DescendantController(doc, windows, std::move(styles), defaults, documentName);
    window->initForRecord(person, static_cast<int>(defaults.integerForKey(RelativesController::kInitialGenerations)));
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

}  // namespace

// The window as one of its document's windows. The list owns this entry;
// the entry deletes the window when the list lets it go first.
class RelativesController::Entry : public RelativesWindow {
public:
    explicit Entry(RelativesController& window) : window_(&window) {}
    ~Entry() override {
        if (!window_) return;
        window_->entry_ = nullptr;
        delete window_;
    }
    void showWindow() override {
        window_->show();
        window_->raise();
        window_->activateWindow();
    }
    void close() override { window_->close(); }
    const void* window() const override { return static_cast<const QWidget*>(window_); }
    bool answersSelectedRecord() const override { return true; }
    RecordPtr selectedRecord() override { return window_->selectedRecord(); }
    Array listedRecords(bool forScript) override { return window_->listedRows(forScript); }
    RecordPtr rootRecord() const override { return window_->rootRecord(); }
    std::string viewStyle() const override { return window_->viewStyle(); }
    RelativesController* window_;
};

void RelativesController::install(UserDefaults& defaults) {
    const auto limit = defaults.integerForKey(kMaximumGenerations);
    TreeItem::setMaxGenerations(limit > 0 ? static_cast<int>(limit) : 100);
    chartModeFirst_ = defaults.boolForKey(kChartModeFirst);
    ChartOrientation::loadDefaults(defaults);
    IndexWindow::setTreeOpener(&RelativesController::openAncestorsOrDescendants);
}

bool RelativesController::openAncestorsOrDescendants(IndexWindow& index, int tag) {
    QString name = index.windowTitle();
    name.remove("[*]");
    return openTree(index.document(), index.documentWindows(), index.styleLibrary(), index.userDefaults(), name,
                    index.controller().selectedRecord(), tag);
}

RelativesController::RelativesController(RelativesTree::Kind kind, GEDCOMDocument& doc, DocumentWindows& windows,
                                         std::shared_ptr<IndexStyleLibrary> styles, UserDefaults& defaults,
                                         const QString& documentName)
    : doc_(doc), windows_(windows), styles_(std::move(styles)), defaults_(defaults), documentName_(documentName) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(kind == RelativesTree::Kind::Ancestors ? "AncestorsWindow" : "DescendantsWindow");
    tree_ = std::make_unique<RelativesTree>(kind, doc.gedcomModel(),
                                            styles_->indexStyleForType(kind == RelativesTree::Kind::Ancestors
                                                                           ? RelativesTree::kAncestStyle
                                                                           : RelativesTree::kDescendStyle,
                                                                       nullptr),
                                            this);
    model_ = new RelativesOutlineModel(*tree_, static_cast<const ModelDocument*>(&doc_), this);
    outline_ = new QTreeView(this);
    outline_->setModel(model_);
    outline_->setUniformRowHeights(true);
    outline_->setSelectionMode(QAbstractItemView::SingleSelection);
    outline_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    outline_->setDragEnabled(true);
    outline_->setDragDropMode(QAbstractItemView::DragOnly);
    outline_->header()->setSectionsMovable(true);
    // Widths are the style's; the window's width does not change them.
    outline_->header()->setStretchLastSection(false);
    stack_ = new QStackedWidget(this);
    stack_->addWidget(outline_);
    setCentralWidget(stack_);
    chartMode_ = chartModeFirst_;
    connect(outline_, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        expanded_.insert(RelativesOutlineModel::itemOf(index));
    });
    connect(outline_, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        if (!restoring_) expanded_.erase(RelativesOutlineModel::itemOf(index));
    });
    connect(outline_, &QTreeView::activated, this, &RelativesController::openItem);
    // The header is still in its drag when it reports the move.
    connect(outline_->header(), &QHeaderView::sectionMoved, this,
            [this](int, int oldPlace, int newPlace) { treeColumnMoved(oldPlace, newPlace); }, Qt::QueuedConnection);
    outline_->header()->setSectionsClickable(true);
    connect(outline_->header(), &QHeaderView::sectionClicked, this, &RelativesController::highlightColumn);
    connect(outline_->header(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) { treeColumnResized(column, width); });

    observeSettings();

    auto entry = std::make_shared<Entry>(*this);
    entry_ = entry.get();
    windows_.addWindowController(entry);

    buildToolbar();
    buildMenus();
    validateItems();
    applyFontAndColors();
    WindowCascade::setWindowFrameAutosaveNameOrCascade(this, kFrameName);
}

RelativesController::~RelativesController() {
    settingNotes_.clear();
    dropChart();
    // The tree stops observing and forgets this view before the outline goes.
    tree_->setView(nullptr);
    outline_->setModel(nullptr);
    if (Entry* entry = entry_) {
        entry_ = nullptr;
        entry->window_ = nullptr;
        windows_.removeWindowController(entry);
    }
}

void RelativesController::initForRecord(const std::shared_ptr<INDIRecord>& person, int generations) {
    // The chart's boxes are the old tree's: it goes with it.
    dropChart();
    expanded_.clear();
    model_->reset();
    // The nodes of the old tree leave before the model shows the new one.
    tree_->setRootItemRecord(person);
    model_->reset();
    tree_->observeEdits();
    const auto& style = tree_->indexStyle();
    ignoreSizeChanges_ = true;
    for (int c = 0; style && c < static_cast<int>(style->numberOfColumns()); ++c)
        outline_->setColumnWidth(c, style->widthForColumn(c));
    expandListToLevel(generations);
    ignoreSizeChanges_ = false;
    setWindowTitle(QString::fromStdString(tree_->windowTitleForDocumentDisplayName(documentName_.toStdString())));
    if (chartMode_) setChartMode(true);
    updateModeItems();
}

// ---- chart mode

void RelativesController::makeChart() {
    chartScroll_ = new TreeChartScrollView(stack_);
    chart_ = new TreeChartView(*this, defaults_, 0, chartScroll_);
    chart_->setPage(ChartPage::fromPrintInfo(doc_.chartInfo()));
    chartScroll_->setTreeChart(chart_);
    stack_->addWidget(chartScroll_);
}

void RelativesController::dropChart() {
    if (!chartScroll_) return;
    stack_->removeWidget(chartScroll_);
    delete chartScroll_;
    chartScroll_ = nullptr;
    chart_ = nullptr;
}

void RelativesController::setChartMode(bool chart) {
    if (chart) {
        if (!chart_) makeChart();
        // The outline's open rows become the chart's open branches.
        std::vector<TreeItem*> stack{tree_->rootItem()};
        while (!stack.empty()) {
            TreeItem* node = stack.back();
            stack.pop_back();
            if (!node) continue;
            node->setExpanded(expanded_.count(node) > 0);
            for (auto& child : node->builtLevel()) stack.push_back(child.get());
        }
        chart_->layout().showExpandedBranches();
        stack_->setCurrentWidget(chartScroll_);
    } else {
        if (chart_ && chartMode_) {
            // The chart's open branches become the outline's open rows.
            expanded_.clear();
            for (const auto& row : shownRows())
                if (row.item->expanded() && tree_->isItemExpandable(row.item)) expanded_.insert(row.item);
            reloadOutline();
        }
        stack_->setCurrentWidget(outline_);
    }
    chartMode_ = chart;
    updateModeItems();
}

bool RelativesController::chartModeFirst_ = true;

void RelativesController::toggleDisplayMode() {
    setChartMode(!chartMode_);
    // A new window opens as this one was last switched.
    chartModeFirst_ = chartMode_;
}

void RelativesController::updateModeItems() { validateItems(); }

bool RelativesController::validateTag(int tag) const {
    const auto& style = tree_->indexStyle();
    switch (tag) {
    case ColumnEditing::kEditColumnTag:
    case 3303:
        return !chartMode_ && style && highlighted_ > 0 && highlighted_ < static_cast<int>(style->numberOfColumns()) &&
               highlighted_ != style->portraitColumn();
    case 4601:
    case 4602:
    case 4603:
    case 4604:
    case 4606:
    case 4607: return chartMode_ && chart_;
    case 9004:
    case 9007: return false;
    // Help waits for its window.
    case 3015: return false;
    default: return true;
    }
}

QString RelativesController::titleForTag(int tag) const {
    switch (tag) {
    case kExportTag: return chartMode_ ? localized("Tree Chart...") : localized("Tree Data...");
    case RelativesToolbar::kToggleViewTag: return chartMode_ ? localized("Outline Mode") : localized("Chart Mode");
    case 3304: {
        const auto& style = tree_->indexStyle();
        return style && style->hasPortraitColumn() ? localized("Hide Portrait Column")
                                                   : localized("Show Portrait Column");
    }
    default: return {};
    }
}

void RelativesController::validateItems() {
    // Toolbar items keep their own labels; menu items take the titles.
    if (toolbar_) toolbar_->validateVisibleItems();
    for (QAction* menu : menuBar()->actions()) {
        if (!menu->menu()) continue;
        for (QAction* item : menu->menu()->findChildren<QAction*>()) {
            if (!item->data().isValid() || item->menu()) continue;
            const int tag = item->data().toInt();
            item->setEnabled(validateTag(tag));
            if (const QString title = titleForTag(tag); !title.isEmpty()) item->setText(title);
        }
    }
}

void RelativesController::highlightColumn(int column) {
    const auto& style = tree_->indexStyle();
    if (!style || column < 0 || column >= static_cast<int>(style->numberOfColumns())) return;
    if (column == style->portraitColumn()) {
        beep();
        return;
    }
    highlighted_ = column;
    validateItems();
}

void RelativesController::columnCommand(int tag) {
    const auto style = tree_->indexStyle();
    if (!style) return;
    const auto announce = [type = tree_->viewStyle()] {
        NotificationCenter::defaultCenter().post(kTreeStyleChanged, nullptr, Dictionary{{"TreeType", Value(type)}});
    };
    if (tag == 3304) {
        style->addRemovePortraitCol(1);
        announce();
        return;
    }
    if (tag == 3303) {
        const std::string title = style->columns()[static_cast<std::size_t>(highlighted_)].label;
        QPointer<RelativesController> alive(this);
        const int column = highlighted_;
        ColumnCommands::confirmDeleteColumn(this, title, [alive, style, column, announce] {
            if (!alive) return;
            style->deleteColumn(column);
            alive->highlighted_ = -1;
            announce();
        });
        return;
    }
    if (!columnSheet_) columnSheet_ = new ColumnSheet(this);
    columnSheet_->startSheet(tag, style, highlighted_, ColumnEditing::TreeTable, nullptr, this);
}

TreeItem::ExpansionWait RelativesController::branchWait() {
    return [this](TreeItem& task) {
        using Task = ProgressTiming::Task;
        ProgressController::runTask(task, localized("Expanding and Verifying Tree Branch").toStdString(),
                                    localized("Tree Members").toStdString(),
                                    ProgressTiming::pauseBefore(Task::TreeExpansion),
                                    ProgressTiming::pollInterval(Task::TreeExpansion), true, this);
    };
}

bool RelativesController::chartExpandItem(TreeItem& item, bool wholeBranch) {
    if (!chart_) return false;
    return chart_->layout().expandItem(item, wholeBranch, branchWait());
}

void RelativesController::openChartItem(TreeItem& item, bool family) {
    if (family && item.spouseRecord()) {
        auto record = item.itemRecord();
        if (record && doc_.gedcomModel().recordWithID(record->grecordID())) {
            QTimer::singleShot(0, this, [this, record] { windows_.openRecordBrowser(record); });
            return;
        }
    }
    auto person = item.individual();
    if (item.crossRefNum() < 0 && person && chart_ && chart_->revealItem(tree_->firstNode(person->grecordID()), true))
        return;
    if (!person || !doc_.gedcomModel().recordWithID(person->grecordID())) {
        beep();
        return;
    }
    QTimer::singleShot(0, this, [this, person] { windows_.openRecordBrowser(person); });
}

bool RelativesController::exportChartTo(const std::string& path) {
    if (!chart_) return false;
    return chart_->exportPDF(QString::fromStdString(path));
}

void RelativesController::expandListToLevel(int levels) {
    std::function<void(const QModelIndex&, int)> walk = [&](const QModelIndex& parent, int level) {
        if (level >= levels) return;
        for (int row = 0; row < model_->rowCount(parent); ++row) {
            const QModelIndex index = model_->index(row, 0, parent);
            if (!tree_->isItemExpandable(RelativesOutlineModel::itemOf(index))) continue;
            outline_->expand(index);
            walk(index, level + 1);
        }
    };
    walk({}, 0);
}

void RelativesController::restartTheTree() {
    initForRecord(tree_->rootRecord(), static_cast<int>(defaults_.integerForKey(kInitialGenerations)));
}

bool RelativesController::expandBranch(const QModelIndex& index) {
    if (chartMode_ && chart_) {
        TreeItem* selected = chart_->selectedCell();
        return selected && tree_->isItemExpandable(selected) && chartExpandItem(*selected, true);
    }
    TreeItem* item = RelativesOutlineModel::itemOf(index);
    if (!item) return false;
    const bool finished = item->recursiveExpand(branchWait());
    if (finished) outline_->expandRecursively(index);
    return finished;
}

std::vector<OutlineRow> RelativesController::shownRows() const {
    if (chartMode_ && chart_)
        return tree_->rowsWhere([this](TreeItem& item) { return item.expanded() && tree_->isItemExpandable(&item); });
    return tree_->rowsWhere([this](TreeItem& item) { return outline_->isExpanded(model_->indexOf(&item)); });
}

void RelativesController::exportWindowData() {
    const bool pdf = chartMode_ && chart_;
    auto* panel = new QFileDialog(this, pdf ? tr("Export Tree Chart") : tr("Export Tree Data"));
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setDefaultSuffix(pdf ? "pdf" : "txt");
    panel->setNameFilter(pdf ? tr("PDF (*.pdf)") : tr("Text (*.txt)"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    connect(panel, &QFileDialog::fileSelected, this, [this, pdf](const QString& file) {
        if (pdf)
            exportChartTo(file.toStdString());
        else
            exportWindowDataTo(file.toStdString());
    });
    panel->open();
}

bool RelativesController::exportWindowDataTo(const std::string& path) {
    const std::string text = tree_->exportTreeColumns(shownRows(), IndexController::fileNameAndDates(doc_));
    // Written beside the target and renamed over it: a failed write leaves
    // no partial file.
    QSaveFile file(QString::fromStdString(path));
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size()) &&
                         file.commit();
    if (!written) {
        AppAlerts::criticalAlert(localized("The tree cannot be exported to a text file.").toStdString(),
                                 file.errorString().toStdString(), this);
        return false;
    }
    return true;
}

void RelativesController::populateAlbum(int tag) {
    UndoManager& undo = doc_.undo();
    undo.beginUndoGrouping();
    std::shared_ptr<RecordsList> album;
    if (tag == AlbumsMenu::kNewAlbumTag) {
        if (auto* index = dynamic_cast<IndexController*>(windows_.indexController())) album = index->createAlbum();
    } else {
        album = AlbumsMenu::albumForDocument(doc_.gedcomModel().recordsIndex(), tag);
    }
    if (album) tree_->populateAlbum(shownRows(), *album);
    undo.setActionName(localized("Move Records to an Album").toStdString());
    undo.endUndoGrouping();
}

bool RelativesController::revealItem(TreeItem* item, bool select) {
    if (!item) return false;
    if (chartMode_ && chart_) return chart_->revealItem(item, select);
    std::vector<TreeItem*> above;
    for (TreeItem* parent = item->parentCell(); parent; parent = parent->parentCell()) above.push_back(parent);
    for (auto it = above.rbegin(); it != above.rend(); ++it)
        if (tree_->isItemExpandable(*it)) outline_->expand(model_->indexOf(*it));
    const QModelIndex index = model_->indexOf(item);
    if (!index.isValid()) return false;
    outline_->scrollTo(index);
    if (select) outline_->setCurrentIndex(index);
    return true;
}

void RelativesController::openItem(const QModelIndex& index) {
    TreeItem* item = RelativesOutlineModel::itemOf(index);
    if (!item) return;
    auto person = item->individual();
    if (item->crossRefNum() < 0 && person && revealItem(tree_->firstNode(person->grecordID()), true)) return;
    if (!person || !doc_.gedcomModel().recordWithID(person->grecordID())) {
        beep();
        return;
    }
    QTimer::singleShot(0, this, [this, person] { windows_.openRecordBrowser(person); });
}

GEDCOMWindowController::Record RelativesController::selectedRecord() {
    TreeItem* item = chartMode_ && chart_ ? chart_->selectedCell() : RelativesOutlineModel::itemOf(outline_->currentIndex());
    return item ? item->individual() : nullptr;
}

std::optional<GEDCOMWindowController::Records> RelativesController::selectedRecords() {
    if (auto record = selectedRecord()) return Records{record};
    return std::nullopt;
}

bool RelativesController::performCommand(int tag) {
    switch (tag) {
    case 4001:
    case 4002:
        if (!openTree(doc_, windows_, styles_, defaults_, documentName_, selectedRecord(), tag)) beep();
        return true;
    case RelativesToolbar::kRefreshTag: restartTheTree(); return true;
    case kExportTag: exportWindowData(); return true;
    case RelativesToolbar::kToggleViewTag: toggleDisplayMode(); return true;
    case ColumnEditing::kAddColumnTag:
    case ColumnEditing::kEditColumnTag:
    case 3303:
    case 3304:
        if (!validateTag(tag)) {
            beep();
            return true;
        }
        columnCommand(tag);
        return true;
    case 4601:
    case 4602:
    case 4603:
    case 4604:
    case 4606:
    case 4607:
        if (!chart_ || !chartMode_) return true;
        if (tag <= 4604)
            chart_->layout().changeOrientation(tag);
        else
            chart_->layout().changePortraitOrientation(tag);
        chartScroll_->updateRuler();
        return true;
    case kPageLinesTag:
        defaults_.setObject(Value(!defaults_.boolForKey(TreeChartView::kPageLinesKey)), TreeChartView::kPageLinesKey);
        NotificationCenter::defaultCenter().post(DocumentCommands::kTreePageLinesChanged, nullptr);
        return true;
    // A box's own menu: nothing for a box without an individual.
    case kReadToMeTag:
        if (selectedRecord()) documentMenus_->performCommand(tag);
        return true;
    case 1: setNoPortrait(); return true;
    default: return boxCommand(tag);
    }
}

void RelativesController::buildToolbar() {
    toolbar_ = new IndexToolbarWidget(defaults_, this, RelativesToolbar::items());
    addToolBar(toolbar_);
    toolbar_->setHandler([this](const ToolbarItemSpec& item) {
        if (item.identifier == "WindowHelp") {
            AppController::showAnchor("Editing/familytrees", "index_");
            return;
        }
        // The application's items (Derev Azeduze) go where the index window's go.
        if (item.target == ToolbarItemSpec::Target::Application) {
            if (!IndexWindow::runApplicationCommand(item.tag)) QApplication::beep();
            return;
        }
        if (item.tag != 0) performCommand(item.tag);
    });
    toolbar_->setValidator([this](int tag) { return MenuAnswer{validateTag(tag), std::nullopt}; });
}

int RelativesController::printWithDialog(bool showPanel, const std::optional<Dictionary>& settings) {
    doc_.setPrintingStatusFlag(true);
    Dictionary info = chartMode_ && chart_ ? doc_.chartInfo() : doc_.printInfo();
    if (settings)
        for (std::size_t i = 0; i < settings->size(); ++i) info.set(settings->keyAt(i), settings->valueAt(i));
    int pages = 0;
    if (chartMode_ && chart_) {
        pages = IndexPrintView::printWithPanel(info, showPanel, this,
                                               [this](QPrinter& printer) { return chart_->printChart(printer); });
    } else {
        IndexPrintView::Content content = IndexPrintView::ofOutline(*outline_);
        const auto person = tree_->rootRecord();
        const char* title = tree_->kind() == RelativesTree::Kind::Ancestors ? "Ancestors of" : "Descendants of";
        content.headerLines.push_back(localized(title).toStdString() + " " + (person ? person->altViewName() : ""));
        for (const std::string& line : IndexController::fileNameAndDates(doc_)) content.headerLines.push_back(line);
        content.headerLines.push_back(localized("Printed").toStdString() + ": " +
                                      QDateTime::currentDateTime().toString().toStdString());
        pages = IndexPrintView::printWithPanel(info, content, outline_->font(), showPanel, this);
    }
    doc_.setPrintingStatusFlag(false);
    return pages;
}

void RelativesController::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QMenu* exports = file->addMenu(tr("Export"));
    exportItem_ = exports->addAction(localized("Tree Data..."));
    exportItem_->setData(kExportTag);
    connect(exportItem_, &QAction::triggered, this, [this] { exportWindowData(); });
    file->addSeparator();
    file->addAction(tr("Page Setup..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), this, [this] {
        if (documentMenus_) documentMenus_->runPageLayout(chartMode_ ? 2 : 0);
    });
    file->addAction(tr("Print..."), QKeySequence::Print, this, [this] { printWithDialog(true); });
    WindowFileMenu::addCloseAndQuit(*file, *this);

    QMenu* trees = menuBar()->addMenu(tr("&Trees"));
    for (auto [title, tag] : {std::pair{"Show Ancestors", 4001}, std::pair{"Show Descendants", 4002},
                              std::pair{"Refresh Tree", RelativesToolbar::kRefreshTag}}) {
        QAction* action = trees->addAction(tr(title));
        action->setData(tag);
        connect(action, &QAction::triggered, this, [this, tag = tag] { performCommand(tag); });
    }
    QAction* branch = trees->addAction(tr("Expand Branch"));
    connect(branch, &QAction::triggered, this, [this] { expandBranch(outline_->currentIndex()); });
    trees->addSeparator();
    modeItem_ = trees->addAction(tr("Chart Mode"));
    modeItem_->setObjectName("ChartMode");
    modeItem_->setData(RelativesToolbar::kToggleViewTag);
    connect(modeItem_, &QAction::triggered, this, [this] { performCommand(RelativesToolbar::kToggleViewTag); });
    QMenu* orientation = trees->addMenu(tr("Orientation"));
    orientation->setObjectName("Orientation");
    const std::pair<const char*, int> orientations[] = {
        {"Horizontal", 4601},       {"Horizontal Centered", 4602}, {"Vertical", 4603},
        {"Vertical Centered", 4604}, {nullptr, 0},                  {"Show Page Lines", kPageLinesTag},
        {nullptr, 0},               {"Portrait Left", 4606},       {"Portrait Above", 4607}};
    for (auto [title, tag] : orientations) {
        if (!title) {
            orientation->addSeparator();
            continue;
        }
        QAction* action = orientation->addAction(tr(title));
        action->setData(tag);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, tag = tag] { performCommand(tag); });
    }
    // Marks and enables the items for the chart shown.
    connect(orientation, &QMenu::aboutToShow, this, [this, orientation] {
        for (QAction* action : orientation->actions()) {
            const int tag = action->data().toInt();
            if (action->isSeparator()) continue;
            action->setEnabled(chart_ && chartMode_);
            const ChartOrientation current = chart_ ? chart_->layout().orientation() : ChartOrientation{};
            action->setChecked(tag == kPageLinesTag ? defaults_.boolForKey(TreeChartView::kPageLinesKey)
                               : ChartOrientation::isOrientationTag(tag) ? current.hasOrientationTag(tag)
                                                                         : current.hasPortraitTag(tag));
        }
    });

    QMenu* view = menuBar()->addMenu(tr("&View"));
    QAction* customize = view->addAction(tr("Customize Toolbar..."));
    customize->setObjectName("CustomizeToolbar");
    connect(customize, &QAction::triggered, this, [this] { toolbar_->runCustomizationPalette(); });

    QMenu* columns = menuBar()->addMenu(tr("&Columns"));
    for (auto [title, tag] : {std::pair{"Add Column...", ColumnEditing::kAddColumnTag},
                              std::pair{"Modify Column...", ColumnEditing::kEditColumnTag},
                              std::pair{"Remove Column", 3303}, std::pair{"Show Portrait Column", 3304}}) {
        QAction* action = columns->addAction(tr(title));
        action->setData(tag);
        connect(action, &QAction::triggered, this, [this, tag = tag] { performCommand(tag); });
    }
    columns->addSeparator();
    columns->addAction(tr("Revert to Default Columns"), this, &RelativesController::revertToDefaultColumns);
    for (QAction* menu : menuBar()->actions())
        if (menu->menu()) connect(menu->menu(), &QMenu::aboutToShow, this, &RelativesController::validateItems);

    // The report items keep their tags apart from the command tags, which
    // the window's validation enables and retitles.
    QMenu* reports = menuBar()->addMenu(tr("Re&ports"));
    for (auto [title, tag] : {std::pair{"Ahnentafel Report...", int(ReportsMenu::AhnentafelTag)},
                              std::pair{"All Relatives Report...", int(ReportsMenu::AllRelativesTag)},
                              std::pair{"Family Tree Report...", int(ReportsMenu::FamilyTreeTag)}}) {
        QAction* action = reports->addAction(tr(title));
        action->setProperty("reportTag", tag);
        connect(action, &QAction::triggered, this, [this, tag = tag] { relativesReport(tag); });
    }
    connect(reports, &QMenu::aboutToShow, this, [this, reports] {
        for (QAction* action : reports->actions()) {
            const int tag = action->property("reportTag").toInt();
            action->setEnabled(ReportsMenu::hasRelativesReport(tag) &&
                               (tag == ReportsMenu::FamilyTreeTag || selectedRecord() != nullptr));
        }
    });

    QMenu* albums = menuBar()->addMenu(tr("&Albums"));
    QMenu* send = albums->addMenu(tr("Send Tree Members to Album"));
    connect(send, &QMenu::aboutToShow, this, [this, send] {
        send->clear();
        send->addAction(tr("New Album"))->setData(AlbumsMenu::kNewAlbumTag);
        send->addSeparator();
        for (const auto& item : AlbumsMenu::loadAlbumsMenu({}, 0, doc_.gedcomModel().recordsIndex()))
            send->addAction(QString::fromStdString(item.title))->setData(item.tag);
    });
    connect(send, &QMenu::triggered, this, [this](QAction* action) { populateAlbum(action->data().toInt()); });

    DocumentMenus::Window hooks;
    hooks.keyRecord = [this] { return selectedRecord(); };
    hooks.keyRecords = [this] { return selectedRecords().value_or(Records{}); };
    hooks.open = [this](const Record& record, bool) { windows_.openRecordBrowser(record); };
    hooks.beep = [this] { beep(); };
    documentMenus_ = DocumentMenus::addDocumentMenus(*this, doc_, defaults_, nullptr, nullptr, std::move(hooks));
}

void RelativesController::setNoPortrait() {
    const Record person = selectedRecord();
    if (!person) return;
    UndoManager& undo = doc_.undo();
    undo.beginUndoGrouping();
    if (person->setPortraitOBJE(nullptr)) undo.setActionName("Set No Portrait");
    undo.endUndoGrouping();
    if (chart_) chart_->update();
}

void RelativesController::relativesReport(int tag) {
    ReportsMenu* reports = ReportsMenu::forDocument(doc_);
    if (!reports || !ReportsMenu::hasRelativesReport(tag)) {
        beep();
        return;
    }
    if (tag != ReportsMenu::FamilyTreeTag) {
        if (const auto subject = selectedRecord())
            reports->relativesReport(tag, subject, *this);
        else
            beep();
        return;
    }
    // The report reads the rows when it starts, if the window is still open.
    QPointer<RelativesController> window(this);
    auto subject = std::make_shared<FamilyTreeSubject>(rootRecord(), viewStyle(), [window] {
        return window ? window->shownRows() : std::vector<OutlineRow>{};
    });
    reports->relativesReport(tag, subject, *this, viewStyle() != RelativesTree::kAncestStyle);
}

void RelativesController::applyFontAndColors() {
    const Font font = AppController::unarchive(defaults_.dataForKey("Tree Outline Font"), Font{"Lucida Grande", 12, 0});
    QFont qfont(QString::fromStdString(font.family), static_cast<int>(font.size));
    model_->setTreeFont(qfont);
    const bool dark = AppAlerts::isDarkMode();
    const Color male = AppController::unarchive(
        defaults_.dataForKey(dark ? "Male Tree Outline Text Color Dark" : "Male Tree Outline Text Color"),
        dark ? Color{0.52, 0.78, 1.0, 1} : Color{0, 0, 0.66, 1});
    const Color female = AppController::unarchive(
        defaults_.dataForKey(dark ? "Female Tree Outline Text Color Dark" : "Female Tree Outline Text Color"),
        dark ? Color{1.0, 0.59, 1.0, 1} : Color{0.73, 0, 0, 1});
    model_->setTextColors(qtColor(male), qtColor(female));
}

void RelativesController::revertToDefaultColumns() {
    QPointer<RelativesController> alive(this);
    const std::string kind = localized(tree_->viewStyle() == RelativesTree::kAncestStyle ? "Ancestors" : "Descendants")
                                 .toStdString();
    std::string message = localized("Are you sure you want to revert to the default columns for %@ family trees?")
                              .toStdString();
    if (const auto at = message.find("%@"); at != std::string::npos) message.replace(at, 2, kind);
    AppAlerts::beginAlertSheet(
        this, AlertButtons::Critical, message, localized("Reverting to default columns cannot be undone").toStdString(),
        AlertButtons(localized("OK").toStdString(), localized("Cancel").toStdString(), std::nullopt),
        [alive](int response) {
            if (!alive || response != AlertButtons::firstButtonResponse) return;
            alive->revertStyle();
        });
}

void RelativesController::revertStyle() {
    const std::string type = tree_->viewStyle();
    Dictionary bundled;
    try {
        bundled = AppController::readBundleDictionary("Index");
    } catch (const std::exception&) {
        // Without the bundled list the type takes the default style.
    }
    const Value* columns = bundled.get(type);
    styles_->replaceIndexPreference(columns && columns->array() ? std::optional<Array>(*columns->array()) : std::nullopt,
                                    type);
    NotificationCenter::defaultCenter().post(kTreeStyleNeedsReload, nullptr, Dictionary{{"TreeType", Value(type)}});
}

void RelativesController::observeSettings() {
    auto& center = NotificationCenter::defaultCenter();
    // Another window of the kind changed the shared style.
    settingNotes_.push_back(center.addObserver(kTreeStyleChanged, nullptr, [this](const Notification& note) {
        const Value* type = note.userInfo.get("TreeType");
        if (note.object == this || !type || type->toString() != tree_->viewStyle()) return;
        rebuildColumns();
        if (chart_) chart_->layout().changeCellContent();
    }));
    // The library's style was replaced (reverted): take it again.
    settingNotes_.push_back(center.addObserver(kTreeStyleNeedsReload, nullptr, [this](const Notification& note) {
        const Value* type = note.userInfo.get("TreeType");
        if (!type || type->toString() != tree_->viewStyle()) return;
        tree_->setIndexStyle(styles_->indexStyleForType(tree_->viewStyle(), nullptr));
        model_->reset();
        rebuildColumns();
        if (chart_) chart_->layout().changeCellContent();
    }));
    // Texts in new colours, fonts or date formats.
    for (const char* name : {"Tree Font Changed Notification", "Tree Color Changed Notification",
                             IndexController::kDateFormatChanged})
        settingNotes_.push_back(center.addObserver(name, nullptr, [this](const Notification&) {
            applyFontAndColors();
            reloadOutline();
            if (chart_) chart_->update();
        }));
    // New chart sizes, font or colours from the preferences.
    for (const char* name : {"Tree Dimension Changed Notification", "Tree Chart Font Changed Notification",
                             "Tree Color Changed Notification"})
        settingNotes_.push_back(center.addObserver(name, nullptr, [this](const Notification&) {
            if (chart_) chart_->getFontFeatures();
        }));
    // The preferences changed a kind's default orientation.
    settingNotes_.push_back(center.addObserver(kOrientationChanged, nullptr, [this](const Notification&) {
        const int kind = tree_->kind() == RelativesTree::Kind::Ancestors ? 0 : 1;
        if (!chart_ || ChartOrientation::orientationChangeType() != kind) return;
        chart_->layout().defaultOrientation();
        chartScroll_->updateRuler();
    }));
    // A new page layout or the page-line switch: the chart redraws.
    settingNotes_.push_back(
        center.addObserver(DocumentCommands::kTreePageLinesChanged, nullptr, [this](const Notification&) {
            if (!chart_) return;
            chart_->setPage(ChartPage::fromPrintInfo(doc_.chartInfo()));
            chart_->setShowPageLines(defaults_.boolForKey(TreeChartView::kPageLinesKey));
        }));
}

void RelativesController::treeColumnMoved(int oldPlace, int newPlace) {
    // The window's own move back reports itself too.
    if (ignoreMove_) {
        ignoreMove_ = false;
        return;
    }
    if (oldPlace == newPlace) return;
    // The model's columns stay the style's; only the style changes order.
    ignoreMove_ = true;
    outline_->header()->moveSection(newPlace, oldPlace);
    const auto& style = tree_->indexStyle();
    if (oldPlace == 0 || newPlace == 0 || !style) return;
    style->moveColumn(oldPlace, newPlace);
    rebuildColumns();
    NotificationCenter::defaultCenter().post(kTreeStyleChanged, this,
                                             Dictionary{{"TreeType", Value(tree_->viewStyle())}});
}

void RelativesController::rebuildColumns() {
    const auto& style = tree_->indexStyle();
    if (style && highlighted_ >= static_cast<int>(style->numberOfColumns())) highlighted_ = -1;
    ignoreSizeChanges_ = true;
    reloadOutline();
    for (int c = 0; style && c < static_cast<int>(style->numberOfColumns()); ++c)
        outline_->setColumnWidth(c, style->widthForColumn(c));
    ignoreSizeChanges_ = false;
}

void RelativesController::treeColumnResized(int column, int width) {
    const auto& style = tree_->indexStyle();
    if (ignoreSizeChanges_ || !style || column < 0) return;
    if (style->setWidth(width, column))
        NotificationCenter::defaultCenter().post(kTreeStyleChanged, this,
                                                 Dictionary{{"TreeType", Value(tree_->viewStyle())}});
}

void RelativesController::beep() {
    ++beeps_;
    QApplication::beep();
}

// ---- RelativesView

void RelativesController::reloadOutline() {
    if (chart_) chart_->reloadFromTree();
    model_->reset();
    restoring_ = true;
    std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
        for (int row = 0; row < model_->rowCount(parent); ++row) {
            const QModelIndex index = model_->index(row, 0, parent);
            if (!expanded_.count(RelativesOutlineModel::itemOf(index))) continue;
            outline_->expand(index);
            walk(index);
        }
    };
    walk({});
    restoring_ = false;
}

void RelativesController::reloadRowsOf(const GEDCOMRecord&) {
    outline_->viewport()->update();
    if (chart_) chart_->update();
}

void RelativesController::collapseIfNotExpandable(TreeItem& item) { expanded_.erase(&item); }

void RelativesController::nodeLeaving(const TreeItem& item) {
    expanded_.erase(&item);
    if (chart_) chart_->nodeLeaving(item);
}

void RelativesController::closeWindow() { close(); }

void RelativesController::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
}

}  // namespace kl
