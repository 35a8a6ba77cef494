#include "app/CascadePoints.h"

namespace kl {

CascadePoints& CascadePoints::shared() {
    static CascadePoints points;
    return points;
}

std::optional<CascadePoint> CascadePoints::pointFor(const std::string& name) const {
    auto found = points_.find(name);
    if (found == points_.end()) return std::nullopt;
    return found->second;
}

CascadePoints::Placement CascadePoints::place(const std::string& name, CascadePoint windowTopLeft,
                                              bool tookAutosaveName) {
    const auto stored = pointFor(name);
    // The owner of the name stays where its saved frame put it; the others
    // start from where the last window of the name left off.
    const CascadePoint start = (!stored || tookAutosaveName) ? windowTopLeft : *stored;
    Placement placement{start, {start.x + step, start.y + step}};
    points_[name] = placement.next;
    return placement;
}

}  // namespace kl
