// The multimedia object's names, accessors, links, drops, keywords and
// script keys. Its paths and files are in OBJERecord+Paths.cpp and
// OBJERecord+Files.cpp, its report text in OBJERecord+Report.cpp.
#include "model/OBJERecord.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>

#include "dates/DateBridge.h"
#include "foundation/FormatText.h"
#include "foundation/MainThread.h"
#include "foundation/Utf8.h"
#include "model/GEDCOMStructure.h"
#include "model/LibraryServices.h"
#include "model/RecordStore.h"

namespace kl {

namespace {

constexpr std::size_t kKeywordLineLength = 80;

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string trimmed(std::string_view text) {
    auto white = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    std::size_t b = 0, e = text.size();
    while (b < e && white(text[b])) ++b;
    while (e > b && white(text[e - 1])) --e;
    return std::string(text.substr(b, e - b));
}

constexpr std::array<const char*, 14> kMediaWords{
    "photo", "video", "audio", "card", "book", "electronic", "fiche", "film", "magazine", "manuscript",
    "newspaper", "map", "tombstone", "other",
};

}  // namespace

OBJERecord::OBJERecord(std::string recordID, std::string type)
    : GEDCOMRecord(std::move(recordID), std::move(type)) {}

OBJERecord::~OBJERecord() = default;

std::string& OBJERecord::OBJEFileTag() {
    static std::string tag = "FILE";
    return tag;
}

std::shared_ptr<GEDCOMStructure> OBJERecord::fileStructure() const { return firstChildWithTag(OBJEFileTag()); }

std::shared_ptr<GEDCOMStructure> OBJERecord::line(int level, std::string tag, std::string contents) {
    return std::make_shared<GEDCOMStructure>(this, level, std::move(tag), std::move(contents));
}

// ---- names

std::shared_ptr<GEDCOMStructure> OBJERecord::titleStructure() const {
    auto file = fileStructure();
    return file ? file->firstChildWithTag("TITL") : nullptr;
}

std::string OBJERecord::viewName() const {
    auto title = titleStructure();
    if (title && !title->contents().empty()) return title->contents();
    return formatText(LibraryServices::current()->localString("Multimedia Object ID %@"), {grecordID()});
}

std::optional<std::vector<std::string>> OBJERecord::viewTags() const {
    if (!fileStructure()) return std::nullopt;
    if (titleStructure()) return std::vector<std::string>{"TITL", OBJEFileTag()};
    return std::vector<std::string>{OBJEFileTag()};
}

void OBJERecord::setViewName(const std::string& name) {
    if (deferUntilInstalled([this, name] { setViewName(name); })) return;
    const std::string text = removeReturns(name);
    if (auto title = titleStructure()) {
        title->setContents(text);
    } else {
        auto file = fileStructure();
        if (!file) {
            file = line(1, OBJEFileTag(), "");
            addStructure(file, this, nullptr, false);
        }
        addStructure(line(2, "TITL", text), file.get(), nullptr, false);
    }
    setChangeDate();
}

std::string OBJERecord::ipnName() const {
    if (auto title = titleStructure(); title && !title->contents().empty()) return title->contents();
    if (auto title = firstChildWithTag("TITL"); title && !title->contents().empty()) return title->contents();
    return "untitled";
}

std::string OBJERecord::textForNewRecord(bool) {
    return formatText(LibraryServices::current()->localString("1 %@ (Choose... a file or enter URL)\n%@"),
                      {OBJEFileTag(), createdText()});
}

void OBJERecord::insertNewUserText(const std::string& text) {
    if (!fileStructure()) return;
    for (const auto& child : structures())
        if (auto title = child->firstChildWithTag("TITL")) {
            title->setContents(text);
            return;
        }
}

// ---- links, merging and deletion

bool OBJERecord::canLinkTo(std::string_view type) const { return type == "SOUR" || type == "NOTE"; }

bool OBJERecord::canMergeWith(const GEDCOMRecord& other) {
    auto fileOf = [](const GEDCOMRecord& record) {
        auto file = record.firstChildWithTag(OBJEFileTag());
        return file ? lowered(file->contents()) : std::string();
    };
    return fileOf(*this) == fileOf(other);
}

std::string OBJERecord::mergeRequirement() const {
    return "To merge multimedia objects, they must be linked to the same file or web site.";
}

void OBJERecord::removeAllLinks() {
    // Copied: each detach shortens the list being walked.
    const std::vector<std::string> citing = crossRefIDs();
    for (const auto& recordID : citing)
        if (auto record = linkedRecord(recordID, "")) record->detachCrossRef(kLinkTag, grecordID());
    if (model()) model()->detachAllCSSLinksTo(grecordID());
    GEDCOMRecord::removeAllLinks();
}

void OBJERecord::changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) {
    const std::vector<std::string> citing = crossRefIDs();
    for (const auto& recordID : citing) {
        auto record = linkedRecord(recordID, "");
        if (!record) continue;
        if (withUndo)
            record->changeCrossRefUndo(kLinkTag, oldID, newID);
        else
            record->changeCrossRef(kLinkTag, oldID, newID);
    }
    if (mmFormat() == kStyleSheetFormat && model()) model()->addCSSDictionaryObject(newID, oldID);
    GEDCOMRecord::changeAllLinksFromID(oldID, newID, withUndo);
}

const GEDCOMRecord::DropTable& OBJERecord::dropTable() const {
    static const DropTable table =
        extendDropTable(baseDropTable(), {
                                             {"dropINDIRecord:", static_cast<DropHandler>(&OBJERecord::dropINDIRecord)},
                                             {"dropFAMRecord:", static_cast<DropHandler>(&OBJERecord::dropFAMRecord)},
                                         });
    return table;
}

GEDCOMRecord::DropAnswer OBJERecord::dropINDIRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    if (!dropped) return std::string("No record was dropped.");
    if (dropped->hasLink(kLinkTag, grecordID()))
        return std::string("The dragged individual is already linked to this multimedia object.");
    dropped->attachRefedLink(holdRecord(), kLinkTag);
    return std::nullopt;
}

GEDCOMRecord::DropAnswer OBJERecord::dropFAMRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    if (!dropped) return std::string("No record was dropped.");
    if (dropped->hasLink(kLinkTag, grecordID()))
        return std::string("The dragged family is already linked to this multimedia object.");
    dropped->attachRefedLink(holdRecord(), kLinkTag);
    return std::nullopt;
}

bool OBJERecord::isNotLinkedToRecordsBesides(const std::optional<std::string>& recordID) {
    if (!hasCrossRefs()) return true;
    if (!recordID) return false;
    return backLinksHoldOnly(recordID);
}

bool OBJERecord::shouldVerifyDeleteAsChildOf(const GEDCOMRecord&) const { return crossRefIDs().size() >= 2; }

// ---- data

std::optional<std::string> OBJERecord::firstPlace() const {
    auto found = const_cast<OBJERecord*>(this)->findAllStructuresWithTag("_LOC", std::nullopt);
    if (found.empty()) return std::nullopt;
    return found.front().structure->contents();
}

std::vector<std::string> OBJERecord::keywords() const {
    std::vector<std::string> words;
    for (const auto& child : structures()) {
        if (child->gtag() != "_KEY") continue;
        std::string_view rest = child->contents();
        for (;;) {
            const std::size_t semi = rest.find(';');
            std::string word = trimmed(rest.substr(0, semi));
            if (!word.empty()) words.push_back(std::move(word));
            if (semi == std::string_view::npos) break;
            rest.remove_prefix(semi + 1);
        }
    }
    return words;
}

void OBJERecord::setKeywords(const Array& newKeywords) {
    StructureList existing;
    for (const auto& child : structures())
        if (child->gtag() == "_KEY") existing.push_back(child);
    std::size_t used = 0;
    bool changed = false;
    std::string buffer;
    auto writeOut = [&] {
        if (used < existing.size())
            existing[used++]->setContents(buffer);
        else
            addStructure(line(1, "_KEY", buffer), this, lastStructure().get(), false);
        buffer.clear();
        changed = true;
    };
    for (std::size_t i = 0; i < newKeywords.size(); ++i) {
        if (const std::string* text = newKeywords[i].string()) {
            const std::string word = trimmed(*text);
            if (!word.empty()) {
                if (!buffer.empty()) buffer += "; ";
                buffer += word;
            }
        }
        const bool last = i + 1 == newKeywords.size();
        // A keyword is never split, so a line may pass the length.
        if (utf8::longerThan(buffer, kKeywordLineLength) || (last && !buffer.empty())) writeOut();
    }
    for (std::size_t k = used; k < existing.size(); ++k) {
        removeStructure(existing[k], this, nullptr);
        changed = true;
    }
    if (changed) setChangeDate();
}

// ---- accessors

std::string OBJERecord::mmFileName(bool* isURL) const {
    if (isURL) *isURL = mmFormat() == kWebFormat;
    auto file = fileStructure();
    return file ? file->contents() : std::string();
}

std::string OBJERecord::mmFormat() const {
    auto file = fileStructure();
    if (!file) return {};
    auto form = file->firstChildWithTag("FORM");
    return form ? lowered(form->contents()) : std::string();
}

int OBJERecord::mmFormType() const {
    auto file = fileStructure();
    auto form = file ? file->firstChildWithTag("FORM") : nullptr;
    auto medi = form ? form->firstChildWithTag("MEDI") : nullptr;
    if (!medi) return MediaNone;
    const std::string word = lowered(medi->contents());
    for (std::size_t i = 0; i < kMediaWords.size(); ++i)
        if (word == kMediaWords[i]) return static_cast<int>(i) + 1;
    return MediaNone;
}

std::string OBJERecord::mmObjectDate() const { return dataWithTag("_DATE"); }

void OBJERecord::setMmObjectDate(const std::string& date) { setGenericTag("_DATE", std::nullopt, date); }

std::string OBJERecord::mmObjectDateUser() const {
    const std::string date = mmObjectDate();
    return date.empty() ? date : userDisplayDate(date);
}

std::int64_t OBJERecord::mmObjectSDN() const {
    const std::string date = mmObjectDate();
    return date.empty() ? 0 : static_cast<std::int64_t>(earliestSdnForDate(date));
}

std::int64_t OBJERecord::mmObjectSDNMax() const {
    const std::string date = mmObjectDate();
    return date.empty() ? 0 : static_cast<std::int64_t>(latestSdnForDate(date));
}

std::string OBJERecord::mmObjectPlace() const { return dataWithTag("_LOC"); }

void OBJERecord::setMmObjectPlace(const std::string& place) { setGenericTag("_LOC", std::nullopt, place); }

void OBJERecord::setMmObjectForm(const std::string& form) { setGenericTag("FORM", OBJEFileTag(), form); }

void OBJERecord::setFileFullPath(const std::string& path) {
    if (auto file = fileStructure()) file->changeContents(path);
}

void OBJERecord::setFileLink(const std::string& path) {
    auto file = fileStructure();
    if (!file) return;
    file->setContents(path);
    setChangeDate();
}

// ---- script keys

std::optional<std::string> OBJERecord::objeAttribute(const std::string& key) const {
    using Getter = std::string (*)(const OBJERecord&);
    static const std::map<std::string, Getter, std::less<>> getters{
        {"objectDate", [](const OBJERecord& r) { return r.mmObjectDate(); }},
        {"objectDateUser", [](const OBJERecord& r) { return r.mmObjectDateUser(); }},
        {"objectForm", [](const OBJERecord& r) { return r.mmObjectForm(); }},
        {"objectPath", [](const OBJERecord& r) { return r.readFullPath(); }},
        {"objectPlace", [](const OBJERecord& r) { return r.mmObjectPlace(); }},
        {"objectSDN", [](const OBJERecord& r) { return std::to_string(r.mmObjectSDN()); }},
        {"objectSDNMax", [](const OBJERecord& r) { return std::to_string(r.mmObjectSDNMax()); }},
    };
    auto it = getters.find(key);
    if (it == getters.end()) return std::nullopt;
    return it->second(*this);
}

std::optional<bool> OBJERecord::setObjeAttribute(const std::string& key, const std::string& value) {
    using Setter = void (OBJERecord::*)(const std::string&);
    static const std::map<std::string, Setter, std::less<>> setters{
        {"objectDate", &OBJERecord::setMmObjectDate},
        {"objectForm", &OBJERecord::setMmObjectForm},
        {"objectPlace", &OBJERecord::setMmObjectPlace},
    };
    if (auto it = setters.find(key); it != setters.end()) {
        (this->*(it->second))(value);
        return true;
    }
    if (objeAttribute(key)) return false;
    return std::nullopt;
}

std::optional<std::string> OBJERecord::klis_getAttribute(const std::string& name, ISInterpreter* sender) {
    if (auto value = objeAttribute(name)) return value;
    return GEDCOMRecord::klis_getAttribute(name, sender);
}

bool OBJERecord::klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) {
    if (objeAttribute(name)) {
        // Only the settable keys change the tree, on the main thread.
        auto self = std::static_pointer_cast<OBJERecord>(holdRecord());
        std::optional<bool> done;
        Dispatcher::current().postAndWait([self, &name, &value, &done] { done = self->setObjeAttribute(name, value); });
        if (done.value_or(false)) return true;
    }
    return GEDCOMRecord::klis_setAttribute(name, value, sender);
}

std::shared_ptr<Object> OBJERecord::klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) {
    if (name == "referencedBy") return listValue(sender, referencedBy());
    return GEDCOMRecord::klis_getObjectAttribute(name, sender);
}

Array OBJERecord::referencedBy() const {
    Array ids;
    for (const auto& recordID : crossRefIDs()) ids.emplace_back(recordID);
    return ids;
}

std::shared_ptr<GEDCOMRecord> OBJERecord::portraitImage() const {
    return std::const_pointer_cast<GEDCOMRecord>(
        std::static_pointer_cast<const GEDCOMRecord>(weak_from_this().lock()));
}

}  // namespace kl
