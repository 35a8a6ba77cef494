#pragma once
// CellRect: a cell's place in its pane, in points; y grows downwards.
namespace kl {

struct CellRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    double right() const { return x + width; }
    double bottom() const { return y + height; }
    bool operator==(const CellRect&) const = default;
};

}  // namespace kl
