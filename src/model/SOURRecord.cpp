// A source's fields, names, links, drops, merge rules and script keys.
#include "model/SOURRecord.h"

#include <map>

#include "foundation/MainThread.h"
#include "model/GEDCOMStructure.h"
#include "foundation/TextCase.h"
#include "foundation/Utf8.h"
#include "model/wex.h"

namespace kl {

namespace {

using Getter = std::string (SOURRecord::*)() const;
using Setter = void (SOURRecord::*)(const std::string&);

struct FieldKey {
    Getter get;
    Setter set;
};

const std::map<std::string, FieldKey, std::less<>>& fieldKeys() {
    static const std::map<std::string, FieldKey, std::less<>> keys{
        {"sourceTitle", {&SOURRecord::sourceTitle, &SOURRecord::setSourceTitle}},
        {"sourceAuthors", {&SOURRecord::sourceAuthors, &SOURRecord::setSourceAuthors}},
        {"sourceDetails", {&SOURRecord::sourcePublisher, &SOURRecord::setSourcePublisher}},
        {"sourceType", {&SOURRecord::sourceType, &SOURRecord::setSourceType}},
        {"sourceURL", {&SOURRecord::sourceURL, &SOURRecord::setSourceURL}},
        {"sourceDate", {&SOURRecord::sourceDate, &SOURRecord::setSourceDate}},
    };
    return keys;
}

}  // namespace

const std::vector<std::string>& SOURRecord::linkTags() {
    static const std::vector<std::string> tags{"SOUR"};
    return tags;
}

// ---- fields

void SOURRecord::setSourceData(const std::string& value, const std::string& tag, Setter recall) {
    if (deferUntilInstalled([this, value, recall] { (this->*recall)(value); })) return;
    setDataWithTag(tag, removeReturns(value));
}

void SOURRecord::setSourceTitle(const std::string& v) { setSourceData(v, "TITL", &SOURRecord::setSourceTitle); }
void SOURRecord::setSourceAuthors(const std::string& v) { setSourceData(v, "AUTH", &SOURRecord::setSourceAuthors); }
void SOURRecord::setSourcePublisher(const std::string& v) {
    setSourceData(v, "PUBL", &SOURRecord::setSourcePublisher);
}
void SOURRecord::setSourceType(const std::string& v) { setSourceData(v, "_TYPE", &SOURRecord::setSourceType); }
void SOURRecord::setSourceURL(const std::string& v) { setSourceData(v, "_URL", &SOURRecord::setSourceURL); }
void SOURRecord::setSourceDate(const std::string& v) { setSourceData(v, "_DATE", &SOURRecord::setSourceDate); }
void SOURRecord::setViewName(const std::string& v) { setSourceData(v, "ABBR", &SOURRecord::setViewName); }

// ---- names

std::string SOURRecord::viewName() const {
    std::string name = dataWithTag("ABBR");
    if (name.empty()) name = sourceTitle();
    if (name.empty()) return "Source ID " + grecordID();
    return wex::getFirstLine(name);
}

std::string SOURRecord::ipnName() const {
    const std::string name = viewName();
    if (!utf8::longerThan(name, 30)) return name;
    return name.substr(0, utf8::advance(name, 0, 30)) + "...";
}

std::string SOURRecord::googleWords() const { return sourceTitle() + " " + sourceAuthors(); }

std::optional<std::vector<std::string>> SOURRecord::viewTags() const {
    std::vector<std::string> tags;
    for (const char* tag : {"ABBR", "TITL"})
        if (firstChildWithTag(tag)) tags.emplace_back(tag);
    if (tags.empty()) return std::nullopt;
    return tags;
}

std::string SOURRecord::textForNewRecord(bool) { return "1 TITL New Source\n" + createdText(); }

void SOURRecord::insertNewUserText(const std::string& text) {
    if (auto title = firstChildWithTag("TITL")) title->setContents(text);
}

// ---- links

bool SOURRecord::canLinkTo(std::string_view type) const {
    return type == "REPO" || type == "NOTE" || type == "OBJE";
}

bool SOURRecord::isNotLinkedToRecordsBesides(const std::optional<std::string>& recordID) {
    if (!hasCrossRefs()) return true;
    return recordID && backLinksHoldOnly(recordID);
}

bool SOURRecord::shouldVerifyDeleteAsChildOf(const GEDCOMRecord&) const { return crossRefIDs().size() >= 2; }

void SOURRecord::removeAllLinks() {
    detachCrossRefsFrom("SOUR");
    GEDCOMRecord::removeAllLinks();
}

void SOURRecord::changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) {
    changeCrossRefsFrom("SOUR", oldID, newID, withUndo);
    GEDCOMRecord::changeAllLinksFromID(oldID, newID, withUndo);
}

const GEDCOMRecord::DropTable& SOURRecord::dropTable() const {
    static const DropTable table =
        extendDropTable(baseDropTable(), {
                                             {"dropREPORecord:", static_cast<DropHandler>(&SOURRecord::dropREPORecord)},
                                             {"dropINDIRecord:", static_cast<DropHandler>(&SOURRecord::dropINDIRecord)},
                                             {"dropFAMRecord:", static_cast<DropHandler>(&SOURRecord::dropFAMRecord)},
                                         });
    return table;
}

GEDCOMRecord::DropAnswer SOURRecord::dropREPORecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    if (!dropped) return std::string("No record was dropped.");
    if (hasLink("REPO", dropped->grecordID())) return std::string("The dropped repository is already attached to this record.");
    if (firstChildWithTag("REPO")) return std::string("The source record is already attached to a repository.");
    attachLink(*dropped, "REPO");
    return std::nullopt;
}

GEDCOMRecord::DropAnswer SOURRecord::dropCiting(const std::shared_ptr<GEDCOMRecord>& dropped, const char* refusal) {
    if (!dropped) return std::string("No record was dropped.");
    for (const auto& link : dropped->findChildren("SOUR", false))
        if (link->contents() == grecordID()) return std::string(refusal);
    dropped->attachRefedLink(holdRecord(), "SOUR");
    return std::nullopt;
}

GEDCOMRecord::DropAnswer SOURRecord::dropINDIRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    return dropCiting(dropped, "The dragged individual is already linked to this source.");
}

GEDCOMRecord::DropAnswer SOURRecord::dropFAMRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    return dropCiting(dropped, "The dragged family is already linked to this source.");
}

// ---- merging

bool SOURRecord::canMergeWith(const GEDCOMRecord& other) {
    const auto* source = dynamic_cast<const SOURRecord*>(&other);
    return source && textcase::lower(sourceTitle()) == textcase::lower(source->sourceTitle()) &&
           textcase::lower(sourceType()) == textcase::lower(source->sourceType());
}

std::string SOURRecord::mergeRequirement() const {
    return "To merge sources, they must have the same titles and be the same type of source.";
}

bool SOURRecord::removeDuplicateLinksAfterMerge() {
    const std::int64_t removed =
        removeDuplicateLinks("OBJE") + removeDuplicateLinks("NOTE") + removeDuplicateEvents("DATA");
    return removed >= contextInfo().toInteger(0);
}

// ---- scripting

std::optional<std::string> SOURRecord::klis_getAttribute(const std::string& name, ISInterpreter* sender) {
    auto it = fieldKeys().find(name);
    if (it != fieldKeys().end()) return (this->*(it->second.get))();
    return GEDCOMRecord::klis_getAttribute(name, sender);
}

bool SOURRecord::klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) {
    auto it = fieldKeys().find(name);
    if (it == fieldKeys().end()) return GEDCOMRecord::klis_setAttribute(name, value, sender);
    auto self = std::static_pointer_cast<SOURRecord>(holdRecord());
    const Setter setter = it->second.set;
    Dispatcher::current().postAndWait([self, setter, value] { ((*self).*setter)(value); });
    return true;
}

std::shared_ptr<Object> SOURRecord::klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) {
    if (name == "referencedBy") {
        const auto& ids = crossRefIDs();
        return listValue(sender, Array(ids.begin(), ids.end()));
    }
    return GEDCOMRecord::klis_getObjectAttribute(name, sender);
}

}  // namespace kl
