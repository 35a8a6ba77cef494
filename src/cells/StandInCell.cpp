#include "cells/StandInCell.h"

#include <algorithm>
#include <array>

#include "model/GEDCOMObject.h"

namespace kl {

namespace {

constexpr std::array<std::string_view, 10> kDataChanging{
    "editvalue", "editname",     "editdate",      "editfile",        "editurl",
    "editfield", "editpane",     "checkboxedit",  "popupmenuedit",   "createlinkbutton"};

}  // namespace

bool StandInCell::kindChangesData(std::string_view kind) {
    return std::find(kDataChanging.begin(), kDataChanging.end(), kind) != kDataChanging.end();
}

bool StandInCell::kindHoldsData(std::string_view kind) { return kindChangesData(kind) || kind == "structureslink"; }

StandInCell::StandInCell(std::string kind, const std::shared_ptr<GEDCOMObject>& structure, std::string tag,
                         int level, const CellRect& frame, const EditingPrefs* prefs)
    : TextCell("StandInCell"), kind_(std::move(kind)) {
    setEditTag(std::move(tag));
    setEditLevel(level);
    setViewFrame(frame);
    setTextStyle(kindChangesData(kind_) ? 2 : 0, prefs);
    setStructure(structure);
    if (structure && kind_ != "palette" && kind_ != "groupbox" && kind_ != "panebar") setText(structure->contents());
}

void StandInCell::appendText(const std::string& text) {
    // Text given by the template names the cell better than its contents.
    if (!appended_) setText(std::string());
    appended_ = true;
    TextCell::appendText(text);
}

bool StandInCell::takeProperty(std::string_view selector, const std::vector<std::string>& values) {
    properties_[std::string(selector)].push_back(values);
    // What a link's expression reached names it better than an ID.
    if (selector == "cellExpression:" && !appended_ && !values.empty() && !values.front().empty())
        setText(values.front());
    return true;
}

void StandInCell::cellImageSize(double width, double height) {
    if (!image_) return;
    image_->width = width;
    image_->height = height;
}

void StandInCell::updateStructure() {
    if (!appended_) setText(structureContents());
}

}  // namespace kl
