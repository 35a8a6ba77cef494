#include "document/GEDCOMModel.h"

#include <mutex>

#include "model/GEDCOMParser.h"
#include "document/ModelDocument.h"
#include "foundation/NotificationCenter.h"
#include "foundation/Reclaimer.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMObject.h"
#include "model/GEDCOMRecord.h"

namespace kl {

namespace {

std::atomic<bool> gAllowCache{true};

constexpr const char* kEncodingKey = "Encoding";
constexpr const char* kAlbumListingsKey = "Record Album Listings";

}  // namespace

GEDCOMModel::GEDCOMModel(ModelDocument* document)
    : document_(document),
      delegate_(document),
      recordsIndex_(std::make_unique<RecordsIndices>(this)),
      places_(std::make_unique<PlaceIndex>(this)) {}

GEDCOMModel::~GEDCOMModel() {
    if (UndoManager* um = undoManager()) {
        um->removeAllActionsWithTarget(this);
        um->removeAllActionsWithTarget(recordsIndex_.get());
    }
    // A large database's records take seconds to free: that happens on the
    // reclaimer's thread, so closing a window never waits for it. Nothing
    // there calls back into this model.
    struct Records {
        std::unique_ptr<RecordsIndices> index;
        std::unique_ptr<PlaceIndex> places;
        RecordPtr decoding;
    };
    Reclaimer::release(std::make_shared<Records>(
        Records{std::move(recordsIndex_), std::move(places_), std::move(decoding_)}));
}

void GEDCOMModel::addCSSDictionaryObject(const std::string& newID, const std::string& oldID) {
    if (newID != oldID) cssRecords_.set(oldID, newID);
}

UndoManager* GEDCOMModel::undoManager() { return document_ ? document_->undoManager() : nullptr; }

GEDCOMModel::RecordPtr GEDCOMModel::recordWithID(const std::string& recordID, const std::string& type) {
    return recordsIndex_->recordWithID(recordID, type);
}

std::string GEDCOMModel::singularNameForType(const std::string& type) {
    return RecordsIndices::singularNameForRecordType(type, nullptr);
}

std::vector<std::string> GEDCOMModel::multimediaRoot() const {
    return document_ ? document_->multimediaRoot() : std::vector<std::string>{};
}

std::optional<std::filesystem::path> GEDCOMModel::fileURL() const {
    return document_ ? document_->fileURL() : std::nullopt;
}

std::optional<std::string> GEDCOMModel::getThumbnail(const std::string& recordID) {
    return document_ ? document_->getThumbnail(recordID) : std::nullopt;
}

void GEDCOMModel::removeThumbnail(const std::string& recordID) {
    if (document_) document_->removeThumbnail(recordID);
}

void GEDCOMModel::postNotification(const std::string& name, Dictionary userInfo) {
    NotificationCenter::defaultCenter().post(name, this, std::move(userInfo));
}

std::optional<std::string> GEDCOMModel::placeRecordIDForName(const std::string& placeName) {
    auto place = places_->placeForName(placeName);
    return place ? std::optional<std::string>(place->grecordID()) : std::nullopt;
}

std::size_t GEDCOMModel::numberOfType(const std::string& type) const {
    auto list = recordsIndex_->listForType(type);
    return list ? list->count() : 0;
}

// ---- process-wide values

std::string GEDCOMModel::lineEnding() { return std::string(GEDCOMObject::lineEnding()); }

void GEDCOMModel::setLineEnding(const std::string& ending) {
    GEDCOMObject::setLineEnding(ending);
    gAllowCache = ending == "\n";
}

bool GEDCOMModel::allowCache() { return gAllowCache; }
uint32_t GEDCOMModel::exportFlags() { return GEDCOMRecord::exportFlags(); }
void GEDCOMModel::setExportFlags(uint32_t flags) { GEDCOMRecord::setExportFlags(flags); }

bool GEDCOMModel::shouldHaveXRef(const std::string& tag) {
    return tag == "NOTE" || tag == "SOUR" || tag == "OBJE" || tag == "_LOG";
}

// ---- progress

int32_t GEDCOMModel::recordsDone() const {
    std::lock_guard lock(parseMutex_);
    return gedParse_ ? gedParse_->foundRecords() : totalRecordsDone_.load();
}

double GEDCOMModel::fractionDone() const {
    {
        std::lock_guard lock(parseMutex_);
        if (gedParse_) return gedParse_->fractionDone();
    }
    if (inSimplify_) {
        const int32_t done = totalRecordsDone_;
        return done > 0 ? static_cast<double>(totalRecordsSimplified_) / done : 0.0;
    }
    const int32_t total = totalToWrite_;
    return total > 0 ? static_cast<double>(totalRecordsDone_) / total : 0.0;
}

bool GEDCOMModel::parsingRecords() const {
    std::lock_guard lock(parseMutex_);
    return gedParse_ != nullptr || totalRecordsDone_ == 0;
}

void GEDCOMModel::stopParsing() {
    std::lock_guard lock(parseMutex_);
    if (gedParse_) gedParse_->setKeepParsing(false);
    parsingAborted_ = true;
}

void GEDCOMModel::willReadWriteFile(int32_t total) {
    totalRecordsDone_ = 0;
    totalToWrite_ = total;
    readAlert_.reset();
}

// ---- package attributes

void GEDCOMModel::addAttributesToDictionary(Dictionary& attributes) const {
    attributes.set(kEncodingKey, encoding_);
    attributes.set(kAlbumListingsKey, recordsIndex_->albumOrder());
}

void GEDCOMModel::readAttributes(const Dictionary& attributes) {
    const Value* e = attributes.get(kEncodingKey);
    encoding_ = e && (e->isInteger() || e->isReal()) ? static_cast<int32_t>(e->toInteger(kDefaultEncoding))
                                                    : kDefaultEncoding;
    if (const Value* albums = attributes.get(kAlbumListingsKey); albums && albums->array())
        albumInput_ = *albums->array();
}

GEDCOMModel::RecordPtr GEDCOMModel::firstRecordOfType(const std::string& type) {
    auto list = recordsIndex_->listForType(type);
    return list && list->count() > 0 ? list->order().front() : nullptr;
}

std::vector<GEDCOMModel::RecordPtr> GEDCOMModel::recordsOfType(const std::string& type) {
    auto list = recordsIndex_->listForType(type);
    if (!list) return {};
    return {list->order().begin(), list->order().end()};
}

void GEDCOMModel::makeAttributes() {
    encoding_ = kDefaultEncoding;
    albumInput_.reset();
}

}  // namespace kl
