#pragma once
// RelationshipSearch: the relationship finder's search. It takes a snapshot
// of the family graph, walks it on a worker thread from the subject ("to")
// looking for the sought individual ("from"), and keeps each relationship
// found as a result row, ordered by cousin degree and then removal. Each
// name describes the sought individual as seen from the subject ("Father":
// the sought individual is the subject's father).
//
// A second path of a degree and removal already kept adds nothing, nor does
// a path that climbs through a person and comes down through the same one.
//
// Ownership: the window holds it by shared_ptr; stopping or destroying it
// ends the worker at its next family and waits for it. Thread: start,
// stop and the readers on the main thread; the walk on its worker, which
// adds rows under a lock.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "charts/RelativesWalk.h"

namespace kl {

class FAMRecord;
class GEDCOMModel;
class INDIRecord;

struct RelationshipRow {
    std::string name;
    // The people below the linking family on the sought individual's side,
    // topmost first, and the families climbed from the subject, its
    // parents' family first.
    std::vector<std::shared_ptr<INDIRecord>> descendLine;
    std::vector<std::shared_ptr<FAMRecord>> ancestLine;
    int32_t cousin = -1;
    int32_t removal = 0;
};

class RelationshipSearch : public RelationshipTarget {
public:
    // Main thread: takes the snapshot.
    RelationshipSearch(GEDCOMModel& model, std::shared_ptr<INDIRecord> to, std::shared_ptr<INDIRecord> from);
    ~RelationshipSearch() override;

    // Starts the worker; when both individuals are one, keeps the single
    // row "Self" and starts nothing.
    void start();
    // Ends the walk at its next family; the rows found so far stay.
    void stop() { searching_.store(false); }
    // Waits for the worker (tests, and before reading the final rows).
    void wait();
    bool searching() const { return searching_.load(); }

    std::vector<RelationshipRow> results() const;
    std::size_t resultCount() const;
    const std::shared_ptr<INDIRecord>& toRecord() const { return to_; }
    const std::shared_ptr<INDIRecord>& fromRecord() const { return from_; }
    // Families the walk met again while inside them.
    std::vector<std::string> loopedFamilies() const;

    // ---- RelationshipTarget (worker)
    void foundRelationship(const Relative& relative, const std::vector<int>& descendLine,
                           const std::vector<int>& ancestLine) override;
    bool stopLooking() override { return !searching_.load(); }
    int32_t hits() override { return hits_.load(); }

private:
    void searchForRelationships();

    std::shared_ptr<const RelativesGraph> graph_;
    std::shared_ptr<INDIRecord> to_;
    std::shared_ptr<INDIRecord> from_;
    int toIndex_ = -1;
    int fromIndex_ = -1;
    std::atomic<bool> searching_{true};
    std::atomic<int32_t> hits_{0};
    mutable std::mutex mutex_;
    std::vector<RelationshipRow> results_;
    std::vector<std::string> looped_;
    std::thread worker_;
};

}  // namespace kl
