#include "charts/TreeChartSettings.h"

#include "foundation/UserDefaults.h"

namespace kl {

namespace {

struct KindDefaults {
    int32_t flags = 2;
    int32_t portraitLeft = 1;
};
KindDefaults kindDefaults[2];
int changeType = 0;

KindDefaults& defaultsOf(int kind) { return kindDefaults[kind == 1 ? 1 : 0]; }

void readFloat(const UserDefaults& defaults, const char* key, float& value) {
    if (!defaults.objectForKey(key).isNull()) value = static_cast<float>(defaults.doubleForKey(key));
}

}  // namespace

TreeChartSettings TreeChartSettings::fromDefaults(const UserDefaults& defaults) {
    TreeChartSettings s;
    readFloat(defaults, "Tree Top Margin", s.topMargin);
    readFloat(defaults, "Tree Left Margin", s.leftMargin);
    readFloat(defaults, "Tree Row Width", s.rowWidth);
    readFloat(defaults, "Tree Row Spacing", s.rowSpacing);
    readFloat(defaults, "Tree Column Spacing", s.columnSpacing);
    readFloat(defaults, "Tree Row Minimum Height", s.rowMinimumHeight);
    readFloat(defaults, "Tree Cell Padding", s.cellPadding);
    readFloat(defaults, "Tree Portrait Height", s.portraitHeight);
    readFloat(defaults, "Tree Spouse Indent", s.spouseIndent);
    readFloat(defaults, "Tree Cell Border Line Thickness", s.cellBorderThickness);
    readFloat(defaults, "Tree Generation Lines Thickness", s.generationLineThickness);
    if (!defaults.objectForKey("Tree Name Alignment").isNull())
        s.nameAlignment = static_cast<int32_t>(defaults.integerForKey("Tree Name Alignment"));
    return s;
}

std::optional<double> TreeChartSettings::fittedHeight(double height, double spaceLeft, double leastHeight,
                                                      bool hasPortrait) {
    if (spaceLeft >= -1 && spaceLeft <= 5) return std::nullopt;
    const double wanted = height - spaceLeft;
    if (wanted > leastHeight) return wanted;
    if (!hasPortrait && (height - leastHeight > 0.5 || leastHeight - height > 0.5)) return leastHeight;
    return std::nullopt;
}

ChartOrientation ChartOrientation::forTag(int tag, bool portraitLeft) {
    switch (tag) {
    case 4602: return {true, true, portraitLeft};
    case 4603: return {false, false, portraitLeft};
    case 4604: return {true, false, portraitLeft};
    default: return {false, true, portraitLeft};
    }
}

bool ChartOrientation::hasOrientationTag(int tag) const {
    if (!isOrientationTag(tag)) return false;
    const ChartOrientation o = forTag(tag, portraitLeft);
    return o.centered == centered && o.horizontal == horizontal;
}

bool ChartOrientation::hasPortraitTag(int tag) const {
    return (tag == 4606 && portraitLeft) || (tag == 4607 && !portraitLeft);
}

ChartOrientation ChartOrientation::defaultFor(int kind) {
    const KindDefaults& d = defaultsOf(kind);
    return {(d.flags & 1) != 0, (d.flags & 2) != 0, d.portraitLeft != 0};
}

void ChartOrientation::setDefaultFor(int kind, const ChartOrientation& orientation) {
    defaultsOf(kind) = {orientation.flags(), orientation.portraitLeft ? 1 : 0};
}

void ChartOrientation::setOrientationFlags(int kind, int32_t flags) { defaultsOf(kind).flags = flags; }

void ChartOrientation::setPortraitOrientation(int kind, int32_t portraitLeft) {
    defaultsOf(kind).portraitLeft = portraitLeft;
}

int ChartOrientation::orientationChangeType() { return changeType; }

void ChartOrientation::setOrientationChangeType(int kind) { changeType = kind; }

void ChartOrientation::loadDefaults(const UserDefaults& defaults) {
    const auto read = [&](const char* key, int32_t fallback) {
        return defaults.objectForKey(key).isNull() ? fallback : static_cast<int32_t>(defaults.integerForKey(key));
    };
    setOrientationFlags(0, read("Ancestor Tree Orientation Flags", 2));
    setPortraitOrientation(0, read("Ancestor Tree Portrait Orientation", 1));
    setOrientationFlags(1, read("Descendant Tree Orientation Flags", 2));
    setPortraitOrientation(1, read("Descendant Tree Portrait Orientation", 1));
}

}  // namespace kl
