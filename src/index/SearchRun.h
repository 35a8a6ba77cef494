#pragma once
// SearchRun: one search of a database on a worker thread. The worker tests
// the records in search order against the criteria and appends each hit to
// a buffer under a lock; the search window drains the buffer on its timer.
// Hits of one record type in a row form one group, named by the type's
// plural name.
//
// Ownership: owns its criteria and the list of records to search (the
// records stay alive while it runs); borrows the model, which must outlive
// it. Destroying a run stops its worker and waits for it.
// Thread: made, stopped and drained on the main thread.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "index/SearchCriteria.h"

namespace kl {

class GEDCOMModel;
class GEDCOMRecord;

struct SearchHit {
    std::string groupName;  // set when the hit opens a new group
    bool opensGroup = false;
    std::shared_ptr<GEDCOMRecord> record;
    std::string text;  // what made it a hit
};

class SearchRun {
public:
    SearchRun(SearchCriteria criteria, std::vector<std::shared_ptr<GEDCOMRecord>> records, GEDCOMModel* model);
    ~SearchRun();
    SearchRun(const SearchRun&) = delete;
    SearchRun& operator=(const SearchRun&) = delete;

    // The worker stops before its next record.
    void stop() { keepSearching_ = false; }
    bool running() const { return keepSearching_; }
    int hitCount() const { return hits_; }
    // The hits found since the last call, in search order.
    std::vector<SearchHit> takeHits();

private:
    void search();

    SearchCriteria criteria_;
    std::vector<std::shared_ptr<GEDCOMRecord>> records_;
    GEDCOMModel* model_;
    std::atomic<bool> keepSearching_{true};
    std::atomic<int> hits_{0};
    std::mutex mutex_;
    std::vector<SearchHit> buffer_;
    std::thread worker_;
};

}  // namespace kl
