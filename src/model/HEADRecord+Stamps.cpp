// Stamping a header on save and mending one after an import: the software
// block, the file name, the GEDCOM version, the submitter and submission
// links and the note on where an imported file came from.
#include "dates/DateBridge.h"
#include "model/GEDCOMStructure.h"
#include "model/HEADRecord.h"
#include "model/RecordStore.h"
#include "model/wex.h"

namespace kl {

namespace {

// The first child with the tag made to hold `text`: inserted after `after`
// (first when nullptr) when missing, changed when different. Goes through
// the record's undoable road, so a header shown in a browser follows.
std::shared_ptr<GEDCOMStructure> ensureChild(GEDCOMRecord& record, GEDCOMObject& parent, int level,
                                             const std::string& tag, const std::string& text,
                                             const GEDCOMObject* after, bool& changed) {
    if (auto found = parent.findChild(tag, false)) {
        if (found->contents() != text) {
            found->setContents(text);
            changed = true;
        }
        return found;
    }
    auto made = std::make_shared<GEDCOMStructure>(&record, level, tag, text);
    record.addStructure(made, &parent, after, false);
    changed = true;
    return made;
}

std::string nonEmptyOr(const std::string& text, const std::string& fallback) {
    return text.empty() ? fallback : text;
}

}  // namespace

// ---- saving

bool HEADRecord::stampSoftware() {
    const Software maker = software();
    bool changed = false;
    auto sour = findChild("SOUR", false);
    if (!sour) {
        sour = line(1, "SOUR", kSoftware);
        addStructure(sour, this, nullptr, false);
        changed = true;
    }
    auto name = ensureChild(*this, *sour, 2, "NAME", kSoftware, nullptr, changed);
    auto vers = ensureChild(*this, *sour, 2, "VERS", versionText(maker.versionAsNumber), name.get(), changed);
    const std::string address = maker.cityStatePostal.empty() || maker.country.empty()
                                    ? maker.cityStatePostal + maker.country
                                    : maker.cityStatePostal + ", " + maker.country;
    if (auto corp = sour->findChild("CORP", false)) {
        if (corp->contents() != maker.company) {
            corp->setContents(maker.company);
            changed = true;
        }
        ensureChild(*this, *corp, 3, "ADDR", address, nullptr, changed);
    } else {
        corp = line(2, "CORP", maker.company);
        corp->GEDCOMObject::addStructure(line(3, "ADDR", address));
        addStructure(corp, sour.get(), vers.get(), false);
        changed = true;
    }
    return changed;
}

void HEADRecord::setVersionAndFile(const std::optional<std::filesystem::path>& path) {
    if (stampSoftware()) setChangeDate();
    if (!path) return;
    const std::string file = path->filename().string();
    if (!file.empty()) setLevelOneLine("FILE", file);
}

// ---- reading (direct tree changes: the reader has the tree to itself and
// undo registration is off)

void HEADRecord::checkGEDCOMVersion() {
    auto gedc = findChild("GEDC", false);
    if (gedc) {
        auto vers = gedc->findChild("VERS", false);
        if (vers && vers->contents() == kGEDCOMVersion) return;
        gedc->removeChild("VERS", true);
        gedc->removeChild("FORM", true);
        gedc->insertChild(line(2, "FORM", kGEDCOMForm), nullptr);
        gedc->insertChild(line(2, "VERS", kGEDCOMVersion), nullptr);
    } else {
        gedc = line(1, "GEDC", "");
        gedc->GEDCOMObject::addStructure(line(2, "VERS", kGEDCOMVersion));
        gedc->GEDCOMObject::addStructure(line(2, "FORM", kGEDCOMForm));
        GEDCOMObject::addStructure(gedc);
    }
    clearGEDCOMCacheNoUndo();
}

bool HEADRecord::repairLink(RecordStore& index, const std::string& tag) {
    for (auto link = findChild(tag, false); link; link = findChild(tag, false)) {
        if (index.recordWithID(link->contents(), tag)) return false;
        findChild(tag, true);
    }
    auto first = index.firstRecordOfType(tag);
    if (!first) return false;
    GEDCOMObject::addStructure(line(1, tag, first->grecordID()));
    return true;
}

std::shared_ptr<GEDCOMStructure> HEADRecord::newSoftwareBlock(const std::string& version) {
    const Software maker = software();
    auto sour = line(1, "SOUR", kSoftware);
    sour->GEDCOMObject::addStructure(line(2, "NAME", kSoftware));
    sour->GEDCOMObject::addStructure(line(2, "VERS", version));
    auto corp = line(2, "CORP", maker.company);
    auto addr = line(3, "ADDR", maker.street);
    addr->GEDCOMObject::addStructure(line(4, "CONT", maker.cityStatePostal));
    addr->GEDCOMObject::addStructure(line(4, "CONT", maker.country));
    corp->GEDCOMObject::addStructure(addr);
    sour->GEDCOMObject::addStructure(corp);
    return sour;
}

void HEADRecord::appendImportNote(const std::string& note) {
    auto existing = findChild("NOTE", false);
    if (!existing) {
        GEDCOMObject::addStructure(line(1, "NOTE", note));
        return;
    }
    existing->appendCONTandCONC();
    std::string text = existing->contents();
    text += text.empty() || text.back() == '\n' || text.back() == '\r' ? "\n" : "\n\n";
    existing->changeContents(text + note);
}

void HEADRecord::noteOrigin() {
    auto sour = findChild("SOUR", false);
    const std::string source = sour ? sour->contents() : std::string();
    std::string version = software().shortVersion;
    if (wex::getFirstWord(version) == "Version") version = wex::deleteFirstWord(version);

    if (source == kSoftware) {
        if (auto vers = sour->findChild("VERS", false))
            vers->changeContents(version);
        else
            sour->insertChild(line(2, "VERS", version), nullptr);
        return;
    }
    foreignGEDCOM_ = source != kFirstEditionSoftware;
    std::string note;
    if (foreignGEDCOM_ && sour) {
        const std::string corp = sour->findContentsWithTag("CORP", 2);
        const std::string name =
            nonEmptyOr(nonEmptyOr(sour->findContentsWithTag("NAME", 2), source), "unknown software");
        note = "This GEDCOM file was originally created by " + name + " (version " +
               nonEmptyOr(sour->findContentsWithTag("VERS", 2), "unknown") + (corp.empty() ? "" : ", " + corp) +
               ").";
        findChild("SOUR", true);
    } else if (foreignGEDCOM_) {
        note = "This GEDCOM file was originally created by unknown software.";
    }
    insertChild(newSoftwareBlock(version), nullptr);
    if (!foreignGEDCOM_) return;
    note += " 100% of the file (including invalid data, if present) was imported into Kinlore or Kinlore II "
            "(the genealogy suite for the Linux desktop) on " +
            todayDateString() + ".";
    note += " More about Kinlore II is found at " + software().webSite + ".";
    appendImportNote(note);
}

std::optional<std::string> HEADRecord::verifyLinksWithIndex(RecordStore& index) {
    bool added = repairLink(index, "SUBM");
    added = repairLink(index, "SUBN") || added;
    noteOrigin();
    checkGEDCOMVersion();
    clearGEDCOMCacheNoUndo();
    if (added) return std::string("fixed standard links in the Header");
    return std::nullopt;
}

}  // namespace kl
