// The header's own lines, its character set and software stamps, the
// submitter and language lines, and the home records.
#include "model/HEADRecord.h"

#include <mutex>

#include "foundation/FormatText.h"
#include "foundation/Numbers.h"
#include "foundation/ResourceFolder.h"
#include "model/GEDCOMStructure.h"
#include "model/RecordStore.h"

namespace kl {

namespace {

std::mutex& softwareMutex() {
    static std::mutex mutex;
    return mutex;
}

HEADRecord::Software& currentSoftware() {
    static HEADRecord::Software software;
    return software;
}

// The CHAR line of each export encoding that does not write "UTF-8".
struct CharsetLine {
    unsigned encoding;
    const char* name;
    const char* version;
};
constexpr CharsetLine kCharsetLines[] = {
    {HEADRecord::kEncodingUTF16, "UNICODE", nullptr},
    {HEADRecord::kEncodingWindowsLatin1, "WINDOWS", "ISO 8859-1"},
    {HEADRecord::kEncodingMacRoman, "ASCII", "MacOS Roman"},
    {HEADRecord::kEncodingANSEL, "ANSEL", nullptr},
};

constexpr const char* kFallbackHeader = "1 SOUR Kinlore II";

}  // namespace

// ---- software

HEADRecord::Software HEADRecord::software() {
    std::lock_guard lock(softwareMutex());
    return currentSoftware();
}

void HEADRecord::setSoftware(Software software) {
    std::lock_guard lock(softwareMutex());
    currentSoftware() = std::move(software);
}

std::string HEADRecord::versionText(double versionAsNumber) {
    const double version = static_cast<int>(versionAsNumber * 10 + 0.001) / 10.0;
    const int beta = static_cast<int>(versionAsNumber * 1000 + 0.01) % 10;
    std::string text = formatFixed(version, 1);
    if (beta >= 1) text += "b" + std::to_string(beta);
    return text;
}

// ---- record operations

void HEADRecord::appendStructureLine(std::string& out) const { out.append("0 HEAD").append(lineEnding()); }

std::string HEADRecord::textForNewRecord(bool) {
    std::optional<std::string> text = ResourceFolder::readResource("NewHeader", "txt");
    if (!text) return kFallbackHeader;
    while (!text->empty() && (text->back() == '\n' || text->back() == '\r')) text->pop_back();
    return text->empty() ? std::string(kFallbackHeader) : *text;
}

void HEADRecord::simplifyGEDCOMInMode(int) {
    // A damaged header stays as read; nothing else of a header is tidied.
    if (corrupt() != 0) return;
    for (const auto& child : structures()) child->appendCONTandCONC();
}

bool HEADRecord::canLinkTo(std::string_view type) const {
    return type == "SUBM" || type == "INDI" || type == "FAM";
}

std::shared_ptr<GEDCOMStructure> HEADRecord::line(int level, std::string tag, std::string contents) {
    return std::make_shared<GEDCOMStructure>(this, level, std::move(tag), std::move(contents));
}

// ---- character set

void HEADRecord::setCharacters(unsigned encoding) {
    auto charLine = findChild("CHAR", false);
    if (!charLine) {
        charLine = line(1, "CHAR", "UTF-8");
        GEDCOMObject::addStructure(charLine);
    }
    const char* name = "UTF-8";
    const char* version = nullptr;
    for (const auto& entry : kCharsetLines)
        if (entry.encoding == encoding) {
            name = entry.name;
            version = entry.version;
        }
    charLine->removeChildren();
    charLine->changeContents(name);
    if (version) charLine->GEDCOMObject::addStructure(line(2, "VERS", version));
    setChangeDate();
}

// ---- level-1 lines

void HEADRecord::setLevelOneLine(const std::string& tag, const std::string& contents) {
    auto found = findChild(tag, false);
    if (!found) {
        addStructure(line(1, tag, contents), this, lastStructure().get(), false);
    } else if (found->contents() != contents) {
        found->setContents(contents);
    } else {
        return;
    }
    setChangeDate();
}

std::string HEADRecord::mainSubmitter() { return findContentsWithTag("SUBM", 1); }

std::string HEADRecord::submission() { return findContentsWithTag("SUBN", 1); }

bool HEADRecord::setMainSubmitter(const std::string& recordID) {
    auto submitter = model() ? model()->recordWithID(recordID, "SUBM") : nullptr;
    if (!submitter) return false;
    if (auto old = findChild("SUBM", false)) removeStructure(old, this, nullptr);
    attachLink(*submitter, "SUBM");
    return true;
}

std::string HEADRecord::language() { return findContentsWithTag("LANG", 1); }

void HEADRecord::setLanguage(const std::string& language) { setLevelOneLine("LANG", language); }

std::string HEADRecord::placeHierarchy() {
    auto plac = findChild("PLAC", false);
    return plac ? plac->findContentsWithTag("FORM", 2) : std::string();
}

void HEADRecord::setPlaceHierarchy(const std::string& hierarchy) {
    auto plac = findChild("PLAC", false);
    if (!plac) {
        plac = line(1, "PLAC", "");
        plac->GEDCOMObject::addStructure(line(2, "FORM", hierarchy));
        addStructure(plac, this, lastStructure().get(), false);
    } else if (auto form = plac->findChild("FORM", false)) {
        if (form->contents() == hierarchy) return;
        form->setContents(hierarchy);
    } else {
        addStructure(line(2, "FORM", hierarchy), plac.get(), plac->lastStructure().get(), false);
    }
    setChangeDate();
}

// ---- home records

std::string HEADRecord::homeRecord() { return homeRecordAtIndex(0); }

std::string HEADRecord::homeRecordAtIndex(int index) {
    if (index < 0) return {};
    auto homes = findChildren("_HME", false);
    return static_cast<std::size_t>(index) < homes.size() ? homes[static_cast<std::size_t>(index)]->contents()
                                                          : std::string();
}

void HEADRecord::trimHomeRecords(std::size_t keep) {
    auto homes = findChildren("_HME", false);
    for (std::size_t i = keep; i < homes.size(); ++i) removeStructure(homes[i], this, nullptr);
}

bool HEADRecord::setHomeRecord(const std::string& recordID) {
    if (!model() || !model()->recordWithID(recordID, "")) return false;
    // A record already in the list moves to the top rather than taking a
    // second place and pushing a different record off the menu.
    for (const auto& home : findChildren("_HME", false))
        if (home->contents() == recordID) removeStructure(home, this, nullptr);
    trimHomeRecords(kMaxHomeRecords - 1);
    addStructure(line(1, "_HME", recordID), this, nullptr, true);
    setChangeDate();
    return true;
}

std::vector<std::string> HEADRecord::homeRecordsMenuTitles() {
    std::vector<std::string> titles(kMaxHomeRecords, kNoHomeRecord);
    auto homes = findChildren("_HME", false);
    for (std::size_t i = 0; i < kMaxHomeRecords && i < homes.size(); ++i) {
        auto record = model() ? model()->recordWithID(homes[i]->contents(), "") : nullptr;
        if (record) titles[i] = record->viewName();
    }
    return titles;
}

// ---- drops

const GEDCOMRecord::DropTable& HEADRecord::dropTable() const {
    static const DropTable table = extendDropTable(
        baseDropTable(), {
                             {"dropINDIRecord:", static_cast<DropHandler>(&HEADRecord::dropINDIRecord)},
                             {"dropFAMRecord:", static_cast<DropHandler>(&HEADRecord::dropFAMRecord)},
                             {"dropREPORecord:", static_cast<DropHandler>(&HEADRecord::dropREPORecord)},
                         });
    return table;
}

GEDCOMRecord::DropAnswer HEADRecord::dropHome(const std::shared_ptr<GEDCOMRecord>& dropped) {
    if (hasLink("_HME", dropped->grecordID())) {
        const std::string type = dropped->recordType();
        return formatText("The dropped %@ record is already the home record.",
                          {model() ? model()->singularNameForType(type) : type});
    }
    trimHomeRecords(kMaxHomeRecords - 1);
    attachLink(*dropped, "_HME");
    return std::nullopt;
}

GEDCOMRecord::DropAnswer HEADRecord::dropSUBMRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    if (hasLink("SUBM", dropped->grecordID()))
        return std::string("The dropped Submitted record is already the main submitted.");
    if (auto old = findChild("SUBM", false)) removeStructure(old, this, nullptr);
    attachLink(*dropped, "SUBM");
    return std::nullopt;
}

}  // namespace kl
