#include "app/CascadePoints.h"

#include <algorithm>

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

CascadeRect CascadePoints::fitted(CascadeRect frame, const CascadeRect& available, bool wrap) {
    if (available.width <= 0 || available.height <= 0) return frame;
    frame.width = std::clamp(frame.width, 1, available.width);
    frame.height = std::clamp(frame.height, 1, available.height);
    const int right = available.x + available.width;
    const int bottom = available.y + available.height;
    if (wrap && (frame.x + frame.width > right || frame.y + frame.height > bottom)) {
        frame.x = available.x;
        frame.y = available.y;
    }
    frame.x = std::clamp(frame.x, available.x, right - frame.width);
    frame.y = std::clamp(frame.y, available.y, bottom - frame.height);
    return frame;
}

CascadeRect CascadePoints::placeInside(const std::string& name, CascadeRect frame, bool tookAutosaveName,
                                       const CascadeRect& available) {
    const Placement placement = place(name, {frame.x, frame.y}, tookAutosaveName);
    frame.x = placement.topLeft.x;
    frame.y = placement.topLeft.y;
    frame = fitted(frame, available, !tookAutosaveName);
    points_[name] = {frame.x + step, frame.y + step};
    return frame;
}

}  // namespace kl
