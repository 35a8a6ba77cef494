#include "index/UUIDMerge.h"

#include <algorithm>
#include <exception>
#include <unordered_map>

#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/MainThread.h"
#include "model/GEDCOMRecord.h"
#include "model/LibraryServices.h"

namespace kl {

const std::vector<std::string>& UUIDMerge::typeOrder() {
    static const std::vector<std::string> types{"REPO", "SOUR", "NOTE", "OBJE", "_LOG",
                                                "SUBM", "_PLC", "INDI", "FAM",  "_BOK"};
    return types;
}

UUIDMerge::UUIDMerge(GEDCOMModel& model, PairMerge mergePair)
    : model_(model),
      mergePair_(std::move(mergePair)),
      total_(static_cast<std::int64_t>(model.recordsIndex().numberOfRecords()) - 1) {}

UUIDMerge::~UUIDMerge() {
    running_ = false;
    join();
}

void UUIDMerge::start() {
    running_ = true;
    worker_ = std::thread([this] { run(); });
}

void UUIDMerge::join() {
    if (worker_.joinable()) worker_.join();
}

double UUIDMerge::fractionDone() {
    // A store of one record or none has nothing to count.
    if (total_ <= 0) return 1.0;
    const std::int64_t done = processed_;
    return done > total_ ? 1.0 : static_cast<double>(done) / static_cast<double>(total_);
}

std::optional<std::string> UUIDMerge::updateStatusField() {
    return std::to_string(merged_.load()) + " / " + std::to_string(conflicts_.load());
}

std::string UUIDMerge::stepText() const {
    std::lock_guard lock(stepMutex_);
    return stepText_;
}

void UUIDMerge::setStepText(std::string text) {
    std::lock_guard lock(stepMutex_);
    stepText_ = std::move(text);
}

std::string UUIDMerge::failure() const {
    std::lock_guard lock(failureMutex_);
    return failure_;
}

void UUIDMerge::run() {
    try {
        for (const auto& type : typeOrder()) {
            if (!running_) break;
            mergeType(type);
        }
        setStepText(LibraryServices::localized("Removing duplicate record links"));
        if (running_) removeDuplicateLinks();
    } catch (const std::exception& e) {
        std::lock_guard lock(failureMutex_);
        failure_ = e.what();
    } catch (...) {
        std::lock_guard lock(failureMutex_);
        failure_ = "Unexpected error";
    }
    running_ = false;
    ended_.notify();
}

void UUIDMerge::mergeType(const std::string& type) {
    std::vector<RecordPtr> order;
    bool listed = false;
    Dispatcher::current().postAndWait([&] {
        auto list = model_.recordsIndex().listForType(type);
        listed = list != nullptr;
        if (list) order = list->order();
    });
    if (!listed) return;
    const std::string step = LibraryServices::localized("Merging %@ records with duplicate UUIDs");
    const std::size_t at = step.find("%@");
    setStepText(at == std::string::npos ? step : std::string(step).replace(at, 2, type));
    std::unordered_map<std::string, RecordPtr> byUUID;
    byUUID.reserve(order.size());
    for (const auto& record : order) {
        if (!running_) return;
        ++processed_;
        const std::string uuid = record->recordUUID();
        if (uuid.empty()) continue;
        auto [entry, first] = byUUID.emplace(uuid, record);
        if (first) continue;
        const RecordPtr earlier = entry->second;
        Dispatcher::current().postAndWait([&] { mergePair(record, earlier); });
        // The survivor stands for the UUID from now on: a third record with
        // it merges with the record that is still there, never with the
        // one just deleted.
        entry->second = record;
    }
}

void UUIDMerge::mergePair(const RecordPtr& kept, const RecordPtr& other) {
    std::int64_t joined = 0;
    if (!mergePair_(kept, other, joined)) return;
    ++merged_;
    // What the other still had to resolve is now the kept record's.
    auto inList = [this](const RecordPtr& record) {
        return std::find(conflictRecords_.begin(), conflictRecords_.end(), record);
    };
    if (auto found = inList(other); found != conflictRecords_.end()) {
        joined += other->contextInfo().toInteger(0);
        conflictRecords_.erase(found);
        --conflicts_;
    }
    if (joined <= 0) return;
    if (inList(kept) != conflictRecords_.end()) {
        kept->setContextInfo(Value(kept->contextInfo().toInteger(0) + joined));
        return;
    }
    kept->setContextInfo(Value(joined));
    conflictRecords_.push_back(kept);
    ++conflicts_;
}

void UUIDMerge::removeDuplicateLinks() {
    std::vector<RecordPtr> pending;
    Dispatcher::current().postAndWait([&] { pending = conflictRecords_; });
    for (const auto& record : pending) {
        if (!running_) return;
        // The clean-up edits the record, so it runs where every edit does.
        Dispatcher::current().postAndWait([&] {
            if (!record->removeDuplicateLinksAfterMerge()) return;
            conflictRecords_.erase(std::find(conflictRecords_.begin(), conflictRecords_.end(), record));
            --conflicts_;
        });
    }
}

}  // namespace kl
