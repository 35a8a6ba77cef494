#include "browser/WindowFitting.h"

namespace kl {

double WindowFitting::fittedHeight() const {
    double wanted = chromeHeight + backgroundHeight + 15;
    if (editPaneHeight >= 0) {
        // Both stacked panes grow in proportion; without a visible cell view
        // there is no proportion to keep, and the window stays as it is.
        if (cellScrollerHeight <= 0) return windowHeight;
        wanted = windowHeight + (editPaneHeight + cellScrollerHeight) * (backgroundHeight + 15 - cellScrollerHeight) /
                                    cellScrollerHeight;
    }
    if (heightRange.first >= 0 && wanted < heightRange.first) wanted = heightRange.first;
    if (heightRange.second >= 0 && wanted > heightRange.second) wanted = heightRange.second;
    return wanted;
}

}  // namespace kl
