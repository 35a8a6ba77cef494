// Moving a browser between records: the Go menu, the toolbar, the history
// and its pop-up menus, the relationship commands with their picker, the
// previous/next steps, enabling and titling by tag, and help.
#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "app/AppController.h"
#include "app/ui/AppAlerts.h"
#include "app/ui/AppToolbars.h"
#include "app/ui/PairToolbarItem.h"
#include "browser/BrowserToolbar.h"
#include "browser/ui/BrowserController.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "document/ui/DocumentMenus.h"
#include "foundation/UndoManager.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "index/ui/IndexToolbarWidget.h"
#include "index/ui/SelectRecordController.h"
#include "model/GEDCOMRecord.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

BrowserController::HelpHandler& helpHandler() {
    static BrowserController::HelpHandler handler;
    return handler;
}

QString localized(const std::string& key) {
    return QString::fromStdString(LibraryServices::current()->localString(key));
}

// The Go menu: title, tag and keys; a null title is a separator.
struct GoItem {
    const char* title;
    int tag;
    QKeySequence keys;
};

const std::vector<GoItem>& goItems() {
    static const std::vector<GoItem> items{
        {"Back", kGoBackTag, QKeySequence(Qt::ALT | Qt::Key_Left)},
        {"Forward", kGoForwardTag, QKeySequence(Qt::ALT | Qt::Key_Right)},
        {nullptr, 0, {}},
        {"Previous Record", kPreviousRecordTag, QKeySequence(Qt::ALT | Qt::Key_Up)},
        {"Next Record", kNextRecordTag, QKeySequence(Qt::ALT | Qt::Key_Down)},
        {"Previous Record in Album", kAlbumPreviousTag, QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Up)},
        {"Next Record in Album", kAlbumNextTag, QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Down)},
        {nullptr, 0, {}},
        {"Father", kFatherTag, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F)},
        {"Mother", kMotherTag, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_M)},
        {"Families", kFamiliesTag, {}},
        {"Spouses", kSpouseTag, {}},
        {"Children", kChildrenTag, {}},
        {"Siblings", kSiblingsTag, {}},
        {nullptr, 0, {}},
        {"Sources", kSourcesTag, {}},
        {"Places", kPlacesTag, {}},
        {"Multimedia", kMultimediaTag, {}},
        {"Records Citing This Record", kReferencedByTag, {}},
    };
    return items;
}

}  // namespace

// ---- the history

BrowserController::RecordPtr BrowserController::historyRecordWithID(const std::string& recordID) const {
    return doc_.gedcomModel().recordWithID(recordID);
}

std::optional<std::string> BrowserController::historyPaneID() const { return browserPaneID(); }

void BrowserController::changeRecordFromHistory(const RecordPtr& record, const std::optional<std::string>& paneID) {
    changeRecord(record, paneID.value_or(std::string()));
    validateToolbar();
}

void BrowserController::fillHistoryMenu(int direction) {
    QMenu* menu = historyMenu(direction);
    menu->clear();
    for (const auto& item : history().reachable(direction)) {
        QAction* action = menu->addAction(QString::fromStdString(item.record->viewName()));
        // Later: the choice rebuilds the pane under the closing menu.
        connect(action, &QAction::triggered, this, [this, index = item.index] { history().goToIndex(index); },
                Qt::QueuedConnection);
    }
}

// ---- menus and toolbar

void BrowserController::addGoMenu() {
    goMenu_ = menuBar()->addMenu(tr("Go"));
    for (const GoItem& item : goItems()) {
        if (!item.title) {
            goMenu_->addSeparator();
            continue;
        }
        QAction* action = goMenu_->addAction(localized(item.title));
        action->setData(item.tag);
        action->setShortcut(item.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, tag = item.tag] { performNavigation(tag); });
    }
    connect(goMenu_, &QMenu::aboutToShow, this, &BrowserController::maintainMenus);
    backMenu_ = new QMenu(this);
    forwardMenu_ = new QMenu(this);
}

void BrowserController::setupToolBar() {
    toolbar_ = new IndexToolbarWidget(windows_.defaults(), this, BrowserToolbar::items());
    toolbar_->setViewFactory([this](const ToolbarItemSpec& item) { return makeToolbarView(item); });
    toolbar_->rebuild();
    addToolBar(toolbar_);
    toolbar_->setHandler([this](const ToolbarItemSpec& item) { toolbarItemChosen(item); });
    // Toolbar items are enabled by their tags but keep their titles.
    toolbar_->setValidator([this](int tag) { return MenuAnswer{validateMenuTag(tag, nullptr), std::nullopt}; });
    connect(toolbar_, &IndexToolbarWidget::itemsValidated, this, [this] {
        if (auto* pair = backForwardItem()) pair->validate();
        if (auto* pair = prevNextItem()) pair->validate();
    });
    AppToolbars::setToolbarStyleForWindow(this, windows_.defaults());
    goMenu_->addSeparator();
    QAction* customize = goMenu_->addAction(tr("Customize Toolbar..."));
    customize->setObjectName("CustomizeToolbar");
    connect(customize, &QAction::triggered, this, [this] { toolbar_->runCustomizationPalette(); });
}

QWidget* BrowserController::makeToolbarView(const ToolbarItemSpec& item) {
    PairToolbarItem* pair = nullptr;
    if (item.identifier == BrowserToolbar::kBackForward) {
        auto* backForward = new BackForwardToolbarItem;
        backForward->backButton()->setPopUpMenu(backMenu_);
        backForward->forwardButton()->setPopUpMenu(forwardMenu_);
        connect(backForward->backButton(), &DLDelayedPopUpButton::aboutToShowPopUp, this, [this] { fillHistoryMenu(-1); });
        connect(backForward->forwardButton(), &DLDelayedPopUpButton::aboutToShowPopUp, this,
                [this] { fillHistoryMenu(+1); });
        pair = backForward;
    } else if (item.identifier == BrowserToolbar::kPrevNext) {
        pair = new PrevNextToolbarItem;
    } else {
        return nullptr;
    }
    pair->setObjectName(QString::fromStdString(item.identifier));
    pair->setValidator([this](int tag) {
        auto answer = validateMenuTag(tag);
        return answer && answer->enabled;
    });
    connect(pair, &PairToolbarItem::buttonClicked, this, [this](int tag) { performNavigation(tag); });
    return pair;
}

BackForwardToolbarItem* BrowserController::backForwardItem() const {
    return toolbar_ ? toolbar_->findChild<BackForwardToolbarItem*>() : nullptr;
}

PrevNextToolbarItem* BrowserController::prevNextItem() const {
    return toolbar_ ? toolbar_->findChild<PrevNextToolbarItem*>() : nullptr;
}

void BrowserController::toolbarItemChosen(const ToolbarItemSpec& item) {
    if (item.identifier == IndexToolbar::kPrint) {
        printWithDialog(true);
        return;
    }
    if (item.identifier == BrowserToolbar::kWindowHelp) {
        contextHelpTopic();
        return;
    }
    if (item.tag == 0) return;
    if (performNavigation(item.tag)) return;
    if (!documentMenus_->performCommand(item.tag)) beep();
}

void BrowserController::validateToolbar() {
    if (toolbar_) toolbar_->validateVisibleItems();
}

BrowserNavigation::Facts BrowserController::menuFacts() {
    BrowserNavigation::Facts facts;
    facts.record = record_;
    facts.lists = &linkLists();
    facts.model = &doc_.gedcomModel();
    facts.canGoBack = history().canGoBack();
    facts.canGoForward = history().canGoForward();
    facts.canStepRecord = [this](int step) {
        if (!record_) return false;
        auto list = doc_.gedcomModel().recordsIndex().listForType(record_->recordType());
        return list && list->validateStepRecord(step, record_);
    };
    auto* index = dynamic_cast<IndexController*>(windows_.indexController());
    facts.displayingAlbum = index && index->isDisplayingAnAlbum();
    return facts;
}

std::optional<DocumentMenuAnswer> BrowserController::validateMenuTag(int tag) {
    return BrowserNavigation::validateMenuTag(tag, menuFacts());
}

void BrowserController::maintainMenus() {
    retitleMainMenu();
    if (goMenu_) {
        const auto facts = menuFacts();
        for (QAction* action : goMenu_->actions()) {
            if (action->isSeparator()) continue;
            const auto answer = BrowserNavigation::validateMenuTag(action->data().toInt(), facts);
            if (!answer) continue;
            action->setEnabled(answer->enabled);
            if (answer->title) action->setText(localized(*answer->title));
        }
    }
    validateToolbar();
}

// ---- commands

bool BrowserController::performNavigation(int tag) {
    switch (tag) {
    case kGoBackTag: doGoBackCmd(); return true;
    case kGoForwardTag: doGoForwardCmd(); return true;
    case kPreviousRecordTag:
    case kNextRecordTag: doMoveRecord(tag - 3105); return true;
    case kAlbumPreviousTag:
    case kAlbumNextTag: doMoveRecordInAlbum(tag - 3112); return true;
    default: break;
    }
    if (!BrowserNavigation::linkCommand(tag)) return false;
    doLinkCommand(tag);
    return true;
}

BrowserController* BrowserController::mainBrowser() {
    BrowserController* main = this;
    while (auto* parent = dynamic_cast<Handle*>(main->linkedBrowser_)) main = parent->controller();
    return main;
}

void BrowserController::doLinkCommand(int tag) {
    const auto* command = BrowserNavigation::linkCommand(tag);
    if (!command || !record_) return;
    BrowserController* main = mainBrowser();
    std::vector<std::string> ids;
    if (command->list) {
        ids = linkLists().*(command->list);
    } else {
        ids = record_->crossRefsOnTheFly();
        if (ids.empty()) {
            beep();
            return;
        }
    }
    PickerAnswer action = [main](const RecordPtr& record, const Dictionary& info) { main->changeRecordInfo(record, info); };
    if (tag == kMultimediaTag)
        action = [main](const RecordPtr& record, const Dictionary& info) { main->changeOBJERecord(record, info); };
    main->selectRecordFromArray(ids, std::move(action), BrowserNavigation::message(command->message, *record_),
                                BrowserNavigation::optionsFor(*command, *record_));
}

void BrowserController::doMoveRecord(int step) {
    if (!record_) return;
    auto list = doc_.gedcomModel().recordsIndex().listForType(record_->recordType());
    if (auto record = BrowserNavigation::moveRecord(list.get(), step, record_)) changeRecord(record, std::string());
    else beep();
    validateToolbar();
}

void BrowserController::doMoveRecordInAlbum(int step) {
    auto* index = dynamic_cast<IndexController*>(windows_.indexController());
    const auto& list = index ? index->currentList() : nullptr;
    if (auto record = BrowserNavigation::moveRecordInAlbum(list.get(), step, record_,
                                                           index ? index->selectedRecord() : nullptr))
        changeRecord(record, std::string());
    else beep();
    validateToolbar();
}

// ---- choosing a record

SelectRecordController* BrowserController::getRecordPicker() {
    if (!picker_) picker_ = new SelectRecordController(this);
    return picker_;
}

void BrowserController::selectRecordFromArray(const std::vector<std::string>& ids, PickerAnswer action,
                                              const std::optional<std::string>& message,
                                              const std::optional<Dictionary>& options) {
    if (endActiveCell(0) == EditRefused) return;
    auto selection = BrowserNavigation::selectRecordFromArray(ids, message, options, doc_.gedcomModel());
    switch (selection.kind) {
    case BrowserNavigation::Selection::Failed: selectionFailed(selection.failure); return;
    case BrowserNavigation::Selection::Direct: action(selection.record, Dictionary{}); return;
    case BrowserNavigation::Selection::Sheet:
        getRecordPicker()->selectRecordFrom(selection.list, selection.options, this, std::move(action));
        return;
    }
}

void BrowserController::selectionFailed(const std::string& message) {
    AppAlerts::criticalAlert(localized(message).toStdString(), std::nullopt, this);
}

void BrowserController::changeRecordInfo(const RecordPtr& record, const Dictionary&) {
    if (record) changeRecord(record, std::string());
    validateToolbar();
}

void BrowserController::changeOBJERecord(const RecordPtr& record, const Dictionary& info) {
    const Value* click = info.get("RecordActionClick");
    if (record && !(click && click->toString() == "YES")) {
        changeRecordInfo(record, info);
        return;
    }
    if (!record_ || endActiveCell(0) == EditRefused) return;
    UndoManager& undo = doc_.undo();
    undo.beginUndoGrouping();
    const bool changed = record_->setPortraitOBJE(record);
    if (changed) undo.setActionName(record ? "Change Portrait" : "Set No Portrait");
    undo.endUndoGrouping();
    if (record && !changed)
        AppAlerts::criticalAlert(localized("The selected multimedia object could not be set as the portrait.").toStdString(),
                                 localized("You can only set multimedia objects at the main record level to be a portrait.")
                                     .toStdString(),
                                 this);
}

// ---- help

void BrowserController::setHelpHandler(HelpHandler handler) { helpHandler() = std::move(handler); }

void BrowserController::contextHelpTopic() {
    BrowserController* main = mainBrowser();
    const auto topic = BrowserNavigation::contextHelpTopic(main->record_.get(), &doc_.gedcomModel());
    if (!topic) return;
    if (helpHandler()) helpHandler()(*topic, "index_");
    else AppController::showAnchor(*topic, "index_", windows_.defaults());
}

}  // namespace kl
