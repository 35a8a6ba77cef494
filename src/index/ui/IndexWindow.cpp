#include "index/ui/IndexWindow.h"

#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QItemSelection>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QCloseEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>

#include <algorithm>
#include <cmath>

#include "app/AppController.h"
#include "app/EditingPrefs.h"
#include "app/LibraryFolder.h"
#include "app/ui/AppAlerts.h"
#include "app/ui/DocController.h"
#include "document/ui/DocumentMenus.h"
#include "app/ui/NewFileOptions.h"
#include "app/ui/WindowCascade.h"
#include "document/DocumentUI.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordIdsDrag.h"
#include "document/RecordsIndices.h"
#include "foundation/UserDefaults.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "index/IndexScriptHost.h"
#include "index/IndexStyleLibrary.h"
#include "index/ui/AddColumnToolButton.h"
#include "index/ui/ColumnSheet.h"
#include "index/ui/GEDCOMTextView.h"
#include "index/ui/ImagePasteboard.h"
#include "index/ui/IndexFindField.h"
#include "index/FindCompletion.h"
#include "index/ui/IndexToolbarWidget.h"
#include "index/ui/ListsTableModel.h"
#include "index/ui/RecordsTableModel.h"
#include "index/ui/SearchPanel.h"
#include "index/ui/WindowStack.h"
#include "model/GEDCOMRecord.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

using Tag = IndexMenuValidation::Tag;

QString qt(const std::string& text) { return QString::fromStdString(text); }

IndexWindow::BrowserFactory& browserFactory() {
    static IndexWindow::BrowserFactory factory;
    return factory;
}

// What only the desktop knows, for the document's window bookkeeping.
DocumentWindows::Platform desktopPlatform(IndexWindow* window) {
    DocumentWindows::Platform platform;
    platform.windowsFrontToBack = [] {
        std::vector<const void*> windows;
        for (QWidget* window : WindowStack::shared().frontToBack()) windows.push_back(window);
        return windows;
    };
    platform.keyWindow = []() -> const void* { return QApplication::activeWindow(); };
    // Alt stands for the Option key: held, a record opens in a new window.
    platform.newWindowModifierHeld = [] { return (QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier) != 0; };
    // Without a browser factory (a program without record windows) opening
    // a record opens nothing.
    platform.makeBrowser = [window](const DocumentWindows::RecordPtr& record, BrowserWindow* parent,
                                    const std::string& paneID) -> std::shared_ptr<BrowserWindow> {
        if (!browserFactory()) return nullptr;
        return browserFactory()(window->document(), window->documentWindows(), record, parent, paneID);
    };
    return platform;
}

// The pane's share of the split height, kept for the whole run each time a
// pane is hidden.
double& sourceShare() {
    static double share = 0.3;
    return share;
}

// Stands before a document's own UI so that a save commits the source pane
// first; everything else goes on to the UI it stands before.
class SavingUI : public DocumentUI {
public:
    SavingUI(DocumentUI& inner, IndexController& index) : inner_(inner), index_(index) {}
    bool pauseIn(KLProgress& task, double seconds) override { return inner_.pauseIn(task, seconds); }
    void runProgress(KLProgress& task, const std::string& title, const std::string& label, double interval) override {
        inner_.runProgress(task, title, label, interval);
    }
    std::string currentType() override { return inner_.currentType(); }
    void documentWillSave() override {
        index_.documentWillSave();
        inner_.documentWillSave();
    }
    void doneReading(GEDCOMDocument& doc) override { inner_.doneReading(doc); }
    void changeCountChanged(GEDCOMDocument& doc) override { inner_.changeCountChanged(doc); }
    void showReadAlert(const std::vector<std::string>& lines) override { inner_.showReadAlert(lines); }
    bool confirmAutosave() override { return inner_.confirmAutosave(); }
    void saveDocument(GEDCOMDocument& doc) override { inner_.saveDocument(doc); }
    DocumentUI& inner() const { return inner_; }

private:
    DocumentUI& inner_;
    IndexController& index_;
};

}  // namespace

// The index window's controller as a window of the document: it brings this
// window forward, closes it (which closes the document) and names it.
class IndexWindow::Controller : public IndexController {
public:
    Controller(IndexWindow& window, GEDCOMDocument& doc, IndexStyleLibrary& styles)
        : IndexController(doc, styles, &window), window_(&window) {}
    void showWindow() override {
        window_->show();
        window_->raise();
        window_->activateWindow();
    }
    void close() override { window_->close(); }
    const void* window() const override { return static_cast<const QWidget*>(window_); }
    bool showSourceForRecord(const RecordPtr& record, const GEDCOMObject* structure) override {
        window_->showSourceForRecord(record, structure);
        return true;
    }

private:
    IndexWindow* window_;
};

IndexWindow::IndexWindow(GEDCOMDocument& doc, std::shared_ptr<IndexStyleLibrary> styles, UserDefaults& defaults,
                         QWidget* parent)
    : QMainWindow(parent), doc_(doc), styles_(std::move(styles)), defaults_(defaults) {
    verticalSplit_ = new QSplitter(Qt::Horizontal, this);
    verticalSplit_->setChildrenCollapsible(false);

    listsTable_ = new QTableView(verticalSplit_);
    listsModel_ = new ListsTableModel(doc_.gedcomModel().recordsIndex(), this);
    listsTable_->setModel(listsModel_);
    listsTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    listsTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    listsTable_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::SelectedClicked);
    listsTable_->verticalHeader()->hide();
    listsTable_->horizontalHeader()->setStretchLastSection(true);
    listsTable_->setShowGrid(false);
    listsTable_->setWordWrap(false);

    recordsSplit_ = new QSplitter(Qt::Vertical, verticalSplit_);
    recordsTable_ = new QTableView(recordsSplit_);
    recordsModel_ = new RecordsTableModel(this);
    recordsTable_->setModel(recordsModel_);
    recordsModel_->setDocumentKey(documentKeyFor(&doc_));
    recordsTable_->setDragEnabled(true);
    recordsTable_->setDragDropMode(QAbstractItemView::DragDrop);
    recordsTable_->setDropIndicatorShown(false);
    recordsTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    recordsTable_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    recordsTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    recordsTable_->setSortingEnabled(false);
    recordsTable_->setShowGrid(false);
    recordsTable_->setWordWrap(false);
    recordsTable_->setAlternatingRowColors(true);
    // Every row has the table's one height, so scrolling a long list never
    // measures rows.
    recordsTable_->verticalHeader()->hide();
    recordsTable_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = recordsTable_->horizontalHeader();
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setStretchLastSection(true);
    header->setHighlightSections(false);

    source_ = new GEDCOMTextView(*this, recordsSplit_);
    source_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    source_->setLineWrapMode(QPlainTextEdit::NoWrap);

    verticalSplit_->setStretchFactor(0, 0);
    verticalSplit_->setStretchFactor(1, 1);
    recordsSplit_->setStretchFactor(0, 1);
    recordsSplit_->setStretchFactor(1, 0);
    verticalSplit_->setSizes({180, 720});
    recordsSplit_->setSizes({420, 180});
    setCentralWidget(verticalSplit_);
    resize(900, 600);

    resetFonts();

    // The stacking order is learnt from activations, so it is watched from
    // the first window on.
    WindowStack::shared();
    windows_ = std::make_unique<DocumentWindows>(defaults_, desktopPlatform(this));
    controller_ = std::make_shared<Controller>(*this, doc_, *styles_);
    controller_->setWindows(windows_.get());
    if (LibraryFolder* library = AppController::sharedLibrary())
        if (const Value* defined = library->klDictionary("DefinedColumns")) controller_->setDefinedColumns(defined->dictionary());
    windows_->makeWindowControllers(controller_);
    listsTable_->setDragEnabled(true);
    listsTable_->setAcceptDrops(true);
    listsTable_->setDropIndicatorShown(true);
    listsTable_->setDragDropMode(QAbstractItemView::DragDrop);
    listsModel_->setDocumentKey(documentKeyFor(&doc_));
    listsModel_->setDropHandler([this](const QMimeData* data, int row, bool perform) {
        return dropOnLists(data, row, perform);
    });
    recordsModel_->setDropHandler([this](const QMimeData* data, bool perform) {
        return dropOnRecords(data, perform);
    });
    source_->setParent(controller_.get());
    // Scripts reach this document's windows through its host.
    scriptHost_ = std::make_unique<IndexScriptHost>(*controller_, *windows_);
    doc_.gedcomModel().setScriptHost(scriptHost_.get());
    savingUI_ = std::make_unique<SavingUI>(doc_.ui(), *controller_);
    doc_.setUI(savingUI_.get());

    connect(listsTable_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (quiet_) return;
        const QModelIndexList rows = listsTable_->selectionModel()->selectedRows();
        if (rows.size() == 1) controller_->listSelectionChanged(rows.front().row());
    });
    connect(recordsTable_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (quiet_) return;
        std::vector<long> rows;
        for (const QModelIndex& index : recordsTable_->selectionModel()->selectedRows()) rows.push_back(index.row());
        controller_->recordSelectionChanged(std::move(rows));
        validateToolbar();
    });
    // Return, Enter and a double click open the row's record.
    connect(recordsTable_, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { controller_->shouldEditRecordRow(index.row()); });
    connect(header, &QHeaderView::sectionClicked, this, &IndexWindow::headerClicked);
    // The header is still in the middle of its drag when it reports the
    // move; the controller's answer may rebuild the columns, so it is asked
    // once the drag is over.
    connect(header, &QHeaderView::sectionMoved, this,
            [this](int, int oldPlace, int newPlace) { columnMoved(oldPlace, newPlace); }, Qt::QueuedConnection);
    connect(header, &QHeaderView::sectionResized, this,
            [this](int section, int, int newSize) { columnResized(section, newSize); });
    connect(verticalSplit_, &QSplitter::splitterMoved, this, &IndexWindow::saveDividers);
    connect(recordsSplit_, &QSplitter::splitterMoved, this, &IndexWindow::saveDividers);

    toolbar_ = new IndexToolbarWidget(defaults_, this);
    addToolBar(toolbar_);
    toolbar_->setHandler([this](const ToolbarItemSpec& item) { toolbarItemChosen(item); });
    toolbar_->setValidator([this](int tag) { return validateMenuTag(tag); });
    // A customised toolbar makes its add-column button anew.
    connect(toolbar_, &IndexToolbarWidget::addColumnButtonMade, this, &IndexWindow::wireAddColumnButton);
    wireAddColumnButton(toolbar_->addColumnButton());
    findField_ = new IndexFindField;
    findField_->setMinimumWidth(180);
    findField_->setFinder([this](IndexFindField& field, const std::string& text, bool ended) {
        const auto answer = controller_->findString(text, ended);
        if (answer.fieldUseAlert) {
            field.clear();
            field.fieldUseAlert();
            return;
        }
        if (!ended && answer.row >= 0) field.completeString(answer.match);
    });
    toolbar_->setFindView(findField_);
    connect(this, &IndexWindow::addColumnMenuChanged, this, [this] {
        if (AddColumnToolButton* button = toolbar_->addColumnButton()) button->updateAddColumnMenu(addColumnItems_);
    });

    buildMenus();
    restoreDividers();
    WindowCascade::setWindowFrameAutosaveNameOrCascade(this, kFrameName);
    const bool showSource = defaults_.boolForKey(kShowSourceEditor);
    source_->setVisible(showSource);
    controller_->setSourceShown(showSource);

    controller_->windowDidLoad();
    // The first contents are there when the window first shows.
    flushReloads();

    const AppController* app = AppController::myApp();
    if (auto warnings = OpeningWarnings::decide(OpeningWarnings::factsOf(doc_, app ? app->openingError() : 0)))
        QMetaObject::invokeMethod(
            this, [this, warnings = std::move(*warnings)] { corruptedWarning(warnings); }, Qt::QueuedConnection);
    if (controller_->wantsNewFileSheet())
        QMetaObject::invokeMethod(this, &IndexWindow::startNewFileSheet, Qt::QueuedConnection);
}

namespace {
IndexWindow::TreeOpener& treeOpener() {
    static IndexWindow::TreeOpener opener;
    return opener;
}
IndexWindow::RelationshipFinder& relationshipFinder() {
    static IndexWindow::RelationshipFinder finder;
    return finder;
}
IndexWindow::ValidateStarter& validateStarter() {
    static IndexWindow::ValidateStarter starter;
    return starter;
}
IndexWindow::ApplicationCommand& applicationCommand() {
    static IndexWindow::ApplicationCommand command;
    return command;
}
}  // namespace

void IndexWindow::startNewFileSheet() {
    // A child of the window: it goes with the window at the latest.
    auto* sheet = new NewFileOptions(&doc_, NewFileSettings::NewFile, this);
    sheet->startSheet(this, [this](KLSheet& ended, const Value& code) {
        controller_->newFileSheetEnded(static_cast<int>(code.toInteger(KLSheet::CancelCode)),
                                       static_cast<NewFileOptions&>(ended).fileSettings());
        ended.deleteLater();
    });
}

void IndexWindow::corruptedWarning(const OpeningWarnings& warnings) {
    auto local = [](const char* key) { return LibraryServices::current()->localString(key); };
    std::vector<Alert> alerts;
    const AlertButtons ok(std::nullopt, std::nullopt, std::nullopt);
    if (controller_->showCorruptedList())
        alerts.push_back({local(OpeningWarnings::kCorruptedMessage), local(OpeningWarnings::kCorruptedInformation), ok});
    if (warnings.message) alerts.push_back({local(OpeningWarnings::kReadMessage), *warnings.message, ok});
    if (warnings.pkgName)
        alerts.push_back({local(OpeningWarnings::kValidateQuestion), local(OpeningWarnings::kValidateInformation),
                          AlertButtons(local(OpeningWarnings::kValidateNow), local(OpeningWarnings::kValidateLater),
                                       std::nullopt),
                          [self = QPointer<IndexWindow>(this)](int response) {
                              if (self && response == AlertButtons::firstButtonResponse && validateStarter())
                                  validateStarter()(*self);
                          }});
    showAlerts(std::move(alerts));
}

// Each alert waits for the one before it to be answered, so the sheets
// never stack on the window.
void IndexWindow::showAlerts(std::vector<Alert> alerts) {
    if (alerts.empty()) return;
    const Alert first = std::move(alerts.front());
    alerts.erase(alerts.begin());
    AppAlerts::beginAlertSheet(this, AlertButtons::Informational, first.message, first.information, first.buttons,
                               [self = QPointer<IndexWindow>(this), rest = std::move(alerts),
                                answered = first.answered](int response) mutable {
                                   if (answered) answered(response);
                                   if (self) self->showAlerts(std::move(rest));
                               });
}

void IndexWindow::toolbarItemChosen(const ToolbarItemSpec& item) {
    if (item.identifier == "WindowHelp") {
        AppController::showAnchor("Editing/indwind", "index");
        return;
    }
    // The application's items reach the windows that serve them; Ancestors
    // and Descendants open the relatives windows, the other document items
    // run the document's commands.
    if (item.target == ToolbarItemSpec::Target::Application) {
        if (!runApplicationCommand(item.tag)) beep();
        return;
    }
    if (item.target == ToolbarItemSpec::Target::Window && item.tag != 0) performCommand(item.tag);
    if (item.target != ToolbarItemSpec::Target::Document) return;
    if (item.tag == 4001 || item.tag == 4002)
        openAncestorsOrDescendants(item.tag);
    else if (documentMenus_)
        documentMenus_->performCommand(item.tag);
}

void IndexWindow::setTreeOpener(TreeOpener opener) { treeOpener() = std::move(opener); }

void IndexWindow::setValidateStarter(ValidateStarter starter) { validateStarter() = std::move(starter); }

void IndexWindow::setRelationshipFinder(RelationshipFinder finder) { relationshipFinder() = std::move(finder); }

void IndexWindow::setApplicationCommand(ApplicationCommand command) { applicationCommand() = std::move(command); }

bool IndexWindow::runApplicationCommand(int tag) { return applicationCommand() && applicationCommand()(tag); }

void IndexWindow::findRelationship() {
    if (!relationshipFinder() || !relationshipFinder()(*this)) beep();
}

void IndexWindow::openAncestorsOrDescendants(int tag) {
    if (!treeOpener() || !treeOpener()(*this, tag)) beep();
}

void IndexWindow::wireAddColumnButton(AddColumnToolButton* button) {
    if (!button) return;
    button->setChooseHandler([this](const AddColumnItem& item) { choosePredefinedColumn(item); });
    button->updateAddColumnMenu(addColumnItems_);
}

void IndexWindow::validateToolbar() {
    if (toolbar_) toolbar_->validateVisibleItems();
}

IndexWindow::~IndexWindow() {
    saveDividers();
    // The pane loses its focus while Qt takes the window down, after the
    // controller went.
    source_->setParent(static_cast<IndexController*>(nullptr));
    if (doc_.gedcomModel().scriptHost() == scriptHost_.get()) doc_.gedcomModel().setScriptHost(nullptr);
    if (&doc_.ui() == savingUI_.get()) doc_.setUI(&static_cast<SavingUI&>(*savingUI_).inner());
    // The tables and splitters report to this window until Qt deletes them,
    // after it has stopped being one.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
    // The search window is one of the document's windows: it leaves them
    // while they still exist.
    delete searchPanel_;
    // The controller stops observing before the widgets it draws into go.
    windows_.reset();
    controller_.reset();
}

IndexController& IndexWindow::controller() const { return *controller_; }

void IndexWindow::installBrowserFactory(BrowserFactory factory) { browserFactory() = std::move(factory); }

void IndexWindow::installWindowFactory(DocController& controller, UserDefaults& defaults) {
    auto styles = std::make_shared<IndexStyleLibrary>(defaults);
    controller.setWindowFactory([styles, &defaults](GEDCOMDocument& doc, DocController&) {
        return std::make_unique<IndexWindow>(doc, styles, defaults);
    });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &controller, [styles, &defaults] {
        styles->saveStyles();
        defaults.synchronize();
    });
}

// ---- menus and commands

void IndexWindow::buildMenus() {
    struct Item {
        const char* title;
        int tag;
    };
    auto addMenu = [this](const QString& title, std::initializer_list<Item> items) {
        QMenu* menu = menuBar()->addMenu(title);
        for (const Item& item : items) {
            if (item.tag == 0) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(tr(item.title));
            action->setData(item.tag);
            const int tag = item.tag;
            connect(action, &QAction::triggered, this, [this, tag] { performCommand(tag); });
            commandActions_.push_back(action);
        }
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            for (QAction* action : menu->actions())
                if (!action->isSeparator() && action->data().isValid()) validateAction(action, true);
        });
        return menu;
    };
    addMenu(tr("&View"), {{"Show Source Editor", Tag::ShowHideSource}});
    addMenu(tr("&Trees"), {{"Show Ancestors", 4001}, {"Show Descendants", 4002}, {nullptr, 0},
                           {"Find Relationship...", 3013}});
    QMenu* albums = addMenu(tr("&Albums"), {{"Add Album", Tag::CreateAlbum}, {"Delete Album", Tag::DeleteAlbum}});
    buildRecordCommandMenus(albums);
    QMenu* columns = addMenu(tr("&Columns"), {{"Add Column...", Tag::AddColumn},
                             {"Edit Column...", Tag::EditColumn},
                             {"Delete Column", Tag::DeleteColumn},
                             {nullptr, 0},
                             {"Show Portrait Column", Tag::PortraitColumn}});
    // Reverting has no tag of its own: it is always there.
    columns->addSeparator();
    columns->addAction(tr("Revert to Default Columns"), this, &IndexWindow::revertToDefaultColumns);
}

bool IndexWindow::performCommand(int tag) {
    switch (tag) {
    case Tag::AddColumn:
    case Tag::EditColumn: editIndexColumn(tag); return true;
    case Tag::DeleteColumn: deleteIndexColumn(-1); return true;
    case Tag::PortraitColumn: controller_->addRemovePortraitColumn(); return true;
    case Tag::ShowHideSource: showGEDCOMEditor(!sourceShown()); return true;
    case Tag::CreateAlbum: controller_->createAlbum(); return true;
    case Tag::DeleteAlbum: controller_->removeAlbum(); return true;
    case 4001:
    case 4002: openAncestorsOrDescendants(tag); return true;
    case 3013: findRelationship(); return true;
    default: return performRecordCommand(tag);
    }
}

void IndexWindow::updateFirstResponder() {
    const QWidget* focused = focusWidget();
    const bool records = focused && (focused == recordsTable_ || focused == source_ ||
                                     recordsTable_->isAncestorOf(focused) || source_->isAncestorOf(focused));
    controller_->setFirstResponderIsRecords(records);
}

MenuAnswer IndexWindow::validateMenuTag(int tag) {
    updateFirstResponder();
    if (documentMenus_)
        if (const auto answer = documentMenus_->validateMenuTag(tag)) return {answer->enabled, answer->title};
    return controller_->validateMenuTag(tag);
}

void IndexWindow::validateAction(QAction* action, bool retitle) {
    if (!action) return;
    const MenuAnswer answer = validateMenuTag(action->data().toInt());
    action->setEnabled(answer.enabled);
    if (retitle && answer.title) action->setText(qt(*answer.title));
}

void IndexWindow::choosePredefinedColumn(const AddColumnItem& item) {
    const auto choice = controller_->addPredefinedColumn(item);
    switch (choice.action) {
    case AddColumnMenu::Choice::Action::OpenSheet: editIndexColumn(Tag::AddColumn); break;
    case AddColumnMenu::Choice::Action::DeleteColumn: deleteIndexColumn(choice.column); break;
    case AddColumnMenu::Choice::Action::AppendColumn: break;
    }
}

void IndexWindow::editIndexColumn(int tag) {
    if (tag == Tag::EditColumn && controller_->highlightedColumn() < 0) return;
    if (!sheet_) sheet_ = new ColumnSheet(this);
    sheet_->startSheet(tag, *controller_, this);
}

void IndexWindow::deleteIndexColumn(int styleColumn) {
    ColumnCommands::deleteIndexColumn(this, *controller_, styleColumn >= 0 ? styleColumn : controller_->highlightedColumn());
}

void IndexWindow::revertToDefaultColumns() { ColumnCommands::revertToDefaultColumns(this, *controller_); }

bool IndexWindow::sourceShown() const { return !source_->isHidden(); }

void IndexWindow::showGEDCOMEditor(bool show, bool fromUser) {
    controller_->textDidEndEditing();
    if (show == sourceShown()) return;
    const int total = recordsSplit_->height() - recordsSplit_->handleWidth();
    if (!show) {
        if (total > 0) sourceShare() = static_cast<double>(source_->height()) / total;
        source_->setVisible(false);
    } else {
        source_->setVisible(true);
        const int whole = std::max(1, recordsSplit_->sizes().value(0) + recordsSplit_->sizes().value(1));
        const int pane = static_cast<int>(std::lround(whole * sourceShare()));
        recordsSplit_->setSizes({whole - pane, pane});
    }
    controller_->setSourceShown(show);
    if (fromUser) defaults_.setObject(show, kShowSourceEditor);
    controller_->insertGEDCOMSource(false);
}

void IndexWindow::showSourceForRecord(const std::shared_ptr<GEDCOMRecord>& record, const GEDCOMObject* structure) {
    if (!record) return;
    controller_->selectAnyRecord(record);
    if (!sourceShown()) showGEDCOMEditor(true, false);
    raise();
    activateWindow();
    source_->setFocus(Qt::OtherFocusReason);
    QTextCursor cursor(source_->document());
    source_->setTextCursor(cursor);
    if (!structure || controller_->sourceRecord() != record) return;
    std::string before;
    record->appendGEDCOMUntil(before, structure);
    std::string own;
    structure->appendGEDCOM(own);
    const int start = QString::fromStdString(before).size();
    const int length = QString::fromStdString(own).size();
    QColor colour = palette().color(QPalette::Highlight);
    if (LibraryFolder* library = AppController::sharedLibrary())
        if (const auto theme = library->editingPrefs().colorAtIndex(0))
            colour = QColor::fromRgbF(theme->red, theme->green, theme->blue, theme->alpha);
    source_->markRange(start, start + length, colour);
}

bool IndexWindow::dropOnLists(const QMimeData* data, int row, bool perform) {
    if (data->hasFormat(ListsTableModel::kRecordListMimeType)) {
        const auto from = listsModel_->draggedListRow(data);
        if (!from || !controller_->canMoveList(*from, row)) return false;
        return !perform || controller_->moveList(*from, row);
    }
    if (data->hasFormat(kRecordIdsMimeType)) return dropRecords(data, row, perform);
    if (!ImagePasteboard::containsImagePboard(data) || !controller_->canDropMultimediaOnList(row)) return false;
    return !perform || controller_->dropMultimedia(ImagePasteboard::decodeImagePboard(data), false);
}

bool IndexWindow::dropOnRecords(const QMimeData* data, bool perform) {
    if (data->hasFormat(kRecordIdsMimeType) || !ImagePasteboard::containsImagePboard(data)) return false;
    if (controller_->currentType() != "OBJE") return false;
    return !perform || controller_->dropMultimedia(ImagePasteboard::decodeImagePboard(data), true);
}

bool IndexWindow::dropRecords(const QMimeData* data, int row, bool perform) {
    if (!data->hasFormat(kRecordIdsMimeType)) return false;
    const QByteArray bytes = data->data(kRecordIdsMimeType);
    const auto drag = decodeRecordIdsDrag(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!drag || drag->ids.empty()) return false;
    // Rows of another window name their list: its type, and which one.
    int sourceType = ListRecordType;
    const RecordsList* source = nullptr;
    if (data->hasFormat(RecordsTableModel::kSourceListMimeType)) {
        const std::string text = data->data(RecordsTableModel::kSourceListMimeType).toStdString();
        const auto cut = text.find('\n');
        sourceType = std::atoi(text.substr(0, cut).c_str());
        const std::string key = cut == std::string::npos ? std::string() : text.substr(cut + 1);
        for (const auto& list : doc_.gedcomModel().recordsIndex().lists())
            if (documentKeyFor(list.get()) == key) source = list.get();
    }
    if (drag->documentKey != documentKeyFor(&doc_)) {
        // Another database's records are merged, whichever row they land on.
        GEDCOMDocument* other = openDocumentWithKey(drag->documentKey);
        if (!other) return false;
        if (!perform) return true;
        std::vector<std::shared_ptr<GEDCOMRecord>> records;
        for (const auto& id : drag->ids)
            if (auto record = other->gedcomModel().recordWithID(id)) records.push_back(std::move(record));
        std::string text;
        if (records.empty() || !other->gedcomModel().getSubset(records, text, 0, false)) return false;
        text.append("0 TRLR\n");
        return doc_.mergeGEDCOMString(std::move(text), other, mergeWindows(other));
    }
    if (!controller_->canDropRecords(row, true, sourceType, source)) return false;
    return !perform || controller_->dropRecordsOnList(row, drag->ids);
}

void IndexWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && controller_) controller_->textDidEndEditing();
}

void IndexWindow::closeEvent(QCloseEvent* event) {
    if (controller_) controller_->textDidEndEditing();
    QMainWindow::closeEvent(event);
}

// ---- reloads, once per turn of the event loop

void IndexWindow::scheduleFlush() {
    if (flushScheduled_) return;
    flushScheduled_ = true;
    QMetaObject::invokeMethod(this, &IndexWindow::flushReloads, Qt::QueuedConnection);
}

void IndexWindow::flushReloads() {
    // A reload the controller deferred to this turn joins this one.
    controller_->reloadDataIfNeeded();
    flushScheduled_ = false;
    ++quiet_;
    if (listsReloadPending_) {
        listsReloadPending_ = false;
        listsModel_->reload();
        ++listReloads_;
        const long row = controller_->selectedListRow();
        if (row >= 0 && row < listsModel_->rowCount())
            listsTable_->selectionModel()->setCurrentIndex(listsModel_->index(static_cast<int>(row), 0),
                                                           QItemSelectionModel::ClearAndSelect);
    }
    if (recordsReloadPending_) {
        recordsReloadPending_ = false;
        recordsModel_->reload();
        ++recordReloads_;
        applySelection();
    }
    --quiet_;
    if (pendingScroll_) {
        recordsTable_->scrollTo(recordsModel_->index(static_cast<int>(*pendingScroll_), 0));
        pendingScroll_.reset();
    }
    validateToolbar();
}

void IndexWindow::reloadLists() {
    listsReloadPending_ = true;
    scheduleFlush();
}

void IndexWindow::reloadRecords() {
    recordsReloadPending_ = true;
    scheduleFlush();
}

void IndexWindow::reloadRecordsNow() {
    recordsReloadPending_ = true;
    flushReloads();
}

void IndexWindow::resetFonts() {
    const QFont font = QApplication::font(listsTable_);
    listsTable_->setFont(font);
    listsTable_->horizontalHeader()->setFont(QApplication::font(listsTable_->horizontalHeader()));
    recordsTable_->setFont(QApplication::font(recordsTable_));
    recordsTable_->horizontalHeader()->setFont(QApplication::font(recordsTable_->horizontalHeader()));
    const int listsLine = static_cast<int>(std::ceil((QFontMetricsF(font).ascent() + QFontMetricsF(font).descent()) * 1.2));
    listsTable_->verticalHeader()->setDefaultSectionSize(std::max(1, listsLine));
    recordsTable_->horizontalHeader()->setMinimumSectionSize(std::max(1, static_cast<int>(std::lround(lineHeight()))));
    recordsTable_->verticalHeader()->setDefaultSectionSize(
        std::max(1, static_cast<int>(std::lround(recordsModel_->plan().rowHeight(lineHeight())))));
}

void IndexWindow::selectListRow(long row) {
    // A pending reload selects the controller's row when it is done.
    if (listsReloadPending_) return;
    if (row < 0 || row >= listsModel_->rowCount()) {
        reloadLists();
        return;
    }
    ++quiet_;
    listsTable_->selectionModel()->setCurrentIndex(listsModel_->index(static_cast<int>(row), 0),
                                                   QItemSelectionModel::ClearAndSelect);
    --quiet_;
}

// ---- the records table

void IndexWindow::applyTablePlan(const TableSetupPlan& plan, double rowHeight) {
    applyingPlan_ = true;
    ++quiet_;
    recordsModel_->setList(controller_->currentList(), plan, &doc_.gedcomModel());
    recordsReloadPending_ = false;
    restoreSectionOrder();
    QHeaderView* header = recordsTable_->horizontalHeader();
    header->setMinimumSectionSize(std::max(1, static_cast<int>(std::lround(lineHeight()))));
    for (std::size_t i = 0; i < plan.columns.size(); ++i)
        header->resizeSection(static_cast<int>(i), static_cast<int>(std::lround(plan.columns[i].width)));
    recordsTable_->verticalHeader()->setDefaultSectionSize(std::max(1, static_cast<int>(std::lround(rowHeight))));
    sortColumn_ = plan.highlightedColumn;
    indicator_ = plan.indicator;
    applySortIndicator();
    applySelection();
    --quiet_;
    applyingPlan_ = false;
    validateToolbar();
}

// QHeaderView::sectionsMoved() stays true once a section has moved, even
// after it moved back.
bool IndexWindow::sectionsInTableOrder() const {
    const QHeaderView* header = recordsTable_->horizontalHeader();
    for (int place = 0; place < header->count(); ++place)
        if (header->logicalIndex(place) != place) return false;
    return true;
}

void IndexWindow::restoreSectionOrder() {
    QHeaderView* header = recordsTable_->horizontalHeader();
    if (sectionsInTableOrder()) return;
    const QSignalBlocker blocker(header);
    for (int logical = 0; logical < header->count(); ++logical)
        if (header->visualIndex(logical) != logical) header->moveSection(header->visualIndex(logical), logical);
    recordsTable_->viewport()->update();
}

void IndexWindow::markSortColumn(int styleColumn, SortIndicator indicator) {
    sortColumn_ = styleColumn;
    indicator_ = indicator;
    applySortIndicator();
}

void IndexWindow::applySortIndicator() {
    // A highlight without its arrow (its key was lost) shows no arrow.
    const int section = indicator_ == SortIndicator::None ? -1 : recordsModel_->sectionOfStyleColumn(sortColumn_);
    recordsTable_->horizontalHeader()->setSortIndicator(
        section, indicator_ == SortIndicator::Descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void IndexWindow::showRecordSelection(const std::vector<long>&) {
    // A pending reload puts the selection back when it is done.
    if (!recordsReloadPending_) applySelection();
}

void IndexWindow::applySelection() {
    QItemSelection selection;
    const int rows = recordsModel_->rowCount();
    const int last = std::max(0, recordsModel_->columnCount() - 1);
    const auto& selected = controller_->selectedRows();  // ascending
    for (std::size_t i = 0; i < selected.size();) {
        std::size_t j = i;
        while (j + 1 < selected.size() && selected[j + 1] == selected[j] + 1) ++j;
        if (selected[i] >= 0 && selected[i] < rows)
            selection.select(recordsModel_->index(static_cast<int>(selected[i]), 0),
                             recordsModel_->index(static_cast<int>(std::min<long>(selected[j], rows - 1)), last));
        i = j + 1;
    }
    ++quiet_;
    QItemSelectionModel* model = recordsTable_->selectionModel();
    model->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (!selection.isEmpty()) model->setCurrentIndex(selection.front().topLeft(), QItemSelectionModel::NoUpdate);
    --quiet_;
}

void IndexWindow::scrollToRow(long row) {
    if (recordsReloadPending_) {
        pendingScroll_ = row;
        return;
    }
    recordsTable_->scrollTo(recordsModel_->index(static_cast<int>(row), 0));
}

void IndexWindow::centerScrollToRow(long row) {
    if (recordsReloadPending_ || row < 0 || row >= recordsModel_->rowCount()) {
        scrollToRow(row);
        return;
    }
    QScrollBar* bar = recordsTable_->verticalScrollBar();
    const int before = bar->value();
    recordsTable_->scrollTo(recordsModel_->index(static_cast<int>(row), 0));
    if (bar->value() == before) return;
    const int middle = recordsTable_->rowAt(recordsTable_->viewport()->height() / 2);
    if (middle < 0) return;
    const long target = FindCompletion::centerTarget(row, middle, recordsModel_->rowCount());
    recordsTable_->scrollTo(recordsModel_->index(static_cast<int>(target), 0));
}

void IndexWindow::showSourceText(const std::optional<std::string>& text, bool keepSelection) {
    source_->showText(text, keepSelection);
}

std::string IndexWindow::sourceText() const { return source_->toPlainText().toStdString(); }

void IndexWindow::focusRecords() { recordsTable_->setFocus(Qt::OtherFocusReason); }

void IndexWindow::fillAddColumnMenu(const std::vector<AddColumnItem>& items) {
    addColumnItems_ = items;
    emit addColumnMenuChanged();
}

void IndexWindow::beep() {
    ++beeps_;
    QApplication::beep();
}

double IndexWindow::lineHeight() const {
    const QFontMetricsF metrics(recordsTable_ ? recordsTable_->font() : font());
    return std::ceil((metrics.ascent() + metrics.descent()) * 1.2);
}

void IndexWindow::headerClicked(int section) {
    controller_->didClickTableColumn(recordsModel_->styleColumnAt(section));
    // The header turns its arrow on every click; the controller decides.
    applySortIndicator();
    validateToolbar();
}

void IndexWindow::columnMoved(int oldPlace, int newPlace) {
    const int places = recordsModel_->columnCount();
    const auto back = controller_->recordsColumnMoved(oldPlace, newPlace, places);
    if (!back) return;
    QHeaderView* header = recordsTable_->horizontalHeader();
    if (!sectionsInTableOrder())
        header->moveSection(back->first, back->second);  // reported back, and ignored there
    else
        controller_->recordsColumnMoved(back->first, back->second, places);  // the rebuild put it back already
}

void IndexWindow::columnResized(int section, int newSize) {
    if (applyingPlan_) return;
    if (const auto height = controller_->recordsColumnResized(recordsModel_->styleColumnAt(section), newSize)) {
        const int size = std::max(1, static_cast<int>(std::lround(*height)));
        recordsTable_->verticalHeader()->setDefaultSectionSize(size);
        recordsModel_->setImageWidth(size);
    }
}

// ---- split positions

void IndexWindow::saveDividers() {
    auto store = [this](QSplitter* split, const char* name) {
        const QByteArray state = split->saveState();
        defaults_.setObject(Value(Data(state.begin(), state.end())), dividerKey(name));
    };
    store(verticalSplit_, kVertDivider);
    store(recordsSplit_, kHorizDivider);
}

void IndexWindow::restoreDividers() {
    auto restore = [this](QSplitter* split, const char* name) {
        if (const auto data = defaults_.dataForKey(dividerKey(name)); data && !data->empty())
            split->restoreState(QByteArray(reinterpret_cast<const char*>(data->data()), static_cast<qsizetype>(data->size())));
    };
    restore(verticalSplit_, kVertDivider);
    restore(recordsSplit_, kHorizDivider);
}

}  // namespace kl
