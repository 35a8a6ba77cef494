// Album subsets: an album's records with what they need to stay meaningful
// (family members, families joining exported individuals, places, and the
// logs, notes, sources, repositories and multimedia they link to), with
// links to everything left out stripped. Also what a drag between databases
// writes for the merge.
#include <unordered_set>

#include "document/GEDCOMModel.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/HEADRecord.h"

namespace kl {

namespace {

using enum GEDCOMModel::ExportFlag;


bool embedsMultimedia(uint32_t flags) { return (flags & (kEmbedMultimedia | kEmbedMultimedia55)) != 0; }
bool writesThumbnails(uint32_t flags) { return (flags & kThumbnails) && !embedsMultimedia(flags); }

// Link tags whose targets a subset keeps only when they are in it.
constexpr const char* kStrippedLinks[] = {"FAMC", "FAMS", "HUSB", "WIFE", "CHIL", "SUBN",
                                          "SUBM", "ASSO", "ALIA", "DESI", "ANCI"};

// Types an album may hold that the subset leaves out under a flag bit.
uint32_t omittingBit(const std::string& type) {
    if (type == "_LOG") return kOmitLogs;
    if (type == "_PLC") return kOmitPlaces;
    if (type == "_BOK") return kOmitBooks;
    if (type == "OBJE") return kEmbedMultimedia | kEmbedMultimedia55;
    return 0;
}

}  // namespace

// What one subset has written so far.
struct GEDCOMModel::SubsetWork {
    uint32_t flags = 0;
    bool allowCache = false;
    IDTypes written;
    std::string families;                 // written after every other record
    std::vector<std::string> familyLinks;  // FAMS/FAMC of the album's individuals
    std::vector<RecordPtr> placeUsers;     // written INDI and FAM, in order

    void enter(const RecordPtr& record, std::string& out, std::atomic<int32_t>* recs) {
        record->appendGEDCOMRecord(out, allowCache);
        written.emplace(record->grecordID(), record->recordType());
        if (record->isType("INDI") || record->isType("FAM")) placeUsers.push_back(record);
        if (recs) ++*recs;
    }
};

std::optional<GEDCOMModel::IDTypes> GEDCOMModel::getSubset(const std::vector<RecordPtr>& records, std::string& text,
                                                           uint32_t flags, bool allowCache) {
    SubsetWork work;
    work.flags = flags;
    work.allowCache = allowCache;
    if ((flags & kWithHeader) && !writingStopped()) {
        if (RecordPtr head = recordsIndex_->header()) {
            work.enter(head, text, &totalRecordsDone_);
            auto header = std::dynamic_pointer_cast<HEADRecord>(head);
            const std::string submitterID = header ? header->mainSubmitter() : std::string();
            RecordPtr submitter = submitterID.empty() ? nullptr : recordsIndex_->recordWithID(submitterID, "SUBM");
            if (submitter) work.enter(submitter, text, &totalRecordsDone_);
        }
    }
    appendSubsetRecords(records, text, work);
    if (writingStopped()) return std::nullopt;
    appendJoiningFamilies(work);
    text.append(work.families);
    if (writingStopped()) return std::nullopt;
    if (!(flags & kOmitPlaces)) appendSubsetPlaces(text, work);
    if (writingStopped()) return std::nullopt;
    finishLinksToSubsetGEDCOM(text, flags, work.written);
    if (writingStopped()) return std::nullopt;
    return std::move(work.written);
}

void GEDCOMModel::appendSubsetRecords(const std::vector<RecordPtr>& records, std::string& text, SubsetWork& work) {
    for (const RecordPtr& record : records) {
        if (writingStopped()) return;
        if (!record) continue;
        const std::string& type = record->recordType();
        // Stored reports never leave the database; a header comes only
        // through the header flag.
        if (type == "HEAD" || isUndoFreeType(type) || (work.flags & omittingBit(type))) continue;
        if (type == "FAM") {
            work.enter(record, work.families, &totalRecordsDone_);
            for (const char* tag : {"HUSB", "WIFE", "CHIL"})
                for (const std::string& memberID : record->linkedIDs(tag)) {
                    if (work.written.contains(memberID)) continue;
                    // Members come without families of their own.
                    if (RecordPtr member = recordsIndex_->recordWithID(memberID, "INDI"))
                        work.enter(member, text, &totalRecordsDone_);
                }
            continue;
        }
        if ((type == "INDI" || type == "SUBM") && work.written.contains(record->grecordID())) continue;
        work.enter(record, text, &totalRecordsDone_);
        if (type == "INDI")
            for (const char* tag : {"FAMS", "FAMC"})
                for (const std::string& familyID : record->linkedIDs(tag)) work.familyLinks.push_back(familyID);
        if (type == "OBJE" && (work.flags & kThumbnails)) appendThumbnail(text, *record);
    }
}

void GEDCOMModel::appendJoiningFamilies(SubsetWork& work) {
    // A family of the album's individuals joins the subset only when two of
    // them link to it.
    std::unordered_set<std::string> metOnce;
    std::unordered_set<std::string> joining;
    for (const std::string& familyID : work.familyLinks) {
        if (work.written.contains(familyID)) continue;
        if (metOnce.insert(familyID).second) continue;
        if (!joining.insert(familyID).second) continue;
        if (RecordPtr family = recordsIndex_->recordWithID(familyID, "FAM")) work.enter(family, work.families, nullptr);
    }
}

void GEDCOMModel::appendSubsetPlaces(std::string& text, SubsetWork& work) {
    const std::vector<RecordPtr> users = work.placeUsers;
    for (const RecordPtr& user : users)
        for (const RecordPtr& place : user->findAllPlaceRecords())
            if (!work.written.contains(place->grecordID())) work.enter(place, text, nullptr);
}

void GEDCOMModel::finishLinksToSubsetGEDCOM(std::string& text, uint32_t flags, IDTypes& records) {
    for (const char* tag : kStrippedLinks) GEDCOMTextScan::removeCustomLinkTags(tag, text, &records);
    if (!(flags & kOmitLogs)) addLinked("_LOG", text, records, text, false);

    // Each closure scans only what its previous pass added: what was there
    // before links only to records already entered or missing.
    auto close = [this, &records](std::string& grown, std::size_t from, std::initializer_list<const char*> tags) {
        for (;;) {
            const std::size_t before = grown.size();
            int added = 0;
            for (const char* tag : tags) {
                const std::string fresh = grown.substr(from);
                added += addLinked(tag, fresh, records, grown, false);
            }
            if (added == 0) return;
            from = before;
        }
    };

    std::string notes;
    addLinked("NOTE", text, records, notes, false);
    close(notes, 0, {"NOTE"});
    text.append(notes);
    addLinked("NOTE", text, records, text, false);

    std::string sources;
    addLinked("SOUR", text, records, sources, false);
    close(sources, 0, {"NOTE", "SOUR"});
    text.append(sources);

    std::string repositories;
    addLinked("REPO", text, records, repositories, false);
    close(repositories, 0, {"NOTE", "SOUR", "REPO"});
    text.append(repositories);

    std::string media;
    int added = addLinked("OBJE", text, records, media, writesThumbnails(flags));
    added += addLinkedCSSinData(text, records, media);
    if (added == 0) return;
    // With embedded multimedia the objects stay out; what they link to is
    // written all the same.
    std::string linkedByMedia;
    std::size_t from = 0;
    while (added > 0) {
        const std::size_t before = media.size();
        added = 0;
        for (const char* tag : {"NOTE", "SOUR", "REPO"}) {
            std::string piece;
            added += addLinked(tag, std::string_view(media).substr(from), records, piece, false);
            media.append(piece);
            linkedByMedia.append(piece);
        }
        const std::string fresh = media.substr(from);
        added += addLinked("OBJE", fresh, records, media, writesThumbnails(flags));
        added += addLinkedCSSinData(fresh, records, media);
        from = before;
    }
    text.append(embedsMultimedia(flags) ? linkedByMedia : media);
}

int GEDCOMModel::addLinked(const std::string& tag, std::string_view data, IDTypes& notLinkedTo,
                           std::string& output, bool thumb) {
    return appendLinked(GEDCOMTextScan::getLinks(tag, data, notLinkedTo), notLinkedTo, output, tag, thumb);
}

int GEDCOMModel::addLinkedCSSinData(std::string_view data, IDTypes& notLinkedTo, std::string& output) {
    return appendLinked(GEDCOMTextScan::getCSSLinksInData(data, notLinkedTo), notLinkedTo, output, "OBJE", false);
}

int GEDCOMModel::appendLinked(const std::vector<std::string>& recordIDs, IDTypes& notLinkedTo, std::string& output,
                              const std::string& linkTag, bool thumb) {
    int added = 0;
    for (const std::string& recordID : recordIDs) {
        if (notLinkedTo.contains(recordID)) continue;
        RecordPtr record = recordsIndex_->recordWithID(recordID, linkTag);
        if (!record) continue;
        record->appendGEDCOMRecord(output, allowCache());
        if (thumb) appendThumbnail(output, *record);
        notLinkedTo.emplace(recordID, linkTag);
        ++added;
    }
    return added;
}

}  // namespace kl
