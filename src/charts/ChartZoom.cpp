#include "charts/ChartZoom.h"

#include <algorithm>

namespace kl {

const std::array<std::string, 9>& ChartZoom::titles() {
    static const std::array<std::string, 9> items{"   10%", "   25%", "   50%", "   75%",    " 100%",
                                                  " 150%",  " 200%",  "Fit Width", "Fit Window"};
    return items;
}

double ChartZoom::setScaleIndex(int index, double visibleWidth, double visibleHeight, double chartWidth,
                                double chartHeight) {
    if (index < 0 || index > kFitWindow) return 1;
    if (index < kFitWidth && index == scaleIndex_) return 1;
    const double s = scaleFactor();
    if (index >= kFitWidth) {
        // An empty chart has nothing to fit: the scale stays.
        if (chartWidth <= 0 || (index == kFitWindow && chartHeight <= 0)) return 1;
        if (index == kFitWindow)
            table_[kFitWindow] = std::min(s * visibleWidth / chartWidth, s * visibleHeight / chartHeight) * 100;
        else
            table_[kFitWidth] = s * visibleWidth * 100 / chartWidth;
        if (table_[static_cast<std::size_t>(index)] <= 0) return 1;
    }
    scaleIndex_ = index;
    return percent(index) / 100 / s;
}

std::optional<int> ChartZoom::clickIndex(bool zoomOut) const {
    if (!isFitting()) {
        const int next = scaleIndex_ + (zoomOut ? -1 : 1);
        if (next < 0 || next >= kFixedScales) return std::nullopt;
        return next;
    }
    const double p = scaleFactor() * 100;
    if (zoomOut) {
        for (int i = kFixedScales; i-- > 0;)
            if (percent(i) <= p) return i;
        return std::nullopt;
    }
    for (int i = 0; i < kFixedScales; ++i)
        if (percent(i) >= p) return i;
    return std::nullopt;
}

double ChartZoom::scrollOrigin(double centre, double visible, double chart) {
    double origin = std::max(0.0, centre - visible / 2);
    origin = std::min(origin, chart - visible);
    return std::max(0.0, origin);
}

}  // namespace kl
