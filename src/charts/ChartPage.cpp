#include "charts/ChartPage.h"

namespace kl {

ChartPage ChartPage::fromPrintInfo(const Dictionary& info) {
    const auto number = [&](const char* key) {
        const Value* value = info.get(key);
        return value && value->isNumber() ? value->toReal() : 0.0;
    };
    const double paperWidth = number("PaperWidth"), paperHeight = number("PaperHeight");
    const double x = number("ImageableX"), y = number("ImageableY");
    const double w = number("ImageableWidth"), h = number("ImageableHeight");
    if (paperWidth <= 0 || paperHeight <= 0 || w <= 0 || h <= 0) return {};
    double scale = number("ScalingFactor");
    if (scale <= 0) scale = 1;
    const double left = x, right = paperWidth - (x + w);
    const double top = paperHeight - (y + h), bottom = paperHeight - (top + h);
    return {(paperWidth - left - right) / scale, (paperHeight - top - bottom) / scale};
}

std::vector<ChartSegment> ChartPage::pageLines(const ChartRect& f) const {
    std::vector<ChartSegment> lines;
    if (width <= 0 || height <= 0) return lines;
    for (int k = 1; k * width <= f.x + f.width; ++k)
        lines.push_back({f.x + k * width, f.y, f.x + k * width, f.bottom(), true});
    for (int k = 1; k * height <= f.y + f.height; ++k)
        lines.push_back({f.x, f.y + k * height, f.right(), f.y + k * height, true});
    return lines;
}

}  // namespace kl
