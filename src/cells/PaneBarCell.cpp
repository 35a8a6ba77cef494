#include "cells/PaneBarCell.h"

#include <algorithm>
#include <array>

#include "app/EditingPrefs.h"
#include "cells/CellPane.h"
#include "cells/LinkHost.h"
#include "foundation/AsciiText.h"

namespace kl {

PaneBarCell::PaneBarCell(const CellRect& frame, const EditingPrefs* prefs) : CustomCell("PaneBarCell") {
    setViewFrame(frame);
    if (prefs)
        if (auto font = prefs->fontNamed("Button Text")) look().font = *font;
}

bool PaneBarCell::respondsTo(std::string_view selector) const {
    return selector == "addBarSegment:tag:" || selector == "segSelect:" || selector == "sizeToFit:" ||
           selector == "cellBordered:" || selector == "buttonClick:" || CustomCell::respondsTo(selector);
}

bool PaneBarCell::takeProperty(std::string_view selector, const std::vector<std::string>& values) {
    if (selector == "addBarSegment:tag:" && values.size() >= 2) addBarSegment(values[0], values[1]);
    else if (selector == "segSelect:" && !values.empty()) segSelect(values[0]);
    else return CustomCell::takeProperty(selector, values);
    return true;
}

void PaneBarCell::changeCellFontName(const std::optional<Font>& font, const std::optional<Color>& fontColor,
                                     double size, const std::optional<Color>&) {
    // A colour alone is accepted and changes nothing: segments keep the
    // desktop's text colour.
    if (font) {
        look().font = *font;
        if (fontColor) look().textColor = *fontColor;
    } else if (size > 0) {
        Font resized = look().font.value_or(Font{});
        resized.size = size;
        look().font = resized;
    }
    refresh();
}

bool PaneBarCell::cellBordered(const std::string& word) {
    static const std::array<std::pair<std::string_view, int>, 9> styles{{{"rounded", 1},
                                                                         {"yes", 1},
                                                                         {"texturedrounded", 2},
                                                                         {"roundrect", 3},
                                                                         {"texturedsquare", 4},
                                                                         {"capsule", 5},
                                                                         {"smallsquare", 6},
                                                                         {"none", 0},
                                                                         {"no", 0}}};
    const std::string lower = asciiLower(word);
    for (const auto& [name, style] : styles)
        if (lower == name) {
            segmentStyle_ = style;
            refresh();
            return true;
        }
    return false;
}

void PaneBarCell::sizeToFit(double) {
    double width = 0;
    for (const auto& label : labels_) width += measureText(label) + 24;
    CellRect frame = viewFrame();
    frame.width = std::max(width, 1.0);
    setViewFrame(frame);
}

void PaneBarCell::addBarSegment(const std::string& label, const std::string& paneID) {
    labels_.push_back(label);
    paneIDs_.push_back(paneID);
    refresh();
}

void PaneBarCell::segSelect(const std::string& paneID) {
    auto it = std::find(paneIDs_.begin(), paneIDs_.end(), paneID);
    if (it == paneIDs_.end()) return;
    selected_ = static_cast<int>(it - paneIDs_.begin());
    refresh();
}

void PaneBarCell::buttonClick(int segment) {
    if (segment < 0 || segment >= static_cast<int>(paneIDs_.size())) return;
    selected_ = segment;
    LinkHost* host = pane() ? pane()->linkHost() : nullptr;
    std::shared_ptr<GEDCOMRecord> record = pane() ? pane()->paneRecord() : nullptr;
    if (host && record) host->openLinkedRecord(record, LinkHost::Open::ThisWindow, paneIDs_[static_cast<std::size_t>(segment)]);
}

}  // namespace kl
