// Small data operations every record offers: keywords, the portrait, simple
// tagged values, places and dates, the creation stamp and the entries of the
// Detach menu.
#include <algorithm>
#include <cctype>

#include "model/DetachLinkList.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/LibraryServices.h"
#include "model/RecordStore.h"
#include "foundation/Utf8.h"

namespace kl {

namespace {

constexpr std::size_t kKeywordLineLength = 80;
constexpr const char* kKeywordType = "Keyword(s)";

std::string trimmedText(std::string_view text) {
    auto white = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    std::size_t b = 0, e = text.size();
    while (b < e && white(text[b])) ++b;
    while (e > b && white(text[e - 1])) --e;
    return std::string(text.substr(b, e - b));
}

std::shared_ptr<GEDCOMStructure> directChild(const GEDCOMObject& node, std::string_view tag) {
    for (const auto& child : node.structures())
        if (child->gtag() == tag) return child;
    return nullptr;
}

bool startsCaseless(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

bool isKeywordLine(const GEDCOMStructure& refn) {
    if (refn.gtag() != "REFN") return false;
    auto type = directChild(refn, "TYPE");
    return type && startsCaseless(type->contents(), "keyword");
}

std::string withoutLastWord(std::string_view text) {
    const std::string t = trimmedText(text);
    const std::size_t blank = t.find_last_of(' ');
    return blank == std::string::npos ? std::string() : trimmedText(std::string_view(t).substr(0, blank));
}

}  // namespace

// ---- keywords

std::vector<std::string> GEDCOMRecord::keywords() const {
    std::vector<std::string> words;
    for (const auto& child : structures()) {
        if (!isKeywordLine(*child)) continue;
        std::string_view rest = child->contents();
        for (;;) {
            const std::size_t semi = rest.find(';');
            std::string word = trimmedText(rest.substr(0, semi));
            if (!word.empty()) words.push_back(std::move(word));
            if (semi == std::string_view::npos) break;
            rest.remove_prefix(semi + 1);
        }
    }
    return words;
}

void GEDCOMRecord::setKeywords(const Array& newKeywords) {
    StructureList existing;
    for (const auto& child : structures())
        if (isKeywordLine(*child)) existing.push_back(child);
    std::size_t used = 0;
    std::string buffer;
    auto writeOut = [&] {
        if (used < existing.size()) {
            existing[used++]->setContents(buffer);
        } else {
            auto refn = newLine(1, "REFN", buffer);
            refn->GEDCOMObject::addStructure(newLine(2, "TYPE", kKeywordType));
            addStructure(refn, this, lastStructure().get(), false);
        }
        buffer.clear();
    };
    for (std::size_t i = 0; i < newKeywords.size(); ++i) {
        if (const std::string* text = newKeywords[i].string()) {
            const std::string word = trimmedText(*text);
            if (!word.empty()) {
                if (!buffer.empty()) buffer += "; ";
                buffer += word;
            }
        }
        const bool last = i + 1 == newKeywords.size();
        // A keyword is never split, so a line may pass the length.
        if (utf8::longerThan(buffer, kKeywordLineLength) || (last && !buffer.empty())) writeOut();
    }
    for (std::size_t k = used; k < existing.size(); ++k) removeStructure(existing[k], this, nullptr);
    setChangeDate();
}

// ---- portrait

bool GEDCOMRecord::setPortraitOBJE(const std::shared_ptr<GEDCOMRecord>& object) {
    auto firstLink = directChild(*this, "OBJE");
    if (!object) {
        if (!firstLink) return false;
        auto noPortrait = directChild(*this, "_NOPOR");
        if (!noPortrait)
            addStructure(newLine(1, "_NOPOR", "Y"), this, lastStructure().get(), false);
        else if (noPortrait->contents() != "Y")
            noPortrait->setContents("Y");
        else
            return false;
        setChangeDate();
        return true;
    }
    std::shared_ptr<GEDCOMStructure> link;
    for (const auto& child : structures()) {
        if (child->gtag() != "OBJE") continue;
        auto target = linkedRecord(child->contents(), "OBJE");
        if (target == object || (!target && !model() && child->contents() == object->grecordID())) {
            link = child;
            break;
        }
    }
    if (!link) return false;
    if (link != firstLink) {
        removeStructure(link, this, nullptr);
        const std::size_t at = indexOfStructure(firstLink.get());
        const GEDCOMObject* before = at > 0 ? structures()[at - 1].get() : nullptr;
        addStructure(link, this, before, false);
    }
    setChangeDate();
    if (auto noPortrait = directChild(*this, "_NOPOR")) removeStructure(noPortrait, this, nullptr);
    return true;
}

std::shared_ptr<GEDCOMRecord> GEDCOMRecord::portraitImage() const {
    if (directChild(*this, "_NOPOR")) return nullptr;
    auto link = directChild(*this, "OBJE");
    if (!link || utf8::countCharacters(link->contents()) < 2) return nullptr;
    return linkedRecord(link->contents(), "OBJE");
}

// ---- simple tagged values

std::string GEDCOMRecord::dataWithTag(const std::string& tag) const {
    auto line = directChild(*this, tag);
    return line ? line->contents() : std::string();
}

void GEDCOMRecord::setDataWithTag(const std::string& tag, const std::string& value) {
    if (auto line = directChild(*this, tag))
        line->setContents(value);
    else
        addStructure(newLine(1, tag, value), this, lastStructure().get(), false);
    setChangeDate();
}

void GEDCOMRecord::setGenericTag(const std::string& tag, const std::optional<std::string>& parentTag,
                                 const std::string& contents) {
    GEDCOMObject* holder = this;
    int level = 1;
    if (parentTag) {
        auto parent = directChild(*this, *parentTag);
        if (!parent) {
            parent = newLine(1, *parentTag, "");
            parent->GEDCOMObject::addStructure(newLine(2, tag, contents));
            addStructure(parent, this, lastStructure().get(), false);
            setChangeDate();
            return;
        }
        holder = parent.get();
        level = 2;
    }
    if (auto line = directChild(*holder, tag)) {
        if (line->contents() == contents) return;
        line->setContents(contents);
    } else {
        addStructure(newLine(level, tag, contents), holder, holder->lastStructure().get(), false);
    }
    setChangeDate();
}

void GEDCOMRecord::attachCopyOfStructure(const GEDCOMStructure& structure) {
    auto copy = newLine(1, structure.gtag(), structure.contents());
    for (const auto& child : structure.structures())
        copy->GEDCOMObject::addStructure(newLine(2, child->gtag(), child->contents()));
    addStructure(copy, this, lastStructure().get(), true);
    setChangeDate();
}

// ---- dates and places

namespace {

std::optional<std::string> firstContentsWithTag(const GEDCOMObject& root, std::string_view tag) {
    std::optional<std::string> found;
    root.walk([&](GEDCOMObject& node) {
        if (node.glevel() > 0 && node.gtag() == tag) {
            found = node.contents();
            return GEDCOMObject::WalkStep::Stop;
        }
        return GEDCOMObject::WalkStep::Continue;
    });
    return found;
}

}  // namespace

std::optional<std::string> GEDCOMRecord::firstDate() const {
    if (auto date = firstContentsWithTag(*this, "DATE")) return date;
    return firstContentsWithTag(*this, "_DATE");
}

std::optional<std::string> GEDCOMRecord::firstPlace() const { return firstContentsWithTag(*this, "PLAC"); }

GEDCOMObject::StructureList GEDCOMRecord::findPlace(const std::string& place, bool all) const {
    StructureList found;
    for (const auto& line : findAllPlaces()) {
        if (line->contents() != place) continue;
        found.push_back(line);
        if (!all) break;
    }
    return found;
}

GEDCOMObject::StructureList GEDCOMRecord::findAllPlaces() const {
    StructureList places;
    for (const auto& child : structures())
        for (const auto& line : child->structures())
            if (line->gtag() == "PLAC") places.push_back(line);
    return places;
}

std::vector<std::shared_ptr<GEDCOMRecord>> GEDCOMRecord::findAllPlaceRecords() const {
    std::vector<std::shared_ptr<GEDCOMRecord>> records;
    RecordStore* store = model();
    if (!store) return records;
    for (const auto& line : findAllPlaces()) {
        auto placeID = store->placeRecordIDForName(line->contents());
        if (!placeID) continue;
        if (auto place = store->recordWithID(*placeID, "_PLC")) records.push_back(place);
    }
    return records;
}

void GEDCOMRecord::addNonCHANDateTagsToList(std::vector<std::shared_ptr<GEDCOMObject>>& list) const {
    walkHeld([&list](const std::shared_ptr<GEDCOMStructure>& node) {
        if (node->glevel() == 1 && node->gtag() == "CHAN") return GEDCOMObject::WalkStep::SkipChildren;
        if (node->glevel() > 0 && node->gtag() == "DATE") list.push_back(node);
        return GEDCOMObject::WalkStep::Continue;
    });
}

std::optional<std::string> GEDCOMRecord::creationDate() const {
    auto refn = directChild(*this, "REFN");
    auto type = refn ? directChild(*refn, "TYPE") : nullptr;
    if (!type) return std::nullopt;
    if (type->contents() == "Creation Date") {
        std::string date = withoutLastWord(refn->contents());
        return date.empty() ? std::nullopt : std::optional<std::string>(date);
    }
    if (type->contents() != "Created") return std::nullopt;
    const std::string& stamp = refn->contents();
    const std::size_t mark = stamp.find_first_of(". ");
    if (mark == std::string::npos) return std::nullopt;
    std::string date = trimmedText(std::string_view(stamp).substr(mark + 1));
    const std::size_t blank = date.find_last_of(' ');
    const std::size_t lastLength = blank == std::string::npos ? date.size() : date.size() - blank - 1;
    if (blank != std::string::npos && lastLength >= 1 && lastLength <= 2) date = trimmedText(date.substr(0, blank));
    return date.empty() ? std::nullopt : std::optional<std::string>(date);
}

// ---- Detach menu

void GEDCOMRecord::detachableEventsAttributesLinks(DetachLinkList& list) { addLinksToList(list, std::nullopt); }

std::optional<std::array<std::string, 2>> GEDCOMRecord::nameForEventToDetach(const GEDCOMStructure& structure) const {
    if (structure.glevel() != 1) return std::nullopt;
    auto services = LibraryServices::current();
    const std::string& tag = structure.gtag();
    std::string name;
    if (tag == "REFN") {
        auto type = directChild(structure, "TYPE");
        name = type && !type->contents().empty() ? type->contents() : services->localString("User Reference Number");
    } else if (tag == "RFN") {
        name = services->localString("Record File Number");
    } else if (tag == "RIN") {
        name = services->localString("Record ID");
    } else {
        return std::nullopt;
    }
    const std::string value = structure.contents().empty() ? services->localString("Empty Data") : structure.contents();
    return std::array<std::string, 2>{name, value};
}

void GEDCOMRecord::addEventLinks(DetachLinkList& list, const std::shared_ptr<GEDCOMStructure>& inEvent) {
    if (!inEvent) return;
    auto name = nameForEventToDetach(*inEvent);
    if (!name) return;
    list.addDetachLink(inEvent, *name, std::nullopt, this);
    inEvent->addLinksToList(list, (*name)[0]);
}

}  // namespace kl
