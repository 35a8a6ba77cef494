// Links between records, kept on both sides: link structures in the record
// that cites, back links (IDs) in the citeable record that is cited.
#include <algorithm>

#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/ModelNotifications.h"
#include "model/RecordLinkLists.h"
#include "model/RecordStore.h"

namespace kl {

namespace {

const std::vector<std::string>& noIDs() {
    static const std::vector<std::string> none;
    return none;
}

bool holds(const std::vector<std::string>& ids, const std::string& id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

constexpr const char* kBaseLinkTags[] = {"NOTE", "SOUR", "OBJE"};

}  // namespace

// ---- back links

const std::vector<std::string>& GEDCOMRecord::crossRefIDs() const { return crossRefs_ ? *crossRefs_ : noIDs(); }

std::vector<std::string> GEDCOMRecord::crossRefsOnTheFly() { return crossRefIDs(); }

void GEDCOMRecord::attachCrossRefTo(const std::string& recordID) { insertCrossRef(recordID, crossRefIDs().size()); }

// Undoing a detach puts the ID back where it was, so that the list reads as
// before the change.
void GEDCOMRecord::insertCrossRef(const std::string& recordID, std::size_t at) {
    if (!crossRefs_) crossRefs_ = std::make_unique<std::vector<std::string>>();
    crossRefs_->insert(crossRefs_->begin() + static_cast<long>(std::min(at, crossRefs_->size())), recordID);
    if (readingKeys_) readingKeys_->insert(recordID);
    if (UndoManager* um = undoManager())
        um->registerUndo(this, [this, keep = holdRecord(), recordID] { detachCrossRefTo(recordID); });
    postStructuresChanged();
}

bool GEDCOMRecord::detachCrossRefTo(const std::string& recordID) {
    if (!crossRefs_) return false;
    auto it = std::find(crossRefs_->begin(), crossRefs_->end(), recordID);
    if (it == crossRefs_->end()) return false;
    const auto at = static_cast<std::size_t>(it - crossRefs_->begin());
    if (UndoManager* um = undoManager())
        um->registerUndo(this, [this, keep = holdRecord(), recordID, at] { insertCrossRef(recordID, at); });
    crossRefs_->erase(it);
    if (readingKeys_ && !holds(*crossRefs_, recordID)) readingKeys_->erase(recordID);
    if (crossRefs_->empty()) {
        crossRefs_.reset();
        readingKeys_.reset();
    }
    postStructuresChanged();
    return true;
}

void GEDCOMRecord::attachCrossRef(const GEDCOMRecord& record) {
    if (!holds(crossRefIDs(), record.grecordID())) attachCrossRefTo(record.grecordID());
}

void GEDCOMRecord::addCustom_REFTag(const std::string& recordID, int mode) {
    if (mode != 1 && mode != 2 && mode != 4) {
        if (!holds(crossRefIDs(), recordID)) attachCrossRefTo(recordID);
        return;
    }
    // Reading gathers links in bulk: a set keeps the lookup constant time,
    // and the vector keeps the order in which the links were met.
    if (!crossRefs_) crossRefs_ = std::make_unique<std::vector<std::string>>();
    if (!readingKeys_)
        readingKeys_ = std::make_unique<std::unordered_set<std::string>>(crossRefs_->begin(), crossRefs_->end());
    if (readingKeys_->insert(recordID).second) crossRefs_->push_back(recordID);
}

void GEDCOMRecord::convert_REFToArray() { readingKeys_.reset(); }

void GEDCOMRecord::changeCrossRefUndoTo(const std::string& oldID, const std::string& newID) {
    detachCrossRefTo(oldID);
    if (!holds(crossRefIDs(), newID)) attachCrossRefTo(newID);
}

void GEDCOMRecord::changeCrossRefTo(const std::string& oldID, const std::string& newID) {
    if (!crossRefs_) return;
    auto it = std::find(crossRefs_->begin(), crossRefs_->end(), oldID);
    if (it != crossRefs_->end()) crossRefs_->erase(it);
    // A record that cites this one twice asks twice; the list keeps each
    // ID once.
    if (!holds(*crossRefs_, newID)) crossRefs_->push_back(newID);
    if (readingKeys_) {
        readingKeys_->erase(oldID);
        readingKeys_->insert(newID);
    }
}

void GEDCOMRecord::detachCrossRefsFrom(const std::string& tag) {
    for (const std::string& id : std::vector<std::string>(crossRefIDs()))
        if (auto record = linkedRecord(id, "")) record->detachCrossRef(tag, grecordID());
}

// ---- link structures

void GEDCOMRecord::attachLink(const GEDCOMRecord& record, const std::string& linkTag) {
    auto sameTag = findChildren(linkTag, false);
    auto anchor = sameTag.empty() ? lastStructure() : sameTag.back();
    addStructure(newLine(1, linkTag, record.grecordID()), this, anchor.get(), true);
    setChangeDate();
}

void GEDCOMRecord::attachRefedLink(const std::shared_ptr<GEDCOMRecord>& record, const std::string& linkTag) {
    if (!record) return;
    attachLink(*record, linkTag);
    record->attachCrossRef(*this);
}

bool GEDCOMRecord::detachCrossRef(const std::string& tag, const std::string& recordID) {
    bool removed = false;
    for (const auto& pair : findAllStructuresWithTag(tag, recordID)) {
        removeStructure(pair.structure, pair.parent.get(), nullptr);
        setChangeDate();
        removed = true;
    }
    return removed;
}

void GEDCOMRecord::changeCrossRefUndo(const std::string& tag, const std::string& oldID, const std::string& newID) {
    auto pairs = findAllStructuresWithTag(tag, oldID);
    if (pairs.empty()) return;
    for (const auto& pair : pairs) {
        // A parent that already links to the new ID would end up with the
        // same link twice.
        const bool duplicate = std::any_of(
            pair.parent->structures().begin(), pair.parent->structures().end(), [&](const auto& sibling) {
                return sibling != pair.structure && sibling->gtag() == tag && sibling->contents() == newID &&
                       sibling->glevel() == pair.structure->glevel();
            });
        if (duplicate)
            removeStructure(pair.structure, pair.parent.get(), nullptr);
        else
            pair.structure->setContents(newID);
    }
    setChangeDate();
}

void GEDCOMRecord::changeCrossRef(const std::string& tag, const std::string& oldID, const std::string& newID) {
    for (const auto& pair : findAllStructuresWithTag(tag, oldID)) pair.structure->changeContents(newID);
    clearGEDCOMCacheNoUndo();
}

void GEDCOMRecord::changeCrossRefsFrom(const std::string& tag, const std::string& oldID, const std::string& newID,
                                       bool withUndo) {
    for (const std::string& id : std::vector<std::string>(crossRefIDs())) {
        auto record = linkedRecord(id, "");
        if (!record) continue;
        if (withUndo)
            record->changeCrossRefUndo(tag, oldID, newID);
        else
            record->changeCrossRef(tag, oldID, newID);
    }
}

// ---- whole-record operations

void GEDCOMRecord::removeAllLinks() {
    detachCrossRefsIn("NOTE", std::nullopt, std::string("NOTE"), true);
    detachCrossRefsIn("SOUR", std::nullopt, std::string("SOUR"), false);
    detachCrossRefsIn("OBJE", std::nullopt, std::string("OBJE"), false);
}

void GEDCOMRecord::detachCrossRefsIn(const std::string& tagHere, const std::optional<std::string>& tagThere,
                                     const std::optional<std::string>& inType, bool removeRec) {
    for (const auto& pair : findAllStructuresWithTag(tagHere, std::nullopt)) {
        auto linked = linkedRecord(pair.structure->contents(), inType.value_or(""));
        if (!linked) continue;
        const bool removed =
            tagThere ? linked->detachCrossRef(*tagThere, grecordID()) : linked->detachCrossRefTo(grecordID());
        if (removeRec && removed && linked->isNotLinkedToRecordsBesides(std::nullopt) && model())
            model()->deleteRecord(linked);
    }
}

void GEDCOMRecord::changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) {
    for (const char* tag : kBaseLinkTags) changeCrossRefsIn(tag, std::nullopt, std::string(tag), oldID, newID, withUndo);
}

void GEDCOMRecord::changeCrossRefsIn(const std::string& tagHere, const std::optional<std::string>& tagThere,
                                     const std::optional<std::string>& inType, const std::string& oldID,
                                     const std::string& newID, bool withUndo) {
    for (const auto& pair : findAllStructuresWithTag(tagHere, std::nullopt)) {
        auto linked = linkedRecord(pair.structure->contents(), inType.value_or(""));
        if (!linked) continue;
        if (tagThere && withUndo)
            linked->changeCrossRefUndo(*tagThere, oldID, newID);
        else if (tagThere)
            linked->changeCrossRef(*tagThere, oldID, newID);
        else if (withUndo)
            linked->changeCrossRefUndoTo(oldID, newID);
        else
            linked->changeCrossRefTo(oldID, newID);
    }
}

void GEDCOMRecord::changeRecordIDToID(const std::string& newID) {
    const std::string oldID = grecordID();
    setGrecordID(newID);
    changeAllLinksFromID(oldID, newID, false);
    postFromStore(notification_names::RecordIDChanged,
                  Dictionary{{"OldRecordID", Value(oldID)}, {"TheRecord", Value(holdRecord())}});
}

// ---- queries and lists

bool GEDCOMRecord::canLinkTo(std::string_view) const { return false; }

bool GEDCOMRecord::isNotLinkedToRecordsBesides(const std::optional<std::string>&) { return false; }

bool GEDCOMRecord::backLinksHoldOnly(const std::optional<std::string>& recordID) const {
    const auto& ids = crossRefIDs();
    if (!recordID) return ids.empty();
    return std::all_of(ids.begin(), ids.end(), [&](const std::string& id) { return id == *recordID; });
}

void GEDCOMRecord::setUpLinkLists(RecordLinkLists& lists) {
    lists = RecordLinkLists{};
    lists.fatherOrHusband.reserve(1);
    lists.motherOrWife.reserve(1);
    lists.spouses.reserve(4);
    if (isType("HEAD")) return;
    readAllTags(lists.sources, "SOUR");
    readAllTags(lists.multimedia, "OBJE");
}

void GEDCOMRecord::readAllTags(std::vector<std::string>& list, const std::string& tag) {
    const bool places = tag == "PLAC";
    std::unordered_set<std::string> placeIDs;
    for (const auto& pair : findAllStructuresWithTag(tag, std::nullopt)) {
        const std::string& text = pair.structure->contents();
        if (places) {
            auto id = model() ? model()->placeRecordIDForName(text) : std::nullopt;
            if (id && placeIDs.insert(*id).second) list.push_back(*id);
        } else if (linkedRecord(text, tag)) {
            list.push_back(text);
        }
    }
}

// ---- style-sheet comments

void GEDCOMRecord::fixCSSLinksInRecord(const Dictionary& styleSheetIDs) {
    for (const auto& child : StructureList(structures())) child->dereferenceCSSFromID(styleSheetIDs);
}

void GEDCOMRecord::detachCSSLinkTo(const std::string& recordID) {
    for (const auto& child : StructureList(structures())) child->detachCSSLinkTo(recordID);
}

}  // namespace kl
