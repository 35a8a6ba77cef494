#include "charts/RelativesWalk.h"

#include "foundation/Logger.h"

namespace kl {

RelativesWalk::RelativesWalk(std::shared_ptr<const RelativesGraph> graph, int subject, int32_t maxGen)
    : graph_(std::move(graph)), subject_(subject), maxGen_(maxGen) {
    descendLine_.reserve(50);
    ancestLine_.reserve(50);
}

void RelativesWalk::findRelationships(int sought, RelationshipTarget& target) {
    finding_ = true;
    sought_ = sought;
    target_ = &target;
    marks_.clear();
    descendLine_.clear();
    ancestLine_.clear();
    const auto& own = graph_->person(subject_).families;
    descendFromFams(own.empty() ? nullptr : &own, 0, 0, -1, 0);
    target_ = nullptr;
}

std::vector<Relative> RelativesWalk::listRelatives() {
    finding_ = false;
    slots_.clear();
    list_.clear();
    list_.push_back(relative(subject_, 0, 0));
    slots_.emplace(subject_, 0);
    if (onListed_) onListed_();
    if (maxGen_ > 0) {
        const auto& own = graph_->person(subject_).families;
        descendFromFams(own.empty() ? nullptr : &own, 0, 0, -1, 0);
    }
    return std::move(list_);
}

Relative RelativesWalk::relative(int person, int32_t a, int32_t d) const {
    const auto& p = graph_->person(person);
    return Relative(p.record, p.sex, a, d);
}

void RelativesWalk::report(int person, int32_t a, int32_t d) {
    target_->foundRelationship(relative(person, a, d), descendLine_, ancestLine_);
}

bool RelativesWalk::listPartner(int partner, int32_t a, int32_t descend) {
    const auto slot = slots_.find(partner);
    if (slot == slots_.end()) {
        slots_.emplace(partner, list_.size());
        list_.push_back(relative(partner, a, descend));
        if (onListed_) onListed_();
        return true;
    }
    Relative& met = list_[slot->second];
    // Reached before on the way down: it is an ancestor after all.
    if (met.descendNum() > 0) {
        met.setAncest(a, 0);
        return true;
    }
    return false;
}

bool RelativesWalk::climbFrom(int person, int32_t a) {
    const auto& p = graph_->person(person);
    for (std::size_t i = 0; i < p.parents.size(); ++i) {
        const std::vector<int> one{p.parents[i]};
        const int step = i < p.own ? 0 : (i < p.own + p.father ? 1 : 2);
        if (!descendFromFams(&one, a + 1, 0, person, step)) return false;
    }
    return true;
}

bool RelativesWalk::descendFromFams(const std::vector<int>* fams, int32_t a, int32_t d, int skip, int step) {
    if (!fams || fams->empty()) return a <= 0 && d <= 0 ? climbFrom(subject_, 0) : true;
    for (std::size_t k = 0; k < fams->size(); ++k) {
        const int f = (*fams)[k];
        const auto& family = graph_->family(f);
        const int h = family.husband, w = family.wife;
        bool climbH = h >= 0, climbW = w >= 0;
        const bool ancestors = a > 0 && d == 0;
        if (ancestors) {
            if (finding_) {
                ancestLine_.push_back(f);
                if (h >= 0 && h == sought_ && step != 1) report(h, a, step == 2 ? -1 : 0);
                if (w >= 0 && w == sought_ && step != 2) report(w, a, step == 1 ? -1 : 0);
            } else {
                climbH = h >= 0 && listPartner(h, a, step == 2 ? -1 : 0);
                climbW = w >= 0 && listPartner(w, a, step == 1 ? -1 : 0);
            }
        }
        if (finding_) {
            if (a == 0 && d == 0 && ((h == sought_ && w == subject_) || (w == sought_ && h == subject_)))
                report(sought_, 0, 0);
            if (target_->stopLooking()) return false;
            if (d > 0) {
                const auto mark = marks_.find(f);
                if (mark != marks_.end()) {
                    if (mark->second != -1) {
                        Logger::log("Warning: Family {} descends from itself", family.id);
                        looped_.push_back(f);
                    }
                    continue;
                }
                marks_.emplace(f, target_->hits());
            }
        }
        for (const int child : family.children) {
            if (child == skip) continue;
            if (finding_) {
                if (child == sought_) {
                    report(child, a, d + 1);
                    break;
                }
                if (d < maxGen_ - 1) {
                    descendLine_.push_back(child);
                    const auto& own = graph_->person(child).families;
                    if (!descendFromFams(own.empty() ? nullptr : &own, a, d + 1, -1, 0)) return false;
                    descendLine_.pop_back();
                }
                continue;
            }
            const auto slot = slots_.find(child);
            if (slot == slots_.end()) {
                slots_.emplace(child, list_.size());
                list_.push_back(relative(child, a, d + 1));
                if (onListed_) onListed_();
            } else if (!list_[slot->second].chooseAncest(a, d + 1)) {
                continue;
            }
            if (d < maxGen_ - 1) {
                const auto& own = graph_->person(child).families;
                descendFromFams(own.empty() ? nullptr : &own, a, d + 1, -1, 0);
            }
        }
        if (finding_ && d > 0) {
            const auto mark = marks_.find(f);
            // Nothing was found below: later paths pass this family by.
            if (mark->second == target_->hits())
                mark->second = -1;
            else
                marks_.erase(mark);
        } else if (d == 0 && a < maxGen_) {
            if (a == 0) {
                if (k == 0 && !climbFrom(subject_, 0)) return false;
            } else if (step == 0) {
                if (climbH && !climbFrom(h, a)) return false;
                if (climbW && !climbFrom(w, a)) return false;
            }
        }
        if (finding_ && ancestors) ancestLine_.pop_back();
    }
    return true;
}

}  // namespace kl
