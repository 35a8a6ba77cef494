// What link buttons and multimedia cells ask of the browser, the helper
// and link sheets, and copying or moving a multimedia file into the
// document's library (Records menu).
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>

#include <filesystem>

#include "app/AppController.h"
#include "app/ui/AppAlerts.h"
#include "browser/MultimediaCopy.h"
#include "browser/SourceMark.h"
#include "browser/ui/BrowserController.h"
#include "browser/ui/MultimediaSheets.h"
#include "cells/MultimediaCell.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "foundation/Logger.h"
#include "foundation/MainThread.h"
#include "foundation/UserDefaults.h"
#include "index/DocumentWindows.h"
#include "model/GEDCOMStructure.h"
#include "model/OBJERecord.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

// Whether a resolved file lies in one of the document's library folders.
bool inLibrary(const OBJERecord::Resolved& found, const GEDCOMModel& model) {
    return found.root && OBJERecord::inRealMMLibrary(*found.root, model.multimediaRoot(), model.fileURL());
}

}  // namespace

// ---- LinkHost

GEDCOMModel* BrowserController::linkModel() { return &doc_.gedcomModel(); }

UserDefaults& BrowserController::linkDefaults() { return windows_.defaults(); }

void BrowserController::openLinkedRecord(const RecordPtr& record, Open where, const std::optional<std::string>& paneID) {
    if (!record) return;
    // The pane holding the clicked button is rebuilt by the opening: it
    // waits until the click has been handled.
    Dispatcher::current().postDeferred(this, [this, record, where, paneID] {
        switch (where) {
        case Open::ThisWindow: changeRecord(record, paneID.value_or(std::string())); break;
        case Open::NewWindow: windows_.openRecordBrowser(record, paneID, nullptr, false); break;
        case Open::ChildWindow: windows_.openAssociatedRecordBrowser(record, handle_, paneID); break;
        }
    });
}

std::optional<std::string> BrowserController::browserPaneID() const {
    return paneID_.empty() ? std::nullopt : std::optional<std::string>(paneID_);
}

void BrowserController::recordNotOpened(const std::string& message) {
    AppAlerts::criticalAlert("The requested record could not be opened", message, this);
}

void BrowserController::beep() { QApplication::beep(); }

bool BrowserController::performMenuItem(int menuTag, int submenuTag, int itemTag) {
    const int wanted = menuTag + submenuTag + itemTag;
    const auto actions = menuBar()->findChildren<QAction*>();
    for (QAction* action : actions) {
        if (action->data().toInt() != wanted || action->menu()) continue;
        if (!action->isEnabled()) return false;
        action->trigger();
        return true;
    }
    return false;
}

void BrowserController::runScript(const std::string& name, int type, const std::optional<std::string>& message) {
    if (!AppController::runScript(name, type, message)) beep();
}

// A link's "Designate ... as this record's portrait" item.
void BrowserController::changeOBJERecord(const RecordPtr& record) {
    Dictionary info;
    info.set("RecordActionClick", Value("YES"));
    changeOBJERecord(record, info);
}

// ---- the helper sheet

void BrowserController::confirmHelper(const std::string& application, int option, const std::string& file,
                                      const std::string& format) {
    auto* sheet = new HelperSheet(this, application, option, format);
    UserDefaults* defaults = &windows_.defaults();
    connect(sheet, &QDialog::finished, this, [sheet, application, option, file, format, defaults](int result) {
        if (result == 0) return;
        const std::string chosen = sheet->application();
        const int row = sheet->option();
        const bool doNotAsk = sheet->doNotAskAgain();
        MultimediaCell::confirmedMultimediaClick(file, chosen, row);
        // Confirming what was stored, still asking, changes nothing.
        if (chosen == application && row == option && !doNotAsk) return;
        MultimediaCell::storeHelperChoice(format, {chosen, row, !doNotAsk}, *defaults);
    });
    sheet->open();
}

// ---- the Records menu

void BrowserController::addRecordsMenu() {
    recordsMenu_ = menuBar()->addMenu(tr("Records"));
    QAction* link = recordsMenu_->addAction(tr("Link to File or Address..."));
    link->setData(kLinkMultimediaTag);
    connect(link, &QAction::triggered, this, [this] { attachGeneric(kLinkMultimediaTag); });
    QAction* copy = recordsMenu_->addAction(tr("Copy Multimedia File..."));
    copy->setData(kCopyMultimediaTag);
    connect(copy, &QAction::triggered, this, [this] {
        copyMultimediaObject((QApplication::keyboardModifiers() & Qt::AltModifier) != 0);
    });
    QAction* source = recordsMenu_->addAction(tr("Edit GEDCOM Source"));
    source->setData(kShowSourceTag);
    connect(source, &QAction::triggered, this, [this] { showGEDCOMEditor(); });
    QAction* merge = recordsMenu_->addAction(tr("Merge Two Records..."));
    merge->setData(kMergeTwoRecordsTag);
    connect(merge, &QAction::triggered, this, [this] { mergeTwoRecords(); });
    addEditingItems();
    addLinkingItems();
    connect(recordsMenu_, &QMenu::aboutToShow, this, [this] { validateRecordsMenu(); });
    validateRecordsMenu();
}

void BrowserController::showGEDCOMEditor() {
    if (!record_ || record_->isType("_RPT")) {
        beep();
        return;
    }
    CustomCell* focused = focusedCell();
    const std::shared_ptr<GEDCOMObject> structure =
        sourceStructureToMark(*windowRecord(), *record_, focused ? focused->structure() : nullptr);
    for (const auto& window : windows_.windowControllers())
        if (window->showSourceForRecord(record_, structure.get())) return;
    beep();
}

void BrowserController::validateRecordsMenu() {
    auto object = std::dynamic_pointer_cast<OBJERecord>(record_);
    bool isURL = false;
    const bool hasFile = object && object->mmFileFullPathOrURL(&isURL).has_value();
    const bool move = (QApplication::keyboardModifiers() & Qt::AltModifier) != 0;
    for (QAction* action : recordsMenu_->actions()) {
        const int tag = action->data().toInt();
        if (tag == kShowSourceTag) action->setEnabled(record_ && !record_->isType("_RPT"));
        if (tag == kMergeTwoRecordsTag) {
            const auto title = mergeTwoRecordsTitle();
            action->setEnabled(title.has_value());
            if (title) action->setText(QString::fromStdString(*title));
        }
        if (tag == kCopyMultimediaTag) {
            action->setEnabled(hasFile);
            action->setText(move ? tr("Move Multimedia File...") : tr("Copy Multimedia File..."));
        }
    }
    validateEditingItems(*recordsMenu_);
}

// ---- the link sheet

void BrowserController::startLinkMmPanel() {
    auto object = std::dynamic_pointer_cast<OBJERecord>(record_);
    if (!object) {
        beep();
        return;
    }
    if (endActiveCell(0) == EditRefused) return;
    LinkMultimediaSheet::Fields fields;
    const std::string name = object->mmFileName(&fields.isURL);
    (fields.isURL ? fields.url : fields.file) = name;
    if (auto title = object->titleStructure()) fields.title = title->contents();
    fields.kind = object->mmFormat();
    fields.formType = object->mmFormType();
    GEDCOMModel* model = &doc_.gedcomModel();
    auto resolve = [model](const std::string& path) -> std::optional<LinkMultimediaSheet::Resolved> {
        auto found = OBJERecord::multimediaFile(path, model->multimediaRoot(), model->fileURL());
        if (!found) return std::nullopt;
        return LinkMultimediaSheet::Resolved{found->stored, found->fullPath(),
                                             OBJERecord::getMmFileFormat(found->stored, found->root)};
    };
    auto* sheet = new LinkMultimediaSheet(this, fields, resolve);
    connect(sheet, &QDialog::finished, this, [this, sheet, object, resolve](int result) {
        if (result == 0 || object != record_) return;
        LinkMultimediaSheet::Fields chosen = sheet->fields();
        static constexpr const char* forms[] = {"",           "photo",      "video", "audio", "card",
                                                "book",       "electronic", "fiche", "film",  "magazine",
                                                "manuscript", "newspaper",  "map",   "tombstone", "other"};
        const std::string formType = chosen.formType >= 0 && chosen.formType < 15 ? forms[chosen.formType] : "";
        int moveOption = LinkAsIs;
        std::string path;
        std::string title = chosen.title;
        std::optional<std::string> fullPath;
        if (chosen.isURL) {
            path = chosen.url;
            if (title.empty()) title = path;
        } else {
            auto found = resolve(chosen.file);
            if (!found) {
                beep();
                return;
            }
            auto where = OBJERecord::multimediaFile(chosen.file, doc_.gedcomModel().multimediaRoot(),
                                                    doc_.gedcomModel().fileURL());
            const GEDCOMModel& model = doc_.gedcomModel();
            if (where && !inLibrary(*where, model)) moveOption = getMoveOptionForFile(found->fullPath, true, windows_.defaults());
            if (MultimediaCell::isZeroSize(found->fullPath, true)) return;
            if (title.empty()) title = fs::path(found->fullPath).filename().string();
            path = found->stored;
            fullPath = found->fullPath;
        }
        UndoManager& undo = doc_.undo();
        undo.beginUndoGrouping();
        object->attachMultimedia(path, title, chosen.kind, formType);
        if (fullPath)
            if (auto properties = OBJERecord::getFileProperties(*fullPath)) object->addImageProperties(*properties);
        undo.setActionName("Attach Link to Multimedia");
        undo.endUndoGrouping();
        if (moveOption != LinkAsIs) copyOrMoveMultimediaObject(moveOption, {}, true);
    });
    sheet->open();
}

int BrowserController::getMoveOptionForFile(const std::string& file, bool canCancel, UserDefaults& defaults) {
    (void)canCancel;
    if (!defaults.boolForKey(kWarnNonLibraryKey)) return LinkAsIs;
    return AppAlerts::runInfoAlert(
        "The multimedia file " + fs::path(file).filename().string() +
            " is not in any multimedia library folder for this document.",
        std::string("Would you like to move or copy the file to a multimedia folder (which you can pick) or link to "
                    "the file you selected as is? (You can disable this warning in the general preferences)"),
        std::string("Link As Is"), std::string("Move To Library"), std::string("Copy To Library"));
}

// ---- copying and moving

void BrowserController::copyMultimediaObject(bool move) {
    copyOrMoveMultimediaObject(move ? MoveToLibrary : CopyToLibrary, {}, true);
}

void BrowserController::copyOrMoveMultimediaObject(int moveOption, const std::vector<std::string>& moreIDs, bool) {
    auto object = std::dynamic_pointer_cast<OBJERecord>(record_);
    std::optional<std::string> source = object ? object->mmFileFullPathOrURL() : std::nullopt;
    if (!source) {
        beep();
        if (!moreIDs.empty()) {
            Dispatcher::current().postDeferred(this, [this] { closeSoon(); });
            windows_.bulkCopyMultimediaObjects(doc_.gedcomModel(), moreIDs);
        }
        return;
    }
    const auto roots = doc_.gedcomModel().multimediaRoot();
    QString folder;
    if (!roots.empty()) folder = QString::fromStdString(OBJERecord::standardizedPath(roots.front()));
    else if (auto file = doc_.fileURL()) folder = QString::fromStdString(file->parent_path().string());
    const fs::path name = fs::path(*source).filename();
    const QString extension = QString::fromStdString(name.extension().string());
    QFileDialog panel(this, moveOption == MoveToLibrary ? tr("Move Multimedia File") : tr("Copy Multimedia File"),
                      folder + "/" + QString::fromStdString(name.string()));
    panel.setOption(QFileDialog::DontUseNativeDialog);
    panel.setAcceptMode(QFileDialog::AcceptSave);
    panel.setOption(QFileDialog::DontConfirmOverwrite);
    if (!extension.isEmpty()) panel.setNameFilter(tr("Files (*%1)").arg(extension));
    const bool saved = panel.exec() == QDialog::Accepted && !panel.selectedFiles().isEmpty();
    const std::string destination = saved ? panel.selectedFiles().front().toStdString() : std::string();
    if (saved) copyMMFile(destination, *source, moveOption, moreIDs);
    if (!moreIDs.empty()) {
        // The queue goes on whatever happened here, cancelling included.
        Dispatcher::current().postDeferred(this, [this] { closeSoon(); });
        windows_.bulkCopyMultimediaObjects(doc_.gedcomModel(), moreIDs);
    }
}

void BrowserController::copyMMFile(const std::string& destination, const std::string& origPath, int moveOption,
                                   const std::vector<std::string>&) {
    auto object = std::dynamic_pointer_cast<OBJERecord>(record_);
    std::error_code error;
    if (!object || !fs::exists(origPath, error)) return;
    switch (copyMultimediaFile(origPath, destination)) {
    case MultimediaCopyResult::CouldNotReplace:
        AppAlerts::criticalAlert(
            "Unable to copy multimedia object to replace another file, because that file could not be deleted.",
            std::nullopt, nullptr);
        return;
    case MultimediaCopyResult::CopyFailed:
        AppAlerts::criticalAlert("Unable to copy multimedia object to the requested folder", std::nullopt, nullptr);
        return;
    case MultimediaCopyResult::Copied: break;
    }
    GEDCOMModel& model = doc_.gedcomModel();
    auto found = OBJERecord::multimediaFile(destination, model.multimediaRoot(), model.fileURL());
    UndoManager& undo = doc_.undo();
    undo.beginUndoGrouping();
    object->attachMultimedia(found ? found->stored : destination, std::nullopt, std::nullopt, std::string());
    undo.setActionName("Link to Copied/Moved File");
    undo.endUndoGrouping();
    if (moveOption != MoveToLibrary || fs::equivalent(origPath, destination, error)) return;
    if (!fs::remove(origPath, error) || error)
        AppAlerts::infoAlert("The multimedia object was moved to the location, but the original could not be deleted.",
                             std::nullopt, nullptr);
}

void BrowserController::moveOrCopyMM(std::vector<std::string> queue) {
    Dispatcher::current().postDeferred(this, [this, queue] {
        auto object = std::dynamic_pointer_cast<OBJERecord>(record_);
        const std::optional<std::string> file = object ? object->mmFileFullPathOrURL() : std::nullopt;
        if (file && !MultimediaCell::isZeroSize(*file, false)) {
            const int option = getMoveOptionForFile(*file, false, windows_.defaults());
            if (option != LinkAsIs) {
                copyOrMoveMultimediaObject(option, queue, false);
                return;
            }
        }
        closeSoon();
        windows_.bulkCopyMultimediaObjects(doc_.gedcomModel(), queue);
    });
}

}  // namespace kl
