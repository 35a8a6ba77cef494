#pragma once
// ChartZoom: the scales a tree chart is shown at: seven fixed ones (10 % to
// 200 %) and two that fit the chart to the window's width or to the whole
// window, recomputed whenever asked. Also where the view scrolls to keep a
// point in the middle.
//
// Values only. Thread: main thread.
#include <array>
#include <optional>
#include <string>

namespace kl {

class ChartZoom {
public:
    static constexpr int kFitWidth = 7;
    static constexpr int kFitWindow = 8;
    static constexpr int kDefaultIndex = 4;
    static constexpr int kFixedScales = 7;

    // The pop-up's titles, one per index.
    static const std::array<std::string, 9>& titles();

    int scaleIndex() const { return scaleIndex_; }
    double percent(int index) const { return table_[static_cast<std::size_t>(index)]; }
    double scaleFactor() const { return percent(scaleIndex_) / 100; }
    bool isFitting() const { return scaleIndex_ >= kFitWidth; }

    // Chooses a scale for a visible area and chart size given in points of
    // the chart at the current scale; a fitting scale is computed anew.
    // Answers the factor the view's scale changes by (1 when nothing
    // changes). An empty chart keeps the scale.
    double setScaleIndex(int index, double visibleWidth, double visibleHeight, double chartWidth,
                         double chartHeight);
    // A Ctrl-click: the next fixed scale in or out; nullopt past either end
    // (the caller beeps).
    std::optional<int> clickIndex(bool zoomOut) const;

    // The scroll origin that puts `centre` in the middle of a view of
    // `visible` size, kept within the chart.
    static double scrollOrigin(double centre, double visible, double chart);

private:
    std::array<double, 9> table_{10, 25, 50, 75, 100, 150, 200, 100, 100};
    int scaleIndex_ = kDefaultIndex;
};

}  // namespace kl
