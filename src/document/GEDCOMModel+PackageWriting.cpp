// The package form of the whole database: streamed to the package's GEDCOM
// file in chunks, in the fixed record-type order, never held whole.
#include <array>

#include "document/GEDCOMModel.h"
#include "foundation/ByteSink.h"
#include "foundation/Logger.h"
#include "foundation/MainThread.h"
#include "model/GEDCOMRecord.h"
#include "model/HEADRecord.h"
#include "model/TextEncoding.h"

namespace kl {

namespace {

// Raised inside a write when the package encoding cannot hold a chunk;
// caught by writeToGedpkgFile, which answers false.
struct EncodingLoss {};

struct TypeStep {
    const char* type;
    uint32_t skipWhen;  // export flags that leave the type out
};

constexpr std::array<TypeStep, 10> kTypeOrder{{
    {"SUBM", 0},
    {"INDI", 0},
    {"FAM", 0},
    {"SOUR", 0},
    {"REPO", 0},
    {"NOTE", 0},
    {"OBJE", GEDCOMModel::kEmbedMultimedia | GEDCOMModel::kEmbedMultimedia55},
    {"_LOG", GEDCOMModel::kOmitLogs},
    {"_PLC", GEDCOMModel::kOmitPlaces},
    {"_BOK", GEDCOMModel::kOmitBooks},
}};

}  // namespace

void GEDCOMModel::flushGedcomBuffer(std::string& buffer, ByteSink& sink) {
    if (encoding_ == kDefaultEncoding) {
        sink.write(buffer);
    } else {
        const auto target = encodingFromCode(static_cast<uint32_t>(encoding_));
        if (!target) throw EncodingLoss{};
        EncodeOptions options;
        options.lossy = false;
        options.byteOrderMark = !wroteFirstChunk_;
        EncodeResult bytes = encode(buffer, *target, options);
        if (!bytes.complete()) throw EncodingLoss{};
        sink.write(bytes.bytes);
    }
    wroteFirstChunk_ = true;
    buffer.clear();
}

bool GEDCOMModel::writeToGedpkgFile(ByteSink& sink, uint32_t flags, const std::string& packageFilePath) {
    setExportFlags(flags);
    wroteFirstChunk_ = false;
    const bool allowCache = GEDCOMModel::allowCache();
    std::string buffer;
    buffer.reserve(kBufferCapacity);
    try {
        if (RecordPtr head = header()) {
            if (auto stamped = std::dynamic_pointer_cast<HEADRecord>(head))
                Dispatcher::current().postAndWait(
                    [&] { stamped->setVersionAndFile(std::filesystem::path(packageFilePath)); });
            head->appendGEDCOMRecord(buffer, allowCache);
            ++totalRecordsDone_;
        }
        if (RecordPtr submission = recordsIndex_->submission()) {
            submission->appendGEDCOMRecord(buffer, allowCache);
            ++totalRecordsDone_;
        }
        for (const TypeStep& step : kTypeOrder)
            if ((flags & step.skipWhen) == 0) recordsIndex_->writeType(step.type, sink, buffer, totalRecordsDone_);
        recordsIndex_->appendRestToGEDCOM(buffer, allowCache, totalRecordsDone_, false);
        finishTotalRecordsDone();
        buffer.append("0 TRLR").append(lineEnding());
        flushGedcomBuffer(buffer, sink);
    } catch (const EncodingLoss&) {
        Logger::log("The package encoding {} cannot hold the text; the package is written in UTF-8", encoding_);
        return false;
    }
    return true;
}

}  // namespace kl
