// A note's text, names, links, drops, merge rules and script keys.
#include "model/NOTERecord.h"

#include <algorithm>
#include <cctype>

#include "foundation/HTMLText.h"
#include "foundation/MainThread.h"
#include "model/GEDCOMStructure.h"
#include "model/RecordStore.h"
#include "foundation/TextCase.h"
#include "foundation/Utf8.h"
#include "model/wex.h"

namespace kl {

namespace {

constexpr std::string_view kWhite = " \t\r\n";
constexpr const char* kReturnSign = "\xE2\x86\xB5";  // "↵"

std::string lowerASCII(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

std::size_t findIgnoringCase(std::string_view text, std::string_view what, std::size_t from = 0) {
    if (from > text.size()) return std::string_view::npos;
    return lowerASCII(text).find(lowerASCII(what), from);
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kWhite);
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(kWhite) - first + 1));
}

// The first `count` characters, never cutting a UTF-8 sequence.
std::string firstCharacters(std::string_view text, std::size_t count) {
    return std::string(text.substr(0, utf8::advance(text, 0, count)));
}

std::string replaceAll(std::string text, std::string_view what, std::string_view with) {
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

}  // namespace

const std::vector<std::string>& NOTERecord::linkTags() {
    static const std::vector<std::string> tags{"NOTE", "SOUR", "CONC"};
    return tags;
}

// ---- text and names

std::string NOTERecord::notesText() const {
    auto text = firstChildWithTag("CONC");
    return text ? text->contents() : std::string();
}

void NOTERecord::setNotesText(const std::string& text) {
    if (deferUntilInstalled([this, text] { setNotesText(text); })) return;
    const std::string clean = removeReturns(text);
    if (auto line = firstChildWithTag("CONC"))
        line->setContents(clean);
    else
        addStructure(std::make_shared<GEDCOMStructure>(this, 1, "CONC", clean), this, nullptr, false);
    setChangeDate();
}

std::string NOTERecord::viewName() const {
    const std::string text = notesText();
    if (text.empty()) return "Empty Notes ID " + grecordID();
    std::size_t start = 0;
    if (const std::size_t content = isHTMLText(text)) {
        if (auto name = findHTMLComment("<!--name", text, nullptr)) return *name;
        start = text.find_first_not_of(kWhite, content);
    } else {
        start = text.find_first_not_of(kWhite);
    }
    if (start == std::string::npos) start = text.size();
    const std::string_view rest = std::string_view(text).substr(start);
    std::string shown = utf8::longerThan(rest, 50) ? firstCharacters(rest, 50) + "..." : std::string(rest);
    return replaceAll(std::move(shown), "\n", kReturnSign);
}

std::string NOTERecord::ipnName() const {
    const std::string name = viewName();
    std::string shown = utf8::longerThan(name, 40) ? firstCharacters(name, 40) + "..." : name;
    return replaceAll(std::move(shown), kReturnSign, " ");
}

std::optional<std::vector<std::string>> NOTERecord::viewTags() const {
    return viewTagWhenPresent("CONC");
}

std::string NOTERecord::textForNewRecord(bool) { return "1 CONC New Notes\n" + createdText(); }

void NOTERecord::insertNewUserText(const std::string& text) {
    if (auto line = firstChildWithTag("CONC")) line->setContents(text);
}

void NOTERecord::takeRecordText(std::string text) {
    if (!text.empty()) addLevel(1, "CONC", std::move(text));
}

void NOTERecord::simplifyGEDCOMInMode(int mode) {
    if (structures().empty()) return;
    GEDCOMRecord::simplifyGEDCOMInMode(mode);
}

void NOTERecord::tidyOwnLines() {
    if (structures().empty()) return;
    const auto& first = structures().front();
    // A note whose text starts on a continuation line starts with a break.
    if (first->gtag() == "CONT") {
        first->setGtag("CONC");
        first->changeContents("\n" + first->contents());
    }
    if (first->gtag() == "CONC") {
        std::size_t end = 1;
        std::string folded;
        // What hung below a folded line (a citation under a CONC) stays in
        // the note, in its place.
        StructureList moved;
        for (; end < structures().size(); ++end) {
            const auto& line = structures()[end];
            if (line->gtag() == "CONT" || line->gtag() == "CONC") line->appendCONTandCONC();
            if (line->gtag() == "CONT")
                folded.append("\n").append(line->contents());
            else if (line->gtag() == "CONC")
                folded.append(line->contents());
            else
                break;
            for (const auto& child : line->structures()) {
                child->changeLevel(1, this);
                moved.push_back(child);
            }
        }
        if (end > 1) {
            first->changeContents(first->contents() + folded);
            StructureList kept = structures();
            kept.erase(kept.begin() + 1, kept.begin() + static_cast<long>(end));
            kept.insert(kept.begin() + 1, moved.begin(), moved.end());
            setStructures(std::move(kept));
        }
    }
    GEDCOMRecord::tidyOwnLines();
}

// ---- links

bool NOTERecord::canLinkTo(std::string_view type) const { return type == "SOUR"; }

bool NOTERecord::shouldVerifyDeleteAsChildOf(const GEDCOMRecord&) const { return crossRefIDs().size() >= 2; }

void NOTERecord::removeAllLinks() {
    detachCrossRefsFrom("NOTE");
    GEDCOMRecord::removeAllLinks();
}

void NOTERecord::changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) {
    changeCrossRefsFrom("NOTE", oldID, newID, withUndo);
    GEDCOMRecord::changeAllLinksFromID(oldID, newID, withUndo);
}

const GEDCOMRecord::DropTable& NOTERecord::dropTable() const {
    static const DropTable table =
        extendDropTable(baseDropTable(), {
                                             {"dropINDIRecord:", static_cast<DropHandler>(&NOTERecord::dropINDIRecord)},
                                             {"dropFAMRecord:", static_cast<DropHandler>(&NOTERecord::dropFAMRecord)},
                                         });
    return table;
}

GEDCOMRecord::DropAnswer NOTERecord::dropCiting(const std::shared_ptr<GEDCOMRecord>& dropped, const char* refusal) {
    if (!dropped) return std::string("No record was dropped.");
    for (const auto& link : dropped->findChildren("NOTE", false))
        if (link->contents() == grecordID()) return std::string(refusal);
    dropped->attachRefedLink(holdRecord(), "NOTE");
    return std::nullopt;
}

GEDCOMRecord::DropAnswer NOTERecord::dropINDIRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    return dropCiting(dropped, "The dragged individual is already linked to these notes.");
}

GEDCOMRecord::DropAnswer NOTERecord::dropFAMRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    return dropCiting(dropped, "The dragged family is already linked to these notes.");
}

// ---- merging

std::string NOTERecord::mergeKey() const {
    const std::string name = viewName();
    return name.substr(0, name.find(kReturnSign));
}

bool NOTERecord::canMergeWith(const GEDCOMRecord& other) {
    const auto* note = dynamic_cast<const NOTERecord*>(&other);
    return note && textcase::lower(mergeKey()) == textcase::lower(note->mergeKey());
}

std::string NOTERecord::mergeRequirement() const {
    return "To merge notes, they must begin in the same text, or if a custom name is defined, they must have the "
           "same name.";
}

bool NOTERecord::removeDuplicateLinksAfterMerge() {
    std::int64_t removed = removeDuplicateLinks("SOUR");
    if (auto text = firstChildWithTag("CONC")) {
        const std::string& merged = text->contents();
        const std::string separator = kMergeSeparator;
        const auto at = merged.find(separator);
        const bool two = at != std::string::npos && merged.find(separator, at + 1) == std::string::npos;
        if (two) {
            const std::string first = merged.substr(0, at);
            if (textcase::lower(first) == textcase::lower(merged.substr(at + separator.size()))) {
                text->setContents(first);
                ++removed;
            }
        }
    }
    return removed >= contextInfo().toInteger(0);
}

// ---- scripting

std::string NOTERecord::htmlText() const {
    const std::string text = notesText();
    if (!isHTMLText(text)) return {};
    const std::string body = trimmed(text);
    return trimmed(std::string_view(body).substr(0, body.size() - 6));
}

std::optional<std::string> NOTERecord::klis_getAttribute(const std::string& name, ISInterpreter* sender) {
    if (name == "notesText") return notesText();
    if (name == "htmlText") return htmlText();
    return GEDCOMRecord::klis_getAttribute(name, sender);
}

bool NOTERecord::klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) {
    if (name == "name") return false;
    if (name == "notesText") {
        auto self = std::static_pointer_cast<NOTERecord>(holdRecord());
        Dispatcher::current().postAndWait([self, value] { self->setNotesText(value); });
        return true;
    }
    return GEDCOMRecord::klis_setAttribute(name, value, sender);
}

std::shared_ptr<Object> NOTERecord::klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) {
    if (name == "referencedBy") {
        const auto& ids = crossRefIDs();
        return listValue(sender, Array(ids.begin(), ids.end()));
    }
    return GEDCOMRecord::klis_getObjectAttribute(name, sender);
}

// ---- HTML lookups

std::optional<std::string> NOTERecord::findHTMLElement(std::string_view start, std::string_view end,
                                                       std::string_view text, TextRange* elementRange) {
    const auto open = findIgnoringCase(text, start);
    if (open == std::string_view::npos || open + start.size() >= text.size()) return std::nullopt;
    const auto from = open + start.size();
    const auto close = findIgnoringCase(text, end, from);
    if (close == std::string_view::npos) return std::nullopt;
    if (elementRange) *elementRange = {open, close + end.size() - open};
    std::string inside = trimmed(text.substr(from, close - from));
    if (inside.empty()) return std::nullopt;
    return inside;
}

std::optional<std::string> NOTERecord::findHTMLComment(std::string_view marker, std::string_view text,
                                                       TextRange* contentRange) {
    const auto open = findIgnoringCase(text, marker);
    if (open == std::string_view::npos || open + marker.size() >= text.size()) return std::nullopt;
    const auto from = open + marker.size();
    const auto close = text.find("-->", from);
    if (close == std::string_view::npos) return std::nullopt;
    if (contentRange) *contentRange = {from, close - from};
    std::string inside = trimmed(text.substr(from, close - from));
    if (inside.empty()) return std::nullopt;
    return inside;
}

}  // namespace kl
