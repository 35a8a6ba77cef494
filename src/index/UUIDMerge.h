#pragma once
// UUIDMerge: one run of the duplicate-UUID merge. A worker walks the record
// types in a fixed order and, for each record whose UUID (`_KLID`) an
// earlier record of its type carries, hands the pair to the main thread,
// where the later record takes in the earlier one; the worker waits for
// each pair. Merges that joined texts are kept as conflicts, and at the end
// each is asked to drop the links and events the merge doubled. The
// progress panel polls the counters.
//
// Ownership: made by the index window's controller for one run; borrows
// the store, which outlives it, and shares the records it holds. The
// destructor waits for the worker.
// Thread: the counters are atomics read from the main thread; the record
// table and the conflict list belong to the main thread's hand-offs.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "document/KLProgress.h"

namespace kl {

class GEDCOMModel;
class GEDCOMRecord;

class UUIDMerge : public KLProgress {
public:
    using RecordPtr = std::shared_ptr<GEDCOMRecord>;
    // Merges `other` into `kept` on the main thread; false when the merge
    // was refused and nothing changed.
    using PairMerge = std::function<bool(const RecordPtr& kept, const RecordPtr& other, std::int64_t& joined)>;

    // The types, in the order their records are merged.
    static const std::vector<std::string>& typeOrder();

    UUIDMerge(GEDCOMModel& model, PairMerge mergePair);
    ~UUIDMerge() override;
    UUIDMerge(const UUIDMerge&) = delete;
    UUIDMerge& operator=(const UUIDMerge&) = delete;

    void start();
    // Waits for the worker (after the panel has seen it stop).
    void join();

    // ---- KLProgress
    double fractionDone() override;
    std::optional<std::string> updateStatusField() override;
    bool stillRunning() override { return running_; }
    void cancelAction() override { running_ = false; }
    EndSignal* endSignal() override { return &ended_; }
    // "Merging INDI records with duplicate UUIDs" while a type is walked,
    // "Removing duplicate record links" at the end.
    std::string stepText() const override;

    std::int64_t merged() const { return merged_; }
    std::int64_t conflicts() const { return conflicts_; }
    // The records still holding merged texts; read after join().
    const std::vector<RecordPtr>& conflictRecords() const { return conflictRecords_; }
    // What an unexpected failure of the worker said; empty when none.
    std::string failure() const;

private:
    void run();
    void mergeType(const std::string& type);
    void mergePair(const RecordPtr& kept, const RecordPtr& other);
    void removeDuplicateLinks();
    void setStepText(std::string text);

    GEDCOMModel& model_;
    PairMerge mergePair_;
    std::thread worker_;
    std::atomic<bool> running_{false};
    std::atomic<std::int64_t> processed_{0};
    std::int64_t total_ = 0;
    std::atomic<std::int64_t> merged_{0};
    std::atomic<std::int64_t> conflicts_{0};
    std::vector<RecordPtr> conflictRecords_;
    mutable std::mutex failureMutex_;
    std::string failure_;
    mutable std::mutex stepMutex_;
    std::string stepText_;
    EndSignal ended_;
};

}  // namespace kl
