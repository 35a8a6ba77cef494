#pragma once
// StandInCell: the cell a "Cell" command makes for a kind whose own cell
// class does not exist yet. It shows, read-only, the text appended to it or
// else its structure's contents, takes every property command (keeping the
// values for whoever asks), and answers the questions of its kind that the
// pane builder relies on: whether it changes data (one per template frame)
// and holds data (for the insertion-point search), whether it is a palette,
// whether it is a group box.
//
// Ownership and thread: as CustomCell.
#include <map>
#include <string>
#include <vector>

#include "cells/TextCell.h"

namespace kl {

class StandInCell : public TextCell {
public:
    StandInCell(std::string kind, const std::shared_ptr<GEDCOMObject>& structure, std::string tag, int level,
                const CellRect& frame, const EditingPrefs* prefs);

    const std::string& kind() const { return kind_; }
    // Whether the kind's own cell writes its structure or holds data.
    static bool kindChangesData(std::string_view kind);
    static bool kindHoldsData(std::string_view kind);

    bool dataChangingCell() const override { return kindChangesData(kind_); }
    bool holdsDataCell() const override { return kindHoldsData(kind_); }
    bool isPaletteCell() const override { return kind_ == "palette"; }
    bool isBoxSubclass() const override { return kind_ == "groupbox"; }
    // A group box opens its own layout instead of taking part in the flow.
    bool actionOnFinish() const override { return kind_ != "groupbox"; }
    bool respondsTo(std::string_view) const override { return true; }
    void appendText(const std::string& text) override;
    bool takeProperty(std::string_view selector, const std::vector<std::string>& values) override;
    // The values each property was given, in order.
    const std::map<std::string, std::vector<std::vector<std::string>>, std::less<>>& properties() const {
        return properties_;
    }
    std::optional<ImageSize> image() const override { return image_; }
    void setImage(std::optional<ImageSize> image) { image_ = image; }
    void cellImageSize(double width, double height) override;

protected:
    void updateStructure() override;

private:
    std::string kind_;
    bool appended_ = false;
    std::optional<ImageSize> image_;
    std::map<std::string, std::vector<std::vector<std::string>>, std::less<>> properties_;
};

}  // namespace kl
