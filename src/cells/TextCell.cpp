#include "cells/TextCell.h"

#include <algorithm>
#include <array>

#include "app/EditingPrefs.h"
#include "foundation/AsciiText.h"

namespace kl {

namespace {

constexpr std::array<std::string_view, 8> kTextSelectors{
    "sizeToFit:",       "sizeToWidth",      "cellAlignment:",     "cellBackgroundColor:",
    "cellBordered:",    "cellBorderColor:", "cellBorderWidth:",   "setFont:"};

}  // namespace

const char* TextCell::styleName(int style) {
    switch (style) {
    case 0: return "Static Text";
    case 1: return "Label Text";
    default: return "Editing Text";
    }
}

void TextCell::setTextStyle(int style, const EditingPrefs* prefs) {
    if (!prefs) return;
    const std::string name = styleName(style);
    if (auto font = prefs->fontNamed(name)) look().font = *font;
    if (auto color = prefs->fontColorNamed(name)) look().textColor = *color;
    look().underline = prefs->fontUnderlineNamed(name);
    refresh();
}

bool TextCell::respondsTo(std::string_view selector) const {
    return CustomCell::respondsTo(selector) ||
           std::find(kTextSelectors.begin(), kTextSelectors.end(), selector) != kTextSelectors.end();
}

void TextCell::changeCellFontName(const std::optional<Font>& font, const std::optional<Color>& fontColor, double size,
                                  const std::optional<Color>& color) {
    if (font) {
        look().font = *font;
        if (fontColor) look().textColor = *fontColor;
    } else if (color) {
        look().textColor = *color;
    } else if (size > 0) {
        Font resized = look().font.value_or(Font{});
        resized.size = size;
        look().font = resized;
    }
    refresh();
}

void TextCell::setFont(const Font& font) {
    look().font = font;
    refresh();
}

void TextCell::sizeToFit(double extra) {
    CellRect frame = viewFrame();
    frame.width = measureText(text()) + extra + 4;
    frame.height = measureHeight() + look().borderWidth;
    setViewFrame(frame);
}

void TextCell::sizeToWidth() {
    CellRect frame = viewFrame();
    frame.width = measureText(text()) + 4;
    setViewFrame(frame);
}

bool TextCell::cellAlignment(const std::string& word) {
    static constexpr std::array<std::string_view, 4> words{"left", "right", "center", "justify"};
    const std::string lower = asciiLower(word);
    auto it = std::find(words.begin(), words.end(), lower);
    if (it == words.end()) return false;
    look().alignment = static_cast<int>(it - words.begin());
    refresh();
    return true;
}

bool TextCell::cellBordered(const std::string& word) {
    const std::string lower = asciiLower(word);
    CellLook& l = look();
    if (lower == "rounded") {
        if (l.borderWidth < 0.01) l.borderWidth = 1.0;
        l.cornerRadius = 4.0;
    } else if (lower == "square" || lower == "line" || lower == "yes") {
        if (l.borderWidth < 0.1) l.borderWidth = 1.0;
        l.cornerRadius = 0;
    } else if (lower == "none" || lower == "no") {
        l.borderWidth = 0;
        l.borderColor.reset();
        l.cornerRadius = 0;
    } else {
        return false;
    }
    refresh();
    return true;
}

void TextCell::cellBorderColor(const std::optional<Color>& color) {
    look().borderColor = color;
    if (!color) look().borderWidth = 0;
    refresh();
}

void TextCell::cellBorderWidth(double width) {
    look().borderWidth = width;
    refresh();
}

void TextCell::cellBackgroundColor(const std::optional<Color>& color) {
    look().backgroundColor = color;
    refresh();
}

LabelTextCell::LabelTextCell(int style, const CellRect& frame, const EditingPrefs* prefs)
    : TextCell("LabelTextCell"), style_(style), origHeight_(frame.height) {
    setViewFrame(frame);
    setTextStyle(style, prefs);
}

}  // namespace kl
