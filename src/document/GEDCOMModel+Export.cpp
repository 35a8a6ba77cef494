// The export form of the whole database or of one album: records in the
// fixed type order, the header stamped for the target file, the package
// dictionaries and thumbnails embedded on request, "0 TRLR" last.
#include <algorithm>

#include "document/GEDCOMEncodeDecode.h"
#include "document/GEDCOMModel.h"
#include "document/ModelDocument.h"
#include "foundation/LargeText.h"
#include "foundation/Logger.h"
#include "foundation/MainThread.h"
#include "model/GEDCOMRecord.h"
#include "model/HEADRecord.h"

namespace kl {

namespace {

using enum GEDCOMModel::ExportFlag;

constexpr std::size_t kCharactersPerRecord = 200;

// Types written after the submission, each unless its flag bit is set.
struct TypeStep {
    const char* type;
    uint32_t omittedBy;
};
constexpr TypeStep kExportTypes[] = {
    {"SUBM", 0}, {"INDI", 0}, {"FAM", 0},           {"SOUR", 0},          {"REPO", 0},
    {"NOTE", 0}, {"OBJE", kEmbedMultimedia | kEmbedMultimedia55}, {"_LOG", kOmitLogs}, {"_PLC", kOmitPlaces},
    {"_BOK", kOmitBooks},
};

}  // namespace

bool GEDCOMModel::writingStopped() const {
    return delegate_ && delegate_->readWriteStatus() == ModelDocument::kStatusCancelled;
}

void GEDCOMModel::appendThumbnail(std::string& text, const GEDCOMRecord& record) const {
    if (!document_) return;
    auto jpeg = document_->getThumbnail(record.grecordID());
    if (!jpeg || jpeg->empty()) return;
    text.append(GEDCOMEncodeDecode::dataToEmbeddedGedcom(Data(jpeg->begin(), jpeg->end()), 1, "Thumbnail"));
}

std::string GEDCOMModel::getGEDCOMStringForExport(uint32_t flags, long albumIndex, const std::string& filePath) {
    setExportFlags(flags);
    std::string text;
    if (albumIndex >= 1) {
        auto album = recordsIndex_->userAlbumAtIndex(albumIndex - 1);
        const std::vector<RecordPtr> records = album ? album->order() : std::vector<RecordPtr>{};
        willReadWriteFile(static_cast<int32_t>(2 * records.size()));
        reserveLargeText(text, kCharactersPerRecord * 2 * std::max<std::size_t>(records.size(), 1));
        getSubset(records, text, flags, allowCache());
        text.append("0 TRLR").append(lineEnding());
        return text;
    }
    willReadWriteFile(static_cast<int32_t>(recordsIndex_->numberOfRecords()));
    reserveLargeText(text, kCharactersPerRecord * std::max<std::size_t>(recordsIndex_->numberOfRecords(), 1));
    std::atomic<int32_t>& recs = totalRecordsDone_;
    appendExportHeader(text, flags, filePath);
    if (RecordPtr submission = recordsIndex_->submission()) {
        submission->appendGEDCOMRecordExport(text, allowCache());
        ++recs;
    }
    for (const TypeStep& step : kExportTypes) {
        if (flags & step.omittedBy) continue;
        if (std::string_view(step.type) == "OBJE")
            recordsIndex_->exportOBJETo(text, recs, (flags & kThumbnails) != 0, false);
        else
            recordsIndex_->exportType(step.type, text, recs);
    }
    recordsIndex_->appendRestToGEDCOM(text, allowCache(), recs, true);
    finishTotalRecordsDone();
    text.append("0 TRLR").append(lineEnding());
    return text;
}

void GEDCOMModel::appendExportHeader(std::string& text, uint32_t flags, const std::string& filePath) {
    RecordPtr head = recordsIndex_->header();
    if (!head) return;
    if (auto header = std::dynamic_pointer_cast<HEADRecord>(head)) {
        const std::optional<std::filesystem::path> path =
            filePath.empty() ? std::nullopt : std::optional<std::filesystem::path>(filePath);
        // The header is part of the document the main thread shows.
        Dispatcher::current().postAndWait([&header, &path] { header->setVersionAndFile(path); });
    }
    head->appendGEDCOMRecordExport(text, allowCache());
    if (flags & kEmbedMultimedia55) {
        static constexpr std::string_view kVersion = "2 VERS 5.5.1";
        if (auto at = text.find(kVersion); at != std::string::npos) text.replace(at, kVersion.size(), "2 VERS 5.5");
    }
    if (flags & kEmbedSettings) appendEmbeddedPackageData(text);
    ++totalRecordsDone_;
}

void GEDCOMModel::appendEmbeddedPackageData(std::string& text) {
    if (!document_) return;
    struct Embedded {
        std::optional<Dictionary> dictionary;
        const char* name;
        const char* failure;
    };
    const Embedded parts[] = {
        {document_->dictionaryOfAttributes(), "Attributes", "Unable to save attributes in custom _NSDATA tag: {}"},
        {document_->dictionaryOfSettings("INDI"), "Settings", "Unable to save file settings in custom _NSDATA tag: {}"},
    };
    for (const Embedded& part : parts) {
        if (!part.dictionary) continue;
        std::string error;
        if (auto lines = GEDCOMEncodeDecode::EncodeData(Value(*part.dictionary), 1, part.name, &error))
            text.append(*lines);
        else
            Logger::log(part.failure, error);
    }
}

}  // namespace kl
