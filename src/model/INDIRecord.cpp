// The individual's names, sex, drops and the upkeep of the links that
// families, aliases, associations and research logs hold to it.
#include "model/INDIRecord.h"

#include <cctype>

#include "foundation/NotificationCenter.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/ModelNotifications.h"
#include "model/RecordStore.h"
#include "model/Soundex.h"

namespace kl {

namespace {

std::string upperFirst(const std::string& text) {
    if (text.empty()) return {};
    return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(text[0]))));
}

std::vector<std::string> wordList(const Value* value) {
    std::vector<std::string> words;
    if (const Array* list = value ? value->array() : nullptr)
        for (const auto& word : *list)
            if (const std::string* text = word.string()) words.push_back(*text);
    return words;
}

// Records of these types may hold an ASSO to an individual.
constexpr const char* kAssociatingTypes[] = {"INDI", "FAM", "SUBM", "OBJE", "SOUR", "REPO"};

}  // namespace

const std::vector<std::string>& INDIRecord::linkTags() {
    static const std::vector<std::string> tags{"INDI", "FAMS", "FAM",  "HUSB", "WIFE", "FAMC", "CHIL", "ASSO",
                                               "ALIA", "SUBM", "OBJE", "SOUR", "REPO", "_LOG", "_INDI"};
    return tags;
}

// ---- names

std::optional<std::string> INDIRecord::primaryName() const {
    auto name = firstChildWithTag("NAME");
    if (!name) return std::nullopt;
    return name->contents();
}

std::string INDIRecord::viewName() const {
    auto name = primaryName();
    if (!name || name->empty()) return "Individual ID " + grecordID();
    return formatName(*name, 0).value_or(*name);
}

std::string INDIRecord::altViewName() const {
    auto name = primaryName();
    if (!name || name->empty()) return viewName();
    return formatName(*name, 1).value_or(*name);
}

std::optional<std::vector<std::string>> INDIRecord::viewTags() const {
    return viewTagWhenPresent("NAME");
}

void INDIRecord::setViewName(const std::string& name) {
    if (deferUntilInstalled([this, name] { setViewName(name); })) return;
    const std::string typed = formatUserName(name);
    if (auto existing = firstChildWithTag("NAME"))
        existing->setContents(typed);
    else
        addStructure(std::make_shared<GEDCOMStructure>(this, 1, "NAME", typed), this, nullptr, false);
    setChangeDate();
}

void INDIRecord::insertNewUserText(const std::string& text) {
    if (auto name = firstChildWithTag("NAME")) name->setContents(formatUserName(text));
}

std::string INDIRecord::surname() const {
    auto name = primaryName();
    if (!name || name->empty()) return {};
    return formatName(*name, 8).value_or("");
}

std::string INDIRecord::surnameSoundex() const {
    if (!primaryName()) return {};
    return soundexForString(surname());
}

namespace {

std::vector<std::string> givenWords(const std::optional<std::string>& name) {
    if (!name) return {};
    const Dictionary details = GEDCOMRecord::nameDetails(name, false);
    auto words = wordList(details.get("given"));
    return words.empty() ? wordList(details.get("suffix")) : words;
}

}  // namespace

std::string INDIRecord::firstname() const {
    auto words = givenWords(primaryName());
    return words.empty() ? std::string() : words.front();
}

std::string INDIRecord::middlename() const {
    auto words = givenWords(primaryName());
    std::string joined;
    for (std::size_t i = 1; i < words.size(); ++i) joined += (i > 1 ? " " : "") + words[i];
    return joined;
}

// ---- new record and links

std::string INDIRecord::textForNewRecord(bool male) {
    return (male ? "1 NAME Male /New/\n1 SEX M\n" : "1 NAME Female /New/\n1 SEX F\n") + createdText();
}

bool INDIRecord::canLinkTo(std::string_view type) const {
    for (std::string_view allowed : {"SOUR", "NOTE", "OBJE", "_LOG", "SUBM", "INDI", "FAM"})
        if (type == allowed) return true;
    return false;
}

bool INDIRecord::isConnected() { return firstChildWithTag("FAMC") || firstChildWithTag("FAMS"); }

// ---- sex

std::string INDIRecord::sex() const {
    auto line = firstChildWithTag("SEX");
    if (!line || line->contents().empty()) return "U";
    return upperFirst(line->contents());
}

char16_t INDIRecord::sexChar() const { return static_cast<char16_t>(static_cast<unsigned char>(sex()[0])); }

void INDIRecord::addSexAfterNames(const std::string& value) {
    auto anchor = findAfterStructure({"NAME"});
    addStructure(std::make_shared<GEDCOMStructure>(this, 1, "SEX", value), this, anchor.get(), false);
}

std::optional<std::string> INDIRecord::setSex(const std::string& value) {
    if (deferUntilInstalled([this, value] { setSex(value); })) return std::nullopt;
    if (firstChildWithTag("FAMS")) return "Can't change the sex if individual is spouse in a family record";
    const std::string letter = upperFirst(value);
    if (letter != "M" && letter != "F" && letter != "U") return "Sex must begin in 'M', 'F', or 'U'";
    if (auto line = firstChildWithTag("SEX"))
        line->setContents(letter);
    else
        addSexAfterNames(letter);
    setChangeDate();
    return std::nullopt;
}

bool INDIRecord::leaveSpouseFamilies() {
    bool removed = false;
    for (const auto& link : findChildren("FAMS", false)) {
        if (auto family = std::dynamic_pointer_cast<FAMRecord>(linkedRecord(link->contents(), "FAM")))
            family->detachSpouseByID(grecordID());
        removeStructure(link, this, nullptr);
        removed = true;
    }
    return removed;
}

void INDIRecord::changeSex(const std::optional<std::string>& value) {
    auto line = firstChildWithTag("SEX");
    const bool hadSex = line != nullptr;
    if (line) {
        const std::string letter = line->contents().empty() ? "U" : upperFirst(line->contents());
        // The sex already held is kept as it is: flipping it, or leaving the
        // families, would change what the caller asked to keep.
        if (value && upperFirst(*value) == letter) return;
        if (letter == "M" || letter == "F") {
            line->setContents(letter == "M" ? "F" : "M");
        } else if (value) {
            line->setContents(*value);
            NotificationCenter::defaultCenter().post(notification_names::RecordStructuresChanged,
                                                     static_cast<const GEDCOMObject*>(this), {});
            setChangeDate();
            return;
        } else {
            line->setContents("M");
        }
    } else {
        addSexAfterNames(value.value_or("M"));
        if (value) {
            setChangeDate();
            return;
        }
    }
    if (!leaveSpouseFamilies() && hadSex)
        NotificationCenter::defaultCenter().post(notification_names::RecordStructuresChanged,
                                                 static_cast<const GEDCOMObject*>(this), {});
    setChangeDate();
}

// ---- drops

const GEDCOMRecord::DropTable& INDIRecord::dropTable() const {
    static const DropTable table = extendDropTable(
        baseDropTable(), {
                             {"dropINDIRecord:", static_cast<DropHandler>(&INDIRecord::dropINDIRecord)},
                             {"dropINDICtrlRecord:", static_cast<DropHandler>(&INDIRecord::dropINDICtrlRecord)},
                             {"dropFAMRecord:", static_cast<DropHandler>(&INDIRecord::dropFAMRecord)},
                         });
    return table;
}

GEDCOMRecord::DropAnswer INDIRecord::dropLink(const std::shared_ptr<GEDCOMRecord>& dropped, const std::string& tag,
                                              const char* existing, const char* self) {
    if (!dropped) return std::string("No record was dropped.");
    if (hasLink(tag, dropped->grecordID())) return std::string(existing);
    if (dropped.get() == this) return std::string(self);
    attachLink(*dropped, tag);
    return std::nullopt;
}

GEDCOMRecord::DropAnswer INDIRecord::dropINDIRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    return dropLink(dropped, "ASSO", "That record is already associated with this record.",
                    "Cannot associate a record with itself.");
}

GEDCOMRecord::DropAnswer INDIRecord::dropINDICtrlRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    return dropLink(dropped, "ALIA", "That record is already an alias to this record.",
                    "Cannot make a record an alias of itself.");
}

GEDCOMRecord::DropAnswer INDIRecord::dropFAMRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    return dropLink(dropped, "ASSO", "That record is already associated with this record.",
                    "Cannot associate a record with itself.");
}

// ---- link upkeep

void INDIRecord::removeAllLinks() {
    detachCrossRefsIn("FAMS", std::string("HUSB"), std::string("FAM"), false);
    detachCrossRefsIn("FAMS", std::string("WIFE"), std::string("FAM"), false);
    detachCrossRefsIn("FAMC", std::string("CHIL"), std::string("FAM"), false);
    if (RecordStore* store = model()) {
        store->detachLinksTo(grecordID(), "ALIA", "INDI");
        for (const char* type : kAssociatingTypes) store->detachLinksTo(grecordID(), "ASSO", type);
    }
    detachCrossRefsIn("_LOG", std::string("_INDI"), std::string("_LOG"), false);
    GEDCOMRecord::removeAllLinks();
}

void INDIRecord::changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) {
    changeCrossRefsIn("FAMS", std::string("HUSB"), std::string("FAM"), oldID, newID, withUndo);
    changeCrossRefsIn("FAMS", std::string("WIFE"), std::string("FAM"), oldID, newID, withUndo);
    changeCrossRefsIn("FAMC", std::string("CHIL"), std::string("FAM"), oldID, newID, withUndo);
    if (RecordStore* store = model()) {
        store->changeLinksTo(oldID, "ALIA", "INDI", newID, withUndo);
        for (const char* type : kAssociatingTypes) store->changeLinksTo(oldID, "ASSO", type, newID, withUndo);
    }
    changeCrossRefsIn("_LOG", std::string("_INDI"), std::string("_LOG"), oldID, newID, withUndo);
    GEDCOMRecord::changeAllLinksFromID(oldID, newID, withUndo);
}

}  // namespace kl
