#include "model/GEDCOMRecord.h"

#include <algorithm>
#include <utility>

#include "foundation/NotificationCenter.h"
#include "foundation/UndoManager.h"
#include "foundation/UserDefaults.h"
#include "model/GEDCOMStructure.h"
#include "model/ModelNotifications.h"
#include "model/RecordStore.h"
#include "foundation/TextCase.h"

namespace kl {

namespace {

std::atomic<bool> trackingChangeDates_{false};
std::atomic<bool> insertingUUIDs_{false};
std::atomic<bool> cachingWhenSave_{false};
std::atomic<bool> addingCreationDates_{true};
std::atomic<bool> recordHasHTML_{false};
std::atomic<int> totalHREFLinks_{0};
std::atomic<int> brokenHREFLinks_{0};

struct CorruptionText {
    std::uint32_t bit;
    const char* text;
};

// In the order in which a record describes its damage.
constexpr CorruptionText kCorruptionTexts[] = {
    {CorruptDuplicateID, "Duplicate record ID"},
    {CorruptExtraRecord, "Extra Header or Submission record"},
    {CorruptMissingLevel, "Missing level number"},
    {CorruptInvalidTag, "Invalid line tag"},
    {CorruptMisorderedLevels, "Misordered level numbers"},
    {CorruptInvalidID, "Invalid record ID"},
};

struct RestrictionText {
    RecordRestriction code;
    const char* text;
};

constexpr RestrictionText kRestrictions[] = {
    {RestrictionPrivacy, "privacy"},
    {RestrictionLocked, "locked"},
    {RestrictionConfidential, "confidential"},
};

bool switchFromDefaults(const UserDefaults& defaults, std::string_view key) {
    const Value value = defaults.objectForKey(key);
    return value.isNull() ? true : value.toBool(true);
}

}  // namespace

GEDCOMRecord::GEDCOMRecord() : GEDCOMRecord("UNKNOWN", "UNKNOWN") {}

GEDCOMRecord::GEDCOMRecord(std::string recordID, std::string type)
    : GEDCOMObject(0, "", ""), grecordID_(std::move(recordID)), typeId_(TagTable::idFor(type)) {
    if (typeId_ == TagTable::kNotInterned) rare().ownedType = std::move(type);
}

// Setters still waiting for a store die with the record: nothing is ever
// re-sent to a record that is gone. Its script context goes with it.
GEDCOMRecord::~GEDCOMRecord() { setContextInfo(Value()); }

// ---- identity

void GEDCOMRecord::setGrecordID(std::string recordID) {
    grecordID_ = std::move(recordID);
    clearGEDCOMCacheNoUndo();  // the level-0 line names the ID
}

void GEDCOMRecord::setRecordType(std::string type) {
    typeId_ = TagTable::idFor(type);
    if (typeId_ == TagTable::kNotInterned)
        rare().ownedType = std::move(type);
    else if (rare_)
        rare_->ownedType.clear();
    clearGEDCOMCacheNoUndo();
}

GEDCOMRecord::Rare& GEDCOMRecord::rare() {
    if (!rare_) rare_ = std::make_unique<Rare>();
    return *rare_;
}

const std::string& GEDCOMRecord::ownedType() const {
    static const std::string none;
    return rare_ ? rare_->ownedType : none;
}

const std::string& GEDCOMRecord::foundText() const {
    static const std::string none;
    return rare_ ? rare_->foundText : none;
}

void GEDCOMRecord::setFoundText(std::string text) {
    if (text.empty() && !rare_) return;
    rare().foundText = std::move(text);
}

const std::optional<std::string>& GEDCOMRecord::changeToRecordID() const {
    static const std::optional<std::string> none;
    return rare_ ? rare_->changeToRecordID : none;
}

void GEDCOMRecord::setChangeToRecordID(std::optional<std::string> recordID) {
    if (!recordID && !rare_) return;
    rare().changeToRecordID = std::move(recordID);
}

void GEDCOMRecord::setUndoManager(UndoManager* undoManager) {
    if (!undoManager && !rare_) return;
    rare().undoManager = undoManager;
}

void GEDCOMRecord::changeRecordID() {
    if (!rare_ || !rare_->changeToRecordID) return;
    std::string recordID = std::move(*rare_->changeToRecordID);
    rare_->changeToRecordID.reset();
    setGrecordID(std::move(recordID));
}

std::optional<std::string> GEDCOMRecord::scriptRecordType() const {
    static const std::map<std::string, std::string, std::less<>> keys{
        {"INDI", "indiRecords"}, {"FAM", "famRecords"},     {"SOUR", "sourRecords"}, {"OBJE", "objeRecords"},
        {"NOTE", "noteRecords"}, {"REPO", "repoRecords"},   {"SUBM", "submRecords"}, {"HEAD", "headRecords"},
        {"SUBN", "subnRecords"}, {"_LOG", "_logRecords"},   {"_RPT", "_rptRecords"}, {"_PLC", "_plcRecords"},
        {"_BOK", "_bokRecords"},
    };
    auto it = keys.find(recordType());
    if (it == keys.end()) return std::nullopt;
    return it->second;
}

const std::vector<std::string>& GEDCOMRecord::baseTags() {
    static const std::vector<std::string> tags{"CHAN", "_KLID", "REFN", "TYPE", "Creation Date",
                                               "CONC", "NOTE", "SOUR", "OBJE"};
    return tags;
}

void GEDCOMRecord::setModel(RecordStore* model) {
    model_ = model;
    registerRecordNotifications();
    if (!model_ || !rare_ || rare_->pendingSetters.empty()) return;
    // Each setter runs once; one that asks to wait again (it cannot, as the
    // record now has a store) would only queue itself anew.
    auto setters = std::exchange(rare_->pendingSetters, {});
    for (auto& setter : setters) setter();
}

UndoManager* GEDCOMRecord::undoManager() const {
    if (model_) return model_->undoManager();
    return rare_ ? rare_->undoManager : nullptr;
}

bool GEDCOMRecord::deferUntilInstalled(std::function<void()> setter) {
    if (model_) return false;
    rare().pendingSetters.push_back(std::move(setter));
    return true;
}

std::shared_ptr<GEDCOMRecord> GEDCOMRecord::holdRecord() {
    return std::static_pointer_cast<GEDCOMRecord>(weak_from_this().lock());
}

std::shared_ptr<GEDCOMRecord> GEDCOMRecord::linkedRecord(const std::string& recordID,
                                                         const std::string& type) const {
    return model_ ? model_->recordWithID(recordID, type) : nullptr;
}

void GEDCOMRecord::postStructuresChanged(Dictionary userInfo) {
    NotificationCenter::defaultCenter().post(notification_names::RecordStructuresChanged,
                                             static_cast<const GEDCOMObject*>(this), std::move(userInfo));
}

void GEDCOMRecord::postFromStore(const std::string& name, Dictionary userInfo) {
    if (model_)
        model_->postNotification(name, std::move(userInfo));
    else
        NotificationCenter::defaultCenter().post(name, nullptr, std::move(userInfo));
}

// ---- GEDCOM text

void GEDCOMRecord::appendStructureLine(std::string& out) const {
    out.append("0 ");
    if (!grecordID_.empty()) out.append(grecordID_).append(" ");
    out.append(recordType());
    if (!recordText().empty()) out.append(" ").append(recordText());
    out.append(lineEnding());
}

void GEDCOMRecord::takeRecordText(std::string text) {
    if (text != recordText()) changeContentsField(std::move(text));
}

void GEDCOMRecord::appendGEDCOMRecord(std::string& out, bool allowCache) const {
    if (allowCache && savedGedcom_) {
        out.append(*savedGedcom_);
        return;
    }
    const std::size_t start = out.size();
    appendGEDCOM(out);
    if (allowCache && cachingWhenSave()) savedGedcom_ = std::make_unique<std::string>(out, start);
}

void GEDCOMRecord::appendGEDCOMRecordExport(std::string& out, bool allowCache) const {
    appendGEDCOMRecord(out, allowCache);
}

std::string GEDCOMRecord::gedcomString() const {
    std::string text;
    appendGEDCOMRecord(text, false);
    return text;
}

void GEDCOMRecord::appendGEDCOMArray(Array& rows) const {
    rows.emplace_back(gedcomRow(0, grecordID_, recordType()));
    for (const auto& child : structures()) child->appendGEDCOMArray(rows);
}

void GEDCOMRecord::clearGEDCOMCache() {
    if (UndoManager* um = undoManager())
        um->registerUndo(this, [this, keep = holdRecord()] { clearGEDCOMCache(); });
    clearGEDCOMCacheNoUndo();
}

// ---- damage, restriction and deletion

std::string GEDCOMRecord::describeCorruption() const {
    if (corrupt() == 0) return "Valid record";
    for (const auto& entry : kCorruptionTexts)
        if (isCorrupt(entry.bit)) return entry.text;
    return "Unexpected corruption type";
}

std::optional<std::vector<std::string>> GEDCOMRecord::allCorruptions() const {
    if (corrupt() == 0) return std::nullopt;
    std::vector<std::string> texts;
    for (const auto& entry : kCorruptionTexts)
        if (isCorrupt(entry.bit)) texts.emplace_back(entry.text);
    return texts;
}

RecordRestriction GEDCOMRecord::resn() {
    auto line = findChild("RESN", false);
    if (!line) return RestrictionNone;
    const std::string word = textcase::lower(line->contents());
    for (const auto& entry : kRestrictions)
        if (word == entry.text) return entry.code;
    return RestrictionNone;
}

std::string GEDCOMRecord::resnString() {
    switch (resn()) {
        case RestrictionConfidential: return "confidential";
        case RestrictionNone: return "unlocked";
        case RestrictionPrivacy: return "privacy";
        default: return "locked";
    }
}

void GEDCOMRecord::setResn(RecordRestriction code) {
    const char* text = code == RestrictionConfidential ? "confidential"
                       : code == RestrictionLocked     ? "locked"
                                                       : "privacy";
    if (auto line = findChild("RESN", false)) {
        if (code == RestrictionNone)
            removeStructure(line, this, nullptr);
        else
            line->setContents(text);
    } else if (code != RestrictionNone) {
        auto anchor = findAfterStructure({"SEX"});
        addStructure(newLine(1, "RESN", text), this, anchor.get(), false);
    }
    setChangeDate();
}

std::optional<std::string> GEDCOMRecord::canBeDeleted(unsigned) {
    if (isLocked()) return std::string("it is locked");
    return std::nullopt;
}

bool GEDCOMRecord::shouldVerifyDeleteAsChildOf(const GEDCOMRecord&) const { return false; }

std::shared_ptr<GEDCOMStructure> GEDCOMRecord::newLine(int level, std::string tag, std::string contents) {
    return std::make_shared<GEDCOMStructure>(this, level, std::move(tag), std::move(contents));
}

// ---- class-wide switches

bool GEDCOMRecord::trackingChangeDates() { return trackingChangeDates_.load(std::memory_order_relaxed); }
void GEDCOMRecord::setTrackingChangeDates(bool on) { trackingChangeDates_.store(on, std::memory_order_relaxed); }
bool GEDCOMRecord::insertingUUIDs() { return insertingUUIDs_.load(std::memory_order_relaxed); }
void GEDCOMRecord::setInsertingUUIDs(bool on) { insertingUUIDs_.store(on, std::memory_order_relaxed); }
bool GEDCOMRecord::cachingWhenSave() { return cachingWhenSave_.load(std::memory_order_relaxed); }
void GEDCOMRecord::setCachingWhenSave(bool on) { cachingWhenSave_.store(on, std::memory_order_relaxed); }
bool GEDCOMRecord::addingCreationDates() { return addingCreationDates_.load(std::memory_order_relaxed); }
void GEDCOMRecord::setAddingCreationDates(bool on) { addingCreationDates_.store(on, std::memory_order_relaxed); }

void GEDCOMRecord::readSwitchesFromDefaults(const UserDefaults& defaults) {
    setTrackingChangeDates(switchFromDefaults(defaults, "Tracked Record Changed Dates"));
    setInsertingUUIDs(switchFromDefaults(defaults, "Insert UUIDs"));
    setCachingWhenSave(switchFromDefaults(defaults, "Allow Fast Saves"));
    setAddingCreationDates(switchFromDefaults(defaults, "Add Creation Date to New Records"));
}

namespace {
std::atomic<std::uint32_t> gExportFlags{0};
}  // namespace

std::uint32_t GEDCOMRecord::exportFlags() { return gExportFlags.load(std::memory_order_relaxed); }
void GEDCOMRecord::setExportFlags(std::uint32_t flags) { gExportFlags.store(flags, std::memory_order_relaxed); }

bool GEDCOMRecord::recordHasHTML() { return recordHasHTML_.load(std::memory_order_relaxed); }
void GEDCOMRecord::setRecordHasHTML(bool has) { recordHasHTML_.store(has, std::memory_order_relaxed); }
void GEDCOMRecord::incrementTotalHREFLinks() { totalHREFLinks_.fetch_add(1, std::memory_order_relaxed); }
void GEDCOMRecord::incrementBrokenHREFLinks() { brokenHREFLinks_.fetch_add(1, std::memory_order_relaxed); }
void GEDCOMRecord::clearHTMLCounters() {
    totalHREFLinks_.store(0, std::memory_order_relaxed);
    brokenHREFLinks_.store(0, std::memory_order_relaxed);
}
int GEDCOMRecord::totalHREFLinks() { return totalHREFLinks_.load(std::memory_order_relaxed); }
int GEDCOMRecord::brokenHREFLinks() { return brokenHREFLinks_.load(std::memory_order_relaxed); }

}  // namespace kl
