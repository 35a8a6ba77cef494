#pragma once
// ChartPage: where a printed tree chart is cut into pages, from the
// document's chart print settings (the paper and its printable area, the
// scale) or, without a paper in them, a page of 576 by 756 points.
//
// Values only. Thread: any.
#include <vector>

#include "charts/TreeChartLayout.h"
#include "foundation/Value.h"

namespace kl {

struct ChartPage {
    double width = 576;
    double height = 756;

    // Keys: "PaperWidth", "PaperHeight", "ImageableX", "ImageableY",
    // "ImageableWidth", "ImageableHeight", "ScalingFactor".
    static ChartPage fromPrintInfo(const Dictionary& info);
    // Dashed lines across the chart at every whole page.
    std::vector<ChartSegment> pageLines(const ChartRect& chart) const;
};

}  // namespace kl
