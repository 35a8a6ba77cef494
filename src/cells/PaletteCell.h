#pragma once
// PaletteCell ("palette"): a drawing area of a record pane. The template
// gives it simple drawing commands (pen moves, lines, rectangles and ovals
// framed or filled, a colour, a line width), which its canvas replays on
// every paint: the pen at the top-left corner, black, lines 1 wide.
//
// PaletteCanvas: the flat command list (a code, then its numbers; a colour
// is its red, green, blue and alpha) and its replay onto a painter. The
// replay reads the list with bounds checks: a command short of numbers
// ends the drawing instead of reading past the list.
//
// Ownership and thread: as CustomCell; the canvas is the cell's.
#include <vector>

#include "app/Color.h"
#include "cells/CustomCell.h"

namespace kl {

class PaletteCanvas {
public:
    // What the replay draws on; y grows downwards from the cell's top.
    class Painter {
    public:
        virtual ~Painter() = default;
        virtual void setColor(const Color& color) = 0;
        virtual void setLineWidth(double width) = 0;
        virtual void line(double x1, double y1, double x2, double y2) = 0;
        // fill: fill the shape, else frame it.
        virtual void rect(double x, double y, double width, double height, bool fill) = 0;
        virtual void oval(double x, double y, double width, double height, bool fill) = 0;
    };

    // The numbers each code takes.
    static int argumentCount(int code);
    void addDrawCommand(int code, const std::vector<double>& args);
    const std::vector<double>& drawCommands() const { return drawCommands_; }
    void draw(Painter& painter) const;

private:
    std::vector<double> drawCommands_;
};

class PaletteCell : public CustomCell {
public:
    explicit PaletteCell(const CellRect& frame);
    bool isPaletteCell() const override { return true; }
    bool respondsTo(std::string_view selector) const override;
    bool takeProperty(std::string_view selector, const std::vector<std::string>& values) override;
    const PaletteCanvas& canvas() const { return canvas_; }
    PaletteCanvas& canvas() { return canvas_; }

private:
    PaletteCanvas canvas_;
};

}  // namespace kl
