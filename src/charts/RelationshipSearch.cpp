#include "charts/RelationshipSearch.h"

#include <algorithm>

#include "model/FAMRecord.h"
#include "model/INDIRecord.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

std::string localized(const char* key) {
    const auto library = LibraryServices::current();
    return library ? library->localString(key) : key;
}

}  // namespace

RelationshipSearch::RelationshipSearch(GEDCOMModel& model, std::shared_ptr<INDIRecord> to,
                                       std::shared_ptr<INDIRecord> from)
    : to_(std::move(to)), from_(std::move(from)) {
    if (to_ != from_) {
        auto graph = std::make_shared<RelativesGraph>(model);
        toIndex_ = graph->personIndex(to_.get());
        fromIndex_ = graph->personIndex(from_.get());
        graph_ = std::move(graph);
    }
}

RelationshipSearch::~RelationshipSearch() {
    stop();
    wait();
}

void RelationshipSearch::start() {
    if (to_ == from_) {
        std::lock_guard lock(mutex_);
        results_.push_back({localized("Self"), {}, {}, -1, 0});
        searching_.store(false);
        return;
    }
    // Someone outside the database has no relatives in it.
    if (toIndex_ < 0 || fromIndex_ < 0) {
        searching_.store(false);
        return;
    }
    worker_ = std::thread([this] { searchForRelationships(); });
}

void RelationshipSearch::wait() {
    if (worker_.joinable()) worker_.join();
}

void RelationshipSearch::searchForRelationships() {
    RelativesWalk walk(graph_, toIndex_, RelativesWalk::kFinderGenerations);
    hits_.store(0);
    walk.findRelationships(fromIndex_, *this);
    {
        std::lock_guard lock(mutex_);
        for (const int family : walk.loopedFamilies()) looped_.push_back(graph_->family(family).id);
    }
    searching_.store(false);
}

void RelationshipSearch::foundRelationship(const Relative& relative, const std::vector<int>& descendLine,
                                           const std::vector<int>& ancestLine) {
    hits_.fetch_add(1);
    std::string name = relative.relationship();
    if (name == "Self" && relative.info() != to_) name = "Spouse";
    const int32_t c = relative.cousin(), r = relative.removal();

    // A path up through a parent and back down through the same person
    // is the shorter relationship seen twice.
    for (std::size_t i = 0; i + 1 < ancestLine.size(); ++i) {
        if (ancestLine[i] == ancestLine[i + 1]) return;
        const int parent = graph_->linkingParent(ancestLine[i], ancestLine[i + 1]);
        if (parent >= 0 && std::find(descendLine.begin(), descendLine.end(), parent) != descendLine.end()) return;
    }

    RelationshipRow row{std::move(name), {}, {}, c, r};
    for (const int person : descendLine) row.descendLine.push_back(graph_->person(person).record);
    for (const int family : ancestLine) row.ancestLine.push_back(graph_->family(family).record);

    std::lock_guard lock(mutex_);
    auto at = results_.begin();
    for (; at != results_.end(); ++at) {
        if (at->cousin == c && at->removal == r) return;
        if (at->cousin > c || (at->cousin == c && at->removal > r)) break;
    }
    results_.insert(at, std::move(row));
}

std::vector<RelationshipRow> RelationshipSearch::results() const {
    std::lock_guard lock(mutex_);
    return results_;
}

std::size_t RelationshipSearch::resultCount() const {
    std::lock_guard lock(mutex_);
    return results_.size();
}

std::vector<std::string> RelationshipSearch::loopedFamilies() const {
    std::lock_guard lock(mutex_);
    return looped_;
}

}  // namespace kl
