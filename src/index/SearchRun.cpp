#include "index/SearchRun.h"

#include "document/RecordsIndices.h"
#include "model/GEDCOMRecord.h"

namespace kl {

SearchRun::SearchRun(SearchCriteria criteria, std::vector<std::shared_ptr<GEDCOMRecord>> records, GEDCOMModel* model)
    : criteria_(std::move(criteria)), records_(std::move(records)), model_(model) {
    worker_ = std::thread([this] { search(); });
}

SearchRun::~SearchRun() {
    stop();
    if (worker_.joinable()) worker_.join();
}

std::vector<SearchHit> SearchRun::takeHits() {
    std::lock_guard lock(mutex_);
    return std::exchange(buffer_, {});
}

void SearchRun::search() {
    std::string lastType;
    for (const auto& record : records_) {
        if (!keepSearching_) break;
        auto text = criteria_.testRecord(*record, model_);
        if (!text) continue;
        SearchHit hit;
        hit.record = record;
        hit.text = std::move(*text);
        const std::string& type = record->recordType();
        if (type != lastType) {
            hit.opensGroup = true;
            hit.groupName = RecordsIndices::pluralNameForRecordType(type, record.get());
            lastType = type;
        }
        {
            std::lock_guard lock(mutex_);
            buffer_.push_back(std::move(hit));
        }
        ++hits_;
    }
    keepSearching_ = false;
}

}  // namespace kl
