// The index window's record and album commands on screen: the Edit menu
// with Undo, Redo and Delete Record, the Records menu (Search and the
// pickers of linked records and the merge commands), the albums menu's Remove from Album and Send
// Selected to Album, File > Export > Index Data and GEDCOM File, and the alerts and the
// record picker the commands show on the window.
#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSaveFile>
#include <QTableView>

#include "app/ui/AppAlerts.h"
#include "app/ui/DocController.h"
#include "app/ui/EditMenu.h"
#include "app/ui/ExportOptionsDialog.h"
#include "app/ui/Localized.h"
#include "document/DocumentCommands.h"
#include "document/GEDCOMDocument.h"
#include "document/RecordIdsDrag.h"
#include "document/RecordsIndices.h"
#include "document/ui/DocumentMenus.h"
#include "index/DocumentWindows.h"
#include "index/AlbumsMenu.h"
#include "index/IndexController.h"
#include "index/ui/IndexPrintView.h"
#include "index/ui/IndexWindow.h"
#include "index/ui/MergeOptions.h"
#include "index/ui/SearchPanel.h"
#include "index/ui/SelectRecordController.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

using Tag = IndexMenuValidation::Tag;

}  // namespace

QAction* IndexWindow::addCommandItem(QMenu* menu, const QString& title, int tag) {
    QAction* action = menu->addAction(title);
    action->setData(tag);
    connect(action, &QAction::triggered, this, [this, tag] { performCommand(tag); });
    commandActions_.push_back(action);
    return action;
}

void IndexWindow::buildRecordCommandMenus(QMenu* albums) {
    auto validateOnShow = [this](QMenu* menu) {
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            for (QAction* action : menu->actions())
                if (!action->isSeparator() && !action->menu() && action->data().isValid()) validateAction(action, true);
        });
    };
    // Edit comes right after File, which the document controller puts first.
    QMenu* edit = EditMenu::addEditMenu(*this, doc_.undo());
    addCommandItem(edit, tr("Delete Record"), Tag::DeleteRecords);
    validateOnShow(edit);
    const QList<QAction*> bar = menuBar()->actions();
    if (!bar.isEmpty() && bar.front() != edit->menuAction()) {
        menuBar()->removeAction(edit->menuAction());
        menuBar()->insertMenu(bar.front(), edit);
    }

    auto* records = new QMenu(tr("&Records"), this);
    records->addAction(tr("Search…"), QKeySequence(Qt::CTRL | Qt::Key_F), this, [this] { showSearchPanel(); });
    records->addSeparator();
    addCommandItem(records, tr("Sources..."), Tag::Sources);
    addCommandItem(records, tr("Places..."), Tag::Places);
    addCommandItem(records, tr("Multimedia..."), Tag::Multimedia);
    addCommandItem(records, tr("Referenced By..."), Tag::ReferencedBy);
    records->addSeparator();
    addCommandItem(records, tr("Merge Two Records..."), Tag::MergeTwoRecords);
    records->addAction(tr("Merge Duplicate UUIDs..."), this, [this] { controller().mergeDuplicateUUIDs(); });
    validateOnShow(records);
    menuBar()->insertMenu(albums->menuAction(), records);

    // This window is the key window whenever its menus are used.
    DocumentMenus::Window hooks;
    hooks.keyRecord = [this] { return controller().selectedRecord(); };
    hooks.keyRecords = [this] { return controller().selectedRecords(); };
    hooks.select = [this](const DocumentMenus::RecordPtr& record) { controller().selectAnyRecord(record); };
    hooks.open = [this](const DocumentMenus::RecordPtr& record, bool linkFile) {
        windows_->openRecordBrowser(record);
        if (linkFile && !windows_->linkNewMMRecord(record)) beep();
    };
    hooks.beep = [this] { beep(); };
    documentMenus_ = DocumentMenus::addDocumentMenus(*this, doc_, defaults_, edit, records, std::move(hooks));

    albums->addSeparator();
    addCommandItem(albums, tr("Remove from Album"), Tag::RemoveFromAlbum);
    QMenu* send = albums->addMenu(tr("Send Selected to Album"));
    connect(send, &QMenu::aboutToShow, this, [this, send] {
        send->clear();
        QAction* made = send->addAction(tr("New Album"));
        made->setData(AlbumsMenu::kNewAlbumTag);
        send->addSeparator();
        for (const auto& item : AlbumsMenu::loadAlbumsMenu({}, 0, doc_.gedcomModel().recordsIndex()))
            send->addAction(QString::fromStdString(item.title))->setData(item.tag);
        const bool any = !controller().selectedRows().empty();
        for (QAction* action : send->actions()) action->setEnabled(any);
    });
    connect(send, &QMenu::triggered, this, [this](QAction* action) {
        const int tag = action->data().toInt();
        if (tag == AlbumsMenu::kNewAlbumTag || tag >= AlbumsMenu::kFirstAlbumTag) controller().populateAlbum(tag);
    });

    // The document controller adds the File menu once the window is made.
    QMetaObject::invokeMethod(this, &IndexWindow::addExportToFileMenu, Qt::QueuedConnection);
}

void IndexWindow::addExportToFileMenu() {
    QMenu* file = nullptr;
    for (QAction* action : menuBar()->actions())
        if (action->menu() && action->menu()->title() == tr("&File")) file = action->menu();
    if (!file) {
        file = new QMenu(tr("&File"), this);
        const QList<QAction*> bar = menuBar()->actions();
        menuBar()->insertMenu(bar.isEmpty() ? nullptr : bar.front(), file);
    }
    auto* exportMenu = new QMenu(tr("Export"), file);
    addCommandItem(exportMenu, tr("Index Data..."), Tag::IndexData);
    QAction* gedcom = exportMenu->addAction(tr("GEDCOM File..."));
    gedcom->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    connect(gedcom, &QAction::triggered, this, [this] { exportGEDCOMData(doc_, defaults_, this); });
    const QList<QAction*> items = file->actions();
    // Before Quit, when the menu has it.
    QAction* before = nullptr;
    for (QAction* action : items)
        if (action->menuRole() == QAction::QuitRole) before = action;
    QAction* merge = new QAction(tr("Merge..."), file);
    merge->setData(kMergeTwoFilesTag);
    connect(merge, &QAction::triggered, this, [this] { performCommand(kMergeTwoFilesTag); });
    commandActions_.push_back(merge);
    file->insertAction(before, merge);
    connect(file, &QMenu::aboutToShow, this, [this, merge] { validateAction(merge, false); });
    file->insertMenu(before, exportMenu);
    QAction* pageSetup = new QAction(tr("Page Setup..."), file);
    pageSetup->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    connect(pageSetup, &QAction::triggered, this, [this] {
        if (documentMenus_) documentMenus_->runPageLayout(0);
    });
    file->insertAction(before, pageSetup);
    QAction* print = new QAction(tr("Print..."), file);
    print->setShortcut(QKeySequence::Print);
    connect(print, &QAction::triggered, this, [this] { printWithDialog(true); });
    file->insertAction(before, print);
    if (before) file->insertSeparator(before);
}

bool IndexWindow::performRecordCommand(int tag) {
    switch (tag) {
    case Tag::DeleteRecords: controller().deleteRecordCmd(); return true;
    case Tag::RemoveFromAlbum: controller().remove(); return true;
    case Tag::Sources: controller().doSourcesCmd(); return true;
    case Tag::Places: controller().doPlacesCmd(); return true;
    case Tag::Multimedia: controller().doMultimediaCmd(); return true;
    case Tag::ReferencedBy: controller().doReferencedByCmd(); return true;
    case Tag::MergeTwoRecords: controller().mergeTwoRecords(); return true;
    case Tag::IndexData: exportWindowData(); return true;
    case kMergeTwoFilesTag: mergeTwoFiles(); return true;
    default:
        if (documentMenus_ && documentMenus_->performCommand(tag)) return true;
        if (tag == AlbumsMenu::kNewAlbumTag || tag >= AlbumsMenu::kFirstAlbumTag) {
            controller().populateAlbum(tag);
            return true;
        }
        return false;
    }
}

MergeOptions* IndexWindow::mergeTwoFiles() {
    auto* sheet = MergeOptions::initForDoc(doc_, this);
    sheet->startSheet(this, [this](KLSheet& done, const Value& code) {
        const auto answer = static_cast<MergeOptions&>(done).answer(static_cast<int>(code.toInteger(KLSheet::CancelCode)));
        done.deleteLater();
        mergeRecords(answer);
    });
    return sheet;
}

bool IndexWindow::mergeRecords(const std::optional<MergeAnswer>& answer) {
    if (!answer) return false;
    return doc_.mergeRecords(answer, mergeWindows(answer->sourceDoc));
}

MergeWindows IndexWindow::mergeWindows(GEDCOMDocument* source) {
    MergeWindows windows;
    QPointer<IndexWindow> self(this);
    QPointer<IndexWindow> other;
    DocController* documents = DocController::sharedDocumentController();
    if (source && documents) {
        other = qobject_cast<IndexWindow*>(documents->windowForDocument(*source));
        windows.sourceDisplayName = documents->displayName(*source).toStdString();
    }
    windows.createAlbumNamed = [self](const std::optional<std::string>& name) {
        return self ? self->controller().createAlbumNamed(name) : nullptr;
    };
    windows.setViewUpdates = [self, other](bool on) {
        for (IndexWindow* window : {self.data(), other.data()}) {
            if (!window) continue;
            if (on)
                window->controller().enableViewUpdates();
            else
                window->controller().disableViewUpdates();
        }
    };
    return windows;
}

GEDCOMDocument* IndexWindow::openDocumentWithKey(const std::string& key) const {
    if (DocController* documents = DocController::sharedDocumentController())
        for (GEDCOMDocument* open : documents->documents())
            if (open != &doc_ && documentKeyFor(open) == key) return open;
    return nullptr;
}

SearchPanel* IndexWindow::showSearchPanel() {
    if (!searchPanel_) searchPanel_ = new SearchPanel(doc_, controller(), *windows_, this);
    searchPanel_->showSearch();
    return searchPanel_;
}

int IndexWindow::criticalAlert(const std::string& message, const std::string& information,
                               const std::vector<std::string>& buttons) {
    if (buttons.size() < 2) {
        AppAlerts::criticalAlert(message, information, this);
        return 0;
    }
    const int pressed = AppAlerts::runCriticalAlert(message, information, buttons[0], buttons[1],
                                                    buttons.size() > 2 ? AppAlerts::Title(buttons[2]) : std::nullopt);
    return pressed - 1000;
}

void IndexWindow::runRecordPicker(const std::shared_ptr<RecordsListForPanel>& list, const Dictionary& options,
                                  PickerAnswer chosen) {
    if (!picker_) picker_ = new SelectRecordController(this);
    picker_->selectRecordFrom(list, options, this, std::move(chosen));
}

int IndexWindow::printWithDialog(bool showPanel, const std::optional<Dictionary>& settings) {
    doc_.setPrintingStatusFlag(true);
    Dictionary info = doc_.printInfo();
    if (settings)
        for (std::size_t i = 0; i < settings->size(); ++i) info.set(settings->keyAt(i), settings->valueAt(i));
    IndexPrintView::Content content = IndexPrintView::ofTable(*recordsTable_, true);
    content.headerLines = IndexController::fileNameAndDates(doc_);
    content.headerLines.push_back(localized("Printed").toStdString() + ": " +
                                  QDateTime::currentDateTime().toString().toStdString());
    const auto& list = controller().currentList();
    content.headerLines.push_back(localized("Records Type").toStdString() + ": " + (list ? list->name() : std::string()));
    content.headerLines.push_back(localized("Number").toStdString() + ": " + std::to_string(content.rows.size()));
    const int pages = IndexPrintView::printWithPanel(info, content, recordsTable_->font(), showPanel, this);
    doc_.setPrintingStatusFlag(false);
    return pages;
}

void IndexWindow::exportWindowData() {
    auto* panel = new QFileDialog(this, localized("Select text file for saving index window data"));
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setNameFilter(tr("Text (*.txt)"));
    panel->setDefaultSuffix("txt");
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowModality(Qt::WindowModal);
    QPointer<IndexWindow> alive(this);
    connect(panel, &QFileDialog::fileSelected, this, [alive](const QString& file) {
        if (alive) alive->exportWindowDataTo(file.toStdString());
    });
    panel->open();
}

bool IndexWindow::exportWindowDataTo(const std::string& path) {
    const std::string text = controller().exportIndexColumns();
    // Written beside the target and renamed over it: a failed write leaves
    // the old file as it was.
    QSaveFile file(QString::fromStdString(path));
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size()) &&
                         file.commit();
    if (!written) {
        AppAlerts::criticalAlert(localized("The data cannot be exported to a text file.").toStdString(),
                                 file.errorString().toStdString(), this);
        return false;
    }
    return true;
}

}  // namespace kl
