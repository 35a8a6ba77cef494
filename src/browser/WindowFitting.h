#pragma once
// WindowFitting: the height a record window takes when its template asks
// for the window to fit the pane: the pane's height with a margin, or, when
// a text pane is stacked over or under the cells, both panes grown in
// proportion until the cells fit; raised to the template's minimum and
// lowered to its maximum (a negative bound is none).
//
// Thread: any; pure arithmetic.
#include <utility>

namespace kl {

struct WindowFitting {
    double windowHeight = 0;        // the window's frame height now
    double chromeHeight = 0;        // frame height minus the cells' view height
    double backgroundHeight = 0;    // the pane's height
    double cellScrollerHeight = 0;  // the visible height of the cells' view
    double editPaneHeight = -1;     // a stacked text pane's height; -1 without one
    std::pair<double, double> heightRange{-1, -1};

    // The wanted frame height; the window's own when nothing can be computed.
    double fittedHeight() const;
};

}  // namespace kl
