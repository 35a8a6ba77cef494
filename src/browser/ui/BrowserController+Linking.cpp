// The record window's Records ▸ Attach items: husband, wife and child (a
// new family around an individual, a link from an individual or family to
// a citeable record), events and attributes of the format, links to notes,
// sources, multimedia and research logs, optional data of the template,
// associations, a quick comment on the focused field, and the four sorts.
// Every command ends editing in the focused cell first; most pickers open
// on the main browser so that a child window's choice shows over its main
// window.
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTimer>
#include <QVBoxLayout>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "app/ui/AppAlerts.h"
#include "app/ui/KLSheet.h"
#include "app/ui/Localized.h"
#include "browser/RecordLinking.h"
#include "browser/ui/BrowserController.h"
#include "cells/CellKinds.h"
#include "cells/EditValueCell.h"
#include "cells/TextFieldCell.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "document/RecordsListForPanel.h"
#include "foundation/MainThread.h"
#include "index/DocumentWindows.h"
#include "index/ui/SelectRecordController.h"
#include "model/EVENTRecord.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"

namespace kl {

namespace {

std::string text(const char* english) { return localized(english).toStdString(); }

bool isYes(const Dictionary& info, std::string_view key) {
    const Value* value = info.get(key);
    return value && value->toString() == "YES";
}

std::string findText(const Dictionary& info) {
    const Value* value = info.get("FindText");
    return value ? value->toString() : std::string();
}

// The record type of each pop-up item, by its index in the document's
// record types; types without records are off.
class AssociationSheet : public KLSheet {
public:
    AssociationSheet(QWidget* parent, GEDCOMModel& model) : KLSheet("AssociationSheet", parent) {
        setObjectName("AssociationSheet");
        setWindowTitle(localized("Association"));
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(localized("Type of record to associate with this record:"), this));
        types_ = new QComboBox(this);
        types_->setObjectName("recordTypes");
        auto* items = new QStandardItemModel(types_);
        for (long index = 0;; ++index) {
            const auto type = RecordsIndices::recordTypeAtIndex(index);
            if (!type) break;
            auto* item = new QStandardItem(QString::fromStdString(model.singularNameForType(*type)));
            item->setData(int(index), Qt::UserRole);
            item->setEnabled(model.numberOfType(*type) > 0);
            items->appendRow(item);
        }
        types_->setModel(items);
        for (int row = 0; row < items->rowCount(); ++row)
            if (items->item(row)->isEnabled()) {
                types_->setCurrentIndex(row);
                break;
            }
        layout->addWidget(types_);
        auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        connect(box, &QDialogButtonBox::accepted, this, [this] { done(selectedType() + 1); });
        connect(box, &QDialogButtonBox::rejected, this, [this] { done(0); });
        layout->addWidget(box);
    }
    QComboBox* recordTypes() const { return types_; }
    // The selected record type's index, -1 for none.
    int selectedType() const {
        const QVariant data = types_->currentData(Qt::UserRole);
        const auto* items = static_cast<QStandardItemModel*>(types_->model());
        const auto* item = items->item(types_->currentIndex());
        return data.isValid() && item && item->isEnabled() ? data.toInt() : -1;
    }

private:
    QComboBox* types_ = nullptr;
};

}  // namespace

// ---- the menu

void BrowserController::addLinkingItems() {
    const auto add = [this](QMenu* menu, const QString& title, int tag, std::function<void()> command) {
        QAction* action = menu->addAction(title);
        action->setData(tag);
        connect(action, &QAction::triggered, this, std::move(command));
        return action;
    };
    QMenu* attach = recordsMenu_->addMenu(tr("Attach"));
    attach->setObjectName("AttachMenu");
    add(attach, tr("Husband..."), RecordLinking::kAttachHusbandTag, [this] { attachHusbandCommand(); });
    add(attach, tr("Wife..."), RecordLinking::kAttachWifeTag, [this] { attachWifeCommand(); });
    add(attach, tr("Child..."), RecordLinking::kAttachChildTag, [this] { attachChildCommand(); });
    attach->addSeparator();
    add(attach, tr("Event or Attribute..."), RecordLinking::kAttachEventTag, [this] { attachEventCommand(); });
    add(attach, tr("Notes..."), RecordLinking::kLinkNotesTag, [this] { attachGeneric(RecordLinking::kLinkNotesTag); });
    add(attach, tr("Source..."), RecordLinking::kLinkSourceTag, [this] { attachGeneric(RecordLinking::kLinkSourceTag); });
    add(attach, tr("Research Log..."), RecordLinking::kLinkLogTag, [this] { attachGeneric(RecordLinking::kLinkLogTag); });
    add(attach, tr("Optional Data..."), RecordLinking::kOptionalDataTag, [this] { attachOptionalDataCommand(); });
    add(attach, tr("Association..."), RecordLinking::kAssociationTag, [this] { startAssoPanel(5); });
    add(attach, tr("Quick Comment..."), RecordLinking::kQuickCommentTag, [this] { attachQuickComment(); });
    connect(attach, &QMenu::aboutToShow, this, [this] { validateRecordsMenu(); });
    QMenu* sort = recordsMenu_->addMenu(tr("Sort"));
    sort->setObjectName("SortMenu");
    add(sort, tr("Children"), SortChildren, [this] { sortGEDCOMData(SortChildren); });
    add(sort, tr("Spouse Families"), SortSpouseFamilies, [this] { sortGEDCOMData(SortSpouseFamilies); });
    add(sort, tr("Events"), SortEvents, [this] { sortGEDCOMData(SortEvents); });
    add(sort, tr("Multimedia Links"), SortMultimediaLinks, [this] { sortGEDCOMData(SortMultimediaLinks); });
    connect(sort, &QMenu::aboutToShow, this, [this] { validateRecordsMenu(); });
    setAcceptDrops(true);
}

std::optional<DocumentMenuAnswer> BrowserController::validateLinkingTag(int tag) {
    RecordLinking::Facts facts;
    facts.record = record_.get();
    facts.dropTypes = &builder_.dropTypes();
    facts.hasOptionalTags = !builder_.optionalTags().empty();
    facts.children = lists_.children.size();
    CustomCell* focused = focusedCell();
    if (auto* value = dynamic_cast<EditValueCell*>(focused)) facts.canQuickComment = value->canAttachQuickComment();
    else if (auto* field = dynamic_cast<EditTextCell*>(focused)) facts.canQuickComment = field->canAttachQuickComment();
    auto answer = RecordLinking::validateTag(tag, facts);
    if (answer && answer->title) answer->title = text(answer->title->c_str());
    return answer;
}

// ---- husband, wife and child

void BrowserController::attachHusbandCommand() { attachSpouseCommand("HUSB"); }
void BrowserController::attachWifeCommand() { attachSpouseCommand("WIFE"); }

void BrowserController::attachSpouseCommand(const std::string& role) {
    if (!record_) return beep();
    if (endActiveCell(0) == EditRefused) return;
    const bool husband = role == "HUSB";
    GEDCOMModel& model = doc_.gedcomModel();
    QPointer<BrowserController> self(this);
    if (auto family = std::dynamic_pointer_cast<FAMRecord>(record_)) {
        Dictionary options;
        options.set("message", Value(text(husband ? "Select male to attach as a husband" : "Select female to attach as a wife")));
        options.set("newrecord", Value(text(husband ? "New Male" : "New Female")));
        options.set("newrecordhelp",
                    Value(text(husband ? "Create new individual record for the husband. If text was typed into the find "
                                         "field, it will be used for the husband's name."
                                       : "Create new individual record for the wife. If text was typed into the find "
                                         "field, it will be used for the wife's name.")));
        options.set("mustSelect", Value("YES"));
        options.set("recordType", Value("INDI"));
        options.set("helpTag", Value(7510));
        mainBrowser()->getRecordPicker()->selectRecordFrom(
            RecordLinking::individualsOfSex(model, husband ? 'M' : 'F'), options, mainBrowser(),
            [self, family, role, husband](const RecordPtr& chosen, const Dictionary& info) {
                if (!self) return;
                auto person = std::dynamic_pointer_cast<INDIRecord>(chosen);
                if (!chosen) person = RecordLinking::newIndividual(self->doc_.gedcomModel(), husband, findText(info));
                if (!person) return self->beep();
                RecordLinking::attachSpouse(*family, person, role);
            });
        return;
    }
    if (auto person = std::dynamic_pointer_cast<INDIRecord>(record_)) {
        openNewFamily(RecordLinking::attachInNewFamily(
            person, husband ? RecordLinking::kAttachHusbandTag : RecordLinking::kAttachWifeTag, model));
        return;
    }
    if (!record_->isCiteableType()) return beep();
    const std::string type = husband ? "INDI" : "FAM";
    Dictionary options;
    options.set("message", Value(text(husband ? "Select individual to link to this record" : "Select family to link to this record")));
    options.set("mustSelect", Value("YES"));
    auto list = model.recordsIndex().listForType(type);
    RecordPtr shown = record_;
    mainBrowser()->getRecordPicker()->selectRecordFrom(
        list ? RecordsListForPanel::listWithList(*list) : RecordsListForPanel::listWithType(type, &model), options,
        mainBrowser(), [self, shown](const RecordPtr& chosen, const Dictionary&) {
            if (self && chosen) RecordLinking::attachCiteFrom(*shown, chosen);
        });
}

void BrowserController::openNewFamily(const std::shared_ptr<GEDCOMRecord>& family) {
    if (!family) return beep();
    QPointer<BrowserController> self(this);
    Dispatcher::current().postDeferred(this, [self, family] {
        if (self) self->windows_.openRecordBrowser(family);
    });
}

void BrowserController::attachChildCommand() {
    if (!record_) return beep();
    if (endActiveCell(0) == EditRefused) return;
    if (auto person = std::dynamic_pointer_cast<INDIRecord>(record_)) {
        openNewFamily(RecordLinking::attachInNewFamily(person, RecordLinking::kAttachChildTag, doc_.gedcomModel()));
        return;
    }
    auto family = std::dynamic_pointer_cast<FAMRecord>(record_);
    if (!family) return beep();
    Dictionary options;
    options.set("message", Value(text("Select individual to attach as a child")));
    options.set("newrecord", Value(text("Create Son")));
    options.set("recordaction", Value(text("Daughter")));
    options.set("newrecordhelp", Value(text("Create son. If text was typed into find field it will be used for the name.")));
    options.set("recordactionhelp",
                Value(text("Create daughter. If text was typed into find field it will be used for the name.")));
    options.set("mustSelect", Value("YES"));
    options.set("pedigree", Value(0));
    options.set("typeSelect", Value(RecordLinking::childTypeSelect(*family)));
    options.set("helpTag", Value(7509));
    GEDCOMModel& model = doc_.gedcomModel();
    auto list = model.recordsIndex().listForType("INDI");
    BrowserController* main = mainBrowser();
    SelectRecordController* picker = main->getRecordPicker();
    QPointer<BrowserController> self(this);
    QPointer<SelectRecordController> sheet(picker);
    picker->selectRecordFrom(
        list ? RecordsListForPanel::listWithList(*list) : RecordsListForPanel::listWithType("INDI", &model), options,
        main, [self, family, sheet](const RecordPtr& chosen, const Dictionary& info) {
            if (!self) return;
            const int pedigree = sheet && sheet->selectPedigree() ? std::max(0, sheet->selectPedigree()->currentIndex()) : 0;
            self->attachChildNow(family, chosen, info, pedigree);
        });
}

void BrowserController::attachChildNow(const std::shared_ptr<FAMRecord>& family, const RecordPtr& chosen,
                                       const Dictionary& info, int pedigree) {
    auto child = std::dynamic_pointer_cast<INDIRecord>(chosen);
    // The sheet's two buttons make a son or a daughter named from the typed text.
    const bool daughter = isYes(info, "RecordActionClick");
    if (!chosen || daughter) child = RecordLinking::newIndividual(doc_.gedcomModel(), !daughter, findText(info));
    if (!child) return beep();
    bool fatal = false;
    if (const auto doubt = family->verifyChild(child, fatal)) {
        if (fatal) {
            AppAlerts::criticalAlert(*doubt, std::nullopt, this);
            return;
        }
        const int answer = AppAlerts::runAlert(AlertButtons::Critical, text(RecordLinking::kNotAChild), *doubt,
                                               AlertButtons{text("Don't Attach"), text("Attach"), std::nullopt});
        if (answer != AlertButtons::responseForIndex(1)) return;
    }
    RecordLinking::attachChild(*family, child, pedigree);
}

// ---- events and optional data

void BrowserController::attachEventCommand() {
    if (!record_) return beep();
    if (endActiveCell(0) == EditRefused) return;
    const bool individual = record_->isType("INDI");
    if (!individual && !record_->isType("FAM")) return beep();
    const LibraryFolder* library = AppController::sharedLibrary();
    static const std::vector<EventDefinition> none;
    const auto& events = !library ? none : individual ? library->individualEvents() : library->familyEvents();
    auto list = RecordLinking::eventList(events, doc_.gedcomModel());
    if (list->count() == 0) {
        AppAlerts::criticalAlert(text(RecordLinking::kNoEvents), std::nullopt, this);
        return;
    }
    Dictionary options;
    options.set("message", Value(text(individual ? "Select individual event or attribute to attach"
                                                 : "Select family event to attach")));
    options.set("helpTag", Value(7511));
    RecordPtr shown = record_;
    QPointer<BrowserController> self(this);
    getRecordPicker()->selectRecordFrom(list, options, this, [self, shown](const RecordPtr& chosen, const Dictionary&) {
        if (self && chosen) RecordLinking::attachLastStructure(*shown, *chosen, "Attach Event or Attribute");
    });
}

void BrowserController::attachOptionalDataCommand() {
    if (!record_) return beep();
    if (endActiveCell(0) == EditRefused) return;
    if (builder_.optionalTags().empty()) {
        AppAlerts::criticalAlert(text(RecordLinking::kNoOptionalData), std::nullopt, this);
        return;
    }
    Dictionary options;
    options.set("message", Value(text("Select optional data to attach")));
    QPointer<BrowserController> self(this);
    getRecordPicker()->selectRecordFrom(RecordLinking::optionalList(builder_.optionalTags(), doc_.gedcomModel()),
                                        options, this, [self](const RecordPtr& chosen, const Dictionary&) {
                                            if (self && chosen) self->attachOptionalNow(chosen);
                                        });
}

void BrowserController::attachOptionalNow(const RecordPtr& entry) {
    if (!record_ || !entry) return;
    const std::string tag = RecordLinking::entryTag(*entry);
    QPointer<BrowserController> self(this);
    if (tag == "ASSO") {
        Dispatcher::current().postDeferred(this, [self] {
            if (self) self->startAssoPanel(5);
        });
        return;
    }
    if (CellKinds::supportedCreateTag(tag)) {
        // A link: the picker of its record type, when the window knows one.
        auto options = RecordLinking::genericOptions(tag == "NOTE"   ? RecordLinking::kLinkNotesTag
                                                     : tag == "SOUR" ? RecordLinking::kLinkSourceTag
                                                     : tag == "OBJE" ? RecordLinking::kLinkMultimediaTag
                                                     : tag == "_LOG" ? RecordLinking::kLinkLogTag
                                                                     : 0,
                                                     doc_.lastAttached());
        if (!options) return beep();
        options->set("target", Value(5));
        Dispatcher::current().postDeferred(this, [self, options = *options] {
            if (self) self->attachGenericWith(options);
        });
        return;
    }
    RecordLinking::attachLastStructure(*record_, *entry, "Attach Optional Data");
}

// ---- generic links

void BrowserController::attachGeneric(int tag) {
    if (tag == RecordLinking::kLinkMultimediaTag && record_ && record_->isType("OBJE")) return startLinkMmPanel();
    const auto options = RecordLinking::genericOptions(tag, doc_.lastAttached());
    if (!options) return;
    Dictionary localisedOptions = *options;
    for (const char* key : {"message", "newrecord", "newrecordhelp"})
        if (const Value* value = options->get(key); value && tag != RecordLinking::kLinkMultimediaTag)
            localisedOptions.set(key, Value(text(value->toString().c_str())));
    attachGenericWith(localisedOptions);
}

void BrowserController::attachGenericWith(const Dictionary& options) {
    if (!record_) return beep();
    if (endActiveCell(0) == EditRefused) return;
    const Value* recordTag = options.get("recordTag");
    const std::string type = recordTag ? recordTag->toString() : std::string();
    GEDCOMModel& model = doc_.gedcomModel();
    auto list = model.recordsIndex().listForType(type);
    std::shared_ptr<RecordsListForPanel> shownList;
    if (list) {
        shownList = RecordsListForPanel::listWithList(*list);
    } else {
        shownList = RecordsListForPanel::listWithType(type, &model);
        shownList->initName("Create Link");
    }
    QPointer<BrowserController> self(this);
    getRecordPicker()->selectRecordFrom(shownList, options, this, [self](const RecordPtr& chosen, const Dictionary& info) {
        if (self) self->attachGenericLinkNow(chosen, info);
    });
}

void BrowserController::attachGenericLinkNow(const RecordPtr& chosen, const Dictionary& info) {
    if (!record_) return;
    const auto outcome = RecordLinking::attachGenericLinkNow(*record_, chosen, info, doc_.gedcomModel(),
                                                             builder_.dropTypes(), doc_.lastAttached());
    if (outcome.refusal) {
        AppAlerts::criticalAlert(text(RecordLinking::kAttachFailed), text(outcome.refusal->c_str()), this);
        return;
    }
    if (outcome.dropFailure) {
        AppAlerts::criticalAlert(text(RecordLinking::kDropFailed), *outcome.dropFailure, this);
        return;
    }
    if (!outcome.record) {
        if (outcome.beep) beep();
        return;
    }
    showAttached(outcome.record, outcome.target);
    if (outcome.isNew && outcome.record->isType("OBJE") && outcome.target != 6) {
        // Its file is chosen at once, in the object's own window.
        RecordPtr object = outcome.record;
        QPointer<BrowserController> self(this);
        Dispatcher::current().postDeferred(this, [self, object] {
            if (!self) return;
            for (const auto& window : self->windows_.windowControllers())
                if (auto* handle = dynamic_cast<Handle*>(window.get()); handle && handle->theRecord() == object) {
                    handle->controller()->startLinkMmPanel();
                    return;
                }
        });
    }
}

void BrowserController::showAttached(const RecordPtr& record, int target) {
    QPointer<BrowserController> self(this);
    const auto pane = browserPaneID();
    Dispatcher::current().postDeferred(this, [self, record, target, pane] {
        if (!self) return;
        switch (target) {
        case 0:
        case 3: self->changeRecord(record, std::string()); break;
        case 1: self->windows_.openAssociatedRecordBrowser(record, self->handle_, pane); break;
        case 4: self->windows_.openAssociatedRecordBrowser(record, self->handle_, std::nullopt); break;
        case 2: self->windows_.openRecordBrowser(record, pane, nullptr, false); break;
        case 5: self->windows_.openRecordBrowser(record, std::nullopt, nullptr, false); break;
        default: break;
        }
    });
}

// ---- associations

void BrowserController::startAssoPanel(int target) {
    if (endActiveCell(0) == EditRefused) return;
    auto* sheet = new AssociationSheet(this, doc_.gedcomModel());
    QPointer<BrowserController> self(this);
    connect(sheet, &QDialog::finished, this, [self, sheet, target](int result) {
        sheet->deleteLater();
        if (!self || result <= 0) return;
        const auto type = RecordsIndices::recordTypeAtIndex(result - 1);
        if (!type) return;
        self->attachAssociationOfType(*type, target);
    });
    sheet->open();
}

void BrowserController::attachAssociationOfType(const std::string& type, int target) {
    GEDCOMModel& model = doc_.gedcomModel();
    std::string name = model.singularNameForType(type);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    Dictionary options;
    options.set("message", Value(RecordLinking::fill(text("Association link to existing %@ record"), name)));
    options.set("mustSelect", Value("YESUnlessNone"));
    if (type == "INDI") options.set("assolink", Value("YES"));
    options.set("target", Value(target));
    auto list = model.recordsIndex().listForType(type);
    if (!list || list->count() == 0) {
        selectionFailed(BrowserNavigation::kNoRecordsFound);
        return;
    }
    QPointer<BrowserController> self(this);
    getRecordPicker()->selectRecordFrom(RecordsListForPanel::listWithList(*list), options, this,
                                        [self](const RecordPtr& chosen, const Dictionary& info) {
                                            if (self) self->attachAssoLinkNow(chosen, info);
                                        });
}

void BrowserController::attachAssoLinkNow(const RecordPtr& chosen, const Dictionary& info) {
    if (!record_ || !chosen) return;
    if (const auto refusal = RecordLinking::attachAssociation(*record_, chosen, isYes(info, "assolink"))) {
        AppAlerts::criticalAlert(text(refusal->first.c_str()), text(refusal->second.c_str()), this);
        return;
    }
    const Value* target = info.get("target");
    const int where = target ? static_cast<int>(target->toInteger(-1)) : -1;
    if (where >= 0 && where <= 2) showAttached(chosen, where);
}

// ---- quick comment and sorting

void BrowserController::attachQuickComment() {
    CustomCell* focused = focusedCell();
    if (auto* value = dynamic_cast<EditValueCell*>(focused))
        return EditValueCell::handOffQuickComment(*value, value->canAttachQuickComment());
    if (auto* field = dynamic_cast<EditTextCell*>(focused))
        return EditValueCell::handOffQuickComment(*field, field->canAttachQuickComment());
    beep();
}

void BrowserController::sortGEDCOMData(int tag) {
    if (!record_) return beep();
    if (endActiveCell(0) == EditRefused) return;
    record_->sortEntry(tag, false);
}

}  // namespace kl
