#include "model/HREFLinks.h"

#include <atomic>

#include "foundation/AsciiText.h"
#include "foundation/HTMLText.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/RecordStore.h"

namespace kl {

namespace {

// One record link found inside an anchor's opening tag.
struct AnchorLink {
    std::size_t anchor;      // the "<a "
    std::size_t tagEnd;      // its ">"
    std::size_t valueStart;  // after the opening quote
    std::size_t valueEnd;    // the closing quote
    std::size_t idStart;     // the "@"
};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The record link of the anchor opened at `anchor`, if it has one.
std::optional<AnchorLink> linkInAnchor(const std::string& text, const std::string& lower, std::size_t anchor) {
    const std::size_t tagEnd = text.find('>', anchor);
    if (tagEnd == std::string::npos) return std::nullopt;
    std::size_t at = lower.find("href", anchor + 3);
    if (at == std::string::npos || at > tagEnd) return std::nullopt;
    at += 4;
    while (at < tagEnd && isSpace(text[at])) ++at;
    if (at >= tagEnd || text[at] != '=') return std::nullopt;
    ++at;
    while (at < tagEnd && isSpace(text[at])) ++at;
    if (at >= tagEnd || (text[at] != '"' && text[at] != '\'')) return std::nullopt;
    const char quote = text[at];
    const std::size_t valueStart = at + 1;
    std::size_t idStart = valueStart;
    if (text.compare(idStart, 2, "//") == 0) idStart += 2;
    if (idStart >= text.size() || text[idStart] != '@') return std::nullopt;
    const std::size_t valueEnd = text.find(quote, idStart);
    if (valueEnd == std::string::npos || valueEnd > tagEnd) return std::nullopt;
    return AnchorLink{anchor, tagEnd, valueStart, valueEnd, idStart};
}

}  // namespace

std::optional<std::string> rewriteHREFLinks(std::string_view html, const HREFIDMap* newIDs, const HREFIDSet* mergeIDs,
                                            const std::function<bool(const std::string&)>& recordExists,
                                            HREFCounts& counts) {
    std::string text(html);
    std::string lower = asciiLower(text);
    bool changed = false;
    std::size_t from = 0;
    while ((from = lower.find("<a ", from)) != std::string::npos) {
        const auto link = linkInAnchor(text, lower, from);
        if (!link) {
            from += 3;
            continue;
        }
        const std::string id = text.substr(link->idStart, link->valueEnd - link->idStart);
        std::optional<std::string> replacement;  // the new value; "" removes the link
        bool remove = false;
        if (newIDs) {
            if (auto found = newIDs->find(id); found != newIDs->end()) {
                if (found->second.empty())
                    remove = true;
                else
                    replacement = "//" + found->second;
            }
        } else if (!mergeIDs) {
            if (recordExists && recordExists(id)) {
                ++counts.total;
            } else {
                ++counts.broken;
                remove = true;
            }
        }
        std::size_t resume = link->tagEnd + 1;
        if (replacement) {
            text.replace(link->valueStart, link->valueEnd - link->valueStart, *replacement);
            resume = link->valueStart + replacement->size();
            changed = true;
        } else if (remove) {
            const std::size_t close = lower.find("</a>", link->tagEnd);
            if (close != std::string::npos) {
                const std::string inner = text.substr(link->tagEnd + 1, close - link->tagEnd - 1);
                text.replace(link->anchor, close + 4 - link->anchor, inner);
                resume = link->anchor + inner.size();
            } else {
                text.replace(link->valueStart, link->valueEnd - link->valueStart, "#");
                resume = link->valueStart + 1;
            }
            changed = true;
        }
        if (changed) lower = asciiLower(text);
        from = resume;
    }
    if (!changed) return std::nullopt;
    return text;
}

namespace {

// One line's links; with `edits` the new text is gathered under `held`, the
// line's owning pointer, instead of set.
void rewriteLineHREFs(GEDCOMStructure& line, const std::shared_ptr<GEDCOMStructure>& held, const HREFIDMap* newIDs,
                      const HREFIDSet* mergeIDs, ContentEdits* edits) {
    if (isHTMLText(line.contents()) == 0) return;
    GEDCOMRecord::setRecordHasHTML(true);
    RecordStore* store = line.theRecord() ? line.theRecord()->model() : nullptr;
    HREFCounts counts;
    auto rewritten = rewriteHREFLinks(
        line.contents(), newIDs, mergeIDs,
        [store](const std::string& id) { return store && store->recordWithID(id, "") != nullptr; }, counts);
    for (int i = 0; i < counts.total; ++i) GEDCOMRecord::incrementTotalHREFLinks();
    for (int i = 0; i < counts.broken; ++i) GEDCOMRecord::incrementBrokenHREFLinks();
    if (!rewritten) return;
    if (edits) {
        if (held) edits->push_back({held, std::move(*rewritten)});
    } else
        line.setContents(std::move(*rewritten));
}

}  // namespace

void GEDCOMStructure::dereferenceHREFFromID(const HREFIDMap* newIDs, const HREFIDSet* mergeIDs, ContentEdits* edits) {
    // Only gathering needs this line's own pointer; its descendants' come
    // from their lists.
    std::shared_ptr<GEDCOMStructure> held;
    if (edits && isHTMLText(contents()) != 0) held = std::static_pointer_cast<GEDCOMStructure>(weak_from_this().lock());
    rewriteLineHREFs(*this, held, newIDs, mergeIDs, edits);
    walkHeld([&](const std::shared_ptr<GEDCOMStructure>& line) {
        rewriteLineHREFs(*line, line, newIDs, mergeIDs, edits);
        return WalkStep::Continue;
    });
}

bool GEDCOMRecord::fixHREFLinksInRecord(const HREFIDMap* newIDs, const HREFIDSet* mergeIDs, ContentEdits* edits) {
    setRecordHasHTML(false);
    for (const auto& child : structures()) child->dereferenceHREFFromID(newIDs, mergeIDs, edits);
    return recordHasHTML();
}

}  // namespace kl
