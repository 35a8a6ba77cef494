#include "cells/GroupBox.h"

#include <algorithm>
#include <array>

#include "app/EditingPrefs.h"
#include "foundation/AsciiText.h"

namespace kl {

namespace {

constexpr std::array<std::string_view, 5> kBoxSelectors{"cellBordered:", "cellBorderColor:", "cellBorderWidth:",
                                                        "cellTitlePosition:", "cellBackgroundColor:"};

}  // namespace

GroupBox::GroupBox(const CellRect& frame, const EditingPrefs* prefs) : TextCell("GroupBox") {
    setViewFrame(frame);
    look().borderColor = Color::black();
    look().borderWidth = 1.0;
    if (prefs) {
        if (auto font = prefs->fontNamed("Label Text")) look().font = *font;
        if (auto color = prefs->fontColorNamed("Label Text")) look().textColor = *color;
    }
}

bool GroupBox::respondsTo(std::string_view selector) const {
    return CustomCell::respondsTo(selector) ||
           std::find(kBoxSelectors.begin(), kBoxSelectors.end(), selector) != kBoxSelectors.end();
}

bool GroupBox::takeProperty(std::string_view selector, const std::vector<std::string>& values) {
    if (selector == "cellTitlePosition:") return cellTitlePosition(values.empty() ? std::string() : values.front());
    return TextCell::takeProperty(selector, values);
}

void GroupBox::changeCellFontName(const std::optional<Font>& font, const std::optional<Color>&, double size,
                                  const std::optional<Color>& color) {
    if (font) {
        look().font = *font;
    } else if (color) {
        look().textColor = *color;
    } else if (size > 0) {
        Font resized = look().font.value_or(Font{});
        resized.size = size;
        look().font = resized;
    }
    refresh();
}

bool GroupBox::cellBordered(const std::string& word) {
    const std::string lower = asciiLower(word);
    if (lower == "none" || lower == "no") {
        frameTheBox_ = false;
        borderType_ = 0;
    } else if (lower == "line") {
        frameTheBox_ = true;
        borderType_ = 0;
    } else if (lower == "bezel" || lower == "yes") {
        borderType_ = 3;
    } else {
        return false;
    }
    refresh();
    return true;
}

void GroupBox::cellBorderColor(const std::optional<Color>& color) {
    look().borderColor = color;
    refresh();
}

bool GroupBox::cellTitlePosition(const std::string& word) {
    const std::string lower = asciiLower(word);
    titlePosition_ = lower == "none" ? 0 : lower == "abovetop" ? 2 : lower == "bottom" ? 4 : 1;
    refresh();
    return true;
}

double GroupBox::titleLineHeight() const { return titlePosition_ == 0 ? 0 : measureHeight(); }

double GroupBox::contentLeft() const { return kContentMargin + borderMargin(); }

double GroupBox::contentTop() const {
    const bool titleAbove = titlePosition_ == 1 || titlePosition_ == 2;
    return kContentMargin + borderMargin() + (titleAbove ? titleLineHeight() : 0);
}

double GroupBox::contentWidth() const { return std::max(1.0, viewFrame().width - 2 * contentLeft()); }

double GroupBox::finishGroup(double contentBottom, double lineSkip) {
    double height = 2 * kContentMargin + titleLineHeight();
    if (borderType_ != 0) height += 2 * kContentMargin;
    height += contentBottom + lineSkip;
    CellRect frame = viewFrame();
    frame.height = height;
    setViewFrame(frame);
    return height;
}

}  // namespace kl
