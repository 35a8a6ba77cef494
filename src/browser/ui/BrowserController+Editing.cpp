// The record window's commands that take links away, delete the record or
// change one of its properties, and Copy Event / Paste Event. Each one ends
// editing in the focused cell first: a value the cell refuses stops it
// before anything changes.
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

#include "app/ui/AppAlerts.h"
#include "app/ui/DocController.h"
#include "app/ui/KLSheet.h"
#include "app/ui/Localized.h"
#include "browser/EventCopy.h"
#include "browser/RecordEditing.h"
#include "browser/ui/BrowserController.h"
#include "cells/CustomCell.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "document/RecordsListForPanel.h"
#include "foundation/FormatText.h"
#include "foundation/PropertyList.h"
#include "foundation/UndoManager.h"
#include "index/DocumentWindows.h"
#include "index/ui/SelectRecordController.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/HEADRecord.h"
#include "model/INDIRecord.h"

namespace kl {

namespace {

// The singular name of a record's type, or the type where the name is
// unknown.
std::string singularName(const GEDCOMRecord& record) {
    const std::string name = RecordsIndices::singularNameForRecordType(record.recordType(), &record);
    return name == "????" ? record.recordType() : name;
}

// The restriction sheet: none, confidential, locked, privacy, the row
// numbers being the codes the command reads.
class RestrictionSheet : public KLSheet {
public:
    RestrictionSheet(QWidget* parent, int row) : KLSheet("RestrictionSheet", parent) {
        setWindowTitle(localized("Restriction"));
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(localized("Restriction of this record:"), this));
        const char* titles[] = {"None", "Confidential", "Locked", "Privacy"};
        for (int i = 0; i < 4; ++i) {
            auto* button = new QRadioButton(localized(titles[i]), this);
            button->setObjectName(QStringLiteral("restriction%1").arg(i));
            button->setChecked(i == row);
            buttons_[i] = button;
            layout->addWidget(button);
        }
        auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
        layout->addWidget(box);
    }
    int selectedRow() const {
        for (int i = 0; i < 4; ++i)
            if (buttons_[i]->isChecked()) return i;
        return -1;
    }

private:
    QRadioButton* buttons_[4] = {};
};

// The name a copied event carries of its document: the file's path, or
// for a document never saved a name no other open document shares (two
// untitled documents must not take each other's record links for their
// own).
std::string pasteboardName(const GEDCOMDocument& doc) {
    if (const auto& file = doc.myFileName()) return file->string();
    char address[32];
    std::snprintf(address, sizeof address, "Untitled %p", static_cast<const void*>(&doc));
    return address;
}

int restrictionRow(RecordRestriction code) {
    switch (code) {
    case RestrictionConfidential: return 1;
    case RestrictionLocked: return 2;
    case RestrictionPrivacy: return 3;
    default: return 0;
    }
}

RecordRestriction restrictionOfRow(int row) {
    switch (row) {
    case 0: return RestrictionNone;
    case 1: return RestrictionConfidential;
    case 2: return RestrictionLocked;
    default: return RestrictionPrivacy;
    }
}

}  // namespace

bool BrowserController::isMainSubmitter(const GEDCOMRecord& record) const {
    auto header = std::dynamic_pointer_cast<HEADRecord>(doc_.gedcomModel().header());
    return header && header->mainSubmitter() == record.grecordID();
}

void BrowserController::addEditingItems() {
    const auto add = [this](QMenu* menu, const QString& title, int tag, void (BrowserController::*command)()) {
        QAction* action = menu->addAction(title);
        action->setData(tag);
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    recordsMenu_->addSeparator();
    add(recordsMenu_, tr("Delete Record"), kDeleteRecordTag, &BrowserController::deleteRecordCmd);
    QMenu* detach = recordsMenu_->addMenu(tr("Detach"));
    detach->setObjectName("DetachMenu");
    add(detach, tr("Husband"), kDetachHusbandTag, &BrowserController::detachHusbandCommand);
    add(detach, tr("Wife"), kDetachWifeTag, &BrowserController::detachWifeCommand);
    add(detach, tr("Child..."), kDetachChildTag, &BrowserController::detachChildCommand);
    add(detach, tr("Event, Attribute or Link..."), kDetachEventTag, &BrowserController::detachEventCommand);
    connect(detach, &QMenu::aboutToShow, this, [this] { validateRecordsMenu(); });
    recordsMenu_->addSeparator();
    add(recordsMenu_, tr("Copy Event"), kCopyEventTag, &BrowserController::copyEventCommand);
    add(recordsMenu_, tr("Paste Event"), kPasteEventTag, &BrowserController::pasteEventCommand);
    recordsMenu_->addSeparator();
    add(recordsMenu_, tr("Restriction..."), kRestrictionTag, &BrowserController::changeRestriction);
    add(recordsMenu_, tr("Change Sex"), kChangeSexTag, &BrowserController::changeSexCommand);
    add(recordsMenu_, tr("Not Married Status"), kMaritalStatusTag, &BrowserController::changeMaritalStatus);
}

std::optional<DocumentMenuAnswer> BrowserController::validateEditingTag(int tag) {
    GEDCOMRecord* record = record_.get();
    const bool unlocked = record && !record->isLocked();
    const bool individual = record && record->isType("INDI");
    auto family = std::dynamic_pointer_cast<FAMRecord>(record_);
    const bool main = linkedBrowser_ == nullptr;
    switch (tag) {
    case kDeleteRecordTag: {
        if (!record) return DocumentMenuAnswer{false, std::nullopt};
        const bool header = record->isType("HEAD");
        const bool mainSubmitter = record->isType("SUBM") && isMainSubmitter(*record);
        if (header || mainSubmitter) return DocumentMenuAnswer{false, localized("Delete Record").toStdString()};
        return DocumentMenuAnswer{unlocked,
                                  formatText(localized("Delete %@ Record").toStdString(), {singularName(*record)})};
    }
    case kCopyEventTag: return DocumentMenuAnswer{individual || family, std::nullopt};
    case kPasteEventTag: {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        const bool copied = data && data->hasFormat(EventCopy::kPasteboardType);
        return DocumentMenuAnswer{(individual || family) && unlocked && copied, std::nullopt};
    }
    case kRestrictionTag: return DocumentMenuAnswer{(individual || family) && main, std::nullopt};
    case kChangeSexTag: return DocumentMenuAnswer{unlocked && individual && main, std::nullopt};
    case kMaritalStatusTag:
        return DocumentMenuAnswer{unlocked && family,
                                  family ? std::optional<std::string>(localized(family->isUnmarried() ? "Married Status"
                                                                                                       : "Not Married Status")
                                                                          .toStdString())
                                         : std::nullopt};
    case kDetachHusbandTag: return DocumentMenuAnswer{unlocked && family && !family->husbandID().empty(), std::nullopt};
    case kDetachWifeTag: return DocumentMenuAnswer{unlocked && family && !family->wifeID().empty(), std::nullopt};
    case kDetachChildTag: return DocumentMenuAnswer{unlocked && family && !lists_.children.empty(), std::nullopt};
    case kDetachEventTag: return DocumentMenuAnswer{unlocked, std::nullopt};
    default: return std::nullopt;
    }
}

void BrowserController::validateEditingItems(QMenu& menu) {
    for (QAction* action : menu.actions()) {
        if (QMenu* sub = action->menu()) {
            validateEditingItems(*sub);
            continue;
        }
        const int tag = action->data().toInt();
        auto answer = validateEditingTag(tag);
        if (!answer) answer = validateLinkingTag(tag);
        if (answer) {
            action->setEnabled(answer->enabled);
            if (answer->title) action->setText(QString::fromStdString(*answer->title));
        }
    }
}

// ---- detaching

void BrowserController::detachHusbandCommand() { detachSpouseCommand("HUSB"); }
void BrowserController::detachWifeCommand() { detachSpouseCommand("WIFE"); }

void BrowserController::detachSpouseCommand(const std::string& role) {
    auto family = std::dynamic_pointer_cast<FAMRecord>(record_);
    if (!family) return beep();
    if (endActiveCell(0) == EditRefused) return;
    RecordEditing::detachSpouse(*family, role);
}

void BrowserController::detachChildCommand() {
    auto family = std::dynamic_pointer_cast<FAMRecord>(record_);
    if (!family) return beep();
    QPointer<BrowserController> self(this);
    mainBrowser()->selectRecordFromArray(
        lists_.children,
        [self, family](const RecordPtr& chosen, const Dictionary&) {
            auto child = std::dynamic_pointer_cast<INDIRecord>(chosen);
            if (!self || !child) return;
            RecordEditing::detachChild(*family, child);
        },
        localized("Select child to detach from this family").toStdString(), std::nullopt);
}

void BrowserController::detachEventCommand() {
    if (!record_) return beep();
    if (endActiveCell(0) == EditRefused) return;
    auto entries = std::make_shared<DetachEntries>(&doc_.gedcomModel());
    record_->detachableEventsAttributesLinks(*entries);
    if (entries->list()->count() == 0) {
        AppAlerts::criticalAlert(
            localized("No data can be detached.").toStdString(),
            localized("There are no events, attributes, or links in this record that can be detached.").toStdString(),
            this);
        return;
    }
    Dictionary options{{"message", Value(localized("Select event/attribute/link to detach").toStdString())}};
    QPointer<BrowserController> self(this);
    mainBrowser()->getRecordPicker()->selectRecordFrom(
        entries->list(), options, mainBrowser(), [self, entries](const RecordPtr& chosen, const Dictionary&) {
            if (!self || !chosen) return;
            if (const auto entry = entries->entryFor(chosen.get())) self->detachEventNow(entry->parent, entry->link);
        });
}

void BrowserController::detachEventNow(const std::shared_ptr<GEDCOMObject>& parent,
                                       const std::shared_ptr<GEDCOMObject>& link) {
    auto item = std::dynamic_pointer_cast<GEDCOMStructure>(link);
    if (!record_ || !parent || !item) return beep();
    GEDCOMModel& model = doc_.gedcomModel();
    std::shared_ptr<GEDCOMRecord> alsoDelete;
    if (auto orphan = RecordEditing::orphanedByDetaching(*record_, *item, model)) {
        const std::string name = singularName(*orphan);
        const int answer =
            AppAlerts::runAlert(AlertButtons::Informational,
                                formatText(localized(RecordEditing::kDeleteLinkedQuestion).toStdString(), {name, name}),
                                localized(RecordEditing::kDeleteLinkedInfo).toStdString(),
                                AlertButtons{localized("No").toStdString(), localized("Cancel").toStdString(),
                                             localized("Yes").toStdString()});
        if (answer == AlertButtons::responseForIndex(1)) return;
        if (answer == AlertButtons::responseForIndex(2)) alsoDelete = orphan;
    }
    RecordEditing::detachItem(*record_, *parent, item, model, alsoDelete);
}

// ---- deleting

void BrowserController::deleteRecordCmd() {
    if (!record_) return beep();
    const auto answer = validateEditingTag(kDeleteRecordTag);
    if (!answer || !answer->enabled) return beep();
    RecordPtr record = record_;
    RecordPtr parent;
    if (auto* opener = mainBrowser()->linkedBrowser_) parent = opener->theRecord();
    if (parent && record->shouldVerifyDeleteAsChildOf(*parent)) {
        if (endActiveCell(0) == EditRefused) return;
        const std::string name = singularName(*record);
        const int choice = AppAlerts::runAlert(
            AlertButtons::Critical,
            formatText(localized("Are you sure you want to delete this %@ record?").toStdString(), {name}),
            formatText(
                localized("The %@ record is linked to other records too. Click 'Yes' to completely delete the record "
                          "or 'Detach' to just remove link to this record.")
                    .toStdString(),
                {name}),
            AlertButtons{localized("Yes").toStdString(), localized("Detach").toStdString(),
                         localized("Cancel").toStdString()});
        if (choice == AlertButtons::responseForIndex(2)) return;
        if (choice == AlertButtons::responseForIndex(1)) {
            if (RecordEditing::detachFromParent(*record, *parent)) closeSoon();
            else beep();
            return;
        }
    }
    if (const auto refusal = record->canBeDeleted(1)) {
        // The record may have asked the user already.
        if (*refusal == "Skip" || *refusal == "Cancel") return;
        AppAlerts::criticalAlert(formatText(localized("The record '%@' cannot be deleted because %@.").toStdString(),
                                            {record->viewName(), *refusal}),
                                 std::nullopt, this);
        return;
    }
    QPointer<BrowserController> self(this);
    QTimer::singleShot(0, this, [self, record] {
        if (!self) return;
        UndoManager& undo = self->doc_.undo();
        undo.beginUndoGrouping();
        self->doc_.gedcomModel().deleteRecord(record);
        undo.setActionName("Delete Record");
        undo.endUndoGrouping();
    });
}

// ---- properties

void BrowserController::changeSexCommand() {
    auto person = std::dynamic_pointer_cast<INDIRecord>(record_);
    if (!person) return;
    if (endActiveCell(0) == EditRefused) return;
    const RecordEditing::SexChange change = RecordEditing::sexChange(*person);
    if (change.ask) {
        // These two texts are kept as they are in every language.
        std::string question = formatText("Do you want to change the current individual's sex to %@?", {change.newSex});
        std::string info =
            formatText("If you change the sex, %@ will be detached from all family records where %@ is a spouse.",
                       {change.pronoun, change.pronoun});
        const int answer = AppAlerts::runAlert(AlertButtons::Critical, question, info, AlertButtons{"OK", "Cancel", std::nullopt});
        if (answer != AlertButtons::responseForIndex(0)) return;
    }
    RecordEditing::changeSex(*person, change.value);
}

void BrowserController::changeRestriction() {
    if (!record_ || !(record_->isType("INDI") || record_->isType("FAM"))) return;
    if (endActiveCell(0) == EditRefused) return;
    auto* sheet = new RestrictionSheet(this, restrictionRow(record_->resn()));
    RecordPtr record = record_;
    QPointer<BrowserController> self(this);
    connect(sheet, &QDialog::finished, this, [self, sheet, record](int result) {
        sheet->deleteLater();
        if (!self || result != QDialog::Accepted) return;
        const int row = sheet->selectedRow();
        if (row < 0) return;
        const RecordRestriction code = restrictionOfRow(row);
        if (code == record->resn()) return;
        UndoManager& undo = self->doc_.undo();
        undo.beginUndoGrouping();
        record->setResn(code);
        undo.setActionName("Changed Restriction");
        undo.endUndoGrouping();
    });
    sheet->open();
}

void BrowserController::changeMaritalStatus() {
    auto family = std::dynamic_pointer_cast<FAMRecord>(record_);
    if (!family) return beep();
    if (endActiveCell(0) == EditRefused) return;
    RecordEditing::toggleMaritalStatus(*family);
    maintainMenus();
}

// ---- copying and pasting events

void BrowserController::copyEventCommand() {
    if (!record_) return;
    CustomCell* focused = focusedCell();
    const auto structure = focused ? focused->structure() : nullptr;
    const auto event = EventCopy::eventToCopy(*record_, structure.get());
    if (!event) {
        AppAlerts::criticalAlert(EventCopy::kCopyError, std::string(EventCopy::kCopyErrorInfo), this);
        return;
    }
    const std::string name = pasteboardName(doc_);
    const auto plist = PropertyList::writeXML(Value(EventCopy::pasteboardArray(*event, name)));
    if (!plist) return beep();
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(event->gedcomString()));
    data->setData(EventCopy::kPasteboardType, QByteArray::fromStdString(*plist));
    QApplication::clipboard()->setMimeData(data);
}

void BrowserController::pasteEventCommand() {
    if (!record_) return;
    const QMimeData* data = QApplication::clipboard()->mimeData();
    const auto plist = data && data->hasFormat(EventCopy::kPasteboardType)
                           ? PropertyList::read(data->data(EventCopy::kPasteboardType).toStdString())
                           : std::nullopt;
    const Array* lines = plist ? plist->array() : nullptr;
    if (!lines || lines->size() < 2) return beep();
    if (endActiveCell(0) == EditRefused) return;
    const std::string from = lines->back().toString();
    const bool sameDocument = pasteboardName(doc_) == from;
    const auto pasted = EventCopy::paste(*lines, sameDocument, *record_, doc_.gedcomModel());
    if (pasted.outcome == EventCopy::Paste::WrongTag) {
        AppAlerts::criticalAlert(EventCopy::kPasteError,
                                 formatText(EventCopy::kPasteErrorInfo, {pasted.tag, singularName(*record_)}), this);
    } else if (pasted.outcome == EventCopy::Paste::Nothing) {
        beep();
    }
}

}  // namespace kl
