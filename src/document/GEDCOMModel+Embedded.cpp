// Package dictionaries that an export with settings embedded carries in its
// header as `_NSDATA` objects ("Attributes", "Settings"). Read back only
// when the header is the file's first record, before anything else was
// listed; the objects never stay in the header.
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

}  // namespace kl
