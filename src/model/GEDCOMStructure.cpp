#include "model/GEDCOMStructure.h"

#include <algorithm>
#include <limits>

#include "foundation/NotificationCenter.h"
#include "dates/DateBridge.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/ModelNotifications.h"
#include "foundation/Utf8.h"

namespace kl {

std::atomic<int> GEDCOMStructure::maximumLineLength_{240};

namespace {

constexpr std::size_t kLongTag = 32;

std::uint32_t bitsForNewLine(int level, const std::string& tag) {
    if (level < 0) return CorruptMissingLevel;
    if (tag.empty() || utf8::longerThan(tag, kLongTag - 1)) return CorruptInvalidTag;
    return 0;
}

// An undo action must keep alive what it names, yet a node that is not owned
// by a shared_ptr (never the case in a real tree) is still reachable.
template <class T>
std::shared_ptr<GEDCOMObject> holdOf(T* node) {
    return node ? node->weak_from_this().lock() : nullptr;
}

}  // namespace

GEDCOMStructure::GEDCOMStructure() : GEDCOMObject(1, "@@@@", "") {}

GEDCOMStructure::GEDCOMStructure(GEDCOMRecord* record, int level, std::string tag, std::string contents)
    : GEDCOMObject(level, std::move(tag), std::move(contents)), record_(record) {
    setCorruptBit(bitsForNewLine(level, gtag()));
}

int GEDCOMStructure::maximumGEDCOMLineLength() { return maximumLineLength_.load(std::memory_order_relaxed); }

void GEDCOMStructure::setMaximumGEDCOMLineLength(int length) {
    maximumLineLength_.store(length, std::memory_order_relaxed);
}

const std::vector<std::string>& GEDCOMStructure::matchTexts() {
    static const std::vector<std::string> texts{"DATE", "_DATE", " / %@"};
    return texts;
}

std::optional<std::string> GEDCOMStructure::quickComment() const {
    const std::string* comment = storedQuickComment();
    return comment ? std::optional<std::string>(*comment) : std::nullopt;
}

UndoManager* GEDCOMStructure::undoManager() const { return record_ ? record_->undoManager() : nullptr; }

void GEDCOMStructure::contentsChanged() const {
    NotificationCenter::defaultCenter().post(notification_names::RecordStructureContentsChanged,
                                             static_cast<const GEDCOMObject*>(this));
}

// ---- changing

void GEDCOMStructure::setContents(std::string contents) {
    UndoManager* um = undoManager();
    const bool registering = um && um->isUndoRegistrationEnabled();
    if (registering) {
        auto hold = holdOf(this);
        um->registerUndo(this, [this, hold, old = this->contents()] { setContents(old); });
    }
    changeContentsField(std::move(contents));
    if (registering) contentsChanged();
}

void GEDCOMStructure::appendContents(std::string_view text) {
    std::string joined;
    joined.reserve(contents().size() + text.size());
    joined.append(contents()).append(text);
    setContents(std::move(joined));
}

void GEDCOMStructure::setReadContents(std::string contents) {
    setContents(std::move(contents));
    if (record_) record_->setChangeDate();
}

void GEDCOMStructure::setQuickComment(std::optional<std::string> comment) {
    UndoManager* um = undoManager();
    const bool registering = um && um->isUndoRegistrationEnabled();
    if (registering) {
        auto hold = holdOf(this);
        um->registerUndo(this, [this, hold, old = quickComment()] { setQuickComment(old); });
    }
    storeQuickComment(std::move(comment));
    treeChanged();
    if (registering) contentsChanged();
}

void GEDCOMStructure::setQuickMemo(std::string memo) {
    if (memo.empty())
        setQuickComment(std::nullopt);
    else
        setQuickComment(std::move(memo));
}

void GEDCOMStructure::setReadTag(std::string tag) {
    if (UndoManager* um = undoManager()) {
        auto hold = holdOf(this);
        um->registerUndo(this, [this, hold, old = gtag()] { setReadTag(old); });
    }
    setGtag(std::move(tag));
    NotificationCenter::defaultCenter().post(notification_names::RecordStructuresChanged,
                                             static_cast<const GEDCOMObject*>(record_));
    if (record_) record_->setChangeDate();
}

void GEDCOMStructure::setGenericTag(const std::string& tag, const std::string& contents) {
    if (auto child = findChild(tag, false)) {
        if (child->contents() == contents) return;
        child->setContents(contents);
    } else {
        const int level = glevel() == std::numeric_limits<int>::max() ? glevel() : glevel() + 1;
        auto line = std::make_shared<GEDCOMStructure>(record_, level, tag, contents);
        if (record_)
            record_->addStructure(line, this, lastStructure().get(), false);
        else
            addStructure(std::move(line));
    }
    if (record_) record_->setChangeDate();
}

bool GEDCOMStructure::addStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inStructure,
                                   const GEDCOMObject* afterStructure, const Dictionary& userInfo) {
    auto parent = findNode(inStructure);
    if (!parent || !structure) return static_cast<bool>(parent);
    UndoManager* um = undoManager();
    if (um && um->isUndoRegistrationEnabled()) {
        GEDCOMRecord* record = record_;
        um->registerUndo(record, [record, keep = holdOf(record), structure, parent] {
            record->removeStructure(structure, parent.get(), nullptr);
        });
    }
    parent->insertChild(structure, afterStructure);
    NotificationCenter::defaultCenter().post(notification_names::RecordStructuresChanged,
                                             static_cast<const GEDCOMObject*>(record_), userInfo);
    return true;
}

bool GEDCOMStructure::addStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inStructure,
                                   const GEDCOMObject* afterStructure) {
    auto parent = findNode(inStructure);
    if (!parent) return false;
    parent->insertChild(structure, afterStructure);
    return true;
}

bool GEDCOMStructure::removeStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inStructure,
                                      const Dictionary& userInfo) {
    auto parent = findNode(inStructure);
    if (!parent) return false;
    const std::size_t at = parent->indexOfStructure(structure.get());
    if (at == notFound) return true;
    if (UndoManager* um = undoManager(); um && record_) {
        std::shared_ptr<GEDCOMStructure> previous = at > 0 ? parent->structures()[at - 1] : nullptr;
        GEDCOMRecord* record = record_;
        um->registerUndo(record, [record, keep = holdOf(record), structure, parent, previous] {
            record->addStructure(structure, parent.get(), previous.get(), false);
        });
    }
    parent->findChildAtIndex(at, true);
    NotificationCenter::defaultCenter().post(notification_names::RecordStructuresChanged,
                                             static_cast<const GEDCOMObject*>(record_), userInfo);
    return true;
}

void GEDCOMStructure::fixLevel(int level, GEDCOMRecord* record) {
    if (level != glevel() || record != record_) {
        if (UndoManager* um = undoManager()) {
            GEDCOMRecord* oldRecord = record_;
            um->registerUndo(this, [this, hold = holdOf(this), oldLevel = glevel(), oldRecord,
                                    keepRecord = holdOf(oldRecord)] { fixLevel(oldLevel, oldRecord); });
        }
    }
    changeLevel(level, record);
}

void GEDCOMStructure::changeLevel(int level, GEDCOMRecord* record) {
    struct Frame {
        GEDCOMStructure* node;
        long long level;
    };
    std::vector<Frame> stack{{this, level}};
    while (!stack.empty()) {
        Frame f = stack.back();
        stack.pop_back();
        f.node->setGlevel(static_cast<int>(std::min<long long>(f.level, std::numeric_limits<int>::max())));
        f.node->record_ = record;
        for (const auto& child : f.node->structures()) stack.push_back({child.get(), f.level + 1});
    }
}

// ---- reading

std::shared_ptr<GEDCOMObject> GEDCOMStructure::parentStructure() const {
    return record_ ? record_->parentOfStructure(this) : nullptr;
}

std::shared_ptr<GEDCOMStructure> GEDCOMStructure::nextStructure() const {
    auto parent = parentStructure();
    if (!parent) return nullptr;
    const std::size_t at = parent->indexOfStructure(this);
    if (at == notFound || at + 1 >= parent->structures().size()) return nullptr;
    return parent->structures()[at + 1];
}

std::shared_ptr<GEDCOMStructure> GEDCOMStructure::prevStructure() const {
    auto parent = parentStructure();
    if (!parent) return nullptr;
    const std::size_t at = parent->indexOfStructure(this);
    if (at == notFound || at == 0) return nullptr;
    return parent->structures()[at - 1];
}

std::string GEDCOMStructure::viewName() const {
    if (gtag() == "NAME") return GEDCOMRecord::formatName(contents(), 0).value_or(contents());
    if (gtag() == "DATE") return userDisplayDate(contents());
    return contents();
}

std::string GEDCOMStructure::altViewName() const {
    if (gtag() == "NAME") return GEDCOMRecord::formatName(contents(), 1).value_or(contents());
    return viewName();
}

std::string GEDCOMStructure::description() const {
    return std::to_string(glevel()) + " " + gtag() + " " + contents();
}

std::string GEDCOMStructure::eventDate() {
    if (glevel() == std::numeric_limits<int>::max()) return {};
    return findContentsWithTag("DATE", glevel() + 1);
}

std::string GEDCOMStructure::eventPlace() {
    if (glevel() == std::numeric_limits<int>::max()) return {};
    return findContentsWithTag("PLAC", glevel() + 1);
}

}  // namespace kl

namespace kl {

std::string GEDCOMStructure::subordinateDate() {
    std::string date = eventDate();
    return date.empty() ? date : userDisplayDate(date);
}

std::int64_t GEDCOMStructure::eventSDN() {
    std::string date = eventDate();
    return date.empty() ? 0 : earliestSdnForDate(date);
}

std::int64_t GEDCOMStructure::eventSDNMax() {
    std::string date = eventDate();
    return date.empty() ? 0 : latestSdnForDate(date);
}

std::string GEDCOMStructure::eventPlaceWithAddress() { return GEDCOMRecord::place(*this, true); }

}  // namespace kl
