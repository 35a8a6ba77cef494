#pragma once
// TreeChartSettings: the sizes every tree chart is laid out and drawn with
// (margins, box width, spacing, padding, portrait height, line widths, the
// first line's alignment), read from the user defaults at each tiling, and
// the class-wide orientation and portrait side each kind of chart opens
// with.
//
// Values only; the orientation defaults are process-wide. Thread: main
// thread.
#include <cstdint>
#include <optional>

namespace kl {

class UserDefaults;

struct TreeChartSettings {
    float topMargin = 10;
    float leftMargin = 10;
    float rowWidth = 180;
    float rowSpacing = 10;
    float columnSpacing = 32;
    float rowMinimumHeight = 0;
    float cellPadding = 3;
    float portraitHeight = 48;
    float spouseIndent = 8;
    float cellBorderThickness = 0.8f;
    float generationLineThickness = 1.5f;
    int32_t nameAlignment = 2;  // 0 left, 1 right, 2 centre

    // Keys missing from the defaults keep the values above.
    static TreeChartSettings fromDefaults(const UserDefaults& defaults);

    // Points per ruler unit: "Generations" (a horizontal chart's columns)
    // or "HGenerations" (a vertical chart's boxes side by side).
    double generationUnit(bool horizontal) const {
        return rowWidth + (horizontal ? columnSpacing : rowSpacing);
    }
    // The least height of a box showing a portrait.
    double portraitBoxHeight() const { return 2 * (cellBorderThickness + cellPadding) + portraitHeight; }
    // The height a box takes after drawing its text, `spaceLeft` being the
    // room from its last line down to the bottom padding (negative when the
    // text ran over); nullopt keeps the height. A box keeps its height while
    // the text ends within 1 point above to 5 below the padding.
    static std::optional<double> fittedHeight(double height, double spaceLeft, double leastHeight, bool hasPortrait);
};

// The orientation of a chart: generations as columns (horizontal) or rows,
// parents level with their first child or centred on their children, and
// the portrait at the left of a box's text or above it.
struct ChartOrientation {
    bool centered = false;
    bool horizontal = true;
    bool portraitLeft = true;

    // Menu tags: 4601 horizontal plain, 4602 horizontal centred, 4603
    // vertical plain, 4604 vertical centred; any other tag reads as 4601.
    static ChartOrientation forTag(int tag, bool portraitLeft);
    static bool isOrientationTag(int tag) { return tag >= 4601 && tag <= 4604; }
    bool hasOrientationTag(int tag) const;
    // 4606 portrait left, 4607 portrait above.
    bool hasPortraitTag(int tag) const;
    // Bit 0 centred, bit 1 horizontal.
    int32_t flags() const { return (centered ? 1 : 0) + (horizontal ? 2 : 0); }
    bool operator==(const ChartOrientation&) const = default;

    // The class defaults per kind (0 ancestors, 1 descendants).
    static ChartOrientation defaultFor(int kind);
    static void setDefaultFor(int kind, const ChartOrientation& orientation);
    static void setOrientationFlags(int kind, int32_t flags);
    static void setPortraitOrientation(int kind, int32_t portraitLeft);
    static int orientationChangeType();
    static void setOrientationChangeType(int kind);
    // Loads both kinds from "Ancestor/Descendant Tree Orientation Flags"
    // and "... Portrait Orientation".
    static void loadDefaults(const UserDefaults& defaults);
};

}  // namespace kl
