// Multimedia records of other programs after a read, and the embedded form
// of a record in exported GEDCOM.
#include <algorithm>
#include <cctype>
#include <memory>

#include "foundation/Logger.h"
#include "foundation/TildePath.h"
#include "model/GEDCOMStructure.h"
#include "model/OBJERecord.h"
#include "model/RecordStore.h"
#include "foundation/TextCase.h"
#include "foundation/Utf8.h"
#include "model/wex.h"

namespace kl {

namespace {

bool isFileTag(const std::string& tag) { return tag == "FILE" || tag == "_FILE" || tag == "_FIL"; }

// One written line, split into CONC/CONT like every other line.
void appendLine(std::string& out, int level, const std::string& tag, const std::string& contents) {
    GEDCOMStructure(nullptr, level, tag, contents).appendStructureLine(out);
}

bool isStyleSheetKey(const std::string& word) {
    return utf8::countCharacters(word) > 3 && word.front() == '@' && word.back() == '@';
}

}  // namespace

bool OBJERecord::hasURLScheme(std::string_view path) {
    const std::size_t mark = path.find("://");
    if (mark == std::string_view::npos || mark < 2 || !std::isalpha(static_cast<unsigned char>(path[0])))
        return false;
    for (std::size_t i = 1; i < mark; ++i) {
        const char c = path[i];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

std::string OBJERecord::importedPath(const std::string& original, const Roots& roots, const DocumentFile& documentFile) {
    if (original.empty()) return original;
    std::string path = original;
    bool windows = false;
    if (path.size() >= 4 && path[1] == ':' && path[2] == '\\') {
        path.erase(0, 3);
        for (char& c : path)
            if (c == '\\') c = '/';
        windows = true;
    }
    // Only a text without any "/" can be a classic colon-separated path; a
    // Unix name may hold colons.
    if (path.find(':') != std::string::npos && path.find('/') == std::string::npos) path = wex::macPathToUnix(path);
    if (auto found = multimediaFile(path, roots, documentFile)) return found->stored;
    // An absolute path of another disk may name its disk first; that name is
    // dropped only when the rest is found.
    const std::vector<std::string> parts = pathComponents(path);
    if (!path.empty() && path[0] == '/' && abbreviateWithTilde(path) == path && parts.size() >= 3) {
        std::string stripped;
        for (std::size_t i = 2; i < parts.size(); ++i) stripped += "/" + parts[i];
        stripped = abbreviateWithTilde(stripped);
        if (auto found = multimediaFile(stripped, roots, documentFile)) return found->stored;
    }
    if (windows) return parts.empty() ? path : parts.back();
    return path;
}

void OBJERecord::simplifyMultimediaLinks(int) {
    RecordStore* store = model();
    const Roots roots = store ? store->multimediaRoot() : Roots{};
    const DocumentFile documentFile = store ? store->fileURL() : std::nullopt;
    bool recordIsURL = false;
    if (auto form = firstChildWithTag("FORM")) recordIsURL = textcase::lower(form->contents()) == kWebFormat;

    StructureList files;
    for (const auto& line : structures()) {
        if (isFileTag(line->gtag())) line->setGtag(OBJEFileTag());
        if (line->gtag() != OBJEFileTag()) continue;
        files.push_back(line);
        // Each file's own FORM says whether it is a web address.
        bool isURL = recordIsURL;
        if (auto form = line->firstChildWithTag("FORM")) {
            isURL = textcase::lower(form->contents()) == kWebFormat;
            if (auto type = form->firstChildWithTag("TYPE")) type->setGtag("MEDI");
        }
        if (isURL || hasURLScheme(line->contents())) continue;
        const std::string stored = importedPath(line->contents(), roots, documentFile);
        if (stored != line->contents()) line->changeContents(stored);
    }
    if (files.empty()) {
        auto unknown = std::make_shared<GEDCOMStructure>(this, 1, OBJEFileTag(), "(unknown)");
        GEDCOMObject::insertChild(unknown, nullptr);
        files.push_back(unknown);
    }
    const auto& first = files.front();
    // The older record-level FORM and TITL belong to the first file; the
    // title ends up ahead of the format.
    for (const char* tag : {"FORM", "TITL"}) {
        StructureList moved = findChildren(tag, true);
        if (moved.empty()) continue;
        moved.front()->changeLevel(2, this);
        first->insertChild(moved.front(), nullptr);
    }
    if (files.size() < 2) return;
    const StructureList further(files.begin() + 1, files.end());
    StructureList kept;
    for (const auto& line : structures())
        if (std::find(further.begin(), further.end(), line) == further.end()) kept.push_back(line);
    setStructures(std::move(kept));
    clearGEDCOMCacheNoUndo();
    for (const auto& file : further) moveFileToOwnRecord(file);
}

void OBJERecord::moveFileToOwnRecord(const std::shared_ptr<GEDCOMStructure>& file) {
    RecordStore* store = model();
    if (!store) return;
    RecordPtr target;
    for (const auto& other : store->recordsOfType("OBJE")) {
        if (other.get() == this) continue;
        auto theirs = other->firstChildWithTag(OBJEFileTag());
        if (theirs && theirs->contents() == file->contents()) {
            target = other;
            break;
        }
    }
    const bool isNew = !target;
    if (isNew) {
        target = store->createNewRecordOfType("OBJE");
        if (!target) return;
        target->findChild(OBJEFileTag(), true);
        file->changeLevel(1, target.get());
        target->GEDCOMObject::insertChild(file, nullptr);
        target->clearGEDCOMCacheNoUndo();
    }
    auto* object = dynamic_cast<OBJERecord*>(target.get());
    auto title = titleStructure();
    if (object && title && !object->titleStructure())
        if (auto targetFile = object->fileStructure()) {
            targetFile->insertChild(std::make_shared<GEDCOMStructure>(target.get(), 2, "TITL",
                                                                      title->contents() + " (title copied on import)"),
                                    nullptr);
            target->clearGEDCOMCacheNoUndo();
        }
    for (const std::string& citerID : crossRefIDs()) {
        RecordPtr citer = store->recordWithID(citerID, "");
        if (!citer) continue;
        target->addCustom_REFTag(citerID, 0);
        if (isNew || !citer->findStructureWithTag(kLinkTag, target->grecordID(), 1)) {
            citer->GEDCOMObject::addStructure(
                std::make_shared<GEDCOMStructure>(citer.get(), 1, kLinkTag, target->grecordID()));
            citer->clearGEDCOMCacheNoUndo();
        }
    }
}

void OBJERecord::unembedThumbnail() {
    StructureList embedded = findChildren("_NSDATA", true);
    if (embedded.empty()) return;
    clearGEDCOMCacheNoUndo();
    embedded.front()->appendCONTandCONC();
    std::string error;
    RecordStore* store = model();
    if (!store || !store->setEmbeddedThumbnail(grecordID(), embedded.front()->contents(), &error))
        Logger::log("Failed to decode thumbnail in NSData object: {}", error);
}

std::string OBJERecord::embeddedGedcomString(int level, std::uint32_t flags) const {
    std::string text;
    appendLine(text, level, "OBJE", "");
    const bool styleSheet = mmFormat() == kStyleSheetFormat;
    const bool withMedia = (flags & 2) != 0;
    for (const auto& line : structures()) {
        const std::string& tag = line->gtag();
        if (tag == OBJEFileTag()) {
            appendLine(text, level + 1, "FILE", line->contents());
            if (auto form = line->firstChildWithTag("FORM")) {
                appendLine(text, withMedia ? level + 2 : level + 1, "FORM", form->contents());
                if (auto media = form->firstChildWithTag("MEDI"); withMedia && media && !media->contents().empty())
                    appendLine(text, level + 3, "MEDI", media->contents());
            }
            auto title = line->firstChildWithTag("TITL");
            if (!title || title->contents().empty()) continue;
            std::string written = title->contents();
            // A reader finds the style sheet again by the ID at the title's end.
            if (styleSheet) {
                if (isStyleSheetKey(wex::getLastWord(written))) written = wex::deleteLastWord(written);
                written += " " + grecordID();
            }
            appendLine(text, level + 1, "TITL", written);
        } else if (tag == "NOTE" || tag == "_DATE" || tag == "_KEY") {
            appendLine(text, level + 1, tag, line->contents());
        } else if (tag == "_LOC") {
            auto gps = line->firstChildWithTag("_GPS");
            if (!gps || gps->contents().empty()) continue;
            appendLine(text, level + 1, tag, line->contents());
            appendLine(text, level + 2, "_GPS", gps->contents());
        }
    }
    return text;
}

}  // namespace kl
