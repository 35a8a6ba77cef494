// Package dictionaries that an export with settings embedded carries in its
// header as `_NSDATA` objects ("Attributes", "Settings"). Read back only
// when the header is the file's first record, before anything else was
// listed; the objects never stay in the header. A multimedia record's
// embedded thumbnail joins the document's thumbnails.
#include "document/GEDCOMEncodeDecode.h"
#include "document/GEDCOMModel.h"
#include "document/ModelDocument.h"
#include "foundation/Logger.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {

void GEDCOMModel::readEmbeddedPackageData(const RecordPtr& header) {
    auto embedded = header->findChildren("_NSDATA", true);
    if (embedded.empty()) return;
    if (recordsIndex_->numberOfRecords() >= 2) {
        Logger::log("Custom NSData objects were not decoded because HEAD record is not first record");
        return;
    }
    for (const auto& object : embedded) {
        object->appendCONTandCONC();
        std::optional<std::string> name;
        std::optional<std::string> error;
        std::optional<Value> value = GEDCOMEncodeDecode::DecodeData(object->contents(), &name, &error);
        if (!value || !value->dictionary()) {
            Logger::log("Failed to decode custom NSData object: {}", error.value_or("no property list dictionary"));
            continue;
        }
        if (!document_) continue;
        if (name == "Attributes") {
            const std::vector<std::string> importRoots = document_->multimediaRoot();
            document_->readPackageAttributes(*value->dictionary());
            std::vector<std::string> roots = document_->multimediaRoot();
            roots.insert(roots.end(), importRoots.begin(), importRoots.end());
            document_->setMultimediaRoot(std::move(roots));
            if (albumInput_) {
                recordsIndex_->resetAlbums(&*albumInput_);
                albumInput_.reset();
                recordsIndex_->addRecord(header, false);
            }
        } else if (name == "Settings") {
            document_->readPackageSettings(*value->dictionary());
        }
    }
}

bool GEDCOMModel::setEmbeddedThumbnail(const std::string& recordID, const std::string& contents,
                                       std::string* error) {
    std::optional<std::string> name;
    std::optional<std::string> problem;
    std::optional<Data> bytes = GEDCOMEncodeDecode::decodeEmbedded(contents, &name, &problem);
    // Thumbnails are kept as JPEG; anything else is no thumbnail of ours.
    const bool jpeg = bytes && bytes->size() > 3 && (*bytes)[0] == 0xFF && (*bytes)[1] == 0xD8 && (*bytes)[2] == 0xFF;
    if (!jpeg) {
        if (error) *error = problem.value_or(bytes ? "the data is not a JPEG image" : "the data is not base64 text");
        return false;
    }
    if (document_) document_->setThumbnail(std::string(bytes->begin(), bytes->end()), recordID);
    return true;
}

}  // namespace kl
