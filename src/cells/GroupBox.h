#pragma once
// GroupBox ("groupbox"): a titled box around the cells a template lays out
// until Endgroup. While it is open the pane builder lays cells out in the
// box's content as in a small pane of its own; at Endgroup the box takes
// the height of its content (finishGroup) and the flow goes on after it.
//
// The look is kept as numbers the view draws: a line border of its own
// (frameTheBox, in borderColor and borderWidth) and a fill, or the
// desktop's groove border (borderType 3); the title at the top, above the
// top, at the bottom, or none.
//
// It takes the border width and background of a text cell.
//
// Ownership and thread: as CustomCell.
#include <optional>
#include <string>

#include "cells/TextCell.h"

namespace kl {

class EditingPrefs;

class GroupBox : public TextCell {
public:
    // The content's margin inside the box, on each side.
    static constexpr double kContentMargin = 5;

    GroupBox(const CellRect& frame, const EditingPrefs* prefs);

    std::string description() const override { return "GroupBox: " + text(); }
    bool isBoxSubclass() const override { return true; }
    bool actionOnFinish() const override { return false; }
    bool respondsTo(std::string_view selector) const override;
    bool takeProperty(std::string_view selector, const std::vector<std::string>& values) override;
    void changeCellFontName(const std::optional<Font>& font, const std::optional<Color>& fontColor, double size,
                            const std::optional<Color>& color) override;
    bool cellBordered(const std::string& word) override;
    // No colour draws no line; the width is kept for another colour.
    void cellBorderColor(const std::optional<Color>& color) override;
    bool cellTitlePosition(const std::string& word);

    // 0 none, 1 top, 2 above the top, 4 bottom.
    int titlePosition() const { return titlePosition_; }
    // 0 none (a line of its own when frameTheBox), 3 the desktop's groove.
    int borderType() const { return borderType_; }
    bool frameTheBox() const { return frameTheBox_; }
    double titleLineHeight() const;
    // Where the content lies in the box, and how wide it is.
    double contentLeft() const;
    double contentTop() const;
    double contentWidth() const;
    // The box's height for content reaching contentBottom.
    double finishGroup(double contentBottom, double lineSkip);

private:
    double borderMargin() const { return borderType_ != 0 ? kContentMargin : 0; }
    int titlePosition_ = 1;
    int borderType_ = 3;
    bool frameTheBox_ = false;
};

}  // namespace kl
