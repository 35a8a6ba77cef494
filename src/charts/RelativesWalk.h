#pragma once
// RelativesWalk: the walk over the family graph that the relationship
// finder and the all-relatives report share. From the subject it climbs
// through the parents' families generation by generation and, from every
// family reached, descends through the children, counting for each person
// met how far above and below the linking family it lies (Relative).
//
// Listing mode gathers every relative within the generation limit, each
// once at its closest. Finding mode looks for one sought individual and
// reports each path to it to a target, with the families climbed through
// (ancestLine) and the people walked down through (descendLine); families
// below which nothing was found are marked as dead ends and not walked
// again.
//
// Thread: any, one thread per walk; it reads only its RelativesGraph.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "charts/Relative.h"
#include "charts/RelativesGraph.h"

namespace kl {

// What a finding walk reports to.
class RelationshipTarget {
public:
    virtual ~RelationshipTarget() = default;
    // `descendLine`: people below the linking family on the way down, the
    // topmost first; `ancestLine`: families climbed through, the subject's
    // parents' family first, the linking family last.
    virtual void foundRelationship(const Relative& relative, const std::vector<int>& descendLine,
                                   const std::vector<int>& ancestLine) = 0;
    virtual bool stopLooking() = 0;
    virtual int32_t hits() = 0;
};

class RelativesWalk {
public:
    static constexpr int32_t kFinderGenerations = 1000;

    RelativesWalk(std::shared_ptr<const RelativesGraph> graph, int subject, int32_t maxGen);

    // Finding mode: every path from the subject to `sought`.
    void findRelationships(int sought, RelationshipTarget& target);
    // Listing mode: the subject (0, 0) first, then every relative met.
    std::vector<Relative> listRelatives();

    const std::vector<int>& descendLine() const { return descendLine_; }
    const std::vector<int>& ancestLine() const { return ancestLine_; }
    // Families met again while the walk was inside them, in the order met.
    const std::vector<int>& loopedFamilies() const { return looped_; }
    // Called for each relative listed (the report's count of tasks done).
    void setOnListed(std::function<void()> listed) { onListed_ = std::move(listed); }

private:
    // Answers false when the walk must end at every level.
    bool descendFromFams(const std::vector<int>* fams, int32_t a, int32_t d, int skip, int step);
    bool climbFrom(int person, int32_t a);
    Relative relative(int person, int32_t a, int32_t d) const;
    void report(int person, int32_t a, int32_t d);
    // Listing: the partner's slot, answering whether it may be climbed from.
    bool listPartner(int partner, int32_t a, int32_t descend);

    std::shared_ptr<const RelativesGraph> graph_;
    int subject_;
    int32_t maxGen_;
    bool finding_ = false;
    int sought_ = -1;
    RelationshipTarget* target_ = nullptr;
    std::vector<int> descendLine_;
    std::vector<int> ancestLine_;
    std::vector<int> looped_;
    // Finding: the family marks (the hits count on entry, -1 dead end).
    std::unordered_map<int, int32_t> marks_;
    // Listing: each person's place in the list.
    std::unordered_map<int, std::size_t> slots_;
    std::vector<Relative> list_;
    std::function<void()> onListed_;
};

}  // namespace kl
