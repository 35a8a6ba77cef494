#pragma once
// PaneBarCell ("panebar"): a bar of segments in a record pane, each with a
// label and a pane ID; choosing one shows the browser's record again in
// that pane (after the click has been handled, as the pane is rebuilt).
// The segment style is kept as a number the view maps to the nearest look.
//
// Ownership and thread: as CustomCell.
#include <string>
#include <vector>

#include "cells/CustomCell.h"

namespace kl {

class EditingPrefs;

class PaneBarCell : public CustomCell {
public:
    PaneBarCell(const CellRect& frame, const EditingPrefs* prefs);

    bool respondsTo(std::string_view selector) const override;
    bool takeProperty(std::string_view selector, const std::vector<std::string>& values) override;
    void changeCellFontName(const std::optional<Font>& font, const std::optional<Color>& fontColor, double size,
                            const std::optional<Color>& color) override;
    bool cellBordered(const std::string& word) override;
    void sizeToFit(double extra) override;

    void addBarSegment(const std::string& label, const std::string& paneID);
    void segSelect(const std::string& paneID);
    const std::vector<std::string>& labels() const { return labels_; }
    const std::vector<std::string>& paneIDs() const { return paneIDs_; }
    // -1 while no segment is selected.
    int selectedSegment() const { return selected_; }
    // 0 automatic, 1 rounded, 2 textured rounded, 3 round rect, 4 textured
    // square, 5 capsule, 6 small square.
    int segmentStyle() const { return segmentStyle_; }
    // The user chose a segment: the record shows in its pane.
    void buttonClick(int segment);

private:
    std::vector<std::string> labels_;
    std::vector<std::string> paneIDs_;
    int selected_ = -1;
    int segmentStyle_ = 0;
};

}  // namespace kl
