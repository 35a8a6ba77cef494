// What a line does when records are detached, deleted or merged: the back
// links its citations created are dropped, style-sheet comments are cut or
// re-pointed, and two records' lines are compared (and the kept one
// completed) for a merge.
#include <vector>

#include "dates/DateBridge.h"
#include "foundation/AsciiText.h"
#include "foundation/TextCase.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/NOTERecord.h"
#include "model/RecordStore.h"
#include "model/wex.h"

namespace kl {

namespace {

constexpr std::string_view kCSSOpen = "<!--CSS";
constexpr std::string_view kCSSClose = "-->";

bool equalIgnoringCase(std::string_view a, std::string_view b) { return textcase::compareFolded(a, b) == 0; }

// Whether `tag` links to the record by this ID only once in the record.
bool onlyLinkIn(GEDCOMRecord& record, const std::string& tag, const std::string& recordID) {
    return record.findAllStructuresWithTag(tag, recordID).size() < 2;
}

// The records a leaving line's links name forget the leaving record.
void clearOneLink(GEDCOMStructure& line, GEDCOMRecord& leaving, RecordStore& store) {
    const std::string& tag = line.gtag();
    const std::string target = line.contents();
    const std::string& leavingID = leaving.grecordID();
    if (tag == "NOTE" || tag == "SOUR" || tag == "OBJE" || tag == "_LOG") {
        if (auto linked = store.recordWithID(target, tag); linked && onlyLinkIn(leaving, tag, target)) {
            if (tag == "_LOG")
                for (const char* back : {"_INDI", "_FAM", "__PLC"}) linked->detachCrossRef(back, leavingID);
            else
                linked->detachCrossRefTo(leavingID);
        }
        line.setContents("");
    } else if (tag == "ASSO") {
        if (auto linked = store.recordWithID(target, "")) linked->detachCrossRef("ASSO", leavingID);
    } else if (leaving.isType("_LOG") && (tag == "_INDI" || tag == "_FAM" || tag == "__PLC")) {
        const std::string type = tag == "_INDI" ? "INDI" : tag == "_FAM" ? "FAM" : "_PLC";
        if (auto linked = store.recordWithID(target, type)) linked->detachCrossRef("_LOG", leavingID);
    }
}

// Every line of the subtree, the root first; taken before any is changed.
std::vector<GEDCOMStructure*> linesOf(const GEDCOMStructure& root) {
    std::vector<GEDCOMStructure*> lines;
    root.walk([&lines](GEDCOMObject& node) {
        lines.push_back(static_cast<GEDCOMStructure*>(&node));
        return GEDCOMObject::WalkStep::Continue;
    });
    return lines;
}

// Both dates span the same days; an unreadable date matches nothing.
bool sameDays(const std::string& a, const std::string& b) {
    SDN firstA = 0, lastA = 0, firstB = 0, lastB = 0;
    if (sdnRangeForDate(a, firstA, lastA) || sdnRangeForDate(b, firstB, lastB)) return false;
    return firstA == firstB && lastA == lastB;
}

}  // namespace

void GEDCOMStructure::clearCrossLinksTo(GEDCOMRecord& leaving) {
    RecordStore* store = leaving.model();
    if (!store) return;
    for (GEDCOMStructure* line : linesOf(*this)) clearOneLink(*line, leaving, *store);
}

void GEDCOMStructure::detachCSSLinkTo(const std::string& recordID) {
    for (GEDCOMStructure* line : linesOf(*this)) {
        const std::string& text = line->contents();
        NOTERecord::TextRange inside;
        const auto key = NOTERecord::findHTMLComment(kCSSOpen, text, &inside);
        if (!key || *key != recordID) continue;
        const std::size_t open = inside.location - kCSSOpen.size();
        const std::size_t end = inside.location + inside.length + kCSSClose.size();
        line->setContents(text.substr(0, open) + text.substr(end));
        if (GEDCOMRecord* record = line->theRecord()) record->setChangeDate();
    }
}

void GEDCOMStructure::dereferenceCSSFromID(const Dictionary& styleSheetIDs) {
    for (GEDCOMStructure* line : linesOf(*this)) {
        std::string text = line->contents();
        bool changed = false;
        std::size_t from = 0;
        for (;;) {
            const std::size_t open = asciiLower(text).find("<!--css", from);
            if (open == std::string::npos) break;
            const std::size_t keyStart = open + kCSSOpen.size();
            if (keyStart >= text.size()) break;
            const std::size_t close = text.find(kCSSClose, keyStart);
            if (close == std::string::npos) break;
            const std::string key = wex::nonWhiteString(std::string_view(text).substr(keyStart, close - keyStart));
            const Value* recordID = key.empty() ? nullptr : styleSheetIDs.get(key);
            if (!recordID) {
                from = close + kCSSClose.size();
                continue;
            }
            const std::string replaced = " " + recordID->toString() + " ";
            text.replace(keyStart, close - keyStart, replaced);
            from = keyStart + replaced.size() + kCSSClose.size();
            changed = true;
        }
        if (changed) line->setContents(std::move(text));
    }
}

std::shared_ptr<GEDCOMStructure> GEDCOMStructure::structCopyForRecord(GEDCOMRecord* record) const {
    auto copyLine = [record](const GEDCOMStructure& line) {
        auto copy = std::make_shared<GEDCOMStructure>(record, line.glevel(), line.gtag(), line.contents());
        if (const std::string* comment = line.storedQuickComment()) copy->storeQuickComment(*comment);
        return copy;
    };
    auto root = copyLine(*this);
    // Deep trees are copied without recursion, as every other walk is.
    std::vector<std::pair<const GEDCOMStructure*, GEDCOMStructure*>> pending{{this, root.get()}};
    while (!pending.empty()) {
        auto [source, target] = pending.back();
        pending.pop_back();
        for (const auto& child : source->structures()) {
            auto copy = copyLine(*child);
            target->GEDCOMObject::addStructure(copy);
            if (!child->structures().empty()) pending.emplace_back(child.get(), copy.get());
        }
    }
    return root;
}

int GEDCOMStructure::matches(GEDCOMStructure& other) {
    if (gtag() != other.gtag()) return kMatchNone;
    if (!equalIgnoringCase(contents(), other.contents())) {
        const auto& texts = matchTexts();
        if (gtag() != texts[0] && gtag() != texts[1]) return kMatchNone;
        if (!sameDays(contents(), other.contents())) return kMatchNone;
    }
    std::optional<std::string> mergedComment;
    const auto mine = quickComment();
    const auto theirs = other.quickComment();
    if (mine && theirs && !equalIgnoringCase(*mine, *theirs)) {
        std::string joiner = matchTexts()[2];
        joiner.replace(joiner.find("%@"), 2, *theirs);
        mergedComment = *mine + joiner;
    }
    const int provisional = structures().size() != other.structures().size() ? kMatchChildCounts : kMatchSame;
    if (other.structures().empty()) {
        if (!mergedComment) return provisional;
        setQuickComment(std::move(mergedComment));
        return kMatchChanged;
    }

    StructureList pool = other.structures();
    std::vector<std::pair<std::shared_ptr<GEDCOMStructure>, std::shared_ptr<GEDCOMStructure>>> completed;
    for (const auto& child : StructureList(structures())) {
        for (auto candidate = pool.begin(); candidate != pool.end(); ++candidate) {
            // The other's line takes in what this one has more of; the
            // copy added below then carries both.
            const int answer = (*candidate)->matches(*child);
            if (answer != kMatchNone) {
                if (answer != kMatchSame) completed.emplace_back(child, *candidate);
                pool.erase(candidate);
                break;
            }
            // Citations and events are compared in order: a line of the
            // same tag that differs first means the two lines differ.
            if ((*candidate)->gtag() == child->gtag()) return kMatchNone;
        }
        if (pool.empty()) break;
    }
    if (pool.empty() && completed.empty()) {
        if (!mergedComment) return provisional;
        setQuickComment(std::move(mergedComment));
        return kMatchChanged;
    }
    GEDCOMRecord* record = theRecord();
    for (const auto& extra : pool) addStructure(extra->structCopyForRecord(record), this, lastStructure().get(), {});
    for (const auto& [child, partner] : completed) {
        removeStructure(child, this, {});
        addStructure(partner->structCopyForRecord(record), this, lastStructure().get(), {});
    }
    if (mergedComment) setQuickComment(std::move(mergedComment));
    return kMatchChanged;
}

}  // namespace kl
