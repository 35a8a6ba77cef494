#pragma once
// CascadePoints: where document windows of one kind appear. Each frame
// autosave name remembers the point from which its next window cascades; the
// window that owns the name keeps its saved frame, and every further window
// of that name steps down and right from the last one instead of landing on
// top of it.
//
// Thread: main thread (windows are placed there); one instance per process.
#include <map>
#include <optional>
#include <string>

namespace kl {

struct CascadePoint {
    int x = 0;
    int y = 0;  // top-left corner, y growing downwards
    bool operator==(const CascadePoint&) const = default;
};

class CascadePoints {
public:
    // How far each cascaded window steps from the one before.
    static constexpr int step = 22;

    struct Placement {
        CascadePoint topLeft;  // where the window goes
        CascadePoint next;     // stored for the next window of the name
    };

    static CascadePoints& shared();

    std::optional<CascadePoint> pointFor(const std::string& name) const;
    // Places a window whose top-left corner is `windowTopLeft` after it took
    // (or failed to take) the autosave name, and stores the next point.
    Placement place(const std::string& name, CascadePoint windowTopLeft, bool tookAutosaveName);
    void clear() { points_.clear(); }

private:
    std::map<std::string, CascadePoint> points_;
};

}  // namespace kl
