// A repository's names, its computed back links and report prose.
#include "model/REPORecord.h"

#include "model/GEDCOMStructure.h"
#include "model/RecordStore.h"
#include "model/ReportOptions.h"
#include "model/ReportText.h"

namespace kl {

namespace {

bool namesRepository(const GEDCOMRecord& source, const std::string& repositoryID) {
    for (const auto& id : source.linkedIDs("REPO"))
        if (id == repositoryID) return true;
    return false;
}

}  // namespace

const std::vector<std::string>& REPORecord::linkTags() {
    static const std::vector<std::string> tags{"REPO", "SOUR"};
    return tags;
}

std::string REPORecord::viewName() const {
    std::string name = dataWithTag("NAME");
    return name.empty() ? "Repository ID " + grecordID() : name;
}

std::optional<std::vector<std::string>> REPORecord::viewTags() const {
    return viewTagWhenPresent("NAME");
}

std::string REPORecord::textForNewRecord(bool) { return "1 NAME New Repository\n" + createdText(); }

void REPORecord::insertNewUserText(const std::string& text) {
    if (auto name = firstChildWithTag("NAME")) name->setContents(text);
}

void REPORecord::setViewName(const std::string& name) {
    if (deferUntilInstalled([this, name] { setViewName(name); })) return;
    if (auto line = firstChildWithTag("NAME"))
        line->setContents(name);
    else
        addStructure(std::make_shared<GEDCOMStructure>(this, 1, "NAME", name), this, nullptr, false);
    setChangeDate();
}

std::vector<std::string> REPORecord::crossRefsOnTheFly(const std::vector<std::shared_ptr<GEDCOMRecord>>& records) const {
    std::vector<std::string> ids;
    for (const auto& source : records)
        if (source && namesRepository(*source, grecordID())) ids.push_back(source->grecordID());
    return ids;
}

std::vector<std::string> REPORecord::crossRefsOnTheFly() {
    if (!model()) return {};
    return crossRefsOnTheFly(model()->recordsOfType("SOUR"));
}

bool REPORecord::isConnected() {
    if (!model()) return false;
    for (const auto& source : model()->recordsOfType("SOUR"))
        if (namesRepository(*source, grecordID())) return true;
    return false;
}

void REPORecord::removeAllLinks() {
    if (RecordStore* store = model()) store->detachLinksTo(grecordID(), "REPO", "SOUR");
    GEDCOMRecord::removeAllLinks();
}

void REPORecord::changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) {
    if (RecordStore* store = model()) store->changeLinksTo(oldID, "REPO", "SOUR", newID, withUndo);
    GEDCOMRecord::changeAllLinksFromID(oldID, newID, withUndo);
}

std::string REPORecord::mergeRequirement() const {
    return "To merge repositories, they must must have the same name.";
}

bool REPORecord::removeDuplicateLinksAfterMerge() {
    return removeDuplicateLinks("NOTE") >= contextInfo().toInteger(0);
}

// ---- report prose

Value REPORecord::reportDescription(std::uint32_t options) const {
    const bool escape = options & kReportEscapesText;
    const bool links = options & ReportLinks;
    const bool pron = options & ReportPron;
    const std::string name = formatForReport(viewName(), escape);
    const std::string address = formatForReport(dataWithTag("ADDR"), escape);
    const std::string phone = formatForReport(dataWithTag("PHON"), escape);
    const std::string email = formatForReport(dataWithTag("_EMAIL"), escape);
    const std::string shownName = (options & ReportMainLink) ? report::link(grecordID(), name) : name;
    const std::string mail = links ? report::fill("<a href='mailto:%@'>%@</a>", {email, email}) : email;

    if (options & ReportList) {
        Array lines;
        if (!pron) lines.emplace_back("Repository: " + shownName);
        if (!address.empty()) lines.emplace_back("Address: " + address);
        if (!phone.empty()) lines.emplace_back("Phone: " + phone);
        if (!email.empty()) lines.emplace_back("Email: " + mail);
        return Value(std::move(lines));
    }
    std::string text;
    std::string subject = "The repository's";
    if (!pron) {
        text = "The repository's name is " + shownName + ". ";
        subject = "It's";
    }
    if (!address.empty()) text += subject + " address is " + address + ". ";
    if (!phone.empty() && !email.empty())
        text += "It's phone number and email address are " + phone + " and " + mail + ".";
    else if (!phone.empty())
        text += "It's phone number is " + phone + ". ";
    else if (!email.empty())
        text += "It's email address is " + mail + ".";
    return Value(text);
}

}  // namespace kl
