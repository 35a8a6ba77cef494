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

struct CascadeRect {
    int x = 0;
    int y = 0;  // top-left corner, y growing downwards
    int width = 0;
    int height = 0;
    bool operator==(const CascadeRect&) const = default;
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
    // place() for a window of that frame on a screen whose free area is
    // `available`: the frame is fitted inside it (fitted(); a cascaded
    // window wraps, the owner of the name is moved in), and the next window
    // of the name steps from where this one really went.
    CascadeRect placeInside(const std::string& name, CascadeRect frame, bool tookAutosaveName,
                            const CascadeRect& available);
    // The frame no larger than the area, and inside it: a window that would
    // reach past its right or bottom edge is moved in, or with `wrap` starts
    // again at the area's top-left corner (a cascade wraps); one left of or
    // above the area is moved in. An empty area changes nothing.
    static CascadeRect fitted(CascadeRect frame, const CascadeRect& available, bool wrap = false);
    void clear() { points_.clear(); }

private:
    std::map<std::string, CascadePoint> points_;
};

}  // namespace kl
