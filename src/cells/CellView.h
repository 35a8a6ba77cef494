#pragma once
// CellView: what a cell asks of the widget that shows it. The cells keep
// their state and their rules (layout, commit) here, away from any window;
// the record browser's Qt side gives each cell a view that draws it. A cell
// without a view (tests, a pane built for measuring) measures its text with
// a rough estimate and keeps its text itself.
//
// Ownership: owned by its cell. Thread: main thread.
#include <string>

#include "cells/CellRect.h"

namespace kl {

class CustomCell;

class CellView {
public:
    virtual ~CellView() = default;
    virtual void setFrame(const CellRect& frame) = 0;
    // Shows the cell's text and look again after a property changed.
    virtual void refresh(const CustomCell& cell) = 0;
    // Width and height of a text in the cell's font.
    virtual double textWidth(const std::string& text) const = 0;
    virtual double textHeight() const = 0;
    // Height of a text of several lines laid out at that width.
    virtual double textBlockHeight(const std::string& text, double width) const {
        (void)width;
        double lines = 1;
        for (char c : text) lines += c == '\n' ? 1 : 0;
        return lines * textHeight();
    }
    // The text the user sees (and may have typed).
    virtual std::string text() const = 0;
    virtual bool hasFocus() const { return false; }
    virtual void takeFocus() {}
    virtual void beep() {}
    // Whether the user may type into the cell (a locked record's may not).
    virtual void setEditable(bool) {}
    // Puts a text on the general pasteboard.
    virtual void writeStringToPasteboard(const std::string&) {}
};

}  // namespace kl
